#include "cli/commands.h"

#include <iterator>
#include <ostream>

#include "cli/bt_command.h"
#include "cli/check_command.h"
#include "cli/coord_command.h"
#include "cli/db_command.h"
#include "cli/export_command.h"
#include "cli/geo_command.h"
#include "cli/import_command.h"
#include "cli/play_command.h"
#include "cli/points_command.h"
#include "cli/record_command.h"
#include "cli/speedclass_command.h"
#include "cli/stats_command.h"
#include "cli/vport_command.h"

namespace orv::cli {

// Each command lives in its own file; add its row here.
namespace {
const Command kCommands[] = {
    {"version", "print the program version",
     "Usage: orvelle-cli version\nPrints the program version.\n",
     [](const Args&, Io& io) {
       io.out << "orvelle-cli 7.9.85\n";
       return kExitOk;
     }},
    {"check", kCheckSummary, kCheckUsage, RunCheckCommand},
    {"geo", kGeoSummary, kGeoUsage, RunGeoCommand},
    {"speedclass", kSpeedClassSummary, kSpeedClassUsage, RunSpeedClassCommand},
    {"stats", kStatsSummary, kStatsUsage, RunStatsCommand},
    {"points", kPointsSummary, kPointsUsage, RunPointsCommand},
    {"play", kPlaySummary, kPlayUsage, RunPlayCommand},
    {"record", kRecordSummary, kRecordUsage, RunRecordCommand},
    {"export", kExportSummary, kExportUsage, RunExportCommand},
    {"import", kImportSummary, kImportUsage, RunImportCommand},
    {"vport", kVportSummary, kVportUsage, RunVportCommand},
    {"bt", kBtSummary, kBtUsage, RunBtCommand},
    {"db", kDbSummary, kDbUsage, RunDbCommand},
    {"coord", kCoordSummary, kCoordUsage, RunCoordCommand},
};
}  // namespace

std::span<const Command> Commands() {
  return {std::begin(kCommands), std::end(kCommands)};
}

}  // namespace orv::cli
