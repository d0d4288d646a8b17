#pragma once

#include <string>

namespace orv {

enum class PromptIcon { kNone, kStop, kQuestion, kExclamation, kInformation };

enum class PromptButtons { kOk, kOkCancel, kYesNo, kYesNoCancel, kRetryCancel, kAbortRetryIgnore };

enum class PromptAnswer { kOk, kCancel, kYes, kNo, kRetry, kAbort, kIgnore };

// One message box or question, with its %1 insertions already made.
struct Prompt {
  std::string text;
  std::string caption;
  PromptIcon icon = PromptIcon::kNone;
  PromptButtons buttons = PromptButtons::kOk;
  int defaultButton = 0;  // 0-based index into the buttons
};

// Every message and question of the core goes through this seam: the GUI
// shows a message box on its own thread, the command line prints or answers
// from flags, tests script the answers. Implementations must be callable from
// worker threads.
class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual PromptAnswer Ask(const Prompt& prompt) = 0;
};

// The caption of fatal messages ("Out of memory", failed opens, system errors).
inline constexpr const char* kIrreparableErrorCaption = "Irreparable Error";

}  // namespace orv
