#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "nav/navigation_database.h"
#include "nav/navigation_setting_keys.h"
#include "nmea/lat_long.h"
#include "platform/scripted_prompter.h"
#include "platform/settings_store_memory.h"

namespace orv {

inline LatLong At(double latitude, double longitude) {
  LatLong position;
  position.SetDegrees(latitude, longitude);
  return position;
}

// A database wired to a scripted prompter and in-memory settings.
struct DatabaseFixture {
  DatabaseFixture() {
    database.SetPrompter(&prompter);
    database.SetSettings(&settings);
  }
  std::optional<uint32_t> Setting(std::string_view key, std::string_view value) {
    return settings.ReadDword(SettingsHive::kCurrentUser, key, value);
  }

  ScriptedPrompter prompter;
  MemorySettingsStore settings;
  NavigationDatabase database;
};

}  // namespace orv
