#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "track_fixture.h"

namespace orv::cli {
namespace {

using namespace testing;
using Clock = std::chrono::steady_clock;

std::string PrivateFolder() {
  char pattern[] = "/tmp/orv_vport_cli_XXXXXX";
  if (mkdtemp(pattern) == nullptr) return {};
  chmod(pattern, 0700);
  return pattern;
}

// The command line with its own runtime and settings folders, so that the
// ports it registers and the settings it writes are private to the test.
class VportCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"XDG_RUNTIME_DIR", "XDG_CONFIG_HOME"}) {
      const char* value = getenv(name);
      saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    runtime_ = PrivateFolder();
    config_ = PrivateFolder();
    ASSERT_FALSE(runtime_.empty() || config_.empty());
    setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
  }
  void TearDown() override {
    RunCli({"vport", "unregister"});
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
    std::filesystem::remove_all(runtime_);
    std::filesystem::remove_all(config_);
  }

  bool StatusShows(const std::string& line) {
    return RunCli({"vport", "status"}).out.find(line + "\n") != std::string::npos;
  }

  bool WaitForStatus(const std::string& line, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!StatusShows(line)) {
      if (Clock::now() >= deadline) return false;
      poll(nullptr, 0, 10);
    }
    return true;
  }

  std::string runtime_, config_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(VportCommand, RejectsBadArgumentsWithUsage) {
  const Args cases[] = {
      {"vport"},
      {"vport", "register"},
      {"vport", "register", "10"},
      {"vport", "register", "-1"},
      {"vport", "register", "five"},
      {"vport", "unregister", "5"},
      {"vport", "status", "now"},
      {"vport", "feed"},
      {"vport", "feed", "a.nmea", "--steps", "0"},
      {"vport", "feed", "a.nmea", "--interval-ms"},
      {"vport", "feed", "a.nmea", "--fast"},
      {"vport", "plug"},
  };
  for (const Args& args : cases) {
    const testing::Result result = RunCli(args);
    EXPECT_EQ(result.status, kExitUsage) << args.back();
    EXPECT_NE(result.err.find("vport"), std::string::npos) << args.back();
  }
}

TEST_F(VportCommand, RegisterShowsThePortAndUnregisterRemovesIt) {
  EXPECT_EQ(RunCli({"vport", "status"}).out, "port: none\nhandle: 0\n");

  const testing::Result registered = RunCli({"vport", "register", "5"});
  ASSERT_EQ(registered.status, kExitOk) << registered.err;
  const std::string device = runtime_ + "/orvelle/COM5";
  EXPECT_NE(registered.out.find("port: COM5:\n"), std::string::npos);
  EXPECT_NE(registered.out.find("device: " + device + "\n"), std::string::npos);
  EXPECT_NE(registered.out.find("host: running, pid "), std::string::npos);
  EXPECT_NE(registered.out.find("reader: closed\nwriter: closed\n"), std::string::npos);
  EXPECT_EQ(registered.out.find("handle: 0\n"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_symlink(device));

  // A reader shows up in the status.
  const int reader = open(device.c_str(), O_RDONLY | O_NOCTTY);
  ASSERT_GE(reader, 0);
  EXPECT_TRUE(WaitForStatus("reader: open", std::chrono::milliseconds(2000)));
  close(reader);
  // The host notices the close on its own time; compare settled states only.
  EXPECT_TRUE(WaitForStatus("reader: closed", std::chrono::milliseconds(2000)));

  // Choosing the same port again keeps the running one.
  const std::string before = RunCli({"vport", "status"}).out;
  EXPECT_EQ(RunCli({"vport", "register", "5"}).out, before);

  const testing::Result moved = RunCli({"vport", "register", "3"});
  EXPECT_EQ(moved.status, kExitOk);
  EXPECT_NE(moved.out.find("port: COM3:\n"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(device)));

  EXPECT_EQ(RunCli({"vport", "unregister"}).out, "port: none\nhandle: 0\n");
  EXPECT_FALSE(
      std::filesystem::exists(std::filesystem::symlink_status(runtime_ + "/orvelle/COM3")));
}

TEST_F(VportCommand, FeedNeedsAConfiguredRunningPort) {
  const TempFile track("drive.nmea", Drive(std::vector<Epoch>(3, Epoch{"36.0", "500.0"})));
  const testing::Result unconfigured = RunCli({"vport", "feed", track.path()});
  EXPECT_EQ(unconfigured.status, kExitFailure);
  EXPECT_NE(unconfigured.err.find("no virtual serial port is configured"), std::string::npos);

  ASSERT_EQ(RunCli({"vport", "register", "2"}).status, kExitOk);
  const testing::Result fed = RunCli({"vport", "feed", track.path()});
  EXPECT_EQ(fed.status, kExitOk) << fed.err;
  // As many bursts as the replay makes of the file.
  const std::string played = RunCli({"play", track.path()}).out;
  size_t bursts = 0;
  for (size_t at = 0; (at = played.find("GGA,", at)) != std::string::npos; ++at) ++bursts;
  EXPECT_EQ(fed.out, std::to_string(bursts) + " bursts written to COM2:\n");
}

TEST_F(VportCommand, PlayToTheVirtualPortReachesItsReader) {
  const TempFile track("drive.nmea", Drive(std::vector<Epoch>(3, Epoch{"36.0", "500.0"})));
  ASSERT_EQ(RunCli({"vport", "register", "4"}).status, kExitOk);
  const std::string device = runtime_ + "/orvelle/COM4";
  const int reader = open(device.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  ASSERT_TRUE(WaitForStatus("reader: open", std::chrono::milliseconds(2000)));

  const testing::Result played = RunCli({"play", track.path(), "--to", "COM4:", "--seconds", "2"});
  EXPECT_EQ(played.status, kExitOk) << played.err;

  std::string received;
  const auto deadline = Clock::now() + std::chrono::seconds(3);
  while (received.find("$GPGLL") == std::string::npos && Clock::now() < deadline) {
    pollfd ready{reader, POLLIN, 0};
    if (poll(&ready, 1, 100) <= 0) continue;
    char buffer[4096];
    const ssize_t n = read(reader, buffer, sizeof buffer);
    if (n > 0) received.append(buffer, static_cast<size_t>(n));
  }
  close(reader);
  EXPECT_NE(received.find("$GPGGA,"), std::string::npos) << received;
  EXPECT_NE(received.find("$GPGLL,"), std::string::npos) << received;
}

// --- gpsd as the reading program ---------------------------------------

std::string FindGpsd() {
  for (const char* path : {"/usr/sbin/gpsd", "/usr/bin/gpsd", "/usr/local/sbin/gpsd"}) {
    if (access(path, X_OK) == 0) return path;
  }
  return {};
}

int FreeLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    close(fd);
    return -1;
  }
  close(fd);
  return ntohs(address.sin_port);
}

int ConnectLoopback(int port, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
    close(fd);
    if (Clock::now() >= deadline) return -1;
    poll(nullptr, 0, 20);
  }
}

// The number right after `label` in `line`, read in the C number format.
std::optional<double> NamedNumber(const std::string& line, const std::string& label) {
  const size_t at = line.find(label);
  if (at == std::string::npos) return std::nullopt;
  const char* first = line.data() + at + label.size();
  double value = 0;
  if (std::from_chars(first, line.data() + line.size(), value).ec != std::errc()) {
    return std::nullopt;
  }
  return value;
}

struct Position {
  double lat, lon;
};

TEST_F(VportCommand, GpsdReadingThePortReportsTheTracksPoints) {
  const std::string gpsd = FindGpsd();
  if (gpsd.empty()) GTEST_SKIP() << "gpsd is not installed; the end-to-end run needs it";

  constexpr int kPoints = 8;
  const TempFile track("drive.nmea", Drive(std::vector<Epoch>(kPoints, Epoch{"36.0", "500.0"})));
  // The track's points as the program stores them.
  std::vector<Position> points;
  const std::string listed = RunCli({"points", track.path()}).out;
  for (size_t at = 0; (at = listed.find(" latitude=", at)) != std::string::npos; ++at) {
    const size_t lineEnd = listed.find('\n', at);
    const std::string line = listed.substr(at, lineEnd - at);
    const std::optional<double> lat = NamedNumber(line, " latitude="),
                                lon = NamedNumber(line, " longitude=");
    ASSERT_TRUE(lat && lon) << line;
    points.push_back({*lat, *lon});
  }
  ASSERT_EQ(points.size(), static_cast<size_t>(kPoints));

  ASSERT_EQ(RunCli({"vport", "register", "5"}).status, kExitOk);
  const std::string device = runtime_ + "/orvelle/COM5";
  const int port = FreeLoopbackPort();
  ASSERT_GT(port, 0);
  const std::string portText = std::to_string(port), socketPath = runtime_ + "/gpsd.sock";
  const pid_t daemon = fork();
  ASSERT_GE(daemon, 0);
  if (daemon == 0) {
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 1);
    dup2(null, 2);
    execl(gpsd.c_str(), "gpsd", "-N", "-n", "-b", "-S", portText.c_str(), "-F", socketPath.c_str(),
          device.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  struct StopDaemon {
    pid_t pid;
    ~StopDaemon() {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
  } stopDaemon{daemon};

  // gpsd opens the device at start (-n): wait for the port to see it.
  ASSERT_TRUE(WaitForStatus("reader: open", std::chrono::milliseconds(5000)));
  const int client = ConnectLoopback(port, std::chrono::milliseconds(5000));
  ASSERT_GE(client, 0);
  const std::string watch = "?WATCH={\"enable\":true,\"json\":true};";
  ASSERT_EQ(write(client, watch.data(), watch.size()), static_cast<ssize_t>(watch.size()));

  // gpsd takes the first sentences to recognise the device, so the track is
  // fed again until every point has come out.
  std::atomic<bool> allSeen{false};
  testing::Result fed{};
  std::thread feeder([&] {
    for (int round = 0; round < 4 && !allSeen; ++round) {
      fed = RunCli({"vport", "feed", track.path(), "--interval-ms", "200"});
      if (fed.status != kExitOk) break;
    }
  });

  std::vector<Position> reported;
  std::vector<bool> seen(kPoints, false);
  std::string pending;
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  // Replay steps from the first point to the next before it sends, so the
  // first point never goes out.
  auto everyPointSeen = [&] {
    return std::find(seen.begin() + 1, seen.end(), false) == seen.end();
  };
  while (!everyPointSeen() && Clock::now() < deadline) {
    pollfd p{client, POLLIN, 0};
    if (poll(&p, 1, 200) <= 0) continue;
    char buffer[4096];
    const ssize_t n = read(client, buffer, sizeof buffer);
    if (n <= 0) break;
    pending.append(buffer, static_cast<size_t>(n));
    for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
      const std::string line = pending.substr(0, end);
      if (line.find("\"class\":\"TPV\"") == std::string::npos) continue;
      const std::optional<double> lat = NamedNumber(line, "\"lat\":"),
                                  lon = NamedNumber(line, "\"lon\":");
      if (!lat || !lon) continue;
      reported.push_back({*lat, *lon});
      for (int s = 0; s < kPoints; ++s) {
        // gpsd prints nine decimals of a degree.
        if (std::fabs(*lat - points[s].lat) < 1e-8 && std::fabs(*lon - points[s].lon) < 1e-8) {
          seen[s] = true;
        }
      }
    }
  }
  allSeen = true;
  feeder.join();
  close(client);

  EXPECT_EQ(fed.status, kExitOk) << fed.err;
  EXPECT_TRUE(everyPointSeen()) << reported.size() << " positions reported";
  for (const Position& r : reported) {
    bool onTrack = false;
    for (const Position& p : points) {
      onTrack = onTrack || (std::fabs(r.lat - p.lat) < 1e-8 && std::fabs(r.lon - p.lon) < 1e-8);
    }
    EXPECT_TRUE(onTrack) << r.lat << " " << r.lon;
  }
}

}  // namespace
}  // namespace orv::cli
