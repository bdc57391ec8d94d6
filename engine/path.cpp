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
    const SplitPath parts = SplitAtLastSeparator(path, style);
    const size_t dot = parts.fileName.rfind('.');
    const std::string stem =
        dot == std::string::npos || dot == 0 ? parts.fileName : parts.fileName.substr(0, dot);
    return parts.directory + stem + std::string(suffix);
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
