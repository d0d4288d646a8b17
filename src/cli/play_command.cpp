#include "cli/play_command.h"

#include <chrono>
#include <optional>
#include <ostream>
#include <string>

#include "app/navigator.h"
#include "app/playback_burst_writer.h"
#include "cli/stop_signals.h"
#include "cli/stream_prompter.h"
#include "cli/track_command_support.h"
#include "comm/serial_link.h"
#include "vserial/virtual_port_paths.h"
#include "vserial/virtual_port_stream.h"

namespace orv::cli {
namespace {

const Command kPlay{"play", kPlaySummary, kPlayUsage, RunPlayCommand};

// Enough for a day at one point per second many times over; only guards against typos.
constexpr long long kMaxSteps = 100'000'000;

struct PlayOptions {
  std::string path;
  PlaybackSettings playback{kPlaybackPlaying, kPlaybackForward, 1};
  long long steps = 0;    // 0: until the cursor stops
  std::string to;         // a port: paced bursts to it instead of standard output
  long long seconds = 0;  // with `to`: 0 runs until the cursor stops or a signal
};

std::string ReadOptions(const Args& args, PlayOptions& options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--reverse") {
      options.playback.direction = kPlaybackReverse;
    } else if (arg == "--pause") {
      options.playback.mode = kPlaybackPaused;
    } else if (arg == "--to" || arg == "--seconds") {
      if (i + 1 == args.size()) return arg + " needs a value";
      const std::string& value = args[++i];
      if (arg == "--to") {
        options.to = value;
      } else if (!ParseIntegerArg(value, 1, kMaxSteps, options.seconds)) {
        return "--seconds must be a whole number from 1 to " + std::to_string(kMaxSteps) + ": '" +
               value + "'";
      }
    } else if (arg == "--zoom" || arg == "--steps") {
      if (i + 1 == args.size()) return arg + " needs a value";
      const std::string& value = args[++i];
      long long number = 0;
      if (arg == "--zoom") {
        if (!ParseIntegerArg(value, 1, 100, number) || !IsSpeedZoom(static_cast<int32_t>(number))) {
          return "--zoom must be one of 1, 3, 5, 10, 20, 30, ..., 100: '" + value + "'";
        }
        options.playback.speedZoom = static_cast<int32_t>(number);
      } else {
        if (!ParseIntegerArg(value, 1, kMaxSteps, number)) {
          return "--steps must be a whole number from 1 to " + std::to_string(kMaxSteps) + ": '" +
                 value + "'";
        }
        options.steps = number;
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "unknown option '" + arg + "'";
    } else if (!options.path.empty()) {
      return "only one FILE may be given";
    } else {
      options.path = arg;
    }
  }
  if (options.path.empty()) return "missing FILE";
  if (options.to.empty() && options.seconds != 0) return "--seconds needs --to";
  if (!options.to.empty() && options.steps != 0) return "--steps and --to exclude each other";
  return "";
}

// Replays to a port through a destination link: one burst per second until
// a stop signal, the time limit, or (without one) the cursor has stayed put
// for a burst.
int PlayToPort(const PlayOptions& options, Navigator& navigator, Io& io) {
  Track& track = navigator.Recorded();
  StreamPrompter prompter(io.err);
  StopSignals signals;
  SerialLink link(navigator, prompter);
  link.SetPortName(options.to);
  // COM0: to COM9: are the program's own virtual ports: feed the registered
  // one as its writer instead of opening its reader's device.
  if (const std::optional<int> index = VirtualPortIndexOf(options.to)) {
    link.SetVirtualPortNumber(*index);
    link.SetVirtualPortOpener([](int port, int& error) -> std::unique_ptr<ByteStream> {
      return VirtualPortStream::Open(port, error);
    });
  }
  link.SetPlaybackTrackId(Navigator::kRecordedId);
  if (!link.StartPlayback()) return kExitFailure;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(options.seconds);
  int32_t cursor = track.Cursor();
  long long burstsAtCursor = link.BurstsWritten();
  for (;;) {
    if (signals.Wait(std::chrono::milliseconds(100)) || link.SendEnded()) break;
    if (options.seconds > 0) {
      if (std::chrono::steady_clock::now() >= end) break;
      continue;
    }
    if (track.Cursor() != cursor) {
      cursor = track.Cursor();
      burstsAtCursor = link.BurstsWritten();
    } else if (link.BurstsWritten() >= burstsAtCursor + 2) {
      break;  // a burst went out from the same point: the end is reached
    }
  }
  const bool failed = link.SendEnded();
  link.Stop();
  io.out << "bursts sent: " << link.BurstsWritten() << "\n";
  return failed ? kExitFailure : kExitOk;
}

}  // namespace

int RunPlayCommand(const Args& args, Io& io) {
  PlayOptions options;
  if (const std::string problem = ReadOptions(args, options); !problem.empty()) {
    return UsageError(kPlay, problem, io);
  }
  Navigator navigator;
  const LoadStatus status = LoadTrackFile(options.path, navigator, io);
  if (status == LoadStatus::kNotOpened) return kExitFailure;

  Track& track = navigator.Recorded();
  track.SetPlayback(options.playback);
  if (options.playback.direction == kPlaybackReverse) track.GoToEnd();
  if (!options.to.empty()) {
    const int played = PlayToPort(options, navigator, io);
    return status == LoadStatus::kLoaded ? played : kExitFailure;
  }

  PlaybackBurstWriter writer;
  std::string burst;
  const bool until_stopped = options.steps == 0;
  for (long long step = 0; until_stopped || step < options.steps; ++step) {
    const int32_t before = track.Cursor();
    writer.WriteBurst(track.NextPlaybackPoint(), burst);
    io.out << burst;
    // Paused, the cursor never moves: one step shows the point.
    if (until_stopped && track.Cursor() == before) break;
  }
  io.out.flush();
  return status == LoadStatus::kLoaded ? kExitOk : kExitFailure;
}

}  // namespace orv::cli
