#pragma once

#include <atomic>
#include <thread>

#include "comm/bluetooth_device_list.h"
#include "comm/bluetooth_discovery.h"

namespace orv {

class Prompter;

// The search behind the device dialog's Refresh: one inquiry on a thread of
// its own, each device found appended to the known device list, which the
// dialog reads on its timer. A closed dialog stops the search.
class BluetoothDeviceSearch {
 public:
  BluetoothDeviceSearch(BluetoothDiscovery& discovery, BluetoothDeviceList& devices,
                        Prompter& prompter)
      : discovery_(discovery), devices_(devices), prompter_(prompter) {}
  ~BluetoothDeviceSearch() { Stop(); }
  BluetoothDeviceSearch(const BluetoothDeviceSearch&) = delete;
  BluetoothDeviceSearch& operator=(const BluetoothDeviceSearch&) = delete;

  // Clears the list and starts the search thread. False when the thread
  // could not be started; its message has been shown.
  bool Start();
  // Asks the search to end and waits for it.
  void Stop();
  // While true the dialog shows "Search for BT Devices is running...".
  bool IsRunning() const { return running_.load(); }

  // One search on the calling thread. False when it failed and a message
  // was shown.
  bool Run();

 private:
  bool Search();

  BluetoothDiscovery& discovery_;
  BluetoothDeviceList& devices_;
  Prompter& prompter_;
  std::atomic<bool> keepRunning_{false};
  std::atomic<bool> running_{false};
  std::thread thread_;
};

}  // namespace orv
