#include "cli/db_command.h"

#include <ostream>

#include "cli/db_subcommands.h"

namespace orv::cli {
namespace {

const Command kDb{"db", kDbSummary, kDbUsage, RunDbCommand};

struct Subcommand {
  std::string_view name;
  CommandFn run;
};

constexpr Subcommand kSubcommands[] = {
    {"list", RunDbList},
    {"route", RunDbRoute},
    {"add-waypoint", RunDbAddWaypoint},
    {"add-route", RunDbAddRoute},
    {"delete-waypoint", RunDbDeleteWaypoint},
    {"delete-route", RunDbDeleteRoute},
    {"rename-waypoint", RunDbRenameWaypoint},
    {"rename-route", RunDbRenameRoute},
    {"import-nmea", RunDbImportNmea},
    {"save-route", RunDbSaveRoute},
    {"nearest", RunDbNearest},
    {"guide", RunDbGuide},
    {"average", RunDbAverage},
};

}  // namespace

int RunDbCommand(const Args& args, Io& io) {
  if (args.empty()) return UsageError(kDb, "missing subcommand", io);
  for (const Subcommand& sub : kSubcommands) {
    if (sub.name == args[0]) return sub.run(Args(args.begin() + 1, args.end()), io);
  }
  return UsageError(kDb, "unknown subcommand '" + args[0] + "'", io);
}

}  // namespace orv::cli
