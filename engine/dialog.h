// The console dialog that settles the project path, and "Marvane.ini" that remembers it.
#pragma once

#include "engine/path.h"

#include <iosfwd>
#include <string>

namespace marvane {

inline constexpr const char* kIniFileName = "Marvane.ini";
inline constexpr size_t kIniLineLength = 512;

// One reply line from the console, without its line end; an empty reply at the end of
// input, so a closed console never makes the dialog wait or loop.
std::string ReadReply(std::istream& in);

// Shows the banner, proposes the path remembered in the INI file (`iniPath`), lets the
// user replace the folder and the file name, writes the result back to the INI file
// and returns it.
std::string LocateProject(std::istream& in, std::ostream& out, const std::string& iniPath,
                          const PathStyle& style);

} // namespace marvane
