#include <gtest/gtest.h>
#include <unzip.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "test_folder.h"
#include "track_fixture.h"

namespace orv::cli {
namespace {

using namespace testing;

constexpr Epoch kTrip[] = {{"10.0", "100.0"}, {"30.0", "300.0"}, {"20.0", "50.0"},
                           {"0.0", "200.0"},  {"5.0", "210.0"},  {"5.0", "220.0"},
                           {"5.0", "230.0"},  {"5.0", "240.0"},  {"5.0", "250.0"},
                           {"5.0", "260.0"},  {"5.0", "270.0"},  {"5.0", "280.0"}};

// Settings of an empty configuration folder: the stored defaults.
class ExportCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    config_ = std::filesystem::path(track_.path()).parent_path() / "config";
    std::filesystem::create_directories(config_);
    const char* old = std::getenv("XDG_CONFIG_HOME");
    if (old != nullptr) oldConfig_ = old;
    setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
  }
  void TearDown() override {
    if (oldConfig_) {
      setenv("XDG_CONFIG_HOME", oldConfig_->c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
  }
  std::string Out(const std::string& name) const {
    return (std::filesystem::path(track_.path()).parent_path() / name).string();
  }

  TempFile track_{"trip.txt", Drive(kTrip)};
  std::filesystem::path config_;
  std::optional<std::string> oldConfig_;
};

struct OptionCase {
  std::vector<std::string> options;
  std::vector<std::string> present;
  std::vector<std::string> absent;
};

class ExportOptions : public ExportCommand, public ::testing::WithParamInterface<OptionCase> {};

TEST_P(ExportOptions, ShapeTheDocument) {
  Args args = {"export", track_.path(), "-o", Out("t.kml")};
  args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
  const auto r = RunCli(args);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, Out("t.kml") + ": 12 track points as KML\n");
  const std::string text = test::ReadWholeFile(Out("t.kml"));
  for (const std::string& s : GetParam().present) EXPECT_NE(text.find(s), std::string::npos) << s;
  for (const std::string& s : GetParam().absent) EXPECT_EQ(text.find(s), std::string::npos) << s;
}

// Defaults: coloured, clamped to ground, nautical units.
INSTANTIATE_TEST_SUITE_P(
    Cases, ExportOptions,
    ::testing::Values(OptionCase{{},
                                 {"<name>t.kml</name>", "<color>00ffffff</color>", "kn;</name>"},
                                 {"<altitudeMode>"}},
                      OptionCase{{"--colored", "0"}, {"<color>ffff0000</color>"}, {"#0-5_kmh"}},
                      OptionCase{{"--altitude-mode", "2", "--units", "1"},
                                 {"<altitudeMode>absolute</altitudeMode>", "kmh, 100.0m;</name>"},
                                 {}},
                      OptionCase{
                          {"--units", "2", "--altitude-mode", "2"}, {"mph, 328.1ft;</name>"}, {}}));

TEST_F(ExportCommand, StoredSettingsAreTheDefaults) {
  std::filesystem::create_directories(config_ / "orvelle");
  std::ofstream(config_ / "orvelle" / "settings.ini")
      << "[Software%5COrvelle%20Records2010%5COrvelle%20Recorder7%5CSettings%5CGeneral]\n"
         "GoogleTrackLineColored=@Variant(\\0\\0\\0\\x3\\0\\0\\0\\0)\n";
  const auto r = RunCli({"export", track_.path(), "-o", Out("s.kml")});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string text = test::ReadWholeFile(Out("s.kml"));
  EXPECT_EQ(text.find("#0-5_kmh"), std::string::npos);
}

struct UsageCase {
  std::vector<std::string> args;
  std::string message;
};

class ExportUsage : public ExportCommand, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(ExportUsage, IsRefused) {
  Args args = {"export"};
  args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
  const auto r = RunCli(args);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportUsage,
    ::testing::Values(UsageCase{{}, "missing FILE"}, UsageCase{{"a.txt"}, "missing -o"},
                      UsageCase{{"a.txt", "-o", "x.kml", "--colored", "2"},
                                "--colored must be 0 or 1"},
                      UsageCase{{"a.txt", "-o", "x.kml", "--units"}, "--units needs a value"},
                      UsageCase{{"a.txt", "-o", "x.kml", "--zip"}, "unknown option '--zip'"}));

TEST_F(ExportCommand, UnreadableInputOrUnwritableOutputFails) {
  auto r = RunCli({"export", Out("missing.txt"), "-o", Out("x.kml")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("file open failed"), std::string::npos);
  r = RunCli({"export", track_.path(), "-o", Out("no/such/x.kml")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("CreateFile failed"), std::string::npos);
  r = RunCli({"export", Out("missing.kml"), "-o", Out("x.kml")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Unable to open file"), std::string::npos);
}

// Runs a command and returns its standard output, or nothing when the tool is missing.
std::optional<std::string> Capture(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return std::nullopt;
  std::string out;
  std::array<char, 4096> buffer;
  for (size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0;) {
    out.append(buffer.data(), n);
  }
  return out;
}

bool HaveTool(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// gpsbabel's unicsv lists each track point as "No,Latitude,Longitude,Altitude".
std::vector<std::string> Positions(const std::string& listing) {
  std::vector<std::string> positions;
  std::istringstream lines(listing);
  for (std::string line; std::getline(lines, line);) {
    const size_t first = line.find(','), last = line.rfind(',');
    if (first == std::string::npos || last == first || line.rfind("No,", 0) == 0) continue;
    positions.push_back(line.substr(first + 1, last - first - 1));
  }
  return positions;
}

// Fix i of the drive: 48 07.00' + i hundredths of a minute north, 11 31' east.
std::string Fix(int i) {
  char text[32];
  std::snprintf(text, sizeof text, "48.%06d,11.516667",
                static_cast<int>(std::lround((7.0 + 0.01 * i) / 60.0 * 1e6)));
  return text;
}

TEST_F(ExportCommand, AnIndependentReaderReadsTheTrackBack) {
  if (!HaveTool("gpsbabel")) GTEST_SKIP() << "gpsbabel is not installed";
  ASSERT_EQ(RunCli({"export", track_.path(), "-o", Out("p.kml"), "--colored", "0"}).status, 0);
  ASSERT_EQ(RunCli({"export", track_.path(), "-o", Out("c.kmz")}).status, 0);
  const auto plain =
      Capture("LC_ALL=C gpsbabel -t -i kml -f '" + Out("p.kml") + "' -o unicsv -F - 2>&1");
  ASSERT_TRUE(plain);
  // The overview line: every tenth fix.
  EXPECT_EQ(Positions(*plain), (std::vector<std::string>{Fix(0), Fix(10)})) << *plain;

  if (!HaveTool("unzip")) GTEST_SKIP() << "unzip is not installed";
  // gpsbabel reads no archives: the document comes out of the KMZ through unzip.
  const auto coloured = Capture("unzip -p '" + Out("c.kmz") +
                                "' doc.kml | LC_ALL=C gpsbabel -t -i kml -f - -o unicsv -F - 2>&1");
  ASSERT_TRUE(coloured);
  // The overview, then the segments: the first step, then the straight rest.
  EXPECT_EQ(Positions(*coloured),
            (std::vector<std::string>{Fix(0), Fix(10), Fix(0), Fix(1), Fix(1), Fix(11)}))
      << *coloured;
}

}  // namespace
}  // namespace orv::cli
