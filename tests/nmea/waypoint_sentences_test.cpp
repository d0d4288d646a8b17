#include <gtest/gtest.h>

#include <string>

#include "nmea/nmea_parser.h"
#include "nmea/nmea_sentence.h"
#include "nmea/rte_sentence.h"
#include "nmea/wpd_sentence.h"
#include "nmea/wpl_sentence.h"

namespace orv {
namespace {

NmeaSentence Finished(const std::string& body) {
  NmeaSentence sentence(body);
  sentence.Finish();
  return sentence;
}

TEST(WplSentenceTest, ParsesAndWritesAWaypoint) {
  WplSentence wpl;
  ASSERT_TRUE(wpl.Parse(Finished("$GPWPL,4807.038,N,01131.000,E,HOME")));
  EXPECT_TRUE(wpl.Position().IsValid());
  EXPECT_NEAR(wpl.Position().LatitudeDegrees(), 48.1173, 1e-9);
  EXPECT_NEAR(wpl.Position().LongitudeDegrees(), 11.516666666666667, 1e-9);
  EXPECT_EQ(wpl.Name(), "HOME");

  NmeaSentence written;
  ASSERT_TRUE(wpl.Write(written));
  EXPECT_EQ(written.Text(), "$GPWPL,4807.0380,N,01131.0000,E,HOME*46\r\n");

  WplSentence reread;
  ASSERT_TRUE(reread.Parse(written));
  EXPECT_EQ(reread.Position(), wpl.Position());
  EXPECT_EQ(reread.Name(), "HOME");
}

TEST(WplSentenceTest, WritesSouthWestFromDegrees) {
  WplSentence wpl;
  LatLong position;
  position.SetDegrees(-33.91, -151.205);
  wpl.SetWaypoint(position, "SYD-1");
  NmeaSentence written;
  ASSERT_TRUE(wpl.Write(written));
  EXPECT_EQ(written.Text(), "$GPWPL,3354.6000,S,15112.3000,W,SYD-1*14\r\n");
}

TEST(WplSentenceTest, RejectedSentencesKeepTheLastWaypoint) {
  const char* rejected[] = {
      "$GPWPL,4807.038,N,01131.000,E*1B\r\n",        // 4 fields
      "$GPWPL,4807.038,N,01131.000,E,X,Y*1B\r\n",    // 6 fields
      "$GPWPL,4807.038,N,01131.000,E,OTHER*00\r\n",  // wrong checksum
      "$GPWPL,4807.038,N,01131.000,E,OTHER\r\n",     // no checksum
  };
  WplSentence wpl;
  ASSERT_TRUE(wpl.Parse(Finished("$GPWPL,4807.038,N,01131.000,E,HOME")));
  for (const char* text : rejected) {
    EXPECT_FALSE(wpl.Parse(NmeaSentence(text))) << text;
    EXPECT_EQ(wpl.Name(), "HOME");
    EXPECT_NEAR(wpl.Position().LatitudeDegrees(), 48.1173, 1e-9);
  }
}

TEST(WplSentenceTest, BadHemisphereDoesNotInheritThePreviousPosition) {
  WplSentence wpl;
  ASSERT_TRUE(wpl.Parse(Finished("$GPWPL,4807.038,N,01131.000,E,HOME")));
  ASSERT_TRUE(wpl.Parse(Finished("$GPWPL,1000.000,X,02000.000,E,ODD")));
  EXPECT_FALSE(wpl.Position().IsValid());
  EXPECT_EQ(wpl.Position().LatitudeDegrees(), LatLong::kNotSet);
  EXPECT_EQ(wpl.Name(), "ODD");
}

TEST(WpdSentenceTest, ParsesWritesAndRejects) {
  WpdSentence wpd;
  EXPECT_EQ(wpd.Talker(), "POVR");
  ASSERT_TRUE(wpd.Parse(Finished("$POVRWPD,HOME,Garage")));
  EXPECT_EQ(wpd.Name(), "HOME");
  EXPECT_EQ(wpd.Description(), "Garage");

  NmeaSentence written;
  ASSERT_TRUE(wpd.Write(written));
  EXPECT_EQ(written.Text(), "$POVRWPD,HOME,Garage*60\r\n");

  ASSERT_TRUE(wpd.Parse(Finished("$POVRWPD,CAMP,")));
  EXPECT_EQ(wpd.Description(), "");
  // A description with a comma is a third field: not ours.
  EXPECT_FALSE(wpd.Parse(Finished("$POVRWPD,HOME,Garage,left")));
  EXPECT_FALSE(wpd.Parse(Finished("$POVRWPD,HOME")));
  EXPECT_FALSE(wpd.Parse(NmeaSentence("$POVRWPD,HOME,Garage*61\r\n")));
  EXPECT_EQ(wpd.Name(), "CAMP");
}

// The three navigation sentences behind one dispatcher, as the database
// will hold them, reading a body such as its file holds.
TEST(NavigationSentencesTest, DispatchByMnemonic) {
  class Sink : public RouteSink {
   public:
    void TakeRoute(RouteRecord route) override { routes.push_back(std::move(route)); }
    std::vector<RouteRecord> routes;
  } sink;
  WplSentence wpl;
  WpdSentence wpd;
  RteSentence rte;
  rte.SetRouteSink(&sink);
  NmeaParser parser;
  for (NmeaResponse* response : {static_cast<NmeaResponse*>(&wpl), static_cast<NmeaResponse*>(&wpd),
                                 static_cast<NmeaResponse*>(&rte)}) {
    parser.AddResponse(*response);
  }
  parser.SortResponses();

  EXPECT_EQ(parser.Dispatch(Finished("$POVRWPD,HOME,Garage").Text()),
            NmeaParser::Outcome::kAccepted);
  EXPECT_EQ(wpd.Name(), "HOME");
  EXPECT_EQ(parser.Dispatch(Finished("$GPWPL,4807.038,N,01131.000,E,HOME").Text()),
            NmeaParser::Outcome::kAccepted);
  EXPECT_EQ(wpl.Name(), "HOME");
  EXPECT_EQ(parser.Dispatch(Finished("$GPRTE,1,1,C,R1,HOME").Text()),
            NmeaParser::Outcome::kAccepted);
  ASSERT_EQ(sink.routes.size(), 1u);
  EXPECT_EQ(sink.routes[0].waypointNames, std::vector<std::string>{"HOME"});
}

}  // namespace
}  // namespace orv
