#include "comm/bluetooth_device_search.h"

#include <cerrno>
#include <system_error>

#include "comm/bluetooth_messages.h"
#include "platform/prompter.h"

namespace orv {

bool BluetoothDeviceSearch::Start() {
  Stop();
  devices_.Clear();
  keepRunning_ = true;
  running_ = true;
  try {
    thread_ = std::thread([this] {
      Search();
      running_ = false;
    });
  } catch (const std::system_error&) {
    running_ = false;
    ShowBluetoothError(prompter_, std::string(kBtSearchThreadFailedText));
    return false;
  }
  return true;
}

void BluetoothDeviceSearch::Stop() {
  keepRunning_ = false;
  if (thread_.joinable()) thread_.join();
}

bool BluetoothDeviceSearch::Run() {
  keepRunning_ = true;
  return Search();
}

bool BluetoothDeviceSearch::Search() {
  const BluetoothDiscovery::InquiryResult result = discovery_.Inquire(keepRunning_);
  if (result.beginError != 0) {
    ShowBluetoothError(
        prompter_, BluetoothFailureMessage(kBtDevicesLookupBeginFailedText, result.beginError, {}));
    return false;
  }
  for (const BluetoothDeviceEntry& found : result.devices) {
    if (!keepRunning_.load()) break;
    BluetoothDeviceEntry device = found;
    if (device.name.empty()) device.name = kBtUnknownDeviceName;
    devices_.AppendFound(device);
  }
  // Other errors just end the search with what was found so far.
  if (result.nextError == ENETDOWN) {
    ShowBluetoothError(prompter_, std::string(kBtNetworkDownText));
    return false;
  }
  return true;
}

}  // namespace orv
