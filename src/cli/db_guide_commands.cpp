// Route guidance against a waypoint or a route of the database, and position averaging.
#include <charconv>
#include <ctime>
#include <ostream>
#include <string>

#include "app/display_units.h"
#include "app/guidance_texts.h"
#include "cli/db_subcommands.h"
#include "cli/db_support.h"
#include "cli/number_arg.h"
#include "cli/track_command_support.h"
#include "nav/navigation_database.h"
#include "nav/position_averaging.h"
#include "nav/route_guidance.h"

namespace orv::cli {
namespace {

bool ReadField(std::string_view text, size_t at, size_t digits, int& value) {
  if (at + digits > text.size()) return false;
  const char* first = text.data() + at;
  const auto result = std::from_chars(first, first + digits, value);
  return result.ec == std::errc() && result.ptr == first + digits;
}

// "YYYY-MM-DDTHH:MM:SS" in local time as seconds since 1970; none for anything else,
// including dates that do not exist.
std::optional<std::int64_t> ParseLocalTime(std::string_view text) {
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
      text[16] != ':') {
    return std::nullopt;
  }
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (!ReadField(text, 0, 4, year) || !ReadField(text, 5, 2, month) ||
      !ReadField(text, 8, 2, day) || !ReadField(text, 11, 2, hour) ||
      !ReadField(text, 14, 2, minute) || !ReadField(text, 17, 2, second)) {
    return std::nullopt;
  }
  std::tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month - 1;
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_min = minute;
  fields.tm_sec = second;
  fields.tm_isdst = -1;
  const std::time_t seconds = std::mktime(&fields);
  // mktime rolls 31 April over into May; such a date was not meant.
  if (seconds == static_cast<std::time_t>(-1) || fields.tm_year != year - 1900 ||
      fields.tm_mon != month - 1 || fields.tm_mday != day || hour > 23 || minute > 59 ||
      second > 59) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(seconds);
}

TargetWaypoint LookUp(const NavigationDatabase& database, const std::string& name) {
  TargetWaypoint entry{name, {}, std::nullopt};
  if (const std::optional<Waypoint> waypoint = database.WaypointAt(database.FindWaypoint(name))) {
    entry.description = waypoint->Description();
    entry.position =
        GeoPoint{waypoint->Position().LatitudeDegrees(), waypoint->Position().LongitudeDegrees()};
  }
  return entry;
}

std::optional<double> ReadNumberOption(const DbArgs& parsed, std::string_view name, double minimum,
                                       double below) {
  const std::string* text = parsed.Value(name);
  if (text == nullptr) return std::nullopt;
  const std::optional<double> value = ParseFiniteNumber(*text);
  if (!value || *value < minimum || *value >= below) return std::nullopt;
  return value;
}

}  // namespace

int RunDbGuide(const Args& args, Io& io) {
  constexpr std::string_view kSub = "guide";
  constexpr OptionRule kOptions[] = {{"--waypoint", 1}, {"--route", 1}, {"--index", 1},
                                     {"--at", 2},       {"--speed", 1}, {"--course", 1},
                                     {"--kind", 1},     {"--now", 1},   {"--units", 1}};
  DbArgs parsed;
  if (const std::string problem = ParseDbArgs(args, kOptions, parsed); !problem.empty()) {
    return DbUsageError(kSub, problem, io);
  }
  if (!parsed.words.empty()) {
    return DbUsageError(kSub, "unexpected argument '" + parsed.words[0] + "'", io);
  }
  if (parsed.Has("--waypoint") == parsed.Has("--route")) {
    return DbUsageError(kSub, "give either --waypoint NAME or --route NAME", io);
  }
  if (parsed.Has("--index") && !parsed.Has("--route")) {
    return DbUsageError(kSub, "--index goes with --route", io);
  }
  if (!parsed.Has("--at") || !parsed.Has("--speed") || !parsed.Has("--course")) {
    return DbUsageError(kSub, "--at LAT LON, --speed KN and --course DEG are needed", io);
  }
  const auto latitude = ParseCoordinateArg(*parsed.Value("--at", 0), CoordinateAxis::kLatitude);
  const auto longitude = ParseCoordinateArg(*parsed.Value("--at", 1), CoordinateAxis::kLongitude);
  if (!latitude || !longitude) {
    return DbUsageError(kSub, "--at needs a latitude and a longitude", io);
  }
  const auto speed = ReadNumberOption(parsed, "--speed", 0.0, 1e9);
  if (!speed) return DbUsageError(kSub, "--speed must be knots, not negative", io);
  const auto course = ReadNumberOption(parsed, "--course", 0.0, 360.0);
  if (!course) return DbUsageError(kSub, "--course must be degrees in [0, 360)", io);
  long long kind = static_cast<int>(kDefaultGuidanceKind);
  if (const std::string* text = parsed.Value("--kind");
      text && !ParseIntegerArg(*text, 1, 3, kind)) {
    return DbUsageError(kSub, "--kind must be 1, 2 or 3: '" + *text + "'", io);
  }
  long long units = static_cast<int>(kDefaultDistanceUnits);
  if (const std::string* text = parsed.Value("--units");
      text && !ParseIntegerArg(*text, 1, 3, units)) {
    return DbUsageError(kSub, "--units must be 1, 2 or 3: '" + *text + "'", io);
  }
  long long entry = 0;
  if (const std::string* text = parsed.Value("--index");
      text && !ParseIntegerArg(*text, 0, 1000000, entry)) {
    return DbUsageError(kSub, "--index must be an entry number from 0: '" + *text + "'", io);
  }
  std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
  if (const std::string* text = parsed.Value("--now")) {
    const std::optional<std::int64_t> parsedNow = ParseLocalTime(*text);
    if (!parsedNow) {
      return DbUsageError(kSub, "--now must be YYYY-MM-DDTHH:MM:SS: '" + *text + "'", io);
    }
    now = *parsedNow;
  }

  DbSession session(io, parsed);
  if (!session.Open()) return kExitFailure;
  const NavigationDatabase& database = session.Database();
  GuidanceTarget target;
  if (const std::string* name = parsed.Value("--waypoint")) {
    if (database.FindWaypoint(*name) < 0) return DbFailure(kSub, "no waypoint '" + *name + "'", io);
    target = GuidanceTarget::ForWaypoint(LookUp(database, *name));
  } else {
    const std::string& routeName = *parsed.Value("--route");
    const std::optional<Route> route = database.RouteAt(database.FindRoute(routeName));
    if (!route) return DbFailure(kSub, "no route '" + routeName + "'", io);
    if (entry >= static_cast<long long>(route->Size())) {
      return DbFailure(
          kSub, "route '" + routeName + "' has " + std::to_string(route->Size()) + " entries", io);
    }
    std::vector<TargetWaypoint> entries;
    for (const std::string& waypoint : route->WaypointNames()) {
      entries.push_back(LookUp(database, waypoint));
    }
    target = GuidanceTarget::ForRoute(std::move(entries), static_cast<int>(entry));
  }

  RouteGuidance guidance(
      GuidanceSettings{GuidanceKindFromSetting(static_cast<std::uint32_t>(kind)), true});
  const GuidanceFix fix{GeoPoint{*latitude, *longitude}, *speed, *course};
  const std::optional<GuidanceFigures> figures = guidance.Update(fix, target, now);
  if (!figures) {
    const int current = target.is_route ? target.current_index : 0;
    return DbFailure(
        kSub, "no waypoint '" + target.waypoints[static_cast<size_t>(current)].name + "'", io);
  }
  const GuidanceTexts texts = MakeGuidanceTexts(*figures, static_cast<DistanceUnits>(units), now);
  io.out << "BRG: " << texts.bearing << "\n"
         << "DST: " << texts.distance << "\n"
         << "ETE: " << texts.enroute_time << "\n"
         << "ETA: " << texts.arrival_time << "\n"
         << "ERD: " << texts.route_distance << "\n";
  if (target.is_route) {
    io.out << "arrived: " << (figures->arrived ? "yes" : "no") << "\n"
           << "next index: " << figures->next_index << "\n";
    for (const FollowingWaypointText& following : texts.following) {
      io.out << following.name << '\t' << following.distance << '\t' << following.description
             << "\n";
    }
  }
  return kExitOk;
}

int RunDbAverage(const Args& args, Io& io) {
  constexpr std::string_view kSub = "average";
  DbArgs parsed;
  if (const std::string problem = ParseDbArgs(args, {}, parsed); !problem.empty()) {
    return DbUsageError(kSub, problem, io);
  }
  if (parsed.words.empty()) return DbUsageError(kSub, "expects LAT,LON [LAT,LON ...]", io);
  PositionAverager averager;
  for (const std::string& word : parsed.words) {
    const auto position = ParsePositionPair(word);
    if (!position) return DbUsageError(kSub, "not a position LAT,LON: '" + word + "'", io);
    averager.Offer(GeoPoint{position->first, position->second});
  }
  const std::optional<GeoPoint> average = averager.Average();
  if (!average) return DbFailure(kSub, "no average", io);
  io.out << "samples: " << averager.Samples().size() << " of " << parsed.words.size() << "\n"
         << "average: " << FormatFixed10(average->latitude) << " "
         << FormatFixed10(average->longitude) << "\n";
  return kExitOk;
}

}  // namespace orv::cli
