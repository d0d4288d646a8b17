#include "vserial/host_service_registry.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace orv {
namespace {

constexpr std::string_view kHostProgramName = "orvserial-host";
// A host publishes in milliseconds; these only bound a broken one.
constexpr int kStartDeadlineMs = 5000;
constexpr int kStopDeadlineMs = 3000;

int PidfdOpen(pid_t pid) {
  return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

int PidfdSendSignal(int pidfd, int signal) {
  return static_cast<int>(syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0));
}

bool WaitReadable(int fd, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left < 0) return false;
    pollfd p{fd, POLLIN, 0};
    const int ready = poll(&p, 1, static_cast<int>(left));
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
  }
}

// The arguments of a running process, NUL-separated in /proc.
std::vector<std::string> CommandLineOf(pid_t pid) {
  std::vector<std::string> args;
  const std::optional<std::string> text =
      ReadSmallFile("/proc/" + std::to_string(pid) + "/cmdline");
  if (!text) return args;
  std::string_view rest = *text;
  while (!rest.empty()) {
    const size_t end = rest.find('\0');
    args.emplace_back(rest.substr(0, end));
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return args;
}

bool IsHostOf(pid_t pid, int index, std::uint32_t token, const std::string& directory) {
  const std::vector<std::string> args = CommandLineOf(pid);
  if (args.empty()) return false;
  const std::string_view program = args[0];
  const size_t slash = program.rfind('/');
  if (program.substr(slash == std::string_view::npos ? 0 : slash + 1) != kHostProgramName) {
    return false;
  }
  auto valueOf = [&](std::string_view flag) -> std::string_view {
    for (size_t i = 1; i + 1 < args.size(); ++i) {
      if (args[i] == flag) return args[i + 1];
    }
    return {};
  };
  return valueOf("--index") == std::to_string(index) &&
         valueOf("--token") == std::to_string(token) && valueOf("--dir") == directory;
}

// Whether somebody holds the lock file's lock (only a live host does).
bool LockHeld(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  const bool held = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);
  return held;
}

void RemovePublished(const VirtualPortFiles& files) {
  unlink(files.device.c_str());
  unlink(files.writer.c_str());
  unlink(files.state.c_str());
  unlink(files.lock.c_str());
}

std::uint32_t NewToken() {
  std::uint32_t random = 0;
  if (getrandom(&random, sizeof random, 0) != sizeof random) {
    random =
        static_cast<std::uint32_t>(getpid()) * 2654435761u ^
        static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  }
  random &= 0x0FFFFFFFu;
  return random == 0 ? 1 : random;
}

}  // namespace

std::uint32_t ServiceHandleOf(int index, std::uint32_t token) {
  return (token << 4) | static_cast<std::uint32_t>(index & 0xF);
}

int IndexOfServiceHandle(std::uint32_t handle) {
  return static_cast<int>(handle & 0xFu);
}

std::uint32_t TokenOfServiceHandle(std::uint32_t handle) {
  return handle >> 4;
}

HostServiceRegistry::HostServiceRegistry(std::string directory, std::string hostExecutable)
    : directory_(std::move(directory)), hostExecutable_(std::move(hostExecutable)) {}

HostServiceRegistry::HostServiceRegistry()
    : HostServiceRegistry(VirtualPortDirectory(), DefaultHostExecutable()) {}

std::string HostServiceRegistry::DefaultHostExecutable() {
  if (const char* chosen = std::getenv("ORVELLE_VSERIAL_HOST"); chosen && chosen[0] != '\0') {
    return chosen;
  }
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n > 0) {
    std::string beside(self, static_cast<size_t>(n));
    beside = beside.substr(0, beside.rfind('/') + 1) + std::string(kHostProgramName);
    if (access(beside.c_str(), X_OK) == 0) return beside;
  }
#ifdef ORV_VSERIAL_HOST_BUILD_PATH
  if (access(ORV_VSERIAL_HOST_BUILD_PATH, X_OK) == 0) return ORV_VSERIAL_HOST_BUILD_PATH;
#endif
  return std::string(kHostProgramName);
}

bool HostServiceRegistry::EnsureDirectory(int& error) const {
  if (mkdir(directory_.c_str(), 0700) != 0 && errno != EEXIST) {
    error = errno;
    return false;
  }
  // Others must not be able to reach the writer endpoint or swap the links.
  struct stat info {};
  if (lstat(directory_.c_str(), &info) != 0) {
    error = errno;
    return false;
  }
  if (!S_ISDIR(info.st_mode) || info.st_uid != getuid() || (info.st_mode & 0077) != 0) {
    error = EPERM;
    return false;
  }
  return true;
}

std::optional<HostLockRecord> HostServiceRegistry::LiveHost(int index) const {
  const VirtualPortFiles files = VirtualPortFilesIn(directory_, index);
  const std::optional<std::string> text = ReadSmallFile(files.lock);
  if (!text) return std::nullopt;
  const std::optional<HostLockRecord> record = ParseHostLockRecord(*text);
  if (!record || !LockHeld(files.lock)) return std::nullopt;
  if (!IsHostOf(record->pid, index, record->token, directory_)) return std::nullopt;
  return record;
}

std::uint32_t HostServiceRegistry::RegisterService(std::string_view prefix, int index,
                                                   std::string_view library,
                                                   std::uint32_t /*context*/, int& error) {
  if (prefix != kVirtualPortPrefix || index < kFirstVirtualPort || index > kLastVirtualPort ||
      library != kVirtualPortLibrary) {
    error = EINVAL;
    return 0;
  }
  if (!EnsureDirectory(error)) return 0;
  if (LiveHost(index)) {
    error = EEXIST;
    return 0;
  }
  const std::uint32_t token = NewToken();

  // Everything the child needs is prepared before fork: between fork and
  // exec only async-signal-safe calls are allowed.
  const std::string indexText = std::to_string(index), tokenText = std::to_string(token);
  const std::string readyText = "3";
  const char* argv[] = {hostExecutable_.c_str(), "--index", indexText.c_str(), "--dir",
                        directory_.c_str(),      "--token", tokenText.c_str(), "--ready-fd",
                        readyText.c_str(),       nullptr};
  int ready[2];
  if (pipe2(ready, O_CLOEXEC) != 0) {
    error = errno;
    return 0;
  }
  const pid_t child = fork();
  if (child < 0) {
    error = errno;
    close(ready[0]);
    close(ready[1]);
    return 0;
  }
  if (child == 0) {
    // Detach twice: a new session with no terminal, then a grandchild that
    // is not a session leader and outlives both this program and the child.
    setsid();
    if (fork() != 0) _exit(0);
    close(ready[0]);
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
    }
    if (ready[1] == 3) {
      fcntl(3, F_SETFD, 0);
    } else {
      dup2(ready[1], 3);
    }
    close_range(4, ~0u, 0);
    if (chdir("/") != 0) _exit(127);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    signal(SIGPIPE, SIG_DFL);
    execv(argv[0], const_cast<char* const*>(argv));
    const char failed[] = "error 2\n";
    [[maybe_unused]] const ssize_t ignored = write(3, failed, sizeof failed - 1);
    _exit(127);
  }
  close(ready[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }

  std::string answer;
  while (answer.find('\n') == std::string::npos && WaitReadable(ready[0], kStartDeadlineMs)) {
    char buffer[64];
    const ssize_t n = read(ready[0], buffer, sizeof buffer);
    if (n <= 0) break;
    answer.append(buffer, static_cast<size_t>(n));
  }
  close(ready[0]);
  if (answer == "ok\n") return ServiceHandleOf(index, token);
  error = ECHILD;
  if (answer.rfind("error ", 0) == 0) {
    int reported = 0;
    const char* first = answer.data() + 6;
    if (std::from_chars(first, answer.data() + answer.size(), reported).ec == std::errc() &&
        reported > 0) {
      error = reported;
    }
  }
  return 0;
}

bool HostServiceRegistry::DeregisterService(std::uint32_t handle, int& error) {
  const int index = IndexOfServiceHandle(handle);
  const std::uint32_t token = TokenOfServiceHandle(handle);
  if (token == 0 || index < kFirstVirtualPort || index > kLastVirtualPort) {
    error = EINVAL;
    return false;
  }
  const VirtualPortFiles files = VirtualPortFilesIn(directory_, index);
  const std::optional<HostLockRecord> host = LiveHost(index);
  if (!host || host->token != token) {
    // A host of this registration that died left its files behind.
    const std::optional<std::string> text = ReadSmallFile(files.lock);
    const std::optional<HostLockRecord> left = text ? ParseHostLockRecord(*text) : std::nullopt;
    if (!host && left && left->token == token && !LockHeld(files.lock)) RemovePublished(files);
    error = ESRCH;
    return false;
  }
  // Hold the process before checking it again, so that the signal cannot
  // reach another process that took over the number in between.
  const int pidfd = PidfdOpen(host->pid);
  if (pidfd < 0 || !IsHostOf(host->pid, index, token, directory_)) {
    if (pidfd >= 0) close(pidfd);
    error = ESRCH;
    return false;
  }
  bool stopped = PidfdSendSignal(pidfd, SIGTERM) == 0 && WaitReadable(pidfd, kStopDeadlineMs);
  if (!stopped) {
    PidfdSendSignal(pidfd, SIGKILL);
    stopped = WaitReadable(pidfd, kStopDeadlineMs);
    // A killed host cleans nothing up.
    RemovePublished(files);
  }
  close(pidfd);
  if (!stopped) {
    error = ETIMEDOUT;
    return false;
  }
  return true;
}

bool HostServiceRegistry::PortPresent(int index) {
  if (index < kFirstVirtualPort || index > kLastVirtualPort) return false;
  // A link left by a dead host may point at a terminal number that another
  // program has since been given: only a live host's device counts.
  if (!LiveHost(index)) return false;
  const VirtualPortFiles files = VirtualPortFilesIn(directory_, index);
  const int fd = open(files.device.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  close(fd);
  return true;
}

VirtualPortStatus HostServiceRegistry::Status(int index) const {
  VirtualPortStatus status;
  status.files = VirtualPortFilesIn(directory_, index);
  if (const std::optional<HostLockRecord> host = LiveHost(index)) {
    status.hostRunning = true;
    status.host = *host;
    status.handle = ServiceHandleOf(index, host->token);
    if (const std::optional<std::string> text = ReadSmallFile(status.files.state)) {
      status.state = ParseVirtualPortState(*text).value_or(VirtualPortState{});
    }
  }
  return status;
}

}  // namespace orv
