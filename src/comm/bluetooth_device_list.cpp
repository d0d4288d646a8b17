#include "comm/bluetooth_device_list.h"

namespace orv {

void BluetoothDeviceList::Load(const SettingsModel& settings) {
  std::vector<BluetoothDeviceEntry> stored = settings.BluetoothDevices();
  std::lock_guard lock(mutex_);
  devices_ = std::move(stored);
}

bool BluetoothDeviceList::Save(SettingsModel& settings) const {
  std::vector<BluetoothDeviceEntry> devices = Snapshot();
  return settings.WriteBluetoothDevices(devices);
}

bool BluetoothDeviceList::AppendFound(const BluetoothDeviceEntry& device) {
  std::lock_guard lock(mutex_);
  if (!devices_.empty() && devices_.back() == device) return false;
  devices_.push_back(device);
  return true;
}

void BluetoothDeviceList::Clear() {
  std::lock_guard lock(mutex_);
  devices_.clear();
}

std::vector<BluetoothDeviceEntry> BluetoothDeviceList::Snapshot() const {
  std::lock_guard lock(mutex_);
  return devices_;
}

}  // namespace orv
