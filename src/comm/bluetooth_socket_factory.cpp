#include "comm/bluetooth_socket_factory.h"

#include <bluetooth/bluetooth.h>
#include <bluetooth/rfcomm.h>
#include <sys/socket.h>

#include <cerrno>

#include "comm/bluetooth_address.h"

namespace orv {

int RfcommSocketFactory::Create(int& error) {
  const int socket = ::socket(AF_BLUETOOTH, SOCK_STREAM | SOCK_CLOEXEC, BTPROTO_RFCOMM);
  error = socket < 0 ? errno : 0;
  return socket;
}

int RfcommSocketFactory::Connect(int socket, std::uint64_t address, std::uint8_t channel) {
  sockaddr_rc target{};
  target.rc_family = AF_BLUETOOTH;
  BluetoothAddressToBytes(address, target.rc_bdaddr.b);
  target.rc_channel = channel;
  int result;
  do {
    result = ::connect(socket, reinterpret_cast<const sockaddr*>(&target), sizeof target);
  } while (result < 0 && errno == EINTR);
  return result < 0 ? errno : 0;
}

}  // namespace orv
