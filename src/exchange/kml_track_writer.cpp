#include "exchange/kml_track_writer.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <vector>

#include "app/speed_class.h"
#include "app/track.h"
#include "exchange/text_encoding.h"
#include "exchange/xml_tree.h"
#include "nav/geodesy.h"

namespace orv {
namespace {

// The few values of a point the document uses, copied out under the track's
// lock in one pass.
struct ExportPoint {
  double latitude = 0.0;
  double longitude = 0.0;
  double altitude = 0.0;  // a missing altitude already replaced by 75
  double speedKnots = 0.0;
  double tripNm = 0.0;
  bool hasPosition = false;
};

void AppendFixed(std::string& out, double value, int decimals) {
  char buffer[400];  // fixed notation of the largest double needs 309 digits
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  out.append(buffer, result.ptr);
}

std::u16string Widen(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

std::vector<ExportPoint> CopyPoints(const Track& track) {
  std::vector<ExportPoint> points;
  points.reserve(static_cast<size_t>(track.PointCount()));
  track.ForEachPoint(0, INT32_MAX, [&points](int32_t, const TrackPoint& point) {
    ExportPoint copy;
    copy.hasPosition = point.Position().IsValid();
    copy.latitude = point.Position().LatitudeDegrees();
    copy.longitude = point.Position().LongitudeDegrees();
    copy.altitude =
        point.AltitudeMsl() == TrackPoint::kUnknown ? kKmlMissingAltitude : point.AltitudeMsl();
    copy.speedKnots = point.SpeedKnots();
    copy.tripNm = point.TripAtPoint();
    points.push_back(copy);
  });
  return points;
}

// Builds the element tree; every step can fail, and the first failure ends it.
class DocumentBuilder {
 public:
  explicit DocumentBuilder(const KmlTrackOptions& options) : options_(options) {}

  bool Build(const std::vector<ExportPoint>& points, std::string_view documentName,
             const KmlTrackWriter& writer) {
    return Root() && tree_.EnterElement() && tree_.AppendElement(u"Document") &&
           tree_.EnterElement() && tree_.AppendElement(u"name", Utf8ToUtf16(documentName)) &&
           Styles() && Overview(points) && (!options_.colored || Segments(points, writer));
  }

  const std::u16string& Text() const { return tree_.DocumentText(); }

 private:
  bool Root() {
    return tree_.AppendElement(u"kml") &&
           tree_.SetAttribute(tree_.CurrentElement(), u"xmlns", kKmlNamespace) &&
           tree_.SetAttribute(tree_.CurrentElement(), u"xmlns:gx", kKmlGoogleExtensionNamespace) &&
           tree_.SetAttribute(tree_.CurrentElement(), u"xmlns:kml", kKmlNamespace) &&
           tree_.SetAttribute(tree_.CurrentElement(), u"xmlns:atom", kAtomNamespace);
  }

  bool Style(std::u16string_view id, std::u16string_view color, std::u16string_view width) {
    return tree_.AppendElement(u"Style") && tree_.SetAttribute(tree_.CurrentElement(), u"id", id) &&
           tree_.EnterElement() && tree_.AppendElement(u"LineStyle") && tree_.EnterElement() &&
           tree_.AppendElement(u"color", color) && tree_.AppendElement(u"width", width) &&
           tree_.LeaveElement() && tree_.LeaveElement();
  }

  bool Styles() {
    // A coloured track hides the overview line (it only carries the tour) behind
    // the segments; a plain one shows it as a broad opaque blue line.
    const bool overviewStyled = options_.colored ? Style(kOverviewStyleId, u"00ffffff", u"1")
                                                 : Style(kOverviewStyleId, u"ffff0000", u"6");
    if (!overviewStyled) return false;
    if (!options_.colored) return true;
    for (const SpeedClass& speedClass : SpeedClasses()) {
      if (!Style(Widen(speedClass.style_id), Widen(KmlColorText(speedClass)), u"6")) return false;
    }
    return true;
  }

  bool LineString(std::u16string_view coordinates) {
    return tree_.AppendElement(u"LineString") && tree_.EnterElement() &&
           tree_.AppendElement(u"tessellate", u"1") &&
           (!options_.Absolute() || tree_.AppendElement(u"altitudeMode", u"absolute")) &&
           tree_.AppendElement(u"coordinates", coordinates) && tree_.LeaveElement();
  }

  bool Overview(const std::vector<ExportPoint>& points) {
    std::string coordinates = "\r\n";
    for (size_t i = 0; i < points.size(); i += 10) {
      const ExportPoint& p = points[i];
      if (p.hasPosition)
        KmlTrackWriter::AppendTuple(coordinates, p.latitude, p.longitude, p.altitude);
    }
    std::u16string styleUrl = u"#";
    styleUrl += kOverviewStyleId;
    return tree_.AppendElement(u"Placemark") && tree_.EnterElement() &&
           tree_.AppendElement(u"name", kOverviewPlacemarkName) &&
           tree_.AppendElement(u"styleUrl", styleUrl) && LineString(Widen(coordinates)) &&
           tree_.LeaveElement();
  }

  bool Segment(const ExportPoint& start, const ExportPoint& end, const KmlTrackWriter& writer) {
    const std::optional<size_t> row = SpeedClassForKml(start.speedKnots);
    if (!row) return false;
    std::string coordinates;
    KmlTrackWriter::AppendTuple(coordinates, start.latitude, start.longitude, start.altitude);
    KmlTrackWriter::AppendTuple(coordinates, end.latitude, end.longitude, end.altitude);
    std::u16string styleUrl = u"#" + Widen(SpeedClasses()[*row].style_id);
    return tree_.AppendElement(u"Placemark") && tree_.EnterElement() &&
           tree_.AppendElement(u"name", Widen(writer.SegmentName(start.tripNm, start.speedKnots,
                                                                 start.altitude))) &&
           tree_.AppendElement(u"styleUrl", styleUrl) && LineString(Widen(coordinates)) &&
           tree_.LeaveElement();
  }

  // A segment runs from its start to the first later point whose direction
  // from the start deviates by more than half a degree from the direction of
  // the previous segment; the first segment ends at the first point that
  // moved, the last at the last point.
  bool Segments(const std::vector<ExportPoint>& points, const KmlTrackWriter& writer) {
    constexpr double kUnsetBearing = -1.0;
    constexpr double kCutDegrees = 0.5;
    const ExportPoint* start = nullptr;
    double bearing = kUnsetBearing;
    for (size_t i = 0; i < points.size(); ++i) {
      const ExportPoint& point = points[i];
      if (start == nullptr || !start->hasPosition) {
        start = &point;
        continue;
      }
      // Without a position there is no direction to measure.
      if (!point.hasPosition) continue;
      if (point.latitude == start->latitude && point.longitude == start->longitude) continue;
      const double b =
          GeoAzimuth(start->latitude, start->longitude, point.latitude, point.longitude) + 360.0;
      bool close = false;
      if (bearing == kUnsetBearing) {
        close = true;
      } else {
        double d = std::fabs(bearing - b);
        if (d > 180.0) d = 360.0 - d;
        close = d > kCutDegrees || i + 1 == points.size();
      }
      if (!close) continue;
      bearing = b;
      if (!Segment(*start, point, writer)) return false;
      start = &point;
    }
    return true;
  }

  const KmlTrackOptions& options_;
  XmlTree tree_;
};

}  // namespace

void KmlTrackWriter::AppendTuple(std::string& out, double latitude, double longitude,
                                 double altitude) {
  AppendFixed(out, longitude, 6);
  out.push_back(',');
  AppendFixed(out, latitude, 6);
  out.push_back(',');
  double whole = 0.0;
  std::modf(altitude, &whole);
  AppendFixed(out, whole, 0);
  out.push_back(' ');
}

std::string KmlTrackWriter::SegmentName(double tripNm, double speedKnots, double altitudeM) const {
  std::string name;
  switch (options_.units) {
    case DistanceUnits::kKilometers:
      AppendFixed(name, tripNm * kKilometersPerNauticalMile, 3);
      name += "km, ";
      AppendFixed(name, speedKnots * kKilometersPerNauticalMile, 1);
      name += "kmh";
      break;
    case DistanceUnits::kStatuteMiles:
      AppendFixed(name, tripNm * kStatuteMilesPerNauticalMile, 3);
      name += "mi, ";
      AppendFixed(name, speedKnots * kStatuteMilesPerNauticalMile, 1);
      name += "mph";
      break;
    default:
      AppendFixed(name, tripNm, 3);
      name += "nmi, ";
      AppendFixed(name, speedKnots, 1);
      name += "kn";
      break;
  }
  if (options_.Absolute()) {
    name += ", ";
    if (options_.units == DistanceUnits::kKilometers) {
      AppendFixed(name, altitudeM, 1);
      name += "m";
    } else {
      AppendFixed(name, altitudeM * kFeetPerMetre, 1);
      name += "ft";
    }
  }
  name += ";";
  return name;
}

std::optional<std::string> KmlTrackWriter::BuildDocument(const Track& track,
                                                         std::string_view documentName) const {
  DocumentBuilder builder(options_);
  if (!builder.Build(CopyPoints(track), documentName, *this)) return std::nullopt;
  std::string content(kKmlDeclaration);
  content += Utf16ToUtf8(builder.Text());
  return content;
}

bool KmlTrackWriter::Write(const Track& track, int fd, std::string_view documentName,
                           const Prompter* owner) const {
  if (owner == nullptr) return false;
  const std::optional<std::string> content = BuildDocument(track, documentName);
  if (!content) return false;
  size_t written = 0;
  while (written < content->size()) {
    const ssize_t n = ::write(fd, content->data() + written, content->size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace orv
