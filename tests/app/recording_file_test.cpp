#include "app/recording_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "nmea/proprietary_lines.h"
#include "platform/scripted_prompter.h"
#include "test_folder.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

using test::ReadWholeFile;

class RecordingFileTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = test::FreshTestFolder("orv-recording");
    path_ = (folder_ / "track.txt").string();
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_;
  std::string path_;
  ScriptedPrompter prompter_;
};

struct NameCase {
  int year, month, day, hour, minute, second, weekday;
  const char* expected;
};

TEST(RecordingFileNameTest, LocalTimeAndWeekdayAbbreviation) {
  const NameCase cases[] = {
      {2010, 2, 21, 13, 35, 6, 0, "2010_02_21_13_35_06_Sun.txt"},
      {2010, 2, 22, 0, 0, 0, 1, "2010_02_22_00_00_00_Mon.txt"},
      {2024, 3, 5, 9, 7, 59, 2, "2024_03_05_09_07_59_Tue.txt"},
      {2024, 12, 31, 23, 59, 59, 3, "2024_12_31_23_59_59_Wed.txt"},
      {2026, 1, 1, 1, 2, 3, 4, "2026_01_01_01_02_03_Thu.txt"},
      {2026, 1, 2, 10, 11, 12, 5, "2026_01_02_10_11_12_Fr.txt"},
      {2026, 1, 3, 10, 11, 12, 6, "2026_01_03_10_11_12_Sat.txt"},
  };
  for (const NameCase& c : cases) {
    std::tm time{};
    time.tm_year = c.year - 1900;
    time.tm_mon = c.month - 1;
    time.tm_mday = c.day;
    time.tm_hour = c.hour;
    time.tm_min = c.minute;
    time.tm_sec = c.second;
    time.tm_wday = c.weekday;
    EXPECT_EQ(RecordingFileName(time), c.expected);
  }
}

TEST_F(RecordingFileTest, HeadLinesThenSentencesAsReceived) {
  RecordingFile file;
  ASSERT_EQ(file.Create(path_), 0);
  file.WriteHead("/dev/ttyUSB0");
  EXPECT_FALSE(file.HasMovement());
  file.Write("$GPGGA,1*00\r\n", true);
  file.Write("", true);
  file.Write("$GPRMC,2*00\n", true);
  EXPECT_TRUE(file.HasMovement());
  // A file still open already holds every line: nothing waits in a buffer.
  EXPECT_EQ(ReadWholeFile(path_), ProductLine() + MakerLine() + *SourceLine("/dev/ttyUSB0") +
                                      "$GPGGA,1*00\r\n$GPRMC,2*00\n");
  prompter_.Script(PromptAnswer::kYes);
  EXPECT_EQ(file.Close(prompter_), path_);
  EXPECT_FALSE(file.IsOpen());
}

TEST_F(RecordingFileTest, SourceNameTooLongForTheHeadLeavesItsLineOut) {
  RecordingFile file;
  ASSERT_EQ(file.Create(path_), 0);
  file.WriteHead(std::string(80, 'p'));
  EXPECT_EQ(ReadWholeFile(path_), ProductLine() + MakerLine());
}

TEST_F(RecordingFileTest, ClosingDecidesWhetherTheFileStays) {
  struct Case {
    const char* legend;
    bool movement;
    PromptAnswer answer;
    bool kept;
    const char* prompt;
  };
  const Case cases[] = {
      {"head only", false, PromptAnswer::kYes, false,
       "No movement sentences have been recorded from receiver"},
      {"answered yes", true, PromptAnswer::kYes, true, nullptr},
      {"answered no", true, PromptAnswer::kNo, false, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    ScriptedPrompter prompter;
    prompter.Script(c.answer);
    RecordingFile file;
    ASSERT_EQ(file.Create(path_), 0);
    file.WriteHead("COM3:");
    // A non-receiver write (the head) never counts as movement.
    file.Write("$GPWPL,x*00\r\n", false);
    if (c.movement) file.Write("$GPGGA,1*00\r\n", true);
    EXPECT_EQ(file.Close(prompter), c.kept ? path_ : "");
    EXPECT_EQ(fs::exists(path_), c.kept);
    ASSERT_EQ(prompter.Asked().size(), 1u);
    const Prompt asked = prompter.Asked()[0];
    if (c.prompt != nullptr) {
      EXPECT_EQ(asked.text, c.prompt);
      EXPECT_EQ(asked.caption, "Irreparable Error");
      EXPECT_EQ(asked.icon, PromptIcon::kStop);
    } else {
      EXPECT_EQ(asked.text, "Do You want to save the currently-recorded Track '" + path_ + "'");
      EXPECT_EQ(asked.caption, "Question");
      EXPECT_EQ(asked.icon, PromptIcon::kQuestion);
      EXPECT_EQ(asked.buttons, PromptButtons::kYesNo);
    }
    fs::remove(path_);
  }
}

TEST_F(RecordingFileTest, ExistingFileIsNotTruncatedAndASecondWriterIsRefused) {
  { std::ofstream(path_, std::ios::binary) << "before\n"; }
  RecordingFile file;
  ASSERT_EQ(file.Create(path_), 0);
  file.Write("$GPGGA,1*00\r\n", true);
  EXPECT_EQ(ReadWholeFile(path_), "before\n$GPGGA,1*00\r\n");
  RecordingFile second;
  EXPECT_NE(second.Create(path_), 0);
  EXPECT_NE(RecordingFile().Create((folder_ / "missing" / "x.txt").string()), 0);
}

// A recorder killed in the middle of a recording leaves every sentence it
// had written; the kill comes while the child is still writing.
TEST_F(RecordingFileTest, KilledRecorderLeavesEverySentenceWritten) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(ready[0]);
    RecordingFile file;
    if (file.Create(path_) != 0) _exit(2);
    for (int i = 0;; ++i) {
      const std::string line = "$GPTXT," + std::to_string(i) + "*00\r\n";
      file.Write(line, true);
      // Tells the parent how many lines are surely written.
      if (write(ready[1], &i, sizeof i) != sizeof i) _exit(3);
      if (i >= 5000) pause();
    }
  }
  close(ready[1]);
  int last = -1;
  int count = 0;
  while (count < 2000 && read(ready[0], &last, sizeof last) == sizeof last) ++count;
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  close(ready[0]);
  ASSERT_TRUE(WIFSIGNALED(status));
  ASSERT_GE(last, 1999);

  const std::string text = ReadWholeFile(path_);
  std::istringstream lines(text);
  std::string line;
  int expected = 0;
  while (std::getline(lines, line)) {
    ASSERT_EQ(line, "$GPTXT," + std::to_string(expected) + "*00\r") << "line " << expected;
    ++expected;
  }
  // Every line the child reported is there, and no line is cut short.
  EXPECT_GE(expected, last + 1);
  EXPECT_EQ(text.back(), '\n');
}

}  // namespace
}  // namespace orv
