#pragma once

#include <span>
#include <string>
#include <vector>

#include "app/display_units.h"
#include "nav/nearest_waypoints.h"

namespace orv {

// DST of the nearest list: "%.3f" in the display unit, without the unit name.
std::string NearestDistanceText(double nautical_miles, DistanceUnits units);

// One line of the Nearest Waypoints list with the two row bits its decoration uses.
struct NearestRowText {
  std::string name;
  std::string distance;
  std::string bearing;
  bool ahead = false;
  bool behind = false;
};

// Rows in the order picked; `names` are the candidates' names the rows index into.
std::vector<NearestRowText> MakeNearestRowTexts(std::span<const NearestRow> rows,
                                                std::span<const std::string> names,
                                                DistanceUnits units);

}  // namespace orv
