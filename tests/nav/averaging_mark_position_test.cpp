#include <gtest/gtest.h>

#include "nav/mark_position.h"
#include "nav/navigation_database.h"
#include "nav/navigation_setting_keys.h"
#include "platform/scripted_prompter.h"
#include "platform/settings_store_memory.h"

namespace orv {
namespace {

constexpr const char* kPort = "/dev/ttyUSB0";
constexpr const char* kMarkTime = "Mon, Dec 07, 2026 - 03:35:50";
const GeoPoint kSpot{47.5, 8.25};

GeoPoint MetresNorth(const GeoPoint& from, double metres) {
  return {from.latitude + metres / 111200.0, from.longitude};
}

class MarkPositionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    database_.SetPrompter(&prompter_);
    database_.SetSettings(&settings_);
    SetStartNumber(kWaypointNamingKey, 7);
    SetStartNumber(kRouteNamingKey, 3);
  }
  void SetStartNumber(std::string_view key, std::uint32_t number) {
    settings_.WriteDword(SettingsHive::kCurrentUser, key, kStartNumberValue, number);
  }
  std::optional<std::uint32_t> Read(std::string_view key, std::string_view name) {
    return settings_.ReadDword(SettingsHive::kCurrentUser, key, name);
  }
  void AddRoute(const char* name, const char* place) {
    Route route(name, {});
    route.SetPlaceToStore(place);
    ASSERT_TRUE(database_.AppendRoute(route));
  }

  NavigationDatabase database_;
  ScriptedPrompter prompter_;
  MemorySettingsStore settings_;
};

TEST_F(MarkPositionTest, FirstKnownPositionFillsNameAndSourceRoute) {
  MarkPositionSession session(database_, &settings_, kPort);
  session.Update(std::nullopt);
  EXPECT_FALSE(session.CanStore());
  EXPECT_EQ(database_.RouteCount(), 0);

  session.Update(kSpot);
  EXPECT_TRUE(session.CanStore());
  EXPECT_EQ(session.Name(), "WPL_0007");
  EXPECT_EQ(session.SourceRouteName(), "RTE_0003");
  const auto route = database_.RouteAt(database_.FindRoute("RTE_0003"));
  ASSERT_TRUE(route.has_value());
  EXPECT_EQ(route->PlaceToStore(), kPort);
  EXPECT_EQ(route->Size(), 0u);
  EXPECT_EQ(Read(kRouteNamingKey, kStartNumberValue), 4u);

  session.Update(std::nullopt);
  EXPECT_FALSE(session.CanStore()) << "OK is disabled again while the position is unknown";
  session.Update(kSpot);
  EXPECT_EQ(database_.RouteCount(), 1) << "filled only once";
}

TEST_F(MarkPositionTest, NoSourceRouteWhenOneAlreadyStoresToTheSource) {
  AddRoute("Mine", kPort);
  MarkPositionSession session(database_, &settings_, kPort);
  session.Update(kSpot);
  EXPECT_EQ(session.SourceRouteName(), "");
  EXPECT_EQ(database_.RouteCount(), 1);
  EXPECT_EQ(Read(kRouteNamingKey, kStartNumberValue), 3u);
}

TEST_F(MarkPositionTest, OkWithoutRouteLeavesNoEmptySourceRoute) {
  MarkPositionSession session(database_, &settings_, kPort);
  session.Update(kSpot);
  session.Update(MetresNorth(kSpot, 2.0));  // standing still: not sampled
  ASSERT_EQ(session.Samples().size(), 1u);
  ASSERT_TRUE(session.Store(kMarkTime));

  EXPECT_EQ(database_.RouteCount(), 0);
  EXPECT_EQ(Read(kRouteNamingKey, kStartNumberValue), 3u);
  EXPECT_EQ(Read(kWaypointNamingKey, kStartNumberValue), 8u);
  const int index = database_.FindWaypoint("WPL_0007");
  ASSERT_GE(index, 0);
  const auto waypoint = database_.WaypointAt(index);
  EXPECT_EQ(waypoint->Description(), "Mon; Dec 07; 2026 - 03:35:50");
  EXPECT_EQ(waypoint->PlaceToStore(), kPort);
  EXPECT_NEAR(waypoint->Position().LatitudeDegrees(), kSpot.latitude, 1e-9);
  EXPECT_NEAR(waypoint->Position().LongitudeDegrees(), kSpot.longitude, 1e-9);
  EXPECT_EQ(Read(kGeneralSettingsKey, kWaypointLastUsedValue), static_cast<std::uint32_t>(index));
  EXPECT_EQ(Read(kGeneralSettingsKey, kAveragingValue), 1u);
}

TEST_F(MarkPositionTest, AddedToTheSourceRouteKeepsIt) {
  MarkPositionSession session(database_, &settings_, kPort);
  session.Update(kSpot);
  session.SelectRoute(database_.FindRoute("RTE_0003"));
  ASSERT_TRUE(session.Store(kMarkTime));
  const int route_index = database_.FindRoute("RTE_0003");
  const auto route = database_.RouteAt(route_index);
  ASSERT_TRUE(route.has_value());
  EXPECT_EQ(route->WaypointNames(), (std::vector<std::string>{"WPL_0007"}));
  EXPECT_EQ(database_.LastUsedRoute(), route_index);
  EXPECT_EQ(Read(kRouteNamingKey, kStartNumberValue), 4u);
}

TEST_F(MarkPositionTest, AddedToAnotherRouteDropsTheEmptySourceRoute) {
  AddRoute("Trip", "self-created");
  MarkPositionSession session(database_, &settings_, kPort);
  session.Update(kSpot);
  ASSERT_EQ(database_.RouteCount(), 2);
  session.SelectRoute(0);
  ASSERT_TRUE(session.Store(kMarkTime));
  EXPECT_EQ(database_.RouteCount(), 1);
  EXPECT_EQ(database_.RouteAt(0)->WaypointNames(), (std::vector<std::string>{"WPL_0007"}));
  EXPECT_EQ(database_.LastUsedRoute(), 0);
  EXPECT_EQ(Read(kRouteNamingKey, kStartNumberValue), 3u);
}

TEST_F(MarkPositionTest, StartNumbersWrapAtBothEnds) {
  SetStartNumber(kRouteNamingKey, 9999);
  SetStartNumber(kWaypointNamingKey, 9999);
  MarkPositionSession session(database_, &settings_, kPort);
  session.Update(kSpot);
  EXPECT_EQ(session.SourceRouteName(), "RTE_9999");
  EXPECT_EQ(Read(kRouteNamingKey, kStartNumberValue), 0u);
  ASSERT_TRUE(session.Store(kMarkTime));
  EXPECT_EQ(Read(kRouteNamingKey, kStartNumberValue), 9999u);
  EXPECT_EQ(Read(kWaypointNamingKey, kStartNumberValue), 0u);
}

TEST_F(MarkPositionTest, AveragedPositionIsStored) {
  MarkPositionSession session(database_, &settings_, kPort);
  const GeoPoint a = kSpot;
  const GeoPoint b = MetresNorth(kSpot, 100.0);
  const GeoPoint c = MetresNorth(kSpot, 400.0);
  for (const GeoPoint& p : {a, b, c}) session.Update(p);
  ASSERT_EQ(session.Samples().size(), 3u);
  const auto stored = session.PositionToStore();
  ASSERT_TRUE(stored.has_value());
  // A, B and C average to the midpoint of A and B; C is left out.
  EXPECT_NEAR(stored->latitude, MetresNorth(kSpot, 50.0).latitude, 1e-6);
}

TEST_F(MarkPositionTest, SwitchingAveragingOffAsksAndDiscardsTheSamples) {
  MarkPositionSession session(database_, &settings_, kPort);
  session.Update(kSpot);
  session.Update(MetresNorth(kSpot, 100.0));
  ASSERT_EQ(session.Samples().size(), 2u);

  prompter_.Script(PromptAnswer::kNo);
  session.ToggleAveraging(&prompter_);
  EXPECT_TRUE(session.IsAveraging());
  EXPECT_EQ(session.Samples().size(), 2u);

  prompter_.Script(PromptAnswer::kYes);
  session.ToggleAveraging(&prompter_);
  EXPECT_FALSE(session.IsAveraging());
  EXPECT_TRUE(session.Samples().empty());
  const auto asked = prompter_.Asked();
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[1].text, kAveragingQuestion);
  EXPECT_EQ(asked[1].caption, "Question");
  EXPECT_EQ(asked[1].icon, PromptIcon::kQuestion);
  EXPECT_EQ(asked[1].buttons, PromptButtons::kYesNo);
  EXPECT_EQ(asked[1].defaultButton, 1);

  // Off: the current position is stored, and nothing is sampled.
  session.Update(MetresNorth(kSpot, 300.0));
  EXPECT_TRUE(session.Samples().empty());
  EXPECT_NEAR(session.PositionToStore()->latitude, MetresNorth(kSpot, 300.0).latitude, 1e-12);

  session.ToggleAveraging(&prompter_);
  EXPECT_TRUE(session.IsAveraging());
  EXPECT_EQ(prompter_.Asked().size(), 2u) << "switching on asks nothing";
  session.Update(MetresNorth(kSpot, 300.0));
  EXPECT_EQ(session.Samples().size(), 1u) << "sampling starts afresh";

  session.ToggleAveraging(&prompter_);  // the script is empty: the default No
  session.Cancel();
  EXPECT_EQ(Read(kGeneralSettingsKey, kAveragingValue), 1u);
  EXPECT_EQ(database_.WaypointCount(), 0);
}

TEST_F(MarkPositionTest, AveragingFlagIsReadAndWritten) {
  settings_.WriteDword(SettingsHive::kCurrentUser, kGeneralSettingsKey, kAveragingValue, 0);
  MarkPositionSession session(database_, &settings_, kPort);
  EXPECT_FALSE(session.IsAveraging());
  session.Update(kSpot);
  session.Update(MetresNorth(kSpot, 100.0));
  EXPECT_TRUE(session.Samples().empty());
  ASSERT_TRUE(session.Store(kMarkTime));
  const auto stored = database_.WaypointAt(database_.FindWaypoint("WPL_0007"));
  ASSERT_TRUE(stored.has_value());
  EXPECT_NEAR(stored->Position().LatitudeDegrees(), MetresNorth(kSpot, 100.0).latitude, 1e-9)
      << "without averaging the current position is stored";
  EXPECT_EQ(Read(kGeneralSettingsKey, kAveragingValue), 0u);
  EXPECT_FALSE(session.Store(kMarkTime)) << "a closed session stores nothing more";
}

TEST_F(MarkPositionTest, ManOverboardTargetsTheMark) {
  EXPECT_FALSE(MarkManOverboard(database_, false, kSpot, kPort, kMarkTime));
  EXPECT_FALSE(MarkManOverboard(database_, true, std::nullopt, kPort, kMarkTime));
  EXPECT_EQ(database_.WaypointCount(), 0);

  LatLong elsewhere;
  elsewhere.SetDegrees(1.0, 2.0);
  ASSERT_TRUE(database_.AppendWaypoint(Waypoint("Home", elsewhere)));
  ASSERT_TRUE(MarkManOverboard(database_, true, kSpot, kPort, kMarkTime));
  EXPECT_EQ(database_.FindWaypoint("ManOverboard"), 1);
  EXPECT_EQ(database_.Target(), (ActiveTarget{TargetKind::kWaypoint, 1}));
  EXPECT_EQ(Read(kGeneralSettingsKey, kWaypointLastUsedValue), 1u);
  EXPECT_TRUE(prompter_.Asked().empty());

  // A second alarm elsewhere asks before it replaces the first.
  prompter_.Script(PromptAnswer::kYes);
  const GeoPoint later = MetresNorth(kSpot, 500.0);
  ASSERT_TRUE(MarkManOverboard(database_, true, later, kPort, kMarkTime));
  ASSERT_EQ(prompter_.Asked().size(), 1u);
  EXPECT_EQ(prompter_.Asked()[0].text,
            "A waypoint whit the same name 'ManOverboard' exists already!\n\nReplace?");
  EXPECT_EQ(database_.WaypointCount(), 2);
  const int index = database_.FindWaypoint("ManOverboard");
  EXPECT_EQ(database_.Target(), (ActiveTarget{TargetKind::kWaypoint, index}));
  EXPECT_NEAR(database_.WaypointAt(index)->Position().LatitudeDegrees(), later.latitude, 1e-9);

  // Refusing both questions keeps the first mark and changes no target.
  const ActiveTarget before = database_.Target();
  EXPECT_FALSE(MarkManOverboard(database_, true, kSpot, kPort, kMarkTime));
  EXPECT_EQ(database_.Target(), before);
}

TEST_F(MarkPositionTest, ManOverboardLeavesTheRouteBeingFollowed) {
  ASSERT_TRUE(database_.AppendWaypoint(Waypoint("Buoy", LatLong())));
  ASSERT_TRUE(database_.AppendRoute(Route("Trip", {"Buoy", "Buoy"})));
  database_.GoAlong(0);
  ASSERT_TRUE(database_.SelectNextRouteLeg());

  ASSERT_TRUE(MarkManOverboard(database_, true, kSpot, kPort, kMarkTime));
  EXPECT_EQ(database_.Target(), (ActiveTarget{TargetKind::kWaypoint, 1}));
  EXPECT_EQ(database_.RouteAt(0)->CurrentWaypointIndex(), Route::kNoCurrentWaypoint);
}

}  // namespace
}  // namespace orv
