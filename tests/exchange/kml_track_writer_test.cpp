#include "exchange/kml_track_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "app/speed_class.h"
#include "app/track.h"
#include "kml_test_support.h"
#include "platform/scripted_prompter.h"

namespace orv {
namespace {

using testing::FeedFixes;
using testing::FixInput;

constexpr std::string_view kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<kml xmlns=\"http://www.opengis.net/kml/2.2\" xmlns:gx=\"http://www.google.com/kml/ext/2.2\" "
    "xmlns:kml=\"http://www.opengis.net/kml/2.2\" xmlns:atom=\"http://www.w3.org/2005/Atom\">\r\n"
    "<Document>\r\n"
    "<name>t.kml</name>\r\n";

std::string Style(std::string_view id, std::string_view color, std::string_view width) {
  return "<Style id=\"" + std::string(id) + "\">\r\n<LineStyle>\r\n<color>" + std::string(color) +
         "</color>\r\n<width>" + std::string(width) + "</width>\r\n</LineStyle>\r\n</Style>\r\n";
}

// North, then east twice: three segments, each with another speed class.
const std::vector<FixInput> kTurningTrack = {{48.0, 11.0, 2.0, 500.4},
                                             {48.001, 11.0, 10.0, 505.6},
                                             {48.001, 11.001, 50.0, -0.4},
                                             {48.001, 11.002, 50.0, 510.0}};

std::string Build(const std::vector<FixInput>& fixes, const KmlTrackOptions& options) {
  Track track(TrackKind::kRecorded);
  FeedFixes(track, fixes);
  const std::optional<std::string> text = KmlTrackWriter(options).BuildDocument(track, "t.kml");
  return text.value_or("(failed)");
}

TEST(KmlTrackWriter, ColouredAbsoluteMetricDocument) {
  std::string expected(kHead);
  expected += Style("AllPathStyle", "00ffffff", "1");
  for (const SpeedClass& row : SpeedClasses()) {
    expected += Style(row.style_id, KmlColorText(row), "6");
  }
  expected +=
      "<Placemark>\r\n<name>Select and click Play Tour</name>\r\n"
      "<styleUrl>#AllPathStyle</styleUrl>\r\n<LineString>\r\n<tessellate>1</tessellate>\r\n"
      "<altitudeMode>absolute</altitudeMode>\r\n"
      "<coordinates>\r\n11.000000,48.000000,500 </coordinates>\r\n</LineString>\r\n</Placemark>\r\n"
      "<Placemark>\r\n<name>0.000km, 3.7kmh, 500.4m;</name>\r\n<styleUrl>#0-5_kmh</styleUrl>\r\n"
      "<LineString>\r\n<tessellate>1</tessellate>\r\n<altitudeMode>absolute</altitudeMode>\r\n"
      "<coordinates>11.000000,48.000000,500 11.000000,48.001000,505 </coordinates>\r\n"
      "</LineString>\r\n</Placemark>\r\n"
      "<Placemark>\r\n<name>0.111km, 18.5kmh, 505.6m;</name>\r\n<styleUrl>#11-20_kmh</styleUrl>\r\n"
      "<LineString>\r\n<tessellate>1</tessellate>\r\n<altitudeMode>absolute</altitudeMode>\r\n"
      "<coordinates>11.000000,48.001000,505 11.001000,48.001000,-0 </coordinates>\r\n"
      "</LineString>\r\n</Placemark>\r\n"
      "<Placemark>\r\n<name>0.186km, 92.6kmh, -0.4m;</name>\r\n<styleUrl>#91-100_kmh</styleUrl>\r\n"
      "<LineString>\r\n<tessellate>1</tessellate>\r\n<altitudeMode>absolute</altitudeMode>\r\n"
      "<coordinates>11.001000,48.001000,-0 11.002000,48.001000,510 </coordinates>\r\n"
      "</LineString>\r\n</Placemark>\r\n"
      "</Document>\r\n</kml>\r\n";
  EXPECT_EQ(Build(kTurningTrack, {true, 2, DistanceUnits::kKilometers}), expected);
}

TEST(KmlTrackWriter, PlainClampedDocumentHasOnlyTheBlueOverview) {
  std::vector<FixInput> fixes;
  for (int i = 0; i < 12; ++i) fixes.push_back({48.0 + 0.001 * i, 11.0, 5.0, 100.0 + i});
  const std::string expected =
      std::string(kHead) + Style("AllPathStyle", "ffff0000", "6") +
      "<Placemark>\r\n<name>Select and click Play Tour</name>\r\n"
      "<styleUrl>#AllPathStyle</styleUrl>\r\n<LineString>\r\n<tessellate>1</tessellate>\r\n"
      "<coordinates>\r\n11.000000,48.000000,100 11.000000,48.010000,110 </coordinates>\r\n"
      "</LineString>\r\n</Placemark>\r\n</Document>\r\n</kml>\r\n";
  EXPECT_EQ(Build(fixes, {false, 1, DistanceUnits::kNauticalMiles}), expected);
}

TEST(KmlTrackWriter, EmptyTrackHasStylesAndAnOverviewOfALineBreak) {
  const std::string text = Build({}, {true, 1, DistanceUnits::kKilometers});
  EXPECT_NE(text.find("<coordinates>\r\n</coordinates>"), std::string::npos);
  EXPECT_NE(text.find("<Style id=\"901-1000_kmh_and_more\">"), std::string::npos);
  EXPECT_EQ(text.find("<altitudeMode>"), std::string::npos);
  EXPECT_EQ(text.find("Select and click Play Tour"), text.rfind("<name>") + 6);
}

std::vector<std::string> SegmentCoordinates(const std::string& text) {
  std::vector<std::string> found;
  const std::string open = "<coordinates>", close = " </coordinates>";
  for (size_t at = text.find(open); at != std::string::npos; at = text.find(open, at + 1)) {
    const size_t begin = at + open.size();
    if (text.compare(begin, 2, "\r\n") == 0) continue;  // the overview line
    found.push_back(text.substr(begin, text.find(close, begin) - begin));
  }
  return found;
}

struct CutCase {
  const char* legend;
  std::vector<FixInput> fixes;
  std::vector<std::string> segments;
};

class KmlSegmentCut : public ::testing::TestWithParam<CutCase> {};

TEST_P(KmlSegmentCut, CutsWhereTheDirectionTurnsBeyondHalfADegree) {
  EXPECT_EQ(SegmentCoordinates(Build(GetParam().fixes, {true, 1, DistanceUnits::kKilometers})),
            GetParam().segments);
}

// From 48 N 11 E northwards 0.001 degrees (111 m) a step. Seen from the
// second point, 0.0000209 degrees east at 48.003 N is a turn of 0.40
// degrees, 0.0000315 one of 0.60 degrees.
INSTANTIATE_TEST_SUITE_P(
    Cases, KmlSegmentCut,
    ::testing::Values(
        CutCase{"straight: first step, then the rest as one",
                {{48.0, 11.0}, {48.001, 11.0}, {48.002, 11.0}, {48.003, 11.0}, {48.004, 11.0}},
                {"11.000000,48.000000,0 11.000000,48.001000,0",
                 "11.000000,48.001000,0 11.000000,48.004000,0"}},
        CutCase{"a turn of 0.4 degrees stays in the segment",
                {{48.0, 11.0}, {48.001, 11.0}, {48.003, 11.0000209}, {48.004, 11.0}},
                {"11.000000,48.000000,0 11.000000,48.001000,0",
                 "11.000000,48.001000,0 11.000000,48.004000,0"}},
        CutCase{"a turn of 0.6 degrees ends it at the turning point",
                {{48.0, 11.0}, {48.001, 11.0}, {48.003, 11.0000315}, {48.004, 11.0}},
                {"11.000000,48.000000,0 11.000000,48.001000,0",
                 "11.000000,48.001000,0 11.000032,48.003000,0",
                 "11.000032,48.003000,0 11.000000,48.004000,0"}},
        CutCase{"points at the start's position are skipped",
                {{48.0, 11.0}, {48.0, 11.0}, {48.001, 11.0}, {48.001, 11.0}, {48.002, 11.0}},
                {"11.000000,48.000000,0 11.000000,48.001000,0",
                 "11.000000,48.001000,0 11.000000,48.002000,0"}},
        CutCase{"a single point makes no segment", {{48.0, 11.0}}, {}}),
    [](const auto& info) { return std::to_string(info.index); });

struct UnitCase {
  DistanceUnits units;
  int altitudeMode;
  const char* name;
};

class KmlSegmentName : public ::testing::TestWithParam<UnitCase> {};

TEST_P(KmlSegmentName, SpeaksTheDistanceUnits) {
  const KmlTrackOptions options{true, GetParam().altitudeMode, GetParam().units};
  EXPECT_EQ(KmlTrackWriter(options).SegmentName(10.0, 20.0, 100.0), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Units, KmlSegmentName,
    ::testing::Values(UnitCase{DistanceUnits::kKilometers, 1, "18.520km, 37.0kmh;"},
                      UnitCase{DistanceUnits::kKilometers, 2, "18.520km, 37.0kmh, 100.0m;"},
                      UnitCase{DistanceUnits::kStatuteMiles, 2, "11.508mi, 23.0mph, 328.1ft;"},
                      UnitCase{DistanceUnits::kNauticalMiles, 2, "10.000nmi, 20.0kn, 328.1ft;"},
                      UnitCase{DistanceUnits::kNauticalMiles, 1, "10.000nmi, 20.0kn;"}));

TEST(KmlTrackWriter, MissingAltitudeIsWrittenAs75) {
  // RMC-only fixes carry no altitude; the last one waits for another RMC.
  const std::string text = Build({{48.0, 11.0, 5.0, 0.0, true},
                                  {48.001, 11.0, 5.0, 0.0, true},
                                  {48.002, 11.0, 5.0, 0.0, true}},
                                 {true, 2, DistanceUnits::kStatuteMiles});
  EXPECT_NE(text.find("<coordinates>11.000000,48.000000,75 11.000000,48.001000,75 </coordinates>"),
            std::string::npos);
  EXPECT_NE(text.find(", 246.1ft;</name>"), std::string::npos);  // 75 m in feet
}

TEST(KmlTrackWriter, TupleTruncatesTheAltitudeAndKeepsSixDecimals) {
  std::string out;
  KmlTrackWriter::AppendTuple(out, -33.8688197, -151.2092956, 1234.99);
  KmlTrackWriter::AppendTuple(out, 0.0000004, 0.0, -12.7);
  EXPECT_EQ(out, "-151.209296,-33.868820,1234 0.000000,0.000000,-12 ");
}

TEST(KmlTrackWriter, FailsWithoutOwnerOrForASpeedInNoClass) {
  Track track(TrackKind::kRecorded);
  FeedFixes(track, {{48.0, 11.0, std::numeric_limits<double>::quiet_NaN(), 0.0},
                    {48.001, 11.0, 1.0, 0.0}});
  const KmlTrackWriter writer({true, 1, DistanceUnits::kKilometers});
  EXPECT_FALSE(writer.BuildDocument(track, "t.kml"));
  // Without colouring the speed is never looked up.
  EXPECT_TRUE(KmlTrackWriter({false, 1, DistanceUnits::kKilometers}).BuildDocument(track, "t"));

  testing::TempFolder folder;
  const std::string path = folder.File("t.kml");
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ScriptedPrompter owner;
  EXPECT_FALSE(writer.Write(track, fd, "t.kml", &owner));
  EXPECT_FALSE(
      KmlTrackWriter({false, 1, DistanceUnits::kKilometers}).Write(track, fd, "t", nullptr));
  ::close(fd);
  EXPECT_EQ(testing::ReadBytes(path), "");
}

}  // namespace
}  // namespace orv
