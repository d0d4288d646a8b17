#pragma once

namespace orv {

// Positions are decimal degrees (latitude north positive, longitude east
// positive), distances nautical miles, azimuths degrees true. The largest
// finite double in a coordinate means "not known". None of the functions
// keeps state; they may be called from any thread.

// Ellipsoidal distance with a first-order flattening correction. Returns 0
// for an unknown coordinate and for points within 1e-7 degrees per coordinate.
double GeoDistance(double lat1, double lon1, double lat2, double lon2);

// Initial azimuth from point 1 to point 2 in [0, 360), or -1.0 when the two
// points coincide (within 1e-7 degrees per coordinate). The north/south half
// comes from where the target lies, not from the great circle.
double GeoAzimuth(double lat1, double lon1, double lat2, double lon2);

// The point reached on the sphere from (lat, lon) after distance_nm along
// azimuth. A zero distance or an azimuth outside [0, 359.999999] leaves the
// position unchanged. The longitude reached is not wrapped into [-180, 180].
void GeoDestination(double lat, double lon, double distance_nm, double azimuth, double& out_lat,
                    double& out_lon);

}  // namespace orv
