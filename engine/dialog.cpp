#include "engine/dialog.h"

#include "engine/files.h"
#include "engine/text.h"

#include <algorithm>
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

namespace {

std::string WithoutLineEnd(std::string line) {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

// "NoLimits=1", blanks around either part allowed.
bool LiftsLimits(const std::string& line) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
        return false;
    }
    const auto trimmed = [](std::string text) {
        text.erase(0, std::min(text.find_first_not_of(' '), text.size()));
        return TrimRight(text);
    };
    return trimmed(line.substr(0, equals)) == kNoLimitsEntry &&
           trimmed(line.substr(equals + 1)) == "1";
}

} // namespace

std::string LocateProject(std::istream& in, std::ostream& out, const std::string& iniPath,
                          const PathStyle& style) {
    IniEntries ignored;
    return LocateProject(in, out, iniPath, style, ignored);
}

std::string LocateProject(std::istream& in, std::ostream& out, const std::string& iniPath,
                          const PathStyle& style, IniEntries& entries) {
    std::string path = style.defaultProjectPath;
    entries = IniEntries();
    {
        std::ifstream ini(iniPath, std::ios::binary);
        std::string line;
        if (ini && std::getline(ini, line)) {
            path = TrimRight(WithoutLineEnd(line));
            while (std::getline(ini, line)) {
                entries.lines.push_back(WithoutLineEnd(line));
                entries.noLimits = entries.noLimits || LiftsLimits(entries.lines.back());
            }
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
    std::string text =
        path + std::string(kIniLineLength > path.size() ? kIniLineLength - path.size() : 0, ' ') +
        '\n';
    for (const std::string& line : entries.lines) {
        text += line + '\n';
    }
    std::string unused;
    if (WriteWholeFile(iniPath, kIniFileName, text, unused) != 0) {
        out << " (" << kIniFileName << " cannot be written; this path is not remembered)\n";
    }
    out << '\n';
    return path;
}

} // namespace marvane
