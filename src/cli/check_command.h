#pragma once

#include <string_view>

#include "cli/cli.h"

namespace orv::cli {

inline constexpr std::string_view kCheckSummary = "check each line of an NMEA file";

inline constexpr std::string_view kCheckUsage =
    "Usage: orvelle-cli check [--json] FILE\n"
    "Reads FILE (- for standard input) line by line and prints for each line:\n"
    "  LINE FRAMING CHECKSUM FIELDS MNEMONIC [DESCRIPTION]\n"
    "  FRAMING   good: at most 128 bytes, begins with $, ends with CR LF; else bad\n"
    "  CHECKSUM  good, bad, or unset (no digits after *)\n"
    "  FIELDS    the number of data fields (commas before *)\n"
    "  MNEMONIC  the last three letters of the address (- when empty)\n"
    "A GGA, GLL or RMC that is accepted is described in plain English. A summary\n"
    "follows: accepted sentences per mnemonic and the number of rejected lines\n"
    "(bad framing, a checksum that is not good, or a GPS sentence refused for\n"
    "its content).\n"
    "  --json  one JSON object per line instead, then one summary object; bytes\n"
    "          that are not valid UTF-8 appear as \\u00XX\n";

int RunCheckCommand(const Args& args, Io& io);

}  // namespace orv::cli
