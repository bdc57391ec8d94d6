#include "textio/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace corelith {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

size_t SkipBlanks(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return i;
}

} // namespace

size_t LeadingNumberLength(std::string_view text, bool allowFraction) {
    size_t i = SkipBlanks(text);
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (allowFraction && i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    // An exponent counts only when digits follow it ("2e" is 2 followed by a letter).
    if (allowFraction && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

namespace {

// The leading number of `text` as from_chars takes it: no blanks, no plus sign.
std::string_view NumberSpan(std::string_view text, bool allowFraction) {
    std::string_view number = text.substr(0, LeadingNumberLength(text, allowFraction));
    number.remove_prefix(SkipBlanks(number));
    if (!number.empty() && number.front() == '+')
        number.remove_prefix(1);
    return number;
}

} // namespace

bool ParseLeadingFloat(std::string_view text, float& value) {
    const std::string_view number = NumberSpan(text, true);
    if (number.empty())
        return false;
    const char* end = number.data() + number.size();
    float parsed = 0;
    const auto result = std::from_chars(number.data(), end, parsed);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small for a float is 0; too large is no number at all.
        double wide = 0;
        const auto again = std::from_chars(number.data(), end, wide);
        if (again.ec == std::errc::result_out_of_range || std::fabs(wide) >= 1.0)
            return false;
        parsed = number.front() == '-' ? -0.0f : 0.0f;
    } else if (result.ec != std::errc()) {
        return false;
    }
    value = parsed;
    return true;
}

bool ParseLeadingInt(std::string_view text, int& value) {
    const std::string_view number = NumberSpan(text, false);
    int parsed = 0;
    if (number.empty() ||
        std::from_chars(number.data(), number.data() + number.size(), parsed).ec != std::errc())
        return false;
    value = parsed;
    return true;
}

} // namespace corelith
