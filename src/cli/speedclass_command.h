#pragma once

#include <string_view>

#include "cli/cli.h"

namespace orv::cli {

inline constexpr std::string_view kSpeedClassSummary = "speed class of a speed in knots";

inline constexpr std::string_view kSpeedClassUsage =
    "Usage: orvelle-cli speedclass KNOTS\n"
    "Prints the speed class (row, style id, KML colour) of a speed in knots.\n"
    "The track map takes the first row whose bound is greater than the speed;\n"
    "the KML export takes row 0 up to 3 knots, else the first row whose bound\n"
    "is not below the speed. Both take the last row above every bound. When\n"
    "the two rules give different rows, both rows are printed.\n";

int RunSpeedClassCommand(const Args& args, Io& io);

}  // namespace orv::cli
