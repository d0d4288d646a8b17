#include "nmea/nmea_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "nmea/nmea_response.h"
#include "nmea/track_point.h"

namespace orv {
namespace {

// Records what reached it; accepts sentences whose field 1 is "ok".
class RecordingResponse : public NmeaResponse {
 public:
  explicit RecordingResponse(const char* mnemonic) : NmeaResponse(mnemonic) {}
  bool Parse(const NmeaSentence& sentence) override {
    ++plainCalls;
    return sentence.FieldView(1) == "ok";
  }
  bool ParseToPoint(const NmeaSentence& sentence, TrackPoint&) override {
    ++pointCalls;
    return sentence.FieldView(1) == "ok";
  }
  int plainCalls = 0;
  int pointCalls = 0;
};

class NmeaParserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (RecordingResponse* r : {&vtg, &gga, &wpd, &rmc}) parser.AddResponse(*r);
    parser.SortResponses();
  }
  RecordingResponse vtg{"VTG"}, gga{"GGA"}, wpd{"WPD"}, rmc{"RMC"};
  NmeaParser parser;
  TrackPoint point;
};

TEST_F(NmeaParserTest, SortsTheTableByMnemonic) {
  ASSERT_EQ(parser.ResponseCount(), 4u);
  EXPECT_EQ(parser.ResponseAt(0).Mnemonic(), "GGA");
  EXPECT_EQ(parser.ResponseAt(1).Mnemonic(), "RMC");
  EXPECT_EQ(parser.ResponseAt(2).Mnemonic(), "VTG");
  EXPECT_EQ(parser.ResponseAt(3).Mnemonic(), "WPD");
  EXPECT_EQ(gga.Owner(), &parser);
  EXPECT_EQ(parser.FindResponse("RMC"), &rmc);
  EXPECT_EQ(parser.FindResponse("GSA"), nullptr);
  EXPECT_EQ(parser.FindResponse("ZZZ"), nullptr);
  EXPECT_EQ(parser.FindResponse(""), nullptr);
}

TEST_F(NmeaParserTest, DispatchesByTheLastThreeLettersOfTheAddress) {
  EXPECT_EQ(parser.Dispatch("$GNGGA,ok*00\r\n", point), NmeaParser::Outcome::kAccepted);
  EXPECT_EQ(parser.Dispatch("$GPGGA,no*00\r\n", point), NmeaParser::Outcome::kRejected);
  EXPECT_EQ(gga.pointCalls, 2);
  EXPECT_EQ(parser.LastResponse(), &gga);
  EXPECT_EQ(parser.Dispatch("$POVRWPD,ok*00\r\n"), NmeaParser::Outcome::kAccepted);
  EXPECT_EQ(wpd.plainCalls, 1);
  EXPECT_EQ(parser.Dispatch("$GPGSA,ok*00\r\n", point), NmeaParser::Outcome::kIgnored);
  EXPECT_EQ(parser.Dispatch("$GA,ok*00\r\n", point), NmeaParser::Outcome::kIgnored);
  EXPECT_EQ(parser.Dispatch("$GPRMC,ok*00\n", point), NmeaParser::Outcome::kIgnored);
  EXPECT_EQ(parser.LastResponse(), nullptr);
  EXPECT_EQ(rmc.pointCalls, 0);
}

TEST_F(NmeaParserTest, BadInputIsIgnoredWithoutReadingPastTheText) {
  for (std::string text :
       {std::string(), std::string("$"), std::string("\r\n"), std::string("$\r\n"),
        std::string("$*\r\n"), std::string("$GPGGA\0,ok*00\r\n", 15), std::string(5000, '$')}) {
    parser.Dispatch(text, point);
    parser.Dispatch(text);
  }
  EXPECT_EQ(gga.pointCalls, 1);  // the NUL line is framed, and GGA refuses it
}

std::string LineOfLength(size_t length) {
  std::string line = "$GPXXX,";
  line.append(length - line.size() - 2, 'x');
  return line + "\r\n";
}

struct LimitedFramingCase {
  const char* legend;
  std::string text;
  size_t limit;
  bool good;
};

class NmeaFraming : public ::testing::TestWithParam<LimitedFramingCase> {};

TEST_P(NmeaFraming, ChecksLengthDollarAndCrLf) {
  const LimitedFramingCase& c = GetParam();
  EXPECT_EQ(NmeaParser::IsGoodSentence(c.text, c.limit), c.good) << c.legend;
}

// Reading takes the long sentences of today's receivers; writing keeps to
// the standard's 82 characters.
INSTANTIATE_TEST_SUITE_P(
    Cases, NmeaFraming,
    ::testing::Values(
        LimitedFramingCase{"read 83 bytes", LineOfLength(83), kMaxReadLineLength, true},
        LimitedFramingCase{"read 128 bytes", LineOfLength(128), kMaxReadLineLength, true},
        LimitedFramingCase{"read 129 bytes", LineOfLength(129), kMaxReadLineLength, false},
        LimitedFramingCase{"write 82 bytes", LineOfLength(82), kMaxWriteLineLength, true},
        LimitedFramingCase{"write 83 bytes", LineOfLength(83), kMaxWriteLineLength, false},
        LimitedFramingCase{"LF only", "$GPGGA,1\n", kMaxReadLineLength, false},
        LimitedFramingCase{"CR only", "$GPGGA,1\r", kMaxReadLineLength, false},
        LimitedFramingCase{"no dollar", "GPGGA,1\r\n", kMaxReadLineLength, false},
        LimitedFramingCase{"leading blank", " $GPGGA,1\r\n", kMaxReadLineLength, false},
        LimitedFramingCase{"minimal", "$\r\n", kMaxReadLineLength, true},
        LimitedFramingCase{"empty", "", kMaxReadLineLength, false},
        LimitedFramingCase{"two bytes", "\r\n", kMaxReadLineLength, false}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(NmeaFraming, TheDefaultLimitIsTheReadingOne) {
  EXPECT_TRUE(NmeaParser::IsGoodSentence(LineOfLength(kMaxReadLineLength)));
  EXPECT_FALSE(NmeaParser::IsGoodSentence(LineOfLength(kMaxReadLineLength + 1)));
}

TEST(NmeaFramingLines, EveryLineMustFitButOnlyTheWholeIsCheckedForDollarAndCrLf) {
  NmeaParser parser;
  EXPECT_TRUE(parser.IsGoodLines(LineOfLength(128) + LineOfLength(128)));
  EXPECT_FALSE(parser.IsGoodLines(LineOfLength(128) + LineOfLength(129)));
  EXPECT_FALSE(parser.IsGoodLines(LineOfLength(129) + LineOfLength(10)));
  EXPECT_TRUE(parser.IsGoodLines(LineOfLength(82) + LineOfLength(82), kMaxWriteLineLength));
  EXPECT_FALSE(parser.IsGoodLines(LineOfLength(82) + LineOfLength(83), kMaxWriteLineLength));
  EXPECT_FALSE(parser.IsGoodLines(LineOfLength(83) + LineOfLength(10), kMaxWriteLineLength));
  EXPECT_TRUE(parser.IsGoodLines("$A\r\nno dollar here\r\n"));
  EXPECT_FALSE(parser.IsGoodLines("$A\r\n$B"));
  EXPECT_FALSE(parser.IsGoodLines(""));
}

}  // namespace
}  // namespace orv
