#include "platform/scripted_prompter.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(ScriptedPrompter, AnswersFromScriptThenWithTheDefaultButton) {
  ScriptedPrompter prompter;
  prompter.Script(PromptAnswer::kNo);
  Prompt question{"Keep it?", "Caption", PromptIcon::kQuestion, PromptButtons::kYesNoCancel, 2};
  EXPECT_EQ(prompter.Ask(question), PromptAnswer::kNo);
  EXPECT_EQ(prompter.Ask(question), PromptAnswer::kCancel);
  ASSERT_EQ(prompter.Asked().size(), 2u);
  EXPECT_EQ(prompter.Asked()[0].text, "Keep it?");
}

TEST(ScriptedPrompter, ButtonIndexOutsideTheRowFallsBackToTheFirstButton) {
  EXPECT_EQ(AnswerForButton(PromptButtons::kYesNo, 7), PromptAnswer::kYes);
  EXPECT_EQ(AnswerForButton(PromptButtons::kAbortRetryIgnore, 1), PromptAnswer::kRetry);
}

}  // namespace
}  // namespace orv
