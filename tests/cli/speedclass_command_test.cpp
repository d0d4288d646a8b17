#include <gtest/gtest.h>

#include "track_fixture.h"

namespace orv::cli {
namespace {

using namespace testing;

TEST(SpeedClassCommandTest, PrintsRowsAndRejectsBadSpeeds) {
  const CliCase cases[] = {
      {"both rules agree",
       {"speedclass", "40"},
       0,
       "map+kml row 8 style 71-80_kmh color ff00d250\n",
       ""},
      {"exactly the first bound: the rules differ",
       {"speedclass", "3"},
       0,
       "map row 1 style 6-10_kmh color ffb43c00\nkml row 0 style 0-5_kmh color ff8c0000\n",
       ""},
      {"above every bound",
       {"speedclass", "1e6"},
       0,
       "map+kml row 28 style 901-1000_kmh_and_more color ff000032\n",
       ""},
      {"missing speed", {"speedclass"}, 2, "", "got 0 arguments"},
      {"two speeds", {"speedclass", "1", "2"}, 2, "", "got 2 arguments"},
      {"not a number", {"speedclass", "fast"}, 2, "", "KNOTS is not a finite number"},
      {"nan", {"speedclass", "nan"}, 2, "", "KNOTS is not a finite number"},
      {"negative", {"speedclass", "-1"}, 2, "", "KNOTS must not be negative"},
  };
  for (const auto& c : cases) ExpectCliCase(c);
}

}  // namespace
}  // namespace orv::cli
