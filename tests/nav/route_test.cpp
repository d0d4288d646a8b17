#include "nav/route.h"

#include <gtest/gtest.h>

#include <functional>

namespace orv {
namespace {

// A B C D, heading for C unless a case says otherwise.
Route FourEntries(int current = 2) {
  Route route("R", {"A", "B", "C", "D"});
  if (current >= 0) route.SetCurrentWaypointIndex(current);
  return route;
}

TEST(RouteCurrentWaypointTest, OnlyAnEntryOfTheRouteIsAccepted) {
  struct Case {
    const char* legend;
    int index;
    bool accepted;
    int current;
  };
  const Case cases[] = {
      {"first", 0, true, 0},  {"last", 3, true, 3},           {"one past the end", 4, false, 2},
      {"none", -1, false, 2}, {"far out", 1 << 30, false, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    Route route = FourEntries();
    EXPECT_EQ(route.SetCurrentWaypointIndex(c.index), c.accepted);
    EXPECT_EQ(route.CurrentWaypointIndex(), c.current);
  }
  Route empty("E", {});
  EXPECT_EQ(empty.CurrentWaypointIndex(), Route::kNoCurrentWaypoint);
  EXPECT_FALSE(empty.SetCurrentWaypointIndex(0));
  EXPECT_EQ(empty.CurrentWaypointIndex(), Route::kNoCurrentWaypoint);
}

TEST(RouteCurrentWaypointTest, StaysOnItsEntryAsEntriesGo) {
  struct Case {
    const char* legend;
    int current;
    std::function<void(Route&)> edit;
    int expected;
  };
  const Case cases[] = {
      {"an earlier entry removed", 2, [](Route& r) { r.RemoveAt(0); }, 1},
      {"a later entry removed", 2, [](Route& r) { r.RemoveAt(3); }, 2},
      {"the last, current entry removed", 3, [](Route& r) { r.RemoveAt(3); }, 2},
      {"shorter list", 3, [](Route& r) { r.SetWaypointNames({"A"}); }, 0},
      {"emptied", 1, [](Route& r) { r.SetWaypointNames({}); }, Route::kNoCurrentWaypoint},
      {"none stays none", -1, [](Route& r) { r.RemoveAt(0); }, Route::kNoCurrentWaypoint},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    Route route = FourEntries(c.current);
    c.edit(route);
    EXPECT_EQ(route.CurrentWaypointIndex(), c.expected);
  }
}

}  // namespace
}  // namespace orv
