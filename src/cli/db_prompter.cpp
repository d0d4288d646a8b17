#include "cli/db_prompter.h"

#include <unistd.h>

#include <iostream>
#include <ostream>
#include <string>

#include "platform/scripted_prompter.h"

namespace orv::cli {
namespace {

bool IsQuestion(PromptButtons buttons) {
  return buttons == PromptButtons::kYesNo || buttons == PromptButtons::kYesNoCancel;
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// A typed answer ends its line on the screen; one read from a file or pipe does not, so
// it is echoed to keep the next message on a line of its own.
bool AnswersAreTyped(const std::istream& in) {
  return &in == &std::cin && ::isatty(STDIN_FILENO) == 1;
}

}  // namespace

PromptAnswer TerminalPrompter::Ask(const Prompt& prompt) {
  std::lock_guard lock(mutex_);
  if (IsQuestion(prompt.buttons)) return AskQuestion(prompt);
  std::ostream& stream = prompt.icon == PromptIcon::kInformation ? io_.out : io_.err;
  if (!prompt.caption.empty() && prompt.icon != PromptIcon::kInformation) {
    stream << prompt.caption << ": ";
  }
  stream << prompt.text << "\n";
  if (prompt.icon == PromptIcon::kStop || prompt.icon == PromptIcon::kExclamation) {
    showedError_ = true;
  }
  return AnswerForButton(prompt.buttons, prompt.defaultButton);
}

bool TerminalPrompter::ShowedError() const {
  std::lock_guard lock(mutex_);
  return showedError_;
}

PromptAnswer TerminalPrompter::AskQuestion(const Prompt& prompt) {
  const bool withCancel = prompt.buttons == PromptButtons::kYesNoCancel;
  const PromptAnswer fallback = AnswerForButton(prompt.buttons, prompt.defaultButton);
  if (!prompt.caption.empty()) io_.err << prompt.caption << ": ";
  io_.err << prompt.text;
  switch (policy_) {
    case AnswerPolicy::kAlwaysYes:
      io_.err << " yes\n";
      return PromptAnswer::kYes;
    case AnswerPolicy::kAlwaysNo:
      io_.err << " no\n";
      return PromptAnswer::kNo;
    case AnswerPolicy::kAskTerminal:
      break;
  }
  const char* choices = withCancel ? " [yes/no/cancel] " : " [yes/no] ";
  io_.err << choices << std::flush;
  const bool typed = AnswersAreTyped(io_.in);
  std::string line;
  while (std::getline(io_.in, line)) {
    const std::string answer = Lower(Trimmed(line));
    if (!typed) io_.err << answer << "\n";
    if (answer == "y" || answer == "yes") return PromptAnswer::kYes;
    if (answer == "n" || answer == "no") return PromptAnswer::kNo;
    if (withCancel && (answer == "c" || answer == "cancel")) return PromptAnswer::kCancel;
    if (answer.empty()) return fallback;
    io_.err << "Please answer" << choices << std::flush;
  }
  io_.err << "\n";
  return fallback;
}

}  // namespace orv::cli
