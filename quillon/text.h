// Text helpers of the readers and writers: files as lines, whole numbers and fixed-point
// numbers in the C locale, the "file, line: reason" form of every reading message, and
// numbers written for tables and the report.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// A text file as lines, each without its line end (LF or CR LF). `name` is the path as
// shown in messages.
struct TextFile {
    std::string name;
    std::vector<std::string> lines;

    // Line `number` (1-based); empty past the end.
    const std::string& Line(int number) const;
    int LineCount() const { return static_cast<int>(lines.size()); }
    // The number of lines without the empty lines at the end of the file.
    int ContentLineCount() const;
    // "NAME, line N: TEXT", the form of every message about a place in a file.
    std::string At(int line, std::string_view text) const;
};

// Splits `text` into lines: "\n" ends a line, and a "\r" right before it belongs to the line
// end. A last line without a line end counts as a line.
std::vector<std::string> SplitLines(std::string_view text);

// Reads a whole file. Returns 0, or -1 with `error` set when it does not exist or cannot be
// read.
int ReadTextFile(const std::filesystem::path& path, const std::string& shownName, TextFile& file,
                 std::string& error);

std::string_view TrimBlanks(std::string_view text);
std::string_view TrimRightBlanks(std::string_view text);

// A whole number with optional blanks around it and an optional sign. False for anything
// else, also for a number outside the range of int.
bool ParseWholeNumber(std::string_view text, int& value);

// Reads a census value written with "%5.0f": optional leading blanks, then digits. Returns
// "" and sets `value`, or the reason the text is not such a value (a negative value, NaN,
// an infinite or a non-numeric text), for the message.
std::string ParseCensusValue(std::string_view text, double& value);

// Reads a number written with "%10.5f" (optional leading blanks, an optional minus, digits,
// a point and exactly five decimals). Returns "" and sets `value`, or the reason.
std::string ParseFixedFive(std::string_view text, double& value);

// A number for the tables: 8 significant digits, always with a decimal point (20 gives
// "20.0"), the C locale's point whatever the user's locale; NaN gives "" (an empty cell).
std::string TableNumber(double value);
// A number with `decimals` digits after the point, right-aligned in `width` characters.
std::string FixedNumber(double value, int decimals, int width = 0);
// `text` padded with blanks on the left (right-aligned) or the right to `width` characters.
std::string PadLeft(std::string_view text, size_t width);
std::string PadRight(std::string_view text, size_t width);
// `text` in double quotes, the form names take in messages.
std::string Quoted(std::string_view text);

} // namespace quillon
