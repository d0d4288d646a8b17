#include "vserial/virtual_port_stream.h"

#include <fcntl.h>

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
  // A host that went away fails the write with EPIPE; the endpoint is a
  // socket, so the base sends without raising SIGPIPE.
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
