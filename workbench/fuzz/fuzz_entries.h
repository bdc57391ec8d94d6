// What the workbench's fuzz targets do with one input, kept apart from libFuzzer so that the
// unit tests replay the kept inputs in an ordinary build. Each returns false when the
// workbench broke one of its promises on the input (the reason goes to `failure`); a crash,
// a hang or a sanitizer report is a failure as well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace corelith::fuzz {

// Input: one byte choosing the reader (its two low bits: reference, core, environment,
// location), the layout (bit 2), the core reader's mode (bits 3-4) and the station-name
// check (bit 5); the rest is the file, opened as the commands open it (a UTF-16 file with
// its byte-order mark is read as its text). Promises: the reader returns one of its codes;
// a failure has a message and a success none; a table read holds no more species and
// samples than the tables do, names of at most 63 bytes, only finite values and, for
// locations, positions on the globe; the arrow cursor is back at the end.
bool TablesInput(const std::uint8_t* data, std::size_t size, std::string& failure);

// Input: the settings file. It is loaded and saved, and loaded and saved again. Promises:
// the second file equals the first (what is saved is what loads), its texts keep within
// their 516 characters and its second line holds ten values.
bool SettingsInput(const std::uint8_t* data, std::size_t size, std::string& failure);

// Input: a frequency matrix, a NUL byte, then bytes that choose the counting dialog's
// actions and their texts (numbers, increments, names), run through "Counting..." and the
// scripted backend as the batch front end runs them. Promises: the command ends; when it
// reports success, the matrix it wrote reads back with the same layout.
bool CountingInput(const std::uint8_t* data, std::size_t size, std::string& failure);

// The target of a fuzz folder name ("tables", "settings", "counting"); null for another.
using Entry = bool (*)(const std::uint8_t*, std::size_t, std::string&);
Entry EntryNamed(const std::string& name);

} // namespace corelith::fuzz
