#include "quillon/text.h"

#include "quillon/paths.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <system_error>

namespace quillon {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

// True for the texts a C library writes for NaN and infinity, in either case.
bool LooksLike(std::string_view text, std::string_view word) {
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    if (text.size() < word.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i)
        if ((text[i] | 0x20) != word[i])
            return false;
    return true;
}

std::string NotANumberReason(std::string_view field) {
    if (LooksLike(field, "nan"))
        return "the value " + Quoted(field) + " is not a number (NaN)";
    if (LooksLike(field, "inf"))
        return "the value " + Quoted(field) + " is infinite";
    if (field.empty())
        return "the value is missing";
    return Quoted(field) + " is not a number";
}

} // namespace

const std::string& TextFile::Line(int number) const {
    static const std::string empty;
    if (number < 1 || number > LineCount())
        return empty;
    return lines[static_cast<size_t>(number - 1)];
}

int TextFile::ContentLineCount() const {
    int count = LineCount();
    while (count > 0 && lines[static_cast<size_t>(count - 1)].empty())
        --count;
    return count;
}

std::string TextFile::At(int line, std::string_view text) const {
    return name + ", line " + std::to_string(line) + ": " + std::string(text);
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos)
            end = text.size();
        size_t lineEnd = end;
        if (lineEnd > start && text[lineEnd - 1] == '\r')
            --lineEnd;
        lines.emplace_back(text.substr(start, lineEnd - start));
        start = next;
    }
    return lines;
}

int ReadTextFile(const std::filesystem::path& path, const std::string& shownName, TextFile& file,
                 std::string& error) {
    file.name = shownName;
    file.lines.clear();
    std::error_code code;
    if (!std::filesystem::exists(path, code)) {
        error = shownName + ": the file does not exist";
        return -1;
    }
    if (std::filesystem::is_directory(path, code)) {
        error = shownName + ": this is a folder, not a file";
        return -1;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = shownName + ": the file cannot be opened for reading";
        return -1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = shownName + ": the file cannot be read";
        return -1;
    }
    file.lines = SplitLines(text);
    return 0;
}

std::string_view TrimRightBlanks(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::string_view TrimBlanks(std::string_view text) {
    text = TrimRightBlanks(text);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    return text;
}

bool ParseWholeNumber(std::string_view text, int& value) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    const std::string_view digits = !text.empty() && text.front() == '-' ? text.substr(1) : text;
    if (!AllDigits(digits))
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

std::string ParseCensusValue(std::string_view text, double& value) {
    const std::string_view field = TrimBlanks(text);
    std::string_view digits = field;
    const bool negative = !digits.empty() && digits.front() == '-';
    if (negative)
        digits.remove_prefix(1);
    if (!AllDigits(digits))
        return NotANumberReason(field);
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    // "-0" is what "%5.0f" writes for a tiny negative share: nothing to count, and not below 0.
    if (negative && value != 0.0)
        return "the value " + std::string(field) + " is negative";
    if (!std::isfinite(value))
        return "the value " + Quoted(field) + " is too large";
    return "";
}

std::string ParseFixedFive(std::string_view text, double& value) {
    const std::string_view field = TrimBlanks(text);
    std::string_view number = field;
    if (!number.empty() && number.front() == '-')
        number.remove_prefix(1);
    const size_t point = number.find('.');
    if (point == std::string_view::npos || !AllDigits(number.substr(0, point)) ||
        !AllDigits(number.substr(point + 1)))
        return NotANumberReason(field);
    if (number.size() - point - 1 != 5)
        return Quoted(field) + " does not have the five decimals of its form";
    std::from_chars(field.data(), field.data() + field.size(), value);
    return "";
}

std::string TableNumber(double value) {
    if (std::isnan(value))
        return "";
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 8);
    std::string text(buffer, result.ptr);
    if (std::isfinite(value) && text.find('.') == std::string::npos) {
        const size_t exponent = text.find('e');
        text.insert(exponent == std::string::npos ? text.size() : exponent, ".0");
    }
    return text;
}

std::string FixedNumber(double value, int decimals, int width) {
    std::string text;
    if (std::isnan(value)) {
        text = "-";
    } else {
        char buffer[400];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                          std::chars_format::fixed, decimals);
        text.assign(buffer, result.ptr);
        // A value that rounds to zero reads better without its sign.
        if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos)
            text.erase(0, 1);
    }
    return PadLeft(text, static_cast<size_t>(std::max(width, 0)));
}

std::string PadLeft(std::string_view text, size_t width) {
    std::string result(width > text.size() ? width - text.size() : 0, ' ');
    return result.append(text);
}

std::string PadRight(std::string_view text, size_t width) {
    std::string result(text);
    if (result.size() < width)
        result.resize(width, ' ');
    return result;
}

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    quoted += text;
    quoted += '"';
    return quoted;
}

} // namespace quillon
