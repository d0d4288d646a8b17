#include "nav/list_column_layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "nav/navigation_setting_keys.h"
#include "platform/settings_store.h"

namespace orv {
namespace {

constexpr std::array kWaypointColumns = {
    ListColumn{"Waypoint name", "WaypointNameColumnWidth", 90},
    ListColumn{"Latitude", "LatitudeColumnWidth", 90},
    ListColumn{"Longitude", "LongitudeColumnWidth", 90},
    ListColumn{"Place to store waypoints", "PlaceToStoreColumnWidth", 100},
};
constexpr std::array kRouteColumns = {
    ListColumn{"Route name", "RouteNameColumnWidth", 90},
    ListColumn{"Place to store routes", "PlaceToStoreColumnWidth", 100},
};
// The last value name says "Begin" for the end column; it is the name the
// settings have always used, so it stays.
constexpr std::array kRouteWaypointColumns = {
    ListColumn{"Number", "NumberColumnWidth", 45},
    ListColumn{"Waypoint name", "WaypointNameColumnWidth", 90},
    ListColumn{"Desired Track of Leg", "DesiredTrackOfLegColumnWidth", 90},
    ListColumn{"Leg Distance", "LegDistanceColumnWidth", 90},
    ListColumn{"Distance from the Begin", "DistanceFromTheBeginColumnWidth", 90},
    ListColumn{"Distance to the End", "DistanceToTheBeginColumnWidth", 90},
};

constexpr int kReferenceDpi = 96;

}  // namespace

std::span<const ListColumn> ListColumns(NavigationList list) {
  switch (list) {
    case NavigationList::kWaypointList:
      return kWaypointColumns;
    case NavigationList::kRouteList:
      return kRouteColumns;
    case NavigationList::kRouteWaypointList:
      break;
  }
  return kRouteWaypointColumns;
}

std::string_view ListLayoutKey(NavigationList list) {
  switch (list) {
    case NavigationList::kWaypointList:
      return "Software\\Orvelle Records2010\\Orvelle "
             "Recorder7\\Settings\\ListLayouts\\WaypointList";
    case NavigationList::kRouteList:
      return "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\ListLayouts\\RouteList";
    case NavigationList::kRouteWaypointList:
      break;
  }
  return "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\ListLayouts\\RouteWPList";
}

int DefaultColumnWidth(int logicalWidth, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(logicalWidth) * dpi / kReferenceDpi));
}

std::vector<int> LoadColumnWidths(NavigationList list, int dpi, SettingsStore* settings) {
  std::vector<int> widths;
  for (const ListColumn& column : ListColumns(list)) {
    std::optional<uint32_t> stored;
    if (settings != nullptr)
      stored =
          settings->ReadDword(SettingsHive::kCurrentUser, ListLayoutKey(list), column.valueName);
    widths.push_back(stored && *stored <= INT32_MAX ? static_cast<int>(*stored)
                                                    : DefaultColumnWidth(column.logicalWidth, dpi));
  }
  return widths;
}

void StoreColumnWidths(NavigationList list, std::span<const int> widths, SettingsStore* settings) {
  if (settings == nullptr) return;
  const std::span<const ListColumn> columns = ListColumns(list);
  const size_t count = std::min(columns.size(), widths.size());
  for (size_t i = 0; i < count; ++i) {
    settings->WriteDword(SettingsHive::kCurrentUser, ListLayoutKey(list), columns[i].valueName,
                         static_cast<uint32_t>(std::max(widths[i], 0)));
  }
}

std::string RouteWithoutWaypointsText(std::string_view routeName) {
  std::string text = "The route '";
  text.append(routeName);
  text.append("' does not have wps");
  return text;
}

}  // namespace orv
