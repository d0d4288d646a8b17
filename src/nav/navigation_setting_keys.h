#pragma once

#include <string_view>

namespace orv {

// Where the navigation model keeps its persisted values in the settings
// store (current-user hive): the StartNumber of generated names and the last
// used list entries. Key paths use "\\" between levels.
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
