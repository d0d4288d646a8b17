#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/recording_file.h"

namespace orv {

class Navigator;
class Prompter;
class Track;

inline constexpr std::string_view kRecordingTrackName = "Track Recording";
inline constexpr std::string_view kDocumentsFolderFailedText =
    "SHGetSpecialFolderPath failed at %1";
inline constexpr std::string_view kDocumentsFolderName = "CSIDL_PERSONAL";
inline constexpr std::string_view kRecordingFileOpenFailedText = "%1 file open failed";

// What a source does with the receiver's sentences while it records: each
// complete line is offered to the navigation database first, written to the
// track file when the database does not take it, and then given to the live
// Recording track. The receiving thread is the only caller of HandleLine.
class TrackRecorder {
 public:
  using FolderFinder = std::function<std::optional<std::string>()>;
  using LocalClock = std::function<std::tm()>;

  TrackRecorder(Navigator& navigator, Prompter& prompter);
  TrackRecorder(const TrackRecorder&) = delete;
  TrackRecorder& operator=(const TrackRecorder&) = delete;

  // Where recordings go; the user's documents folder unless set.
  void SetFolderFinder(FolderFinder finder) { folderFinder_ = std::move(finder); }
  // The local time that names the file; the system clock unless set.
  void SetLocalClock(LocalClock clock) { localClock_ = std::move(clock); }
  // The track the receiver's lines build: the navigator's Recording track
  // unless set. A seam for tests that need a track whose store fails.
  void SetLiveTrack(Track& track) { liveTrack_ = &track; }

  // Creates the track file in the folder and makes it the Recording track's
  // file. False after the failure has been shown; nothing is recording then.
  bool Begin();
  bool IsRecording() const { return file_.IsOpen(); }
  const std::string& Path() const { return file_.Path(); }
  bool HasMovement() const { return file_.HasMovement(); }

  // The head lines, once, when the receiving thread starts.
  void WriteHead(std::string_view sourceName);
  // One complete line from the receiver. Without a file only the Recording
  // track sees it. False when the track ran out of memory: "Out of memory"
  // has been shown and the receiving thread must end.
  bool HandleLine(std::string_view line, std::string_view sourceName);

  // Writes text to the track file while one is open.
  void WriteToFile(std::string_view text, bool movement) { file_.Write(text, movement); }

  // Closes the file with the keep question (RecordingFile::Close); returns
  // the kept path or empty.
  std::string End();
  // Deletes the file silently, for a start that failed after Begin.
  void Discard() { file_.Discard(); }

  // After a recording: the live track is emptied and takes the program's
  // title again.
  void ResetRecordingTrack();

 private:
  void ShowError(std::string text);

  Navigator& navigator_;
  Prompter& prompter_;
  FolderFinder folderFinder_;
  LocalClock localClock_;
  Track* liveTrack_;
  RecordingFile file_;
};

}  // namespace orv
