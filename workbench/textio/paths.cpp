#include "textio/paths.h"

namespace corelith {

namespace {

// Windows accepts both slashes; POSIX only the forward one (a backslash is a name
// character there).
bool IsSeparator(char c, PathStyle style) {
    return c == '/' || (style == PathStyle::Windows && c == '\\');
}

size_t NameStart(std::string_view path, PathStyle style) {
    size_t start = path.size();
    while (start > 0 && !IsSeparator(path[start - 1], style))
        --start;
    // "C:name" names a file in drive C's current folder; the drive belongs to the folder.
    if (start == 0 && style == PathStyle::Windows && path.size() >= 2 && path[1] == ':')
        start = 2;
    return start;
}

} // namespace

char PathSeparator(PathStyle style) {
    return style == PathStyle::Windows ? '\\' : '/';
}

std::string FolderOf(std::string_view path, PathStyle style) {
    return std::string(path.substr(0, NameStart(path, style)));
}

std::string FileNameOf(std::string_view path, PathStyle style) {
    return std::string(path.substr(NameStart(path, style)));
}

bool IsAbsolutePath(std::string_view path, PathStyle style) {
    if (path.empty())
        return false;
    if (IsSeparator(path[0], style))
        return true;
    return style == PathStyle::Windows && path.size() >= 2 && path[1] == ':';
}

std::string JoinPath(std::string_view folder, std::string_view name, PathStyle style) {
    if (folder.empty() || IsAbsolutePath(name, style))
        return std::string(name);
    std::string joined(folder);
    if (!IsSeparator(joined.back(), style) &&
        !(style == PathStyle::Windows && joined.size() == 2 && joined[1] == ':'))
        joined += PathSeparator(style);
    joined += name;
    return joined;
}

std::filesystem::path NativePath(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Path(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace corelith
