#include "comm/bluetooth_socket_stream.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
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

IoResult BluetoothSocketStream::Write(std::string_view bytes) {
  // The base writes with write(2), which has no flag against SIGPIPE: hold
  // the signal for this thread and take a raised one before letting go.
  sigset_t pipeSignal;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  sigset_t previous;
  pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
  const IoResult result = FdByteStream::Write(bytes);
  if (!sigismember(&previous, SIGPIPE)) {
    sigset_t pending;
    sigpending(&pending);
    if (sigismember(&pending, SIGPIPE)) {
      const timespec noWait{0, 0};
      sigtimedwait(&pipeSignal, nullptr, &noWait);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  }
  return result;
}

}  // namespace orv
