// Cutting names and texts to a byte limit.
#pragma once

#include <cstddef>
#include <string_view>

namespace corelith {

// The first `limit` bytes of `text`, or fewer when the cut would split a UTF-8 character:
// then the cut moves back to that character's lead byte. Text in a one-byte encoding
// (no UTF-8 lead byte before the cut) is cut exactly at `limit`.
std::string_view CutText(std::string_view text, size_t limit);

} // namespace corelith
