#include "counting/cells.h"

#include "textio/numbers.h"

namespace corelith {

namespace {

// Nothing but blanks after the leading number.
bool OnlyBlanksAfter(std::string_view text, size_t numberLength) {
    return numberLength > 0 &&
           text.find_first_not_of(" \t\n\r\f\v", numberLength) == std::string_view::npos;
}

} // namespace

void SplitAtTabs(std::string_view line, std::vector<std::string_view>& cells) {
    cells.clear();
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        cells.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos)
            return;
        start = tab + 1;
    }
}

bool ReadWholeNumber(std::string_view text, float& value) {
    return OnlyBlanksAfter(text, LeadingNumberLength(text, true)) && ParseLeadingFloat(text, value);
}

bool ReadWholeNumber(std::string_view text, int& value) {
    return OnlyBlanksAfter(text, LeadingNumberLength(text, false)) && ParseLeadingInt(text, value);
}

} // namespace corelith
