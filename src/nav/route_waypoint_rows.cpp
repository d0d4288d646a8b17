#include "nav/route_waypoint_rows.h"

#include "nav/geodesy.h"
#include "nmea/number_text.h"

namespace orv {
namespace {

constexpr double kKilometersPerNauticalMile = 1.852;
constexpr double kStatuteMilesPerNauticalMile = 1.150779448;
constexpr std::string_view kDegreeSign = "\xC2\xB0";

struct Leg {
  bool known = false;
  double azimuth = -1.0;
  double distance = 0.0;
};

std::string DesiredTrackText(double azimuth) {
  if (!(azimuth >= 0.0 && azimuth < 360.0)) return "Unknown";
  std::string text;
  AppendFixed(text, azimuth, 2);
  text.append(kDegreeSign);
  return text;
}

}  // namespace

std::string LegDistanceText(double nauticalMiles, LegDistanceUnit unit) {
  std::string text;
  switch (unit) {
    case LegDistanceUnit::kKilometers:
      AppendFixed(text, nauticalMiles * kKilometersPerNauticalMile, 3);
      text.append("km");
      break;
    case LegDistanceUnit::kStatuteMiles:
      AppendFixed(text, nauticalMiles * kStatuteMilesPerNauticalMile, 3);
      text.append("mi");
      break;
    case LegDistanceUnit::kNauticalMiles:
      AppendFixed(text, nauticalMiles, 3);
      text.append("nmi");
      break;
  }
  return text;
}

RouteWaypointsView BuildRouteWaypointsView(const Route& route, const WaypointPositionLookup& lookup,
                                           LegDistanceUnit unit) {
  const std::vector<std::string>& names = route.WaypointNames();
  std::vector<std::optional<LatLong>> positions;
  positions.reserve(names.size());
  for (const std::string& name : names) positions.push_back(lookup(name));

  std::vector<Leg> legs(names.size());  // legs[0] stays unknown: row 0 has no leg
  double total = 0.0;
  for (size_t k = 1; k < names.size(); ++k) {
    if (!positions[k - 1] || !positions[k]) continue;
    const LatLong& from = *positions[k - 1];
    const LatLong& to = *positions[k];
    legs[k].known = true;
    legs[k].azimuth = GeoAzimuth(from.LatitudeDegrees(), from.LongitudeDegrees(),
                                 to.LatitudeDegrees(), to.LongitudeDegrees());
    legs[k].distance = GeoDistance(from.LatitudeDegrees(), from.LongitudeDegrees(),
                                   to.LatitudeDegrees(), to.LongitudeDegrees());
    total += legs[k].distance;
  }

  RouteWaypointsView view;
  view.title = "Waypoints of '" + route.Name() + "' route";
  view.beginToEnd = (names.empty() ? std::string("Begin") : names.front()) + " to " +
                    (names.empty() ? std::string("End") : names.back());
  view.totalDistance = "Total Distance: " + LegDistanceText(total, unit);

  // Sums of the known legs before and after each row, added up in leg order.
  std::vector<double> toEnd(names.size() + 1, 0.0);
  for (size_t k = names.size(); k-- > 1;) toEnd[k - 1] = toEnd[k] + legs[k].distance;
  double fromBegin = 0.0;
  for (size_t k = 0; k < names.size(); ++k) {
    RouteWaypointRow row;
    AppendInteger(row.number, static_cast<int64_t>(k) + 1);
    row.waypointName = names[k];
    const bool last = k + 1 == names.size();
    if (k == 0) {
      if (!last) row.distanceToEnd = LegDistanceText(total, unit);
    } else if (legs[k].known) {
      fromBegin += legs[k].distance;
      row.desiredTrack = DesiredTrackText(legs[k].azimuth);
      row.legDistance = LegDistanceText(legs[k].distance, unit);
      row.distanceFromBegin = LegDistanceText(fromBegin, unit);
      if (!last) row.distanceToEnd = LegDistanceText(toEnd[k], unit);
    }
    view.rows.push_back(std::move(row));
  }
  return view;
}

}  // namespace orv
