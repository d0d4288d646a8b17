#include "platform/system_error.h"

#include <string.h>

#include <charconv>

namespace orv {
namespace {

std::string DecimalText(int value) {
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  return std::string(digits, result.ptr);
}

}  // namespace

std::optional<std::string> SystemErrorMessage(int errorCode) {
  // glibc words every code it knows; "Unknown error N" is no text of its own.
  if (strerrordesc_np(errorCode) == nullptr) return std::nullopt;
  char buffer[256];
  const char* text = strerror_r(errorCode, buffer, sizeof buffer);
  if (text == nullptr || *text == '\0') return std::nullopt;
  return std::string(text);
}

std::string SystemErrorText(std::string_view operation, int errorCode,
                            std::optional<std::string_view> context) {
  const std::optional<std::string> message = SystemErrorMessage(errorCode);
  if (!message) {
    return "Format error message failed\n\nError:(" + DecimalText(errorCode) + ")";
  }
  std::string text(operation);
  text += " failed\n\nError:(";
  text += DecimalText(errorCode);
  text += ")\n\n";
  text += *message;
  if (context) {
    text += "\nContext:";
    text += *context;
  }
  return text;
}

bool ReportSystemError(Prompter& prompter, std::string_view operation,
                       std::optional<std::string_view> context, int errorCode, int ignoredCode1,
                       int ignoredCode2) {
  if (errorCode == 0) return false;
  if ((ignoredCode1 != 0 && errorCode == ignoredCode1) ||
      (ignoredCode2 != 0 && errorCode == ignoredCode2)) {
    return false;
  }
  Prompt prompt;
  prompt.text = SystemErrorText(operation, errorCode, context);
  prompt.caption = kIrreparableErrorCaption;
  prompt.icon = PromptIcon::kStop;
  prompt.buttons = PromptButtons::kOk;
  prompter.Ask(prompt);
  return true;
}

}  // namespace orv
