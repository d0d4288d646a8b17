#pragma once

#include <deque>
#include <mutex>
#include <vector>

#include "platform/prompter.h"

namespace orv {

// A prompter for tests: records every prompt and answers from a script
// (the prompt's default button's answer once the script runs out).
class ScriptedPrompter : public Prompter {
 public:
  void Script(PromptAnswer answer) {
    std::lock_guard lock(mutex_);
    script_.push_back(answer);
  }
  PromptAnswer Ask(const Prompt& prompt) override;
  std::vector<Prompt> Asked() const {
    std::lock_guard lock(mutex_);
    return asked_;
  }

 private:
  mutable std::mutex mutex_;
  std::deque<PromptAnswer> script_;
  std::vector<Prompt> asked_;
};

// The answer a button row gives for its index; the first button for a bad index.
PromptAnswer AnswerForButton(PromptButtons buttons, int index);

}  // namespace orv
