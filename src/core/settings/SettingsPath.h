// Where config.ini lives on Linux: beside the running program when that folder is writable
// or already holds a config.ini (as the original does), otherwise in the user's
// configuration folder, $XDG_CONFIG_HOME/vantelsor (default ~/.config/vantelsor).
#pragma once

#include <string>

namespace vantelsor {

inline constexpr const char* kSettingsFileName = "config.ini";
inline constexpr const char* kSettingsFolderName = "vantelsor";

// The folder of the running executable (from /proc/self/exe), or "" when unknown.
std::string ExecutableFolder();

// The choice of DefaultSettingsPath with its inputs made explicit: `exeFolder` is the
// program's folder ("" when unknown); `xdgConfigHome` and `home` are the values of
// $XDG_CONFIG_HOME and $HOME (nullptr when unset). A relative or empty $XDG_CONFIG_HOME is
// ignored, as the XDG base directory rules ask. Creates the configuration folder when it chooses
// it. Without any usable folder the result is "config.ini" (the current folder).
std::string ChooseSettingsPath(const std::string& exeFolder, const char* xdgConfigHome,
                               const char* home);

// ChooseSettingsPath(ExecutableFolder(), getenv("XDG_CONFIG_HOME"), getenv("HOME")).
std::string DefaultSettingsPath();

}  // namespace vantelsor
