#include "cli/import_command.h"

#include <optional>
#include <ostream>
#include <string>

#include "app/navigation_database_sink.h"
#include "app/navigator.h"
#include "app/settings_model.h"
#include "cli/stream_prompter.h"
#include "cli/track_command_support.h"
#include "exchange/file_import.h"
#include "nav/navigation_database.h"
#include "nav/navigation_database_file.h"
#include "platform/documents_folder.h"
#include "platform/qt_settings_store.h"

namespace orv::cli {
namespace {

const Command kImport{"import", kImportSummary, kImportUsage, RunImportCommand};

struct ImportOptions {
  std::string path;
  std::optional<long long> kind;
  std::string databaseFolder;
};

std::string ReadOptions(const Args& args, ImportOptions& options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--kind") {
      if (i + 1 == args.size()) return "--kind needs a value (1, 2 or 3)";
      long long kind = 0;
      if (!ParseIntegerArg(args[++i], 1, 3, kind)) {
        return "--kind must be 1, 2 or 3: '" + args[i] + "'";
      }
      options.kind = kind;
    } else if (arg == "--db") {
      if (i + 1 == args.size()) return "--db needs a folder";
      options.databaseFolder = args[++i];
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "unknown option '" + arg + "'";
    } else if (!options.path.empty()) {
      return "only one FILE may be given";
    } else {
      options.path = arg;
    }
  }
  return options.path.empty() ? "missing FILE" : "";
}

void PrintKmlReport(const ImportReport& report, const NavigationDatabase& database,
                    std::ostream& out) {
  out << "waypoints: " << report.waypoints.size() << " of " << report.pointCandidates
      << " points\n";
  for (const std::string& name : report.waypoints) out << "  " << name << "\n";
  if (report.pointCandidates > 0) {
    const int index = database.FindRoute(report.routeName);
    out << "route: " << report.routeName << " ("
        << (report.routeStored && index >= 0
                ? std::to_string(database.RouteAt(index)->Size()) + " waypoints)"
                : std::string("not stored)"))
        << "\n";
  } else {
    out << "route: none\n";
  }
  out << "track points: " << report.trackPoints << " of " << report.linePoints << " line points\n";
}

}  // namespace

int RunImportCommand(const Args& args, Io& io) {
  ImportOptions options;
  if (const std::string problem = ReadOptions(args, options); !problem.empty()) {
    return UsageError(kImport, problem, io);
  }
  QtSettingsStore store(DefaultSettingsFilePaths());
  const SettingsModel settings(store);
  const int kind = options.kind ? static_cast<int>(*options.kind)
                                : settings.Int(SettingId::kKindOfRouteGuidance);

  if (options.databaseFolder.empty()) {
    const std::optional<std::string> documents = FindDocumentsFolder();
    if (!documents) {
      io.err << "orvelle-cli import: no documents folder (is HOME set?)\n";
      return kExitFailure;
    }
    options.databaseFolder = *documents;
  }

  StreamPrompter prompter(io.err);
  NavigationDatabase database;
  database.SetPrompter(&prompter);
  NavigationDatabaseFile databaseFile(database, &prompter);
  if (!databaseFile.StartLoading(options.databaseFolder)) return kExitFailure;
  databaseFile.WaitForLoad();
  if (!databaseFile.IsLoadComplete()) return kExitFailure;

  Navigator navigator;
  io.out << "file: " << options.path << "\n";
  if (ImportFormatOfPath(options.path) == ImportFormat::kTrackFile) {
    NavigationDatabaseSink sink(database);
    navigator.SetNavigationSink(&sink);
    const LoadStatus status = LoadTrackFile(options.path, navigator, io);
    navigator.SetNavigationSink(nullptr);
    if (status == LoadStatus::kNotOpened) return kExitFailure;
    io.out << "track points: " << navigator.Recorded().PointCount() << "\n";
  } else {
    FileImporter importer(navigator, database, prompter);
    importer.SetKindOfRouteGuidance(kind);
    const ImportReport report = importer.ImportKml(options.path);
    if (report.failure == ImportReport::Failure::kArchive) {
      io.err << "orvelle-cli import: " << options.path << ": not a readable KMZ archive\n";
    }
    if (!report.Ok()) return kExitFailure;
    PrintKmlReport(report, database, io.out);
  }

  if (!database.IsSaved()) {
    if (!databaseFile.Save()) return kExitFailure;
    io.out << "database: " << databaseFile.Path() << " (saved)\n";
  } else {
    io.out << "database: " << databaseFile.Path() << " (unchanged)\n";
  }
  return kExitOk;
}

}  // namespace orv::cli
