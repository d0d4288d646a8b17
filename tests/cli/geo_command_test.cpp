#include <gtest/gtest.h>

#include "track_fixture.h"

namespace orv::cli {
namespace {

using namespace testing;

TEST(GeoCommandTest, PrintsResultsWithTenDecimals) {
  const CliCase cases[] = {
      {"distance along the meridian",
       {"geo", "distance", "0", "0", "1", "0"},
       0,
       "59.7043718607\n",
       ""},
      {"distance of coinciding points",
       {"geo", "distance", "47.5", "8.5", "47.5", "8.5"},
       0,
       "0.0000000000\n",
       ""},
      {"azimuth due west", {"geo", "azimuth", "10", "10", "10", "9"}, 0, "270.0000000000\n", ""},
      {"azimuth with explicit signs",
       {"geo", "azimuth", "+10", "-10", "-10", "-10"},
       0,
       "180.0000000000\n",
       ""},
      {"azimuth of coinciding points",
       {"geo", "azimuth", "1", "2", "1", "2"},
       0,
       "-1.0000000000\n",
       ""},
      {"destination north",
       {"geo", "destination", "0", "0", "60", "0"},
       0,
       "0.9993261682 0.0000000000\n",
       ""},
      // The rounded half-pi leaves a trace in the ninth decimal on the equator.
      {"destination across the antimeridian",
       {"geo", "destination", "0", "179.5", "60", "90"},
       0,
       "-0.0000000003 180.4993261685\n",
       ""},
      {"destination with azimuth 360 stays put",
       {"geo", "destination", "-33.25", "151.5", "5", "360"},
       0,
       "-33.2500000000 151.5000000000\n",
       ""},
  };
  for (const auto& c : cases) ExpectCliCase(c);
}

TEST(GeoCommandTest, BadArgumentsAreUsageErrors) {
  const CliCase cases[] = {
      {"no operation", {"geo"}, 2, "", "missing operation"},
      {"unknown operation", {"geo", "bearing", "0", "0", "1", "1"}, 2, "", "unknown operation"},
      {"too few numbers", {"geo", "distance", "0", "0", "1"}, 2, "", "takes 4 numbers, got 3"},
      {"extra number", {"geo", "azimuth", "0", "0", "1", "1", "2"}, 2, "", "got 5"},
      {"not a number", {"geo", "distance", "north", "0", "1", "1"}, 2, "", "LAT1 is not a finite"},
      {"trailing junk", {"geo", "distance", "0", "0", "1", "1x"}, 2, "", "LON2 is not a finite"},
      {"empty argument", {"geo", "distance", "0", "", "1", "1"}, 2, "", "LON1 is not a finite"},
      {"comma decimal", {"geo", "distance", "0,5", "0", "1", "1"}, 2, "", "LAT1"},
      {"nan", {"geo", "azimuth", "0", "nan", "1", "1"}, 2, "", "LON1 is not a finite"},
      {"inf", {"geo", "destination", "0", "0", "inf", "1"}, 2, "", "DISTANCE_NM is not a finite"},
      {"overflowing number", {"geo", "distance", "0", "0", "1e999", "1"}, 2, "", "LAT2"},
      {"latitude beyond the pole",
       {"geo", "distance", "0", "0", "90.5", "1"},
       2,
       "",
       "LAT2 must be within [-90, 90]"},
      {"unknown-coordinate marker",
       {"geo", "azimuth", "1.7976931348623157e308", "0", "1", "1"},
       2,
       "",
       "LAT1 must be within"},
      {"negative distance",
       {"geo", "destination", "0", "0", "-5", "90"},
       2,
       "",
       "DISTANCE_NM must not be negative"},
  };
  for (const auto& c : cases) ExpectCliCase(c);
}

TEST(GeoCommandTest, HelpAnywhereShowsUsage) {
  const auto r = RunCli({"geo", "distance", "1", "--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("Usage: orvelle-cli geo distance", 0), 0u);
  EXPECT_EQ(r.err, "");
}

}  // namespace
}  // namespace orv::cli
