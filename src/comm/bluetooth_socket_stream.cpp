#include "comm/bluetooth_socket_stream.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

namespace orv {

BluetoothSocketStream::BluetoothSocketStream(int socket) : FdByteStream(socket, ECONNRESET) {}

BluetoothSocketStream::Event BluetoothSocketStream::WaitForEvent(
    std::chrono::milliseconds timeout) const {
  pollfd watched{Descriptor(), POLLIN | POLLRDHUP, 0};
  const int ready = ::poll(&watched, 1, static_cast<int>(timeout.count()));
  if (ready < 0) return errno == EINTR ? Event::kNone : Event::kFailed;
  if (ready == 0) return Event::kNone;
  if (watched.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) {
    // Data the peer sent before closing still counts as data.
    char probe;
    if ((watched.revents & POLLIN) &&
        ::recv(Descriptor(), &probe, 1, MSG_PEEK | MSG_DONTWAIT) > 0) {
      return Event::kData;
    }
    return Event::kClosed;
  }
  return (watched.revents & POLLIN) ? Event::kData : Event::kNone;
}

void BluetoothSocketStream::Shutdown() {
  ::shutdown(Descriptor(), SHUT_RDWR);
}

}  // namespace orv
