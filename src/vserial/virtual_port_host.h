#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vserial/virtual_port_paths.h"

namespace orv {

struct VirtualPortHostOptions {
  int index = 0;
  std::string directory;
  std::uint32_t token = 0;
};

// The process that stands in for the platform's services manager holding the
// driver: it owns a pseudo-terminal whose slave is the reader's device and a
// listening socket that is the writer's, and turns what happens on them into
// calls of the driver's entry points.
//
// Reader: a program opening the published device. The master shows POLLHUP
// while no slave is open, which is how opens and closes are seen; inotify on
// the slave wakes the loop at once, a timer re-checks in case it does not.
// Writer: one connection on the writer endpoint, acknowledged with '+', a
// second one refused with '-'. Each message on it is one driver write.
class VirtualPortHost {
 public:
  explicit VirtualPortHost(VirtualPortHostOptions options);
  ~VirtualPortHost();
  VirtualPortHost(const VirtualPortHost&) = delete;
  VirtualPortHost& operator=(const VirtualPortHost&) = delete;

  // Takes the lock, creates the pseudo-terminal and the writer endpoint and
  // publishes them. 0 on success, else an errno value (EBUSY: another host
  // holds the port).
  int Publish();

  // Serves until `stopFd` (a signalfd or any descriptor) becomes readable or
  // the lock file disappears, then removes what was published.
  void Serve(int stopFd);

 private:
  void Unpublish();
  void UpdateReader();
  void SetReaderOpen(bool open);
  void AcceptWriters();
  void ReceiveFromWriter();
  void CloseWriter();
  void DrainToReader();
  void FlushReaderInput();
  void DiscardReaderInput();
  // Whether a reader closed the device since the last call.
  bool DrainInotify();
  void WriteState();
  bool StillOwnLockFile() const;

  VirtualPortHostOptions options_;
  VirtualPortFiles files_;
  std::string slavePath_;
  int lockFd_ = -1;
  int masterFd_ = -1;
  int listenFd_ = -1;
  int writerFd_ = -1;
  int inotifyFd_ = -1;
  bool published_ = false;
  // Closes of the slave by this host itself, still to come from inotify.
  int ownCloses_ = 0;
  std::uint32_t deviceContext_ = 0;
  std::uint32_t readerContext_ = 0;
  std::uint32_t writerContext_ = 0;
  // Bytes taken from the driver but not yet accepted by the pseudo-terminal.
  std::vector<char> pending_;
  std::size_t pendingAt_ = 0;
  std::vector<char> receiveBuffer_;
};

// The largest message the writer endpoint takes in one piece; writers cut
// longer writes.
inline constexpr std::size_t kVirtualPortMaxMessage = 65536;

}  // namespace orv
