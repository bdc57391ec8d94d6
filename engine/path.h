// The one place that knows the platform's path separator. Everything else asks a
// PathStyle, so the Windows form of the project dialog can be exercised on any host.
#pragma once

#include <string>
#include <string_view>

namespace marvane {

struct PathStyle {
    char separator;
    const char* defaultProjectPath;
};

inline constexpr PathStyle kPosixPathStyle{'/', "./Velmar_Project1.pro"};
inline constexpr PathStyle kWindowsPathStyle{'\\', "C:\\Velmar_Project1.pro"};

#ifdef _WIN32
inline constexpr PathStyle kNativePathStyle = kWindowsPathStyle;
#else
inline constexpr PathStyle kNativePathStyle = kPosixPathStyle;
#endif

struct SplitPath {
    std::string directory; // up to and including the last separator; empty without one
    std::string fileName;  // everything after the last separator
};

SplitPath SplitAtLastSeparator(std::string_view path, const PathStyle& style);

// True for a path that does not depend on the working directory.
bool IsAbsolutePath(std::string_view path, const PathStyle& style);

// The file beside `path` named like it without its extension, followed by `suffix`:
// "./cores/run.pro" and "_cv.tsv" give "./cores/run_cv.tsv".
std::string SiblingPath(std::string_view path, std::string_view suffix, const PathStyle& style);

// `path` as seen from `workDir` (the engine's working directory; empty means the
// process's current directory).
std::string ResolvePath(std::string_view workDir, std::string_view path, const PathStyle& style);

} // namespace marvane
