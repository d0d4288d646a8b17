#include "platform/scripted_prompter.h"

#include <array>
#include <span>

namespace orv {

PromptAnswer AnswerForButton(PromptButtons buttons, int index) {
  static constexpr std::array kOk{PromptAnswer::kOk};
  static constexpr std::array kOkCancel{PromptAnswer::kOk, PromptAnswer::kCancel};
  static constexpr std::array kYesNo{PromptAnswer::kYes, PromptAnswer::kNo};
  static constexpr std::array kYesNoCancel{PromptAnswer::kYes, PromptAnswer::kNo,
                                           PromptAnswer::kCancel};
  static constexpr std::array kRetryCancel{PromptAnswer::kRetry, PromptAnswer::kCancel};
  static constexpr std::array kAbortRetryIgnore{PromptAnswer::kAbort, PromptAnswer::kRetry,
                                                PromptAnswer::kIgnore};
  std::span<const PromptAnswer> row;
  switch (buttons) {
    case PromptButtons::kOk:
      row = kOk;
      break;
    case PromptButtons::kOkCancel:
      row = kOkCancel;
      break;
    case PromptButtons::kYesNo:
      row = kYesNo;
      break;
    case PromptButtons::kYesNoCancel:
      row = kYesNoCancel;
      break;
    case PromptButtons::kRetryCancel:
      row = kRetryCancel;
      break;
    case PromptButtons::kAbortRetryIgnore:
      row = kAbortRetryIgnore;
      break;
  }
  if (index < 0 || static_cast<size_t>(index) >= row.size()) return row.front();
  return row[static_cast<size_t>(index)];
}

PromptAnswer ScriptedPrompter::Ask(const Prompt& prompt) {
  std::lock_guard lock(mutex_);
  asked_.push_back(prompt);
  if (script_.empty()) return AnswerForButton(prompt.buttons, prompt.defaultButton);
  PromptAnswer answer = script_.front();
  script_.pop_front();
  return answer;
}

}  // namespace orv
