#include "nav/nearest_waypoints.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "nav/geodesy.h"
#include "nav/navigation_database.h"
#include "nmea/number_text.h"

namespace orv {
namespace {

constexpr double kSectorHalfWidth = 45.0;

// Angle between two directions, 0..180.
double AngleBetween(double a, double b) {
  double difference = std::fmod(std::fabs(a - b), 360.0);
  if (difference > 180.0) difference = 360.0 - difference;
  return difference;
}

bool IsKnownBearing(double bearing) {
  return bearing >= 0.0 && bearing < 360.0;
}

GeoPoint PointOf(const LatLong& position) {
  return {position.LatitudeDegrees(), position.LongitudeDegrees()};
}

}  // namespace

std::size_t NearestRowCount(int requested, std::size_t candidates) {
  if (requested < 0) return candidates;
  return std::min(static_cast<std::size_t>(requested), candidates);
}

BearingMark MarkBearing(double bearing, double speed_knots, double course) {
  if (!IsKnownBearing(bearing) || !(speed_knots > 0.0) || !std::isfinite(course)) {
    return BearingMark::kNone;
  }
  if (AngleBetween(bearing, course) < kSectorHalfWidth) return BearingMark::kAhead;
  if (AngleBetween(bearing, std::fmod(course + 180.0, 360.0)) < kSectorHalfWidth) {
    return BearingMark::kBehind;
  }
  return BearingMark::kNone;
}

std::vector<NearestRow> FindNearestWaypoints(const std::optional<GuidanceFix>& fix,
                                             std::span<const GeoPoint> candidates, int requested) {
  std::vector<NearestRow> rows;
  if (!fix) return rows;
  const GeoPoint& here = fix->position;

  struct Keyed {
    double distance;
    std::size_t index;
  };
  std::vector<Keyed> keyed(candidates.size());
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const double d =
        GeoDistance(here.latitude, here.longitude, candidates[i].latitude, candidates[i].longitude);
    // A NaN would break the ordering; such a candidate goes last.
    keyed[i] = {std::isnan(d) ? std::numeric_limits<double>::infinity() : d, i};
  }
  // The index breaks ties, which gives the stored order a repeated nearest-first scan gives.
  const auto nearer = [](const Keyed& a, const Keyed& b) {
    return a.distance < b.distance || (a.distance == b.distance && a.index < b.index);
  };
  const std::size_t count = NearestRowCount(requested, candidates.size());
  // Select the front part first, then order only that: linear plus count log count, where a
  // heap-based partial sort of everything ("All") is several times slower.
  const auto front_end = keyed.begin() + static_cast<std::ptrdiff_t>(count);
  if (front_end != keyed.end()) std::nth_element(keyed.begin(), front_end, keyed.end(), nearer);
  std::sort(keyed.begin(), front_end, nearer);

  rows.reserve(count);
  for (std::size_t k = 0; k < count; ++k) {
    const GeoPoint& there = candidates[keyed[k].index];
    NearestRow row;
    row.index = keyed[k].index;
    row.distance_nm = keyed[k].distance;
    row.bearing = GeoAzimuth(here.latitude, here.longitude, there.latitude, there.longitude);
    row.mark = MarkBearing(row.bearing, fix->speed_knots, fix->course);
    rows.push_back(row);
  }
  return rows;
}

std::string NearestBearingText(const NearestRow& row) {
  if (!IsKnownBearing(row.bearing)) return "Unknown";
  std::string text;
  if (row.mark == BearingMark::kAhead) text = "Ahead - ";
  if (row.mark == BearingMark::kBehind) text = "Behind - ";
  AppendFixed(text, row.bearing, 1);
  text += "\xC2\xB0";
  return text;
}

std::string NearestTitle(int requested) {
  if (requested < 0) return std::string(kNearestTitle);
  std::string title;
  AppendInteger(title, requested);
  title += ' ';
  title += kNearestTitle;
  return title;
}

std::string NearestRouteLine(std::string_view route_name) {
  std::string line = "of '";
  line += route_name;
  line += "' route";
  return line;
}

bool ConfirmNearestAll(Prompter& prompter) {
  Prompt prompt;
  prompt.text = kNearestAllQuestion;
  prompt.caption = "Question";
  prompt.icon = PromptIcon::kQuestion;
  prompt.buttons = PromptButtons::kYesNo;
  prompt.defaultButton = 1;
  return prompter.Ask(prompt) == PromptAnswer::kYes;
}

NearestCandidates AllWaypointCandidates(const NavigationDatabase& database) {
  NearestCandidates candidates;
  const DatabaseContents contents = database.Contents();
  candidates.names.reserve(contents.waypoints.size());
  candidates.positions.reserve(contents.waypoints.size());
  for (const Waypoint& waypoint : contents.waypoints) {
    if (!waypoint.HasKnownPosition()) continue;
    candidates.names.push_back(waypoint.Name());
    candidates.positions.push_back(PointOf(waypoint.Position()));
  }
  return candidates;
}

NearestCandidates RouteWaypointCandidates(const NavigationDatabase& database, int route_index) {
  NearestCandidates candidates;
  const std::optional<Route> route = database.RouteAt(route_index);
  if (!route) return candidates;
  for (const std::string& name : route->WaypointNames()) {
    const std::optional<LatLong> position = database.WaypointPosition(name);
    if (!position || !position->IsValid()) continue;
    candidates.names.push_back(name);
    candidates.positions.push_back(PointOf(*position));
  }
  return candidates;
}

}  // namespace orv
