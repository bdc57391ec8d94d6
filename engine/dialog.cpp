#include "engine/dialog.h"

#include "engine/text.h"

#include <fstream>
#include <istream>
#include <ostream>

namespace marvane {

std::string ReadReply(std::istream& in) {
    std::string reply;
    if (!std::getline(in, reply)) {
        return std::string();
    }
    if (!reply.empty() && reply.back() == '\r') {
        reply.pop_back();
    }
    return reply;
}

std::string LocateProject(std::istream& in, std::ostream& out, const std::string& iniPath,
                          const PathStyle& style) {
    std::string path = style.defaultProjectPath;
    {
        std::ifstream ini(iniPath, std::ios::binary);
        std::string line;
        if (ini && std::getline(ini, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            path = TrimRight(line);
        }
    }

    out << "\n Velmar (marvane@corelith.example)\n"
        << " ========================================\n\n";

    SplitPath parts = SplitAtLastSeparator(path, style);
    out << " Default path: " << FitToWidth(parts.directory, 64) << '\n' << " Path ? ";
    out.flush();
    const std::string directoryReply = ReadReply(in);
    const int directoryEnd = LastNonBlank(directoryReply);
    // A reply of one character (such as ".") is ignored, like an empty one.
    if (directoryEnd > 1) {
        parts.directory = directoryReply.substr(0, static_cast<size_t>(directoryEnd));
        if (parts.directory.back() != style.separator) {
            parts.directory += style.separator;
        }
    }

    out << " Default Filename: " << FitToWidth(parts.fileName, 60) << '\n' << " Filename ? ";
    out.flush();
    const std::string fileReply = ReadReply(in);
    if (LastNonBlank(fileReply) > 1) {
        parts.fileName = fileReply;
    }

    path = TrimRight(parts.directory) + TrimRight(parts.fileName);
    std::ofstream ini(iniPath, std::ios::binary | std::ios::trunc);
    ini << path << std::string(kIniLineLength > path.size() ? kIniLineLength - path.size() : 0, ' ')
        << '\n';
    ini.close();
    if (!ini) {
        out << " (" << kIniFileName << " cannot be written; this path is not remembered)\n";
    }
    out << '\n';
    return path;
}

} // namespace marvane
