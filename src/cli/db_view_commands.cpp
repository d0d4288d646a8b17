// The database subcommands that only read it: the lists, the Route Waypoints rows and the
// nearest waypoints.
#include <ostream>
#include <string>

#include "app/display_units.h"
#include "app/nearest_texts.h"
#include "cli/db_subcommands.h"
#include "cli/db_support.h"
#include "cli/number_arg.h"
#include "cli/track_command_support.h"
#include "nav/navigation_database.h"
#include "nav/nearest_waypoints.h"
#include "nav/route_waypoint_rows.h"
#include "nmea/rte_sentence.h"

namespace orv::cli {
namespace {

constexpr std::string_view kNoWaypointsText = "There are not Waypoints";
constexpr std::string_view kNoRoutesText = "There are not Routes";
// "The route '%1' does not have wps", around the route's name.
constexpr std::string_view kRouteWithoutWaypointsBefore = "The route '";
constexpr std::string_view kRouteWithoutWaypointsAfter = "' does not have wps";

void PrintRow(std::ostream& out, std::initializer_list<std::string_view> cells) {
  bool first = true;
  for (std::string_view cell : cells) {
    if (!first) out << '\t';
    out << cell;
    first = false;
  }
  out << '\n';
}

bool ParseArgsOrFail(std::string_view subcommand, const Args& args,
                     std::span<const OptionRule> options, DbArgs& parsed, Io& io, int& status) {
  if (const std::string problem = ParseDbArgs(args, options, parsed); !problem.empty()) {
    status = DbUsageError(subcommand, problem, io);
    return false;
  }
  return true;
}

// --units 1|2|3, nautical miles when not given.
bool ReadUnits(std::string_view subcommand, const DbArgs& parsed, DistanceUnits& units, Io& io,
               int& status) {
  units = kDefaultDistanceUnits;
  const std::string* text = parsed.Value("--units");
  if (text == nullptr) return true;
  long long value = 0;
  if (!ParseIntegerArg(*text, 1, 3, value)) {
    status = DbUsageError(subcommand, "--units must be 1, 2 or 3: '" + *text + "'", io);
    return false;
  }
  units = static_cast<DistanceUnits>(value);
  return true;
}

void PrintWaypoints(const NavigationDatabase& database, bool json, std::ostream& out) {
  const int count = database.WaypointCount();
  if (json) {
    std::string text = "{\"waypoints\":[";
    for (int i = 0; i < count; ++i) {
      const Waypoint waypoint = *database.WaypointAt(i);
      if (i > 0) text += ',';
      text += "{\"name\":";
      AppendJsonString(text, waypoint.Name());
      text += ",\"latitude\":";
      AppendShortest(text, waypoint.Position().LatitudeDegrees());
      text += ",\"longitude\":";
      AppendShortest(text, waypoint.Position().LongitudeDegrees());
      text += ",\"description\":";
      AppendJsonString(text, waypoint.Description());
      text += ",\"placeToStore\":";
      AppendJsonString(text, waypoint.PlaceToStore());
      text += '}';
    }
    out << text << "]}\n";
    return;
  }
  if (count == 0) {
    out << kNoWaypointsText << "\n";
    return;
  }
  PrintRow(out,
           {"Waypoint name", "Latitude", "Longitude", "Place to store waypoints", "Description"});
  for (int i = 0; i < count; ++i) {
    const Waypoint waypoint = *database.WaypointAt(i);
    PrintRow(out, {waypoint.Name(), waypoint.Position().LatitudeText(),
                   waypoint.Position().LongitudeText(), waypoint.PlaceToStore(),
                   waypoint.Description()});
  }
}

void PrintRoutes(const NavigationDatabase& database, bool json, std::ostream& out) {
  const int count = database.RouteCount();
  if (json) {
    std::string text = "{\"routes\":[";
    for (int i = 0; i < count; ++i) {
      const Route route = *database.RouteAt(i);
      if (i > 0) text += ',';
      text += "{\"name\":";
      AppendJsonString(text, route.Name());
      text += ",\"type\":";
      AppendJsonString(text, RouteTypeLetter(route.Type()));
      text += ",\"placeToStore\":";
      AppendJsonString(text, route.PlaceToStore());
      text += ",\"waypoints\":[";
      for (size_t k = 0; k < route.Size(); ++k) {
        if (k > 0) text += ',';
        AppendJsonString(text, route.WaypointNames()[k]);
      }
      text += "]}";
    }
    out << text << "]}\n";
    return;
  }
  if (count == 0) {
    out << kNoRoutesText << "\n";
    return;
  }
  PrintRow(out, {"Route name", "Place to store routes", "Waypoints"});
  for (int i = 0; i < count; ++i) {
    const Route route = *database.RouteAt(i);
    PrintRow(out, {route.Name(), route.PlaceToStore(), std::to_string(route.Size())});
  }
}

void PrintRouteView(const RouteWaypointsView& view, std::string_view routeName, bool json,
                    std::ostream& out) {
  if (json) {
    std::string text = "{\"title\":";
    AppendJsonString(text, view.title);
    text += ",\"beginToEnd\":";
    AppendJsonString(text, view.beginToEnd);
    text += ",\"totalDistance\":";
    AppendJsonString(text, view.totalDistance);
    text += ",\"rows\":[";
    for (size_t i = 0; i < view.rows.size(); ++i) {
      const RouteWaypointRow& row = view.rows[i];
      if (i > 0) text += ',';
      const std::pair<const char*, const std::string*> cells[] = {
          {"number", &row.number},
          {"waypointName", &row.waypointName},
          {"desiredTrack", &row.desiredTrack},
          {"legDistance", &row.legDistance},
          {"distanceFromBegin", &row.distanceFromBegin},
          {"distanceToEnd", &row.distanceToEnd}};
      text += '{';
      for (size_t c = 0; c < std::size(cells); ++c) {
        if (c > 0) text += ',';
        text += '"';
        text += cells[c].first;
        text += "\":";
        AppendJsonString(text, *cells[c].second);
      }
      text += '}';
    }
    out << text << "]}\n";
    return;
  }
  out << view.title << "\n" << view.beginToEnd << "\n" << view.totalDistance << "\n";
  if (view.rows.empty()) {
    out << kRouteWithoutWaypointsBefore << routeName << kRouteWithoutWaypointsAfter << "\n";
    return;
  }
  PrintRow(out, {"Number", "Waypoint name", "Desired Track of Leg", "Leg Distance",
                 "Distance from the Begin", "Distance to the End"});
  for (const RouteWaypointRow& row : view.rows) {
    PrintRow(out, {row.number, row.waypointName, row.desiredTrack, row.legDistance,
                   row.distanceFromBegin, row.distanceToEnd});
  }
}

}  // namespace

int RunDbList(const Args& args, Io& io) {
  constexpr std::string_view kSub = "list";
  constexpr OptionRule kOptions[] = {{"--json", 0}};
  DbArgs parsed;
  int status = kExitOk;
  if (!ParseArgsOrFail(kSub, args, kOptions, parsed, io, status)) return status;
  if (parsed.words.size() != 1 || (parsed.words[0] != "waypoints" && parsed.words[0] != "routes")) {
    return DbUsageError(kSub, "expects 'waypoints' or 'routes'", io);
  }
  DbSession session(io, parsed);
  if (!session.Open()) return kExitFailure;
  if (parsed.words[0] == "waypoints") {
    PrintWaypoints(session.Database(), parsed.Has("--json"), io.out);
  } else {
    PrintRoutes(session.Database(), parsed.Has("--json"), io.out);
  }
  return kExitOk;
}

int RunDbRoute(const Args& args, Io& io) {
  constexpr std::string_view kSub = "route";
  constexpr OptionRule kOptions[] = {{"--json", 0}, {"--units", 1}};
  DbArgs parsed;
  int status = kExitOk;
  if (!ParseArgsOrFail(kSub, args, kOptions, parsed, io, status)) return status;
  if (parsed.words.size() != 1) return DbUsageError(kSub, "expects NAME", io);
  DistanceUnits units{};
  if (!ReadUnits(kSub, parsed, units, io, status)) return status;
  DbSession session(io, parsed);
  if (!session.Open()) return kExitFailure;
  const NavigationDatabase& database = session.Database();
  const std::string& name = parsed.words[0];
  const std::optional<Route> route = database.RouteAt(database.FindRoute(name));
  if (!route) return DbFailure(kSub, "no route '" + name + "'", io);
  const RouteWaypointsView view = BuildRouteWaypointsView(
      *route, [&](std::string_view waypoint) { return database.WaypointPosition(waypoint); },
      static_cast<LegDistanceUnit>(static_cast<int>(units)));
  PrintRouteView(view, name, parsed.Has("--json"), io.out);
  return kExitOk;
}

int RunDbNearest(const Args& args, Io& io) {
  constexpr std::string_view kSub = "nearest";
  constexpr OptionRule kOptions[] = {
      {"--speed", 1}, {"--course", 1}, {"--route", 1}, {"--units", 1}};
  DbArgs parsed;
  int status = kExitOk;
  if (!ParseArgsOrFail(kSub, args, kOptions, parsed, io, status)) return status;
  if (parsed.words.size() < 2 || parsed.words.size() > 3) {
    return DbUsageError(kSub, "expects LAT LON [N|all]", io);
  }
  const auto latitude = ParseCoordinateArg(parsed.words[0], CoordinateAxis::kLatitude);
  if (!latitude) return DbUsageError(kSub, "LAT is not a latitude: '" + parsed.words[0] + "'", io);
  const auto longitude = ParseCoordinateArg(parsed.words[1], CoordinateAxis::kLongitude);
  if (!longitude) {
    return DbUsageError(kSub, "LON is not a longitude: '" + parsed.words[1] + "'", io);
  }
  int requested = kNearestCounts[0];
  if (parsed.words.size() == 3) {
    long long count = 0;
    if (parsed.words[2] == "all") {
      requested = kAllNearest;
    } else if (ParseIntegerArg(parsed.words[2], 1, 1000000, count)) {
      requested = static_cast<int>(count);
    } else {
      return DbUsageError(kSub, "N must be a count from 1 or 'all': '" + parsed.words[2] + "'", io);
    }
  }
  GuidanceFix fix;
  fix.position = GeoPoint{*latitude, *longitude};
  if (const std::string* speed = parsed.Value("--speed")) {
    const auto value = ParseFiniteNumber(*speed);
    if (!value || *value < 0.0) {
      return DbUsageError(kSub, "--speed must be knots, not negative: '" + *speed + "'", io);
    }
    fix.speed_knots = *value;
  }
  if (const std::string* course = parsed.Value("--course")) {
    const auto value = ParseFiniteNumber(*course);
    if (!value || *value < 0.0 || *value >= 360.0) {
      return DbUsageError(kSub, "--course must be degrees in [0, 360): '" + *course + "'", io);
    }
    fix.course = *value;
  }
  DistanceUnits units{};
  if (!ReadUnits(kSub, parsed, units, io, status)) return status;

  DbSession session(io, parsed);
  if (!session.Open()) return kExitFailure;
  const NavigationDatabase& database = session.Database();
  NearestCandidates candidates;
  std::string routeLine;
  if (const std::string* routeName = parsed.Value("--route")) {
    const int routeIndex = database.FindRoute(*routeName);
    if (routeIndex < 0) return DbFailure(kSub, "no route '" + *routeName + "'", io);
    candidates = RouteWaypointCandidates(database, routeIndex);
    routeLine = NearestRouteLine(*routeName);
  } else {
    candidates = AllWaypointCandidates(database);
  }
  if (requested == kAllNearest && !ConfirmNearestAll(session.Prompter())) {
    return DbFailure(kSub, "cancelled", io);
  }
  const std::vector<NearestRow> rows = FindNearestWaypoints(fix, candidates.positions, requested);
  io.out << NearestTitle(requested) << "\n";
  if (!routeLine.empty()) io.out << routeLine << "\n";
  if (rows.empty()) {
    io.out << kNearestEmptyStatus << "\n";
    return kExitOk;
  }
  PrintRow(io.out, {"Waypoint name", "DST", "BRG"});
  for (const NearestRowText& row : MakeNearestRowTexts(rows, candidates.names, units)) {
    PrintRow(io.out, {row.name, row.distance, row.bearing});
  }
  return kExitOk;
}

}  // namespace orv::cli
