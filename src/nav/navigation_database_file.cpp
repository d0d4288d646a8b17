#include "nav/navigation_database_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <span>
#include <utility>
#include <vector>

#include "nmea/nmea_sentence.h"
#include "nmea/number_text.h"
#include "nmea/proprietary_lines.h"
#include "nmea/rte_sentence.h"
#include "nmea/wpd_sentence.h"
#include "nmea/wpl_sentence.h"
#include "platform/prompter.h"

namespace orv {
namespace {

// The database holds only sentences shorter than the standard's 82 bytes.
constexpr size_t kLongestWrittenSentence = 81;
// Lines are handed on whole up to this length and left to the sentence
// framing test; anything longer cannot be a sentence and is skipped.
constexpr size_t kLongestReadLine = 256;
constexpr size_t kReadBlockSize = 64 * 1024;
constexpr std::string_view kRouteFileWarnings[] = {
    "Please!,Do NOT change or delete this file!",
    "The file contains the waypoints-",
    "-of a route",
};
constexpr std::string_view kRouteSavedText =
    "The file '%1' was successfully saved. Please! Use the File Explorer to copy or move the "
    "file.";
constexpr std::string_view kRouteSavedCaption = "Information";
constexpr std::string_view kOutOfMemoryText = "Out of memory";

// Closes a descriptor on every path out of a function.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  ~FileDescriptor() { Close(); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  void Reset(int fd) {
    Close();
    fd_ = fd;
  }
  int Get() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }
  int Close() {
    const int result = fd_ >= 0 ? ::close(fd_) : 0;
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// "~" + 12 digits and letters + ".tmp", in the folder of the file it stands in for.
std::string TemporaryPathBeside(const std::string& path) {
  static constexpr std::string_view kCharacters =
      "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  thread_local std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, kCharacters.size() - 1);
  std::string temporary = FolderOf(path);
  if (temporary.back() != '/') temporary.push_back('/');
  temporary.push_back('~');
  for (int i = 0; i < 12; ++i) temporary.push_back(kCharacters[pick(generator)]);
  temporary.append(".tmp");
  return temporary;
}

FileError ErrorOf(std::string_view operation, std::string_view context, int error = errno) {
  return FileError{std::string(operation), error, std::string(context)};
}

std::optional<FileError> WriteAll(int fd, std::string_view data, const std::string& path) {
  while (!data.empty()) {
    const ssize_t written = ::write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return ErrorOf("WriteFile", path);
    }
    data.remove_prefix(static_cast<size_t>(written));
  }
  return std::nullopt;
}

// Creates a new temporary file beside `target` holding `data`, synced to
// the disk, and names it in `created`. A name left behind by an earlier run
// that died is skipped, not overwritten.
std::optional<FileError> WriteTemporaryFile(const std::string& target, std::string_view data,
                                            std::string& created) {
  constexpr int kNameAttempts = 100;
  FileDescriptor fd;
  for (int attempt = 0; attempt < kNameAttempts && !fd.IsOpen(); ++attempt) {
    created = TemporaryPathBeside(target);
    fd.Reset(::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (!fd.IsOpen() && errno != EEXIST) break;
  }
  if (!fd.IsOpen()) return ErrorOf("CreateFile", created);
  std::optional<FileError> error = WriteAll(fd.Get(), data, created);
  if (!error && ::fsync(fd.Get()) != 0) error = ErrorOf("FlushFileBuffers", created);
  if (!error && fd.Close() != 0) error = ErrorOf("CloseHandle", created);
  if (error) ::unlink(created.c_str());
  return error;
}

std::optional<FileError> ReadWholeFile(const std::string& path, std::string& out) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.IsOpen()) return ErrorOf("CreateFile", path);
  std::vector<char> block(kReadBlockSize);
  for (;;) {
    const ssize_t got = ::read(fd.Get(), block.data(), block.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return ErrorOf("ReadFile", path);
    }
    if (got == 0) return std::nullopt;
    out.append(block.data(), static_cast<size_t>(got));
  }
}

std::optional<FileError> ReadLinesFrom(int fd, const std::string& path,
                                       const std::function<bool(std::string_view)>& onLine,
                                       const std::atomic<bool>* stop) {
  std::vector<char> block(kReadBlockSize);
  std::string line;
  bool lineTooLong = false;
  for (;;) {
    const ssize_t got = ::read(fd, block.data(), block.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return ErrorOf("ReadFile", path);
    }
    if (got == 0) break;
    std::string_view rest(block.data(), static_cast<size_t>(got));
    while (!rest.empty()) {
      const size_t end = rest.find('\n');
      const std::string_view piece =
          rest.substr(0, end == std::string_view::npos ? rest.size() : end + 1);
      rest.remove_prefix(piece.size());
      if (!lineTooLong) {
        line.append(piece);
        if (line.size() > kLongestReadLine) {
          lineTooLong = true;
          line.clear();
        }
      }
      if (end == std::string_view::npos) continue;
      if (!lineTooLong) {
        if (stop != nullptr && stop->load()) return std::nullopt;
        if (!onLine(line)) return std::nullopt;
      }
      line.clear();
      lineTooLong = false;
    }
  }
  if (!line.empty() && !lineTooLong && !(stop != nullptr && stop->load())) onLine(line);
  return std::nullopt;
}

// The text of a database or route file: the head lines are written on
// construction, then the records as they are added.
class FileTextWriter {
 public:
  FileTextWriter(std::string& out, std::span<const std::string_view> warnings) : out_(out) {
    out_.append(ProductLine());
    out_.append(MakerLine());
    for (std::string_view text : warnings) {
      if (const std::optional<std::string> line = WarningLine(text)) out_.append(*line);
    }
  }

  void AddWaypoint(const Waypoint& waypoint) {
    wpd_.SetDescription(waypoint.Name(), waypoint.Description());
    if (wpd_.Write(sentence_)) AppendWritableSentence(out_, sentence_.View());
    wpl_.SetWaypoint(waypoint.Position(), waypoint.Name());
    if (wpl_.Write(sentence_)) AppendWritableSentence(out_, sentence_.View());
  }

  void AddRoute(const Route& route) {
    rte_.SetRouteToWrite(route.ToRecord());
    while (rte_.Write(sentence_)) AppendWritableSentence(out_, sentence_.View());
  }

 private:
  std::string& out_;
  WpdSentence wpd_;
  WplSentence wpl_;
  RteSentence rte_;
  NmeaSentence sentence_;
};

std::string InsertPath(std::string_view text, std::string_view path) {
  std::string out(text);
  const size_t at = out.find("%1");
  if (at != std::string::npos) out.replace(at, 2, path);
  return out;
}

}  // namespace

std::string DatabaseFilePath(std::string_view documentsFolder) {
  std::string path(documentsFolder);
  if (path.empty() || path.back() != '/') path.push_back('/');
  path.append(kDatabaseFileName);
  return path;
}

std::string BackupPathOf(std::string_view databasePath) {
  std::string backup(databasePath);
  if (!backup.empty()) backup.back() = '~';
  return backup;
}

bool AppendWritableSentence(std::string& out, std::string_view sentence) {
  if (sentence.size() > kLongestWrittenSentence || sentence.size() < 3) return false;
  if (sentence.front() != '$' || !sentence.ends_with("\r\n")) return false;
  const std::string_view body = sentence.substr(0, sentence.size() - 2);
  if (body.find_first_of("\r\n") != std::string_view::npos) return false;
  out.append(sentence);
  return true;
}

std::string DatabaseFileText(const DatabaseContents& contents) {
  std::string out;
  out.reserve(80 * (7 + 2 * contents.waypoints.size() + 3 * contents.routes.size()));
  FileTextWriter writer(out, kDatabaseWarningTexts);
  for (const Waypoint& waypoint : contents.waypoints) writer.AddWaypoint(waypoint);
  for (const Route& route : contents.routes) writer.AddRoute(route);
  return out;
}

std::string RouteFileText(const NavigationDatabase& database, int routeIndex) {
  const std::optional<Route> route = database.RouteAt(routeIndex);
  if (!route) return {};
  std::string out;
  FileTextWriter writer(out, kRouteFileWarnings);
  for (const std::string& name : route->WaypointNames()) {
    const std::optional<Waypoint> waypoint = database.WaypointAt(database.FindWaypoint(name));
    if (waypoint) writer.AddWaypoint(*waypoint);
  }
  writer.AddRoute(*route);
  return out;
}

void ReportFileError(Prompter* prompter, const FileError& error) {
  if (prompter == nullptr || error.error == 0) return;
  char buffer[256];
  // GNU strerror_r: returns the message, which may or may not be in buffer.
  const char* systemText = ::strerror_r(error.error, buffer, sizeof buffer);
  std::string text = error.operation;
  text.append(" failed\n\nError:(");
  AppendInteger(text, error.error);
  text.append(")\n\n");
  text.append(systemText != nullptr ? systemText : "");
  if (!error.context.empty()) {
    text.append("\nContext:");
    text.append(error.context);
  }
  Prompt prompt;
  prompt.text = std::move(text);
  prompt.caption = kIrreparableErrorCaption;
  prompt.icon = PromptIcon::kStop;
  prompt.buttons = PromptButtons::kOk;
  prompter->Ask(prompt);
}

std::optional<FileError> ReplaceFileContents(const std::string& path, std::string_view contents,
                                             const std::string& backupPath) {
  std::string temporary;
  if (auto error = WriteTemporaryFile(path, contents, temporary)) return error;

  // The backup is swapped in by rename as well, so it too is always whole.
  struct stat current {};
  if (!backupPath.empty() && ::stat(path.c_str(), &current) == 0) {
    std::string backupTemporary;
    std::optional<FileError> error;
    bool linked = false;
    for (int attempt = 0; attempt < 100 && !linked; ++attempt) {
      backupTemporary = TemporaryPathBeside(backupPath);
      linked = ::link(path.c_str(), backupTemporary.c_str()) == 0;
      if (!linked && errno != EEXIST) break;
    }
    if (!linked) {
      // No hard links here (some shared or removable file systems): copy.
      std::string old;
      error = ReadWholeFile(path, old);
      if (!error) error = WriteTemporaryFile(backupPath, old, backupTemporary);
    }
    if (!error && ::rename(backupTemporary.c_str(), backupPath.c_str()) != 0) {
      error = ErrorOf("MoveFile", backupTemporary);
      ::unlink(backupTemporary.c_str());
    }
    if (error) {
      ::unlink(temporary.c_str());
      return error;
    }
  }

  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    FileError error = ErrorOf("MoveFile", temporary);
    ::unlink(temporary.c_str());
    return error;
  }
  const std::string folder = FolderOf(path);
  FileDescriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folderFd.IsOpen() || ::fsync(folderFd.Get()) != 0) {
    return ErrorOf("FlushFileBuffers", folder);
  }
  return std::nullopt;
}

std::optional<FileError> ReadFileLines(const std::string& path,
                                       const std::function<bool(std::string_view)>& onLine,
                                       const std::atomic<bool>* stop) {
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.IsOpen()) return ErrorOf("CreateFile", path);
  return ReadLinesFrom(fd.Get(), path, onLine, stop);
}

// --- NavigationDatabaseFile --------------------------------------------------------

NavigationDatabaseFile::NavigationDatabaseFile(NavigationDatabase& database, Prompter* prompter)
    : database_(database), prompter_(prompter) {}

NavigationDatabaseFile::~NavigationDatabaseFile() {
  StopLoading();
  WaitForSave();
}

bool NavigationDatabaseFile::StartLoading(std::string_view documentsFolder, LineHandler handler) {
  if (loading_.load() || saving_.load()) return false;
  if (loader_.joinable()) loader_.join();
  path_ = DatabaseFilePath(documentsFolder);
  // The file always exists once the program has started.
  FileDescriptor probe(::open(path_.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644));
  if (!probe.IsOpen()) {
    ReportFileError(prompter_, ErrorOf("CreateFile", path_));
    return false;
  }
  probe.Close();
  database_.SetDatabasePath(path_);
  // Reading the database is no import: it must open no list.
  database_.ResetImportResult();
  if (!handler) {
    handler = [this](std::string_view line) {
      database_.TakeSentence(line, path_);
      return LineVerdict::kGoOn;
    };
  }
  stopLoading_ = false;
  loadComplete_ = false;
  loading_ = true;
  loader_ =
      std::thread([this, handler = std::move(handler)]() mutable { Load(std::move(handler)); });
  return true;
}

void NavigationDatabaseFile::Load(LineHandler handler) {
  bool outOfMemory = false;
  bool stopped = false;
  const std::optional<FileError> error = ReadFileLines(
      path_,
      [&](std::string_view line) {
        if (stopLoading_.load()) {
          stopped = true;
          return false;
        }
        if (handler(line) == LineVerdict::kOutOfMemory) {
          outOfMemory = true;
          return false;
        }
        return true;
      },
      &stopLoading_);
  if (stopLoading_.load()) stopped = true;
  if (error && !stopped) ReportFileError(prompter_, *error);
  if (outOfMemory && prompter_ != nullptr) {
    Prompt prompt;
    prompt.text = kOutOfMemoryText;
    prompt.caption = kIrreparableErrorCaption;
    prompt.icon = PromptIcon::kStop;
    prompt.buttons = PromptButtons::kOk;
    prompter_->Ask(prompt);
  }
  database_.RestoreLastUsed();
  database_.ResetImportResult();
  loadComplete_ = !error && !outOfMemory && !stopped;
  loading_ = false;
}

void NavigationDatabaseFile::StopLoading() {
  stopLoading_ = true;
  if (loader_.joinable()) loader_.join();
}

void NavigationDatabaseFile::WaitForLoad() {
  if (loader_.joinable()) loader_.join();
}

bool NavigationDatabaseFile::CanSaveNow() const {
  return !database_.IsSaved() && !path_.empty() && loadComplete_.load() && !loading_.load() &&
         !saving_.load();
}

bool NavigationDatabaseFile::StartSaveNow() {
  if (!CanSaveNow()) return false;
  if (saver_.joinable()) saver_.join();
  saving_ = true;
  saver_ = std::thread([this] {
    Save();
    saving_ = false;
  });
  return true;
}

void NavigationDatabaseFile::WaitForSave() {
  if (saver_.joinable()) saver_.join();
}

bool NavigationDatabaseFile::SaveAtExit() {
  StopLoading();
  WaitForSave();
  if (path_.empty() || !loadComplete_.load() || database_.IsSaved()) return true;
  return Save();
}

bool NavigationDatabaseFile::Save() {
  if (path_.empty() || !loadComplete_.load()) return false;
  std::lock_guard lock(saveMutex_);
  const DatabaseContents contents = database_.Contents();
  const std::string text = DatabaseFileText(contents);
  if (const auto error = ReplaceFileContents(path_, text, BackupPathOf(path_))) {
    ReportFileError(prompter_, *error);
    return false;
  }
  database_.MarkSavedIfUnchanged(contents.changeCount);
  return true;
}

bool NavigationDatabaseFile::ExportRoute(int routeIndex, const std::string& path) {
  const std::string text = RouteFileText(database_, routeIndex);
  if (text.empty()) return false;
  FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  std::optional<FileError> error;
  if (!fd.IsOpen()) {
    error = ErrorOf("CreateFile", path);
  } else if ((error = WriteAll(fd.Get(), text, path))) {
  } else if (::fsync(fd.Get()) != 0 || fd.Close() != 0) {
    error = ErrorOf("WriteFile", path);
  }
  if (error) {
    ReportFileError(prompter_, *error);
    return false;
  }
  if (prompter_ != nullptr) {
    Prompt prompt;
    prompt.text = InsertPath(kRouteSavedText, path);
    prompt.caption = kRouteSavedCaption;
    prompt.icon = PromptIcon::kInformation;
    prompt.buttons = PromptButtons::kOk;
    prompter_->Ask(prompt);
  }
  return true;
}

}  // namespace orv
