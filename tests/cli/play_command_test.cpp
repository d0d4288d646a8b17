#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "track_fixture.h"

namespace orv::cli {
namespace {

using namespace testing;

// Ten points, 12:00:00 to 12:00:09: the time in a burst tells the cursor.
constexpr Epoch kTenPoints[] = {
    {"36.0", "500.0"}, {"36.0", "500.0"}, {"36.0", "500.0"}, {"36.0", "500.0"}, {"36.0", "500.0"},
    {"36.0", "500.0"}, {"36.0", "500.0"}, {"36.0", "500.0"}, {"36.0", "500.0"}, {"36.0", "500.0"}};

struct Burst {
  std::string mnemonics;  // e.g. "GGA GSA RMC VTG GLL"
  std::string ggaTime;
};

// Splits the output into bursts, each starting with its GGA.
std::vector<Burst> Bursts(const std::string& out) {
  std::vector<Burst> bursts;
  size_t at = 0;
  while (at < out.size()) {
    const size_t end = out.find("\r\n", at);
    if (end == std::string::npos) break;
    const std::string line = out.substr(at, end - at);
    at = end + 2;
    const std::string mnemonic = line.substr(3, 3);
    if (mnemonic == "GGA") bursts.push_back({"", line.substr(7, 6)});
    if (bursts.empty()) continue;
    if (!bursts.back().mnemonics.empty()) bursts.back().mnemonics += ' ';
    bursts.back().mnemonics += mnemonic;
  }
  return bursts;
}

std::vector<std::string> Times(const std::vector<Burst>& bursts) {
  std::vector<std::string> times;
  for (const Burst& b : bursts) times.push_back(b.ggaTime);
  return times;
}

TEST(PlayCommand, CursorFollowsZoomDirectionAndMode) {
  const TempFile file("ten.txt", Drive(kTenPoints));
  struct PlayCase {
    const char* legend;
    Args options;
    std::vector<std::string> times;
  };
  const PlayCase cases[] = {
      {"forward x3 runs until the cursor stayed at the end",
       {"--zoom", "3"},
       {"120003", "120006", "120009", "120009"}},
      {"reverse x3 from the end",
       {"--zoom", "3", "--reverse"},
       {"120006", "120003", "120000", "120000"}},
      {"x100 clamps at the last point", {"--zoom", "100"}, {"120009", "120009"}},
      {"paused sends the point under the cursor once", {"--pause"}, {"120000"}},
      {"paused keeps sending it", {"--pause", "--steps", "3"}, {"120000", "120000", "120000"}},
      {"steps limit a forward run", {"--steps", "2"}, {"120001", "120002"}},
      {"steps beyond the end repeat the last point",
       {"--zoom", "5", "--steps", "4"},
       {"120005", "120009", "120009", "120009"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    Args args{"play", file.path()};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const auto r = RunCli(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Times(Bursts(r.out)), c.times);
  }
}

TEST(PlayCommand, BurstOrderWithGsvOnEveryFifthStep) {
  const TempFile file("ten.txt", Drive(kTenPoints));
  const auto bursts = Bursts(RunCli({"play", file.path(), "--steps", "10"}).out);
  ASSERT_EQ(bursts.size(), 10u);
  for (size_t step = 1; step <= bursts.size(); ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    if (step % 5 == 0) {
      EXPECT_EQ(bursts[step - 1].mnemonics.substr(0, 12), "GGA GSA GSV ");
      EXPECT_EQ(bursts[step - 1].mnemonics.substr(bursts[step - 1].mnemonics.size() - 12),
                " RMC VTG GLL");
    } else {
      EXPECT_EQ(bursts[step - 1].mnemonics, "GGA GSA RMC VTG GLL");
    }
  }
}

}  // namespace
}  // namespace orv::cli
