#include "cli/export_command.h"

#include <ostream>
#include <string>

#include "app/display_units.h"
#include "app/navigator.h"
#include "app/settings_model.h"
#include "cli/stream_prompter.h"
#include "cli/track_command_support.h"
#include "exchange/file_import.h"
#include "exchange/kml_track_save.h"
#include "nav/navigation_database.h"
#include "platform/qt_settings_store.h"

namespace orv::cli {
namespace {

const Command kExport{"export", kExportSummary, kExportUsage, RunExportCommand};

struct ExportOptions {
  std::string path;
  std::string out;
  std::optional<long long> colored;
  std::optional<long long> altitudeMode;
  std::optional<long long> units;
};

std::string ReadOptions(const Args& args, ExportOptions& options) {
  struct Numeric {
    const char* flag;
    long long minimum, maximum;
    std::optional<long long>* value;
    const char* allowed;
  };
  const Numeric numerics[] = {{"--colored", 0, 1, &options.colored, "0 or 1"},
                              {"--altitude-mode", 1, 2, &options.altitudeMode, "1 or 2"},
                              {"--units", 1, 3, &options.units, "1, 2 or 3"}};
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const Numeric* numeric = nullptr;
    for (const Numeric& n : numerics) {
      if (arg == n.flag) numeric = &n;
    }
    if (numeric != nullptr) {
      if (i + 1 == args.size()) {
        return std::string(numeric->flag) + " needs a value (" + numeric->allowed + ")";
      }
      long long value = 0;
      if (!ParseIntegerArg(args[++i], numeric->minimum, numeric->maximum, value)) {
        return std::string(numeric->flag) + " must be " + numeric->allowed + ": '" + args[i] + "'";
      }
      *numeric->value = value;
    } else if (arg == "-o" || arg == "--output") {
      if (i + 1 == args.size()) return "-o needs the output file";
      options.out = args[++i];
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "unknown option '" + arg + "'";
    } else if (!options.path.empty()) {
      return "only one FILE may be given";
    } else {
      options.path = arg;
    }
  }
  if (options.path.empty()) return "missing FILE";
  if (options.out.empty()) return "missing -o OUT.kml or -o OUT.kmz";
  return "";
}

KmlTrackOptions ResolveOptions(const ExportOptions& given) {
  KmlTrackOptions options;
  if (!given.colored || !given.altitudeMode || !given.units) {
    QtSettingsStore store(DefaultSettingsFilePaths());
    const SettingsModel settings(store);
    options.colored = settings.Flag(SettingId::kGoogleTrackLineColored);
    options.altitudeMode = settings.Int(SettingId::kAntennaAltitudeMode);
    const int32_t units = settings.Int(SettingId::kDistanceUnits);
    options.units =
        units >= 1 && units <= 3 ? static_cast<DistanceUnits>(units) : kDefaultDistanceUnits;
  }
  if (given.colored) options.colored = *given.colored != 0;
  if (given.altitudeMode) options.altitudeMode = static_cast<int>(*given.altitudeMode);
  if (given.units) options.units = static_cast<DistanceUnits>(*given.units);
  return options;
}

}  // namespace

int RunExportCommand(const Args& args, Io& io) {
  ExportOptions given;
  if (const std::string problem = ReadOptions(args, given); !problem.empty()) {
    return UsageError(kExport, problem, io);
  }
  const KmlTrackOptions options = ResolveOptions(given);

  Navigator navigator;
  StreamPrompter prompter(io.err);
  if (ImportFormatOfPath(given.path) == ImportFormat::kTrackFile) {
    if (LoadTrackFile(given.path, navigator, io) == LoadStatus::kNotOpened) return kExitFailure;
  } else {
    // Only the lines matter here; Points go to a database nobody keeps.
    NavigationDatabase scratch;
    FileImporter importer(navigator, scratch, prompter);
    const ImportReport report = importer.ImportKml(given.path);
    if (report.failure == ImportReport::Failure::kArchive) {
      io.err << "orvelle-cli export: " << given.path << ": not a readable KMZ archive\n";
    }
    if (!report.Ok()) return kExitFailure;
  }

  const Track& track = navigator.Recorded();
  const TrackSaveFormat format = SaveFormatOfPath(given.out);
  const TrackSaveOutcome outcome =
      SaveTrackAs(track, given.out, format, options, prompter, /*confirm=*/false);
  if (outcome == TrackSaveOutcome::kArchiveFailed) {
    io.err << "orvelle-cli export: the archive " << given.out << " could not be written\n";
  }
  if (outcome != TrackSaveOutcome::kSaved) return kExitFailure;
  io.out << given.out << ": " << track.PointCount() << " track points as "
         << (format == TrackSaveFormat::kKmz ? "KMZ" : "KML") << "\n";
  return kExitOk;
}

}  // namespace orv::cli
