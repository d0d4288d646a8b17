#include "app/navigator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nmea_fixture.h"

namespace orv {
namespace {

class RecordingSink : public NavigationSentenceSink {
 public:
  bool TakeSentence(std::string_view text, std::string_view sourceName) override {
    offered.emplace_back(text);
    sources.emplace_back(sourceName);
    return text.find("WPL") != std::string_view::npos;
  }
  void Clear() override { ++clears; }

  std::vector<std::string> offered;
  std::vector<std::string> sources;
  int clears = 0;
};

TEST(NavigatorTest, SentencesReachOnlyTheTrackOfTheirId) {
  Navigator navigator;
  test::Fix fix;
  int error = 0;
  for (int id : {0, 3, 4, -1}) {
    EXPECT_EQ(navigator.ProcessSentence(id, test::Gga(fix), error), 0) << id;
    EXPECT_EQ(navigator.ProcessSentence(id, test::Rmc(fix), error), 0) << id;
  }
  EXPECT_EQ(navigator.Recorded().PointCount(), 0);
  EXPECT_EQ(navigator.Recording().PointCount(), 0);

  EXPECT_EQ(navigator.ProcessSentence(Navigator::kRecordingId, test::Gga(fix), error), 1);
  EXPECT_EQ(navigator.ProcessSentence(Navigator::kRecordingId, test::Rmc(fix), error), 1);
  EXPECT_EQ(navigator.ProcessSentence(Navigator::kRecordingId, "$GPXYZ*00\r\n", error), 0);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(navigator.Recording().PointCount(), 1);
  EXPECT_EQ(navigator.Recorded().PointCount(), 0);
  EXPECT_EQ(navigator.CurrentPoint(Navigator::kRecordingId).SpeedKnots(), 0.0);
  EXPECT_TRUE(navigator.CurrentPoint(Navigator::kRecordingId).Complete());
  EXPECT_FALSE(navigator.CurrentPoint(7).TimeSet());
  EXPECT_EQ(navigator.TrackById(3), nullptr);
}

TEST(NavigatorTest, NavigationSentencesGoToTheSinkWhenThereIsOne) {
  Navigator navigator;
  int error = 0;
  const std::string wpl = test::NmeaLine("GPWPL,4807.038,N,01131.000,E,HOME");
  EXPECT_EQ(navigator.ProcessSentence(Navigator::kNavigationId, wpl, error), 0);
  navigator.Clear(Navigator::kNavigationId);  // nothing to clear yet

  RecordingSink sink;
  navigator.SetNavigationSink(&sink);
  EXPECT_EQ(navigator.ProcessSentence(Navigator::kNavigationId, wpl, error, "/tmp/a.txt"), 1);
  EXPECT_EQ(navigator.ProcessSentence(Navigator::kNavigationId, test::Gga(test::Fix()), error), 0);
  EXPECT_EQ(sink.offered.size(), 2u);
  EXPECT_EQ(sink.sources.front(), "/tmp/a.txt");
  EXPECT_EQ(navigator.Recording().PointCount(), 0);
  navigator.Clear(Navigator::kNavigationId);
  EXPECT_EQ(sink.clears, 1);
}

TEST(NavigatorTest, ClearingByIdTouchesOneTrack) {
  Navigator navigator;
  test::FeedMovingPoints(navigator.Recorded(), 2);
  test::FeedMovingPoints(navigator.Recording(), 2);
  navigator.Clear(9);
  navigator.Clear(Navigator::kRecordingId);
  EXPECT_EQ(navigator.Recording().PointCount(), 0);
  EXPECT_EQ(navigator.Recorded().PointCount(), 2);
  navigator.ClearTracks();
  EXPECT_EQ(navigator.Recorded().PointCount(), 0);
}

}  // namespace
}  // namespace orv
