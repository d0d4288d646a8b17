#include "app/guidance_texts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace orv {
namespace {

constexpr auto kKm = DistanceUnits::kKilometers;
constexpr auto kMi = DistanceUnits::kStatuteMiles;
constexpr auto kNmi = DistanceUnits::kNauticalMiles;

TEST(GuidanceTextsTest, Distances) {
  struct Case {
    const char* legend;
    double nm;
    DistanceUnits units;
    const char* dst;
    const char* erd;
  };
  const Case cases[] = {
      {"0.9 km", 0.9 / 1.852, kKm, "900 m", "0.9 km"},
      {"1 km", 1.0 / 1.852, kKm, "1.0 km", "1.0 km"},
      {"5 km", 5.0 / 1.852, kKm, "5.0 km", "5.0 km"},
      {"0.9 nmi", 0.9, kNmi, "5469 ft", "0.9 nmi"},
      {"12.34 nmi", 12.34, kNmi, "12.3 nmi", "12.3 nmi"},
      {"half a statute mile", 0.5 / 1.150779448, kMi, "2640 ft", "0.5 mi"},
      {"12.34 statute miles", 12.34 / 1.150779448, kMi, "12.3 mi", "12.3 mi"},
      {"standing on it", 0.0, kKm, "0 m", "0.0 km"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    EXPECT_EQ(GuidanceDistanceText(c.nm, c.units), c.dst);
    EXPECT_EQ(RouteDistanceText(c.nm, c.units), c.erd);
  }
}

TEST(GuidanceTextsTest, EnrouteTime) {
  EXPECT_EQ(EnrouteTimeText((26 * 60 + 5) * 60), "1, 02:05");
  EXPECT_EQ(EnrouteTimeText(20 * 60), "0, 00:20");
  EXPECT_EQ(EnrouteTimeText(59), "0, 00:00");
  EXPECT_EQ(EnrouteTimeText(int64_t{400} * 86400 + 3600), "400, 01:00");
}

TEST(GuidanceTextsTest, Bearing) {
  EXPECT_EQ(GuidanceBearingText(0.0), "0.0\xC2\xB0");
  EXPECT_EQ(GuidanceBearingText(359.96), "360.0\xC2\xB0");
  EXPECT_EQ(GuidanceBearingText(-1.0), "Unknown");
}

// Runs a test in a fixed time zone with daylight saving and restores the process's own.
class LocalTimeZone : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* tz = std::getenv("TZ")) saved_ = tz;
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
  }
  void TearDown() override {
    if (saved_) {
      setenv("TZ", saved_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  // Seconds since 1970 of a local wall-clock time.
  static std::int64_t Local(int year, int month, int day, int hour, int minute) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&fields));
  }

 private:
  std::optional<std::string> saved_;
};

TEST_F(LocalTimeZone, ArrivalTime) {
  struct Case {
    const char* legend;
    std::int64_t now;
    std::int64_t ete_minutes;
    const char* expected;
  };
  const Case cases[] = {
      {"later today", Local(2026, 6, 10, 10, 0), 65, "11:05"},
      {"23:50 plus 20 minutes", Local(2026, 6, 10, 23, 50), 20, "tomrw at 00:10"},
      {"over the year end", Local(2026, 12, 31, 23, 50), 20, "tomrw at 00:10"},
      {"the day after tomorrow", Local(2026, 2, 28, 23, 50), 24 * 60 + 60, "Mar 02, 00:50"},
      {"into summer time", Local(2026, 3, 28, 23, 0), 5 * 60, "tomrw at 05:00"},
      {"out of summer time", Local(2026, 10, 24, 23, 0), 5 * 60, "tomrw at 03:00"},
      {"months away", Local(2026, 1, 15, 8, 0), 200 * 24 * 60, "Aug 03, 09:00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    EXPECT_EQ(ArrivalTimeText(c.now + c.ete_minutes * 60, c.now), c.expected);
  }
}

TEST_F(LocalTimeZone, TextsFollowTheEstimate) {
  const std::int64_t now = Local(2026, 6, 10, 23, 50);
  GuidanceFigures figures;
  figures.bearing = 12.34;
  figures.distance_nm = 0.9 / 1.852;
  figures.route_distance_nm = 5.0 / 1.852;
  figures.following = {{"A", "first", 0.9 / 1.852}, {"B", "gone", std::nullopt}};

  figures.estimate = ArrivalEstimate::kEternity;
  GuidanceTexts texts = MakeGuidanceTexts(figures, kKm, now);
  EXPECT_EQ(texts.bearing, "12.3\xC2\xB0");
  EXPECT_EQ(texts.distance, "900 m");
  EXPECT_EQ(texts.enroute_time, "eternity");
  EXPECT_EQ(texts.arrival_time, "remote future");
  EXPECT_EQ(texts.route_distance, "5.0 km");
  ASSERT_EQ(texts.following.size(), 2u);
  EXPECT_EQ(texts.following[0].distance, "900 m");
  EXPECT_EQ(texts.following[1].name, "B");
  EXPECT_EQ(texts.following[1].distance, "");

  figures.estimate = ArrivalEstimate::kTimed;
  figures.ete_seconds = 20 * 60;
  figures.eta_seconds = now + figures.ete_seconds;
  texts = MakeGuidanceTexts(figures, kKm, now);
  EXPECT_EQ(texts.enroute_time, "0, 00:20");
  EXPECT_EQ(texts.arrival_time, "tomrw at 00:10");

  figures.estimate = ArrivalEstimate::kAimAchieved;
  texts = MakeGuidanceTexts(figures, kKm, now);
  EXPECT_EQ(texts.enroute_time, "aim achieved");
  EXPECT_EQ(texts.arrival_time, "aim achieved");
  EXPECT_EQ(texts.route_distance, "aim achieved");
}

}  // namespace
}  // namespace orv
