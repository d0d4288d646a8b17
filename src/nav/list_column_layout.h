#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

class SettingsStore;

enum class NavigationList { kWaypointList, kRouteList, kRouteWaypointList };

struct ListColumn {
  std::string_view header;
  std::string_view valueName;  // width value under the list's key
  int logicalWidth;            // at 96 dots per inch
};

// The columns of a list in display order.
std::span<const ListColumn> ListColumns(NavigationList list);
// The settings key that keeps the list's column widths.
std::string_view ListLayoutKey(NavigationList list);

// The default width of a column on a screen of `dpi` dots per inch: round(w * dpi / 96).
int DefaultColumnWidth(int logicalWidth, int dpi);
// The widths to show: each persisted value, or the default where there is none.
std::vector<int> LoadColumnWidths(NavigationList list, int dpi, SettingsStore* settings);
// Writes the current widths back; extra or missing entries are ignored.
void StoreColumnWidths(NavigationList list, std::span<const int> widths, SettingsStore* settings);

// The status line of a list without entries.
inline constexpr std::string_view kNoWaypointsText = "There are not Waypoints";
inline constexpr std::string_view kNoRoutesText = "There are not Routes";
// "The route '%1' does not have wps".
std::string RouteWithoutWaypointsText(std::string_view routeName);

}  // namespace orv
