#pragma once

#include <string_view>

#include "cli/cli.h"

namespace orv::cli {

inline constexpr std::string_view kPointsSummary = "load a track file and list its stored points";

inline constexpr std::string_view kPointsUsage =
    "Usage: orvelle-cli points [--json] FILE\n"
    "Loads FILE as the program loads a track file and prints one line per stored\n"
    "point, starting with its index, then every field of the point as NAME=VALUE:\n"
    "lastWasRmc tripAtPoint complete timeSet positionSet rmcSeen ggaSeen fixTime\n"
    "latitude longitude speedKnots courseDegrees magneticVariation\n"
    "variationDirection satellitesInUse altitudeMsl geoidSeparation satellitePrns\n"
    "satellitesInView. Positions are signed decimal degrees, distances nautical\n"
    "miles, speeds knots, altitudes metres; numbers are exact (shortest text that\n"
    "reads back the same); a value that is not known shows as 'unknown'.\n"
    "  --json  one JSON object per point instead; positions also give the NMEA raw\n"
    "          value and hemisphere; 1.7976931348623157e+308 marks a value that is\n"
    "          not known\n"
    "A file that cannot be opened is reported on standard error (exit status 1).\n";

int RunPointsCommand(const Args& args, Io& io);

}  // namespace orv::cli
