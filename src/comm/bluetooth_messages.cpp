#include "comm/bluetooth_messages.h"

#include <cerrno>
#include <charconv>

namespace orv {
namespace {}  // namespace

std::string BluetoothErrorNumber(int errorCode) {
  char digits[16];
  auto [end, error] = std::to_chars(digits, digits + sizeof digits, errorCode);
  (void)error;  // an int always fits
  std::string text = "(";
  text.append(digits, end);
  text += ')';
  return text;
}

std::string BluetoothMessage(std::string_view text, std::string_view first,
                             std::string_view second) {
  // One pass over the text only, so a "%1" inside an inserted device name
  // stays as it is.
  std::string message;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '%' && at + 1 < text.size() && (text[at + 1] == '1' || text[at + 1] == '2')) {
      message += text[at + 1] == '1' ? first : second;
      ++at;
    } else {
      message += text[at];
    }
  }
  return message;
}

std::string NoBluetoothExplanation(int errorCode) {
  switch (errorCode) {
    case EAFNOSUPPORT:
    case EPROTONOSUPPORT:
      return "This system has no Bluetooth support: the kernel offers no Bluetooth sockets.";
    case ENODEV:
      return "No Bluetooth adapter was found on this system.";
    default:
      return {};
  }
}

std::string BluetoothFailureMessage(std::string_view text, int errorCode, std::string_view where) {
  std::string message = BluetoothMessage(text, BluetoothErrorNumber(errorCode), where);
  if (std::string explanation = NoBluetoothExplanation(errorCode); !explanation.empty()) {
    message += "\n\n";
    message += explanation;
  }
  return message;
}

void ShowBluetoothError(Prompter& prompter, std::string text) {
  prompter.Ask(
      Prompt{std::move(text), kIrreparableErrorCaption, PromptIcon::kStop, PromptButtons::kOk, 0});
}

}  // namespace orv
