#include "platform/system_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "platform/scripted_prompter.h"

namespace orv {
namespace {

struct ReportCase {
  const char* legend;
  int code;
  int ignored1;
  int ignored2;
  bool shown;
};

class ReportRuleTest : public testing::TestWithParam<ReportCase> {};

TEST_P(ReportRuleTest, ShowsUnlessTheCodeIsZeroOrIgnored) {
  const ReportCase& c = GetParam();
  ScriptedPrompter prompter;
  EXPECT_EQ(ReportSystemError(prompter, "ReadFile", "/dev/ttyUSB0", c.code, c.ignored1, c.ignored2),
            c.shown);
  ASSERT_EQ(prompter.Asked().size(), c.shown ? 1u : 0u);
  if (c.shown) {
    EXPECT_EQ(prompter.Asked()[0].caption, "Irreparable Error");
    EXPECT_EQ(prompter.Asked()[0].icon, PromptIcon::kStop);
    EXPECT_EQ(prompter.Asked()[0].buttons, PromptButtons::kOk);
  }
}

INSTANTIATE_TEST_SUITE_P(Codes, ReportRuleTest,
                         testing::Values(ReportCase{"no error", 0, 0, 0, false},
                                         ReportCase{"plain error", EIO, 0, 0, true},
                                         ReportCase{"first ignored", ENOENT, ENOENT, 0, false},
                                         ReportCase{"second ignored", ENOENT, EPERM, ENOENT, false},
                                         ReportCase{"others ignored", EIO, ENOENT, EPERM, true}),
                         [](const testing::TestParamInfo<ReportCase>& info) {
                           std::string name = info.param.legend;
                           for (char& c : name)
                             c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

TEST(SystemErrorTextTest, ComposesOperationCodeMessageAndContext) {
  const std::string message = *SystemErrorMessage(ENOENT);
  EXPECT_EQ(SystemErrorText("CreateFile", ENOENT, "/dev/ttyUSB7"),
            "CreateFile failed\n\nError:(" + std::to_string(ENOENT) + ")\n\n" + message +
                "\nContext:/dev/ttyUSB7");
  EXPECT_EQ(SystemErrorText("WriteFile", ENOENT, std::nullopt),
            "WriteFile failed\n\nError:(" + std::to_string(ENOENT) + ")\n\n" + message);
}

TEST(SystemErrorTextTest, CodeWithoutSystemTextFallsBackToNumber) {
  EXPECT_FALSE(SystemErrorMessage(99999).has_value());
  EXPECT_EQ(SystemErrorText("ReadFile", 99999, "COM3:"),
            "Format error message failed\n\nError:(99999)");
}

}  // namespace
}  // namespace orv
