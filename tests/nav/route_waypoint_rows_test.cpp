#include "nav/route_waypoint_rows.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "nav/geodesy.h"
#include "nav/list_column_layout.h"
#include "navigation_database_fixture.h"

namespace orv {
namespace {

// Distances along the equator: A-B one degree of longitude, B-C two degrees.
const std::map<std::string, LatLong, std::less<>> kPositions = {
    {"A", At(0.0, 0.0)}, {"B", At(0.0, 1.0)}, {"B2", At(0.0, 1.0)}, {"C", At(0.0, 3.0)}};

std::optional<LatLong> Lookup(std::string_view name) {
  const auto found = kPositions.find(name);
  if (found == kPositions.end()) return std::nullopt;
  return found->second;
}

std::string Nm(double nauticalMiles) {
  return LegDistanceText(nauticalMiles, LegDistanceUnit::kNauticalMiles);
}

TEST(RouteWaypointRowsTest, LegFiguresSumsAndEmptyCells) {
  const double ab = GeoDistance(0.0, 0.0, 0.0, 1.0);
  const double bc = GeoDistance(0.0, 1.0, 0.0, 3.0);
  ASSERT_NEAR(ab, 60.0, 0.2);  // a plausible degree, so the sums below mean something

  const RouteWaypointsView view = BuildRouteWaypointsView(
      Route("TRIP", {"A", "B", "B2", "GONE", "C", "C"}), Lookup, LegDistanceUnit::kNauticalMiles);
  EXPECT_EQ(view.title, "Waypoints of 'TRIP' route");
  EXPECT_EQ(view.beginToEnd, "A to C");
  EXPECT_EQ(view.totalDistance, "Total Distance: " + Nm(ab));

  const std::vector<RouteWaypointRow> expected = {
      {"1", "A", "", "", "", Nm(ab)},
      {"2", "B", "90.00\xC2\xB0", Nm(ab), Nm(ab), "0.000nmi"},
      {"3", "B2", "Unknown", "0.000nmi", Nm(ab), "0.000nmi"},
      {"4", "GONE", "", "", "", ""},
      {"5", "C", "", "", "", ""},
      {"6", "C", "Unknown", "0.000nmi", Nm(ab), ""},
  };
  ASSERT_EQ(view.rows.size(), expected.size());
  for (size_t k = 0; k < expected.size(); ++k) {
    const RouteWaypointRow& row = view.rows[k];
    EXPECT_EQ(row.number, expected[k].number) << k;
    EXPECT_EQ(row.waypointName, expected[k].waypointName) << k;
    EXPECT_EQ(row.desiredTrack, expected[k].desiredTrack) << k;
    EXPECT_EQ(row.legDistance, expected[k].legDistance) << k;
    EXPECT_EQ(row.distanceFromBegin, expected[k].distanceFromBegin) << k;
    EXPECT_EQ(row.distanceToEnd, expected[k].distanceToEnd) << k;
  }

  const RouteWaypointsView whole =
      BuildRouteWaypointsView(Route("T", {"C", "B", "A"}), Lookup, LegDistanceUnit::kNauticalMiles);
  EXPECT_EQ(whole.rows[0].distanceToEnd, Nm(ab + bc));
  EXPECT_EQ(whole.rows[1].desiredTrack, "270.00\xC2\xB0");
  EXPECT_EQ(whole.rows[1].distanceToEnd, Nm(ab));
  EXPECT_EQ(whole.rows[2].distanceFromBegin, Nm(bc + ab));
}

TEST(RouteWaypointRowsTest, EmptyRouteAndUnits) {
  const RouteWaypointsView empty =
      BuildRouteWaypointsView(Route("NONE", {}), Lookup, LegDistanceUnit::kKilometers);
  EXPECT_EQ(empty.beginToEnd, "Begin to End");
  EXPECT_EQ(empty.totalDistance, "Total Distance: 0.000km");
  EXPECT_TRUE(empty.rows.empty());

  struct Case {
    LegDistanceUnit unit;
    double nauticalMiles;
    const char* text;
  };
  const Case cases[] = {
      {LegDistanceUnit::kKilometers, 10.0, "18.520km"},
      {LegDistanceUnit::kStatuteMiles, 10.0, "11.508mi"},
      {LegDistanceUnit::kNauticalMiles, 1234.5675, "1234.568nmi"},
  };
  for (const Case& row : cases) EXPECT_EQ(LegDistanceText(row.nauticalMiles, row.unit), row.text);
}

TEST(ListColumnLayoutTest, DefaultsScaleWithDpiAndStoredWidthsWin) {
  MemorySettingsStore settings;
  EXPECT_EQ(LoadColumnWidths(NavigationList::kRouteWaypointList, 96, nullptr),
            (std::vector<int>{45, 90, 90, 90, 90, 90}));
  EXPECT_EQ(LoadColumnWidths(NavigationList::kWaypointList, 192, &settings),
            (std::vector<int>{180, 180, 180, 200}));
  EXPECT_EQ(DefaultColumnWidth(45, 131), 61);   // 61.41 rounds down
  EXPECT_EQ(DefaultColumnWidth(90, 131), 123);  // 122.81 rounds up

  const int widths[] = {70, 150};
  StoreColumnWidths(NavigationList::kRouteList, widths, &settings);
  EXPECT_EQ(
      settings.ReadDword(
          SettingsHive::kCurrentUser,
          "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\ListLayouts\\RouteList",
          "PlaceToStoreColumnWidth"),
      150u);
  EXPECT_EQ(LoadColumnWidths(NavigationList::kRouteList, 192, &settings),
            (std::vector<int>{70, 150}));
  EXPECT_EQ(ListColumns(NavigationList::kRouteWaypointList)[5].valueName,
            "DistanceToTheBeginColumnWidth");
  EXPECT_EQ(RouteWithoutWaypointsText("R1"), "The route 'R1' does not have wps");
}

}  // namespace
}  // namespace orv
