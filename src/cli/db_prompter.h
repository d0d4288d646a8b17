#pragma once

#include <mutex>

#include "cli/cli.h"
#include "platform/prompter.h"

namespace orv::cli {

// How the database commands answer questions.
enum class AnswerPolicy { kAskTerminal, kAlwaysYes, kAlwaysNo };

// The database's questions on the terminal: the question goes to standard error and the
// answer is read as a line from standard input ("y", "yes", "n", "no"; end of input
// takes the default button). --yes and --no answer every question without reading.
// Information goes to standard output, other messages to standard error.
class TerminalPrompter : public Prompter {
 public:
  TerminalPrompter(Io& io, AnswerPolicy policy) : io_(io), policy_(policy) {}
  PromptAnswer Ask(const Prompt& prompt) override;

  // Whether any message with the stop or exclamation icon was shown that was no question.
  bool ShowedError() const;

 private:
  PromptAnswer AskQuestion(const Prompt& prompt);

  mutable std::mutex mutex_;
  Io& io_;
  AnswerPolicy policy_;
  bool showedError_ = false;
};

}  // namespace orv::cli
