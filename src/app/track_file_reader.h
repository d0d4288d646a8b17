#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace orv {

class Navigator;
class Prompter;

inline constexpr std::string_view kFileOpenFailedText = "%1 file open failed";
inline constexpr std::string_view kFileReaderThreadFailedText =
    "AfxBeginThread failed for file communication";

// How a load ended.
struct TrackLoadOutcome {
  int32_t points = 0;        // points stored in Recorded
  bool outOfMemory = false;  // a point could not be stored; the load ended there
  bool stopped = false;      // Close() ended it early
  bool readFailed = false;   // read(2) failed; the lines before it were loaded
  // The navigation database's import state at the end of the load (0 to 4); it
  // was reset when the load started.
  int importState = 0;

  // The lists the main window opens after the load: waypoints for 1 or 2,
  // routes for 3 or 4.
  bool OpensWaypointList() const { return importState == 1 || importState == 2; }
  bool OpensRouteList() const { return importState == 3 || importState == 4; }
};

// Loads an NMEA track file into the Recorded track. Every line goes first to the
// navigation database (track id 3, which takes waypoints and routes found in track files,
// naming the file as their source), then to Recorded (track id 1): the same processing as
// live data. The track's name is the file path, or the program title again when the file
// held no point.
//
// Start() reads on a thread of its own at below-normal priority, so that a day-long file
// does not slow the screen; LoadNow() runs the same code on the calling thread. Messages
// go through the prompter ("Irreparable Error", stop icon).
class TrackFileReader {
 public:
  using FinishedHandler = std::function<void(const TrackLoadOutcome&)>;

  TrackFileReader(Navigator& navigator, Prompter& prompter);
  // Stops a running load and waits for its thread.
  ~TrackFileReader();

  TrackFileReader(const TrackFileReader&) = delete;
  TrackFileReader& operator=(const TrackFileReader&) = delete;

  // Closes a busy reader, clears Recorded, opens the file and starts the reader thread.
  // False when the file cannot be opened or the thread cannot start; the message has been
  // shown and nothing else happened.
  bool Start(const std::string& path);
  // The same load on the calling thread; false when the file cannot be opened.
  bool LoadNow(const std::string& path);

  // True from a successful Start() until its thread has finished.
  bool IsBusy() const { return busy_.load(); }
  // Tells a running load to stop after its current line and waits for the thread.
  void Close();
  // Waits for a running load to reach the end of its file.
  void Wait();

  // Called when a load has ended (on the reader thread for Start()), e.g. to redraw and
  // to switch the keep-awake timer off. Set it while no load is running.
  void SetFinishedHandler(FinishedHandler handler) { finishedHandler_ = std::move(handler); }

  // The file of the last load; its outcome, valid once that load has ended.
  const std::string& Path() const { return path_; }
  TrackLoadOutcome LastOutcome() const;

 private:
  // Clears Recorded and opens the file; -1 after reporting a failure.
  int Open(const std::string& path);
  // Reads every line of `fd` into the Navigator, then closes `fd`.
  void ReadLines(int fd);
  void ReadOnThread(int fd);
  void Report(std::string text);

  Navigator& navigator_;
  Prompter& prompter_;
  FinishedHandler finishedHandler_;
  std::string path_;
  std::thread thread_;
  std::atomic<bool> busy_{false};
  std::atomic<bool> stop_{false};
  mutable std::mutex outcomeMutex_;
  TrackLoadOutcome outcome_;
};

}  // namespace orv
