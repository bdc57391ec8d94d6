#include "platform/settings_folder.h"

#ifdef _WIN32
#include "platform/wide_text.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>
#else
#include <cstdlib>
#endif

namespace corelith {

#ifdef _WIN32

namespace {

// The user's roaming application-data folder in UTF-8: %APPDATA% (read in UTF-16, as the
// ANSI copy of the environment cannot hold every user name), else the shell's known
// folder; empty when neither is known.
std::string ApplicationDataFolder() {
    const wchar_t* value = _wgetenv(L"APPDATA");
    if (value != nullptr && *value != L'\0')
        return Narrow(value);
    std::string folder;
    PWSTR known = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &known)))
        folder = Narrow(known);
    CoTaskMemFree(known);
    return folder;
}

} // namespace

std::string DefaultSettingsFolder() {
    std::string appData = ApplicationDataFolder();
    if (appData.empty())
        return {};
    if (appData.back() != '\\' && appData.back() != '/')
        appData += '\\';
    return appData + "Corelith\\";
}

#else

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

} // namespace

std::string DefaultSettingsFolder() {
    // A relative XDG_CONFIG_HOME is invalid by the XDG rules and must be ignored.
    std::string base = Environment("XDG_CONFIG_HOME");
    if (base.empty() || base.front() != '/') {
        std::string home = Environment("HOME");
        if (home.empty())
            return {};
        if (home.back() != '/')
            home += '/';
        base = home + ".config";
    }
    if (base.back() != '/')
        base += '/';
    return base + "corelith/";
}

#endif

} // namespace corelith
