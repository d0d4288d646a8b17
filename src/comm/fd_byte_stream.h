#pragma once

#include <sys/types.h>

#include <string_view>

#include "comm/byte_stream.h"

namespace orv {

// A byte stream over a non-blocking file descriptor, waiting in poll(2)
// beside a wake-up descriptor per direction so that Stop never hangs.
// Writing to a socket or pipe whose reader has gone fails with EPIPE and
// never raises SIGPIPE: a library must not end the program that uses it.
class FdByteStream : public ByteStream {
 public:
  // Takes ownership of `fd`. `endOfStreamError` is the errno a read
  // reports when the other side has gone (EIO for a tty whose device
  // vanished, ECONNRESET for a closed connection).
  FdByteStream(int fd, int endOfStreamError);
  ~FdByteStream() override;
  FdByteStream(const FdByteStream&) = delete;
  FdByteStream& operator=(const FdByteStream&) = delete;

  // False when the wake-up descriptors could not be made; errno tells why.
  bool IsUsable() const { return fd_ >= 0 && readWake_ >= 0 && writeWake_ >= 0; }

  IoResult Read(char* buffer, size_t size) override;
  IoResult Write(std::string_view bytes) override;
  void WakeReader() override;
  void WakeWriter() override;

 protected:
  int Descriptor() const { return fd_; }

 private:
  // What the descriptor is decides how a write avoids SIGPIPE.
  enum class Kind { kSocket, kPipe, kOther };
  static Kind KindOf(int fd);

  // One write(2)-like call: the bytes taken, or -1 with errno.
  ssize_t WriteOnce(const char* bytes, size_t size);

  int fd_;
  Kind kind_;
  int endOfStreamError_;
  int readWake_;
  int writeWake_;
};

}  // namespace orv
