#include "exchange/kml_track_save.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "exchange/kmz_archive.h"
#include "nav/navigation_database_file.h"
#include "platform/prompter.h"

namespace orv {
namespace {

std::string Insert(std::string_view pattern, std::string_view value) {
  std::string text(pattern);
  const size_t at = text.find("%1");
  if (at != std::string::npos) text.replace(at, 2, value);
  return text;
}

std::string_view FileNameOf(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Creates or truncates the file for writing while keeping other writers out.
int OpenForWriting(const std::string& path, Prompter& prompter) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ftruncate(fd, 0) != 0) {
    const int error = errno;
    if (fd >= 0) ::close(fd);
    ReportFileError(&prompter, {"CreateFile", error, path});
    return -1;
  }
  return fd;
}

TrackSaveOutcome WriteDocument(const Track& track, const std::string& path,
                               const KmlTrackOptions& options, Prompter& prompter) {
  const int fd = OpenForWriting(path, prompter);
  if (fd < 0) return TrackSaveOutcome::kFileFailed;
  const bool written =
      KmlTrackWriter(options).Write(track, fd, std::string(FileNameOf(path)), &prompter);
  const bool closed = ::close(fd) == 0;
  if (written && closed) return TrackSaveOutcome::kSaved;
  prompter.Ask({Insert(kKmlWriteFailedText, path), kIrreparableErrorCaption, PromptIcon::kStop,
                PromptButtons::kOk, 0});
  return TrackSaveOutcome::kWriterFailed;
}

// A folder only this process uses, removed with the object.
class PrivateTempFolder {
 public:
  PrivateTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvelle-kmz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~PrivateTempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  PrivateTempFolder(const PrivateTempFolder&) = delete;
  PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

TrackSaveFormat SaveFormatOfPath(std::string_view path) {
  const std::string_view name = FileNameOf(path);
  const size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos) return TrackSaveFormat::kKml;
  std::string extension(name.substr(dot + 1));
  for (char& c : extension) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return extension == "KMZ" ? TrackSaveFormat::kKmz : TrackSaveFormat::kKml;
}

std::string ProposedSaveName(std::string_view trackFilePath) {
  std::string_view name = FileNameOf(trackFilePath);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return std::string(name);
}

TrackSaveOutcome SaveTrackAs(const Track& track, const std::string& path, TrackSaveFormat format,
                             const KmlTrackOptions& options, Prompter& prompter, bool confirm) {
  TrackSaveOutcome outcome = TrackSaveOutcome::kSaved;
  if (format == TrackSaveFormat::kKml) {
    outcome = WriteDocument(track, path, options, prompter);
  } else {
    // Private, so that no other file of the temporary folder is overwritten
    // and two saves of the same name do not meet.
    PrivateTempFolder folder;
    if (folder.Path().empty()) {
      ReportFileError(&prompter, {"CreateFile", errno, path});
      return TrackSaveOutcome::kFileFailed;
    }
    const std::string kmlPath = folder.Path() + "/" + ProposedSaveName(path) + ".kml";
    outcome = WriteDocument(track, kmlPath, options, prompter);
    if (outcome == TrackSaveOutcome::kSaved && !WriteKmzArchiveFromFile(path, kmlPath)) {
      outcome = TrackSaveOutcome::kArchiveFailed;
    }
  }
  if (outcome == TrackSaveOutcome::kSaved && confirm) {
    prompter.Ask({Insert(kSaveConfirmationText, path), std::string(kSaveConfirmationCaption),
                  PromptIcon::kInformation, PromptButtons::kOk, 0});
  }
  return outcome;
}

}  // namespace orv
