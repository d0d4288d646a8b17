#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "comm/bluetooth_channel_search.h"
#include "comm/bluetooth_discovery.h"
#include "pty_support.h"

namespace orv::testing {

// A radio that answers from fixed results.
class FakeBluetoothDiscovery : public BluetoothDiscovery {
 public:
  InquiryResult inquiry;
  ServiceSearchResult serviceSearch;
  std::vector<std::uint64_t> searchedAddresses;
  // When set, the inquiry lasts until the search is asked to end.
  bool inquiryWaitsForStop = false;

  InquiryResult Inquire(const std::atomic<bool>& keepRunning) override {
    while (inquiryWaitsForStop && keepRunning.load()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return inquiry;
  }
  ServiceSearchResult SearchSerialPortService(std::uint64_t address) override {
    searchedAddresses.push_back(address);
    return serviceSearch;
  }
};

// The channel dialog: records what it offered and answers as scripted.
class FakeChannelChooser : public BluetoothChannelChooser {
 public:
  std::optional<std::uint8_t> answer;
  std::vector<std::vector<std::uint8_t>> offered;

  std::optional<std::uint8_t> Choose(std::span<const std::uint8_t> channels) override {
    offered.emplace_back(channels.begin(), channels.end());
    return answer;
  }
};

// Waits up to 5 s for `done`: for work the code under test does on its own threads.
inline bool WaitUntil(const std::function<bool()>& done) {
  return test::WaitFor(std::chrono::steady_clock::now() + std::chrono::seconds(5), done);
}

// Serial Port records with the given RFCOMM channels, as a device sends them.
inline std::vector<std::uint8_t> SerialPortRecords(std::initializer_list<std::uint8_t> channels) {
  std::vector<std::uint8_t> lists;
  for (std::uint8_t channel : channels) {
    const std::uint8_t record[] = {0x35, 0x11, 0x09, 0x00, 0x04, 0x35, 0x0C, 0x35, 0x03,   0x19,
                                   0x01, 0x00, 0x35, 0x05, 0x19, 0x00, 0x03, 0x08, channel};
    lists.insert(lists.end(), std::begin(record), std::end(record));
  }
  std::vector<std::uint8_t> response(2 + lists.size());
  response[0] = 0x35;
  response[1] = static_cast<std::uint8_t>(lists.size());
  std::copy(lists.begin(), lists.end(), response.begin() + 2);
  return response;
}

}  // namespace orv::testing
