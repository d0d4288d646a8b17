#include "nmea/rte_sentence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nmea/nmea_parser.h"
#include "nmea/nmea_sentence.h"

namespace orv {
namespace {

class CollectingSink : public RouteSink {
 public:
  void TakeRoute(RouteRecord route) override { routes.push_back(std::move(route)); }
  std::vector<RouteRecord> routes;
};

// "$GPRTE,..." without checksum -> the complete sentence.
NmeaSentence Finished(const std::string& body) {
  NmeaSentence sentence(body);
  sentence.Finish();
  return sentence;
}

std::vector<std::string> FiveLetterNames(int count) {
  std::vector<std::string> names;
  for (int i = 1; i <= count; ++i)
    names.push_back("WP" + std::string(i < 10 ? "00" : "0") + std::to_string(i));
  return names;
}

std::string UpToStar(const NmeaSentence& sentence) {
  return sentence.Text().substr(0, sentence.Text().find('*') + 1);
}

// Every sentence the writer yields for one pass over the route.
std::vector<NmeaSentence> WriteAll(RteSentence& writer) {
  std::vector<NmeaSentence> sentences;
  NmeaSentence sentence;
  while (writer.Write(sentence)) {
    sentences.push_back(sentence);
    if (sentences.size() > 1000) break;  // a writer that never ends
  }
  return sentences;
}

TEST(RteWriteTest, TwentyFiveLetterNamesGoSixToASentence) {
  const RouteRecord route{RouteType::kComplete, "R1", FiveLetterNames(20)};
  EXPECT_EQ(RteSentence::NameBudget("R1"), 39);
  EXPECT_EQ(RteSentence::SentenceCount(route), 4);

  RteSentence writer;
  writer.SetRouteToWrite(route);
  const std::vector<NmeaSentence> sentences = WriteAll(writer);
  ASSERT_EQ(sentences.size(), 4u);
  EXPECT_EQ(UpToStar(sentences[0]), "$GPRTE,4,1,C,R1,WP001,WP002,WP003,WP004,WP005,WP006*");
  EXPECT_EQ(UpToStar(sentences[3]), "$GPRTE,4,4,C,R1,WP019,WP020*");
  const int expectedNames[] = {6, 6, 6, 2};
  for (size_t i = 0; i < sentences.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(sentences[i].GetDataFieldCount() - 4, expectedNames[i]);
    EXPECT_EQ(sentences[i].GetInteger(2), static_cast<int>(i + 1));
    EXPECT_EQ(sentences[i].IsChecksumBad(), NmeaBoolean::kFalse);
    EXPECT_TRUE(NmeaParser::IsGoodSentence(sentences[i].View(), kMaxWriteLineLength));
  }

  // After reporting the end, the next request writes the route again.
  NmeaSentence again;
  ASSERT_TRUE(writer.Write(again));
  EXPECT_EQ(again.Text(), sentences[0].Text());
}

struct BudgetCase {
  const char* legend;
  RouteRecord route;
  std::vector<int> namesPerSentence;  // empty: one sentence without names
};

class RteBudgetTest : public ::testing::TestWithParam<BudgetCase> {};

TEST_P(RteBudgetTest, SplitsAndReadsBack) {
  const BudgetCase& c = GetParam();
  EXPECT_EQ(RteSentence::SentenceCount(c.route), static_cast<int>(c.namesPerSentence.size()));

  RteSentence writer;
  writer.SetRouteToWrite(c.route);
  const std::vector<NmeaSentence> sentences = WriteAll(writer);
  const size_t expectedSentences = c.namesPerSentence.empty() ? 1 : c.namesPerSentence.size();
  ASSERT_EQ(sentences.size(), expectedSentences);

  RteSentence reader;
  CollectingSink sink;
  reader.SetRouteSink(&sink);
  for (size_t i = 0; i < sentences.size(); ++i) {
    SCOPED_TRACE(sentences[i].Text());
    const int names = c.namesPerSentence.empty() ? 0 : c.namesPerSentence[i];
    EXPECT_EQ(sentences[i].GetDataFieldCount() - 4, names);
    EXPECT_EQ(sentences[i].GetInteger(1), static_cast<int>(expectedSentences));
    EXPECT_TRUE(reader.Parse(sentences[i]));
  }

  ASSERT_EQ(sink.routes.size(), 1u);
  RouteRecord expected = c.route;
  if (c.namesPerSentence.empty()) expected.waypointNames.clear();
  EXPECT_EQ(sink.routes[0], expected);
}

const std::string k12 = "ABCDEFGHIJKL";  // costs 13: three fill the budget of "R1"
const std::string kLong(45, 'L');        // costs 46, more than any budget

INSTANTIATE_TEST_SUITE_P(
    Budgets, RteBudgetTest,
    ::testing::Values(BudgetCase{"names fill the budget exactly",
                                 {RouteType::kComplete, "R1", {k12, k12, k12, "X"}},
                                 {3, 1}},
                      BudgetCase{"budget filled by the last name",
                                 {RouteType::kWorking, "R1", {k12, k12, k12}},
                                 {3}},
                      BudgetCase{"name longer than the budget in the middle",
                                 {RouteType::kComplete, "R1", {"A", kLong, "B"}},
                                 {1, 1, 1}},
                      BudgetCase{"name longer than the budget first",
                                 {RouteType::kNone, "R1", {kLong, "A"}},
                                 {1, 1}},
                      BudgetCase{"long name right after an exactly filled sentence",
                                 {RouteType::kComplete, "R1", {k12, k12, k12, kLong, "B"}},
                                 {3, 1, 1}},
                      BudgetCase{"route without names", {RouteType::kComplete, "R1", {}}, {}},
                      BudgetCase{"budget 1: every name alone",
                                 {RouteType::kComplete, std::string(40, 'N'), {"AB", "CD"}},
                                 {1, 1}},
                      BudgetCase{"budget 0: names are left out",
                                 {RouteType::kComplete, std::string(41, 'N'), {"AB", "CD"}},
                                 {}}),
    [](const ::testing::TestParamInfo<BudgetCase>& info) {
      return "case" + std::to_string(info.index);
    });

TEST(RteWriteTest, EmptyRouteIsOneSentenceWithTotalOne) {
  RteSentence writer;
  writer.SetRouteToWrite({RouteType::kComplete, "R1", {}});
  NmeaSentence sentence;
  ASSERT_TRUE(writer.Write(sentence));
  EXPECT_EQ(sentence.Text(), "$GPRTE,1,1,C,R1*74\r\n");
  EXPECT_FALSE(writer.Write(sentence));
}

TEST(RteWriteTest, NothingToWriteBeforeARouteIsSet) {
  RteSentence writer;
  NmeaSentence sentence;
  EXPECT_FALSE(writer.Write(sentence));
}

struct ReadCase {
  const char* legend;
  std::vector<std::string> bodies;  // finished with a checksum unless they hold "*"
  std::vector<bool> accepted;
  std::vector<RouteRecord> routes;
};

TEST(RteReadTest, CollectsContinuationsAndRejectsStrangers) {
  const ReadCase cases[] = {
      {"one sentence", {"$GPRTE,1,1,c,R1,A,B"}, {true}, {{RouteType::kComplete, "R1", {"A", "B"}}}},
      {"two sentences",
       {"$GPRTE,2,1,W,R1,A", "$GPRTE,2,2,w,R1,B,C"},
       {true, true},
       {{RouteType::kWorking, "R1", {"A", "B", "C"}}}},
      {"unknown type letter", {"$GPRTE,1,1,X,R1,A"}, {true}, {{RouteType::kNone, "R1", {"A"}}}},
      {"other talker", {"$GNRTE,1,1,C,R1,A"}, {true}, {{RouteType::kComplete, "R1", {"A"}}}},
      {"continuation with another total",
       {"$GPRTE,2,1,C,R1,A", "$GPRTE,3,2,C,R1,B", "$GPRTE,2,2,C,R1,C"},
       {true, false, true},
       {{RouteType::kComplete, "R1", {"A", "C"}}}},
      {"continuation with another name",
       {"$GPRTE,2,1,C,R1,A", "$GPRTE,2,2,C,R2,B"},
       {true, false},
       {}},
      {"continuation without a start", {"$GPRTE,2,2,C,R1,B"}, {false}, {}},
      {"number 0 and number above the total",
       {"$GPRTE,2,0,C,R1,A", "$GPRTE,2,3,C,R1,A", "$GPRTE,0,0,C,R1,A"},
       {false, false, false},
       {}},
      {"a new start drops the unfinished route",
       {"$GPRTE,2,1,C,R1,A", "$GPRTE,2,1,C,R2,X", "$GPRTE,2,2,C,R2,Y"},
       {true, true, true},
       {{RouteType::kComplete, "R2", {"X", "Y"}}}},
      {"a finished route does not take a stray continuation",
       {"$GPRTE,2,1,C,R1,A", "$GPRTE,2,2,C,R1,B", "$GPRTE,2,2,C,R1,C"},
       {true, true, false},
       {{RouteType::kComplete, "R1", {"A", "B"}}}},
      {"too few fields", {"$GPRTE,1,1,C"}, {false}, {}},
      {"wrong checksum", {"$GPRTE,1,1,C,R1,A*00\r\n"}, {false}, {}},
      {"no checksum", {"$GPRTE,1,1,C,R1,A\r\n"}, {false}, {}},
      {"empty checksum", {"$GPRTE,1,1,C,R1,A*\r\n"}, {false}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    RteSentence reader;
    CollectingSink sink;
    reader.SetRouteSink(&sink);
    ASSERT_EQ(c.bodies.size(), c.accepted.size());
    for (size_t i = 0; i < c.bodies.size(); ++i) {
      const std::string& body = c.bodies[i];
      const NmeaSentence sentence =
          body.find('*') == std::string::npos && body.find('\r') == std::string::npos
              ? Finished(body)
              : NmeaSentence(body);
      EXPECT_EQ(reader.Parse(sentence), c.accepted[i]) << body;
    }
    EXPECT_EQ(sink.routes, c.routes);
  }
}

TEST(RteReadTest, RejectedSentenceKeepsTheRouteInProgress) {
  RteSentence reader;
  ASSERT_TRUE(reader.Parse(Finished("$GPRTE,3,1,C,R1,A")));
  EXPECT_FALSE(reader.Parse(Finished("$GPRTE,3,2,W,R9,B")));
  EXPECT_EQ(reader.ReadingTotal(), 3);
  EXPECT_EQ(reader.RouteBeingRead(), (RouteRecord{RouteType::kComplete, "R1", {"A"}}));
}

}  // namespace
}  // namespace orv
