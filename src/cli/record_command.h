#pragma once

#include <string_view>

#include "cli/cli.h"

namespace orv::cli {

inline constexpr std::string_view kRecordSummary =
    "record a receiver's sentences from a serial device or gpsd into a track file";

inline constexpr std::string_view kRecordUsage =
    "Usage: orvelle-cli record PORT [-o DIR] [--keep|--no-keep] [--seconds N]\n"
    "Records from PORT as the program's \"Record from\" does: the receiver's sentences\n"
    "go into a new track file named after the local time (2010_02_21_13_35_06_Sun.txt)\n"
    "in the documents folder, and build the live track. PORT is a serial device path\n"
    "(/dev/ttyUSB0, /dev/rfcomm0, a pty) or gpsd://HOST:PORT for the receiver gpsd serves.\n"
    "The recording ends on SIGINT (Ctrl-C) or SIGTERM, after --seconds, or when the device\n"
    "goes away. Then the file is kept or deleted: a file without receiver sentences is\n"
    "always deleted; otherwise --keep or --no-keep decides, or the answer to the question\n"
    "(y/n on standard input; at the end of the input the file is kept). A kept file is\n"
    "loaded as a track file and its path and statistics are printed.\n"
    "  -o DIR       record into DIR instead of the documents folder\n"
    "  --keep       keep the file without asking\n"
    "  --no-keep    delete the file without asking\n"
    "  --seconds N  stop after N seconds (1 or more)\n"
    "Exit status 1 when the recording could not start.\n";

int RunRecordCommand(const Args& args, Io& io);

}  // namespace orv::cli
