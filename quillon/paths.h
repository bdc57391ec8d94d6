// Paths as quillon keeps them: UTF-8 text everywhere, turned into std::filesystem::path only
// here, so that a name with non-ASCII letters opens on Windows as well as elsewhere.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quillon {

namespace fs = std::filesystem;

// The path named by UTF-8 text.
fs::path PathFromUtf8(std::string_view utf8);
// The UTF-8 text of a path.
std::string Utf8FromPath(const fs::path& path);

// The file a project line names. A relative path is taken from the folder of the project
// file. A path that does not exist (a project written on another machine, or moved with its
// files) falls back to a file of the same name beside the project file; `movedFrom` then
// holds the path as written, otherwise it is empty.
fs::path LocateProjectMember(const fs::path& projectFile, std::string_view written,
                             std::string& movedFrom);

// The last part of a path written with either separator ("C:\data\a.cap" gives "a.cap"),
// whatever the platform that reads it.
std::string_view LastPathPart(std::string_view written);

// The first part of every output name: the project file's path without its extension
// ("/data/Survey.pro" gives "/data/Survey").
fs::path OutputBase(const fs::path& projectFile);

// `base` with `suffix` appended to its file name ("Survey" + "_cv.tsv").
fs::path WithSuffix(const fs::path& base, std::string_view suffix);

} // namespace quillon
