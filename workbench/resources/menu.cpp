#include "resources/menu.h"

namespace corelith {

const std::vector<Menu>& MainMenu() {
    static const std::vector<Menu> menu = {
        {"&File",
         {{11, "New Transfer Function Project..."},
          {12, "New Velmar Project..."},
          {},
          {16, "Execute Quillon"},
          {17, "Execute Marvane"},
          {},
          {18, "E&xit"}}},
        {"&Edit",
         {{21, "&Undo\tCtrl+Z", true},
          {22, "Cu&t\tCtrl+X", true},
          {23, "&Copy\tCtrl+C", true},
          {24, "&Paste", true},
          {25, "De&lete\tDel", true},
          {26, "&Select All", true}}},
        {"Options",
         {{31, "Format of species..."},
          {32, "Format of data..."},
          {},
          {33, "CapFac..."},
          {34, "Regress..."},
          {35, "Thread....", true},
          {36, "Velmar..."},
          {},
          {37, "Program..."},
          {},
          {38, "Setup Quillon.exe..."},
          {39, "Setup Marvane.exe..."}}},
        {"Ranking",
         {{41, "Create stepwise ranking system..."},
          {42, "Create database..."},
          {43, "Create continuous (logarithmic) ranking system..."}}},
        {"Converter",
         {{51, "Raw data -> Frequency Matrix..."},
          {54, "%-database -> Frequency Matrix..."},
          {53, "Frequency Matrix -> database..."}}},
        {"&Tools", {{64, "Counting..."}}},
        {"&?", {{71, "Info"}, {72, "Version"}, {}, {73, "&Help"}, {74, "&About Corelith..."}}},
    };
    return menu;
}

const std::vector<Accelerator>& Accelerators() {
    static const std::vector<Accelerator> table = {
        {"Alt+Backspace", 21}, {"Shift+Del", 22}, {"F1", 73},     {"Ctrl+Ins", 23},
        {"Shift+Ins", 24},     {"Ctrl+C", 23},    {"Ctrl+N", 11}, {"Ctrl+R", 12},
        {"Ctrl+X", 22},        {"Ctrl+Z", 21},
    };
    return table;
}

const MenuItem* FindMenuItem(int id) {
    if (id == 0)
        return nullptr;
    for (const Menu& m : MainMenu()) {
        for (const MenuItem& item : m.items) {
            if (item.id == id)
                return &item;
        }
    }
    return nullptr;
}

} // namespace corelith
