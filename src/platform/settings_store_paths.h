#pragma once

#include <string>

namespace orv {

// Where the two settings files live. An empty path means the hive has no
// file: it reads as empty and refuses writes.
struct SettingsFilePaths {
  std::string currentUser;
  std::string localMachine;
};

inline constexpr const char* kSystemSettingsFile = "/etc/orvelle/settings.ini";
inline constexpr const char* kSystemSettingsOverrideVariable = "ORVELLE_SYSTEM_SETTINGS";

// The XDG rules: the user file is "orvelle/settings.ini" under
// XDG_CONFIG_HOME when that is an absolute path, else under $HOME/.config.
// The machine file is kSystemSettingsFile unless the override is non-empty.
// Null arguments stand for unset variables.
SettingsFilePaths SettingsFilePathsFrom(const char* home, const char* xdgConfigHome,
                                        const char* systemOverride);

// The same, from this process's environment.
SettingsFilePaths DefaultSettingsFilePaths();

}  // namespace orv
