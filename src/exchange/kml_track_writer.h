#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/display_units.h"

namespace orv {

class Prompter;
class Track;

// What the KML document of a track depends on besides the track.
struct KmlTrackOptions {
  bool colored = true;   // "GoogleTrackLineColored": speed-coloured segments
  int altitudeMode = 1;  // "AntennaAltitudeMode": 1 clamped to ground, 2 absolute
  DistanceUnits units = kDefaultDistanceUnits;

  bool Absolute() const { return altitudeMode == 2; }
};

inline constexpr std::string_view kKmlDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
// Google Earth's own header of a KML 2.2 document.
inline constexpr std::u16string_view kKmlNamespace = u"http://www.opengis.net/kml/2.2";
inline constexpr std::u16string_view kKmlGoogleExtensionNamespace =
    u"http://www.google.com/kml/ext/2.2";
inline constexpr std::u16string_view kAtomNamespace = u"http://www.w3.org/2005/Atom";
inline constexpr std::u16string_view kOverviewStyleId = u"AllPathStyle";
inline constexpr std::u16string_view kOverviewPlacemarkName = u"Select and click Play Tour";
// Stands in for a missing altitude, in metres.
inline constexpr double kKmlMissingAltitude = 75.0;

// Turns a track into a KML 2.2 document for Google Earth: one overview line
// through every tenth point and, when colouring is on, one line segment per
// change of direction of more than half a degree, styled by the speed class
// of its first point. The whole document is built in memory; the writer
// keeps no state between calls.
class KmlTrackWriter {
 public:
  explicit KmlTrackWriter(const KmlTrackOptions& options) : options_(options) {}

  // The file content: the declaration and the document, UTF-8. Nothing when
  // a speed falls in no class (NaN) or an XML operation fails.
  std::optional<std::string> BuildDocument(const Track& track, std::string_view documentName) const;

  // Builds the document and writes it to the open file `fd` in one go. Fails
  // at once without an owner (the window that shows the command's messages);
  // on any failure nothing has been written.
  bool Write(const Track& track, int fd, std::string_view documentName,
             const Prompter* owner) const;

  // "lon,lat,alt " as the document writes a point (six decimals, the
  // altitude's integer part, 75 for a missing one).
  static void AppendTuple(std::string& out, double latitude, double longitude, double altitude);
  // The label of a segment: "12.345km, 45.6kmh;" and in absolute mode
  // "12.345km, 45.6kmh, 123.4m;".
  std::string SegmentName(double tripNm, double speedKnots, double altitudeM) const;

 private:
  KmlTrackOptions options_;
};

}  // namespace orv
