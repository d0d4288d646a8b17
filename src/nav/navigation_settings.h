#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace orv {

// The few persisted values the navigation model reads and writes: the
// StartNumber of generated names, the last used list entries and the list
// column widths. The application wires this to its settings store; tests use
// an in-memory map. Key paths use "\" between levels.
class NavigationSettings {
 public:
  virtual ~NavigationSettings() = default;
  virtual std::optional<uint32_t> ReadDword(std::string_view keyPath,
                                            std::string_view valueName) = 0;
  virtual void WriteDword(std::string_view keyPath, std::string_view valueName, uint32_t value) = 0;
};

inline constexpr std::string_view kGeneralSettingsKey =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\General";
inline constexpr std::string_view kWaypointNamingKey =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\Navigator\\Waypoints";
inline constexpr std::string_view kRouteNamingKey =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\Navigator\\Routes";
inline constexpr std::string_view kStartNumberValue = "StartNumber";
inline constexpr std::string_view kWaypointLastUsedValue = "WaypointLastUsedIndex";
inline constexpr std::string_view kRouteLastUsedValue = "RouteLastUsedIndex";

}  // namespace orv
