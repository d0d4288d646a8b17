#pragma once

#include <iosfwd>
#include <mutex>

#include "platform/prompter.h"

namespace orv::cli {

// The command line's message box: prints the caption and the text to a stream (standard
// error) and answers with the default button, since nobody is there to click.
class StreamPrompter : public Prompter {
 public:
  explicit StreamPrompter(std::ostream& err) : err_(err) {}
  PromptAnswer Ask(const Prompt& prompt) override;

 private:
  std::mutex mutex_;  // worker threads may prompt too
  std::ostream& err_;
};

}  // namespace orv::cli
