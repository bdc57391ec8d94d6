// What the fuzz targets do with one input, kept apart from libFuzzer so that the unit
// tests can replay the kept inputs in an ordinary build. Each returns false when the
// engine broke one of its promises on the input (the reason goes to `failure`); a
// crash, a hang or a sanitizer report is a failure as well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace marvane::fuzz {

// Input: a descriptor on the first line, a list of item kinds on the second ("A" a
// 12-character text, "a" a 4-character one, "I" an integer, anything else a real), the
// records of a file after that. The descriptor is parsed; if it is valid, up to three
// read operations run over the records and each successful one is written back.
// Promises: every failure has a diagnostic; written records stay within the limits;
// the fast and the exact route of a real field agree.
bool FormatInput(const std::uint8_t* data, std::size_t size, std::string& failure);

// Input: a project file. Promises: a failure has a diagnostic; a project that passes
// the limit checks holds values within them.
bool ProjectInput(const std::uint8_t* data, std::size_t size, std::string& failure);

// Input: four bytes of run parameters, then the environment, reference and subject
// files separated by NUL bytes, read with the workbench's descriptors. What is read
// goes through both computing paths (virtual samples on a small grid, distances and
// picks). Promises: a failure has a diagnostic; both paths agree bit for bit.
bool DataInput(const std::uint8_t* data, std::size_t size, std::string& failure);

// Input: lines 6 to 17 of a project file, then the environment, reference and subject
// files, separated by NUL bytes. The engine runs the project on both computing paths in
// a scratch folder; lines 1 to 5 always name files there, so no input can make the engine
// write anywhere else. Projects with more than 30 reference or subject samples are
// skipped (the straightforward loops must stay quick). After the run, the project is
// cross-validated (leave-one-out or two folds). Promises: both paths end the same way,
// with the same console lines and the same bytes in every output file, the estimates
// table and the cross-validation's tables included; a failure has a diagnostic.
bool RunInput(const std::uint8_t* data, std::size_t size, std::string& failure);

// The target of a fuzz folder name ("format", "project", "data", "run"); null for another.
using Entry = bool (*)(const std::uint8_t*, std::size_t, std::string&);
Entry EntryNamed(const std::string& name);

} // namespace marvane::fuzz
