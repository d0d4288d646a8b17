#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/navigator.h"
#include "app/track_recorder.h"
#include "nmea/proprietary_lines.h"
#include "nmea_fixture.h"
#include "platform/scripted_prompter.h"
#include "test_folder.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

// Takes waypoint sentences, as the navigation database does.
class WaypointSink : public NavigationSentenceSink {
 public:
  bool TakeSentence(std::string_view text, std::string_view sourceName) override {
    if (text.substr(3, 3) != "WPL") return false;
    lastSource = sourceName;
    ++taken;
    return true;
  }
  void Clear() override {}
  int taken = 0;
  std::string lastSource;
};

class TrackRecorderTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = test::FreshTestFolder("orv-recorder");
    navigator_.SetNavigationSink(&sink_);
    recorder_.SetFolderFinder([this] { return std::optional<std::string>(folder_.string()); });
    recorder_.SetLocalClock([] {
      std::tm time{};
      time.tm_year = 126;
      time.tm_mon = 0;
      time.tm_mday = 2;
      time.tm_hour = 8;
      time.tm_wday = 5;
      return time;
    });
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_;
  Navigator navigator_;
  WaypointSink sink_;
  ScriptedPrompter prompter_;
  TrackRecorder recorder_{navigator_, prompter_};
};

TEST_F(TrackRecorderTest, DatabaseTakesWaypointsTheFileAndTrackGetTheRest) {
  ASSERT_TRUE(recorder_.Begin());
  const std::string path = (folder_ / "2026_01_02_08_00_00_Fr.txt").string();
  EXPECT_EQ(recorder_.Path(), path);
  EXPECT_EQ(navigator_.Recording().Name(), "Track Recording");
  EXPECT_EQ(navigator_.Recording().FilePath(), path);
  recorder_.WriteHead("/dev/pts/9");

  test::Fix fix;
  const std::string gga = test::Gga(fix);
  const std::string rmc = test::Rmc(fix);
  const std::string wpl = test::NmeaLine("GPWPL,4807.038,N,01131.000,E,HOME");
  for (const std::string& line : {gga, wpl, rmc}) {
    ASSERT_TRUE(recorder_.HandleLine(line, "/dev/pts/9"));
  }
  EXPECT_EQ(sink_.taken, 1);
  EXPECT_EQ(sink_.lastSource, "/dev/pts/9");
  EXPECT_EQ(navigator_.Recording().PointCount(), 1);
  EXPECT_EQ(test::ReadWholeFile(path),
            ProductLine() + MakerLine() + *SourceLine("/dev/pts/9") + gga + rmc);

  prompter_.Script(PromptAnswer::kYes);
  EXPECT_EQ(recorder_.End(), path);
  recorder_.ResetRecordingTrack();
  EXPECT_EQ(navigator_.Recording().PointCount(), 0);
  EXPECT_EQ(navigator_.Recording().Name(), "Orvelle Recorder 7 Beta");
}

TEST_F(TrackRecorderTest, OnlyWaypointsRecordedMeansNoMovement) {
  ASSERT_TRUE(recorder_.Begin());
  recorder_.WriteHead("COM3:");
  recorder_.HandleLine(test::NmeaLine("GPWPL,4807.038,N,01131.000,E,HOME"), "COM3:");
  const std::string path = recorder_.Path();
  EXPECT_EQ(recorder_.End(), "");
  EXPECT_FALSE(fs::exists(path));
  ASSERT_EQ(prompter_.Asked().size(), 1u);
  EXPECT_EQ(prompter_.Asked()[0].text, "No movement sentences have been recorded from receiver");
}

TEST_F(TrackRecorderTest, BeginFailuresAreShownAndNothingRecords) {
  recorder_.SetFolderFinder([] { return std::optional<std::string>(); });
  EXPECT_FALSE(recorder_.Begin());
  recorder_.SetFolderFinder(
      [this] { return std::optional<std::string>((folder_ / "absent").string()); });
  EXPECT_FALSE(recorder_.Begin());
  EXPECT_FALSE(recorder_.IsRecording());
  ASSERT_EQ(prompter_.Asked().size(), 2u);
  EXPECT_EQ(prompter_.Asked()[0].text, "SHGetSpecialFolderPath failed at CSIDL_PERSONAL");
  EXPECT_EQ(prompter_.Asked()[1].text,
            (folder_ / "absent" / "2026_01_02_08_00_00_Fr.txt").string() + " file open failed");
  EXPECT_EQ(prompter_.Asked()[1].caption, "Irreparable Error");
  // Without a file, lines still build the live track.
  test::Fix fix;
  EXPECT_TRUE(recorder_.HandleLine(test::Gga(fix), "x"));
  EXPECT_TRUE(recorder_.HandleLine(test::Rmc(fix), "x"));
  EXPECT_EQ(navigator_.Recording().PointCount(), 1);
}

}  // namespace
}  // namespace orv
