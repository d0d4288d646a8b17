#include "vserial/virtual_port_writer.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "vserial/virtual_port_host.h"
#include "vserial/virtual_port_paths.h"

namespace orv {
namespace {

// The host answers at once; this only bounds a hung one.
constexpr int kAcceptDeadlineMs = 3000;

int Fail(int fd, int error) {
  if (fd >= 0) close(fd);
  errno = error;
  return -1;
}

}  // namespace

int OpenVirtualPortWriter(const std::string& directory, int index) {
  const std::string path = VirtualPortFilesIn(directory, index).writer;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return Fail(-1, ENAMETOOLONG);
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);

  const int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  int result;
  do {
    result = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  } while (result != 0 && errno == EINTR);
  if (result != 0) return Fail(fd, errno);

  pollfd answer{fd, POLLIN, 0};
  int ready;
  do {
    ready = poll(&answer, 1, kAcceptDeadlineMs);
  } while (ready < 0 && errno == EINTR);
  if (ready == 0) return Fail(fd, ETIMEDOUT);
  char verdict = 0;
  if (ready < 0 || recv(fd, &verdict, 1, 0) != 1) return Fail(fd, ECONNREFUSED);
  if (verdict != '+') return Fail(fd, EBUSY);
  // The program never reads its own port.
  shutdown(fd, SHUT_RD);
  return fd;
}

int OpenVirtualPortWriter(int index) {
  return OpenVirtualPortWriter(VirtualPortDirectory(), index);
}

bool WriteToVirtualPort(int fd, const void* bytes, std::size_t size) {
  const char* at = static_cast<const char*>(bytes);
  while (size > 0) {
    const std::size_t piece = std::min(size, kVirtualPortMaxMessage);
    const ssize_t sent = send(fd, at, piece, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent != static_cast<ssize_t>(piece)) {
      if (sent >= 0) errno = EIO;
      return false;
    }
    at += piece;
    size -= piece;
  }
  return true;
}

}  // namespace orv
