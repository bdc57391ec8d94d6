#include "engine/text.h"

namespace marvane {

int LastNonBlank(std::string_view text) {
    int last = static_cast<int>(text.size());
    while (last > 0 && text[static_cast<size_t>(last - 1)] == ' ') {
        --last;
    }
    return last;
}

std::string TrimRight(std::string_view text) {
    return std::string(text.substr(0, static_cast<size_t>(LastNonBlank(text))));
}

std::string FitToWidth(std::string_view text, int width) {
    std::string result(text.substr(0, static_cast<size_t>(width)));
    result.resize(static_cast<size_t>(width), ' ');
    return result;
}

} // namespace marvane
