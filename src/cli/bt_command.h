#pragma once

#include <string_view>

#include "cli/cli.h"

namespace orv {
class BluetoothDiscovery;
}

namespace orv::cli {

inline constexpr std::string_view kBtSummary =
    "find Bluetooth devices and their Serial Port channels";

inline constexpr std::string_view kBtUsage =
    "Usage: orvelle-cli bt scan\n"
    "       orvelle-cli bt channels ADDRESS\n"
    "scan      runs one inquiry (about ten seconds) and prints each device found on\n"
    "          a line: the address as the device lists show it (12 hex digits), the\n"
    "          address as XX:XX:XX:XX:XX:XX, and the name (\"Unknown\" when the device\n"
    "          gave none)\n"
    "channels  searches the device at ADDRESS (XX:XX:XX:XX:XX:XX) for Serial Port\n"
    "          service records and prints their RFCOMM channels, one per line\n"
    "A failed search, a device without a Serial Port service and a machine without\n"
    "Bluetooth are reported on standard error (exit status 1).\n";

int RunBtCommand(const Args& args, Io& io);
// The same over a given radio; tests pass a fake one.
int RunBtCommandWith(const Args& args, Io& io, BluetoothDiscovery& discovery);

}  // namespace orv::cli
