#pragma once

#include <chrono>

#include "comm/fd_byte_stream.h"

namespace orv {

// The connected stream socket of a Bluetooth link, with the two tests the
// link makes on it besides reading and writing.
class BluetoothSocketStream : public FdByteStream {
 public:
  enum class Event { kNone, kData, kClosed, kFailed };

  // Takes ownership of the connected socket; a read after the peer has
  // gone fails with ECONNRESET, a write with EPIPE.
  explicit BluetoothSocketStream(int socket);

  // Waits up to `timeout` for something to happen on the socket: data to
  // receive, or the peer's close once all its data has been read. kFailed
  // when the wait itself failed; errno tells why.
  Event WaitForEvent(std::chrono::milliseconds timeout) const;
  // Ends the connection in both directions; the peer sees the close.
  void Shutdown();
};

}  // namespace orv
