#pragma once

#include <atomic>
#include <chrono>
#include <ctime>
#include <string>
#include <string_view>

namespace orv {

class Prompter;

inline constexpr std::string_view kNoMovementText =
    "No movement sentences have been recorded from receiver";
inline constexpr std::string_view kKeepTrackQuestion =
    "Do You want to save the currently-recorded Track '%1'";
inline constexpr std::string_view kQuestionCaption = "Question";

// "2010_02_21_13_35_06_Sun.txt" for the given local time; Friday is "Fr".
std::string RecordingFileName(const std::tm& localTime);

// The track file a recording writes: the receiver's sentences as received.
// Each write goes to the kernel at once, and the data is flushed to the
// disk every few seconds, so a crash of the program loses nothing that was
// written and a crash of the machine at most the last seconds.
class RecordingFile {
 public:
  // How long written data may wait before it is flushed to the disk.
  static constexpr std::chrono::seconds kSyncInterval{2};

  RecordingFile() = default;
  // Closes the file without asking; it stays on disk.
  ~RecordingFile();
  RecordingFile(const RecordingFile&) = delete;
  RecordingFile& operator=(const RecordingFile&) = delete;

  // Opens the file for writing, created when missing and not truncated (a
  // second recording in the same second appends), other writers refused.
  // Returns 0 or the errno of the failure.
  int Create(const std::string& path);
  bool IsOpen() const { return fd_ >= 0; }
  const std::string& Path() const { return path_; }

  // The three head lines: product, maker, and the source's name.
  void WriteHead(std::string_view sourceName);
  // Writes the text in one call when the file is open and the text is not
  // empty; `movement` marks a receiver sentence. A failed write is ignored:
  // the recording goes on with what the disk takes.
  void Write(std::string_view text, bool movement);
  bool HasMovement() const { return movement_.load() != 0; }

  // Closes the file. Without movement it is deleted with the "No movement"
  // message; otherwise the user is asked whether to keep it, and a No
  // deletes it. Returns the kept path, or empty.
  std::string Close(Prompter& prompter);
  // Closes and deletes the file without a word, for a start that failed.
  void Discard();

 private:
  void CloseDescriptor();

  int fd_ = -1;
  std::string path_;
  std::atomic<int> movement_{0};
  std::chrono::steady_clock::time_point lastSync_{};
};

}  // namespace orv
