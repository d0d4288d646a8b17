#include "app/track_file_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/navigator.h"
#include "platform/scripted_prompter.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

// "$BODY*HH\r\n" with the checksum of BODY.
std::string Sentence(const std::string& body) {
  unsigned sum = 0;
  for (char c : body) sum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
  return "$" + body + tail;
}

// A drive north at 36 knots, one GGA and RMC per second, each fix 0.01' (about 18 m)
// beyond the last, so that the movement filter stores every epoch.
std::string Drive(int seconds, int first_second = 0) {
  std::string text;
  for (int s = first_second; s < first_second + seconds; ++s) {
    char time[16], lat[16];
    std::snprintf(time, sizeof time, "12%02d%02d", s / 60, s % 60);
    std::snprintf(lat, sizeof lat, "48%02d.%02d00", (700 + s) / 100, (700 + s) % 100);
    const std::string t = time, la = lat;
    text += Sentence("GPGGA," + t + "," + la + ",N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,");
    text += Sentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1");
    text += Sentence("GPRMC," + t + ",A," + la + ",N,01131.0000,E,036.0,000.0,230324,003.1,W");
  }
  return text;
}

std::string WithoutCr(std::string text) {
  std::erase(text, '\r');
  return text;
}

class TrackFileReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("orv_track_file_reader_" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string WriteFile(const std::string& name, const std::string& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  // Fix time, position and speed of every stored point, as text to compare whole tracks.
  std::vector<std::string> Points() const {
    std::vector<std::string> points;
    navigator_.Recorded().ForEachPoint(0, INT32_MAX, [&](int32_t, const TrackPoint& p) {
      points.push_back(p.GetFixTime().Format("%Y-%m-%d %H:%M:%S ") + p.Position().LatitudeText() +
                       " " + p.Position().LongitudeText() + " " +
                       std::to_string(static_cast<int>(p.SpeedKnots())));
    });
    return points;
  }

  fs::path dir_;
  Navigator navigator_;
  ScriptedPrompter prompter_;
};

TEST_F(TrackFileReaderTest, LoadsEveryEpochAndNamesTheTrackAfterTheFile) {
  const std::string crlf = WriteFile("drive.txt", Drive(4));
  const std::string lf_only = WriteFile("drive-lf.txt", WithoutCr(Drive(4)));
  TrackFileReader reader(navigator_, prompter_);

  ASSERT_TRUE(reader.LoadNow(crlf));
  const std::vector<std::string> from_crlf = Points();
  ASSERT_EQ(from_crlf.size(), 4u);
  EXPECT_EQ(from_crlf[0], "2024-03-23 12:00:00 N 48°07.0000' E 011°31.0000' 36");
  EXPECT_EQ(from_crlf[3], "2024-03-23 12:00:03 N 48°07.0300' E 011°31.0000' 36");
  EXPECT_EQ(navigator_.Recorded().Name(), crlf);
  EXPECT_EQ(navigator_.Recorded().FilePath(), crlf);
  EXPECT_EQ(navigator_.Recorded().Cursor(), 0);
  EXPECT_EQ(reader.LastOutcome().points, 4);

  // A file whose CRs were lost on the way gives the same track, not an empty one.
  ASSERT_TRUE(reader.LoadNow(lf_only));
  EXPECT_EQ(Points(), from_crlf);
  EXPECT_EQ(navigator_.Recorded().Name(), lf_only);
  EXPECT_TRUE(prompter_.Asked().empty());
}

TEST_F(TrackFileReaderTest, FileWithoutPointsClearsTheTrackAndRevertsTheName) {
  const std::string drive = WriteFile("drive.txt", Drive(3));
  const std::string no_fix = WriteFile("nofix.txt", Sentence("GPGSA,A,1,,,,,,,,,,,,,,,") +
                                                        "\x01\x02garbage\n" + Sentence("PORVX,1"));
  TrackFileReader reader(navigator_, prompter_);
  ASSERT_TRUE(reader.LoadNow(drive));
  ASSERT_TRUE(reader.LoadNow(no_fix));
  EXPECT_EQ(navigator_.Recorded().PointCount(), 0);
  EXPECT_EQ(navigator_.Recorded().Cursor(), -1);
  EXPECT_EQ(navigator_.Recorded().Name(), kProgramTitle);
  EXPECT_TRUE(prompter_.Asked().empty());
}

TEST_F(TrackFileReaderTest, UnopenableFileShowsOnlyTheOpenFailure) {
  const std::string missing = (dir_ / "missing.txt").string();
  const std::string folder = dir_.string();
  for (const std::string& path : {missing, folder}) {
    SCOPED_TRACE(path);
    ScriptedPrompter prompter;
    TrackFileReader reader(navigator_, prompter);
    EXPECT_FALSE(reader.LoadNow(path));
    EXPECT_FALSE(reader.Start(path));
    EXPECT_FALSE(reader.IsBusy());
    ASSERT_EQ(prompter.Asked().size(), 2u);
    for (const Prompt& prompt : prompter.Asked()) {
      EXPECT_EQ(prompt.text, path + " file open failed");
      EXPECT_EQ(prompt.caption, "Irreparable Error");
      EXPECT_EQ(prompt.icon, PromptIcon::kStop);
      EXPECT_EQ(prompt.buttons, PromptButtons::kOk);
    }
    EXPECT_EQ(navigator_.Recorded().Name(), kProgramTitle);
  }
}

TEST_F(TrackFileReaderTest, ConcurrentLoadMatchesTheDirectLoad) {
  const std::string drive = WriteFile("drive.txt", Drive(30));
  TrackFileReader reader(navigator_, prompter_);
  ASSERT_TRUE(reader.LoadNow(drive));
  const std::vector<std::string> direct = Points();

  TrackLoadOutcome reported;
  reader.SetFinishedHandler([&](const TrackLoadOutcome& outcome) { reported = outcome; });
  ASSERT_TRUE(reader.Start(drive));
  reader.Wait();
  EXPECT_FALSE(reader.IsBusy());
  EXPECT_EQ(Points(), direct);
  EXPECT_EQ(reported.points, 30);
  EXPECT_FALSE(reported.stopped);
  EXPECT_EQ(navigator_.Recorded().Name(), drive);
}

TEST_F(TrackFileReaderTest, ConcurrentNewLoadClosesTheBusyReaderFirst) {
  // Long enough that the first load is still running when the second one starts.
  const std::string long_drive = WriteFile("long.txt", Drive(3000));
  const std::string short_drive = WriteFile("short.txt", Drive(5, 7));
  TrackFileReader reader(navigator_, prompter_);
  ASSERT_TRUE(reader.Start(long_drive));
  ASSERT_TRUE(reader.Start(short_drive));
  reader.Wait();
  const std::vector<std::string> points = Points();
  ASSERT_EQ(points.size(), 5u);
  EXPECT_EQ(points[0].substr(0, 19), "2024-03-23 12:00:07");
  EXPECT_EQ(navigator_.Recorded().Name(), short_drive);

  // Closing a running load stops it; the destructor would join it as well.
  ASSERT_TRUE(reader.Start(long_drive));
  reader.Close();
  EXPECT_FALSE(reader.IsBusy());
  EXPECT_LE(navigator_.Recorded().PointCount(), 3000);
}

// Records what the navigation database is offered.
class RecordingSink : public NavigationSentenceSink {
 public:
  explicit RecordingSink(const Navigator& navigator) : navigator_(navigator) {}
  bool TakeSentence(std::string_view text, std::string_view source) override {
    lines.emplace_back(text);
    sources.emplace_back(source);
    points_when_offered.push_back(navigator_.Recorded().PointCount());
    return text.starts_with("$GPWPL");
  }
  void Clear() override {}

  const Navigator& navigator_;
  std::vector<std::string> lines, sources;
  std::vector<int32_t> points_when_offered;
};

TEST_F(TrackFileReaderTest, OffersEveryLineToTheDatabaseBeforeTheTrack) {
  const std::string waypoint = Sentence("GPWPL,4807.038,N,01131.000,E,WPTNME");
  const std::string path = WriteFile("mixed.txt", WithoutCr(Drive(1) + waypoint + Drive(1, 1)));
  RecordingSink sink(navigator_);
  navigator_.SetNavigationSink(&sink);
  TrackFileReader reader(navigator_, prompter_);
  ASSERT_TRUE(reader.LoadNow(path));
  navigator_.SetNavigationSink(nullptr);

  ASSERT_EQ(sink.lines.size(), 7u);
  EXPECT_EQ(sink.lines[3], waypoint);  // with its CR LF restored
  for (const std::string& source : sink.sources) EXPECT_EQ(source, path);
  // The first RMC completes the first point only after the database has seen it.
  EXPECT_EQ(sink.points_when_offered[2], 0);
  EXPECT_EQ(sink.points_when_offered[3], 1);
  EXPECT_EQ(navigator_.Recorded().PointCount(), 2);
}

}  // namespace
}  // namespace orv
