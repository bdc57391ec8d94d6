// Small text helpers shared by the engine's readers and report writers.
#pragma once

#include <string>
#include <string_view>

namespace marvane {

// 1-based position of the last non-blank character; 0 for an empty or all-blank text.
int LastNonBlank(std::string_view text);

// The text without its trailing blanks.
std::string TrimRight(std::string_view text);

// The text cut to `width` characters or padded with blanks to `width` characters.
std::string FitToWidth(std::string_view text, int width);

} // namespace marvane
