#pragma once

#include <cstdint>

namespace orv {

// Where a Bluetooth link gets its stream socket: RFCOMM in the program, a
// socket pair in tests. Sockets are file descriptors the link owns and
// closes; errors are errno values.
class BluetoothSocketFactory {
 public:
  virtual ~BluetoothSocketFactory() = default;
  // A new stream socket, or -1 with the error in `error`.
  virtual int Create(int& error) = 0;
  // Connects the socket to the device's channel; 0 or the error.
  virtual int Connect(int socket, std::uint64_t address, std::uint8_t channel) = 0;
};

// RFCOMM stream sockets of the kernel's Bluetooth address family.
class RfcommSocketFactory : public BluetoothSocketFactory {
 public:
  int Create(int& error) override;
  int Connect(int socket, std::uint64_t address, std::uint8_t channel) override;
};

}  // namespace orv
