#include "vserial/virtual_port_stream.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <cerrno>

#include "vserial/virtual_port_host.h"
#include "vserial/virtual_port_paths.h"
#include "vserial/virtual_port_writer.h"

namespace orv {

VirtualPortStream::VirtualPortStream(int fd) : FdByteStream(fd, ECONNRESET) {}

std::unique_ptr<VirtualPortStream> VirtualPortStream::Open(const std::string& directory, int index,
                                                           int& error) {
  const int fd = OpenVirtualPortWriter(directory, index);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  // The link waits in poll(2) so that Stop can wake it.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  std::unique_ptr<VirtualPortStream> stream(new VirtualPortStream(fd));
  if (!stream->IsUsable()) {
    error = errno != 0 ? errno : EMFILE;
    return nullptr;
  }
  return stream;
}

std::unique_ptr<VirtualPortStream> VirtualPortStream::Open(int index, int& error) {
  return Open(VirtualPortDirectory(), index, error);
}

IoResult VirtualPortStream::Write(std::string_view bytes) {
  // A host that went away must fail the write, not end the program with
  // SIGPIPE: the signal is held for this thread and taken back if raised.
  sigset_t pipeSignal, previous;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
  const IoResult result = WritePieces(bytes);
  if (result.status == IoStatus::kFailed && result.error == EPIPE) {
    const timespec now{0, 0};
    while (sigtimedwait(&pipeSignal, nullptr, &now) == SIGPIPE) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return result;
}

IoResult VirtualPortStream::WritePieces(std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const size_t piece = std::min(bytes.size() - done, kVirtualPortMaxMessage);
    const IoResult result = FdByteStream::Write(bytes.substr(done, piece));
    done += result.bytes;
    if (result.status != IoStatus::kDone) return {result.status, done, result.error};
  }
  return {IoStatus::kDone, done, 0};
}

}  // namespace orv
