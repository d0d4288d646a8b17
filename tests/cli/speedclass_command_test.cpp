#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"

namespace orv::cli {
namespace {

struct SpeedClassCase {
  const char* legend;
  Args args;
  int status;
  std::string out;
  std::string err_contains;
};

TEST(SpeedClassCommandTest, PrintsRowsAndRejectsBadSpeeds) {
  const SpeedClassCase cases[] = {
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
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    std::istringstream in;
    std::ostringstream out, err;
    Io io{in, out, err};
    EXPECT_EQ(orv::cli::Run(c.args, io), c.status);
    EXPECT_EQ(out.str(), c.out);
    if (c.err_contains.empty()) {
      EXPECT_EQ(err.str(), "");
    } else {
      EXPECT_NE(err.str().find(c.err_contains), std::string::npos) << err.str();
    }
  }
}

}  // namespace
}  // namespace orv::cli
