// The console dialog that settles the project path, and "Marvane.ini" that remembers it.
#pragma once

#include "engine/path.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace marvane {

inline constexpr const char* kIniFileName = "Marvane.ini";
inline constexpr size_t kIniLineLength = 512;

// One reply line from the console, without its line end; an empty reply at the end of
// input, so a closed console never makes the dialog wait or loop.
std::string ReadReply(std::istream& in);

// The lines of the INI file after the remembered path: entries that change how a run
// works. "NoLimits=1" lifts the limits of the fixed tables for runs started without
// arguments. The lines are written back unchanged.
struct IniEntries {
    std::vector<std::string> lines;
    bool noLimits = false;
};

inline constexpr const char* kNoLimitsEntry = "NoLimits";

// Shows the banner, proposes the path remembered in the INI file (`iniPath`), lets the
// user replace the folder and the file name, writes the result back to the INI file
// (the file replaced only once the new one is complete) and returns it. `entries` gets
// the INI file's further lines.
std::string LocateProject(std::istream& in, std::ostream& out, const std::string& iniPath,
                          const PathStyle& style, IniEntries& entries);
std::string LocateProject(std::istream& in, std::ostream& out, const std::string& iniPath,
                          const PathStyle& style);

} // namespace marvane
