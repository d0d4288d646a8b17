#include "app/recording_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>

#include "nmea/proprietary_lines.h"
#include "platform/prompter.h"

namespace orv {
namespace {

// Indexed by tm_wday (0 = Sunday).
constexpr std::array<std::string_view, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed",
                                                       "Thu", "Fr",  "Sat"};

void AppendNumber(std::string& out, int value, int width) {
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  const auto length = static_cast<int>(result.ptr - digits);
  if (value >= 0 && length < width) out.append(static_cast<size_t>(width - length), '0');
  out.append(digits, result.ptr);
}

std::string WithPath(std::string_view pattern, std::string_view path) {
  std::string text(pattern);
  if (const size_t at = text.find("%1"); at != std::string::npos) text.replace(at, 2, path);
  return text;
}

}  // namespace

std::string RecordingFileName(const std::tm& localTime) {
  std::string name;
  AppendNumber(name, localTime.tm_year + 1900, 2);
  for (const int part : {localTime.tm_mon + 1, localTime.tm_mday, localTime.tm_hour,
                         localTime.tm_min, localTime.tm_sec}) {
    name += '_';
    AppendNumber(name, part, 2);
  }
  name += '_';
  if (localTime.tm_wday >= 0 && localTime.tm_wday < 7) name += kWeekdays[localTime.tm_wday];
  name += ".txt";
  return name;
}

RecordingFile::~RecordingFile() {
  CloseDescriptor();
}

int RecordingFile::Create(const std::string& path) {
  CloseDescriptor();
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return errno;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    close(fd);
    return error;
  }
  fd_ = fd;
  path_ = path;
  movement_.store(0);
  lastSync_ = std::chrono::steady_clock::now();
  return 0;
}

void RecordingFile::WriteHead(std::string_view sourceName) {
  Write(ProductLine(), false);
  Write(MakerLine(), false);
  // A source name too long for the line leaves the line out.
  if (const std::optional<std::string> line = SourceLine(sourceName)) Write(*line, false);
}

void RecordingFile::Write(std::string_view text, bool movement) {
  if (fd_ < 0 || text.empty()) return;
  while (!text.empty()) {
    const ssize_t written = write(fd_, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      break;
    }
    text.remove_prefix(static_cast<size_t>(written));
  }
  if (movement) movement_.store(1);
  const auto now = std::chrono::steady_clock::now();
  if (now - lastSync_ >= kSyncInterval) {
    fdatasync(fd_);
    lastSync_ = now;
  }
}

void RecordingFile::CloseDescriptor() {
  if (fd_ < 0) return;
  fdatasync(fd_);
  close(fd_);
  fd_ = -1;
}

void RecordingFile::Discard() {
  if (fd_ < 0) return;
  CloseDescriptor();
  unlink(path_.c_str());
  path_.clear();
}

std::string RecordingFile::Close(Prompter& prompter) {
  if (fd_ < 0) return {};
  CloseDescriptor();
  std::string path = std::move(path_);
  path_.clear();
  if (!HasMovement()) {
    unlink(path.c_str());
    prompter.Ask(Prompt{std::string(kNoMovementText), kIrreparableErrorCaption, PromptIcon::kStop,
                        PromptButtons::kOk, 0});
    return {};
  }
  const PromptAnswer answer =
      prompter.Ask(Prompt{WithPath(kKeepTrackQuestion, path), std::string(kQuestionCaption),
                          PromptIcon::kQuestion, PromptButtons::kYesNo, 0});
  if (answer == PromptAnswer::kYes) return path;
  unlink(path.c_str());
  return {};
}

}  // namespace orv
