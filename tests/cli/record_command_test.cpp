#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "test_folder.h"
#include "track_fixture.h"

extern char** environ;

namespace orv::cli::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

template <typename Condition>
bool WaitFor(Clock::time_point deadline, Condition&& condition) {
  while (!condition()) {
    if (Clock::now() >= deadline) return condition();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// The command line run as its own process, as a user runs it, with its
// output in files and a pty standing in for the receiver.
class LiveCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = test::FreshTestFolder("orv-cli-live");
    fs::create_directories(folder_ / "tracks");
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(master_, 0);
    ASSERT_EQ(grantpt(master_), 0);
    ASSERT_EQ(unlockpt(master_), 0);
    char path[128];
    ASSERT_EQ(ptsname_r(master_, path, sizeof path), 0);
    slavePath_ = path;
    // Keeps the slave in raw mode and open, so the master never sees a hang-up.
    slave_ = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(slave_, 0);
    termios raw{};
    tcgetattr(slave_, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave_, TCSANOW, &raw);
  }
  void TearDown() override {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
    fs::remove_all(folder_);
  }

  void Spawn(std::vector<std::string> args) {
    args.insert(args.begin(), ORV_CLI_PATH);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, (folder_ / "out").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, (folder_ / "err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_EQ(posix_spawn(&pid_, ORV_CLI_PATH, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
  }

  // The exit status, or -1 when the process did not end in time.
  int WaitForExit(Clock::time_point deadline) {
    int status = 0;
    const bool ended = WaitFor(deadline, [&] { return waitpid(pid_, &status, WNOHANG) == pid_; });
    if (!ended) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  void Feed(const std::string& bytes) {
    std::string_view rest = bytes;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (!rest.empty() && Clock::now() < deadline) {
      const ssize_t count = write(master_, rest.data(), rest.size());
      if (count > 0) rest.remove_prefix(static_cast<size_t>(count));
      pollfd wait{master_, POLLOUT, 0};
      poll(&wait, 1, 100);
    }
    ASSERT_TRUE(rest.empty());
  }

  std::string Err() const { return test::ReadWholeFile(folder_ / "err"); }
  std::string Out() const { return test::ReadWholeFile(folder_ / "out"); }

  fs::path folder_;
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
  pid_t pid_ = -1;
};

std::string DriveOf(int seconds) {
  std::vector<Epoch> epochs(static_cast<size_t>(seconds), Epoch{"20.0", "545.4"});
  return Drive(epochs);
}

TEST_F(LiveCommandTest, RecordUntilSignalThenKeepOrDelete) {
  struct Case {
    const char* legend;
    const char* keepFlag;
    int signal;
    bool kept;
  };
  const Case cases[] = {
      {"kept on SIGINT", "--keep", SIGINT, true},
      {"deleted on SIGTERM", "--no-keep", SIGTERM, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    const fs::path tracks = folder_ / "tracks";
    Spawn({"record", slavePath_, "-o", tracks.string(), c.keepFlag});
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    ASSERT_TRUE(WaitFor(deadline, [&] {
      return Err().find("recording from") != std::string::npos;
    })) << Err();
    const std::string drive = DriveOf(30);
    Feed(drive);
    // The file grows as sentences arrive; the last one waits for its successor.
    ASSERT_TRUE(WaitFor(deadline, [&] {
      for (const auto& entry : fs::directory_iterator(tracks)) {
        if (entry.file_size() > drive.size() - 200) return true;
      }
      return false;
    }));
    kill(pid_, c.signal);
    ASSERT_EQ(WaitForExit(deadline), 0) << Err();
    const std::string out = Out();
    EXPECT_NE(out.find("points recorded: 29"), std::string::npos) << out;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(tracks)) files.push_back(entry.path());
    if (c.kept) {
      ASSERT_EQ(files.size(), 1u);
      EXPECT_NE(out.find("track file: " + files[0].string()), std::string::npos) << out;
      // The statistics of the kept file as loaded back.
      EXPECT_NE(out.find("\npoints: 29\n"), std::string::npos) << out;
      const std::string text = test::ReadWholeFile(files[0]);
      EXPECT_EQ(text.rfind("$POVRPVD,Orvelle Recorder 7 Beta,v7.9.85*", 0), 0u);
      EXPECT_NE(text.find("$POVRSRC," + slavePath_ + "*"), std::string::npos);
      fs::remove(files[0]);
    } else {
      EXPECT_TRUE(files.empty());
      EXPECT_NE(out.find("track file: not kept"), std::string::npos) << out;
    }
  }
}

TEST_F(LiveCommandTest, RecordFromAMissingPortFails) {
  Spawn({"record", (folder_ / "no-such-tty").string(), "-o", folder_.string()});
  EXPECT_EQ(WaitForExit(Clock::now() + std::chrono::seconds(20)), 1);
  EXPECT_NE(Err().find("Irreparable Error: CreateFile failed\n\nError:(2)"), std::string::npos)
      << Err();
}

TEST_F(LiveCommandTest, RecordOptionsAreChecked) {
  const std::vector<Args> bad = {
      {"record"},
      {"record", "/dev/null", "--keep", "--no-keep"},
      {"record", "/dev/null", "--seconds", "0"},
      {"record", "/dev/null", "-o"},
  };
  for (const Args& args : bad) {
    EXPECT_EQ(RunCli(args).status, kExitUsage) << args.back();
  }
}

TEST_F(LiveCommandTest, PlayToAPortSendsPacedBursts) {
  const fs::path track = folder_ / "drive.txt";
  std::ofstream(track, std::ios::binary) << DriveOf(10);
  Spawn({"play", track.string(), "--to", slavePath_, "--seconds", "2"});
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  std::string received;
  ASSERT_TRUE(WaitFor(deadline, [&] {
    char block[4096];
    const ssize_t count = read(master_, block, sizeof block);
    if (count > 0) received.append(block, static_cast<size_t>(count));
    return waitpid(pid_, nullptr, WNOHANG) == pid_ ? (pid_ = -1, true) : false;
  }));
  char block[4096];
  for (ssize_t count; (count = read(master_, block, sizeof block)) > 0;) {
    received.append(block, static_cast<size_t>(count));
  }
  size_t bursts = 0;
  for (size_t at = received.find("$GPGGA"); at != std::string::npos;
       at = received.find("$GPGGA", at + 1)) {
    ++bursts;
  }
  // Two seconds: the burst at once and one a second later (a third may
  // just make it at the two-second mark).
  EXPECT_GE(bursts, 2u);
  EXPECT_LE(bursts, 3u);
  EXPECT_NE(Out().find("bursts sent: " + std::to_string(bursts)), std::string::npos) << Out();
  EXPECT_EQ(RunCli({"play", track.string(), "--seconds", "2"}).status, kExitUsage);
}

}  // namespace
}  // namespace orv::cli::testing
