#include "cli/vport_command.h"

#include <unistd.h>

#include <chrono>
#include <cstring>
#include <ostream>
#include <string>
#include <thread>

#include "app/navigator.h"
#include "app/playback_burst_writer.h"
#include "app/settings_model.h"
#include "cli/stream_prompter.h"
#include "cli/track_command_support.h"
#include "platform/qt_settings_store.h"
#include "platform/settings_store_paths.h"
#include "vserial/host_service_registry.h"
#include "vserial/virtual_port_registration.h"
#include "vserial/virtual_port_writer.h"

namespace orv::cli {
namespace {

const Command kVport{"vport", kVportSummary, kVportUsage, RunVportCommand};

constexpr long long kMaxSteps = 100'000'000;
constexpr long long kMaxIntervalMs = 3'600'000;

std::string OpenText(bool open) {
  return open ? "open" : "closed";
}

void PrintStatus(SettingsModel& settings, HostServiceRegistry& registry, Io& io) {
  const std::int32_t port = settings.Int(SettingId::kVSerialPort);
  const std::uint32_t handle = settings.StoredDword(SettingId::kServiceHandle).value_or(0);
  if (port < kFirstVirtualPort || port > kLastVirtualPort) {
    io.out << "port: none\nhandle: " << handle << "\n";
    return;
  }
  const VirtualPortStatus status = registry.Status(port);
  io.out << "port: " << VirtualPortDeviceName(port) << "\n"
         << "handle: " << handle << "\n"
         << "device: " << status.files.device << "\n"
         << "writer endpoint: " << status.files.writer << "\n";
  if (!status.hostRunning) {
    io.out << "host: not running\n";
    return;
  }
  io.out << "host: running, pid " << status.host.pid
         << (status.handle == handle ? "" : ", registered under another handle") << "\n"
         << "reader: " << OpenText(status.state.readerOpen) << "\n"
         << "writer: " << OpenText(status.state.writerOpen) << "\n";
}

int Feed(const Args& args, SettingsModel& settings, Io& io) {
  std::string path;
  long long intervalMs = 0, steps = 0;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--interval-ms" || arg == "--steps") {
      if (i + 1 == args.size()) return UsageError(kVport, arg + " needs a value", io);
      const std::string& value = args[++i];
      const bool ok = arg == "--steps" ? ParseIntegerArg(value, 1, kMaxSteps, steps)
                                       : ParseIntegerArg(value, 0, kMaxIntervalMs, intervalMs);
      if (!ok) return UsageError(kVport, arg + " has a bad value: '" + value + "'", io);
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError(kVport, "unknown option '" + arg + "'", io);
    } else if (!path.empty()) {
      return UsageError(kVport, "only one FILE may be given", io);
    } else {
      path = arg;
    }
  }
  if (path.empty()) return UsageError(kVport, "feed needs a FILE", io);

  const std::int32_t port = settings.Int(SettingId::kVSerialPort);
  if (port < kFirstVirtualPort || port > kLastVirtualPort) {
    io.err << "orvelle-cli vport: no virtual serial port is configured\n";
    return kExitFailure;
  }
  Navigator navigator;
  if (LoadTrackFile(path, navigator, io) == LoadStatus::kNotOpened) return kExitFailure;

  const int fd = OpenVirtualPortWriter(port);
  if (fd < 0) {
    const int error = errno;
    io.err << "orvelle-cli vport: " << VirtualPortDeviceName(port)
           << " cannot be opened for writing: " << std::strerror(error) << "\n";
    return kExitFailure;
  }
  Track& track = navigator.Recorded();
  track.SetPlayback({kPlaybackPlaying, kPlaybackForward, 1});
  PlaybackBurstWriter writer;
  std::string burst;
  long long written = 0;
  auto next = std::chrono::steady_clock::now();
  for (;;) {
    const int32_t before = track.Cursor();
    writer.WriteBurst(track.NextPlaybackPoint(), burst);
    if (!WriteToVirtualPort(fd, burst.data(), burst.size())) {
      const int error = errno;
      io.err << "orvelle-cli vport: writing to " << VirtualPortDeviceName(port)
             << " failed: " << std::strerror(error) << "\n";
      close(fd);
      return kExitFailure;
    }
    ++written;
    if (steps != 0 ? written == steps : track.Cursor() == before) break;
    if (intervalMs > 0) {
      next += std::chrono::milliseconds(intervalMs);
      std::this_thread::sleep_until(next);
    }
  }
  close(fd);
  io.out << written << " bursts written to " << VirtualPortDeviceName(port) << "\n";
  return kExitOk;
}

}  // namespace

int RunVportCommand(const Args& args, Io& io) {
  if (args.empty()) return UsageError(kVport, "missing subcommand", io);
  const std::string& sub = args[0];
  QtSettingsStore store(DefaultSettingsFilePaths());
  SettingsModel settings(store);
  HostServiceRegistry registry;
  StreamPrompter prompter(io.err);
  VirtualPortRegistration registration(settings, registry, prompter);

  if (sub == "register" || sub == "unregister") {
    long long number = -1;
    if (sub == "register") {
      if (args.size() != 2 ||
          !ParseIntegerArg(args[1], kFirstVirtualPort, kLastVirtualPort, number)) {
        return UsageError(kVport, "register needs a port number from 0 to 9", io);
      }
    } else if (args.size() != 1) {
      return UsageError(kVport, "unregister takes no arguments", io);
    }
    const std::int32_t configured = settings.Int(SettingId::kVSerialPort);
    const std::uint32_t handle = settings.StoredDword(SettingId::kServiceHandle).value_or(0);
    // Choosing the port that is already configured and running changes nothing.
    const bool unchanged =
        number == configured && (number == -1 || (registry.Status(configured).hostRunning &&
                                                  registry.Status(configured).handle == handle));
    if (!unchanged) registration.Change(static_cast<std::int32_t>(number));
    PrintStatus(settings, registry, io);
    if (number == -1) return kExitOk;
    return registry.Status(static_cast<int>(number)).hostRunning ? kExitOk : kExitFailure;
  }
  if (sub == "status") {
    if (args.size() != 1) return UsageError(kVport, "status takes no arguments", io);
    PrintStatus(settings, registry, io);
    return kExitOk;
  }
  if (sub == "feed") return Feed(args, settings, io);
  return UsageError(kVport, "unknown subcommand '" + sub + "'", io);
}

}  // namespace orv::cli
