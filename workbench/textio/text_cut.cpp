#include "textio/text_cut.h"

namespace corelith {

std::string_view CutText(std::string_view text, size_t limit) {
    if (text.size() <= limit)
        return text;
    const auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
    // A UTF-8 character has at most three continuation bytes after its lead byte.
    size_t lead = limit;
    while (lead > 0 && limit - lead < 3 && (byte(lead) & 0xC0) == 0x80)
        --lead;
    const bool splitsCharacter = lead < limit && (byte(lead) & 0xC0) == 0xC0;
    return text.substr(0, splitsCharacter ? lead : limit);
}

} // namespace corelith
