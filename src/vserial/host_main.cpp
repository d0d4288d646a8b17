// orvserial-host: keeps one virtual serial port alive for as long as it is
// registered. Started detached by the registration; stopped with SIGTERM.
//
//   orvserial-host --index N --dir DIR --token T [--ready-fd FD]
//
// FD receives "ok\n" once the port is published, or "error ERRNO\n".

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <charconv>
#include <cstring>
#include <string>
#include <string_view>

#include "vserial/virtual_port_host.h"

namespace {

template <typename Number>
bool ParseNumber(std::string_view text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

void Report(int readyFd, int error) {
  if (readyFd < 0) return;
  const std::string text = error == 0 ? "ok\n" : "error " + std::to_string(error) + "\n";
  [[maybe_unused]] const ssize_t written = write(readyFd, text.data(), text.size());
  close(readyFd);
}

}  // namespace

int main(int argc, char** argv) {
  orv::VirtualPortHostOptions options;
  int readyFd = -1;
  bool haveIndex = false;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string_view flag = argv[i], value = argv[i + 1];
    bool ok = true;
    if (flag == "--index") {
      ok = ParseNumber(value, options.index) && options.index >= orv::kFirstVirtualPort &&
           options.index <= orv::kLastVirtualPort;
      haveIndex = ok;
    } else if (flag == "--dir") {
      options.directory = value;
    } else if (flag == "--token") {
      ok = ParseNumber(value, options.token) && options.token != 0;
    } else if (flag == "--ready-fd") {
      ok = ParseNumber(value, readyFd);
    } else {
      ok = false;
    }
    if (!ok) {
      Report(readyFd, EINVAL);
      return 2;
    }
  }
  if (!haveIndex || options.directory.empty() || options.token == 0 || argc % 2 == 0) {
    Report(readyFd, EINVAL);
    return 2;
  }

  // Stop requests arrive as a readable descriptor the loop already polls.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGHUP);
  sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
  const int stopFd = signalfd(-1, &stopSignals, SFD_CLOEXEC | SFD_NONBLOCK);
  signal(SIGPIPE, SIG_IGN);
  if (stopFd < 0) {
    Report(readyFd, errno);
    return 1;
  }

  orv::VirtualPortHost host(options);
  const int error = host.Publish();
  Report(readyFd, error);
  if (error != 0) return 1;
  host.Serve(stopFd);
  return 0;
}
