#include "cli/bt_command.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "cli/cli.h"
#include "comm/bluetooth_discovery.h"
#include "track_fixture.h"

namespace orv::cli {
namespace {

using namespace testing;

class FixedDiscovery : public BluetoothDiscovery {
 public:
  InquiryResult inquiry;
  ServiceSearchResult services;
  std::uint64_t searched = 0;

  InquiryResult Inquire(const std::atomic<bool>&) override { return inquiry; }
  ServiceSearchResult SearchSerialPortService(std::uint64_t address) override {
    searched = address;
    return services;
  }
};

// Two Serial Port records, channels 3 and 12.
const std::vector<std::uint8_t> kTwoRecords = {
    0x35, 0x26, 0x35, 0x11, 0x09, 0x00, 0x04, 0x35, 0x0C, 0x35, 0x03, 0x19, 0x01, 0x00,
    0x35, 0x05, 0x19, 0x00, 0x03, 0x08, 0x03, 0x35, 0x11, 0x09, 0x00, 0x04, 0x35, 0x0C,
    0x35, 0x03, 0x19, 0x01, 0x00, 0x35, 0x05, 0x19, 0x00, 0x03, 0x08, 0x0C};

struct BtCase {
  const char* legend;
  Args args;
  BluetoothDiscovery::InquiryResult inquiry;
  BluetoothDiscovery::ServiceSearchResult services;
  int status;
  std::string out;
  std::string errContains;  // empty: nothing on standard error
};

TEST(BtCommandTest, ScansAndListsChannels) {
  const BtCase cases[] = {
      {"devices found",
       {"scan"},
       {0, 0, {{"GPS 10X", 0x001B2C3D4E5Full}, {"", 0xA0B1C2D3E4F5ull}}},
       {},
       kExitOk,
       "001B2C3D4E5F  00:1B:2C:3D:4E:5F  GPS 10X\nA0B1C2D3E4F5  A0:B1:C2:D3:E4:F5  Unknown\n",
       ""},
      {"nothing in range", {"scan"}, {}, {}, kExitOk, "", "BT Devices could Not be found"},
      {"radio down",
       {"scan"},
       {0, ENETDOWN, {}},
       {},
       kExitFailure,
       "",
       "The bluetooth network is down."},
      {"two channels",
       {"channels", "00:1b:2c:3d:4e:5f"},
       {},
       {0, 0, kTwoRecords},
       kExitOk,
       "3\n12\n",
       ""},
      {"no Serial Port service",
       {"channels", "00:1B:2C:3D:4E:5F"},
       {},
       {},
       kExitFailure,
       "",
       "Error: An appropriate service (COM port) at 00:1B:2C:3D:4E:5F was not found."},
      {"device out of reach",
       {"channels", "00:1B:2C:3D:4E:5F"},
       {},
       {EHOSTDOWN, 0, {}},
       kExitFailure,
       "",
       "WSALookupServiceBegin failed at 00:1B:2C:3D:4E:5F during the search of services\n\n"
       "Error:(112)"},
      {"address without colons",
       {"channels", "001B2C3D4E5F"},
       {},
       {},
       kExitUsage,
       "",
       "ADDRESS must be six hex pairs"},
      {"address with a bad digit",
       {"channels", "00:1B:2C:3D:4E:5X"},
       {},
       {},
       kExitUsage,
       "",
       "ADDRESS must be six hex pairs"},
      {"channels without address", {"channels"}, {}, {}, kExitUsage, "", "needs one ADDRESS"},
      {"scan with an argument", {"scan", "x"}, {}, {}, kExitUsage, "", "takes no arguments"},
      {"no action", {}, {}, {}, kExitUsage, "", "missing scan or channels"},
      {"unknown action", {"pair"}, {}, {}, kExitUsage, "", "unknown action 'pair'"},
  };
  for (const BtCase& c : cases) {
    SCOPED_TRACE(c.legend);
    FixedDiscovery discovery;
    discovery.inquiry = c.inquiry;
    discovery.services = c.services;
    const auto r = Capture([&](Io& io) { return RunBtCommandWith(c.args, io, discovery); });
    ExpectOutcome(r, c.status, c.out, c.errContains);
  }
}

// Here the kernel has no Bluetooth: both actions say so and fail.
TEST(BtCommandTest, ReportsAMachineWithoutBluetooth) {
  const int probe = ::socket(AF_BLUETOOTH, SOCK_STREAM, 3 /* RFCOMM */);
  if (probe >= 0) {
    ::close(probe);
    GTEST_SKIP() << "this machine has Bluetooth sockets";
  }
  for (const Args& args : {Args{"bt", "scan"}, Args{"bt", "channels", "00:1B:2C:3D:4E:5F"}}) {
    SCOPED_TRACE(args[1]);
    ExpectOutcome(RunCli(args), kExitFailure, "", "This system has no Bluetooth support");
  }
}

}  // namespace
}  // namespace orv::cli
