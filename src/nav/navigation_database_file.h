#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "nav/navigation_database.h"

namespace orv {

class Prompter;

inline constexpr std::string_view kDatabaseFileName = "NaviStor7.ovr";
inline constexpr std::string_view kDatabaseBackupFileName = "NaviStor7.ov~";

// "<documents folder>/NaviStor7.ovr"; a "/" is added unless the folder ends in one.
std::string DatabaseFilePath(std::string_view documentsFolder);
// The path with its last character replaced by "~".
std::string BackupPathOf(std::string_view databasePath);

// The whole database file: the seven head lines, then WPD and WPL of every
// waypoint, then the RTE sentences of every route.
std::string DatabaseFileText(const DatabaseContents& contents);
// A route saved on its own: its head lines, WPD and WPL of each of its
// waypoints in route order (missing names skipped, repeated ones repeated),
// then its RTE sentences. Empty when the route does not exist.
std::string RouteFileText(const NavigationDatabase& database, int routeIndex);
// Appends a generated sentence only if a reader can take it back: "$" first,
// CR LF last, no other line break, at most 81 characters. False otherwise.
bool AppendWritableSentence(std::string& out, std::string_view sentence);

// A failed file operation: the name of the call, errno and the path.
struct FileError {
  std::string operation;
  int error = 0;
  std::string context;
};

// The system-error report: "%s failed\n\nError:(%d)\n\n%s\nContext:%s" with
// the stop icon and the caption "Irreparable Error".
void ReportFileError(Prompter* prompter, const FileError& error);

// Replaces the file at `path` by `contents` so that whatever moment the
// process dies at, `path` holds either its old or its new content in full:
// the new content goes to a temporary file in the same folder and is synced;
// the old file is kept as `backupPath` (hard link, or a synced copy where
// links are not possible); then the temporary file is renamed over `path`
// and the folder is synced. An empty backupPath keeps no backup.
std::optional<FileError> ReplaceFileContents(const std::string& path, std::string_view contents,
                                             const std::string& backupPath);

// Reads a text file line by line, handing each line (with its CR LF) to
// onLine until it returns false or `stop` becomes true. Lines far longer
// than any sentence are skipped.
std::optional<FileError> ReadFileLines(const std::string& path,
                                       const std::function<bool(std::string_view)>& onLine,
                                       const std::atomic<bool>* stop = nullptr);

// Loading and saving the database file on worker threads.
class NavigationDatabaseFile {
 public:
  enum class LineVerdict { kGoOn, kOutOfMemory };
  // Where each loaded line goes; the default hands it to the database with
  // the file path as its source. The application passes every line through
  // the Navigator instead, which also feeds the track engine.
  using LineHandler = std::function<LineVerdict(std::string_view line)>;

  NavigationDatabaseFile(NavigationDatabase& database, Prompter* prompter);
  ~NavigationDatabaseFile();
  NavigationDatabaseFile(const NavigationDatabaseFile&) = delete;
  NavigationDatabaseFile& operator=(const NavigationDatabaseFile&) = delete;

  // Opens (creating it empty when missing) "NaviStor7.ovr" in the documents
  // folder and reads it on a worker thread. False when the file cannot be
  // opened (reported) or a load is already running.
  bool StartLoading(std::string_view documentsFolder, LineHandler handler = {});
  // Asks the loader to stop after the current line and waits for it.
  void StopLoading();
  void WaitForLoad();
  bool IsLoading() const { return loading_.load(); }
  // True once a load has read the whole file; a database read only in part
  // is never written back over the full file.
  bool IsLoadComplete() const { return loadComplete_.load(); }

  const std::string& Path() const { return path_; }

  // "Save Changes Now" is offered while there are unsaved changes, the file
  // is known and neither the loader nor an earlier save is busy.
  bool CanSaveNow() const;
  bool StartSaveNow();
  void WaitForSave();
  bool IsSaving() const { return saving_.load(); }
  // At exit, after the workers: writes when there are unsaved changes.
  bool SaveAtExit();
  // Writes the database now on the calling thread; true on success.
  bool Save();

  // Save (NMEA): writes the single-route file and confirms it.
  bool ExportRoute(int routeIndex, const std::string& path);

 private:
  void Load(LineHandler handler);

  NavigationDatabase& database_;
  Prompter* prompter_;
  std::string path_;
  std::mutex saveMutex_;  // one writer of the file at a time
  std::thread loader_;
  std::thread saver_;
  std::atomic<bool> loading_{false};
  std::atomic<bool> loadComplete_{false};
  std::atomic<bool> stopLoading_{false};
  std::atomic<bool> saving_{false};
};

}  // namespace orv
