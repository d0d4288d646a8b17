#include "app/speed_class.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace orv {
namespace {

TEST(SpeedClassTest, TableIsOrderedAndDistinct) {
  const auto& table = SpeedClasses();
  std::set<std::string_view> ids;
  for (size_t row = 0; row < table.size(); ++row) {
    SCOPED_TRACE(row);
    EXPECT_TRUE(ids.insert(table[row].style_id).second);
    if (row > 0) {
      EXPECT_GT(table[row].upper_bound_knots, table[row - 1].upper_bound_knots);
    }
  }
}

TEST(SpeedClassTest, RowsAndColourText) {
  struct Case {
    size_t row;
    std::string_view style_id;
    unsigned bound;
    const char* color;
  };
  // The colour word keeps red in the low byte; the text must come out as
  // alpha, blue, green, red, so a swapped byte order shows in every row here.
  const Case cases[] = {
      {0, "0-5_kmh", 3, "ff8c0000"},
      {1, "6-10_kmh", 5, "ffb43c00"},
      {8, "71-80_kmh", 43, "ff00d250"},
      {14, "131-140_kmh", 76, "ff0014be"},
      {20, "191-200_kmh", 108, "ff000082"},
      {21, "201-300_kmh", 162, "ff000078"},
      {28, "901-1000_kmh_and_more", 534, "ff000032"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    const SpeedClass& speed_class = SpeedClasses()[c.row];
    EXPECT_EQ(speed_class.style_id, c.style_id);
    EXPECT_EQ(speed_class.upper_bound_knots, c.bound);
    EXPECT_EQ(KmlColorText(speed_class), c.color);
  }
}

TEST(SpeedClassTest, MapAndKmlRulesDifferOnlyAtExactBounds) {
  struct Case {
    const char* legend;
    double knots;
    size_t map_row;
    size_t kml_row;
  };
  const Case cases[] = {
      {"standing", 0.0, 0, 0},
      {"negative speed", -1.0, 0, 0},
      {"exactly the first bound", 3.0, 1, 0},
      {"just above the first bound", 3.01, 1, 1},
      {"exactly the second bound", 5.0, 2, 1},
      {"between bounds", 40.0, 8, 8},
      {"exactly the bound of row 27", 486.0, 28, 27},
      {"just above the bound of row 27", 487.0, 28, 28},
      {"exactly the last bound", 534.0, 28, 28},
      {"above every bound", 600.0, 28, 28},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    EXPECT_EQ(SpeedClassForMap(c.knots), c.map_row);
    EXPECT_EQ(SpeedClassForKml(c.knots), c.kml_row);
  }
}

TEST(SpeedClassTest, NanSpeedHasNoKmlRow) {
  EXPECT_EQ(SpeedClassForKml(std::nan("")), std::nullopt);
  // The map never fails: a speed no bound exceeds falls into the last row.
  EXPECT_EQ(SpeedClassForMap(std::nan("")), kSpeedClassCount - 1);
}

}  // namespace
}  // namespace orv
