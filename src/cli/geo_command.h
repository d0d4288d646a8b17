#pragma once

#include <string_view>

#include "cli/cli.h"

namespace orv::cli {

inline constexpr std::string_view kGeoSummary = "distance, azimuth or projected point";

inline constexpr std::string_view kGeoUsage =
    "Usage: orvelle-cli geo distance LAT1 LON1 LAT2 LON2\n"
    "       orvelle-cli geo azimuth LAT1 LON1 LAT2 LON2\n"
    "       orvelle-cli geo destination LAT LON DISTANCE_NM AZIMUTH\n"
    "Positions are decimal degrees (north and east positive, latitude within\n"
    "[-90, 90]); distances are nautical miles, azimuths degrees true.\n"
    "  distance     ellipsoidal distance in NM (0 for points within 1e-7 degrees)\n"
    "  azimuth      initial azimuth in [0, 360), -1 when the points coincide\n"
    "  destination  point reached on the sphere, printed as LAT LON; the\n"
    "               longitude is not wrapped, and an azimuth outside\n"
    "               [0, 359.999999] or a distance of 0 leaves the position as is\n"
    "Results are printed with ten decimals.\n";

int RunGeoCommand(const Args& args, Io& io);

}  // namespace orv::cli
