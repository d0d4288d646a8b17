#include "app/display_stats_page.h"

#include <gtest/gtest.h>

#include <vector>

namespace orv {
namespace {

using enum DisplayField;

std::vector<DisplayField> Rows(int page_index, int rows_per_page) {
  const auto rows = StatsPageRows(page_index, rows_per_page);
  return {rows.begin(), rows.end()};
}

TEST(StatsPage, LayoutHoldsTheTwentyFourRowsInOrder) {
  const std::vector<DisplayField> expected = {
      kTrip,          kTripFromBegin, kTripToEnd, kBlank,       kSpeed,      kMaxSpeed,
      kAverageSpeed,  kBlank,         kTrack,     kBlank,       kAltitude,   kMaxAltitude,
      kMinAltitude,   kBlank,         kLatitude,  kLongitude,   kBlank,      kPointTime,
      kTimeFromBegin, kTimeToEnd,     kBlank,     kElapsedTime, kMovingTime, kStoppedTime,
  };
  const auto layout = StatsPageLayout();
  EXPECT_EQ(std::vector<DisplayField>(layout.begin(), layout.end()), expected);
}

TEST(StatsPage, TitleCountsFromOne) {
  EXPECT_EQ(StatsPageTitle(1), "Track Statistics 1");
}

struct PageCountCase {
  int rows_per_page;
  int pages;
};

TEST(StatsPage, PageCountRoundsUp) {
  constexpr PageCountCase kCases[] = {{24, 1}, {100, 1}, {12, 2}, {10, 3},
                                      {7, 4},  {1, 24},  {0, 0},  {-3, 0}};
  for (const PageCountCase& c : kCases) {
    EXPECT_EQ(StatsPageCount(c.rows_per_page), c.pages) << c.rows_per_page << " rows";
  }
}

TEST(StatsPage, PagesSplitTheLayoutWithoutGapsOrOverlap) {
  for (int rows_per_page : {1, 5, 7, 10, 24, 30}) {
    std::vector<DisplayField> joined;
    for (int page = 0; page < StatsPageCount(rows_per_page); ++page) {
      const auto rows = Rows(page, rows_per_page);
      EXPECT_LE(static_cast<int>(rows.size()), rows_per_page);
      EXPECT_FALSE(rows.empty());
      joined.insert(joined.end(), rows.begin(), rows.end());
    }
    const auto layout = StatsPageLayout();
    EXPECT_EQ(joined, std::vector<DisplayField>(layout.begin(), layout.end()))
        << rows_per_page << " rows";
  }
}

TEST(StatsPage, PagesOfTenRows) {
  EXPECT_EQ(Rows(0, 10).front(), kTrip);
  EXPECT_EQ(Rows(1, 10).front(), kAltitude);
  EXPECT_EQ(Rows(2, 10),
            (std::vector<DisplayField>{kBlank, kElapsedTime, kMovingTime, kStoppedTime}));
}

TEST(StatsPage, PagesOutsideTheCountAreEmpty) {
  EXPECT_TRUE(Rows(-1, 10).empty());
  EXPECT_TRUE(Rows(3, 10).empty());
  EXPECT_TRUE(Rows(0, 0).empty());
  EXPECT_TRUE(Rows(1, 24).empty());
}

struct TurnCase {
  const char* legend;
  int page;
  int step;
  int rows_per_page;
  int expected;
};

TEST(StatsPage, TurningStaysWithinThePages) {
  constexpr TurnCase kCases[] = {
      {"next", 0, +1, 10, 1},
      {"previous", 2, -1, 10, 1},
      {"next on the last page", 2, +1, 10, 2},
      {"previous on the first page", 0, -1, 10, 0},
      {"one page only", 0, +1, 24, 0},
      {"page left over from a smaller screen", 5, -1, 12, 1},
      {"no pages", 3, +1, 0, 0},
  };
  for (const TurnCase& c : kCases) {
    EXPECT_EQ(TurnStatsPage(c.page, c.step, c.rows_per_page), c.expected) << c.legend;
  }
}

}  // namespace
}  // namespace orv
