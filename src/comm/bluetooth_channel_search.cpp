#include "comm/bluetooth_channel_search.h"

#include "comm/bluetooth_messages.h"
#include "comm/sdp_rfcomm_channels.h"
#include "platform/prompter.h"

namespace orv {

std::optional<std::vector<std::uint8_t>> FindSerialPortChannels(BluetoothDiscovery& discovery,
                                                                const BluetoothDeviceEntry& device,
                                                                Prompter& prompter) {
  const BluetoothDiscovery::ServiceSearchResult result =
      discovery.SearchSerialPortService(device.address);
  if (result.beginError != 0) {
    ShowBluetoothError(prompter, BluetoothFailureMessage(kBtServicesLookupBeginFailedText,
                                                         result.beginError, device.name));
    return std::nullopt;
  }
  if (result.nextError != 0) {
    ShowBluetoothError(prompter, BluetoothFailureMessage(kBtServicesLookupNextFailedText,
                                                         result.nextError, device.name));
    return std::nullopt;
  }
  return RfcommChannelsFromSdpResponse(result.response);
}

std::optional<std::uint8_t> ChooseSerialPortChannel(BluetoothDiscovery& discovery,
                                                    const BluetoothDeviceEntry& device,
                                                    Prompter& prompter,
                                                    BluetoothChannelChooser& chooser) {
  const std::optional<std::vector<std::uint8_t>> channels =
      FindSerialPortChannels(discovery, device, prompter);
  if (!channels) return std::nullopt;
  if (channels->empty()) {
    prompter.Ask(Prompt{BluetoothMessage(kBtNoSerialPortServiceText, device.name),
                        std::string(kBtNoSerialPortServiceCaption), PromptIcon::kInformation,
                        PromptButtons::kOk, 0});
    return std::nullopt;
  }
  if (channels->size() == 1) return channels->front();
  return chooser.Choose(*channels);
}

}  // namespace orv
