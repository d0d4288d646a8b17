#pragma once

namespace orv {

// A position in signed decimal degrees (north and east positive), the form the geodesic
// functions take. Lighter than a LatLong where many positions are compared.
struct GeoPoint {
  double latitude = 0.0;
  double longitude = 0.0;

  friend bool operator==(const GeoPoint&, const GeoPoint&) = default;
};

}  // namespace orv
