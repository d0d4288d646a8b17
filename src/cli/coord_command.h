#pragma once

#include <string_view>

#include "cli/cli.h"

namespace orv::cli {

inline constexpr std::string_view kCoordSummary = "format or read latitude/longitude texts";

inline constexpr std::string_view kCoordUsage =
    "Usage: orvelle-cli coord format LAT LON --style 0|1|2\n"
    "       orvelle-cli coord parse TEXT [--axis lat|lon]\n"
    "  format  shows a position (decimal degrees, north and east positive) in a\n"
    "          coordinate style: 0 traditional (degrees, minutes, seconds to\n"
    "          0.001), 1 decimal minutes (0.0001), 2 decimal degrees (1e-8);\n"
    "          prints the latitude, the longitude and the copied position text\n"
    "  parse   reads a typed coordinate such as \"N 48°07.038'\" or \"-11.5\", or\n"
    "          a copied position \"N48°07.0380',E011°31.0000';\", and prints\n"
    "          decimal degrees with eight decimals; a single coordinate is a\n"
    "          longitude when it carries E or W (or --axis lon), else a latitude\n";

int RunCoordCommand(const Args& args, Io& io);

}  // namespace orv::cli
