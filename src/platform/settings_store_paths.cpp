#include "platform/settings_store_paths.h"

#include <cstdlib>

namespace orv {

namespace {

bool IsSet(const char* value) {
  return value != nullptr && *value != '\0';
}

}  // namespace

SettingsFilePaths SettingsFilePathsFrom(const char* home, const char* xdgConfigHome,
                                        const char* systemOverride) {
  SettingsFilePaths paths;
  // A relative XDG_CONFIG_HOME is invalid by the XDG rules and is ignored.
  if (IsSet(xdgConfigHome) && xdgConfigHome[0] == '/') {
    paths.currentUser = std::string(xdgConfigHome) + "/orvelle/settings.ini";
  } else if (IsSet(home)) {
    paths.currentUser = std::string(home) + "/.config/orvelle/settings.ini";
  }
  paths.localMachine = IsSet(systemOverride) ? systemOverride : kSystemSettingsFile;
  return paths;
}

SettingsFilePaths DefaultSettingsFilePaths() {
  return SettingsFilePathsFrom(std::getenv("HOME"), std::getenv("XDG_CONFIG_HOME"),
                               std::getenv(kSystemSettingsOverrideVariable));
}

}  // namespace orv
