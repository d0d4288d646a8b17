#pragma once

#include <string_view>

#include "cli/cli.h"

namespace orv::cli {

inline constexpr std::string_view kStatsSummary = "load a track file and print its statistics";

inline constexpr std::string_view kStatsUsage =
    "Usage: orvelle-cli stats [--units 1|2|3] [--json] FILE\n"
    "Loads FILE as the program loads a track file and prints the number of stored\n"
    "points, the first and last fix times and the trip statistics as the driving\n"
    "views show them (TRIP, MXSPD, AVSPD, ALT(max), ALT(min), ELPSD, TTIME, STIME,\n"
    "and with the cursor on the first point TRIPfB, TRIPtE, TIMEfB, TIMEtE), then\n"
    "the bounding box in decimal degrees and the indices of the extreme points\n"
    "(-1: none).\n"
    "  --units  1 kilometres/metres, 2 statute miles/feet, 3 nautical miles/feet\n"
    "           (default 3)\n"
    "  --json   one JSON object that also holds the raw values at full precision:\n"
    "           nautical miles, knots, metres, seconds, and the box in the\n"
    "           pole-referenced degrees the program keeps (latitude from the North\n"
    "           pole, longitude eastward from 180 W); +-1.7976931348623157e+308\n"
    "           marks a value that is not known\n"
    "A file that cannot be opened is reported on standard error (exit status 1).\n";

int RunStatsCommand(const Args& args, Io& io);

}  // namespace orv::cli
