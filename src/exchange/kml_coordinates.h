#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "nmea/lat_long.h"

namespace orv {

// A tuple's position as read, in signed decimal degrees: a quarter of the
// size of a LatLong, which counts for a day of line points.
struct KmlCoordinate {
  double latitude = 0.0;
  double longitude = 0.0;

  LatLong Position() const;
};

// One "lon,lat[,alt]" tuple of a KML coordinates text. Each of the two
// numbers may follow white space; the altitude is not used. Fails unless
// both are plain decimal numbers inside the globe's ranges.
std::optional<KmlCoordinate> ParseCoordinateDegrees(std::u16string_view tuple);
// The same as a position.
std::optional<LatLong> ParseCoordinateTuple(std::u16string_view tuple);

// Cuts the text at single spaces and parses every piece; the text after the
// last space counts too once its blanks, tabs and line ends are trimmed.
// Appends each parsed tuple.
void ParseCoordinateList(std::u16string_view text, std::vector<KmlCoordinate>& out);

}  // namespace orv
