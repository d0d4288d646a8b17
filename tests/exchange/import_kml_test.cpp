#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/navigator.h"
#include "exchange/file_import.h"
#include "exchange/kml_coordinates.h"
#include "exchange/kml_track_save.h"
#include "exchange/kmz_archive.h"
#include "exchange/text_encoding.h"
#include "kml_test_support.h"
#include "nav/navigation_database.h"
#include "platform/scripted_prompter.h"

namespace orv {
namespace {

using testing::FeedFixes;
using testing::FixInput;
using testing::TempFolder;
using testing::WriteBytes;

std::u16string Widen(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

struct TupleCase {
  const char* text;
  std::optional<std::pair<double, double>> latLon;
};

class CoordinateTuple : public ::testing::TestWithParam<TupleCase> {};

TEST_P(CoordinateTuple, ReadsLongitudeThenLatitude) {
  const std::optional<LatLong> parsed = ParseCoordinateTuple(Widen(GetParam().text));
  ASSERT_EQ(parsed.has_value(), GetParam().latLon.has_value());
  if (!parsed) return;
  EXPECT_DOUBLE_EQ(parsed->LatitudeDegrees(), GetParam().latLon->first);
  EXPECT_DOUBLE_EQ(parsed->LongitudeDegrees(), GetParam().latLon->second);
  EXPECT_EQ(parsed->LatitudeHemisphere(),
            GetParam().latLon->first < 0 ? NorthSouth::kSouth : NorthSouth::kNorth);
  EXPECT_EQ(parsed->LongitudeHemisphere(),
            GetParam().latLon->second < 0 ? EastWest::kWest : EastWest::kEast);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CoordinateTuple,
    ::testing::Values(TupleCase{"1,2,3", std::pair{2.0, 1.0}},
                      TupleCase{"-1.5,-2.25", std::pair{-2.25, -1.5}},
                      TupleCase{"\r\n\t 11.5, 48.25,0", std::pair{48.25, 11.5}},
                      TupleCase{"+7e-1,1E1", std::pair{10.0, 0.7}},
                      TupleCase{"1,2x", std::pair{2.0, 1.0}}, TupleCase{"1", std::nullopt},
                      TupleCase{"east,2", std::nullopt}, TupleCase{"1,", std::nullopt},
                      TupleCase{"181,0", std::nullopt}, TupleCase{"0,-90.5", std::nullopt},
                      TupleCase{"1,2,3\u00A0", std::pair{2.0, 1.0}}));

// Coordinates as programs write them, against the C library's reading of
// the same text: every digit count, sign and point position must give the
// very same double.
TEST(CoordinateTuple, DecimalsReadExactlyAsFromChars) {
  std::mt19937_64 random(7);
  const char* const kForms[] = {"%s%d.%0*llu", "%s%d", "%s%d.", "%s0%d.%0*llu"};
  for (int i = 0; i < 20000; ++i) {
    const int whole = static_cast<int>(random() % 90);
    const int width = static_cast<int>(random() % 16);
    const unsigned long long fraction =
        width == 0 ? 0 : random() % static_cast<unsigned long long>(std::pow(10.0, width));
    const char* sign = random() % 2 == 0 ? "" : "-";
    const char* form = kForms[i % 4];
    char number[64];
    if (form == kForms[1] || form == kForms[2]) {
      std::snprintf(number, sizeof number, form, sign, whole);
    } else {
      std::snprintf(number, sizeof number, form, sign, whole, width, fraction);
    }
    double expected = 0.0;
    std::from_chars(number, number + std::strlen(number), expected);
    const std::string tuple = std::string("1,") + number + ",0";
    const std::optional<LatLong> parsed = ParseCoordinateTuple(Widen(tuple));
    ASSERT_TRUE(parsed.has_value()) << tuple;
    ASSERT_EQ(parsed->LatitudeDegrees(), expected) << tuple;
  }
}

struct ListCase {
  const char* text;
  size_t count;
};

class CoordinateList : public ::testing::TestWithParam<ListCase> {};

TEST_P(CoordinateList, ParsesEveryPieceBetweenSpacesAndTheTrimmedRest) {
  std::vector<KmlCoordinate> out;
  ParseCoordinateList(Widen(GetParam().text), out);
  EXPECT_EQ(out.size(), GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(Cases, CoordinateList,
                         ::testing::Values(ListCase{"1,2,3", 1}, ListCase{"1,2,3 ", 1},
                                           ListCase{"\r\n1,2,3 4,5,6 ", 2},
                                           ListCase{"1,2,3  4,5,6 7,8,9", 3},
                                           ListCase{"1,2,3 4,5,6\r\n\t", 2},
                                           ListCase{"1,2,3 \t\r\n", 1}, ListCase{"", 0},
                                           ListCase{" x y ", 0}, ListCase{" x y", 0}));

// One importer on a fresh navigator and database.
struct ImportFixture {
  Navigator navigator;
  NavigationDatabase database;
  ScriptedPrompter prompter;
  FileImporter importer{navigator, database, prompter};
  TempFolder folder;

  ImportReport Import(const std::string& name, const std::string& bytes) {
    const std::string path = folder.File(name);
    WriteBytes(path, bytes);
    return importer.ImportKml(path);
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const Prompt& p : prompter.Asked()) texts.push_back(p.text);
    return texts;
  }
};

std::string Number(double value) {
  char text[64];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string Placemark(std::string_view name, double lon, double lat) {
  return "<Placemark><name>" + std::string(name) + "</name><Point><coordinates>" + Number(lon) +
         "," + Number(lat) + ",0 </coordinates></Point></Placemark>";
}

std::string Utf16WithBom(std::string_view ascii) {
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) {
    bytes.push_back(c);
    bytes.push_back('\0');
  }
  return bytes;
}

TEST(KmlImport, PointsBecomeWaypointsOfANewRoute) {
  ImportFixture f;
  const std::string document = "<?xml version=\"1.0\"?>\n<kml><Document><name>x</name>" +
                               Placemark("Hut &amp; Co", 11.5, 48.25) +
                               Placemark("Peak", 11.6, 48.3) + "</Document></kml>";
  const ImportReport report = f.Import("alpine.tour.kml", document);
  ASSERT_TRUE(report.Ok());
  EXPECT_EQ(report.waypoints, (std::vector<std::string>{"alpine_0000", "alpine_0001"}));
  EXPECT_TRUE(report.routeStored);
  ASSERT_EQ(f.database.RouteCount(), 1);
  EXPECT_EQ(f.database.RouteAt(0)->Name(), "alpine");
  EXPECT_EQ(f.database.RouteAt(0)->WaypointNames(), report.waypoints);
  EXPECT_EQ(f.database.RouteAt(0)->PlaceToStore(), f.folder.File("alpine.tour.kml"));
  EXPECT_EQ(f.database.WaypointAt(0)->Description(), "Hut & Co");
  EXPECT_DOUBLE_EQ(f.database.WaypointAt(1)->Position().LatitudeDegrees(), 48.3);
  EXPECT_EQ(f.database.LastUsedWaypoint(), 1);
  EXPECT_EQ(f.database.LastUsedRoute(), 0);
  EXPECT_EQ(f.navigator.Recorded().PointCount(), 0);
  EXPECT_TRUE(f.Messages().empty());
}

TEST(KmlImport, Utf16WithByteOrderMarkReadsLikeUtf8) {
  const std::string document = "<kml><Document>" + Placemark("A", 1, 2) + "</Document></kml>";
  ImportFixture utf8, utf16;
  const ImportReport a = utf8.Import("a.kml", document);
  const ImportReport b = utf16.Import("a.kml", Utf16WithBom(document));
  ASSERT_TRUE(b.Ok());
  EXPECT_EQ(a.waypoints, b.waypoints);
  EXPECT_EQ(b.waypoints.size(), 1u);

  // Letters beyond ASCII: UTF-8 sequences, and single bytes of a Latin-1 file.
  ImportFixture letters;
  letters.Import("l.kml", "<kml><Document>" + Placemark("Gr\xC3\xBCn \xE2\x82\xAC", 1, 2) +
                              Placemark("M\xFChle", 3, 4) + "</Document></kml>");
  EXPECT_EQ(letters.database.WaypointAt(0)->Description(), "Gr\xC3\xBCn \xE2\x82\xAC");
  EXPECT_EQ(letters.database.WaypointAt(1)->Description(), "M\xC3\xBChle");
}

struct WalkCase {
  const char* legend;
  std::string body;  // inside kml
  size_t waypoints;
  size_t linePoints;
};

class KmlWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(KmlWalk, FindsPointsAndLinesWhereTheyMayBe) {
  ImportFixture f;
  const ImportReport report = f.Import("w.kml", "<kml>" + GetParam().body + "</kml>");
  EXPECT_TRUE(report.Ok());
  EXPECT_EQ(report.waypoints.size(), GetParam().waypoints);
  EXPECT_EQ(report.linePoints, GetParam().linePoints);
}

const std::string kLine =
    "<LineString><tessellate>1</tessellate><altitudeMode>absolute"
    "</altitudeMode><coordinates>\r\n1,2,3 1.001,2,3 1.002,2,3 "
    "</coordinates></LineString>";

INSTANTIATE_TEST_SUITE_P(
    Cases, KmlWalk,
    ::testing::Values(
        WalkCase{"a Point before the name is not seen",
                 "<Document><Placemark><Point><coordinates>1,2 </coordinates></Point>"
                 "<name>late</name></Placemark></Document>",
                 0, 0},
        WalkCase{"a Placemark without name",
                 "<Document><Placemark><Point><coordinates>1,2 "
                 "</coordinates></Point></Placemark></Document>",
                 1, 0},
        WalkCase{"a Point written without a trailing blank, as other programs do",
                 "<Document><Placemark><name>p</name><Point><coordinates>11.5,48.25,0"
                 "</coordinates></Point></Placemark></Document>",
                 1, 0},
        WalkCase{"the last tuple of a line ended by a line break",
                 "<Document><Placemark><LineString><coordinates>\n 1,2,0 1.001,2,0\n "
                 "</coordinates></LineString></Placemark></Document>",
                 0, 2},
        WalkCase{"lines directly in the Placemark",
                 "<Document><Placemark><name>t</name>" + kLine + kLine + "</Placemark></Document>",
                 0, 6},
        WalkCase{"lines in a MultiGeometry",
                 "<Document><Placemark><MultiGeometry>" + kLine + kLine +
                     "</MultiGeometry></Placemark></Document>",
                 0, 6},
        WalkCase{"lines in a GeometryCollection",
                 "<Document><Placemark><GeometryCollection>" + kLine +
                     "</GeometryCollection></Placemark></Document>",
                 0, 3},
        WalkCase{"the Document's first Folder when the Document had no Point",
                 "<Document><Placemark>" + kLine + "</Placemark><Folder>" + Placemark("a", 1, 2) +
                     "</Folder><Folder>" + Placemark("b", 3, 4) + "</Folder></Document>",
                 1, 3},
        WalkCase{"Folders are not read when the Document had a Point",
                 "<Document><Folder>" + Placemark("a", 1, 2) + "</Folder>" + Placemark("b", 3, 4) +
                     "</Document>",
                 1, 0},
        WalkCase{
            "without a Document the first Folder of kml, Points only",
            "<Folder><Placemark>" + kLine + "</Placemark>" + Placemark("a", 1, 2) + "</Folder>", 1,
            0}),
    [](const auto& info) { return std::to_string(info.index); });

struct SpacingCase {
  int kind;
  double metresApart;
  size_t waypoints;
};

class KmlWaypointSpacing : public ::testing::TestWithParam<SpacingCase> {};

TEST_P(KmlWaypointSpacing, FollowsTheRouteGuidanceKind) {
  ImportFixture f;
  f.importer.SetKindOfRouteGuidance(GetParam().kind);
  // Three points in a row along the equator, each `metresApart` from the last.
  const double step = GetParam().metresApart / 1852.0 / 60.0;
  std::string body;
  for (int i = 0; i < 3; ++i) body += Placemark("p", step * i, 0.0);
  const ImportReport report = f.Import("s.kml", "<kml><Document>" + body + "</Document></kml>");
  EXPECT_EQ(report.waypoints.size(), GetParam().waypoints);
  EXPECT_EQ(report.pointCandidates, 3u);
}

// Walk keeps 20 m, Drive (and any other value) 50 m, Flight 300 m. Skipped
// points count from the last created one.
INSTANTIATE_TEST_SUITE_P(Kinds, KmlWaypointSpacing,
                         ::testing::Values(SpacingCase{2, 10.0, 1}, SpacingCase{1, 15.0, 2},
                                           SpacingCase{1, 25.0, 3}, SpacingCase{2, 30.0, 2},
                                           SpacingCase{7, 30.0, 2}, SpacingCase{3, 200.0, 2},
                                           SpacingCase{3, 350.0, 3}));

TEST(KmlImport, WaypointNamesSkipNothingAndTurnRandomFrom10000) {
  EXPECT_EQ(ImportWaypointName("abcdef", 0), "abcdef_0000");
  EXPECT_EQ(ImportWaypointName("abcdef", 9999), "abcdef_9999");
  const std::string random = ImportWaypointName("abcdef", 10000);
  EXPECT_EQ(random.size(), 12u);
  EXPECT_EQ(random.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
            std::string::npos);
  EXPECT_EQ(ImportRouteName("averyverylongname.kml"), "averyverylon");
  EXPECT_EQ(ImportWaypointPrefix("ab.c.kml"), "ab");
}

TEST(KmlImport, LineStringBecomesTheRecordedTrackDatedFrom2008) {
  ImportFixture f;
  const ImportReport report =
      f.Import("line.kml", "<kml><Document><Placemark>" + kLine + "</Placemark></Document></kml>");
  EXPECT_EQ(report.linePoints, 3u);
  EXPECT_EQ(report.trackPoints, 3);
  EXPECT_FALSE(report.routeStored);
  EXPECT_EQ(f.database.RouteCount(), 0);
  const Track& track = f.navigator.Recorded();
  ASSERT_EQ(track.PointCount(), 3);
  for (int32_t i = 0; i < 3; ++i) {
    const TrackPoint point = track.PointAt(i);
    EXPECT_EQ(point.GetFixTime(), FixTime::FromFields(2008, 1, 1, 12, 0, i));
    EXPECT_NEAR(point.Position().LongitudeDegrees(), 1.0 + 0.001 * i, 1e-6);
    EXPECT_NEAR(point.Position().LatitudeDegrees(), 2.0, 1e-6);
    EXPECT_EQ(point.SpeedKnots(), 0.0);
  }
  EXPECT_EQ(track.FilePath(), f.folder.File("line.kml"));
  EXPECT_EQ(track.Name(), "line.kml");
}

struct FailureCase {
  const char* legend;
  std::string name;
  std::optional<std::string> bytes;  // none: the file does not exist
  ImportReport::Failure failure;
  std::string message;
};

class KmlImportFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(KmlImportFailure, ShowsItsMessage) {
  ImportFixture f;
  const std::string path = f.folder.File(GetParam().name);
  if (GetParam().bytes) WriteBytes(path, *GetParam().bytes);
  EXPECT_EQ(f.importer.ImportKml(path).failure, GetParam().failure);
  ASSERT_EQ(f.Messages(), std::vector<std::string>{GetParam().message});
  EXPECT_EQ(f.prompter.Asked()[0].caption, "Irreparable Error");
  EXPECT_EQ(f.prompter.Asked()[0].icon, PromptIcon::kStop);
}

std::string ImageArchive() {
  TempFolder folder;
  const std::string path = folder.File("i.kmz");
  std::string png = "\x89PNG\r\n\x1a\n";
  png += std::string(200, '\0');
  WriteKmzArchive(path, png);
  return testing::ReadBytes(path);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KmlImportFailure,
    ::testing::Values(
        FailureCase{"missing", "none.kml", std::nullopt, ImportReport::Failure::kOpen,
                    "Unable to open file"},
        FailureCase{"not xml", "bad.kml", "<kml><Document></kml>", ImportReport::Failure::kParse,
                    "Xml parse failed or empty document"},
        FailureCase{"empty", "empty.kml", "", ImportReport::Failure::kParse,
                    "Xml parse failed or empty document"},
        FailureCase{"binary", "bin.kml", "<kml>" + std::string(100, '\0') + "</kml>",
                    ImportReport::Failure::kBinary,
                    "Error converting file to string (may contain binary data)"},
        FailureCase{"binary UTF-16", "bin16.kml", Utf16WithBom("<kml>") + std::string(100, '\0'),
                    ImportReport::Failure::kBinary,
                    "Error converting file to string (may contain binary data)"},
        FailureCase{"image in a KMZ", "img.kmz", ImageArchive(), ImportReport::Failure::kBinary,
                    "Error converting file to string (may contain binary data)"}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(KmlImport, DecodingStopsAtAZeroButToleratesOneAtTheEnd) {
  EXPECT_FALSE(DecodeDocumentBytes("<kml/>" + std::string(20, ' ') + '\0').binary);
  // Three-byte characters decode to a third as many characters: still text.
  std::string cjk;
  for (int i = 0; i < 100; ++i) cjk += "\xE6\x97\xA5";
  const DecodedDocument decoded = DecodeDocumentBytes(cjk);
  EXPECT_FALSE(decoded.binary);
  EXPECT_EQ(decoded.text, std::u16string(100, u'\u65E5'));
  EXPECT_EQ(Utf16ToUtf8(decoded.text), cjk);
}

struct RoundTripCase {
  const char* legend;
  bool colored;
  TrackSaveFormat format;
};

class KmlRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

// An exported track imports as its overview points (every tenth) followed
// by the segment ends; points within 5 m of the last stored one are dropped
// by the movement filter, as for a receiver.
TEST_P(KmlRoundTrip, ExportedPointsComeBack) {
  Track source(TrackKind::kRecorded);
  std::vector<FixInput> fixes;
  for (int i = 0; i < 25; ++i) {
    // A bend after point 12 gives a second segment.
    const double lat = 48.0 + 0.0002 * std::min(i, 12);
    const double lon = 11.0 + 0.0003 * std::max(0, i - 12);
    fixes.push_back({lat, lon, 20.0, 300.0});
  }
  FeedFixes(source, fixes);
  ImportFixture f;
  const std::string path =
      f.folder.File(GetParam().format == TrackSaveFormat::kKmz ? "r.kmz" : "r.kml");
  ASSERT_EQ(SaveTrackAs(source, path, GetParam().format,
                        {GetParam().colored, 1, DistanceUnits::kKilometers}, f.prompter, false),
            TrackSaveOutcome::kSaved);
  const ImportReport report = f.importer.ImportKml(path);
  ASSERT_TRUE(report.Ok());

  std::vector<int> expected = {0, 10, 20};
  if (GetParam().colored) {
    // Segments 0-1, 1-13 (the bend), 13-14 (the new direction against the
    // bearing of 1-13), 14-24; each start repeats the last end.
    for (int end : {0, 1, 13, 14, 24}) expected.push_back(end);
  }
  std::vector<std::pair<double, double>> want, got;
  for (int index : expected) {
    const auto [lat, lon] = std::pair{fixes[index].latitude, fixes[index].longitude};
    if (!want.empty() && std::abs(want.back().first - lat) < 1e-9 &&
        std::abs(want.back().second - lon) < 1e-9) {
      continue;
    }
    want.emplace_back(lat, lon);
  }
  const Track& track = f.navigator.Recorded();
  for (int32_t i = 0; i < track.PointCount(); ++i) {
    got.emplace_back(track.PointAt(i).Position().LatitudeDegrees(),
                     track.PointAt(i).Position().LongitudeDegrees());
  }
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_NEAR(got[i].first, want[i].first, 2e-6) << i;
    EXPECT_NEAR(got[i].second, want[i].second, 2e-6) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KmlRoundTrip,
    ::testing::Values(RoundTripCase{"plain kml", false, TrackSaveFormat::kKml},
                      RoundTripCase{"coloured kml", true, TrackSaveFormat::kKml},
                      RoundTripCase{"coloured kmz", true, TrackSaveFormat::kKmz}),
    [](const auto& info) { return std::to_string(info.index); });

}  // namespace
}  // namespace orv
