#pragma once

#include <mutex>
#include <vector>

#include "app/settings_model.h"

namespace orv {

// The known Bluetooth devices: read from the settings at start-up, grown by
// the device search thread while the selection dialog reads it, and written
// back whole when the program closes. Every operation takes the list's lock.
class BluetoothDeviceList {
 public:
  void Load(const SettingsModel& settings);
  bool Save(SettingsModel& settings) const;

  // Appends a found device unless it equals the last entry, so a device
  // reported twice in a row is listed once. Returns whether it was added.
  bool AppendFound(const BluetoothDeviceEntry& device);
  void Clear();
  std::vector<BluetoothDeviceEntry> Snapshot() const;

 private:
  mutable std::mutex mutex_;
  std::vector<BluetoothDeviceEntry> devices_;
};

}  // namespace orv
