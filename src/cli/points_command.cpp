#include "cli/points_command.h"

#include <ostream>
#include <string>

#include "app/navigator.h"
#include "cli/track_command_support.h"

namespace orv::cli {
namespace {

const Command kPoints{"points", kPointsSummary, kPointsUsage, RunPointsCommand};

// Writes NAME=VALUE pairs or the members of a JSON object, so both forms list the same
// fields in the same order.
class PointLineWriter {
 public:
  explicit PointLineWriter(bool json) : json_(json) {}

  void Begin(int32_t index) {
    line_.clear();
    if (json_) {
      line_ = "{\"index\":" + std::to_string(index);
    } else {
      line_ = std::to_string(index);
    }
  }
  std::string& End() {
    line_ += json_ ? "}\n" : "\n";
    return line_;
  }

  void Number(std::string_view key, double value) {
    Key(key);
    if (!json_ && (value == TrackPoint::kUnknown || value == -TrackPoint::kUnknown)) {
      line_ += "unknown";
    } else {
      AppendShortest(line_, value);
    }
  }
  void Integer(std::string_view key, int64_t value) {
    Key(key);
    line_ += std::to_string(value);
  }
  void Flag(std::string_view key, bool value) {
    Key(key);
    line_ += json_ ? (value ? "true" : "false") : (value ? "1" : "0");
  }
  void Text(std::string_view key, std::string_view value) {
    Key(key);
    if (json_) {
      AppendJsonString(line_, value);
    } else {
      line_ += value.empty() ? "-" : value;
    }
  }
  void IntegerList(std::string_view key, const TrackPoint::PrnList& values) {
    Key(key);
    if (json_) line_ += '[';
    for (size_t i = 0; i < values.size(); ++i) {
      if (i > 0) line_ += ',';
      line_ += std::to_string(values[i]);
    }
    if (json_) line_ += ']';
  }
  // JSON only: a nested object opened under `key`, closed by CloseObject.
  void OpenObject(std::string_view key) {
    Key(key);
    line_ += '{';
    first_in_object_ = true;
  }
  void CloseObject() { line_ += '}'; }
  bool json() const { return json_; }

 private:
  void Key(std::string_view key) {
    if (json_) {
      if (!first_in_object_) line_ += ',';
      first_in_object_ = false;
      AppendJsonString(line_, key);
      line_ += ':';
    } else {
      line_ += ' ';
      line_ += key;
      line_ += '=';
    }
  }

  bool json_;
  bool first_in_object_ = false;
  std::string line_;
};

std::string_view Letter(NorthSouth hemisphere) {
  return hemisphere == NorthSouth::kNorth ? "N" : hemisphere == NorthSouth::kSouth ? "S" : "";
}
std::string_view Letter(EastWest hemisphere) {
  return hemisphere == EastWest::kEast ? "E" : hemisphere == EastWest::kWest ? "W" : "";
}

void WritePosition(PointLineWriter& w, const LatLong& position) {
  if (!w.json()) {
    w.Number("latitude", position.LatitudeDegrees());
    w.Number("longitude", position.LongitudeDegrees());
    return;
  }
  w.OpenObject("position");
  w.Number("latitude", position.LatitudeDegrees());
  w.Number("latitudeRaw", position.LatitudeRaw());
  w.Text("latitudeHemisphere", Letter(position.LatitudeHemisphere()));
  w.Number("longitude", position.LongitudeDegrees());
  w.Number("longitudeRaw", position.LongitudeRaw());
  w.Text("longitudeHemisphere", Letter(position.LongitudeHemisphere()));
  w.CloseObject();
}

void WritePoint(PointLineWriter& w, int32_t index, const TrackPoint& p) {
  w.Begin(index);
  w.Flag("lastWasRmc", p.LastWasRmc());
  w.Number("tripAtPoint", p.TripAtPoint());
  w.Flag("complete", p.Complete());
  w.Flag("timeSet", p.TimeSet());
  w.Flag("positionSet", p.PositionSet());
  w.Flag("rmcSeen", p.RmcSeen());
  w.Flag("ggaSeen", p.GgaSeen());
  w.Text("fixTime", IsoTimeText(p.GetFixTime()));
  WritePosition(w, p.Position());
  w.Number("speedKnots", p.SpeedKnots());
  w.Number("courseDegrees", p.CourseDegrees());
  w.Number("magneticVariation", p.MagneticVariation());
  w.Text("variationDirection", Letter(p.VariationDirection()));
  w.Integer("satellitesInUse", p.SatellitesInUse());
  w.Number("altitudeMsl", p.AltitudeMsl());
  w.Number("geoidSeparation", p.GeoidSeparation());
  w.IntegerList("satellitePrns", p.SatellitePrns());
  w.Integer("satellitesInView", p.SatellitesInView());
}

}  // namespace

int RunPointsCommand(const Args& args, Io& io) {
  bool json = false;
  std::string path;
  for (const std::string& arg : args) {
    if (arg == "--json") {
      json = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError(kPoints, "unknown option '" + arg + "'", io);
    } else if (!path.empty()) {
      return UsageError(kPoints, "only one FILE may be given", io);
    } else {
      path = arg;
    }
  }
  if (path.empty()) return UsageError(kPoints, "missing FILE", io);

  Navigator navigator;
  const LoadStatus status = LoadTrackFile(path, navigator, io);
  if (status == LoadStatus::kNotOpened) return kExitFailure;
  PointLineWriter writer(json);
  navigator.Recorded().ForEachPoint(0, navigator.Recorded().PointCount(),
                                    [&](int32_t index, const TrackPoint& point) {
                                      WritePoint(writer, index, point);
                                      io.out << writer.End();
                                    });
  return status == LoadStatus::kLoaded ? kExitOk : kExitFailure;
}

}  // namespace orv::cli
