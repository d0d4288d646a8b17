#pragma once

#include <string_view>

#include "cli/cli.h"

namespace orv::cli {

inline constexpr std::string_view kVportSummary =
    "register, remove, inspect or feed the virtual serial port";

inline constexpr std::string_view kVportUsage =
    "Usage: orvelle-cli vport register N\n"
    "       orvelle-cli vport unregister\n"
    "       orvelle-cli vport status\n"
    "       orvelle-cli vport feed FILE [--interval-ms MS] [--steps N]\n"
    "The virtual serial port COMn: (n 0..9) lets other programs, gpsd for one, read\n"
    "the playback as if from a GPS receiver: they open the device published at\n"
    "$XDG_RUNTIME_DIR/orvelle/COMn (/tmp/orvelle-UID/COMn when that variable does\n"
    "not name a folder of the user's own). The choice is kept in the settings as\n"
    "the program keeps it (\"VSerialPort\", \"ServiceHandle\").\n"
    "  register N   make COMN: the virtual port, removing the one configured before\n"
    "  unregister   choose none: the port is removed\n"
    "  status       the configured port, its handle, the published device, and\n"
    "               whether a reader and a writer have it open\n"
    "  feed FILE    load the track file FILE and write its replay bursts into the\n"
    "               configured port as its writer, from the first point to the last\n"
    "    --interval-ms MS  wait MS milliseconds between bursts (default 0: as fast\n"
    "                      as the port takes them)\n"
    "    --steps N         stop after N bursts\n"
    "Failures are reported on standard error (exit status 1).\n";

int RunVportCommand(const Args& args, Io& io);

}  // namespace orv::cli
