#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "navigation_database_fixture.h"

namespace orv {
namespace {

using Answers = std::vector<PromptAnswer>;
constexpr PromptAnswer kYes = PromptAnswer::kYes;
constexpr PromptAnswer kNo = PromptAnswer::kNo;

std::vector<std::string> WaypointNames(const NavigationDatabase& database) {
  std::vector<std::string> names;
  for (const Waypoint& waypoint : database.Contents().waypoints) names.push_back(waypoint.Name());
  return names;
}

std::vector<std::string> RouteNames(const NavigationDatabase& database) {
  std::vector<std::string> names;
  for (const Route& route : database.Contents().routes) names.push_back(route.Name());
  return names;
}

void ExpectMergeQuestion(const Prompt& prompt, const std::string& text) {
  EXPECT_EQ(prompt.text, text);
  EXPECT_EQ(prompt.caption, "Question");
  EXPECT_EQ(prompt.icon, PromptIcon::kExclamation);
  EXPECT_EQ(prompt.buttons, PromptButtons::kYesNo);
  EXPECT_EQ(prompt.defaultButton, 1);
}

struct WaypointMergeCase {
  const char* legend;
  Waypoint record;
  MergeMode mode;
  Answers answers;
  MergeOutcome outcome;
  std::vector<std::string> names;  // list order afterwards
  std::vector<std::string> questions;
  double homeLatitude;  // of the waypoint named HOME afterwards
};

const std::string kReplaceHome = "A waypoint whit the same name 'HOME' exists already!\n\nReplace?";
const std::string kRenameHome =
    "A waypoint whit the same name 'HOME' exists already!\n\nSave with an another name?";

class WaypointMergeTest : public ::testing::TestWithParam<WaypointMergeCase> {};

TEST_P(WaypointMergeTest, FollowsTheDuplicateRules) {
  const WaypointMergeCase& row = GetParam();
  DatabaseFixture fixture;
  fixture.settings.WriteDword(SettingsHive::kCurrentUser, kWaypointNamingKey, "StartNumber", 7);
  ASSERT_TRUE(fixture.database.AppendWaypoint(Waypoint("HOME", At(48.0, 11.0), "garage")));
  ASSERT_TRUE(fixture.database.AppendWaypoint(Waypoint("PEAK", At(47.0, 10.0))));
  fixture.database.SetSaved(true);
  for (PromptAnswer answer : row.answers) fixture.prompter.Script(answer);

  EXPECT_EQ(fixture.database.MergeWaypoint(row.record, "/tmp/drive.txt", row.mode), row.outcome);

  EXPECT_EQ(WaypointNames(fixture.database), row.names);
  const std::vector<Prompt> asked = fixture.prompter.Asked();
  ASSERT_EQ(asked.size(), row.questions.size());
  for (size_t i = 0; i < asked.size(); ++i) ExpectMergeQuestion(asked[i], row.questions[i]);
  const auto home = fixture.database.WaypointPosition("HOME");
  ASSERT_TRUE(home.has_value());
  EXPECT_NEAR(home->LatitudeDegrees(), row.homeLatitude, 1e-6);
  EXPECT_EQ(fixture.database.IsSaved(), row.outcome == MergeOutcome::kDropped);
  if (row.outcome == MergeOutcome::kRenamed) {
    EXPECT_EQ(fixture.Setting(kWaypointNamingKey, "StartNumber"), 8u);
  }
}

INSTANTIATE_TEST_SUITE_P(Records, WaypointMergeTest,
                         ::testing::Values(WaypointMergeCase{"NewName",
                                                             Waypoint("CAMP", At(46.0, 9.0)),
                                                             MergeMode::kAsk,
                                                             {},
                                                             MergeOutcome::kAppended,
                                                             {"HOME", "PEAK", "CAMP"},
                                                             {},
                                                             48.0},
                                           WaypointMergeCase{"SamePositionMovesToEnd",
                                                             Waypoint("HOME", At(48.0, 11.0)),
                                                             MergeMode::kAsk,
                                                             {},
                                                             MergeOutcome::kMovedToEnd,
                                                             {"PEAK", "HOME"},
                                                             {},
                                                             48.0},
                                           WaypointMergeCase{"ReplaceAnswered",
                                                             Waypoint("HOME", At(45.0, 11.0)),
                                                             MergeMode::kAsk,
                                                             {kYes},
                                                             MergeOutcome::kReplaced,
                                                             {"PEAK", "HOME"},
                                                             {kReplaceHome},
                                                             45.0},
                                           WaypointMergeCase{"AnotherNameAnswered",
                                                             Waypoint("HOME", At(45.0, 11.0)),
                                                             MergeMode::kAsk,
                                                             {kNo, kYes},
                                                             MergeOutcome::kRenamed,
                                                             {"HOME", "PEAK", "WPL_0007"},
                                                             {kReplaceHome, kRenameHome},
                                                             48.0},
                                           WaypointMergeCase{"BothDeclined",
                                                             Waypoint("HOME", At(45.0, 11.0)),
                                                             MergeMode::kAsk,
                                                             {kNo, kNo},
                                                             MergeOutcome::kDropped,
                                                             {"HOME", "PEAK"},
                                                             {kReplaceHome, kRenameHome},
                                                             48.0},
                                           WaypointMergeCase{"SilentKeepsStored",
                                                             Waypoint("HOME", At(45.0, 11.0)),
                                                             MergeMode::kSilent,
                                                             {},
                                                             MergeOutcome::kDropped,
                                                             {"HOME", "PEAK"},
                                                             {},
                                                             48.0},
                                           WaypointMergeCase{"UnknownPositionDropped",
                                                             Waypoint("CAMP", LatLong()),
                                                             MergeMode::kAsk,
                                                             {},
                                                             MergeOutcome::kDropped,
                                                             {"HOME", "PEAK"},
                                                             {},
                                                             48.0},
                                           WaypointMergeCase{"EmptyNameDropped",
                                                             Waypoint("", At(46.0, 9.0)),
                                                             MergeMode::kAsk,
                                                             {},
                                                             MergeOutcome::kDropped,
                                                             {"HOME", "PEAK"},
                                                             {},
                                                             48.0}),
                         [](const auto& info) { return info.param.legend; });

TEST(WaypointMergeRulesTest, SamePositionKeepsTheWrittenDescriptionAndPlace) {
  DatabaseFixture fixture;
  ASSERT_TRUE(fixture.database.AppendWaypoint(Waypoint("HOME", At(48.0, 11.0), "garage")));
  fixture.database.MergeWaypoint(Waypoint("HOME", At(48.0, 11.0)), "/dev/ttyUSB0", MergeMode::kAsk);
  const Waypoint merged = *fixture.database.WaypointAt(0);
  EXPECT_EQ(merged.Description(), "garage");
  EXPECT_EQ(merged.PlaceToStore(), "/dev/ttyUSB0");
  EXPECT_TRUE(merged.IsStoredInDatabase());
}

TEST(WaypointMergeRulesTest, RemovingAStoredWaypointClearsATargetAtOrAfterIt) {
  struct Case {
    const char* legend;
    int targetIndex;
    TargetKind expected;
  };
  const Case cases[] = {
      {"TargetBefore", 0, TargetKind::kWaypoint},
      {"TargetIsReplaced", 1, TargetKind::kNone},
      {"TargetAfter", 2, TargetKind::kNone},
  };
  for (const Case& row : cases) {
    DatabaseFixture fixture;
    for (const char* name : {"A", "B", "C"}) {
      fixture.database.AppendWaypoint(Waypoint(name, At(1.0, 1.0)));
    }
    fixture.database.SetActiveTarget(TargetKind::kWaypoint, row.targetIndex);
    fixture.prompter.Script(PromptAnswer::kYes);
    fixture.database.MergeWaypoint(Waypoint("B", At(2.0, 2.0)), "import", MergeMode::kAsk);
    EXPECT_EQ(fixture.database.Target().kind, row.expected) << row.legend;
  }
}

TEST(WaypointMergeRulesTest, RefusesNamesThatCannotBeReadBack) {
  for (const char* name : {"A,B", "A*B"}) {
    DatabaseFixture fixture;
    EXPECT_EQ(fixture.database.MergeWaypoint(Waypoint(name, At(1.0, 1.0)), "kml", MergeMode::kAsk),
              MergeOutcome::kDropped);
    EXPECT_EQ(fixture.database.WaypointCount(), 0);
    const std::vector<Prompt> asked = fixture.prompter.Asked();
    ASSERT_EQ(asked.size(), 1u) << name;
    EXPECT_EQ(asked[0].text, "The name must not contain ',' or '*'.");
    EXPECT_EQ(asked[0].buttons, PromptButtons::kOk);
    EXPECT_EQ(asked[0].icon, PromptIcon::kExclamation);
  }
}

struct RouteMergeCase {
  const char* legend;
  Route record;
  MergeMode mode;
  Answers answers;
  MergeOutcome outcome;
  std::vector<std::string> names;
  std::vector<std::string> questions;
  std::vector<std::string> tourWaypoints;
  int lastUsed;
};

const std::string kReplaceTour = "A route whit the same name 'TOUR' exists already!\n\nReplace?";
const std::string kRenameTour =
    "A route whit the same name 'TOUR' exists already!\n\nSave with an another name?";

class RouteMergeTest : public ::testing::TestWithParam<RouteMergeCase> {};

TEST_P(RouteMergeTest, FollowsTheDuplicateRules) {
  const RouteMergeCase& row = GetParam();
  DatabaseFixture fixture;
  ASSERT_TRUE(fixture.database.AppendRoute(Route("TOUR", {"A", "B"}, RouteType::kComplete)));
  ASSERT_TRUE(fixture.database.AppendRoute(Route("LOOP", {"C"})));
  fixture.database.SetActiveTarget(TargetKind::kRoute, 1);
  for (PromptAnswer answer : row.answers) fixture.prompter.Script(answer);

  EXPECT_EQ(fixture.database.MergeRoute(row.record, "/tmp/drive.txt", row.mode), row.outcome);

  EXPECT_EQ(RouteNames(fixture.database), row.names);
  EXPECT_EQ(fixture.database.RouteAt(0)->WaypointNames(), row.tourWaypoints);
  const std::vector<Prompt> asked = fixture.prompter.Asked();
  ASSERT_EQ(asked.size(), row.questions.size());
  for (size_t i = 0; i < asked.size(); ++i) ExpectMergeQuestion(asked[i], row.questions[i]);
  EXPECT_EQ(fixture.database.LastUsedRoute(), row.lastUsed);
  // Replacing the route at index 0 drops a route target at or after it.
  EXPECT_EQ(fixture.database.Target().kind,
            row.outcome == MergeOutcome::kReplaced ? TargetKind::kNone : TargetKind::kRoute);
}

INSTANTIATE_TEST_SUITE_P(Records, RouteMergeTest,
                         ::testing::Values(RouteMergeCase{"NewName",
                                                          Route("RIDE", {"A"}),
                                                          MergeMode::kAsk,
                                                          {},
                                                          MergeOutcome::kAppended,
                                                          {"TOUR", "LOOP", "RIDE"},
                                                          {},
                                                          {"A", "B"},
                                                          2},
                                           RouteMergeCase{
                                               "SameWaypointsOtherType",
                                               Route("TOUR", {"A", "B"}, RouteType::kWorking),
                                               MergeMode::kAsk,
                                               {},
                                               MergeOutcome::kUnchanged,
                                               {"TOUR", "LOOP"},
                                               {},
                                               {"A", "B"},
                                               0},
                                           RouteMergeCase{"ReplaceInPlace",
                                                          Route("TOUR", {"B", "A"}),
                                                          MergeMode::kAsk,
                                                          {kYes},
                                                          MergeOutcome::kReplaced,
                                                          {"TOUR", "LOOP"},
                                                          {kReplaceTour},
                                                          {"B", "A"},
                                                          0},
                                           RouteMergeCase{"AnotherName",
                                                          Route("TOUR", {"A"}),
                                                          MergeMode::kAsk,
                                                          {kNo, kYes},
                                                          MergeOutcome::kRenamed,
                                                          {"TOUR", "LOOP", "RTE_0000"},
                                                          {kReplaceTour, kRenameTour},
                                                          {"A", "B"},
                                                          2},
                                           RouteMergeCase{"BothDeclined",
                                                          Route("TOUR", {"A"}),
                                                          MergeMode::kAsk,
                                                          {kNo, kNo},
                                                          MergeOutcome::kDropped,
                                                          {"TOUR", "LOOP"},
                                                          {kReplaceTour, kRenameTour},
                                                          {"A", "B"},
                                                          -1},
                                           RouteMergeCase{"SilentKeepsStored",
                                                          Route("TOUR", {"A"}),
                                                          MergeMode::kSilent,
                                                          {},
                                                          MergeOutcome::kDropped,
                                                          {"TOUR", "LOOP"},
                                                          {},
                                                          {"A", "B"},
                                                          -1}),
                         [](const auto& info) { return info.param.legend; });

TEST(ImportResultTest, CountsWaypointsThenRoutes) {
  DatabaseFixture fixture;
  NavigationDatabase& database = fixture.database;
  const auto merge = [&](const char* name) {
    database.MergeWaypoint(Waypoint(name, At(1.0, 1.0)), "f", MergeMode::kAsk);
    return database.GetImportResult();
  };
  const auto mergeRoute = [&](const char* name) {
    database.MergeRoute(Route(name, {}), "f", MergeMode::kAsk);
    return database.GetImportResult();
  };
  EXPECT_EQ(database.GetImportResult(), ImportResult::kNothing);
  EXPECT_EQ(merge("A"), ImportResult::kOneWaypoint);
  EXPECT_EQ(merge("B"), ImportResult::kSeveralWaypoints);
  EXPECT_EQ(mergeRoute("R1"), ImportResult::kOneRoute);
  EXPECT_EQ(merge("C"), ImportResult::kOneRoute);  // routes outrank waypoints
  EXPECT_EQ(mergeRoute("R2"), ImportResult::kSeveralRoutes);
  database.ResetImportResult();
  EXPECT_EQ(mergeRoute("R3"), ImportResult::kOneRoute);
}

TEST(NamingRuleTest, NumbersWrapAndTakenNamesGetRandomLetters) {
  struct Case {
    const char* legend;
    std::optional<uint32_t> startNumber;
    const char* existing;
    const char* expectedName;  // null: 12 random letters
    uint32_t storedAfter;
  };
  const Case cases[] = {
      {"Missing", std::nullopt, nullptr, "WPL_0000", 1},
      {"Padded", 42, nullptr, "WPL_0042", 43},
      {"Wraps", 9999, nullptr, "WPL_9999", 0},
      {"Taken", 5, "WPL_0005", nullptr, 6},
  };
  for (const Case& row : cases) {
    DatabaseFixture fixture;
    if (row.startNumber)
      fixture.settings.WriteDword(SettingsHive::kCurrentUser, kWaypointNamingKey, "StartNumber",
                                  *row.startNumber);
    if (row.existing) fixture.database.AppendWaypoint(Waypoint(row.existing, At(1.0, 1.0)));
    const std::string name = fixture.database.TakeGeneratedName(ItemKind::kWaypoint);
    if (row.expectedName != nullptr) {
      EXPECT_EQ(name, row.expectedName) << row.legend;
    } else {
      ASSERT_EQ(name.size(), 12u) << row.legend;
      for (char c : name) EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(c))) << name;
    }
    EXPECT_EQ(fixture.Setting(kWaypointNamingKey, "StartNumber"), row.storedAfter) << row.legend;
  }
  DatabaseFixture routes;
  routes.settings.WriteDword(SettingsHive::kCurrentUser, kRouteNamingKey, "StartNumber", 12);
  EXPECT_EQ(routes.database.DefaultNewName(ItemKind::kRoute), "RTE_0012");
  EXPECT_EQ(routes.database.TakeGeneratedName(ItemKind::kRoute), "RTE_0012");
  EXPECT_EQ(routes.Setting(kWaypointNamingKey, "StartNumber"), std::nullopt);
}

TEST(SavedStateTest, OwnRecordsKeepTheDatabaseSaved) {
  DatabaseFixture fixture;
  fixture.database.SetDatabasePath("/home/u/Documents/NaviStor7.ovr");
  fixture.database.MergeWaypoint(Waypoint("A", At(1.0, 1.0)), "/home/u/Documents/NaviStor7.ovr",
                                 MergeMode::kAsk);
  fixture.database.MergeRoute(Route("R", {"A"}), "/home/u/Documents/NaviStor7.ovr",
                              MergeMode::kAsk);
  EXPECT_TRUE(fixture.database.IsSaved());
  EXPECT_TRUE(fixture.database.WaypointAt(0)->IsStoredInDatabase());
  fixture.database.MergeWaypoint(Waypoint("B", At(1.0, 1.0)), "/dev/ttyUSB0", MergeMode::kAsk);
  EXPECT_FALSE(fixture.database.IsSaved());
  EXPECT_FALSE(fixture.database.WaypointAt(1)->IsStoredInDatabase());

  const uint64_t snapshot = fixture.database.ChangeCount();
  fixture.database.SetWaypointDescription(0, "changed while writing");
  EXPECT_FALSE(fixture.database.MarkSavedIfUnchanged(snapshot));
  EXPECT_FALSE(fixture.database.IsSaved());
  EXPECT_TRUE(fixture.database.MarkSavedIfUnchanged(fixture.database.ChangeCount()));
  EXPECT_TRUE(fixture.database.IsSaved());
}

}  // namespace
}  // namespace orv
