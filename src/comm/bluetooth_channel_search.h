#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "app/settings_model.h"
#include "comm/bluetooth_discovery.h"

namespace orv {

class Prompter;

// Asks the user which of several channels to use (the channel dialog, which
// lists them in decimal). Nothing when the user cancels.
class BluetoothChannelChooser {
 public:
  virtual ~BluetoothChannelChooser() = default;
  virtual std::optional<std::uint8_t> Choose(std::span<const std::uint8_t> channels) = 0;
};

// The Serial Port channels of the device, from its service records. Nothing
// after a failed search, whose message has been shown.
std::optional<std::vector<std::uint8_t>> FindSerialPortChannels(BluetoothDiscovery& discovery,
                                                                const BluetoothDeviceEntry& device,
                                                                Prompter& prompter);

// The channel a link connects to: none found is an error shown to the user,
// one is taken as it is, several are offered to the chooser. Nothing when
// the link must not start.
std::optional<std::uint8_t> ChooseSerialPortChannel(BluetoothDiscovery& discovery,
                                                    const BluetoothDeviceEntry& device,
                                                    Prompter& prompter,
                                                    BluetoothChannelChooser& chooser);

}  // namespace orv
