#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/navigator.h"
#include "comm/gpsd_stream.h"
#include "comm/serial_link.h"
#include "platform/scripted_prompter.h"
#include "pty_support.h"
#include "test_folder.h"

extern char** environ;

namespace orv {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::seconds;

// A listening loopback socket on a port the kernel picked.
int ListenOnLoopback(int& port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(fd, 1) != 0 || getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (fd >= 0) close(fd);
    return -1;
  }
  port = ntohs(address.sin_port);
  return fd;
}

class GpsdSourceTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = test::FreshTestFolder("orv-gpsd");
    link_.Recorder().SetFolderFinder([this] { return std::optional(folder_.string()); });
  }
  void TearDown() override {
    link_.Stop();
    fs::remove_all(folder_);
  }

  // The body of the kept file: every line after the three head lines.
  static std::vector<std::string> BodyLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    for (int i = 0; std::getline(in, line); ++i) {
      if (i >= 3) lines.push_back(line + "\n");
    }
    return lines;
  }

  fs::path folder_;
  Navigator navigator_;
  ScriptedPrompter prompter_;
  SerialLink link_{navigator_, prompter_};
};

TEST(GpsdAddressTest, ParsesHostAndPort) {
  struct Case {
    const char* name;
    bool valid;
    const char* host;
    const char* port;
  };
  const Case cases[] = {
      {"gpsd://127.0.0.1:2947", true, "127.0.0.1", "2947"},
      {"gpsd://localhost:2947/", true, "localhost", "2947"},
      {"gpsd://[::1]:2947", true, "::1", "2947"},
      {"gpsd://127.0.0.1", false, "", ""},
      {"gpsd://:2947", false, "", ""},
      {"gpsd://host:29x7", false, "", ""},
      {"/dev/ttyUSB0", false, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<GpsdAddress> address = ParseGpsdAddress(c.name);
    ASSERT_EQ(address.has_value(), c.valid);
    if (!c.valid) continue;
    EXPECT_EQ(address->host, c.host);
    EXPECT_EQ(address->port, c.port);
  }
}

// A stand-in server speaking gpsd's protocol: the link must send the watch
// request, and only the NMEA of the answer may reach the recording.
TEST_F(GpsdSourceTest, WatchRequestThenOnlyNmeaIsRecorded) {
  int port = 0;
  const int listener = ListenOnLoopback(port);
  ASSERT_GE(listener, 0);
  const std::string name = "gpsd://127.0.0.1:" + std::to_string(port);
  link_.SetPortName(name);
  ASSERT_TRUE(link_.StartRecording());
  const int peer = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
  close(listener);
  ASSERT_GE(peer, 0);
  const auto deadline = Clock::now() + seconds(10);
  std::string request;
  ASSERT_TRUE(test::ReadUntil(peer, request, deadline, [](const std::string& s) {
    return s.find('\n') != std::string::npos;
  }));
  EXPECT_EQ(request, kGpsdWatchCommand);

  std::string answer =
      "{\"class\":\"VERSION\",\"release\":\"3.22\"}\r\n"
      "{\"class\":\"DEVICES\",\"devices\":[{\"path\":\"/dev/pts/3\"}]}\r\n"
      "{\"class\":\"WATCH\",\"enable\":true,\"nmea\":true}\r\n";
  std::string expectedBody;
  for (int i = 0; i < 6; ++i) {
    for (const std::string& line : test::DriveEpoch(i)) {
      answer += line;
      if (i < 5 || line.find("GGA") != std::string::npos) expectedBody += line;
    }
    // gpsd may tell of a device change in the middle of the stream.
    if (i == 2) answer += "{\"class\":\"DEVICE\",\"path\":\"/dev/pts/3\",\"activated\":1}\r\n";
  }
  ASSERT_TRUE(test::WriteAll(peer, answer, deadline));
  ASSERT_TRUE(test::WaitFor(deadline, [&] { return navigator_.Recording().PointCount() >= 5; }));
  // A gpsd that goes away ends the receiving thread with a report.
  close(peer);
  ASSERT_TRUE(test::WaitFor(deadline, [&] { return link_.ReceiveEnded(); }));
  ASSERT_EQ(prompter_.Asked().size(), 1u);
  EXPECT_NE(prompter_.Asked()[0].text.find("ReadFile failed"), std::string::npos);

  prompter_.Script(PromptAnswer::kYes);
  const std::string kept = link_.Stop();
  const std::string text = test::ReadWholeFile(kept);
  EXPECT_EQ(text.find('{'), std::string::npos);
  std::string body;
  for (const std::string& line : BodyLines(text)) body += line;
  EXPECT_EQ(body, expectedBody);
}

TEST_F(GpsdSourceTest, NoGpsdListeningIsACreateFileReport) {
  int port = 0;
  const int listener = ListenOnLoopback(port);
  ASSERT_GE(listener, 0);
  close(listener);  // nobody listens on that port now
  link_.SetPortName("gpsd://127.0.0.1:" + std::to_string(port));
  EXPECT_FALSE(link_.StartRecording());
  ASSERT_EQ(prompter_.Asked().size(), 1u);
  EXPECT_EQ(prompter_.Asked()[0].text.rfind("CreateFile failed", 0), 0u);
}

// The real gpsd, reading a pty as its receiver.
TEST_F(GpsdSourceTest, RecordsFromRealGpsd) {
  const char* gpsd = "/usr/sbin/gpsd";
  if (access(gpsd, X_OK) != 0) GTEST_SKIP() << "gpsd is not installed";
  test::PtyPair receiver;
  ASSERT_TRUE(receiver.IsOpen()) << receiver.Error();
  int port = 0;
  const int probe = ListenOnLoopback(port);
  ASSERT_GE(probe, 0);
  close(probe);
  const std::string portText = std::to_string(port);
  const std::string control = (folder_ / "gpsd.sock").string();
  std::vector<std::string> arguments = {
      gpsd, "-N", "-n", "-b", "-S", portText, "-F", control, receiver.SlavePath()};
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, gpsd, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ASSERT_EQ(spawned, 0);
  struct EndGpsd {
    pid_t pid;
    ~EndGpsd() {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
  } endGpsd{pid};

  const auto deadline = Clock::now() + seconds(20);
  const std::string name = "gpsd://127.0.0.1:" + portText;
  ASSERT_TRUE(test::WaitFor(deadline, [&] {
    int error = 0;
    return GpsdStream::Open(name, error) != nullptr;
  })) << "gpsd did not come up";

  link_.SetPortName(name);
  ASSERT_TRUE(link_.StartRecording());
  std::vector<std::string> fed;
  for (int i = 0; i < 600 && navigator_.Recording().PointCount() < 10; ++i) {
    for (const std::string& line : test::DriveEpoch(i)) {
      ASSERT_TRUE(test::WriteAll(receiver.Master(), line, deadline));
      fed.push_back(line);
    }
    // Paced like a fast receiver so gpsd takes every line as it comes.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_GE(navigator_.Recording().PointCount(), 10);

  prompter_.Script(PromptAnswer::kYes);
  const std::string kept = link_.Stop();
  ASSERT_FALSE(kept.empty());
  const std::vector<std::string> body = BodyLines(test::ReadWholeFile(kept));
  ASSERT_GE(body.size(), 18u);
  // gpsd passes the receiver's sentences on unchanged and in order, though
  // it may begin in the middle of the stream.
  auto at = std::find(fed.begin(), fed.end(), body.front());
  ASSERT_NE(at, fed.end()) << body.front();
  for (const std::string& line : body) {
    ASSERT_NE(at, fed.end());
    EXPECT_EQ(line, *at++);
  }
}

}  // namespace
}  // namespace orv
