#include "platform/win32/accelerators.h"

#include <array>
#include <cctype>

namespace corelith {

namespace {

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

struct NamedKey {
    std::string_view name;
    WORD key;
};

// The names the menu texts and the accelerator data use, with their common long forms.
constexpr std::array kNamedKeys = {
    NamedKey{"Backspace", VK_BACK}, NamedKey{"Del", VK_DELETE},    NamedKey{"Delete", VK_DELETE},
    NamedKey{"Ins", VK_INSERT},     NamedKey{"Insert", VK_INSERT}, NamedKey{"Enter", VK_RETURN},
    NamedKey{"Return", VK_RETURN},  NamedKey{"Esc", VK_ESCAPE},    NamedKey{"Escape", VK_ESCAPE},
    NamedKey{"Tab", VK_TAB},        NamedKey{"Space", VK_SPACE},   NamedKey{"Home", VK_HOME},
    NamedKey{"End", VK_END},        NamedKey{"PgUp", VK_PRIOR},    NamedKey{"PgDown", VK_NEXT},
    NamedKey{"Left", VK_LEFT},      NamedKey{"Right", VK_RIGHT},   NamedKey{"Up", VK_UP},
    NamedKey{"Down", VK_DOWN},
};

// The virtual key of a key name, or 0.
WORD KeyOf(std::string_view name) {
    if (name.size() == 1) {
        const unsigned char c = static_cast<unsigned char>(name[0]);
        if (std::isalnum(c))
            return static_cast<WORD>(std::toupper(c)); // 'A'..'Z' and '0'..'9' are their keys
        return 0;
    }
    if ((name[0] == 'F' || name[0] == 'f') && name.size() <= 3) {
        int number = 0;
        for (char c : name.substr(1)) {
            if (c < '0' || c > '9')
                return 0;
            number = number * 10 + (c - '0');
        }
        if (number >= 1 && number <= 24)
            return static_cast<WORD>(VK_F1 + number - 1);
        return 0;
    }
    for (const NamedKey& named : kNamedKeys) {
        if (SameWord(named.name, name))
            return named.key;
    }
    return 0;
}

} // namespace

bool ParseAccelerator(std::string_view keys, int command, ACCEL& accel) {
    if (command < 0 || command > 0xFFFF)
        return false;
    BYTE flags = FVIRTKEY | FNOINVERT;
    WORD key = 0;
    while (!keys.empty()) {
        const size_t plus = keys.find('+');
        const std::string_view part = keys.substr(0, plus);
        keys = plus == std::string_view::npos ? std::string_view() : keys.substr(plus + 1);
        if (key != 0)
            return false; // the key is the last part
        if (SameWord(part, "Ctrl"))
            flags |= FCONTROL;
        else if (SameWord(part, "Alt"))
            flags |= FALT;
        else if (SameWord(part, "Shift"))
            flags |= FSHIFT;
        else if ((key = KeyOf(part)) == 0)
            return false;
        if (plus != std::string_view::npos && keys.empty())
            return false; // "Ctrl+" names no key
    }
    if (key == 0)
        return false;
    accel.fVirt = flags;
    accel.key = key;
    accel.cmd = static_cast<WORD>(command);
    return true;
}

HACCEL CreateAccelerators(const std::vector<Accelerator>& accelerators) {
    std::vector<ACCEL> table;
    for (const Accelerator& accelerator : accelerators) {
        ACCEL accel{};
        if (ParseAccelerator(accelerator.keys, accelerator.command, accel))
            table.push_back(accel);
    }
    if (table.empty())
        return nullptr;
    return CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

} // namespace corelith
