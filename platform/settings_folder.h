// Where the desktop keeps per-user settings. Shared by every backend so that the
// scripted (batch) front end and the desktop read and write the same settings file.
#pragma once

#include <string>

namespace corelith {

// The folder of the settings file, ending with a separator: "$XDG_CONFIG_HOME/corelith/"
// when that variable holds an absolute path, else "$HOME/.config/corelith/". On Windows
// "%APPDATA%\Corelith\" (the user's roaming application data; the Windows folder itself is
// not writable by ordinary users). Empty when none of them is known, which puts the settings
// file into the current folder. The folder is not created here (saving the settings does).
std::string DefaultSettingsFolder();

} // namespace corelith
