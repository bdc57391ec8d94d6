#include "platform/settings_folder.h"

#include <cstdlib>

namespace corelith {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

} // namespace

std::string DefaultSettingsFolder() {
#ifdef _WIN32
    std::string appData = Environment("APPDATA");
    if (appData.empty())
        return {};
    if (appData.back() != '\\' && appData.back() != '/')
        appData += '\\';
    return appData + "Corelith\\";
#else
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
#endif
}

} // namespace corelith
