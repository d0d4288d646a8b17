#include "nav/navigation_database_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "navigation_database_fixture.h"
#include "nmea/nmea_sentence.h"
#include "test_folder.h"

namespace orv {
namespace {

std::string Sentence(const std::string& body) {
  NmeaSentence sentence(body);
  sentence.Finish();
  return sentence.Text();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The text before "*hh", after checking that the checksum is right.
std::string Body(const std::string& line) {
  NmeaSentence sentence(line + "\r\n");
  EXPECT_EQ(sentence.IsChecksumBad(), NmeaBoolean::kFalse) << line;
  return line.substr(0, line.rfind('*'));
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "navdbXXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TemporaryFolder() { std::filesystem::remove_all(path_); }
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

const std::vector<std::string> kDatabaseHead = {
    "$POVRPVD,Orvelle Recorder 7 Beta,v7.9.85",
    "$POVRCRT,Copyright 2010,Orvelle Records2010",
    "$POVRWRG,WARNING!,Please!,Do NOT change or delete this file!",
    "$POVRWRG,WARNING!,The file contains the DATA BASE of -",
    "$POVRWRG,WARNING!,- Navigation System.",
    "$POVRWRG,WARNING!,If you definitely removed the software from system,-",
    "$POVRWRG,WARNING!,-, you could remove the file too.",
};

std::vector<std::string> Bodies(const std::string& text) {
  std::vector<std::string> bodies;
  for (const std::string& line : Lines(text)) bodies.push_back(Body(line));
  return bodies;
}

TEST(DatabaseFileTextTest, EmptyDatabaseIsTheSevenHeadLines) {
  const std::string text = DatabaseFileText(DatabaseContents{});
  EXPECT_EQ(Bodies(text), kDatabaseHead);
  EXPECT_TRUE(text.ends_with("\r\n"));
}

TEST(DatabaseFileTextTest, WaypointsThenRoutesInListOrder) {
  DatabaseContents contents;
  contents.waypoints.emplace_back("HOME", At(48.1173, 11.516666666666667));
  contents.waypoints.emplace_back("SYD", At(-33.91, -151.205), "harbour, north side");
  contents.routes.emplace_back("R1", std::vector<std::string>{"HOME", "SYD"});
  contents.routes.emplace_back("R2", std::vector<std::string>{}, RouteType::kWorking);
  std::vector<std::string> expected = kDatabaseHead;
  expected.insert(expected.end(), {
                                      "$POVRWPD,HOME,",
                                      "$GPWPL,4807.0380,N,01131.0000,E,HOME",
                                      "$POVRWPD,SYD,harbour; north side",
                                      "$GPWPL,3354.6000,S,15112.3000,W,SYD",
                                      "$GPRTE,1,1,C,R1,HOME,SYD",
                                      "$GPRTE,1,1,W,R2",
                                  });
  EXPECT_EQ(Bodies(DatabaseFileText(contents)), expected);
}

TEST(DatabaseFileTextTest, RoutesSplitAtTheNameBudget) {
  struct Case {
    const char* legend;
    Route route;
    std::vector<std::string> sentences;
  };
  // Budget for route "R": 42 - 2 = 40; a name of 9 characters costs 10.
  const std::string stem(8, 'n');  // with a digit: 9 characters
  const Case cases[] = {
      {"LongRouteNameCarriesNoNames",
       Route(std::string(41, 'L'), {"A", "B"}),
       {"$GPRTE,1,1,C," + std::string(41, 'L')}},
      {"ExactFillClosesTheSentence",
       Route("R", {stem + "1", stem + "2", stem + "3", stem + "4", "E"}),
       {"$GPRTE,2,1,C,R," + stem + "1," + stem + "2," + stem + "3," + stem + "4",
        "$GPRTE,2,2,C,R,E"}},
      {"NameOverBudgetStandsAlone",
       Route("R", {"A", std::string(40, 'X'), "B"}),
       {"$GPRTE,3,1,C,R,A", "$GPRTE,3,2,C,R," + std::string(40, 'X'), "$GPRTE,3,3,C,R,B"}},
  };
  for (const Case& row : cases) {
    DatabaseContents contents;
    contents.routes.push_back(row.route);
    std::vector<std::string> bodies = Bodies(DatabaseFileText(contents));
    bodies.erase(bodies.begin(), bodies.begin() + 7);
    EXPECT_EQ(bodies, row.sentences) << row.legend;
  }
}

TEST(DatabaseFileTextTest, SentencesTooLongForALineAreLeftOut) {
  DatabaseContents contents;
  // WPL line: 37 characters around the name; 44 characters fit in 81.
  contents.waypoints.emplace_back(std::string(44, 'a'), At(1.0, 1.0));
  contents.waypoints.emplace_back(std::string(45, 'b'), At(1.0, 1.0));
  const std::string text = DatabaseFileText(contents);
  for (const std::string& line : Lines(text)) EXPECT_LE(line.size() + 2, 81u) << line;
  EXPECT_NE(text.find("$GPWPL,0100.0000,N,00100.0000,E," + std::string(44, 'a')),
            std::string::npos);
  EXPECT_EQ(text.find(std::string(45, 'b') + "*"), std::string::npos);
  std::string out;
  EXPECT_FALSE(AppendWritableSentence(out, "$GPWPL,A\r\nB*00\r\n"));
  EXPECT_FALSE(AppendWritableSentence(out, "GPWPL,A*00\r\n"));
  EXPECT_TRUE(AppendWritableSentence(out, "$GPWPL,A*00\r\n"));
}

struct ReadCase {
  const char* legend;
  std::vector<std::string> lines;
  std::vector<std::pair<std::string, std::string>> waypoints;  // name, description
  std::vector<std::vector<std::string>> routes;                // name, then its waypoints
};

class DatabaseReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(DatabaseReadTest, PairsDescriptionsAndCollectsRoutes) {
  DatabaseFixture fixture;
  for (const std::string& line : GetParam().lines) fixture.database.TakeSentence(line, "file");
  std::vector<std::pair<std::string, std::string>> waypoints;
  std::vector<std::vector<std::string>> routes;
  for (const Waypoint& waypoint : fixture.database.Contents().waypoints) {
    waypoints.emplace_back(waypoint.Name(), waypoint.Description());
  }
  for (const Route& route : fixture.database.Contents().routes) {
    std::vector<std::string> names{route.Name()};
    names.insert(names.end(), route.WaypointNames().begin(), route.WaypointNames().end());
    routes.push_back(names);
  }
  EXPECT_EQ(waypoints, GetParam().waypoints);
  EXPECT_EQ(routes, GetParam().routes);
}

const std::string kWplA = Sentence("$GPWPL,4807.038,N,01131.000,E,A");
const std::string kWplB = Sentence("$GPWPL,4807.038,N,01131.000,E,B");

INSTANTIATE_TEST_SUITE_P(
    Lines, DatabaseReadTest,
    ::testing::Values(
        ReadCase{"DescriptionBeforeItsWaypoint",
                 {Sentence("$POVRWPD,A,shed"), kWplA},
                 {{"A", "shed"}},
                 {}},
        ReadCase{"OtherTalkerSameMnemonic",
                 {Sentence("$XXWPD,A,shed"), Sentence("$GNWPL,4807.038,N,01131.000,E,A")},
                 {{"A", "shed"}},
                 {}},
        ReadCase{"DescriptionOfAnotherNameIsLost",
                 {Sentence("$POVRWPD,A,shed"), kWplB, kWplA},
                 {{"B", ""}, {"A", ""}},
                 {}},
        ReadCase{"SecondDescriptionReplacesFirst",
                 {Sentence("$POVRWPD,A,shed"), Sentence("$POVRWPD,B,barn"), kWplA},
                 {{"A", ""}},
                 {}},
        ReadCase{"ThreeFieldDescriptionIgnored",
                 {Sentence("$POVRWPD,A,shed,x"), kWplA},
                 {{"A", ""}},
                 {}},
        ReadCase{"BadOrMissingChecksumIgnored",
                 {"$GPWPL,4807.038,N,01131.000,E,A*00\r\n", "$GPWPL,4807.038,N,01131.000,E,A\r\n",
                  "garbage\r\n", "", kWplB},
                 {{"B", ""}},
                 {}},
        ReadCase{"RouteOverTwoSentences",
                 {Sentence("$GPRTE,2,1,C,R,A,B"), Sentence("$GPRTE,2,2,C,R,C")},
                 {},
                 {{"R", "A", "B", "C"}}},
        ReadCase{"InconsistentContinuationIgnored",
                 {Sentence("$GPRTE,2,1,C,R,A"), Sentence("$GPRTE,3,2,C,R,X"),
                  Sentence("$GPRTE,2,2,C,Q,Y"), Sentence("$GPRTE,2,2,C,R,B")},
                 {},
                 {{"R", "A", "B"}}},
        ReadCase{"NumberOutOfRangeIgnored",
                 {Sentence("$GPRTE,1,0,C,R,A"), Sentence("$GPRTE,1,2,C,R,A"),
                  Sentence("$GPRTE,1,1,C,S")},
                 {},
                 {{"S"}}},
        ReadCase{"ContinuationWithoutStartIgnored", {Sentence("$GPRTE,2,2,C,R,A")}, {}, {}},
        ReadCase{"HeadLinesIgnored", {Sentence("$POVRWRG,WARNING!,- Navigation System.")}, {}, {}}),
    [](const auto& info) { return info.param.legend; });

TEST(DatabaseReadTest, SourcesDoNotMixTheirRoutes) {
  DatabaseFixture fixture;
  fixture.database.TakeSentence(Sentence("$GPRTE,2,1,C,R,A"), "file");
  fixture.database.TakeSentence(Sentence("$GPRTE,2,1,C,R,X"), "/dev/ttyUSB0");
  fixture.database.TakeSentence(Sentence("$GPRTE,2,2,C,R,B"), "file");
  ASSERT_EQ(fixture.database.RouteCount(), 1);
  EXPECT_EQ(fixture.database.RouteAt(0)->WaypointNames(), (std::vector<std::string>{"A", "B"}));
}

DatabaseContents SampleContents() {
  DatabaseContents contents;
  contents.waypoints.emplace_back("HOME", At(48.1173, 11.5166), "garage, behind");
  contents.waypoints.emplace_back("CAPE", At(-34.3568, 18.4740), std::string(60, 'd'));
  contents.waypoints.emplace_back("DATELINE", At(-16.5, -179.9999));
  contents.waypoints.emplace_back("POLE", At(89.9999, 0.0001));
  std::vector<std::string> many;
  for (int i = 0; i < 23; ++i) many.push_back(i % 2 ? "HOME" : "CAPE");
  contents.routes.emplace_back("LONG ROUTE", many);
  contents.routes.emplace_back("EMPTY", std::vector<std::string>{}, RouteType::kWorking);
  contents.routes.emplace_back("NOTYPE", std::vector<std::string>{"POLE", "MISSING"},
                               RouteType::kNone);
  return contents;
}

TEST(DatabaseRoundTripTest, WrittenFileReadsBackToTheSameDatabase) {
  const DatabaseContents written = SampleContents();
  const std::string text = DatabaseFileText(written);
  DatabaseFixture fixture;
  fixture.database.SetDatabasePath("/docs/NaviStor7.ovr");
  for (const std::string& line : Lines(text)) {
    fixture.database.TakeSentence(line + "\r\n", "/docs/NaviStor7.ovr");
  }
  const DatabaseContents read = fixture.database.Contents();
  ASSERT_EQ(read.waypoints.size(), written.waypoints.size());
  for (size_t i = 0; i < read.waypoints.size(); ++i) {
    EXPECT_EQ(read.waypoints[i].Name(), written.waypoints[i].Name());
    EXPECT_EQ(read.waypoints[i].Description(), written.waypoints[i].Description());
    EXPECT_EQ(read.waypoints[i].Position(), written.waypoints[i].Position());
    EXPECT_TRUE(read.waypoints[i].IsStoredInDatabase());
  }
  ASSERT_EQ(read.routes.size(), written.routes.size());
  for (size_t i = 0; i < read.routes.size(); ++i) {
    EXPECT_EQ(read.routes[i].ToRecord(), written.routes[i].ToRecord());
  }
  EXPECT_TRUE(fixture.database.IsSaved());
  EXPECT_EQ(DatabaseFileText(read), text);
}

TEST(RouteFileTextTest, WaypointsInRouteOrderThenTheRoute) {
  DatabaseFixture fixture;
  fixture.database.AppendWaypoint(Waypoint("A", At(1.0, 2.0), "first"));
  fixture.database.AppendWaypoint(Waypoint("B", At(3.0, 4.0)));
  fixture.database.AppendRoute(Route("R", {"B", "GONE", "A", "B"}));
  const std::vector<std::string> expected = {
      "$POVRPVD,Orvelle Recorder 7 Beta,v7.9.85",
      "$POVRCRT,Copyright 2010,Orvelle Records2010",
      "$POVRWRG,WARNING!,Please!,Do NOT change or delete this file!",
      "$POVRWRG,WARNING!,The file contains the waypoints-",
      "$POVRWRG,WARNING!,-of a route",
      "$POVRWPD,B,",
      "$GPWPL,0300.0000,N,00400.0000,E,B",
      "$POVRWPD,A,first",
      "$GPWPL,0100.0000,N,00200.0000,E,A",
      "$POVRWPD,B,",
      "$GPWPL,0300.0000,N,00400.0000,E,B",
      "$GPRTE,1,1,C,R,B,GONE,A,B",
  };
  EXPECT_EQ(Bodies(RouteFileText(fixture.database, 0)), expected);
  EXPECT_EQ(RouteFileText(fixture.database, 1), "");
}

TEST(SentenceGeneratorTest, CurrentItemsGiveTheSentencesOfTheFile) {
  DatabaseFixture fixture;
  const DatabaseContents contents = SampleContents();
  for (const Waypoint& waypoint : contents.waypoints) fixture.database.AppendWaypoint(waypoint);
  for (const Route& route : contents.routes) fixture.database.AppendRoute(route);
  NmeaSentence sentence;
  EXPECT_FALSE(fixture.database.GenerateSentence("WPL", sentence));  // no current waypoint

  std::string generated;
  fixture.database.SetCurrentWaypoint(1);
  for (const char* mnemonic : {"WPD", "WPL"}) {
    ASSERT_TRUE(fixture.database.GenerateSentence(mnemonic, sentence));
    generated += sentence.Text();
  }
  fixture.database.SetCurrentRoute(0);
  int sentences = 0;
  while (fixture.database.GenerateSentence("RTE", sentence) && sentences < 100) {
    generated += sentence.Text();
    ++sentences;
  }
  EXPECT_GT(sentences, 1);
  EXPECT_FALSE(fixture.database.GenerateSentence("GGA", sentence));

  const std::string file = DatabaseFileText(contents);
  const size_t waypointAt = file.find("$POVRWPD,CAPE,");
  const size_t routeAt = file.find("$GPRTE,");
  const size_t routeEnd = file.find("$GPRTE,1,1,W,EMPTY");
  ASSERT_NE(routeEnd, std::string::npos);
  const size_t waypointEnd = file.find("$POVRWPD,DATELINE,");
  EXPECT_EQ(generated, file.substr(waypointAt, waypointEnd - waypointAt) +
                           file.substr(routeAt, routeEnd - routeAt));
  // Asked again, the route starts from its first sentence.
  ASSERT_TRUE(fixture.database.GenerateSentence("RTE", sentence));
  EXPECT_EQ(sentence.Text(), file.substr(routeAt, file.find("\r\n", routeAt) + 2 - routeAt));
}

TEST(DatabaseFilePathTest, NamesAndBackup) {
  EXPECT_EQ(DatabaseFilePath("/home/u/Documents"), "/home/u/Documents/NaviStor7.ovr");
  EXPECT_EQ(DatabaseFilePath("/home/u/Documents/"), "/home/u/Documents/NaviStor7.ovr");
  EXPECT_EQ(BackupPathOf("/home/u/Documents/NaviStor7.ovr"), "/home/u/Documents/NaviStor7.ov~");
}

// --- Loading and saving on the worker threads --------------------------------------

TEST(DatabaseFileWorkerTest, LoadCreatesTheFileAndSaveKeepsTheOldOneAsBackup) {
  TemporaryFolder folder;
  DatabaseFixture fixture;
  NavigationDatabaseFile file(fixture.database, &fixture.prompter);
  EXPECT_FALSE(file.CanSaveNow());
  ASSERT_TRUE(file.StartLoading(folder.Path()));
  file.WaitForLoad();
  EXPECT_TRUE(file.IsLoadComplete());
  EXPECT_EQ(test::ReadWholeFile(folder.File("NaviStor7.ovr")), "");
  EXPECT_FALSE(file.CanSaveNow());  // nothing changed

  fixture.database.AppendWaypoint(Waypoint("FIRST", At(1.0, 1.0)));
  ASSERT_TRUE(file.CanSaveNow());
  ASSERT_TRUE(file.StartSaveNow());
  file.WaitForSave();
  EXPECT_TRUE(fixture.database.IsSaved());
  const std::string first = test::ReadWholeFile(folder.File("NaviStor7.ovr"));
  EXPECT_NE(first.find(",FIRST*"), std::string::npos);
  EXPECT_EQ(test::ReadWholeFile(folder.File("NaviStor7.ov~")), "");

  fixture.database.AppendWaypoint(Waypoint("SECOND", At(1.0, 1.0)));
  EXPECT_TRUE(file.SaveAtExit());
  EXPECT_NE(test::ReadWholeFile(folder.File("NaviStor7.ovr")).find(",SECOND*"), std::string::npos);
  EXPECT_EQ(test::ReadWholeFile(folder.File("NaviStor7.ov~")), first);
  EXPECT_TRUE(file.SaveAtExit());  // saved: no write
  // Only the database and its backup remain: no temporary files left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                          std::filesystem::directory_iterator()),
            2);
  EXPECT_TRUE(fixture.prompter.Asked().empty());
}

TEST(DatabaseFileWorkerTest, LoadReadsTheFileAndRestoresTheLastUsedEntries) {
  TemporaryFolder folder;
  WriteFile(folder.File("NaviStor7.ovr"), DatabaseFileText(SampleContents()) +
                                              std::string(300, 'x') + "\r\n" +
                                              Sentence("$GPWPL,0100.000,N,00100.000,E,TAIL"));
  DatabaseFixture fixture;
  fixture.settings.WriteDword(SettingsHive::kCurrentUser, kGeneralSettingsKey,
                              "WaypointLastUsedIndex", 2);
  fixture.settings.WriteDword(SettingsHive::kCurrentUser, kGeneralSettingsKey, "RouteLastUsedIndex",
                              7);  // out of range
  NavigationDatabaseFile file(fixture.database, &fixture.prompter);
  ASSERT_TRUE(file.StartLoading(folder.Path() + "/"));
  file.WaitForLoad();
  EXPECT_EQ(fixture.database.WaypointCount(), 5);
  EXPECT_EQ(fixture.database.FindWaypoint("TAIL"), 4);
  EXPECT_EQ(fixture.database.RouteCount(), 3);
  EXPECT_TRUE(fixture.database.IsSaved());
  EXPECT_EQ(fixture.database.LastUsedWaypoint(), 2);
  EXPECT_EQ(fixture.database.LastUsedRoute(), 2);  // the last merged route
  EXPECT_EQ(fixture.database.GetImportResult(), ImportResult::kNothing);
}

TEST(DatabaseFileWorkerTest, LoadRunsBesideReadersAndALiveSource) {
  TemporaryFolder folder;
  DatabaseContents big;
  for (int i = 0; i < 3000; ++i) big.waypoints.emplace_back("F" + std::to_string(i), At(1.0, 1.0));
  WriteFile(folder.File("NaviStor7.ovr"), DatabaseFileText(big));
  DatabaseFixture fixture;
  NavigationDatabaseFile file(fixture.database, &fixture.prompter);
  ASSERT_TRUE(file.StartLoading(folder.Path()));
  std::thread receiver([&] {
    for (int i = 0; i < 500; ++i) {
      fixture.database.TakeSentence(Sentence("$GPWPL,0100.000,N,00100.000,E,L" + std::to_string(i)),
                                    "/dev/ttyUSB0");
    }
  });
  while (file.IsLoading()) {
    const int count = fixture.database.WaypointCount();
    const std::optional<Waypoint> last = fixture.database.WaypointAt(count - 1);
    if (last) {
      EXPECT_GE(fixture.database.FindWaypoint(last->Name()), 0);
    }
  }
  receiver.join();
  file.WaitForLoad();
  EXPECT_EQ(fixture.database.WaypointCount(), 3500);
  EXPECT_FALSE(fixture.database.IsSaved());  // the receiver's waypoints are not in the file
}

TEST(DatabaseFileWorkerTest, OutOfMemoryStopsTheLoadAndBlocksWritingBack) {
  TemporaryFolder folder;
  WriteFile(folder.File("NaviStor7.ovr"), DatabaseFileText(SampleContents()));
  DatabaseFixture fixture;
  NavigationDatabaseFile file(fixture.database, &fixture.prompter);
  int lines = 0;
  ASSERT_TRUE(file.StartLoading(folder.Path(), [&](std::string_view line) {
    if (++lines == 10) return NavigationDatabaseFile::LineVerdict::kOutOfMemory;
    fixture.database.TakeSentence(line, file.Path());
    return NavigationDatabaseFile::LineVerdict::kGoOn;
  }));
  file.WaitForLoad();
  EXPECT_EQ(lines, 10);
  EXPECT_EQ(fixture.database.WaypointCount(), 1);
  ASSERT_EQ(fixture.prompter.Asked().size(), 1u);
  EXPECT_EQ(fixture.prompter.Asked()[0].text, "Out of memory");
  EXPECT_EQ(fixture.prompter.Asked()[0].caption, "Irreparable Error");
  EXPECT_EQ(fixture.prompter.Asked()[0].icon, PromptIcon::kStop);

  // What was read is a part of the file: writing it back would lose the rest.
  fixture.database.AppendWaypoint(Waypoint("NEW", At(1.0, 1.0)));
  EXPECT_FALSE(file.CanSaveNow());
  file.SaveAtExit();
  EXPECT_EQ(test::ReadWholeFile(folder.File("NaviStor7.ovr")), DatabaseFileText(SampleContents()));
}

TEST(DatabaseFileWorkerTest, FailedWriteIsReportedAndLeavesTheDatabaseUnsaved) {
  TemporaryFolder folder;
  const std::string documents = folder.File("Documents");
  std::filesystem::create_directory(documents);
  DatabaseFixture fixture;
  NavigationDatabaseFile file(fixture.database, &fixture.prompter);
  ASSERT_TRUE(file.StartLoading(documents));
  file.WaitForLoad();
  fixture.database.AppendWaypoint(Waypoint("A", At(1.0, 1.0)));
  std::filesystem::remove_all(documents);  // the folder went away under the program
  EXPECT_FALSE(file.Save());
  EXPECT_FALSE(fixture.database.IsSaved());
  ASSERT_EQ(fixture.prompter.Asked().size(), 1u);
  const Prompt report = fixture.prompter.Asked()[0];
  EXPECT_TRUE(report.text.starts_with("CreateFile failed\n\nError:(2)\n\n")) << report.text;
  EXPECT_NE(report.text.find("\nContext:" + documents + "/~"), std::string::npos);
  EXPECT_EQ(report.caption, "Irreparable Error");
}

TEST(ReportFileErrorTest, SystemErrorText) {
  ScriptedPrompter prompter;
  ReportFileError(&prompter, FileError{"MoveFile", 2, "/docs/~abc.tmp"});
  ReportFileError(&prompter, FileError{"WriteFile", 28, ""});
  ReportFileError(&prompter, FileError{"WriteFile", 0, "ignored"});
  const std::vector<Prompt> asked = prompter.Asked();
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].text, "MoveFile failed\n\nError:(2)\n\n" + std::string(std::strerror(2)) +
                               "\nContext:/docs/~abc.tmp");
  EXPECT_EQ(asked[1].text, "WriteFile failed\n\nError:(28)\n\n" + std::string(std::strerror(28)));
  EXPECT_EQ(asked[0].caption, "Irreparable Error");
  EXPECT_EQ(asked[0].icon, PromptIcon::kStop);
}

TEST(ExportRouteTest, WritesTheRouteFileAndConfirms) {
  TemporaryFolder folder;
  DatabaseFixture fixture;
  fixture.database.AppendWaypoint(Waypoint("A", At(1.0, 2.0)));
  fixture.database.AppendRoute(Route("R", {"A"}));
  NavigationDatabaseFile file(fixture.database, &fixture.prompter);
  const std::string path = folder.File("route.txt");
  ASSERT_TRUE(file.ExportRoute(0, path));
  EXPECT_EQ(test::ReadWholeFile(path), RouteFileText(fixture.database, 0));
  ASSERT_EQ(fixture.prompter.Asked().size(), 1u);
  EXPECT_EQ(fixture.prompter.Asked()[0].text,
            "The file '" + path +
                "' was successfully saved. Please! Use the File Explorer to copy or move the "
                "file.");
  EXPECT_EQ(fixture.prompter.Asked()[0].icon, PromptIcon::kInformation);
}

}  // namespace
}  // namespace orv
