#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "nmea/lat_long.h"

namespace orv {

// One "lon,lat[,alt]" tuple of a KML coordinates text. Each of the two
// numbers may follow white space; the altitude is not used. Fails unless
// both are plain decimal numbers inside the globe's ranges.
std::optional<LatLong> ParseCoordinateTuple(std::u16string_view tuple);

// Cuts the text at single spaces and parses every piece; the text after the
// last space counts too once its blanks, tabs and line ends are trimmed.
// Appends each parsed tuple.
void ParseCoordinateList(std::u16string_view text, std::vector<LatLong>& out);

}  // namespace orv
