#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "nav/navigation_database_file.h"
#include "navigation_database_fixture.h"
#include "test_folder.h"

namespace orv {
namespace {

constexpr int kWaypoints = 4000;
constexpr int kRoutes = 300;

DatabaseContents Generation(char tag) {
  DatabaseContents contents;
  for (int i = 0; i < kWaypoints; ++i) {
    contents.waypoints.emplace_back(tag + std::to_string(i), At(10.0 + i * 1e-3, 20.0 - i * 1e-3),
                                    "point " + std::to_string(i));
  }
  for (int r = 0; r < kRoutes; ++r) {
    std::vector<std::string> names;
    for (int k = 0; k < 12; ++k) names.push_back(tag + std::to_string((r * 13 + k) % kWaypoints));
    contents.routes.emplace_back(std::string("ROUTE") + tag + std::to_string(r), names);
  }
  return contents;
}

// Reads the file as the program does and checks that it is one whole generation.
void ExpectWholeDatabase(const std::string& path, const std::string& first,
                         const std::string& second, int round) {
  const std::string text = test::ReadWholeFile(path);
  EXPECT_TRUE(text == first || text == second)
      << "round " << round << ": " << text.size() << " bytes";
  NavigationDatabase database;
  std::istringstream lines(text);
  std::string line;
  int headLines = 0;
  while (std::getline(lines, line)) {
    if (line.starts_with("$POVRPVD") || line.starts_with("$POVRCRT") ||
        line.starts_with("$POVRWRG")) {
      ++headLines;
    }
    database.TakeSentence(line + "\n", path);
  }
  EXPECT_EQ(headLines, 7) << "round " << round;
  ASSERT_EQ(database.WaypointCount(), kWaypoints) << "round " << round;
  ASSERT_EQ(database.RouteCount(), kRoutes) << "round " << round;
  const char tag = database.WaypointAt(0)->Name()[0];
  EXPECT_EQ(database.FindWaypoint(tag + std::to_string(kWaypoints - 1)), kWaypoints - 1);
  EXPECT_EQ(database.RouteAt(kRoutes - 1)->WaypointNames().size(), 12u);
}

// A child process saves two databases in turn as fast as it can and reports
// each finished save on a pipe; it is killed at random moments, also in the
// middle of a save, and each time the database path must hold a whole one.
TEST(DatabaseCrashTest, KilledWhileSavingLeavesAWholeDatabase) {
  std::string pattern = (std::filesystem::temp_directory_path() / "navcrashXXXXXX").string();
  const std::string folder = ::mkdtemp(pattern.data());
  const std::string path = DatabaseFilePath(folder);
  const std::string backup = BackupPathOf(path);
  const std::string first = DatabaseFileText(Generation('A'));
  const std::string second = DatabaseFileText(Generation('B'));
  ASSERT_FALSE(ReplaceFileContents(path, first, backup).has_value());

  std::mt19937 random(20240611);
  int savesSeen = 0;
  for (int round = 0; round < 12; ++round) {
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(pipeFds[0]);
      for (unsigned turn = 0;; ++turn) {
        if (auto error = ReplaceFileContents(path, turn % 2 ? first : second, backup)) {
          std::fprintf(stderr, "%s failed: %d %s\n", error->operation.c_str(), error->error,
                       error->context.c_str());
          ::_exit(2);
        }
        const char done = 1;
        if (::write(pipeFds[1], &done, 1) != 1) ::_exit(3);
      }
    }
    ::close(pipeFds[1]);
    // Let a few saves finish, then strike at a random moment of the next one.
    const int savesBeforeKill = static_cast<int>(random() % 3);
    for (int seen = 0; seen < savesBeforeKill; ++seen) {
      pollfd wait{pipeFds[0], POLLIN, 0};
      ASSERT_EQ(::poll(&wait, 1, 10000), 1) << "the saving child stalled";
      char done = 0;
      ASSERT_EQ(::read(pipeFds[0], &done, 1), 1) << "the saving child failed";
      ++savesSeen;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(pipeFds[0]);
    ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << " status " << status;

    ExpectWholeDatabase(path, first, second, round);
    if (std::filesystem::exists(backup)) {
      const std::string kept = test::ReadWholeFile(backup);
      EXPECT_TRUE(kept == first || kept == second) << "backup, round " << round;
    }
  }
  EXPECT_GT(savesSeen, 0);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace orv
