// Small helpers for the tab-separated lines the counting tool reads besides the census
// table itself: its journal, and the table once more when it checks what the table holds.
#pragma once

#include <string_view>
#include <vector>

namespace corelith {

// The cells of `line`, split at tabs only (an empty line is one empty cell).
void SplitAtTabs(std::string_view line, std::vector<std::string_view>& cells);

// True when `text` is a decimal number from its start to its end (blanks around it
// allowed) that a single-precision value holds; `value` is then that number.
bool ReadWholeNumber(std::string_view text, float& value);
// The same for a signed whole number.
bool ReadWholeNumber(std::string_view text, int& value);

} // namespace corelith
