// The console dialog of a start without arguments: it proposes the project remembered in
// "Quillon.ini" in the working folder, lets the user change its folder and its file name, and
// remembers the answer for the next start.
#pragma once

#include "quillon/paths.h"

#include <iosfwd>
#include <string>

namespace quillon {

inline constexpr const char* kIniFileName = "Quillon.ini";
// The INI file's one line: the project path padded with blanks to this length.
inline constexpr size_t kIniLineLength = 512;

// What separates folders in the paths the user types and the INI file holds.
struct PathStyle {
    const char* separators;  // any of these ends the folder part
    char appended;           // added to a folder reply that does not end with a separator
    const char* defaultPath; // the proposal when there is no INI file
};

inline constexpr PathStyle kPosixStyle{"/", '/', "./TransferFunction_Project1.pro"};
inline constexpr PathStyle kWindowsStyle{"\\/", '\\', ".\\TransferFunction_Project1.pro"};
#ifdef _WIN32
inline constexpr PathStyle kNativeStyle = kWindowsStyle;
#else
inline constexpr PathStyle kNativeStyle = kPosixStyle;
#endif

// One reply line without its line end; empty at the end of the input, so that a closed
// console never makes the dialog wait.
std::string ReadReply(std::istream& in);

// Runs the dialog on `in`/`out` and rewrites `iniFile` with the chosen path, which it returns
// (as typed: a relative path is taken from the working folder).
std::string AskForProject(std::istream& in, std::ostream& out, const fs::path& iniFile,
                          const PathStyle& style);

} // namespace quillon
