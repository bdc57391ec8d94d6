// The small file layer all readers and writers use.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace corelith {

// Opens the file named by the UTF-8 `path` with a mode of std::fopen, on every platform;
// nullptr when it cannot be opened.
std::FILE* OpenFile(const std::string& path, const char* mode);
// Opens a file for reading; nullptr when it cannot be opened. The table readers pass "rb".
// A file that starts with a UTF-16 byte-order mark is handed over as its UTF-8 text.
std::FILE* OpenForReading(const std::string& path, const char* mode = "rb");
// Creates or truncates a file in text mode; nullptr when it cannot be created.
std::FILE* OpenForWriting(const std::string& path);
// Writes the text unchanged; returns 0, or -1 when the write failed.
int WriteText(std::FILE* file, std::string_view text);
// Closes the file; returns 0, or -1 when buffered text could not be written.
int CloseFile(std::FILE* file);

// printf-style formatting in the C locale, whatever the process locale is.
std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace corelith
