#include "cli/record_command.h"

#include <chrono>
#include <istream>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>

#include "app/navigator.h"
#include "app/recording_file.h"
#include "cli/stats_command.h"
#include "cli/stop_signals.h"
#include "cli/stream_prompter.h"
#include "cli/track_command_support.h"
#include "comm/serial_link.h"

namespace orv::cli {
namespace {

const Command kRecord{"record", kRecordSummary, kRecordUsage, RunRecordCommand};

// A day of recording is plenty for a bounded run; this only guards typos.
constexpr long long kMaxSeconds = 10LL * 365 * 24 * 3600;

struct RecordOptions {
  std::string port;
  std::optional<std::string> folder;
  std::optional<bool> keep;
  long long seconds = 0;  // 0: until a signal
};

std::string ReadOptions(const Args& args, RecordOptions& options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--keep" || arg == "--no-keep") {
      if (options.keep && *options.keep != (arg == "--keep")) {
        return "--keep and --no-keep exclude each other";
      }
      options.keep = arg == "--keep";
    } else if (arg == "-o" || arg == "--seconds") {
      if (i + 1 == args.size()) return arg + " needs a value";
      const std::string& value = args[++i];
      if (arg == "-o") {
        options.folder = value;
      } else if (!ParseIntegerArg(value, 1, kMaxSeconds, options.seconds)) {
        return "--seconds must be a whole number from 1 to " + std::to_string(kMaxSeconds) + ": '" +
               value + "'";
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "unknown option '" + arg + "'";
    } else if (!options.port.empty()) {
      return "only one PORT may be given";
    } else {
      options.port = arg;
    }
  }
  return options.port.empty() ? "missing PORT" : "";
}

// Messages go to standard error; the keep question is answered by the
// flags or on standard input.
class RecordPrompter : public Prompter {
 public:
  RecordPrompter(Io& io, std::optional<bool> keep) : io_(io), stream_(io.err), keep_(keep) {}

  PromptAnswer Ask(const Prompt& prompt) override {
    if (prompt.buttons != PromptButtons::kYesNo) return stream_.Ask(prompt);
    std::lock_guard lock(mutex_);
    if (keep_) return *keep_ ? PromptAnswer::kYes : PromptAnswer::kNo;
    io_.err << prompt.text << "? [Y/n] " << std::flush;
    std::string answer;
    if (!std::getline(io_.in, answer) || answer.empty()) return PromptAnswer::kYes;
    return answer[0] == 'n' || answer[0] == 'N' ? PromptAnswer::kNo : PromptAnswer::kYes;
  }

 private:
  std::mutex mutex_;
  Io& io_;
  StreamPrompter stream_;
  std::optional<bool> keep_;
};

}  // namespace

int RunRecordCommand(const Args& args, Io& io) {
  RecordOptions options;
  if (const std::string problem = ReadOptions(args, options); !problem.empty()) {
    return UsageError(kRecord, problem, io);
  }
  Navigator navigator;
  RecordPrompter prompter(io, options.keep);
  std::string kept;
  int32_t points = 0;
  {
    StopSignals signals;
    SerialLink link(navigator, prompter);
    link.SetPortName(options.port);
    if (options.folder) {
      link.Recorder().SetFolderFinder([folder = *options.folder] { return std::optional(folder); });
    }
    if (!link.StartRecording()) return kExitFailure;
    io.err << "recording from " << options.port << " into " << link.Recorder().Path()
           << " (Ctrl-C stops)" << std::endl;

    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(options.seconds);
    for (;;) {
      if (signals.Wait(std::chrono::milliseconds(200))) break;
      if (link.ReceiveEnded()) break;
      if (options.seconds > 0 && std::chrono::steady_clock::now() >= end) break;
    }
    kept = link.Stop();
    points = navigator.Recording().PointCount();
    link.Recorder().ResetRecordingTrack();
  }
  io.out << "points recorded: " << points << "\n";
  if (kept.empty()) {
    io.out << "track file: not kept\n";
    return kExitOk;
  }
  io.out << "track file: " << kept << "\n";
  // The kept file opens as the recorded track, as after "Record from".
  return RunStatsCommand({kept}, io);
}

}  // namespace orv::cli
