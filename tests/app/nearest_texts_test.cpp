#include "app/nearest_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nav/geodesy.h"

namespace orv {
namespace {

TEST(NearestTextsTest, DistanceInTheDisplayUnitWithoutItsName) {
  EXPECT_EQ(NearestDistanceText(0.0, DistanceUnits::kKilometers), "0.000");
  EXPECT_EQ(NearestDistanceText(1.0, DistanceUnits::kKilometers), "1.852");
  EXPECT_EQ(NearestDistanceText(1.0, DistanceUnits::kStatuteMiles), "1.151");
  EXPECT_EQ(NearestDistanceText(12.3456, DistanceUnits::kNauticalMiles), "12.346");
}

TEST(NearestTextsTest, RowsCarryNameDistanceBearingAndBits) {
  const GeoPoint here{46.0, 8.0};
  const auto toward = [&](double azimuth) {
    GeoPoint p;
    GeoDestination(here.latitude, here.longitude, 1.0, azimuth, p.latitude, p.longitude);
    return p;
  };
  const std::vector<GeoPoint> points = {toward(190.0), here, toward(350.0)};
  const std::vector<std::string> names = {"south", "here", "north"};
  const auto rows = FindNearestWaypoints(GuidanceFix{here, 4.0, 10.0}, points, kAllNearest);
  const auto texts = MakeNearestRowTexts(rows, names, DistanceUnits::kNauticalMiles);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].name, "here");
  EXPECT_EQ(texts[0].distance, "0.000");
  EXPECT_EQ(texts[0].bearing, "Unknown");
  EXPECT_FALSE(texts[0].ahead || texts[0].behind);
  EXPECT_EQ(texts[1].name, "south");
  EXPECT_EQ(texts[1].bearing, "Behind - 190.0\xC2\xB0");
  EXPECT_TRUE(texts[1].behind);
  EXPECT_FALSE(texts[1].ahead);
  EXPECT_EQ(texts[2].name, "north");
  EXPECT_EQ(texts[2].distance, "1.000");
  EXPECT_EQ(texts[2].bearing, "Ahead - 350.0\xC2\xB0");
  EXPECT_TRUE(texts[2].ahead);
}

}  // namespace
}  // namespace orv
