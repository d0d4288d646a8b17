#include "cli/stats_command.h"

#include <ostream>
#include <string>

#include "app/display_fields.h"
#include "app/display_time.h"
#include "app/display_units.h"
#include "app/navigator.h"
#include "cli/track_command_support.h"

namespace orv::cli {
namespace {

const Command kStats{"stats", kStatsSummary, kStatsUsage, RunStatsCommand};

struct StatsOptions {
  DistanceUnits units = kDefaultDistanceUnits;
  bool json = false;
  std::string path;
};

// A statistics field as the driving views show it, and its raw value.
struct StatsField {
  DisplayField field;
  const char* rawName;
  std::string (*text)(const TripSummary&, DistanceUnits);
  double (*raw)(const TripSummary&);
};

const StatsField kFields[] = {
    {DisplayField::kTrip, "trip",
     [](const TripSummary& s, DistanceUnits u) { return DistanceText(s.trip, u); },
     [](const TripSummary& s) { return s.trip; }},
    {DisplayField::kMaxSpeed, "maxSpeed",
     [](const TripSummary& s, DistanceUnits u) { return SpeedText(s.maxSpeed, u); },
     [](const TripSummary& s) { return s.maxSpeed; }},
    {DisplayField::kAverageSpeed, "averageSpeed",
     [](const TripSummary& s, DistanceUnits u) { return SpeedText(s.averageSpeed, u); },
     [](const TripSummary& s) { return s.averageSpeed; }},
    {DisplayField::kMaxAltitude, "maxAltitude",
     [](const TripSummary& s, DistanceUnits u) {
       return AltitudeFieldText(s.maxAltitude, AltitudeKind::kMaximum, u);
     },
     [](const TripSummary& s) { return s.maxAltitude; }},
    {DisplayField::kMinAltitude, "minAltitude",
     [](const TripSummary& s, DistanceUnits u) {
       return AltitudeFieldText(s.minAltitude, AltitudeKind::kMinimum, u);
     },
     [](const TripSummary& s) { return s.minAltitude; }},
    {DisplayField::kElapsedTime, "elapsedSeconds",
     [](const TripSummary& s, DistanceUnits) { return TimeSpanText(s.elapsedSeconds); },
     [](const TripSummary& s) { return static_cast<double>(s.elapsedSeconds); }},
    {DisplayField::kMovingTime, "movingSeconds",
     [](const TripSummary& s, DistanceUnits) { return TimeSpanText(s.movingSeconds); },
     [](const TripSummary& s) { return static_cast<double>(s.movingSeconds); }},
    {DisplayField::kStoppedTime, "stoppedSeconds",
     [](const TripSummary& s, DistanceUnits) { return TimeSpanText(s.stoppedSeconds); },
     [](const TripSummary& s) { return static_cast<double>(s.stoppedSeconds); }},
    {DisplayField::kTripFromBegin, "tripFromBegin",
     [](const TripSummary& s, DistanceUnits u) { return DistanceText(s.tripFromBegin, u); },
     [](const TripSummary& s) { return s.tripFromBegin; }},
    {DisplayField::kTripToEnd, "tripToEnd",
     [](const TripSummary& s, DistanceUnits u) { return DistanceText(s.tripToEnd, u); },
     [](const TripSummary& s) { return s.tripToEnd; }},
    {DisplayField::kTimeFromBegin, "secondsFromBegin",
     [](const TripSummary& s, DistanceUnits) { return TimeSpanText(s.secondsFromBegin); },
     [](const TripSummary& s) { return static_cast<double>(s.secondsFromBegin); }},
    {DisplayField::kTimeToEnd, "secondsToEnd",
     [](const TripSummary& s, DistanceUnits) { return TimeSpanText(s.secondsToEnd); },
     [](const TripSummary& s) { return static_cast<double>(s.secondsToEnd); }},
};

// Returns what is wrong with the arguments, or an empty text.
std::string ReadOptions(const Args& args, StatsOptions& options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--json") {
      options.json = true;
    } else if (arg == "--units") {
      long long units = 0;
      if (i + 1 == args.size()) return "--units needs a value (1, 2 or 3)";
      if (!ParseIntegerArg(args[++i], 1, 3, units)) {
        return "--units must be 1, 2 or 3: '" + args[i] + "'";
      }
      options.units = static_cast<DistanceUnits>(units);
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

// The extent in signed decimal degrees; the pole-referenced minimum latitude is the
// northernmost one.
std::string BoxText(const BoundingBox& box) {
  if (box.IsEmpty()) return "none";
  return "latitude " + FixedText(90.0 - box.maxLatitude, 6) + " to " +
         FixedText(90.0 - box.minLatitude, 6) + ", longitude " +
         FixedText(box.minLongitude - 180.0, 6) + " to " + FixedText(box.maxLongitude - 180.0, 6);
}

struct TrackFacts {
  int32_t points;
  TrackPoint first, last;
  TripSummary summary;
  TripStatistics statistics;
};

void WriteText(std::ostream& out, const StatsOptions& options, const TrackFacts& facts) {
  std::string text =
      "file: " + options.path + "\npoints: " + std::to_string(facts.points) +
      "\nfirst fix: " + (facts.points > 0 ? IsoTimeText(facts.first.GetFixTime()) : "none") +
      "\nlast fix: " + (facts.points > 0 ? IsoTimeText(facts.last.GetFixTime()) : "none") + "\n";
  for (const StatsField& f : kFields) {
    text += DisplayFieldLabel(f.field);
    text += f.text(facts.summary, options.units);
    text += '\n';
  }
  text += "box: " + BoxText(facts.statistics.Box()) + "\n";
  text += "max speed point: " + std::to_string(facts.statistics.MaxSpeedIndex()) + "\n";
  text += "max altitude point: " + std::to_string(facts.statistics.MaxAltitudeIndex()) + "\n";
  text += "min altitude point: " + std::to_string(facts.statistics.MinAltitudeIndex()) + "\n";
  out << text;
}

void AppendJsonNumber(std::string& out, std::string_view key, double value) {
  AppendJsonString(out, key);
  out += ':';
  AppendShortest(out, value);
}

void WriteJson(std::ostream& out, const StatsOptions& options, const TrackFacts& facts) {
  std::string json = "{\"file\":";
  AppendJsonString(json, options.path);
  json += ",\"units\":" + std::to_string(static_cast<int>(options.units));
  json += ",\"points\":" + std::to_string(facts.points);
  for (const auto& [key, point] : {std::pair{"firstFix", &facts.first}, {"lastFix", &facts.last}}) {
    json += ",\"";
    json += key;
    json += "\":";
    if (facts.points > 0) {
      AppendJsonString(json, IsoTimeText(point->GetFixTime()));
    } else {
      json += "null";
    }
  }
  json += ",\"fields\":{";
  for (const StatsField& f : kFields) {
    if (&f != kFields) json += ',';
    std::string_view label = DisplayFieldLabel(f.field);
    label.remove_suffix(2);  // ": "
    AppendJsonString(json, label);
    json += ':';
    AppendJsonString(json, f.text(facts.summary, options.units));
  }
  json += "},\"raw\":{";
  for (const StatsField& f : kFields) {
    if (&f != kFields) json += ',';
    AppendJsonNumber(json, f.rawName, f.raw(facts.summary));
  }
  const BoundingBox& box = facts.statistics.Box();
  json += "},\"box\":{";
  AppendJsonNumber(json, "minLongitude", box.minLongitude);
  json += ',';
  AppendJsonNumber(json, "maxLongitude", box.maxLongitude);
  json += ',';
  AppendJsonNumber(json, "minLatitude", box.minLatitude);
  json += ',';
  AppendJsonNumber(json, "maxLatitude", box.maxLatitude);
  json += "},\"maxSpeedIndex\":" + std::to_string(facts.statistics.MaxSpeedIndex());
  json += ",\"maxAltitudeIndex\":" + std::to_string(facts.statistics.MaxAltitudeIndex());
  json += ",\"minAltitudeIndex\":" + std::to_string(facts.statistics.MinAltitudeIndex());
  json += "}\n";
  out << json;
}

}  // namespace

int RunStatsCommand(const Args& args, Io& io) {
  StatsOptions options;
  if (const std::string problem = ReadOptions(args, options); !problem.empty()) {
    return UsageError(kStats, problem, io);
  }
  Navigator navigator;
  const LoadStatus status = LoadTrackFile(options.path, navigator, io);
  if (status == LoadStatus::kNotOpened) return kExitFailure;

  const Track& track = navigator.Recorded();
  const TrackFacts facts{track.PointCount(), track.FirstPoint(), track.LastPoint(), track.Summary(),
                         track.Statistics()};
  if (options.json) {
    WriteJson(io.out, options, facts);
  } else {
    WriteText(io.out, options, facts);
  }
  return status == LoadStatus::kLoaded ? kExitOk : kExitFailure;
}

}  // namespace orv::cli
