#include "cli/bt_command.h"

#include <charconv>
#include <ostream>
#include <string>

#include "cli/stream_prompter.h"
#include "comm/bluetooth_address.h"
#include "comm/bluetooth_bluez_discovery.h"
#include "comm/bluetooth_channel_search.h"
#include "comm/bluetooth_device_list.h"
#include "comm/bluetooth_device_search.h"
#include "comm/bluetooth_messages.h"

namespace orv::cli {
namespace {

const Command kBt{"bt", kBtSummary, kBtUsage, RunBtCommand};

int Scan(Io& io, BluetoothDiscovery& discovery) {
  StreamPrompter prompter(io.err);
  BluetoothDeviceList devices;
  BluetoothDeviceSearch search(discovery, devices, prompter);
  const bool searched = search.Run();
  const std::vector<BluetoothDeviceEntry> found = devices.Snapshot();
  for (const BluetoothDeviceEntry& device : found) {
    io.out << BluetoothAddressText(device.address) << "  "
           << BluetoothAddressColonText(device.address) << "  " << device.name << "\n";
  }
  if (!searched) return kExitFailure;
  if (found.empty()) io.err << kBtNoDevicesFoundText << "\n";
  return kExitOk;
}

int Channels(std::uint64_t address, Io& io, BluetoothDiscovery& discovery) {
  StreamPrompter prompter(io.err);
  // The device's name is not known here: its address stands in for it.
  const BluetoothDeviceEntry device{BluetoothAddressColonText(address), address};
  const std::optional<std::vector<std::uint8_t>> channels =
      FindSerialPortChannels(discovery, device, prompter);
  if (!channels) return kExitFailure;
  if (channels->empty()) {
    prompter.Ask(Prompt{BluetoothMessage(kBtNoSerialPortServiceText, device.name),
                        std::string(kBtNoSerialPortServiceCaption), PromptIcon::kInformation,
                        PromptButtons::kOk, 0});
    return kExitFailure;
  }
  for (std::uint8_t channel : *channels) {
    char digits[4];
    const auto result = std::to_chars(digits, digits + sizeof digits, channel);
    io.out << std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)) << "\n";
  }
  return kExitOk;
}

}  // namespace

int RunBtCommandWith(const Args& args, Io& io, BluetoothDiscovery& discovery) {
  if (args.empty()) return UsageError(kBt, "missing scan or channels", io);
  if (args[0] == "scan") {
    if (args.size() != 1) return UsageError(kBt, "scan takes no arguments", io);
    return Scan(io, discovery);
  }
  if (args[0] == "channels") {
    if (args.size() != 2) return UsageError(kBt, "channels needs one ADDRESS", io);
    const std::optional<std::uint64_t> address = ParseBluetoothAddress(args[1]);
    if (!address) {
      return UsageError(
          kBt, "ADDRESS must be six hex pairs as XX:XX:XX:XX:XX:XX: '" + args[1] + "'", io);
    }
    return Channels(*address, io, discovery);
  }
  return UsageError(kBt, "unknown action '" + args[0] + "'", io);
}

int RunBtCommand(const Args& args, Io& io) {
  BluezBluetoothDiscovery discovery;
  return RunBtCommandWith(args, io, discovery);
}

}  // namespace orv::cli
