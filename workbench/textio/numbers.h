// Reading numbers the way the workbench's files write them: decimal, in the C locale,
// from the start of a text. "inf", "nan" and hexadecimal forms are not numbers here, and
// neither is a value outside the range of the result type.
#pragma once

#include <string_view>

namespace corelith {

// Reads a decimal number (blanks first, a sign, digits with an optional point and
// exponent) from the start of `text`. Returns false, leaving `value` alone, when the text
// does not begin with one. Reading stops where the number ends: "12,5" gives 12.
bool ParseLeadingFloat(std::string_view text, float& value);
// The same for a signed whole number ("12.5" gives 12).
bool ParseLeadingInt(std::string_view text, int& value);
// Number of characters the leading number of `text` spans (blanks included); 0 when the
// text does not begin with a number.
size_t LeadingNumberLength(std::string_view text, bool allowFraction);

} // namespace corelith
