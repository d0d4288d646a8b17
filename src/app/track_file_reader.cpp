#include "app/track_file_reader.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <system_error>

#include "app/line_reader.h"
#include "app/navigator.h"
#include "platform/prompter.h"

namespace orv {
namespace {

// Nice value of the reader thread: below the screen's, so loading never makes it stutter.
constexpr int kReaderThreadNice = 5;

std::string WithPath(std::string_view pattern, std::string_view path) {
  const size_t at = pattern.find("%1");
  if (at == std::string_view::npos) return std::string(pattern);
  std::string text(pattern.substr(0, at));
  text += path;
  text += pattern.substr(at + 2);
  return text;
}

}  // namespace

TrackFileReader::TrackFileReader(Navigator& navigator, Prompter& prompter)
    : navigator_(navigator), prompter_(prompter) {}

TrackFileReader::~TrackFileReader() {
  Close();
}

void TrackFileReader::Report(std::string text) {
  prompter_.Ask(
      Prompt{std::move(text), kIrreparableErrorCaption, PromptIcon::kStop, PromptButtons::kOk, 0});
}

void TrackFileReader::Close() {
  stop_.store(true);
  if (thread_.joinable()) thread_.join();
  stop_.store(false);
}

void TrackFileReader::Wait() {
  if (thread_.joinable()) thread_.join();
}

TrackLoadOutcome TrackFileReader::LastOutcome() const {
  std::lock_guard lock(outcomeMutex_);
  return outcome_;
}

int TrackFileReader::Open(const std::string& path) {
  Close();
  navigator_.Clear(Navigator::kRecordedId);
  navigator_.ResetImportState();
  {
    std::lock_guard lock(outcomeMutex_);
    outcome_ = TrackLoadOutcome();
  }
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat status {};
  // A folder opens on Linux but is no track file.
  if (fd >= 0 && (::fstat(fd, &status) != 0 || S_ISDIR(status.st_mode))) {
    ::close(fd);
    fd = -1;
  }
  if (fd < 0) {
    Report(WithPath(kFileOpenFailedText, path));
    return -1;
  }
  path_ = path;
  Track& recorded = navigator_.Recorded();
  recorded.SetFilePath(path);
  // Named before the lines are read, so that a load that finds no point can rename it
  // back without racing the caller.
  recorded.SetName(path);
  return fd;
}

bool TrackFileReader::Start(const std::string& path) {
  const int fd = Open(path);
  if (fd < 0) return false;
  busy_.store(true);
  try {
    thread_ = std::thread(&TrackFileReader::ReadOnThread, this, fd);
  } catch (const std::system_error&) {
    busy_.store(false);
    ::close(fd);
    Track& recorded = navigator_.Recorded();
    recorded.SetName(kProgramTitle);
    recorded.SetFilePath({});
    Report(std::string(kFileReaderThreadFailedText));
    return false;
  }
  return true;
}

bool TrackFileReader::LoadNow(const std::string& path) {
  const int fd = Open(path);
  if (fd < 0) return false;
  ReadLines(fd);
  return true;
}

void TrackFileReader::ReadOnThread(int fd) {
  // Failing to lower the priority only makes the load compete with the screen.
  (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kReaderThreadNice);
  ReadLines(fd);
  busy_.store(false);
}

void TrackFileReader::ReadLines(int fd) {
  TrackLoadOutcome outcome;
  try {
    LineReader reader(fd);
    std::string_view line;
    int outOfMemory = 0;
    int unused = 0;
    while (!stop_.load(std::memory_order_relaxed) && reader.Next(line)) {
      navigator_.ProcessSentence(Navigator::kNavigationId, line, unused, path_);
      navigator_.ProcessSentence(Navigator::kRecordedId, line, outOfMemory);
      if (outOfMemory != 0) {
        outcome.outOfMemory = true;
        break;
      }
    }
    outcome.readFailed = reader.ReadFailed();
  } catch (const std::bad_alloc&) {
    outcome.outOfMemory = true;
  }
  ::close(fd);
  outcome.stopped = stop_.load();
  if (outcome.outOfMemory) Report(std::string(kOutOfMemoryText));

  Track& recorded = navigator_.Recorded();
  if (recorded.Cursor() == -1) recorded.SetName(kProgramTitle);
  outcome.points = recorded.PointCount();
  outcome.importState = navigator_.ImportState();
  {
    std::lock_guard lock(outcomeMutex_);
    outcome_ = outcome;
  }
  if (finishedHandler_) finishedHandler_(outcome);
}

}  // namespace orv
