#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

#include "cli/cli.h"
#include "track_fixture.h"

namespace orv::cli {
namespace {

using namespace testing;

// Number texts in the C format whatever the test's locale.
std::string Text(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

double Number(std::string_view text) {
  double value = std::nan("");
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

TEST(CoordCommandTest, FormatsInEachStyle) {
  struct Case {
    const char* legend;
    Args args;
    std::string out;
  };
  const Case cases[] = {
      {"traditional",
       {"coord", "format", "12.51", "-11.5", "--style", "0"},
       "latitude: N 12\xC2\xB0"
       "30'36.000\"\n"
       "longitude: W  11\xC2\xB0"
       "30' 0.000\"\n"
       "position: N12\xC2\xB0"
       "30.6000',W011\xC2\xB0"
       "30.0000';\n"},
      {"decimal minutes",
       {"coord", "format", "12.51", "-11.5", "--style", "1"},
       "latitude: N 12\xC2\xB0"
       "30.6000'\n"
       "longitude: W  11\xC2\xB0"
       "30.0000'\n"
       "position: N12\xC2\xB0"
       "30.6000',W011\xC2\xB0"
       "30.0000';\n"},
      // The copied text keeps four decimals of minutes: 59.9999994' carries to 180, and a
      // latitude that rounds to nothing loses its south.
      {"decimal degrees, south",
       {"coord", "format", "-0.00000001", "179.99999999", "--style", "2"},
       "latitude: S  0.00000001\xC2\xB0\n"
       "longitude: E 179.99999999\xC2\xB0\n"
       "position: N00\xC2\xB0"
       "00.0000',E180\xC2\xB0"
       "00.0000';\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    const Result result = RunCli(c.args);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, c.out);
  }
}

TEST(CoordCommandTest, ParsesWhatFormatWritesBack) {
  const double positions[][2] = {{12.51, -11.5}, {-33.8567844, 151.2152967}, {89.99, -179.25}};
  for (const auto& p : positions) {
    for (const char* style : {"0", "1", "2"}) {
      SCOPED_TRACE(Text(p[0]) + " " + Text(p[1]) + " style " + style);
      const Result formatted =
          RunCli({"coord", "format", Text(p[0]), Text(p[1]), "--style", style});
      ASSERT_EQ(formatted.status, 0) << formatted.err;
      // Each shown line reads back within the style's resolution.
      const double tolerance = style[0] == '0'   ? 0.001 / 3600
                               : style[0] == '1' ? 0.0001 / 60
                                                 : 1e-8;
      size_t line_start = 0;
      for (int axis = 0; axis < 2; ++axis) {
        const size_t colon = formatted.out.find(": ", line_start);
        const size_t line_end = formatted.out.find('\n', colon);
        const std::string text = formatted.out.substr(colon + 2, line_end - colon - 2);
        const Result parsed = RunCli({"coord", "parse", text, "--axis", axis == 0 ? "lat" : "lon"});
        ASSERT_EQ(parsed.status, 0) << text << ": " << parsed.err;
        EXPECT_NEAR(Number(parsed.out.substr(0, parsed.out.size() - 1)), p[axis], tolerance + 1e-12)
            << text;
        line_start = line_end + 1;
      }
    }
  }
}

TEST(CoordCommandTest, ParsesSingleCoordinatesAndCopiedPositions) {
  struct Case {
    const char* legend;
    Args args;
    int status;
    std::string out;
    std::string err;
  };
  const Case cases[] = {
      {"longitude by its letter",
       {"coord", "parse",
        "W 11\xC2\xB0"
        "30'"},
       0,
       "-11.50000000\n",
       ""},
      {"latitude by default", {"coord", "parse", "12.5"}, 0, "12.50000000\n", ""},
      {"copied position",
       {"coord", "parse",
        "N12\xC2\xB0"
        "30.6000',E011\xC2\xB0"
        "31.0000';"},
       0,
       "12.51000000 11.51666667\n",
       ""},
      {"minutes 60",
       {"coord", "parse",
        "N 12\xC2\xB0"
        "60'"},
       2,
       "",
       "not a latitude"},
      {"beyond the pole", {"coord", "parse", "91"}, 2, "", "not a latitude"},
      {"longitude beyond 180",
       {"coord", "parse", "180.5", "--axis", "lon"},
       2,
       "",
       "not a longitude"},
      {"words", {"coord", "parse", "somewhere"}, 2, "", "not a latitude"},
      {"half a position",
       {"coord", "parse",
        "N12\xC2\xB0"
        "30.6000',"},
       2,
       "",
       "not a position"},
      {"bad axis", {"coord", "parse", "12", "--axis", "up"}, 2, "", "--axis must be lat or lon"},
      {"style 3",
       {"coord", "format", "1", "2", "--style", "3"},
       2,
       "",
       "--style must be 0, 1 or 2"},
      {"no style", {"coord", "format", "1", "2"}, 2, "", "needs --style"},
      {"latitude too big",
       {"coord", "format", "90.1", "2", "--style", "1"},
       2,
       "",
       "not a latitude"},
      {"no operation", {"coord"}, 2, "", "missing operation"},
      {"unknown operation", {"coord", "convert", "1"}, 2, "", "unknown operation"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    const Result result = RunCli(c.args);
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_EQ(result.out, c.out);
    if (c.err.empty()) {
      EXPECT_EQ(result.err, "");
    } else {
      EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
    }
  }
}

}  // namespace
}  // namespace orv::cli
