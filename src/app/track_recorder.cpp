#include "app/track_recorder.h"

#include "app/navigator.h"
#include "app/track.h"
#include "platform/documents_folder.h"
#include "platform/prompter.h"

namespace orv {
namespace {

std::string WithInsertion(std::string_view pattern, std::string_view insertion) {
  std::string text(pattern);
  if (const size_t at = text.find("%1"); at != std::string::npos) text.replace(at, 2, insertion);
  return text;
}

std::tm SystemLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

}  // namespace

TrackRecorder::TrackRecorder(Navigator& navigator, Prompter& prompter)
    : navigator_(navigator),
      prompter_(prompter),
      folderFinder_([] { return FindDocumentsFolder(); }),
      localClock_(SystemLocalTime),
      liveTrack_(&navigator.Recording()) {}

void TrackRecorder::ShowError(std::string text) {
  prompter_.Ask(
      Prompt{std::move(text), kIrreparableErrorCaption, PromptIcon::kStop, PromptButtons::kOk, 0});
}

bool TrackRecorder::Begin() {
  const std::optional<std::string> folder = folderFinder_();
  if (!folder) {
    ShowError(WithInsertion(kDocumentsFolderFailedText, kDocumentsFolderName));
    return false;
  }
  const std::string path = JoinPath(*folder, RecordingFileName(localClock_()));
  if (file_.Create(path) != 0) {
    ShowError(WithInsertion(kRecordingFileOpenFailedText, path));
    return false;
  }
  liveTrack_->SetFilePath(path);
  liveTrack_->SetName(kRecordingTrackName);
  return true;
}

void TrackRecorder::WriteHead(std::string_view sourceName) {
  file_.WriteHead(sourceName);
}

bool TrackRecorder::HandleLine(std::string_view line, std::string_view sourceName) {
  int outOfMemory = 0;
  if (file_.IsOpen()) {
    if (navigator_.ProcessSentence(Navigator::kNavigationId, line, outOfMemory, sourceName) == 0) {
      file_.Write(line, true);
    }
  }
  liveTrack_->ProcessSentence(line, outOfMemory);
  if (outOfMemory != 0) {
    ShowError(std::string(kOutOfMemoryText));
    return false;
  }
  return true;
}

std::string TrackRecorder::End() {
  return file_.Close(prompter_);
}

void TrackRecorder::ResetRecordingTrack() {
  liveTrack_->Clear();
  liveTrack_->SetName(kProgramTitle);
  liveTrack_->SetFilePath({});
}

}  // namespace orv
