#include "cli/stream_prompter.h"

#include <ostream>

#include "platform/scripted_prompter.h"

namespace orv::cli {

PromptAnswer StreamPrompter::Ask(const Prompt& prompt) {
  std::lock_guard lock(mutex_);
  if (!prompt.caption.empty()) err_ << prompt.caption << ": ";
  err_ << prompt.text << "\n";
  return AnswerForButton(prompt.buttons, prompt.defaultButton);
}

}  // namespace orv::cli
