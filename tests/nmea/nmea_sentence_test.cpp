#include "nmea/nmea_sentence.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace orv {
namespace {

constexpr char kGll[] = "$GPGLL,4916.45,N,12311.12,W,225444,A*31\r\n";

TEST(NmeaSentenceFields, NumbersFieldsFromTheAddressAndCountsTheStarAsSeparator) {
  NmeaSentence s(kGll);
  EXPECT_EQ(s.GetField(0), "GPGLL");
  EXPECT_EQ(s.GetField(1), "4916.45");
  EXPECT_EQ(s.GetField(4), "W");
  EXPECT_EQ(s.GetField(6), "A");
  EXPECT_EQ(s.GetField(7), "31\r\n");  // CR and LF do not end a field
  EXPECT_EQ(s.GetField(8), "");
  EXPECT_EQ(s.GetField(20), "");
  EXPECT_EQ(s.GetField(1000000), "");
  EXPECT_EQ(s.GetField(-1), "");
  EXPECT_EQ(s.GetDataFieldCount(), 6);
  EXPECT_EQ(s.GetChecksumFieldNumber(), 7);
}

TEST(NmeaSentenceFields, WithoutStarTheLastFieldCarriesCrLf) {
  NmeaSentence s("$GPRMC,a,,b\r\n");
  EXPECT_EQ(s.GetField(0), "GPRMC");
  EXPECT_EQ(s.GetField(2), "");
  EXPECT_EQ(s.GetField(3), "b\r\n");
  EXPECT_EQ(s.GetDataFieldCount(), 3);
  EXPECT_EQ(s.GetChecksumFieldNumber(), -1);
}

TEST(NmeaSentenceFields, NulEndsAFieldButNotTheText) {
  const std::string text("$GPXXX,ab\0cd,ef*00", 18);
  NmeaSentence s(text);
  EXPECT_EQ(s.GetField(1), "ab");
  EXPECT_EQ(s.GetField(2), "ef");
}

TEST(NmeaSentenceFields, TheFirstCharacterIsNeverExamined) {
  EXPECT_EQ(NmeaSentence(",A,B").GetField(0), "A");
  EXPECT_EQ(NmeaSentence("*A,B").GetDataFieldCount(), 1);
  EXPECT_EQ(NmeaSentence("$*12").GetField(0), "");
  EXPECT_EQ(NmeaSentence("$*12").GetField(1), "12");
  EXPECT_EQ(NmeaSentence("$").GetDataFieldCount(), 0);
  EXPECT_EQ(NmeaSentence("$").GetChecksumFieldNumber(), -1);
  EXPECT_EQ(NmeaSentence("").GetField(0), "");
  EXPECT_EQ(NmeaSentence("").ComputeChecksum(), 0);
  EXPECT_EQ(NmeaSentence("").IsChecksumBad(), NmeaBoolean::kUnset);
}

struct ChecksumCase {
  const char* legend;
  const char* text;
  NmeaBoolean expected;
};

class NmeaChecksum : public ::testing::TestWithParam<ChecksumCase> {};

TEST_P(NmeaChecksum, ReadsTheDigitsAfterTheStar) {
  EXPECT_EQ(NmeaSentence(GetParam().text).IsChecksumBad(), GetParam().expected)
      << GetParam().legend;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NmeaChecksum,
    ::testing::Values(
        ChecksumCase{"right", "$GPGLL,4916.45,N,12311.12,W,225444,A*31\r\n", NmeaBoolean::kFalse},
        ChecksumCase{"wrong", "$GPGLL,4916.45,N,12311.12,W,225444,A*32\r\n", NmeaBoolean::kTrue},
        ChecksumCase{"no line end", "$GPGLL,4916.45,N,12311.12,W,225444,A*31", NmeaBoolean::kFalse},
        ChecksumCase{"lower-case hex", "$GPVTG,45.0,T,,M,10.0,N,18.5,K*5c\r\n",
                     NmeaBoolean::kFalse},
        ChecksumCase{"star last", "$GPGLL,4916.45,N,12311.12,W,225444,A*", NmeaBoolean::kUnset},
        ChecksumCase{"star then CR LF", "$GPGLL,4916.45,N,12311.12,W,225444,A*\r\n",
                     NmeaBoolean::kTrue},
        ChecksumCase{"star then CR LF, sum 0", "$AA*\r\n", NmeaBoolean::kFalse},
        ChecksumCase{"no star", "$GPGLL,4916.45,N,12311.12,W,225444,A\r\n", NmeaBoolean::kUnset},
        ChecksumCase{"0x prefix passes", "$GPGLL,4916.45,N,12311.12,W,225444,A*0x31\r\n",
                     NmeaBoolean::kFalse},
        ChecksumCase{"three digits compared in full",
                     "$GPGLL,4916.45,N,12311.12,W,225444,A*131\r\n", NmeaBoolean::kTrue},
        ChecksumCase{"star right after dollar", "$*00\r\n", NmeaBoolean::kFalse},
        ChecksumCase{"overlong digits", "$AA*FFFFFFFFFFFFFFFFFFFFFFFFFFFFFF\r\n",
                     NmeaBoolean::kTrue}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(NmeaSentenceChecksum, StopsAtStarCrOrLf) {
  EXPECT_EQ(NmeaSentence("$GPGLL,4916.45,N,12311.12,W,225444,A*99").ComputeChecksum(), 0x31);
  EXPECT_EQ(NmeaSentence("$GPGLL,4916.45,N,12311.12,W,225444,A\r\nXYZ").ComputeChecksum(), 0x31);
  // Bytes above 127 take part like any other byte.
  EXPECT_EQ(NmeaSentence("$\xff\x01").ComputeChecksum(), 0xfe);
}

TEST(NmeaSentenceReaders, NumbersFollowTheCLibraryRulesWhateverTheLocale) {
  NmeaSentence s("$GPXXX,  -12.5e1,+7,12abc,,0x1A,-,3.25 ,nan,1e999,1e-999*00\r\n");
  EXPECT_DOUBLE_EQ(s.GetDouble(1), -125.0);
  EXPECT_DOUBLE_EQ(s.GetDouble(2), 7.0);
  EXPECT_DOUBLE_EQ(s.GetDouble(3), 12.0);
  EXPECT_DOUBLE_EQ(s.GetDouble(4), 0.0);
  EXPECT_DOUBLE_EQ(s.GetDouble(5), 26.0);
  EXPECT_DOUBLE_EQ(s.GetDouble(6), 0.0);
  EXPECT_DOUBLE_EQ(s.GetDouble(7), 3.25);
  EXPECT_TRUE(std::isnan(s.GetDouble(8)));
  EXPECT_TRUE(std::isinf(s.GetDouble(9)));
  EXPECT_DOUBLE_EQ(s.GetDouble(10), 0.0);
  EXPECT_DOUBLE_EQ(s.GetDouble(99), 0.0);
  EXPECT_EQ(s.GetInteger(1), -12);
  EXPECT_EQ(s.GetInteger(2), 7);
  EXPECT_EQ(s.GetInteger(3), 12);
  EXPECT_EQ(s.GetInteger(5), 0);
  EXPECT_EQ(s.GetInteger(6), 0);
  EXPECT_EQ(NmeaSentence("$X,99999999999999*").GetInteger(1), 2147483647);
  EXPECT_EQ(NmeaSentence("$X,-99999999999999*").GetInteger(1), -2147483647 - 1);
}

TEST(NmeaSentenceReaders, LettersMatchTheWholeFieldExactly) {
  NmeaSentence s("$GPXXX,A,V,a,A ,N,S,E,W,L,R,B,P,D,|,{,D,Z,*00\r\n");
  EXPECT_EQ(s.GetBoolean(1), NmeaBoolean::kTrue);
  EXPECT_EQ(s.GetBoolean(2), NmeaBoolean::kFalse);
  EXPECT_EQ(s.GetBoolean(3), NmeaBoolean::kUnset);
  EXPECT_EQ(s.GetBoolean(4), NmeaBoolean::kUnset);
  EXPECT_EQ(s.GetNorthSouth(5), NorthSouth::kNorth);
  EXPECT_EQ(s.GetNorthSouth(6), NorthSouth::kSouth);
  EXPECT_EQ(s.GetNorthSouth(7), NorthSouth::kUnset);
  EXPECT_EQ(s.GetEastWest(7), EastWest::kEast);
  EXPECT_EQ(s.GetEastWest(8), EastWest::kWest);
  EXPECT_EQ(s.GetLeftRight(9), LeftRight::kLeft);
  EXPECT_EQ(s.GetLeftRight(10), LeftRight::kRight);
  EXPECT_EQ(s.GetReference(11), Reference::kBottomTrack);
  EXPECT_EQ(s.GetReference(12), Reference::kPositioningSystem);
  EXPECT_EQ(s.GetReference(1), Reference::kUnset);
  EXPECT_EQ(s.ReadTransducerType(13), TransducerType::kDepth);
  EXPECT_EQ(s.ReadTransducerType(17), TransducerType::kUnset);
  EXPECT_EQ(s.GetCommunicationsMode(14), CommunicationsMode::kFacsimile);
  EXPECT_EQ(s.GetCommunicationsMode(15), CommunicationsMode::kMorseKey);
  EXPECT_EQ(s.GetCommunicationsMode(1), CommunicationsMode::kUnset);
  EXPECT_EQ(s.GetModeIndicator(16), ModeIndicator::kDifferential);
  EXPECT_EQ(s.GetModeIndicator(17), ModeIndicator::kUnset);
  EXPECT_EQ(s.GetModeIndicator(18), ModeIndicator::kUnset);
  EXPECT_EQ(s.GetModeIndicator(50), ModeIndicator::kUnset);
}

struct TimeCase {
  const char* legend;
  const char* text;
  int dateField;
  FixTime expected;
};

class NmeaGetTime : public ::testing::TestWithParam<TimeCase> {};

TEST_P(NmeaGetTime, BuildsTheCalendarTime) {
  NmeaSentence s(GetParam().text);
  FixTime time = FixTime::FromFields(2000, 6, 6, 6, 6, 6);
  std::string text;
  EXPECT_TRUE(s.GetTime(1, GetParam().dateField, time, text));
  EXPECT_EQ(time, GetParam().expected)
      << GetParam().legend << ": " << time.Format("%Y-%m-%d %H:%M:%S");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NmeaGetTime,
    ::testing::Values(
        TimeCase{"with date", "$X,123519.00,230394*", 2,
                 FixTime::FromFields(2094, 3, 23, 12, 35, 19)},
        TimeCase{"no date field", "$X,123519.00,230394*", 0, FixTime::TimeOfDay(12, 35, 19)},
        TimeCase{"date of 5 characters", "$X,123519,23039*", 2, FixTime::TimeOfDay(12, 35, 19)},
        TimeCase{"date of 7 characters", "$X,123519,2303941*", 2, FixTime::TimeOfDay(12, 35, 19)},
        TimeCase{"hour 25", "$X,253519*", 0, FixTime::TimeOfDay(0, 35, 19)},
        TimeCase{"minute 60, second 99", "$X,126099*", 0, FixTime::TimeOfDay(12, 0, 0)},
        TimeCase{"month 13, day 0", "$X,120000,001399*", 2,
                 FixTime::FromFields(2099, 1, 1, 12, 0, 0)},
        TimeCase{"day 32", "$X,120000,320124*", 2, FixTime::FromFields(2024, 1, 1, 12, 0, 0)},
        TimeCase{"31 February rolls into March (leap year)", "$X,120000,310224*", 2,
                 FixTime::FromFields(2024, 3, 2, 12, 0, 0)},
        TimeCase{"31 April is 1 May", "$X,235959,310425*", 2,
                 FixTime::FromFields(2025, 5, 1, 23, 59, 59)},
        TimeCase{"garbage digits", "$X,ab:cd:,xxxxxx*", 2,
                 FixTime::FromFields(2000, 1, 1, 0, 0, 0)}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(NmeaGetTimeShort, AShortTimeFieldSetsOnlyTheText) {
  NmeaSentence s("$X,12351,230394*");
  const FixTime before = FixTime::FromFields(2001, 2, 3, 4, 5, 6);
  FixTime time = before;
  std::string text;
  EXPECT_FALSE(s.GetTime(1, 2, time, text));
  EXPECT_EQ(text, "12351");
  EXPECT_EQ(time, before);
}

TEST(NmeaSentenceAppend, ZerosLeaveEmptyFields) {
  NmeaSentence s("$GPVTG");
  s.Append(0.0);
  s.Append("T");
  s.Append(0.0);
  s.Append("M");
  s.Append(int32_t{0});
  s.Append("N");
  s.Append(uint32_t{0});
  s.Append("K");
  EXPECT_EQ(s.Text(), "$GPVTG,,T,,M,,N,,K");
  s.Finish();
  EXPECT_EQ(s.Text(), "$GPVTG,,T,,M,,N,,K*4E\r\n");
  EXPECT_EQ(s.IsChecksumBad(), NmeaBoolean::kFalse);
}

TEST(NmeaSentenceAppend, WritesEveryKindOfValue) {
  NmeaSentence s("$GPXXX");
  s.Append(18.52);
  s.Append(-0.04);
  s.Append(int32_t{-7});
  s.Append(uint32_t{4000000000u});
  s.Append(NmeaBoolean::kTrue);
  s.Append(NmeaBoolean::kFalse);
  s.Append(NmeaBoolean::kUnset);
  s.Append(NorthSouth::kSouth);
  s.Append(EastWest::kEast);
  s.Append(ModeIndicator::kAutonomous);
  s.Append(static_cast<ModeIndicator>('Z'));
  s.Append(TransducerType::kTemperature);
  s.Append(CommunicationsMode::kMorseKey);
  s.Append(FixTime::FromFields(2094, 3, 23, 2, 5, 9));
  s.Append(std::string("text"));
  EXPECT_EQ(s.Text(), "$GPXXX,18.5,-0.0,-7,4000000000,A,V,,S,E,A,,C,{,020509,text");
}

TEST(NmeaSentenceAppend, FinishWritesUpperCaseHexAndCrLf) {
  NmeaSentence s("$GPGLL,4916.45,N,12311.12,W,225444,A");
  s.Finish();
  EXPECT_EQ(s.Text(), kGll);
  NmeaSentence high("$\xff");
  high.Finish();
  EXPECT_EQ(high.Text(), "$\xff*FF\r\n");
}

// An assigned sentence is read from an index built in one pass, a sentence
// under construction by scanning; both must give the same answers.
TEST(NmeaSentenceReaders, IndexedAndScannedReadingsAgree) {
  const std::string texts[] = {
      "",
      "$",
      "$*",
      "$GPGLL,4916.45,N,12311.12,W,225444,A*31\r\n",
      "$GPGLL,4916.45,N,12311.12,W,225444,A\r\n",
      "$A*1*2,3*\r\n",
      "x,,*,\r,\n*",
      std::string("$A,b\0c,d*00\r\n", 14),
      "$" + std::string(39, ',') + "*7F\r\n",
      "$" + std::string(40, ',') + "*7F\r\n",
      "$" + std::string(41, ',') + "*7F\r\n",
  };
  for (const std::string& text : texts) {
    const NmeaSentence indexed(text);
    NmeaSentence scanned;
    scanned.AppendRaw(text);
    for (int field = -1; field < 45; ++field) {
      EXPECT_EQ(indexed.GetField(field), scanned.GetField(field)) << text << " field " << field;
    }
    EXPECT_EQ(indexed.GetDataFieldCount(), scanned.GetDataFieldCount()) << text;
    EXPECT_EQ(indexed.GetChecksumFieldNumber(), scanned.GetChecksumFieldNumber()) << text;
    EXPECT_EQ(indexed.ComputeChecksum(), scanned.ComputeChecksum()) << text;
    EXPECT_EQ(indexed.IsChecksumBad(), scanned.IsChecksumBad()) << text;
  }
}

TEST(NmeaSentenceBadInput, LongAndBinaryTextNeverReadsOutOfBounds) {
  std::string text(100000, ',');
  text[0] = '$';
  text += "\xff\x80*";
  NmeaSentence s(text);
  EXPECT_EQ(s.GetDataFieldCount(), 99999);
  EXPECT_EQ(s.GetField(99999), "\xff\x80");
  EXPECT_EQ(s.GetField(100000), "");
  EXPECT_EQ(s.IsChecksumBad(), NmeaBoolean::kUnset);
  FixTime time;
  std::string timeText;
  EXPECT_FALSE(s.GetTime(5, 6, time, timeText));
}

}  // namespace
}  // namespace orv
