#include "resources/accelerators.h"

namespace corelith {

const std::vector<Accelerator>& Accelerators() {
    static const std::vector<Accelerator> table = {
        {"Alt+Backspace", 21}, {"Shift+Del", 22}, {"F1", 73},     {"Ctrl+Ins", 23},
        {"Shift+Ins", 24},     {"Ctrl+C", 23},    {"Ctrl+N", 11}, {"Ctrl+R", 12},
        {"Ctrl+X", 22},        {"Ctrl+Z", 21},
    };
    return table;
}

} // namespace corelith
