#pragma once

#include <cstddef>
#include <string_view>

namespace orv {

enum class IoStatus {
  kDone,     // bytes were moved
  kStopped,  // the waiting side was woken to end
  kFailed,   // `error` holds the errno
};

struct IoResult {
  IoStatus status = IoStatus::kDone;
  size_t bytes = 0;
  int error = 0;
};

// The open device of a link: a tty, a gpsd connection or a socket. Reads
// and writes block until they have moved bytes, failed, or were woken by
// the link's Stop, so that no thread hangs on a device that went silent.
// One thread reads and another writes at the same time.
class ByteStream {
 public:
  virtual ~ByteStream() = default;

  // At least one byte, unless the stream failed or was woken. A device
  // that went away (a pulled receiver, a closed connection) fails.
  virtual IoResult Read(char* buffer, size_t size) = 0;
  // Every byte, unless the stream failed or was woken.
  virtual IoResult Write(std::string_view bytes) = 0;

  // From then on Read (or Write) returns kStopped, also when it is waiting.
  virtual void WakeReader() = 0;
  virtual void WakeWriter() = 0;

  // False for a stream with no receiver behind it to keep awake (gpsd).
  virtual bool TakesReceiverCommands() const { return true; }
};

}  // namespace orv
