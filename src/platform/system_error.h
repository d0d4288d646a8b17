#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/prompter.h"

namespace orv {

// The platform call that failed, as the reports name it.
inline constexpr std::string_view kCreateFileOperation = "CreateFile";
inline constexpr std::string_view kReadFileOperation = "ReadFile";
inline constexpr std::string_view kWriteFileOperation = "WriteFile";
inline constexpr std::string_view kWaitOperation = "WaitForSingleObject";

// The system's text for an errno value, or nothing when it has none.
std::optional<std::string> SystemErrorMessage(int errorCode);

// The report text for a failed call: "%s failed\n\nError:(%d)\n\n%s" with
// "\nContext:%s" after it when a context is given, or the "Format error
// message failed" text when the system has no words for the code.
std::string SystemErrorText(std::string_view operation, int errorCode,
                            std::optional<std::string_view> context);

// Shows the failure of a system call: caption "Irreparable Error", stop icon.
// Nothing is shown when the code is 0 or one of the two ignored codes (0
// ignores nothing). Returns whether a message was shown.
bool ReportSystemError(Prompter& prompter, std::string_view operation,
                       std::optional<std::string_view> context, int errorCode, int ignoredCode1 = 0,
                       int ignoredCode2 = 0);

}  // namespace orv
