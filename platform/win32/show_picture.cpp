// Pictures on Windows: the plot opens in the program the user's system opens SVG files
// with (a browser on most machines), which can also zoom, print and copy it.
#include "platform/wide_text.h"
#include "platform/win32/win32_platform.h"

#include <shellapi.h>

namespace corelith {

bool Win32Platform::ShowPicture(const std::string& svgPath, const std::string& title) {
    (void)title; // the viewer titles its window itself
    // The path is UTF-8; the wide call keeps names outside the ANSI code page.
    const std::wstring file = Widen(svgPath);
    if (file.empty())
        return false;
    const HINSTANCE started =
        ShellExecuteW(Owner(), L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // ShellExecuteW returns a number above 32 when the viewer started, an error code else.
    return reinterpret_cast<INT_PTR>(started) > 32;
}

} // namespace corelith
