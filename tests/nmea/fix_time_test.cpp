#include "nmea/fix_time.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(FixTime, DefaultIsTheTimeOnlySentinelAtMidnight) {
  const FixTime t;
  EXPECT_TRUE(t.IsTimeOnly());
  EXPECT_EQ(t, FixTime::FromFields(1999, 1, 1, 0, 0, 0));
  EXPECT_FALSE(FixTime::FromFields(1999, 1, 2, 0, 0, 0).IsTimeOnly());
  EXPECT_FALSE(FixTime::FromFields(2000, 1, 1, 0, 0, 0).IsTimeOnly());
}

struct RolloverCase {
  const char* legend;
  int year, month, day, hour, minute, second;
  const char* expected;
};

class FixTimeRollover : public ::testing::TestWithParam<RolloverCase> {};

TEST_P(FixTimeRollover, NormalisesAsMktimeDoes) {
  const RolloverCase& c = GetParam();
  EXPECT_EQ(FixTime::FromFields(c.year, c.month, c.day, c.hour, c.minute, c.second)
                .Format("%Y-%m-%d %H:%M:%S"),
            c.expected)
      << c.legend;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FixTimeRollover,
    ::testing::Values(RolloverCase{"in range", 2094, 3, 23, 12, 35, 19, "2094-03-23 12:35:19"},
                      RolloverCase{"31 Feb leap", 2024, 2, 31, 0, 0, 0, "2024-03-02 00:00:00"},
                      RolloverCase{"31 Feb common", 2023, 2, 31, 0, 0, 0, "2023-03-03 00:00:00"},
                      RolloverCase{"29 Feb 2100", 2100, 2, 29, 1, 2, 3, "2100-03-01 01:02:03"},
                      RolloverCase{"29 Feb 2000", 2000, 2, 29, 1, 2, 3, "2000-02-29 01:02:03"},
                      RolloverCase{"second 60", 1999, 12, 31, 23, 59, 60, "2000-01-01 00:00:00"},
                      RolloverCase{"month 13", 2020, 13, 1, 0, 0, 0, "2021-01-01 00:00:00"},
                      RolloverCase{"month 0", 2020, 0, 1, 0, 0, 0, "2019-12-01 00:00:00"},
                      RolloverCase{"day 0", 2020, 3, 0, 0, 0, 0, "2020-02-29 00:00:00"},
                      RolloverCase{"negative hour", 2020, 1, 1, -1, 0, 0, "2019-12-31 23:00:00"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(FixTime, ComparesFieldWiseAndCountsSecondsAsUtc) {
  const FixTime a = FixTime::FromFields(2024, 3, 2, 12, 0, 0);
  const FixTime b = FixTime::FromFields(2024, 3, 2, 12, 0, 1);
  EXPECT_LT(a, b);
  EXPECT_NE(a, b);
  EXPECT_LT(FixTime::TimeOfDay(23, 59, 59), FixTime::FromFields(2000, 1, 1, 0, 0, 0));
  EXPECT_EQ(FixTime::FromFields(1970, 1, 1, 0, 0, 0).SecondsSinceEpoch(), 0);
  EXPECT_EQ(FixTime::FromFields(2000, 3, 1, 0, 0, 0).SecondsSinceEpoch(), 951868800);
  EXPECT_EQ(FixTime::FromFields(1969, 12, 31, 23, 59, 59).SecondsSinceEpoch(), -1);
  EXPECT_EQ(b.SecondsSinceEpoch() - a.SecondsSinceEpoch(), 1);
  EXPECT_EQ(FixTime::FromSecondsSinceEpoch(b.SecondsSinceEpoch()), b);
  EXPECT_TRUE(a.HasSameTimeOfDay(FixTime::TimeOfDay(12, 0, 0)));
  EXPECT_FALSE(a.HasSameTimeOfDay(FixTime::TimeOfDay(12, 0, 1)));
}

TEST(FixTime, FormatsTheNmeaAndPlainEnglishPatterns) {
  const FixTime t = FixTime::FromFields(2094, 3, 23, 12, 35, 19);
  EXPECT_EQ(t.Format("%H%M%S"), "123519");
  EXPECT_EQ(t.Format("%d%m%y"), "230394");
  EXPECT_EQ(t.Format("%I:%M.%S %p"), "12:35.19 PM");
  EXPECT_EQ(FixTime::TimeOfDay(0, 5, 9).Format("%I:%M.%S %p"), "12:05.09 AM");
  EXPECT_EQ(FixTime::TimeOfDay(13, 0, 0).Format("%I %p %% %Q"), "01 PM % %Q");
  EXPECT_EQ(FixTime::FromFields(2005, 1, 2, 3, 4, 5).Format("%d%m%y"), "020105");
}

}  // namespace
}  // namespace orv
