// The one place that knows the path separator. The workbench runs with the platform's
// separator; the Windows form is kept for tests and for paths typed with backslashes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace corelith {

enum class PathStyle { Posix, Windows };

#ifdef _WIN32
inline constexpr PathStyle kNativePathStyle = PathStyle::Windows;
#else
inline constexpr PathStyle kNativePathStyle = PathStyle::Posix;
#endif

char PathSeparator(PathStyle style = kNativePathStyle);

// Folder part of a path, up to and including its last separator ("" when there is none).
std::string FolderOf(std::string_view path, PathStyle style = kNativePathStyle);
// File name part of a path, after its last separator.
std::string FileNameOf(std::string_view path, PathStyle style = kNativePathStyle);
// True when `path` names a file without reference to the current folder.
bool IsAbsolutePath(std::string_view path, PathStyle style = kNativePathStyle);
// `name` taken relative to `folder` (which ends with a separator or is empty);
// an absolute `name` is returned unchanged.
std::string JoinPath(std::string_view folder, std::string_view name,
                     PathStyle style = kNativePathStyle);

// The workbench keeps every path as UTF-8 text. These convert at the boundary to the
// standard library's paths (UTF-16 on Windows, bytes elsewhere); `std::filesystem::path`
// built straight from a std::string would take the Windows ANSI code page instead.
std::filesystem::path NativePath(std::string_view utf8);
std::string Utf8Path(const std::filesystem::path& path);

} // namespace corelith
