#pragma once

#include "comm/bluetooth_discovery.h"

namespace orv {

// Inquiry and service search through BlueZ's libbluetooth: the first local
// adapter, a general inquiry of about ten seconds, remote names read one by
// one, and an SDP session per service search.
class BluezBluetoothDiscovery : public BluetoothDiscovery {
 public:
  InquiryResult Inquire(const std::atomic<bool>& keepRunning) override;
  ServiceSearchResult SearchSerialPortService(std::uint64_t address) override;
};

}  // namespace orv
