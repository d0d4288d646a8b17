#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "navigation_database_fixture.h"

namespace orv {
namespace {

constexpr PromptAnswer kYes = PromptAnswer::kYes;
constexpr PromptAnswer kNo = PromptAnswer::kNo;

void ExpectDeleteQuestion(const Prompt& prompt, const std::string& text) {
  EXPECT_EQ(prompt.text, text);
  EXPECT_EQ(prompt.caption, "Question");
  EXPECT_EQ(prompt.icon, PromptIcon::kQuestion);
  EXPECT_EQ(prompt.buttons, PromptButtons::kYesNo);
  EXPECT_EQ(prompt.defaultButton, 1);
}

// Waypoints A B C D; routes R1 = A B A C, R2 = C D.
struct CommandFixture : DatabaseFixture {
  CommandFixture() {
    double latitude = 10.0;
    for (const char* name : {"A", "B", "C", "D"}) {
      database.AppendWaypoint(Waypoint(name, At(latitude, 20.0)));
      latitude += 1.0;
    }
    database.AppendRoute(Route("R1", {"A", "B", "A", "C"}));
    database.AppendRoute(Route("R2", {"C", "D"}));
    database.SetSaved(true);
  }
  std::vector<std::string> Entries(int route) const {
    return database.RouteAt(route)->WaypointNames();
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const Waypoint& waypoint : database.Contents().waypoints) {
      names.push_back(waypoint.Name());
    }
    return names;
  }
};

TEST(DeleteWaypointTest, YesRemovesItFromTheListAndEveryRoute) {
  CommandFixture fixture;
  fixture.database.SetLastUsedWaypoint(0, false);
  fixture.database.SetActiveTarget(TargetKind::kWaypoint, 0);
  fixture.prompter.Script(kYes);
  EXPECT_EQ(fixture.database.DeleteWaypoint(0), 0);
  ASSERT_EQ(fixture.prompter.Asked().size(), 1u);
  ExpectDeleteQuestion(fixture.prompter.Asked()[0],
                       "Are you sure you want to delete the 'A' waypoint from system?");
  EXPECT_EQ(fixture.Names(), (std::vector<std::string>{"B", "C", "D"}));
  EXPECT_EQ(fixture.Entries(0), (std::vector<std::string>{"B", "C"}));
  EXPECT_EQ(fixture.database.Target().kind, TargetKind::kNone);
  EXPECT_EQ(fixture.database.LastUsedWaypoint(), -1);
  EXPECT_EQ(fixture.Setting(kGeneralSettingsKey, "WaypointLastUsedIndex"), 0xFFFFFFFFu);
  EXPECT_FALSE(fixture.database.IsSaved());
  EXPECT_EQ(fixture.database.FindWaypoint("D"), 2);
}

TEST(DeleteWaypointTest, SelectionAndLaterIndicesFollowTheList) {
  struct Case {
    const char* legend;
    int deleted;
    PromptAnswer answer;
    std::optional<int> selection;
    int targetAfter;  // target was D (index 3)
  };
  const Case cases[] = {
      {"No", 1, kNo, std::nullopt, 3},
      {"Middle", 1, kYes, 1, 2},
      {"Last", 3, kYes, 2, -1},
  };
  for (const Case& row : cases) {
    CommandFixture fixture;
    fixture.database.SetActiveTarget(TargetKind::kWaypoint, 3);
    fixture.prompter.Script(row.answer);
    EXPECT_EQ(fixture.database.DeleteWaypoint(row.deleted), row.selection) << row.legend;
    EXPECT_EQ(fixture.database.Target().index, row.targetAfter) << row.legend;
    EXPECT_EQ(fixture.database.IsSaved(), row.answer == kNo) << row.legend;
  }
}

TEST(DeleteRouteTest, SecondQuestionDecidesAboutTheWaypoints) {
  struct Case {
    const char* legend;
    std::vector<PromptAnswer> answers;
    size_t questions;
    std::vector<std::string> routesLeft;
    std::vector<std::string> waypointsLeft;
    std::vector<std::string> otherRoute;
  };
  const Case cases[] = {
      {"No", {kNo}, 1, {"R1", "R2"}, {"A", "B", "C", "D"}, {"C", "D"}},
      {"RouteOnly", {kYes, kNo}, 2, {"R2"}, {"A", "B", "C", "D"}, {"C", "D"}},
      {"WithWaypoints", {kYes, kYes}, 2, {"R2"}, {"D"}, {"D"}},
  };
  for (const Case& row : cases) {
    CommandFixture fixture;
    for (PromptAnswer answer : row.answers) fixture.prompter.Script(answer);
    fixture.database.DeleteRoute(0);
    const std::vector<Prompt> asked = fixture.prompter.Asked();
    ASSERT_EQ(asked.size(), row.questions) << row.legend;
    ExpectDeleteQuestion(asked[0], "Are you sure you want to delete the 'R1' route from system?");
    if (asked.size() > 1) {
      ExpectDeleteQuestion(asked[1],
                           "Are the waypoints of the 'R1' route final to be deleted from system?");
    }
    std::vector<std::string> routes;
    for (const Route& route : fixture.database.Contents().routes) routes.push_back(route.Name());
    EXPECT_EQ(routes, row.routesLeft) << row.legend;
    EXPECT_EQ(fixture.Names(), row.waypointsLeft) << row.legend;
    EXPECT_EQ(fixture.database.RouteAt(fixture.database.FindRoute("R2"))->WaypointNames(),
              row.otherRoute)
        << row.legend;
  }
}

TEST(DeleteRouteEntryTest, RemovesOnePositionThenOffersTheSystemDelete) {
  struct Case {
    const char* legend;
    std::vector<PromptAnswer> answers;
    std::vector<std::string> entries;
    bool waypointKept;
  };
  const Case cases[] = {
      {"No", {kNo}, {"A", "B", "A", "C"}, true},
      {"EntryOnly", {kYes, kNo}, {"A", "B", "C"}, true},
      {"FromSystem", {kYes, kYes}, {"B", "C"}, false},
  };
  for (const Case& row : cases) {
    CommandFixture fixture;
    for (PromptAnswer answer : row.answers) fixture.prompter.Script(answer);
    fixture.database.DeleteRouteEntry(0, 2);
    const std::vector<Prompt> asked = fixture.prompter.Asked();
    ASSERT_EQ(asked.size(), row.answers.size()) << row.legend;
    ExpectDeleteQuestion(asked[0],
                         "Are you sure you want to delete the 'A' waypoint from the 'R1' route?");
    if (asked.size() > 1) {
      ExpectDeleteQuestion(asked[1],
                           "Are you sure you want final to delete the 'A' waypoint from system?");
    }
    EXPECT_EQ(fixture.Entries(0), row.entries) << row.legend;
    EXPECT_EQ(fixture.database.FindWaypoint("A") >= 0, row.waypointKept) << row.legend;
  }
}

TEST(EditWaypointTest, RenameAndMoveCarryIntoRoutes) {
  CommandFixture fixture;
  EXPECT_TRUE(fixture.database.EditWaypoint(0, "ALPHA", At(1.0, 2.0)));
  EXPECT_TRUE(fixture.prompter.Asked().empty());
  EXPECT_EQ(fixture.Entries(0), (std::vector<std::string>{"ALPHA", "B", "ALPHA", "C"}));
  EXPECT_EQ(fixture.database.FindWaypoint("ALPHA"), 0);
  EXPECT_EQ(fixture.database.FindWaypoint("A"), -1);
  EXPECT_TRUE(fixture.database.RouteAt(0)->LegsChanged());
  EXPECT_FALSE(fixture.database.RouteAt(1)->LegsChanged());
  EXPECT_EQ(fixture.Setting(kGeneralSettingsKey, "WaypointLastUsedIndex"), 0u);
}

TEST(EditWaypointTest, NameOfAnotherWaypointAsksToReplaceIt) {
  for (PromptAnswer answer : {kNo, kYes}) {
    CommandFixture fixture;
    fixture.prompter.Script(answer);
    EXPECT_EQ(fixture.database.EditWaypoint(0, "C", At(5.0, 6.0)), answer == kYes);
    ASSERT_EQ(fixture.prompter.Asked().size(), 1u);
    const Prompt prompt = fixture.prompter.Asked()[0];
    EXPECT_EQ(prompt.text, "A waypoint whit the same name 'C' exists already!\n\nReplace?");
    EXPECT_EQ(prompt.icon, PromptIcon::kExclamation);
    EXPECT_EQ(prompt.defaultButton, 1);
    if (answer == kNo) {
      EXPECT_EQ(fixture.Names(), (std::vector<std::string>{"A", "B", "C", "D"}));
      continue;
    }
    EXPECT_EQ(fixture.Names(), (std::vector<std::string>{"B", "C", "D"}));
    EXPECT_NEAR(fixture.database.WaypointPosition("C")->LatitudeDegrees(), 5.0, 1e-9);
    EXPECT_EQ(fixture.Entries(0), (std::vector<std::string>{"C", "B", "C", "C"}));
    EXPECT_TRUE(fixture.database.RouteAt(1)->LegsChanged());
    EXPECT_EQ(fixture.database.LastUsedWaypoint(), 1);
  }
}

TEST(RenameRouteTest, NameOfAnotherRouteHandsOverTheWaypoints) {
  CommandFixture fixture;
  EXPECT_TRUE(fixture.database.RenameRoute(1, "R3"));
  EXPECT_EQ(fixture.database.FindRoute("R3"), 1);
  EXPECT_EQ(fixture.database.LastUsedRoute(), 1);

  fixture.prompter.Script(kYes);
  EXPECT_TRUE(fixture.database.RenameRoute(1, "R1"));
  ASSERT_EQ(fixture.prompter.Asked().size(), 1u);
  EXPECT_EQ(fixture.prompter.Asked()[0].text,
            "A route whit the same name 'R1' exists already!\n\nReplace?");
  EXPECT_EQ(fixture.database.RouteCount(), 1);
  EXPECT_EQ(fixture.Entries(0), (std::vector<std::string>{"C", "D"}));
  EXPECT_EQ(fixture.database.LastUsedRoute(), 0);
}

TEST(NameCheckTest, CommandsRefuseNamesThatCannotBeReadBack) {
  struct Case {
    const char* legend;
    std::string name;
    const char* message;  // null: refused without a message
  };
  const Case cases[] = {
      {"Comma", "A,B", "The name must not contain ',' or '*'."},
      {"Star", "A*", "The name must not contain ',' or '*'."},
      {"LineBreak", "A\r\nB", "The name must not contain line breaks or other control characters."},
      {"Empty", "", nullptr},
  };
  for (const Case& row : cases) {
    CommandFixture fixture;
    EXPECT_FALSE(fixture.database.CreateWaypoint(row.name, At(1.0, 1.0))) << row.legend;
    EXPECT_FALSE(fixture.database.CreateRoute(row.name)) << row.legend;
    EXPECT_FALSE(fixture.database.EditWaypoint(0, row.name, At(1.0, 1.0))) << row.legend;
    EXPECT_FALSE(fixture.database.RenameRoute(0, row.name)) << row.legend;
    EXPECT_EQ(fixture.Names(), (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_EQ(fixture.database.RouteCount(), 2);
    const std::vector<Prompt> asked = fixture.prompter.Asked();
    ASSERT_EQ(asked.size(), row.message ? 4u : 0u) << row.legend;
    for (const Prompt& prompt : asked) {
      EXPECT_EQ(prompt.text, row.message);
      EXPECT_EQ(prompt.caption, "Invalid Name");
      EXPECT_EQ(prompt.buttons, PromptButtons::kOk);
    }
  }
}

TEST(CreateTest, StoresWithThePlaceSelfCreatedAndMovesStartNumberOn) {
  CommandFixture fixture;
  fixture.settings.WriteDword(SettingsHive::kCurrentUser, kWaypointNamingKey, "StartNumber", 3);
  const std::string name = fixture.database.DefaultNewName(ItemKind::kWaypoint);
  EXPECT_EQ(name, "WPL_0003");
  EXPECT_TRUE(fixture.database.CreateWaypoint(name, At(3.0, 4.0)));
  EXPECT_EQ(fixture.database.WaypointAt(4)->PlaceToStore(), "self-created");
  EXPECT_EQ(fixture.Setting(kWaypointNamingKey, "StartNumber"), 4u);
  EXPECT_EQ(fixture.Setting(kGeneralSettingsKey, "WaypointLastUsedIndex"), 4u);

  EXPECT_TRUE(fixture.database.CreateRoute("RTE_0000"));
  const Route route = *fixture.database.RouteAt(2);
  EXPECT_TRUE(route.WaypointNames().empty());
  EXPECT_EQ(route.Type(), RouteType::kComplete);
  EXPECT_EQ(fixture.Setting(kRouteNamingKey, "StartNumber"), 1u);
  EXPECT_EQ(fixture.Setting(kGeneralSettingsKey, "RouteLastUsedIndex"), 2u);
}

TEST(RouteWaypointCommandsTest, EditEntriesAndMarkTheRouteUsed) {
  struct Case {
    const char* legend;
    bool (*command)(NavigationDatabase&);
    bool changed;
    std::vector<std::string> entries;
  };
  const Case cases[] = {
      {"Up",
       [](NavigationDatabase& d) { return d.MoveRouteEntryUp(0, 1); },
       true,
       {"B", "A", "A", "C"}},
      {"UpAtTop",
       [](NavigationDatabase& d) { return d.MoveRouteEntryUp(0, 0); },
       false,
       {"A", "B", "A", "C"}},
      {"Down",
       [](NavigationDatabase& d) { return d.MoveRouteEntryDown(0, 2); },
       true,
       {"A", "B", "C", "A"}},
      {"DownAtBottom",
       [](NavigationDatabase& d) { return d.MoveRouteEntryDown(0, 3); },
       false,
       {"A", "B", "A", "C"}},
      {"Invert",
       [](NavigationDatabase& d) { return d.InvertRoute(0); },
       true,
       {"C", "A", "B", "A"}},
      {"Add",
       [](NavigationDatabase& d) { return d.AddWaypointToRoute(0, "D"); },
       true,
       {"A", "B", "A", "C", "D"}},
      {"AddUnknown",
       [](NavigationDatabase& d) { return d.AddWaypointToRoute(0, "X"); },
       false,
       {"A", "B", "A", "C"}},
  };
  for (const Case& row : cases) {
    CommandFixture fixture;
    EXPECT_EQ(row.command(fixture.database), row.changed) << row.legend;
    EXPECT_EQ(fixture.Entries(0), row.entries) << row.legend;
    EXPECT_EQ(fixture.database.IsSaved(), !row.changed) << row.legend;
    EXPECT_EQ(fixture.database.LastUsedRoute(), row.changed ? 0 : -1) << row.legend;
  }
}

TEST(RouteWaypointCommandsTest, DescriptionIsCutAndKeepsOneField) {
  struct Case {
    const char* legend;
    std::string typed;
    std::string stored;
  };
  const Case cases[] = {
      {"Comma", "a,b", "a;b"},
      {"Exactly50", std::string(50, 'x'), std::string(50, 'x')},
      {"Sixty", std::string(60, 'y'), std::string(47, 'y') + "..."},
      {"StarAndLineBreak", "a*b\r\nc", "a;b  c"},
  };
  for (const Case& row : cases) {
    CommandFixture fixture;
    fixture.database.SetWaypointDescription(1, row.typed);
    EXPECT_EQ(fixture.database.WaypointAt(1)->Description(), row.stored) << row.legend;
  }
}

TEST(TargetTest, GoToAndGoAlongToggle) {
  CommandFixture fixture;
  EXPECT_EQ(fixture.database.GoTo(2), (ActiveTarget{TargetKind::kWaypoint, 2}));
  EXPECT_EQ(fixture.Setting(kGeneralSettingsKey, "WaypointLastUsedIndex"), 2u);
  EXPECT_EQ(fixture.database.GoAlong(1), (ActiveTarget{TargetKind::kRoute, 1}));
  EXPECT_EQ(fixture.database.GoAlong(1), ActiveTarget{});
  EXPECT_EQ(fixture.Setting(kGeneralSettingsKey, "RouteLastUsedIndex"), 1u);
}

TEST(TargetTest, GoAlongStartsAtTheFirstWaypointAndLeavingARouteForgetsIt) {
  CommandFixture fixture;
  const auto current = [&](int route) {
    return fixture.database.RouteAt(route)->CurrentWaypointIndex();
  };
  ASSERT_TRUE(fixture.database.SetCurrentRouteWaypoint(0, 2));
  fixture.database.GoAlong(0);
  EXPECT_EQ(current(0), 0);

  ASSERT_TRUE(fixture.database.SelectNextRouteLeg());
  fixture.database.GoAlong(1);
  EXPECT_EQ(current(0), Route::kNoCurrentWaypoint) << "the previous route target";
  EXPECT_EQ(current(1), 0);

  fixture.database.GoTo(3);
  EXPECT_EQ(fixture.database.Target(), (ActiveTarget{TargetKind::kWaypoint, 3}));
  EXPECT_EQ(current(1), Route::kNoCurrentWaypoint);
  EXPECT_TRUE(fixture.database.IsSaved()) << "guidance state is not file content";
}

// R1 = A B A C: four entries.
TEST(TargetTest, CurrentRouteWaypointOnlyInsideTheRoute) {
  struct Case {
    const char* legend;
    int route;
    int entry;
    bool accepted;
  };
  const Case cases[] = {
      {"first", 0, 0, true},      {"last", 0, 3, true},           {"past the end", 0, 4, false},
      {"negative", 0, -1, false}, {"no such route", 2, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    CommandFixture fixture;
    ASSERT_TRUE(fixture.database.SetCurrentRouteWaypoint(0, 1));
    EXPECT_EQ(fixture.database.SetCurrentRouteWaypoint(c.route, c.entry), c.accepted);
    EXPECT_EQ(fixture.database.RouteAt(0)->CurrentWaypointIndex(), c.accepted ? c.entry : 1);
  }
}

TEST(TargetTest, NextAndPreviousLegStopAtTheEnds) {
  struct Case {
    const char* legend;
    int start;
    bool next;  // else previous
    bool moved;
    int current;
  };
  const Case cases[] = {
      {"next from the first", 0, true, true, 1},
      {"next at the last", 3, true, false, 3},
      {"previous at the first", 0, false, false, 0},
      {"previous from the last", 3, false, true, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    CommandFixture fixture;
    fixture.database.GoAlong(0);
    ASSERT_TRUE(fixture.database.SetCurrentRouteWaypoint(0, c.start));
    const bool moved =
        c.next ? fixture.database.SelectNextRouteLeg() : fixture.database.SelectPreviousRouteLeg();
    EXPECT_EQ(moved, c.moved);
    EXPECT_EQ(fixture.database.RouteAt(0)->CurrentWaypointIndex(), c.current);
  }

  CommandFixture fixture;
  ASSERT_TRUE(fixture.database.SetCurrentRouteWaypoint(0, 1));
  EXPECT_FALSE(fixture.database.SelectNextRouteLeg()) << "no target";
  fixture.database.GoTo(0);
  EXPECT_FALSE(fixture.database.SelectPreviousRouteLeg()) << "a waypoint target";
  EXPECT_EQ(fixture.database.RouteAt(0)->CurrentWaypointIndex(), 1);
}

}  // namespace
}  // namespace orv
