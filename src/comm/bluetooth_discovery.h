#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "app/settings_model.h"

namespace orv {

// What the radio finds: devices in range, and the Serial Port service
// records of one device. Errors are errno values, kept apart by the stage
// that failed because each stage has its own message.
class BluetoothDiscovery {
 public:
  struct InquiryResult {
    int beginError = 0;  // the radio could not be reached
    int nextError = 0;   // the inquiry itself failed
    // A device whose name could not be read has an empty name.
    std::vector<BluetoothDeviceEntry> devices;
  };

  struct ServiceSearchResult {
    int beginError = 0;  // no service discovery session with the device
    int nextError = 0;   // the service search request failed
    // The attribute lists of the records found, as data elements, holding
    // only the protocol descriptor list.
    std::vector<std::uint8_t> response;
  };

  // The service search response is cut to this many bytes.
  static constexpr std::size_t kServiceSearchResponseBytes = 5000;

  virtual ~BluetoothDiscovery() = default;

  // Runs one inquiry; may take many seconds. `keepRunning` is looked at
  // between the slow steps so that a closed dialog ends the search early.
  virtual InquiryResult Inquire(const std::atomic<bool>& keepRunning) = 0;
  // Searches the device for Serial Port records (UUID 0x1101), asking only
  // for the protocol descriptor list.
  virtual ServiceSearchResult SearchSerialPortService(std::uint64_t address) = 0;
};

}  // namespace orv
