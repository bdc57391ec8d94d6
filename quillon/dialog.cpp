#include "quillon/dialog.h"

#include "quillon/text.h"

#include <corelith_version.h>

#include <algorithm>
#include <fstream>
#include <istream>
#include <ostream>

namespace quillon {

namespace {

// A proposal is shown in a field of this many characters, cut or padded.
std::string Field(const std::string& text, size_t width) {
    return PadRight(text.substr(0, width), width);
}

// Replies of one character (such as ".") count as no reply, like empty ones.
bool IsAnswer(std::string_view reply) {
    return TrimRightBlanks(reply).size() > 1;
}

} // namespace

std::string ReadReply(std::istream& in) {
    std::string reply;
    if (!std::getline(in, reply))
        return "";
    if (!reply.empty() && reply.back() == '\r')
        reply.pop_back();
    return reply;
}

std::string AskForProject(std::istream& in, std::ostream& out, const fs::path& iniFile,
                          const PathStyle& style) {
    std::string path = style.defaultPath;
    {
        std::ifstream ini(iniFile, std::ios::binary);
        std::string line;
        if (ini && std::getline(ini, line)) {
            line.erase(std::min(line.size(), line.find('\r')));
            const std::string_view remembered = TrimBlanks(line);
            if (!remembered.empty())
                path = remembered;
        }
    }
    out << "\n Quillon " CORELITH_VERSION " - factor-analytic transfer function\n"
        << " ========================================\n\n";

    const size_t split = path.find_last_of(style.separators);
    std::string folder = split == std::string::npos ? "" : path.substr(0, split + 1);
    std::string name = split == std::string::npos ? path : path.substr(split + 1);

    out << " Default path: " << Field(folder, 64) << "\n Path ? " << std::flush;
    const std::string folderReply = ReadReply(in);
    if (IsAnswer(folderReply)) {
        folder = TrimBlanks(folderReply);
        if (std::string_view(style.separators).find(folder.back()) == std::string_view::npos)
            folder += style.appended;
    }
    out << " Default Filename: " << Field(name, 60) << "\n Filename ? " << std::flush;
    const std::string nameReply = ReadReply(in);
    if (IsAnswer(nameReply))
        name = TrimBlanks(nameReply);

    path = folder + name;
    std::ofstream ini(iniFile, std::ios::binary | std::ios::trunc);
    ini << PadRight(path, kIniLineLength) << '\n';
    ini.close();
    if (!ini)
        out << " (" << kIniFileName << " cannot be written: this path is not remembered)\n";
    out << '\n';
    return path;
}

} // namespace quillon
