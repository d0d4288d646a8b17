#include "nmea/proprietary_lines.h"

#include <gtest/gtest.h>

#include <string>

#include "nmea/nmea_parser.h"
#include "nmea/nmea_sentence.h"

namespace orv {
namespace {

void ExpectReadableLine(const std::string& line) {
  SCOPED_TRACE(line);
  EXPECT_EQ(NmeaSentence(line).IsChecksumBad(), NmeaBoolean::kFalse);
  EXPECT_TRUE(NmeaParser::IsGoodSentence(line, kMaxWriteLineLength));
}

TEST(ProprietaryLinesTest, FixedLines) {
  EXPECT_EQ(ProductLine(), "$POVRPVD,Orvelle Recorder 7 Beta,v7.9.85*78\r\n");
  EXPECT_EQ(PlaceholderLine(), "$POVR000,,*2B\r\n");
  EXPECT_EQ(MakerLine().rfind("$POVRCRT,", 0), 0u);
  ExpectReadableLine(ProductLine());
  ExpectReadableLine(MakerLine());
  ExpectReadableLine(PlaceholderLine());
  for (std::string_view text : kDatabaseWarningTexts) {
    const auto line = WarningLine(text);
    ASSERT_TRUE(line.has_value()) << text;
    EXPECT_EQ(line->rfind("$POVRWRG,WARNING!,", 0), 0u);
    ExpectReadableLine(*line);
  }
}

TEST(ProprietaryLinesTest, SourceLine) {
  EXPECT_EQ(SourceLine("COM4:"), "$POVRSRC,COM4:*3A\r\n");
  EXPECT_EQ(SourceLine("BT-GPS", 1), "$POVRSRC,BT-GPS,Channel:1*6E\r\n");
  EXPECT_EQ(SourceLine("COM4:", 0), SourceLine("COM4:"));
}

TEST(ProprietaryLinesTest, HeadLinesBelow78CharactersOnly) {
  // "$POVRSRC," + name + "*" is 10 characters plus the name;
  // "$POVRWRG,WARNING!," + text + "*" is 19 plus the text.
  struct Case {
    const char* legend;
    std::optional<std::string> line;
    bool written;
  };
  const Case cases[] = {
      {"source line of 77", SourceLine(std::string(67, 's')), true},
      {"source line of 78", SourceLine(std::string(68, 's')), false},
      {"warning line of 77", WarningLine(std::string(58, 'w')), true},
      {"warning line of 78", WarningLine(std::string(59, 'w')), false},
      {"channel pushes it to 78", SourceLine(std::string(58, 's'), 12), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    ASSERT_EQ(c.line.has_value(), c.written);
    if (c.written) {
      EXPECT_EQ(c.line->size(), 77u + 4u);  // checksum digits and CR LF
      ExpectReadableLine(*c.line);
    }
  }
}

TEST(ProprietaryLinesTest, MalformedHeadTextIsNotWritten) {
  EXPECT_EQ(FinishHeadLine("POVRXYZ,a*"), std::nullopt);
  EXPECT_EQ(FinishHeadLine("$POVRXYZ,a"), std::nullopt);
  EXPECT_EQ(FinishHeadLine(""), std::nullopt);
  EXPECT_EQ(FinishHeadLine("$*"), "$*00\r\n");
}

}  // namespace
}  // namespace orv
