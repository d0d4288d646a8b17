#pragma once

#include <string_view>

#include "cli/cli.h"

namespace orv::cli {

inline constexpr std::string_view kPlaySummary = "replay a track file's bursts to standard output";

inline constexpr std::string_view kPlayUsage =
    "Usage: orvelle-cli play FILE [--zoom N] [--reverse] [--pause] [--steps N]\n"
    "       orvelle-cli play FILE --to PORT [--zoom N] [--reverse] [--pause] [--seconds N]\n"
    "Loads FILE as the program loads a track file and writes, without waiting,\n"
    "what a destination would send once per second: per step GGA, GSA, on every\n"
    "fifth step also GSV, then RMC, VTG and GLL of the point under the cursor.\n"
    "  --zoom N   points per step: 1, 3, 5, 10, 20, 30, ..., 100 (default 1)\n"
    "  --reverse  play backwards, starting from the last point\n"
    "  --pause    paused: every step sends the point under the cursor again\n"
    "  --steps N  number of steps (1 or more); by default playing runs until the\n"
    "             cursor has stopped at the end (one step more shows that it stayed),\n"
    "             paused makes one step\n"
    "  --to PORT  send the bursts to PORT instead, one per second, as \"Playback to\"\n"
    "             does: a serial device path, a pty, or any path a link opens; what\n"
    "             the device sends is read and dropped. Runs until SIGINT or SIGTERM,\n"
    "             until --seconds have passed, or, without --seconds, until the\n"
    "             cursor has stopped at the end; prints the number of bursts sent\n"
    "  --seconds N  with --to: stop after N seconds\n"
    "A file that cannot be opened is reported on standard error (exit status 1).\n";

int RunPlayCommand(const Args& args, Io& io);

}  // namespace orv::cli
