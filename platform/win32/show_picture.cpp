// Pictures on Windows: the plot opens in the program the user's system opens SVG files
// with (a browser on most machines), which can also zoom, print and copy it.
#include "platform/win32/win32_platform.h"

#include <shellapi.h>

namespace corelith {

bool Win32Platform::ShowPicture(const std::string& svgPath, const std::string& title) {
    (void)title; // the viewer titles its window itself
    // The path is UTF-8; the wide call keeps names outside the ANSI code page.
    const int size = static_cast<int>(svgPath.size());
    std::wstring file(
        static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, svgPath.data(), size, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, svgPath.data(), size, file.data(),
                        static_cast<int>(file.size()));
    if (file.empty())
        return false;
    const HINSTANCE started =
        ShellExecuteW(Owner(), L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // ShellExecuteW returns a number above 32 when the viewer started, an error code else.
    return reinterpret_cast<INT_PTR>(started) > 32;
}

} // namespace corelith
