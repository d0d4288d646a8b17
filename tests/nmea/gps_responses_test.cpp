#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "nmea/gga_response.h"
#include "nmea/gll_response.h"
#include "nmea/gsa_response.h"
#include "nmea/gsv_response.h"
#include "nmea/nmea_parser.h"
#include "nmea/nmea_sentence.h"
#include "nmea/rmc_response.h"
#include "nmea/track_point.h"
#include "nmea/vtg_response.h"

namespace orv {
namespace {

// "$" body "*hh" CR LF with the right checksum.
std::string Framed(const std::string& body) {
  NmeaSentence s("$" + body);
  s.Finish();
  return s.Text();
}

std::unique_ptr<NmeaResponse> MakeResponse(const std::string& mnemonic) {
  if (mnemonic == "GGA") return std::make_unique<GgaResponse>();
  if (mnemonic == "GLL") return std::make_unique<GllResponse>();
  if (mnemonic == "GSA") return std::make_unique<GsaResponse>();
  if (mnemonic == "GSV") return std::make_unique<GsvResponse>();
  if (mnemonic == "RMC") return std::make_unique<RmcResponse>();
  return std::make_unique<VtgResponse>();
}

constexpr char kGga[] = "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
constexpr char kRmc[] = "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W";

struct AcceptanceCase {
  const char* legend;
  const char* mnemonic;
  std::string text;
  bool accepted;
};

class GpsAcceptance : public ::testing::TestWithParam<AcceptanceCase> {};

TEST_P(GpsAcceptance, TakesOnlyTheRightFieldCountWithAGoodChecksum) {
  const AcceptanceCase& c = GetParam();
  auto response = MakeResponse(c.mnemonic);
  TrackPoint point;
  EXPECT_EQ(response->Parse(NmeaSentence(c.text)), c.accepted) << c.legend;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GpsAcceptance,
    ::testing::Values(
        AcceptanceCase{"GGA 14", "GGA", Framed(kGga), true},
        AcceptanceCase{"GGA 13", "GGA",
                       Framed("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,"),
                       false},
        AcceptanceCase{"GGA 15", "GGA", Framed(std::string(kGga) + ","), false},
        AcceptanceCase{"GGA no checksum", "GGA", std::string("$") + kGga + "\r\n", false},
        AcceptanceCase{"GGA empty checksum", "GGA", std::string("$") + kGga + "*\r\n", false},
        AcceptanceCase{"GGA wrong checksum", "GGA", std::string("$") + kGga + "*00\r\n", false},
        AcceptanceCase{"GLL 6", "GLL", Framed("GPGLL,4916.45,N,12311.12,W,225444,A"), true},
        AcceptanceCase{"GLL 7", "GLL", Framed("GPGLL,4916.45,N,12311.12,W,225444,A,D"), true},
        AcceptanceCase{"GLL 5", "GLL", Framed("GPGLL,4916.45,N,12311.12,W,225444"), false},
        AcceptanceCase{"GLL 8", "GLL", Framed("GPGLL,4916.45,N,12311.12,W,225444,A,D,"), false},
        AcceptanceCase{"GSA 17", "GSA", Framed("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"),
                       true},
        AcceptanceCase{"GSA 16", "GSA", Framed("GPGSA,A,3,04,05,,09,12,,,24,,,,2.5,1.3,2.1"),
                       false},
        AcceptanceCase{"GSA 18 (system id)", "GSA",
                       Framed("GNGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1,1"), true},
        AcceptanceCase{"GSA 19", "GSA", Framed("GNGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1,1,"),
                       false},
        AcceptanceCase{"GSV 19", "GSV",
                       Framed("GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45"),
                       true},
        AcceptanceCase{"GSV 20 (signal id)", "GSV",
                       Framed("GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45,1"),
                       true},
        AcceptanceCase{
            "GSV 21", "GSV",
            Framed("GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45,1,"), false},
        AcceptanceCase{"GSV 4 (signal id only)", "GSV", Framed("GPGSV,1,1,00,1"), true},
        AcceptanceCase{"GSV short last sentence", "GSV", Framed("GPGSV,2,2,05,01,40,083,46"), true},
        AcceptanceCase{"GSV number above total", "GSV", Framed("GPGSV,2,3,08,01,40,083,46"), false},
        AcceptanceCase{"GSV number 0", "GSV", Framed("GPGSV,2,0,08,01,40,083,46"), false},
        AcceptanceCase{"GSV 4 of 4", "GSV", Framed("GPGSV,4,4,16,01,40,083,46"), true},
        AcceptanceCase{"GSV 9 of 9", "GSV", Framed("GPGSV,9,9,36,01,40,083,46"), true},
        AcceptanceCase{"GSV total 5, number 6", "GSV", Framed("GPGSV,5,6,24,01,40,083,46"), false},
        AcceptanceCase{"GSV total 10 counts as 9", "GSV", Framed("GPGSV,10,9,36,01,40,083,46"),
                       true},
        AcceptanceCase{"GSV total 10, number 10", "GSV", Framed("GPGSV,10,10,40,01,40,083,46"),
                       false},
        AcceptanceCase{"GSV total 0 counts as 9", "GSV", Framed("GPGSV,0,9,36,01,40,083,46"), true},
        AcceptanceCase{"GSV negative total", "GSV", Framed("GPGSV,-1,1,08,01,40,083,46"), false},
        AcceptanceCase{"RMC 11", "RMC", Framed(kRmc), true},
        AcceptanceCase{"RMC 12", "RMC", Framed(std::string(kRmc) + ",A"), true},
        AcceptanceCase{"RMC 13 (navigational status)", "RMC", Framed(std::string(kRmc) + ",A,S"),
                       true},
        AcceptanceCase{"RMC 14", "RMC", Framed(std::string(kRmc) + ",A,S,"), false},
        AcceptanceCase{"RMC 10", "RMC",
                       Framed("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1"),
                       false},
        AcceptanceCase{"VTG 8", "VTG", Framed("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K"), true},
        AcceptanceCase{"VTG 9", "VTG", Framed("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A"), true},
        AcceptanceCase{"VTG 10", "VTG", Framed("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A,"), false}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(GgaResponse, ReadsEveryFieldAndDescribesTheFix) {
  GgaResponse gga;
  ASSERT_TRUE(gga.Parse(NmeaSentence(
      Framed("GPGGA,123519,4807.038,N,01131.000,E,2,08,0.9,545.4,M,46.9,M,3.5,0120"))));
  const GgaResponse::Values& v = gga.Parsed();
  EXPECT_EQ(v.time, FixTime::TimeOfDay(12, 35, 19));
  EXPECT_EQ(v.timeText, "123519");
  EXPECT_NEAR(v.position.LatitudeDegrees(), 48.1173, 1e-9);
  EXPECT_EQ(v.quality, 2);
  EXPECT_EQ(v.satellitesInUse, 8);
  EXPECT_DOUBLE_EQ(v.hdop, 0.9);
  EXPECT_DOUBLE_EQ(v.altitude, 545.4);
  EXPECT_DOUBLE_EQ(v.geoidalSeparation, 46.9);
  EXPECT_DOUBLE_EQ(v.differentialAge, 3.5);
  EXPECT_EQ(v.differentialStation, 120);
  EXPECT_EQ(gga.PlainEnglish(),
            "At 12:35.19 PM UTC, you were at Latitude 48  7.03800 North, Longitude 11 31.00000 "
            "East, based upon a differential GPS fix, 8 satellites are in use.");
}

struct GgaPointCase {
  const char* legend;
  const char* quality;
  const char* hdop;
  const char* position;
  bool positionTaken;
};

constexpr char kPosition[] = "4807.038,N,01131.000,E";

class GgaIntoPoint : public ::testing::TestWithParam<GgaPointCase> {};

TEST_P(GgaIntoPoint, TakesThePositionOnlyFromAUsableFix) {
  const GgaPointCase& c = GetParam();
  GgaResponse gga;
  TrackPoint point;
  point.SetLastWasRmc(true);
  const std::string text = Framed(std::string("GPGGA,123519,") + c.position + "," + c.quality +
                                  ",08," + c.hdop + ",545.4,M,46.9,M,,");
  ASSERT_TRUE(gga.ParseToPoint(NmeaSentence(text), point)) << c.legend;
  EXPECT_EQ(point.SatellitesInUse(), 8);
  EXPECT_FALSE(point.LastWasRmc());
  EXPECT_EQ(point.PositionSet(), c.positionTaken) << c.legend;
  EXPECT_EQ(point.GgaSeen(), c.positionTaken) << c.legend;
  EXPECT_EQ(point.TimeSet(), c.positionTaken) << c.legend;
  EXPECT_EQ(point.AltitudeMsl(), c.positionTaken ? 545.4 : TrackPoint::kUnknown) << c.legend;
  EXPECT_EQ(point.GeoidSeparation(), c.positionTaken ? 46.9 : TrackPoint::kUnknown) << c.legend;
  EXPECT_FALSE(point.Complete());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GgaIntoPoint,
    ::testing::Values(
        GgaPointCase{"fix", "1", "0.9", kPosition, true},
        GgaPointCase{"HDOP exactly 10.0", "1", "10.0", kPosition, true},
        GgaPointCase{"HDOP 10.1", "1", "10.1", kPosition, false},
        GgaPointCase{"HDOP 10.01", "2", "10.01", kPosition, false},
        GgaPointCase{"no fix", "0", "0.9", kPosition, false},
        GgaPointCase{"fix without position", "1", "0.9", ",,,", false},
        GgaPointCase{"no longitude letter", "1", "0.9", "4807.038,N,01131.000,", false},
        GgaPointCase{"no latitude letter", "1", "0.9", "4807.038,,01131.000,E", false},
        GgaPointCase{"lower-case letter", "1", "0.9", "4807.038,n,01131.000,E", false}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(GgaResponse, ANewSecondResetsThePointBeforeTheFixIsTaken) {
  GgaResponse gga;
  TrackPoint point;
  point.SetFixTime(FixTime::TimeOfDay(12, 35, 18));
  point.SetSpeedKnots(5.0);
  ASSERT_TRUE(gga.ParseToPoint(NmeaSentence(Framed(kGga)), point));
  EXPECT_EQ(point.SpeedKnots(), 0.0);
  // The count written before SetFixTime was lost with the reset.
  EXPECT_EQ(point.SatellitesInUse(), -1);
  EXPECT_EQ(point.GetFixTime(), FixTime::TimeOfDay(12, 35, 19));
}

TEST(RmcResponse, AValidRmcFillsTheDatedPoint) {
  RmcResponse rmc;
  TrackPoint point;
  ASSERT_TRUE(rmc.ParseToPoint(NmeaSentence(Framed(kRmc)), point));
  EXPECT_EQ(point.GetFixTime(), FixTime::FromFields(2094, 3, 23, 12, 35, 19));
  EXPECT_TRUE(point.RmcSeen());
  EXPECT_TRUE(point.LastWasRmc());
  EXPECT_DOUBLE_EQ(point.SpeedKnots(), 22.4);
  EXPECT_DOUBLE_EQ(point.CourseDegrees(), 84.4);
  EXPECT_DOUBLE_EQ(point.MagneticVariation(), 3.1);
  EXPECT_EQ(point.VariationDirection(), EastWest::kWest);
  EXPECT_NEAR(point.Position().LongitudeDegrees(), 11.516666666, 1e-8);
  EXPECT_FALSE(point.Complete());
  EXPECT_EQ(rmc.Parsed().mode, ModeIndicator::kUnset);
  EXPECT_EQ(rmc.PlainEnglish(),
            "At 12:35.19 PM UTC, you were at Latitude 48  7.03800 North, Longitude 11 31.00000 "
            "East, making 22.40 knots, track made good 84.40 degrees true.");

  ASSERT_TRUE(rmc.Parse(NmeaSentence(Framed(std::string(kRmc) + ",D"))));
  EXPECT_EQ(rmc.Parsed().mode, ModeIndicator::kDifferential);
}

TEST(RmcResponse, AWarningRmcIsReadButRefusedForThePoint) {
  RmcResponse rmc;
  TrackPoint point;
  const std::string warning =
      Framed("GPRMC,123519,V,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
  EXPECT_FALSE(rmc.ParseToPoint(NmeaSentence(warning), point));
  EXPECT_EQ(rmc.Parsed().status, NmeaBoolean::kFalse);
  EXPECT_DOUBLE_EQ(rmc.Parsed().speedKnots, 22.4);
  EXPECT_FALSE(point.TimeSet());
  EXPECT_FALSE(point.PositionSet());
  EXPECT_EQ(point.SpeedKnots(), 0.0);
}

TEST(RmcResponse, AValidRmcWithoutAWholePositionIsRefusedLikeAWarning) {
  for (const char* position : {",,,", "4807.038,N,,", ",,01131.000,E", "4807.038,N,01131.000,w"}) {
    SCOPED_TRACE(position);
    RmcResponse rmc;
    TrackPoint point;
    const std::string text =
        Framed(std::string("GPRMC,123519,A,") + position + ",022.4,084.4,230394,003.1,W");
    EXPECT_FALSE(rmc.ParseToPoint(NmeaSentence(text), point));
    EXPECT_EQ(rmc.Parsed().status, NmeaBoolean::kTrue);  // read, but no fix
    EXPECT_FALSE(point.TimeSet());
    EXPECT_FALSE(point.PositionSet());
    EXPECT_FALSE(point.RmcSeen());
    EXPECT_FALSE(point.LastWasRmc());
  }
}

TEST(GgaAndRmc, BothOfOneSecondCompleteThePointInEitherOrder) {
  for (bool ggaFirst : {true, false}) {
    GgaResponse gga;
    RmcResponse rmc;
    TrackPoint point;
    const NmeaSentence ggaSentence(Framed(kGga));
    const NmeaSentence rmcSentence(Framed(kRmc));
    if (ggaFirst) {
      ASSERT_TRUE(gga.ParseToPoint(ggaSentence, point));
      ASSERT_TRUE(rmc.ParseToPoint(rmcSentence, point));
      EXPECT_TRUE(point.LastWasRmc());
    } else {
      ASSERT_TRUE(rmc.ParseToPoint(rmcSentence, point));
      ASSERT_TRUE(gga.ParseToPoint(ggaSentence, point));
      EXPECT_FALSE(point.LastWasRmc());
    }
    EXPECT_TRUE(point.Complete()) << ggaFirst;
    EXPECT_EQ(point.GetFixTime(), FixTime::FromFields(2094, 3, 23, 12, 35, 19)) << ggaFirst;
    EXPECT_DOUBLE_EQ(point.AltitudeMsl(), 545.4);
    EXPECT_DOUBLE_EQ(point.SpeedKnots(), 22.4);
    EXPECT_EQ(point.SatellitesInUse(), 8);
  }
}

TEST(GsaResponse, CopiesTheTwelvePrnSlots) {
  GsaResponse gsa;
  TrackPoint point;
  point.SetLastWasRmc(true);
  ASSERT_TRUE(gsa.ParseToPoint(
      NmeaSentence(Framed("GPGSA,M,7,04,05,,09,12,,,24,,,,33,2.5,1.3,2.1")), point));
  EXPECT_EQ(point.SatellitePrns(), (TrackPoint::PrnList{4, 5, 0, 9, 12, 0, 0, 24, 0, 0, 0, 33}));
  EXPECT_FALSE(point.LastWasRmc());
  EXPECT_EQ(gsa.Parsed().selectionMode, GsaResponse::kManual);
  EXPECT_EQ(gsa.Parsed().fixType, 0);  // 7 is no fix type
  EXPECT_DOUBLE_EQ(gsa.Parsed().vdop, 2.1);
}

TEST(RmcResponse, TheNmea41FormKeepsModeAndNavigationalStatus) {
  RmcResponse rmc;
  TrackPoint point;
  ASSERT_TRUE(rmc.ParseToPoint(
      NmeaSentence(Framed("GNRMC,223745.00,A,3806.62964,N,12237.61382,W,0.040,,110720,,,D,V")),
      point));
  EXPECT_EQ(rmc.Parsed().mode, ModeIndicator::kDifferential);
  EXPECT_EQ(rmc.Parsed().navigationalStatus, NavigationalStatus::kNotValid);
  // A receiver that does not assess its navigational status sends V with
  // every fix: the fix still counts.
  EXPECT_TRUE(point.RmcSeen());
  EXPECT_NEAR(point.Position().LongitudeDegrees(), -(122 + 37.61382 / 60), 1e-9);

  ASSERT_TRUE(rmc.Parse(NmeaSentence(Framed(std::string(kRmc) + ",A,C"))));
  EXPECT_EQ(rmc.Parsed().navigationalStatus, NavigationalStatus::kCaution);
  ASSERT_TRUE(rmc.Parse(NmeaSentence(Framed(std::string(kRmc) + ",A,X"))));
  EXPECT_EQ(rmc.Parsed().navigationalStatus, NavigationalStatus::kUnset);
  ASSERT_TRUE(rmc.Parse(NmeaSentence(Framed(std::string(kRmc) + ",A"))));
  EXPECT_EQ(rmc.Parsed().navigationalStatus, NavigationalStatus::kUnset);
}

TEST(GsaResponse, TheNmea41FormKeepsTheSystemId) {
  GsaResponse gsa;
  TrackPoint point;
  ASSERT_TRUE(gsa.ParseToPoint(
      NmeaSentence(Framed("GNGSA,A,3,82,73,74,67,81,83,68,,,,,,0.99,0.54,0.83,2")), point));
  EXPECT_EQ(gsa.Parsed().systemId, 2);
  EXPECT_EQ(point.SatellitePrns(),
            (TrackPoint::PrnList{82, 73, 74, 67, 81, 83, 68, 0, 0, 0, 0, 0}));
  EXPECT_DOUBLE_EQ(gsa.Parsed().vdop, 0.83);
  ASSERT_TRUE(gsa.Parse(NmeaSentence(Framed("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"))));
  EXPECT_EQ(gsa.Parsed().systemId, -1);
}

struct GsvFormCase {
  const char* legend;
  const char* body;
  std::array<int32_t, 4> prns;  // the four slots of this sentence's number
  std::array<int32_t, 4> snrs;
  int32_t signalId;
};

class GsvForms : public ::testing::TestWithParam<GsvFormCase> {};

// A trailing signal id must never be read as the PRN of a further satellite.
TEST_P(GsvForms, TellTheSignalIdFromASatelliteGroup) {
  const GsvFormCase& c = GetParam();
  GsvResponse gsv;
  ASSERT_TRUE(gsv.Parse(NmeaSentence(Framed(c.body)))) << c.legend;
  const GsvResponse::Values& v = gsv.Parsed();
  const int first = (v.sentenceNumber - 1) * GsvResponse::kSatellitesPerSentence;
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(v.satellites[first + k].prn, c.prns[k]) << c.legend << " slot " << k;
    EXPECT_EQ(v.satellites[first + k].snr, c.snrs[k]) << c.legend << " slot " << k;
  }
  EXPECT_EQ(v.signalId, c.signalId) << c.legend;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GsvForms,
    ::testing::Values(
        GsvFormCase{"four satellites and signal id",
                    "GPGSV,3,1,10,05,01,047,,10,29,224,,13,22,062,23,15,40,094,,1",
                    {5, 10, 13, 15},
                    {-1, -1, 23, -1},
                    1},
        GsvFormCase{"two satellites and signal id",
                    "GLGSV,3,3,10,83,52,346,29,84,05,307,,1",
                    {83, 84, 0, 0},
                    {29, -1, -1, -1},
                    1},
        GsvFormCase{"one satellite and hex signal id",
                    "GBGSV,1,1,01,27,78,059,44,B",
                    {27, 0, 0, 0},
                    {44, -1, -1, -1},
                    11},
        GsvFormCase{"no satellite, signal id", "GPGSV,1,1,03,7", {0, 0, 0, 0}, {-1, -1, -1, -1}, 7},
        GsvFormCase{
            "empty signal id", "GPGSV,1,1,01,27,78,059,44,", {27, 0, 0, 0}, {44, -1, -1, -1}, -1},
        GsvFormCase{"four satellites, no signal id",
                    "GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45",
                    {1, 2, 12, 14},
                    {46, 41, 39, 45},
                    -1},
        GsvFormCase{"group cut after the elevation",
                    "GPGSV,1,1,02,01,40,083,46,02,17",
                    {1, 2, 0, 0},
                    {46, -1, -1, -1},
                    -1},
        GsvFormCase{"group cut after the azimuth",
                    "GPGSV,1,1,02,01,40,083,46,02,17,308",
                    {1, 2, 0, 0},
                    {46, -1, -1, -1},
                    -1}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(GsvResponse, StoresEachSentencesSatellitesInItsSlots) {
  GsvResponse gsv;
  TrackPoint point;
  ASSERT_TRUE(gsv.ParseToPoint(
      NmeaSentence(Framed("GPGSV,2,2,08,01,40,083,46,02,17,308,,12,07,344,39,14,22,228,45")),
      point));
  const GsvResponse::Values& v = gsv.Parsed();
  EXPECT_EQ(point.SatellitesInView(), 8);
  EXPECT_EQ(v.satellites[4].prn, 1);
  EXPECT_EQ(v.satellites[4].azimuth, 83);
  EXPECT_EQ(v.satellites[5].snr, -1);  // empty SNR: not tracked
  EXPECT_EQ(v.satellites[7].snr, 45);
  EXPECT_EQ(v.satellites[0].prn, 0);  // sentence 1 not seen

  // A total of 12 is read as 9; more than 12 satellites in view show 12.
  ASSERT_TRUE(gsv.ParseToPoint(NmeaSentence(Framed("GPGSV,12,3,16,31,40,083,46")), point));
  EXPECT_EQ(gsv.Parsed().totalSentences, 9);
  EXPECT_EQ(point.SatellitesInView(), 12);
  EXPECT_EQ(gsv.Parsed().satellites[8].prn, 31);
  EXPECT_EQ(gsv.Parsed().satellites[9].snr, -1);  // fields past the end

  // Sentence 4 is taken for its count, but its satellites have no slot.
  const auto before = gsv.Parsed().satellites;
  ASSERT_TRUE(gsv.ParseToPoint(
      NmeaSentence(Framed("GPGSV,4,4,16,29,46,133,43,44,45,171,45,46,45,191,43,51,43,156,43,1")),
      point));
  EXPECT_EQ(gsv.Parsed().sentenceNumber, 4);
  EXPECT_EQ(point.SatellitesInView(), 12);
  for (int slot = 0; slot < GsvResponse::kMaxSatellites; ++slot) {
    EXPECT_EQ(gsv.Parsed().satellites[slot].prn, before[slot].prn) << slot;
  }

  // A receiver that sees nothing says so.
  ASSERT_TRUE(gsv.ParseToPoint(NmeaSentence(Framed("GPGSV,1,1,00,1")), point));
  EXPECT_EQ(point.SatellitesInView(), 0);

  // A refused sentence changes nothing.
  EXPECT_FALSE(gsv.ParseToPoint(NmeaSentence(Framed("GPGSV,2,3,05,32,40,083,46")), point));
  EXPECT_EQ(gsv.Parsed().satellites[8].prn, 31);
  EXPECT_EQ(point.SatellitesInView(), 0);
}

TEST(GllAndVtg, ReadTheirFieldsAndEndAnRmcRun) {
  GllResponse gll;
  VtgResponse vtg;
  TrackPoint point;
  point.SetLastWasRmc(true);
  ASSERT_TRUE(
      gll.ParseToPoint(NmeaSentence(Framed("GPGLL,4916.45,N,12311.12,W,225444,A,E")), point));
  EXPECT_FALSE(point.LastWasRmc());
  EXPECT_FALSE(point.PositionSet());
  EXPECT_EQ(gll.Parsed().mode, ModeIndicator::kEstimated);
  EXPECT_EQ(gll.Parsed().status, NmeaBoolean::kTrue);
  EXPECT_EQ(gll.Parsed().time, FixTime::TimeOfDay(22, 54, 44));
  EXPECT_EQ(gll.PlainEnglish(),
            "At 10:54.44 PM UTC, you were at Latitude 49 16.45000 North, Longitude 123 11.12000 "
            "West.");

  point.SetLastWasRmc(true);
  ASSERT_TRUE(
      vtg.ParseToPoint(NmeaSentence(Framed("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A")), point));
  EXPECT_FALSE(point.LastWasRmc());
  EXPECT_DOUBLE_EQ(vtg.Parsed().trackTrue, 54.7);
  EXPECT_DOUBLE_EQ(vtg.Parsed().trackMagnetic, 34.4);
  EXPECT_DOUBLE_EQ(vtg.Parsed().speedKnots, 5.5);
  EXPECT_DOUBLE_EQ(vtg.Parsed().speedKmh, 10.2);
  EXPECT_EQ(vtg.Parsed().mode, ModeIndicator::kAutonomous);
  EXPECT_EQ(vtg.PlainEnglish(), "");
}

TEST(GpsResponses, ARefusedSentenceKeepsAndEmptyResetsTheParsedValues) {
  GgaResponse gga;
  ASSERT_TRUE(gga.Parse(NmeaSentence(Framed(kGga))));
  EXPECT_FALSE(gga.Parse(NmeaSentence(Framed("GPGGA,000000,,,,,1,03,,,,,,,,"))));
  EXPECT_EQ(gga.Parsed().satellitesInUse, 8);
  gga.Empty(2);
  EXPECT_EQ(gga.Parsed().satellitesInUse, 8);
  gga.Empty(1);
  EXPECT_EQ(gga.Parsed().satellitesInUse, 0);
  EXPECT_TRUE(gga.Parsed().time.IsTimeOnly());
  EXPECT_FALSE(gga.Parsed().position.IsValid());
  gga.Empty(7);  // not a value set: ignored

  GgaResponse copy;
  ASSERT_TRUE(gga.Parse(NmeaSentence(Framed(kGga))));
  EXPECT_TRUE(copy.CopyFrom(gga));
  EXPECT_EQ(copy.Parsed().satellitesInUse, 8);
  EXPECT_FALSE(copy.CopyFrom(RmcResponse()));
}

// A point as a complete epoch of the GGA and RMC examples leaves it.
TrackPoint ExamplePoint() {
  GgaResponse gga;
  RmcResponse rmc;
  TrackPoint point;
  gga.ParseToPoint(NmeaSentence(Framed(kGga)), point);
  rmc.ParseToPoint(NmeaSentence(Framed(kRmc)), point);
  return point;
}

TEST(GeneratedSentences, FollowTheFixedLayoutFromAPoint) {
  const TrackPoint point = ExamplePoint();
  NmeaSentence s;
  GgaResponse().WriteFromPoint(s, point);
  EXPECT_EQ(s.Text(), Framed("GPGGA,123519,4807.0380,N,01131.0000,E,1,12,1.0,545.4,M,46.9,M,,"));
  GllResponse().WriteFromPoint(s, point);
  EXPECT_EQ(s.Text(), Framed("GPGLL,4807.0380,N,01131.0000,E,123519,A"));
  GsaResponse().WriteFromPoint(s, point);
  EXPECT_EQ(s.Text(), Framed("GPGSA,A,3,1,2,3,4,5,6,7,8,9,10,11,12,1.0,1.0,1.0"));
  RmcResponse().WriteFromPoint(s, point);
  EXPECT_EQ(s.Text(), Framed("GPRMC,123519,A,4807.0380,N,01131.0000,E,22.4,84.4,230394,3.1,W"));
  VtgResponse().WriteFromPoint(s, point);
  EXPECT_EQ(s.Text(), Framed("GPVTG,84.4,T,,M,22.4,N,41.5,K"));
}

TEST(GeneratedSentences, GgaOfAPointWithoutAltitudeLeavesTheFieldsEmpty) {
  TrackPoint point = ExamplePoint();
  point.SetAltitudeMsl(TrackPoint::kUnknown);
  point.SetGeoidSeparation(TrackPoint::kUnknown);
  NmeaSentence s;
  GgaResponse().WriteFromPoint(s, point);
  EXPECT_EQ(s.Text(), Framed("GPGGA,123519,4807.0380,N,01131.0000,E,1,12,1.0,,M,,M,,"));
  EXPECT_TRUE(NmeaParser::IsGoodSentence(s.View(), kMaxWriteLineLength));
}

TEST(GeneratedSentences, VtgOfTenKnotsAtFortyFiveDegrees) {
  TrackPoint point;
  point.SetSpeedKnots(10.0);
  point.SetCourseDegrees(45.0);
  VtgResponse vtg;
  NmeaSentence s;
  ASSERT_TRUE(vtg.WriteFromPoint(s, point));
  EXPECT_EQ(s.Text(), "$GPVTG,45.0,T,,M,10.0,N,18.5,K*5C\r\n");
  EXPECT_DOUBLE_EQ(vtg.Generated().speedKmh, 18.52);
  EXPECT_EQ(vtg.Parsed().speedKnots, 0.0);  // writing leaves the parsed set alone
}

TEST(GeneratedSentences, ReadBackIntoTheSamePoint) {
  const TrackPoint point = ExamplePoint();
  GgaResponse gga;
  RmcResponse rmc;
  NmeaParser parser;
  parser.AddResponse(gga);
  parser.AddResponse(rmc);
  parser.SortResponses();
  NmeaSentence s;
  TrackPoint back;
  gga.WriteFromPoint(s, point);
  ASSERT_EQ(parser.Dispatch(s.View(), back), NmeaParser::Outcome::kAccepted);
  rmc.WriteFromPoint(s, point);
  ASSERT_EQ(parser.Dispatch(s.View(), back), NmeaParser::Outcome::kAccepted);
  EXPECT_TRUE(back.Complete());
  EXPECT_EQ(back.GetFixTime(), point.GetFixTime());
  EXPECT_EQ(back.Position(), point.Position());
  EXPECT_EQ(back.SpeedKnots(), point.SpeedKnots());
  EXPECT_EQ(back.AltitudeMsl(), point.AltitudeMsl());
  EXPECT_EQ(back.SatellitesInUse(), 12);
}

// Elevation and azimuth offset of the first satellite, read back from the
// first of the three generated lines.
struct Sky {
  int elevation;
  int azimuth;
};

Sky NextSky(GsvResponse& gsv) {
  NmeaSentence text;
  gsv.WriteFromPoint(text, TrackPoint());
  NmeaParser parser;
  EXPECT_TRUE(parser.IsGoodLines(text.View(), kMaxWriteLineLength));
  const std::string& all = text.Text();
  size_t start = 0;
  int lines = 0;
  for (size_t end; (end = all.find('\n', start)) != std::string::npos; start = end + 1, ++lines) {
    NmeaSentence line(all.substr(start, end + 1 - start));
    EXPECT_TRUE(NmeaParser::IsGoodSentence(line.View(), kMaxWriteLineLength));
    EXPECT_EQ(line.IsChecksumBad(), NmeaBoolean::kFalse);
    EXPECT_EQ(line.GetDataFieldCount(), 19);
    EXPECT_EQ(line.GetInteger(2), lines + 1);
    EXPECT_EQ(line.GetField(7), "40");
  }
  EXPECT_EQ(lines, 3);
  return Sky{gsv.Generated().satellites[0].elevation, gsv.Generated().satellites[0].azimuth};
}

TEST(GeneratedSentences, GsvShowsASkyThatBouncesBetweenItsBounds) {
  GsvResponse gsv;
  NmeaSentence first;
  gsv.WriteFromPoint(first, TrackPoint());
  // Both counters start at 0 going down, so the first cycle only turns them.
  EXPECT_EQ(first.View().substr(0, first.View().find('\r')),
            "$GPGSV,3,1,12,1,,,40,2,,30,40,3,,60,40,4,,90,40*70");
  EXPECT_EQ(gsv.Generated().satellites[11].azimuth, 330);

  int lowestElevation = 100, highestElevation = -1, highestAzimuth = -1;
  Sky previous{0, 0};
  for (int cycle = 0; cycle < 400; ++cycle) {
    const Sky sky = NextSky(gsv);
    EXPECT_LE(std::abs(sky.elevation - previous.elevation), 1);
    lowestElevation = std::min(lowestElevation, sky.elevation);
    highestElevation = std::max(highestElevation, sky.elevation);
    highestAzimuth = std::max(highestAzimuth, sky.azimuth);
    previous = sky;
  }
  EXPECT_EQ(highestElevation, 89);
  EXPECT_EQ(lowestElevation, 1);
  EXPECT_EQ(highestAzimuth, 29);
}

TEST(GpsResponses, BadInputNeverCrashes) {
  std::string nul("$GPGGA,1\0,2*00\r\n", 16);
  std::string longLine = "$GPGSV," + std::string(100000, '9') + "*00\r\n";
  std::string manyFields = "$GPGSV" + std::string(5000, ',') + "*00\r\n";
  const std::string inputs[] = {"",
                                "$",
                                "$*",
                                "$*\r\n",
                                "*",
                                nul,
                                longLine,
                                manyFields,
                                "$GPRMC,\xff\xfe\x80,A*",
                                Framed("GPGSV,3,3,99,,,,,,,,,,,,,,,,"),
                                Framed("GPGSV,-1,-1,-1"),
                                Framed("GPRMC,99999999,A,1e308,N,-1e308,E,nan,inf,999999,,W"),
                                Framed("GPGGA,,,,,,1,,,,,,,,")};
  for (const std::string& text : inputs) {
    for (const char* mnemonic : {"GGA", "GLL", "GSA", "GSV", "RMC", "VTG"}) {
      auto response = MakeResponse(mnemonic);
      TrackPoint point;
      NmeaSentence sentence(text);
      response->ParseToPoint(sentence, point);
      response->Parse(sentence);
      response->PlainEnglish();
    }
  }
}

}  // namespace
}  // namespace orv
