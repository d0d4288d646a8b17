#include "comm/gpsd_stream.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace orv {
namespace {

constexpr int kConnectTimeoutMs = 5000;

// Connects a non-blocking socket to one address; the descriptor or -1.
int ConnectTo(const addrinfo& address, int& error) {
  const int fd = socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                        address.ai_protocol);
  if (fd < 0) {
    error = errno;
    return -1;
  }
  if (connect(fd, address.ai_addr, address.ai_addrlen) != 0) {
    if (errno != EINPROGRESS) {
      error = errno;
      close(fd);
      return -1;
    }
    pollfd wait{fd, POLLOUT, 0};
    int ready;
    do {
      ready = poll(&wait, 1, kConnectTimeoutMs);
    } while (ready < 0 && errno == EINTR);
    int socketError = 0;
    socklen_t length = sizeof socketError;
    if (ready == 0) {
      socketError = ETIMEDOUT;
    } else if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &socketError, &length) != 0) {
      socketError = errno;
    }
    if (socketError != 0) {
      error = socketError;
      close(fd);
      return -1;
    }
  }
  return fd;
}

}  // namespace

std::optional<GpsdAddress> ParseGpsdAddress(std::string_view portName) {
  if (portName.substr(0, kGpsdScheme.size()) != kGpsdScheme) return std::nullopt;
  std::string_view rest = portName.substr(kGpsdScheme.size());
  while (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);
  const size_t colon = rest.rfind(':');
  if (colon == std::string_view::npos || colon == 0 || colon + 1 == rest.size()) {
    return std::nullopt;
  }
  std::string_view host = rest.substr(0, colon);
  const std::string_view port = rest.substr(colon + 1);
  for (const char c : port) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  if (host.front() == '[' && host.back() == ']' && host.size() > 2) {
    host = host.substr(1, host.size() - 2);
  }
  return GpsdAddress{std::string(host), std::string(port)};
}

std::unique_ptr<GpsdStream> GpsdStream::Open(std::string_view portName, int& error) {
  const std::optional<GpsdAddress> address = ParseGpsdAddress(portName);
  if (!address) {
    error = EINVAL;
    return nullptr;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(address->host.c_str(), address->port.c_str(), &hints, &found) != 0) {
    error = EHOSTUNREACH;
    return nullptr;
  }
  int fd = -1;
  error = ECONNREFUSED;
  for (const addrinfo* entry = found; entry != nullptr && fd < 0; entry = entry->ai_next) {
    fd = ConnectTo(*entry, error);
  }
  freeaddrinfo(found);
  if (fd < 0) return nullptr;
  std::unique_ptr<GpsdStream> stream(new GpsdStream(fd));
  if (!stream->IsUsable()) {
    error = EMFILE;
    return nullptr;
  }
  const IoResult sent = stream->Write(kGpsdWatchCommand);
  if (sent.status != IoStatus::kDone) {
    error = sent.error != 0 ? sent.error : EIO;
    return nullptr;
  }
  error = 0;
  return stream;
}

GpsdStream::GpsdStream(int fd) : FdByteStream(fd, ECONNRESET) {}

IoResult GpsdStream::Read(char* buffer, size_t size) {
  for (;;) {
    IoResult result = FdByteStream::Read(buffer, size);
    if (result.status != IoStatus::kDone) return result;
    result.bytes = DropJsonLines(buffer, result.bytes);
    if (result.bytes > 0 || size == 0) return result;
  }
}

size_t GpsdStream::DropJsonLines(char* buffer, size_t size) {
  size_t kept = 0;
  for (size_t i = 0; i < size; ++i) {
    const char c = buffer[i];
    if (atLineStart_ && c == '{') inJsonLine_ = true;
    atLineStart_ = c == '\n';
    if (inJsonLine_) {
      if (c == '\n') inJsonLine_ = false;
      continue;
    }
    buffer[kept++] = c;
  }
  return kept;
}

}  // namespace orv
