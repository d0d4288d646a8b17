#include "comm/fd_byte_stream.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace orv {
namespace {

void Signal(int wakeFd) {
  const std::uint64_t one = 1;
  // The counter stays readable from now on: a woken side stays woken.
  [[maybe_unused]] const ssize_t ignored = write(wakeFd, &one, sizeof one);
}

}  // namespace

FdByteStream::Kind FdByteStream::KindOf(int fd) {
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0) return Kind::kOther;
  if (S_ISSOCK(info.st_mode)) return Kind::kSocket;
  if (S_ISFIFO(info.st_mode)) return Kind::kPipe;
  return Kind::kOther;
}

FdByteStream::FdByteStream(int fd, int endOfStreamError)
    : fd_(fd),
      kind_(KindOf(fd)),
      endOfStreamError_(endOfStreamError),
      readWake_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      writeWake_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

FdByteStream::~FdByteStream() {
  if (fd_ >= 0) close(fd_);
  if (readWake_ >= 0) close(readWake_);
  if (writeWake_ >= 0) close(writeWake_);
}

void FdByteStream::WakeReader() {
  Signal(readWake_);
}

void FdByteStream::WakeWriter() {
  Signal(writeWake_);
}

IoResult FdByteStream::Read(char* buffer, size_t size) {
  for (;;) {
    pollfd waits[2] = {{fd_, POLLIN, 0}, {readWake_, POLLIN, 0}};
    if (poll(waits, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return {IoStatus::kFailed, 0, errno};
    }
    if (waits[1].revents != 0) return {IoStatus::kStopped, 0, 0};
    if (waits[0].revents & POLLNVAL) return {IoStatus::kFailed, 0, EBADF};
    const ssize_t count = read(fd_, buffer, size);
    if (count > 0) return {IoStatus::kDone, static_cast<size_t>(count), 0};
    if (count < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      return {IoStatus::kFailed, 0, errno};
    }
    if (size == 0) return {IoStatus::kDone, 0, 0};
    // Readable yet no byte: the other side has gone (a hung-up tty, a
    // closed connection). The descriptor is non-blocking, so a quiet
    // device gives EAGAIN instead and never lands here.
    return {IoStatus::kFailed, 0, endOfStreamError_};
  }
}

ssize_t FdByteStream::WriteOnce(const char* bytes, size_t size) {
  if (kind_ == Kind::kSocket) return send(fd_, bytes, size, MSG_NOSIGNAL);
  if (kind_ != Kind::kPipe) return write(fd_, bytes, size);
  // A pipe has no flag against the signal: it is held for this thread
  // during the write, and one the write raised is taken before letting go.
  sigset_t pipeSignal, previous;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
  const ssize_t count = write(fd_, bytes, size);
  const int writeError = errno;
  if (count < 0 && writeError == EPIPE) {
    const timespec noWait{0, 0};
    while (sigtimedwait(&pipeSignal, nullptr, &noWait) == SIGPIPE) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  errno = writeError;
  return count;
}

IoResult FdByteStream::Write(std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t count = WriteOnce(bytes.data() + done, bytes.size() - done);
    if (count > 0) {
      done += static_cast<size_t>(count);
      continue;
    }
    if (count < 0 && errno != EAGAIN && errno != EINTR) return {IoStatus::kFailed, done, errno};
    pollfd waits[2] = {{fd_, POLLOUT, 0}, {writeWake_, POLLIN, 0}};
    if (poll(waits, 2, -1) < 0 && errno != EINTR) return {IoStatus::kFailed, done, errno};
    if (waits[1].revents != 0) return {IoStatus::kStopped, done, 0};
  }
  return {IoStatus::kDone, done, 0};
}

}  // namespace orv
