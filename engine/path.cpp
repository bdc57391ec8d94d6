#include "engine/path.h"

namespace marvane {

SplitPath SplitAtLastSeparator(std::string_view path, const PathStyle& style) {
    const size_t last = path.rfind(style.separator);
    if (last == std::string_view::npos) {
        return {std::string(), std::string(path)};
    }
    return {std::string(path.substr(0, last + 1)), std::string(path.substr(last + 1))};
}

bool IsAbsolutePath(std::string_view path, const PathStyle& style) {
    if (path.empty()) {
        return false;
    }
    if (path.front() == style.separator) {
        return true;
    }
    // A Windows path may name a drive ("D:\data", or "D:data", which still does
    // not belong below the working directory).
    return style.separator == '\\' && (path.front() == '/' || (path.size() >= 2 && path[1] == ':'));
}

std::string SiblingPath(std::string_view path, std::string_view suffix, const PathStyle& style) {
    // Windows takes "/" between folders as well as "\\".
    const size_t end = style.separator == '\\' ? path.find_last_of("\\/") : path.rfind('/');
    const size_t nameStart = end == std::string_view::npos ? 0 : end + 1;
    const size_t dot = path.rfind('.');
    const size_t stemEnd = dot == std::string_view::npos || dot <= nameStart ? path.size() : dot;
    return std::string(path.substr(0, stemEnd)) + std::string(suffix);
}

std::string ResolvePath(std::string_view workDir, std::string_view path, const PathStyle& style) {
    if (workDir.empty() || IsAbsolutePath(path, style)) {
        return std::string(path);
    }
    std::string resolved(workDir);
    if (resolved.back() != style.separator) {
        resolved += style.separator;
    }
    resolved += path;
    return resolved;
}

} // namespace marvane
