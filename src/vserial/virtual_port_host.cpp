#include "vserial/virtual_port_host.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "vserial/com_driver.h"
#include "vserial/virtual_port_records.h"

namespace orv {
namespace {

// How often the loop looks again without an event: POLLHUP of a closed
// reader cannot be waited for, and the lock file may have been removed.
constexpr int kRecheckMs = 100;
constexpr std::size_t kReaderChunk = 4096;

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

bool SendByte(int fd, char byte) {
  return send(fd, &byte, 1, MSG_DONTWAIT | MSG_NOSIGNAL) == 1;
}

}  // namespace

VirtualPortHost::VirtualPortHost(VirtualPortHostOptions options)
    : options_(std::move(options)),
      files_(VirtualPortFilesIn(options_.directory, options_.index)),
      receiveBuffer_(kVirtualPortMaxMessage) {}

VirtualPortHost::~VirtualPortHost() {
  Unpublish();
}

int VirtualPortHost::Publish() {
  lockFd_ = open(files_.lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (lockFd_ < 0) return errno;
  if (flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno == EWOULDBLOCK ? EBUSY : errno;
    CloseFd(lockFd_);
    return error;
  }
  const std::string record = FormatHostLockRecord({getpid(), options_.token});
  if (ftruncate(lockFd_, 0) != 0 ||
      pwrite(lockFd_, record.data(), record.size(), 0) != static_cast<ssize_t>(record.size())) {
    return errno != 0 ? errno : EIO;
  }
  // From here on the port is ours: whatever a dead host left is stale.
  published_ = true;
  unlink(files_.device.c_str());
  unlink(files_.writer.c_str());
  unlink(files_.state.c_str());

  masterFd_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (masterFd_ < 0 || grantpt(masterFd_) != 0 || unlockpt(masterFd_) != 0) return errno;
  char name[128];
  if (ptsname_r(masterFd_, name, sizeof name) != 0) return errno;
  slavePath_ = name;
  // Raw mode so that CR LF reach the reader as written. Opening and closing
  // the slave once also makes the master report POLLHUP while nobody has it
  // open, which is how readers are seen.
  const int slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave < 0) return errno;
  termios settings{};
  if (tcgetattr(slave, &settings) == 0) {
    cfmakeraw(&settings);
    tcsetattr(slave, TCSANOW, &settings);
  }
  close(slave);

  const std::string temporaryLink = files_.device + ".tmp";
  unlink(temporaryLink.c_str());
  if (symlink(slavePath_.c_str(), temporaryLink.c_str()) != 0) return errno;
  if (rename(temporaryLink.c_str(), files_.device.c_str()) != 0) return errno;

  listenFd_ = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) return errno;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (files_.writer.size() >= sizeof address.sun_path) return ENAMETOOLONG;
  std::memcpy(address.sun_path, files_.writer.c_str(), files_.writer.size() + 1);
  // Only the user may feed the port: the endpoint is created 0600.
  const mode_t previousMask = umask(0177);
  const int bound = bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  umask(previousMask);
  if (bound != 0) return errno;
  if (chmod(files_.writer.c_str(), 0600) != 0 || listen(listenFd_, 4) != 0) return errno;

  inotifyFd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (inotifyFd_ >= 0) inotify_add_watch(inotifyFd_, name, IN_OPEN | IN_CLOSE);

  deviceContext_ = COM_Init(nullptr);
  WriteState();
  return 0;
}

void VirtualPortHost::Unpublish() {
  if (readerContext_ != 0) COM_Close(readerContext_);
  if (writerContext_ != 0) COM_Close(writerContext_);
  readerContext_ = writerContext_ = 0;
  if (deviceContext_ != 0) COM_Deinit(deviceContext_);
  deviceContext_ = 0;
  // Remove the published files only while they are still ours: a lock file
  // that was removed or replaced means somebody else owns the names now.
  if (published_ && StillOwnLockFile()) {
    unlink(files_.device.c_str());
    unlink(files_.writer.c_str());
    unlink(files_.state.c_str());
    unlink(files_.lock.c_str());
  }
  published_ = false;
  CloseFd(writerFd_);
  CloseFd(listenFd_);
  CloseFd(inotifyFd_);
  CloseFd(masterFd_);
  CloseFd(lockFd_);
}

bool VirtualPortHost::StillOwnLockFile() const {
  struct stat held {
  }, named{};
  if (lockFd_ < 0 || fstat(lockFd_, &held) != 0) return false;
  if (lstat(files_.lock.c_str(), &named) != 0) return false;
  return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

void VirtualPortHost::Serve(int stopFd) {
  using Clock = std::chrono::steady_clock;
  auto nextLockCheck = Clock::now();
  for (;;) {
    pollfd fds[5];
    nfds_t count = 0;
    fds[count++] = {stopFd, POLLIN, 0};
    fds[count++] = {listenFd_, POLLIN, 0};
    const nfds_t inotifyAt = count;
    fds[count++] = {inotifyFd_, POLLIN, 0};
    const nfds_t writerAt = count;
    fds[count++] = {writerFd_, POLLIN, 0};  // a negative fd is skipped by poll
    // The master only while a reader is open: without one its POLLHUP would
    // wake the loop at once, every time.
    const nfds_t masterAt = count;
    const short masterEvents =
        static_cast<short>(POLLIN | (pendingAt_ < pending_.size() ? POLLOUT : 0));
    fds[count++] = {readerContext_ != 0 ? masterFd_ : -1, masterEvents, 0};

    const int ready = poll(fds, count, kRecheckMs);
    if (ready < 0 && errno != EINTR) break;
    if (fds[0].revents != 0) break;
    // A reader that closed and another that opened since the last look
    // leave no POLLHUP behind; the close event still separates them.
    if ((fds[inotifyAt].revents & POLLIN) && DrainInotify() && readerContext_ != 0) {
      SetReaderOpen(false);
    }
    UpdateReader();
    if (readerContext_ != 0 && (fds[masterAt].revents & POLLIN)) DiscardReaderInput();
    // The writer first: one that has just left makes room for the next.
    if (writerFd_ >= 0 && fds[writerAt].revents != 0) ReceiveFromWriter();
    if (fds[1].revents & POLLIN) AcceptWriters();
    DrainToReader();

    if (Clock::now() >= nextLockCheck) {
      // Whoever removed our lock file (an unregistration that had to force
      // it, or a test removing its folder) wants this host gone.
      if (!StillOwnLockFile()) {
        published_ = false;
        break;
      }
      nextLockCheck = Clock::now() + std::chrono::seconds(1);
    }
  }
  Unpublish();
}

void VirtualPortHost::UpdateReader() {
  pollfd master{masterFd_, 0, 0};
  if (poll(&master, 1, 0) < 0) return;
  const bool open = (master.revents & POLLHUP) == 0;
  if (open != (readerContext_ != 0)) SetReaderOpen(open);
}

void VirtualPortHost::SetReaderOpen(bool open) {
  FlushReaderInput();
  pending_.clear();
  pendingAt_ = 0;
  if (open) {
    // Writes still in the socket were made before this open: take them in
    // now so that the open discards them with the rest.
    if (writerFd_ >= 0) ReceiveFromWriter();
    readerContext_ = COM_Open(deviceContext_, O_RDONLY, kComShareRead | kComShareWrite);
  } else {
    COM_Close(readerContext_);
    readerContext_ = 0;
  }
  WriteState();
}

void VirtualPortHost::FlushReaderInput() {
  // Whatever sits in the terminal's input was written before this open or
  // for a reader that has left: neither belongs to the next reader. A flush
  // from the master side only reaches the bytes not yet passed to the line
  // discipline, so the slave is opened for a moment and flushed from there.
  tcflush(masterFd_, TCOFLUSH);
  const int slave = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (slave < 0) return;
  tcflush(slave, TCIFLUSH);
  close(slave);
  ++ownCloses_;
}

void VirtualPortHost::AcceptWriters() {
  for (;;) {
    const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    // A writer that closed a moment ago may not have been seen yet.
    if (writerFd_ >= 0) ReceiveFromWriter();
    std::uint32_t context = 0;
    if (writerFd_ < 0) context = COM_Open(deviceContext_, O_WRONLY, 0);
    if (context == 0) {
      SendByte(fd, '-');
      close(fd);
      continue;
    }
    if (!SendByte(fd, '+')) {
      COM_Close(context);
      close(fd);
      continue;
    }
    writerFd_ = fd;
    writerContext_ = context;
    WriteState();
  }
}

void VirtualPortHost::ReceiveFromWriter() {
  for (;;) {
    const ssize_t n = recv(writerFd_, receiveBuffer_.data(), receiveBuffer_.size(), MSG_DONTWAIT);
    if (n > 0) {
      COM_Write(writerContext_, receiveBuffer_.data(), static_cast<std::size_t>(n));
      // Hand each write on before taking the next, so the reader is never
      // behind by more than the terminal holds.
      DrainToReader();
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    CloseWriter();  // 0: the writer closed or died
    return;
  }
}

void VirtualPortHost::CloseWriter() {
  COM_Close(writerContext_);
  writerContext_ = 0;
  CloseFd(writerFd_);
  WriteState();
}

void VirtualPortHost::DrainToReader() {
  if (readerContext_ == 0) return;
  for (;;) {
    if (pendingAt_ == pending_.size()) {
      pending_.resize(kReaderChunk);
      const ssize_t n = COM_Read(readerContext_, pending_.data(), pending_.size());
      pending_.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
      pendingAt_ = 0;
      if (pending_.empty()) return;
    }
    const ssize_t written =
        write(masterFd_, pending_.data() + pendingAt_, pending_.size() - pendingAt_);
    if (written <= 0) return;  // full, or the reader just left: the loop sees which
    pendingAt_ += static_cast<std::size_t>(written);
  }
}

void VirtualPortHost::DiscardReaderInput() {
  char sink[512];
  while (read(masterFd_, sink, sizeof sink) > 0) {
  }
}

bool VirtualPortHost::DrainInotify() {
  bool closed = false;
  alignas(inotify_event) char events[1024];
  for (;;) {
    const ssize_t n = read(inotifyFd_, events, sizeof events);
    if (n <= 0) return closed;
    for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(events + at);
      if (event->mask & IN_CLOSE) {
        if (ownCloses_ > 0) {
          --ownCloses_;
        } else {
          closed = true;
        }
      }
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
}

void VirtualPortHost::WriteState() {
  ReplaceSmallFile(files_.state,
                   FormatVirtualPortState({readerContext_ != 0, writerContext_ != 0}));
}

}  // namespace orv
