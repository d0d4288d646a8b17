#include "comm/comm_link.h"

#include <system_error>

#include "platform/prompter.h"

namespace orv {

CommLink::CommLink(Navigator& navigator, Prompter& prompter)
    : navigator_(navigator),
      prompter_(prompter),
      recorder_(navigator, prompter),
      playback_(navigator, sendRun_),
      launcher_([](std::thread& thread, std::function<void()> body) {
        try {
          thread = std::thread(std::move(body));
          return true;
        } catch (const std::system_error&) {
          return false;
        }
      }) {}

CommLink::~CommLink() {
  // An owner that forgot to stop must not leave threads on a dead object;
  // the track file stays on disk without a question.
  receiveRun_.Clear();
  sendRun_.Clear();
  if (stream_) {
    stream_->WakeReader();
    stream_->WakeWriter();
  }
  if (receiveThread_.joinable()) receiveThread_.join();
  if (sendThread_.joinable()) sendThread_.join();
}

void CommLink::ShowStartFailure(std::string_view text) {
  prompter_.Ask(Prompt{std::string(text), kIrreparableErrorCaption, PromptIcon::kStop,
                       PromptButtons::kOk, 0});
}

bool CommLink::Launch(std::thread& thread, std::function<void()> body, std::atomic<bool>& alive) {
  alive.store(true);
  auto run = [body = std::move(body), &alive] {
    body();
    alive.store(false);
  };
  if (launcher_(thread, std::move(run))) return true;
  alive.store(false);
  return false;
}

void CommLink::CloseDevice() {
  stream_.reset();
}

bool CommLink::Start(LinkThread receive, LinkThread send, bool record) {
  if (IsActive() || !receive.body || !send.body) return false;
  if (record && recorder_.IsRecording()) return false;
  stream_ = OpenDevice();
  if (!stream_) return false;
  if (record && !recorder_.Begin()) {
    CloseDevice();
    return false;
  }
  receiveRun_.Set();
  sendRun_.Set();
  std::string_view failure;
  if (!Launch(receiveThread_, std::move(receive.body), receiveAlive_)) {
    failure = receive.startFailedText;
  } else if (!Launch(sendThread_, std::move(send.body), sendAlive_)) {
    failure = send.startFailedText;
  }
  if (failure.empty()) return true;

  receiveRun_.Clear();
  sendRun_.Clear();
  stream_->WakeReader();
  stream_->WakeWriter();
  if (receiveThread_.joinable()) receiveThread_.join();
  ShowStartFailure(failure);
  CloseDevice();
  // Nothing was recorded into the new file; it goes without a question.
  recorder_.Discard();
  return false;
}

bool CommLink::StartDestination(LinkThread receive, PlaybackSender::Writer write,
                                std::string_view sendStartFailedText) {
  if (IsActive()) return false;
  // Open before the thread runs, so that a route asked for at once is taken.
  playback_.Open();
  LinkThread send{[this, write = std::move(write)] { playback_.Run(write); }, sendStartFailedText};
  if (Start(std::move(receive), std::move(send), false)) return true;
  playback_.Close();
  return false;
}

std::string CommLink::Stop() {
  const bool wasActive = IsActive();
  receiveRun_.Clear();
  if (stream_) stream_->WakeReader();
  if (wasActive) std::this_thread::sleep_for(kStopPause);
  sendRun_.Clear();
  if (stream_) stream_->WakeWriter();
  if (wasActive) std::this_thread::sleep_for(kStopPause);
  // The threads are woken and end at once; joined before the device closes
  // so that none of them touches a closed descriptor.
  if (receiveThread_.joinable()) receiveThread_.join();
  if (sendThread_.joinable()) sendThread_.join();
  CloseDevice();
  return recorder_.IsRecording() ? recorder_.End() : std::string();
}

void CommLink::WriteToTrackFile(std::string_view text, bool movement) {
  recorder_.WriteToFile(text, movement);
}

}  // namespace orv
