// The database subcommands that change it: add, delete, rename, import, and the route file.
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "app/navigation_database_sink.h"
#include "app/navigator.h"
#include "app/track_file_reader.h"
#include "cli/db_subcommands.h"
#include "cli/db_support.h"
#include "nav/item_name.h"
#include "nav/navigation_database.h"
#include "nav/navigation_database_file.h"

namespace orv::cli {
namespace {

// A name the database could not read back is refused before anything is opened.
bool CheckName(std::string_view subcommand, std::string_view name, Io& io, int& status) {
  const ItemNameFault fault = CheckItemName(name);
  if (fault == ItemNameFault::kNone) return true;
  status =
      DbUsageError(subcommand,
                   fault == ItemNameFault::kEmpty ? std::string_view("a name must not be empty")
                                                  : ItemNameFaultText(fault),
                   io);
  return false;
}

// Parses and checks the word count; on failure `status` holds the exit status.
bool ReadArgs(std::string_view subcommand, const Args& args, std::span<const OptionRule> options,
              size_t minWords, size_t maxWords, std::string_view wordsText, DbArgs& out, Io& io,
              int& status) {
  if (const std::string problem = ParseDbArgs(args, options, out); !problem.empty()) {
    status = DbUsageError(subcommand, problem, io);
    return false;
  }
  if (out.words.size() < minWords || out.words.size() > maxWords) {
    status = DbUsageError(subcommand, "expects " + std::string(wordsText), io);
    return false;
  }
  return true;
}

int Saved(DbSession& session, std::string_view subcommand, Io& io) {
  if (!session.SaveIfChanged()) return DbFailure(subcommand, "the database was not saved", io);
  return kExitOk;
}

// What the waypoint and the route forms of a subcommand differ in.
struct ItemCommands {
  std::string_view noun;
  int (NavigationDatabase::*find)(std::string_view) const;
  std::optional<int> (NavigationDatabase::*remove)(int);
  // False when the entry kept its name.
  bool (*rename)(NavigationDatabase& database, int index, const std::string& newName);
  // A route may take its waypoints with it; their number is told.
  bool tellsDeletedWaypoints;
};

constexpr ItemCommands kWaypointCommands{
    "waypoint", &NavigationDatabase::FindWaypoint, &NavigationDatabase::DeleteWaypoint,
    [](NavigationDatabase& database, int index, const std::string& newName) {
      // Renaming is an edit that keeps the position.
      return database.EditWaypoint(index, newName, database.WaypointAt(index)->Position());
    },
    false};

constexpr ItemCommands kRouteCommands{
    "route", &NavigationDatabase::FindRoute, &NavigationDatabase::DeleteRoute,
    [](NavigationDatabase& database, int index, const std::string& newName) {
      return database.RenameRoute(index, newName);
    },
    true};

// "waypoint 'NAME'".
std::string Named(const ItemCommands& item, std::string_view name) {
  std::string text(item.noun);
  text.append(" '").append(name).append("'");
  return text;
}

int RunDbDelete(const Args& args, Io& io, std::string_view subcommand, const ItemCommands& item) {
  DbArgs parsed;
  int status = kExitOk;
  if (!ReadArgs(subcommand, args, {}, 1, 1, "NAME", parsed, io, status)) return status;
  DbSession session(io, parsed);
  if (!session.Open()) return kExitFailure;
  NavigationDatabase& database = session.Database();
  const std::string& name = parsed.words[0];
  const int index = (database.*item.find)(name);
  if (index < 0) return DbFailure(subcommand, "no " + Named(item, name), io);
  const int waypointsBefore = database.WaypointCount();
  if (!(database.*item.remove)(index)) {
    return DbFailure(subcommand, Named(item, name) + " was kept", io);
  }
  if (const int saved = Saved(session, subcommand, io); saved != kExitOk) return saved;
  io.out << "deleted " << item.noun << ": " << name << "\n";
  const int gone = waypointsBefore - database.WaypointCount();
  if (item.tellsDeletedWaypoints && gone > 0) io.out << "deleted waypoints: " << gone << "\n";
  return kExitOk;
}

int RunDbRename(const Args& args, Io& io, std::string_view subcommand, const ItemCommands& item) {
  DbArgs parsed;
  int status = kExitOk;
  if (!ReadArgs(subcommand, args, {}, 2, 2, "OLD NEW", parsed, io, status)) return status;
  const std::string& oldName = parsed.words[0];
  const std::string& newName = parsed.words[1];
  if (!CheckName(subcommand, newName, io, status)) return status;
  DbSession session(io, parsed);
  if (!session.Open()) return kExitFailure;
  NavigationDatabase& database = session.Database();
  const int index = (database.*item.find)(oldName);
  if (index < 0) return DbFailure(subcommand, "no " + Named(item, oldName), io);
  if (newName != oldName && !item.rename(database, index, newName)) {
    return DbFailure(subcommand, Named(item, oldName) + " was not renamed", io);
  }
  if (const int saved = Saved(session, subcommand, io); saved != kExitOk) return saved;
  io.out << "renamed " << item.noun << ": " << oldName << " -> " << newName << "\n";
  return kExitOk;
}

}  // namespace

int RunDbAddWaypoint(const Args& args, Io& io) {
  constexpr std::string_view kSub = "add-waypoint";
  constexpr OptionRule kOptions[] = {{"--description", 1}};
  DbArgs parsed;
  int status = kExitOk;
  if (!ReadArgs(kSub, args, kOptions, 3, 3, "NAME LAT LON", parsed, io, status)) return status;
  const std::string& name = parsed.words[0];
  if (!CheckName(kSub, name, io, status)) return status;
  const auto latitude = ParseCoordinateArg(parsed.words[1], CoordinateAxis::kLatitude);
  if (!latitude) return DbUsageError(kSub, "LAT is not a latitude: '" + parsed.words[1] + "'", io);
  const auto longitude = ParseCoordinateArg(parsed.words[2], CoordinateAxis::kLongitude);
  if (!longitude) {
    return DbUsageError(kSub, "LON is not a longitude: '" + parsed.words[2] + "'", io);
  }

  DbSession session(io, parsed);
  if (!session.Open()) return kExitFailure;
  NavigationDatabase& database = session.Database();
  LatLong position;
  position.SetDegrees(*latitude, *longitude);
  if (!database.CreateWaypoint(name, position)) {
    return DbFailure(kSub, "waypoint '" + name + "' was not stored", io);
  }
  // The stored record is the last used one; its name may be a generated one.
  const int index = database.LastUsedWaypoint();
  const std::optional<Waypoint> stored = database.WaypointAt(index);
  if (!stored) return DbFailure(kSub, "waypoint '" + name + "' was not stored", io);
  if (const std::string* description = parsed.Value("--description")) {
    database.SetWaypointDescription(index, *description);
  }
  if (const int saved = Saved(session, kSub, io); saved != kExitOk) return saved;
  io.out << "stored waypoint: " << stored->Name() << "\n";
  return kExitOk;
}

int RunDbAddRoute(const Args& args, Io& io) {
  constexpr std::string_view kSub = "add-route";
  DbArgs parsed;
  int status = kExitOk;
  if (!ReadArgs(kSub, args, {}, 1, SIZE_MAX, "NAME [WAYPOINT...]", parsed, io, status)) {
    return status;
  }
  const std::string& name = parsed.words[0];
  if (!CheckName(kSub, name, io, status)) return status;

  DbSession session(io, parsed);
  if (!session.Open()) return kExitFailure;
  NavigationDatabase& database = session.Database();
  for (size_t i = 1; i < parsed.words.size(); ++i) {
    if (database.FindWaypoint(parsed.words[i]) < 0) {
      return DbFailure(kSub, "no waypoint '" + parsed.words[i] + "'", io);
    }
  }
  if (!database.CreateRoute(name)) {
    return DbFailure(kSub, "route '" + name + "' was not stored", io);
  }
  const int index = database.LastUsedRoute();
  const std::optional<Route> created = database.RouteAt(index);
  if (!created) return DbFailure(kSub, "route '" + name + "' was not stored", io);
  for (size_t i = 1; i < parsed.words.size(); ++i) {
    database.AddWaypointToRoute(index, parsed.words[i]);
  }
  if (const int saved = Saved(session, kSub, io); saved != kExitOk) return saved;
  io.out << "stored route: " << created->Name() << " (" << parsed.words.size() - 1
         << " waypoints)\n";
  return kExitOk;
}

int RunDbDeleteWaypoint(const Args& args, Io& io) {
  return RunDbDelete(args, io, "delete-waypoint", kWaypointCommands);
}

int RunDbDeleteRoute(const Args& args, Io& io) {
  return RunDbDelete(args, io, "delete-route", kRouteCommands);
}

int RunDbRenameWaypoint(const Args& args, Io& io) {
  return RunDbRename(args, io, "rename-waypoint", kWaypointCommands);
}

int RunDbRenameRoute(const Args& args, Io& io) {
  return RunDbRename(args, io, "rename-route", kRouteCommands);
}

int RunDbImportNmea(const Args& args, Io& io) {
  constexpr std::string_view kSub = "import-nmea";
  DbArgs parsed;
  int status = kExitOk;
  if (!ReadArgs(kSub, args, {}, 1, 1, "FILE", parsed, io, status)) return status;
  DbSession session(io, parsed);
  if (!session.Open()) return kExitFailure;

  // The same road as opening a track file: each line goes to the database first, then
  // to the Recorded track, whose points are not kept here.
  Navigator navigator;
  NavigationDatabaseSink sink(session.Database());
  navigator.SetNavigationSink(&sink);
  TrackFileReader reader(navigator, session.Prompter());
  const bool loaded = reader.LoadNow(parsed.words[0]);
  navigator.SetNavigationSink(nullptr);
  if (!loaded) return kExitFailure;  // the open failure has been shown
  const TrackLoadOutcome outcome = reader.LastOutcome();
  if (const int saved = Saved(session, kSub, io); saved != kExitOk) return saved;
  const NavigationDatabase& database = session.Database();
  // The records this file brought, known by their place to store.
  const std::string& file = parsed.words[0];
  for (int i = 0; i < database.WaypointCount(); ++i) {
    const std::optional<Waypoint> waypoint = database.WaypointAt(i);
    if (waypoint && waypoint->PlaceToStore() == file)
      io.out << "waypoint: " << waypoint->Name() << "\n";
  }
  for (int i = 0; i < database.RouteCount(); ++i) {
    const std::optional<Route> route = database.RouteAt(i);
    if (route && route->PlaceToStore() == file) io.out << "route: " << route->Name() << "\n";
  }
  io.out << "waypoints: " << database.WaypointCount() << "\n"
         << "routes: " << database.RouteCount() << "\n"
         << "import state: " << outcome.importState << "\n";
  return outcome.outOfMemory ? kExitFailure : kExitOk;
}

int RunDbSaveRoute(const Args& args, Io& io) {
  constexpr std::string_view kSub = "save-route";
  DbArgs parsed;
  int status = kExitOk;
  if (!ReadArgs(kSub, args, {}, 2, 2, "NAME OUT", parsed, io, status)) return status;
  DbSession session(io, parsed);
  if (!session.Open()) return kExitFailure;
  const std::string& name = parsed.words[0];
  const int index = session.Database().FindRoute(name);
  if (index < 0) return DbFailure(kSub, "no route '" + name + "'", io);
  NavigationDatabaseFile file(session.Database(), &session.Prompter());
  // The confirmation is shown as information, on standard output.
  return file.ExportRoute(index, parsed.words[1]) ? kExitOk : kExitFailure;
}

}  // namespace orv::cli
