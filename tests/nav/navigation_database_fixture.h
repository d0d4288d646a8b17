#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "nav/navigation_database.h"
#include "nav/navigation_settings.h"
#include "nmea/lat_long.h"
#include "platform/scripted_prompter.h"

namespace orv {

class MemoryNavigationSettings : public NavigationSettings {
 public:
  std::optional<uint32_t> ReadDword(std::string_view keyPath, std::string_view valueName) override {
    const auto found = values_.find({std::string(keyPath), std::string(valueName)});
    if (found == values_.end()) return std::nullopt;
    return found->second;
  }
  void WriteDword(std::string_view keyPath, std::string_view valueName, uint32_t value) override {
    values_[{std::string(keyPath), std::string(valueName)}] = value;
  }

 private:
  std::map<std::pair<std::string, std::string>, uint32_t> values_;
};

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
    return settings.ReadDword(key, value);
  }

  ScriptedPrompter prompter;
  MemoryNavigationSettings settings;
  NavigationDatabase database;
};

}  // namespace orv
