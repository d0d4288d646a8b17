#include "app/display_time.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>

namespace orv {
namespace {

struct SpanCase {
  const char* legend;
  std::int64_t seconds;
  const char* expected;
};

void PrintTo(const SpanCase& c, std::ostream* os) {
  *os << c.legend;
}

constexpr SpanCase kSpanCases[] = {
    {"zero", 0, "0, 00:00:00"},
    {"one of each", 86400 + 3600 + 60 + 1, "1, 01:01:01"},
    {"last second of a day", 86399, "0, 23:59:59"},
    {"days are not padded or capped", 123 * 86400 + 45296, "123, 12:34:56"},
    {"negative keeps its sign in front", -5, "-0, 00:00:05"},
    {"negative over a day", -(2 * 86400 + 3 * 3600 + 4 * 60 + 5), "-2, 03:04:05"},
    {"most negative value", std::numeric_limits<std::int64_t>::min(), "-106751991167300, 15:30:08"},
    {"largest value", std::numeric_limits<std::int64_t>::max(), "106751991167300, 15:30:07"},
};

class TimeSpanTextTest : public ::testing::TestWithParam<SpanCase> {};

TEST_P(TimeSpanTextTest, ShowsDaysThenClock) {
  EXPECT_EQ(TimeSpanText(GetParam().seconds), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Spans, TimeSpanTextTest, ::testing::ValuesIn(kSpanCases));

struct PointTimeCase {
  const char* legend;
  CalendarFields time;
  const char* expected;
};

void PrintTo(const PointTimeCase& c, std::ostream* os) {
  *os << c.legend;
}

constexpr PointTimeCase kPointTimeCases[] = {
    {"ordinary", {2010, 1, 2, 3, 4, 5}, "Sat, Jan 02, 2010 - 03:04:05"},
    {"date not yet known", {1999, 1, 1, 12, 0, 0}, "Fri, Jan 01, 1999 - 12:00:00"},
    {"leap day", {2024, 2, 29, 23, 59, 59}, "Thu, Feb 29, 2024 - 23:59:59"},
    {"century without leap day", {2100, 3, 1, 0, 0, 0}, "Mon, Mar 01, 2100 - 00:00:00"},
    {"last month", {2023, 12, 31, 8, 30, 0}, "Sun, Dec 31, 2023 - 08:30:00"},
    {"before 1970", {1969, 7, 20, 20, 17, 40}, "Sun, Jul 20, 1969 - 20:17:40"},
    {"31 February rolls into March", {2023, 2, 31, 10, 0, 0}, "Fri, Mar 03, 2023 - 10:00:00"},
    {"second 60 rolls into the next day",
     {2016, 12, 31, 23, 59, 60},
     "Sun, Jan 01, 2017 - 00:00:00"},
    {"month 13 rolls into the next year", {2020, 13, 1, 0, 0, 0}, "Fri, Jan 01, 2021 - 00:00:00"},
    {"month 0 and day 0 roll back", {2020, 0, 0, 0, 0, 0}, "Sat, Nov 30, 2019 - 00:00:00"},
    {"negative hour rolls back", {2020, 3, 1, -1, 0, 0}, "Sat, Feb 29, 2020 - 23:00:00"},
};

class PointTimeTextTest : public ::testing::TestWithParam<PointTimeCase> {};

TEST_P(PointTimeTextTest, UsesEnglishNames) {
  EXPECT_EQ(PointTimeText(GetParam().time), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(PointTimes, PointTimeTextTest, ::testing::ValuesIn(kPointTimeCases));

TEST(PointTimeText, ExtremeFieldsDoNotOverflow) {
  constexpr int kMax = std::numeric_limits<int>::max();
  constexpr int kMin = std::numeric_limits<int>::min();
  EXPECT_FALSE(PointTimeText({kMax, kMax, kMax, kMax, kMax, kMax}).empty());
  EXPECT_FALSE(PointTimeText({kMin, kMin, kMin, kMin, kMin, kMin}).empty());
}

}  // namespace
}  // namespace orv
