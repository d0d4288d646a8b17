#include "comm/serial_link.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "app/navigator.h"
#include "app/track.h"
#include "comm/port_names.h"
#include "nmea/proprietary_lines.h"
#include "platform/scripted_prompter.h"
#include "platform/system_error.h"
#include "pty_support.h"
#include "test_folder.h"

namespace orv {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using std::chrono::seconds;

using test::Drive;

class SerialLinkTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty_.IsOpen()) << pty_.Error();
    folder_ = test::FreshTestFolder("orv-serial");
    link_.Recorder().SetFolderFinder([this] { return std::optional(folder_.string()); });
    link_.SetPortName(pty_.SlavePath());
  }
  void TearDown() override {
    link_.Stop();
    fs::remove_all(folder_);
  }

  std::vector<std::string> FilesInFolder() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path());
    return names;
  }

  test::PtyPair pty_;
  fs::path folder_;
  Navigator navigator_;
  ScriptedPrompter prompter_;
  SerialLink link_{navigator_, prompter_};
};

TEST_F(SerialLinkTest, RecordsTheReceiverIntoTrackAndFile) {
  ASSERT_TRUE(link_.StartRecording());
  EXPECT_TRUE(link_.IsActive());
  const auto deadline = Clock::now() + seconds(10);

  // The keep-alive goes to the receiver at once.
  std::string fromLink;
  EXPECT_TRUE(test::ReadUntil(pty_.Master(), fromLink, deadline, [](const std::string& s) {
    return s.find('\n') != std::string::npos;
  }));
  EXPECT_EQ(fromLink, PlaceholderLine());

  const std::vector<std::string> drive = Drive(60);
  std::string stream = "noise before the first sentence\r\n";
  for (const std::string& line : drive) stream += line;
  // A line without "$" for 130 bytes is dropped; the next "$" starts afresh.
  stream += "$GPTXT," + std::string(130, 'x') + "\r\n";
  stream += drive.front();
  ASSERT_TRUE(test::WriteAll(pty_.Master(), stream, deadline));
  EXPECT_TRUE(test::WaitFor(deadline, [&] { return navigator_.Recording().PointCount() >= 59; }));
  EXPECT_EQ(navigator_.Recording().Name(), "Track Recording");

  prompter_.Script(PromptAnswer::kYes);
  const std::string kept = link_.Stop();
  EXPECT_FALSE(link_.IsActive());
  ASSERT_FALSE(kept.empty());
  EXPECT_EQ(fs::path(kept).parent_path(), folder_);
  // Everything up to the overlong line; the last sentence had no
  // successor and was never handed over.
  std::string expected = ProductLine() + MakerLine() + *SourceLine(pty_.SlavePath());
  for (const std::string& line : drive) expected += line;
  EXPECT_EQ(test::ReadWholeFile(kept), expected);
  EXPECT_EQ(navigator_.Recording().PointCount(), 60);
}

TEST_F(SerialLinkTest, KeepAliveRepeatsEveryTwentyTicks) {
  link_.SetTiming({seconds(1), milliseconds(5), 20, milliseconds(250)});
  ASSERT_TRUE(link_.StartRecording());
  std::string fromLink;
  ASSERT_TRUE(test::ReadUntil(pty_.Master(), fromLink, Clock::now() + seconds(10),
                              [](const std::string& s) { return s.size() >= 3 * 15; }));
  EXPECT_EQ(fromLink.substr(0, 3 * 15), PlaceholderLine() + PlaceholderLine() + PlaceholderLine());
  EXPECT_EQ(PlaceholderLine().size(), 15u);
  prompter_.Script(PromptAnswer::kYes);
  // Nothing but keep-alives: the file goes with the "No movement" notice.
  EXPECT_EQ(link_.Stop(), "");
  EXPECT_TRUE(FilesInFolder().empty());
}

TEST_F(SerialLinkTest, PulledDeviceEndsReceivingAndKeepsTheFile) {
  ASSERT_TRUE(link_.StartRecording());
  const auto deadline = Clock::now() + seconds(10);
  const std::vector<std::string> drive = Drive(5);
  std::string stream;
  for (const std::string& line : drive) stream += line;
  ASSERT_TRUE(test::WriteAll(pty_.Master(), stream, deadline));
  ASSERT_TRUE(test::WaitFor(deadline, [&] { return navigator_.Recording().PointCount() >= 4; }));

  pty_.CloseMaster();
  ASSERT_TRUE(test::WaitFor(deadline, [&] { return link_.ReceiveEnded(); }));
  EXPECT_TRUE(link_.IsActive());  // left for its owner to stop
  ASSERT_EQ(prompter_.Asked().size(), 1u);
  EXPECT_EQ(prompter_.Asked()[0].text, SystemErrorText("ReadFile", EIO, pty_.SlavePath()));

  prompter_.Script(PromptAnswer::kYes);
  const std::string kept = link_.Stop();
  std::string expected = ProductLine() + MakerLine() + *SourceLine(pty_.SlavePath());
  for (size_t i = 0; i + 1 < drive.size(); ++i) expected += drive[i];
  EXPECT_EQ(test::ReadWholeFile(kept), expected);
}

// A live track that stores `capacity` points and then runs out of memory.
class TrackThatFillsUp : public Track {
 public:
  explicit TrackThatFillsUp(int capacity) : Track(TrackKind::kRecording), capacity_(capacity) {}

 protected:
  void StorePoint(const TrackPoint& point) override {
    if (stored_ == capacity_) throw std::bad_alloc();
    Track::StorePoint(point);
    ++stored_;
  }

 private:
  const int capacity_;
  int stored_ = 0;
};

TEST_F(SerialLinkTest, OutOfMemoryEndsReceivingAndLeavesTheFileWhole) {
  TrackThatFillsUp track(3);
  link_.Recorder().SetLiveTrack(track);
  ASSERT_TRUE(link_.StartRecording());
  const auto deadline = Clock::now() + seconds(10);
  const std::vector<std::string> drive = Drive(10);
  std::string stream;
  for (const std::string& line : drive) stream += line;
  ASSERT_TRUE(test::WriteAll(pty_.Master(), stream, deadline));

  ASSERT_TRUE(test::WaitFor(deadline, [&] { return link_.ReceiveEnded(); }));
  EXPECT_TRUE(link_.IsActive());  // left for its owner to stop
  ASSERT_EQ(prompter_.Asked().size(), 1u);
  EXPECT_EQ(prompter_.Asked()[0].text, "Out of memory");
  EXPECT_EQ(prompter_.Asked()[0].caption, "Irreparable Error");
  EXPECT_EQ(prompter_.Asked()[0].icon, PromptIcon::kStop);
  EXPECT_EQ(track.PointCount(), 3);

  prompter_.Script(PromptAnswer::kYes);
  const std::string kept = link_.Stop();
  EXPECT_FALSE(link_.IsActive());
  ASSERT_EQ(prompter_.Asked().size(), 2u);  // only the keep question more
  EXPECT_EQ(prompter_.Asked()[1].caption, "Question");
  ASSERT_FALSE(kept.empty());
  // Every line up to the RMC whose point found no room, which the file had
  // taken first; nothing read after it.
  std::string expected = ProductLine() + MakerLine() + *SourceLine(pty_.SlavePath());
  for (size_t i = 0; i < 8; ++i) expected += drive[i];
  EXPECT_EQ(test::ReadWholeFile(kept), expected);
}

TEST_F(SerialLinkTest, StartFailuresLeaveTheLinkStoppedAndNoFile) {
  struct Case {
    const char* legend;
    int failingLaunch;  // 1: receiving thread, 2: sending thread, 0: none
    std::string port;
    std::string message;
  };
  const Case cases[] = {
      {"missing port", 0, "/dev/orv-no-such-port",
       SystemErrorText("CreateFile", ENOENT, "/dev/orv-no-such-port")},
      {"receiving thread", 1, pty_.SlavePath(),
       "AfxBeginThread failed for RecvFromSerialPortReceiverProc()"},
      {"sending thread", 2, pty_.SlavePath(),
       "AfxBeginThread failed for SendToSerialPortReceiverProc()"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    ScriptedPrompter prompter;
    SerialLink link(navigator_, prompter);
    link.Recorder().SetFolderFinder([this] { return std::optional(folder_.string()); });
    link.SetPortName(c.port);
    int launches = 0;
    link.SetThreadLauncher([&](std::thread& thread, std::function<void()> body) {
      if (++launches == c.failingLaunch) return false;
      thread = std::thread(std::move(body));
      return true;
    });
    EXPECT_FALSE(link.StartRecording());
    EXPECT_FALSE(link.IsActive());
    EXPECT_TRUE(FilesInFolder().empty());
    ASSERT_EQ(prompter.Asked().size(), 1u);
    EXPECT_EQ(prompter.Asked()[0].text, c.message);
    EXPECT_EQ(prompter.Asked()[0].caption, "Irreparable Error");
  }
}

TEST_F(SerialLinkTest, PlaybackSendsOneBurstPerPeriodWithGsvEveryFifth) {
  for (const std::string& line : Drive(20)) {
    int error = 0;
    navigator_.ProcessSentence(Navigator::kRecordedId, line, error);
  }
  ASSERT_EQ(navigator_.Recorded().PointCount(), 20);
  navigator_.Recorded().SetPlaybackMode(2);
  link_.SetTiming({milliseconds(50), milliseconds(500), 20, milliseconds(250)});
  ASSERT_TRUE(link_.StartPlayback());

  // What the device sends is read and dropped without a word.
  ASSERT_TRUE(test::WriteAll(pty_.Master(), Drive(3)[0], Clock::now() + seconds(5)));

  std::string received;
  const auto countOf = [](const std::string& text, std::string_view what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
      ++count;
    }
    return count;
  };
  ASSERT_TRUE(test::ReadUntil(pty_.Master(), received, Clock::now() + seconds(10),
                              [&](const std::string& s) { return countOf(s, "$GPGLL") >= 10; }));
  link_.Stop();
  EXPECT_TRUE(prompter_.Asked().empty());

  // Split into bursts at each GGA; every burst is complete and in order.
  std::vector<std::string> bursts;
  for (size_t at = received.find("$GPGGA"); at != std::string::npos;) {
    const size_t next = received.find("$GPGGA", at + 1);
    bursts.push_back(received.substr(at, next == std::string::npos ? next : next - at));
    at = next;
  }
  ASSERT_GE(bursts.size(), 10u);
  for (size_t i = 0; i < 10; ++i) {
    SCOPED_TRACE(i);
    const std::string& burst = bursts[i];
    const bool gsvStep = i % 5 == 4;
    EXPECT_EQ(countOf(burst, "$GPGSV") > 0, gsvStep);
    const size_t gsa = burst.find("$GPGSA"), rmc = burst.find("$GPRMC"), vtg = burst.find("$GPVTG"),
                 gll = burst.find("$GPGLL");
    EXPECT_TRUE(gsa < rmc && rmc < vtg && vtg < gll && gll != std::string::npos);
    if (gsvStep) {
      EXPECT_LT(gsa, burst.find("$GPGSV"));
      EXPECT_LT(burst.find("$GPGSV"), rmc);
    }
  }
  // Playing moved the cursor one point per burst.
  EXPECT_GE(navigator_.Recorded().Cursor(), 10);
}

TEST_F(SerialLinkTest, RouteTransferSendsWaypointsThenRoute) {
  link_.SetTiming({seconds(60), milliseconds(500), 20, milliseconds(10)});
  ASSERT_TRUE(link_.StartPlayback());
  const auto deadline = Clock::now() + seconds(10);
  std::string received;
  // The first burst goes out at once; the next would wait a minute.
  ASSERT_TRUE(test::ReadUntil(pty_.Master(), received, deadline, [](const std::string& s) {
    return s.find("$GPGLL") != std::string::npos && s.back() == '\n';
  }));
  received.clear();

  RouteTransfer transfer;
  LatLong home, work;
  home.SetDegrees(48.1173, 11.5167);
  work.SetDegrees(48.2, 11.6);
  transfer.waypoints = {{"HOME", home}, {"WORK", work}};
  transfer.route = RouteRecord{RouteType::kComplete, "R1", {"HOME", "WORK", "HOME"}};
  std::future<bool> done = link_.RequestRouteTransfer(transfer);
  ASSERT_EQ(done.wait_until(deadline), std::future_status::ready);
  EXPECT_TRUE(done.get());
  ASSERT_TRUE(test::ReadUntil(pty_.Master(), received, deadline, [](const std::string& s) {
    return s.find("$GPRTE") != std::string::npos && s.back() == '\n';
  }));
  const size_t first = received.find("$GPWPL"), second = received.find("$GPWPL", first + 1),
               route = received.find("$GPRTE");
  ASSERT_NE(second, std::string::npos);
  EXPECT_NE(received.find("HOME*", first), std::string::npos);
  EXPECT_LT(second, route);
  EXPECT_NE(received.find(",R1,HOME,WORK,HOME*", route), std::string::npos);
  link_.Stop();
  EXPECT_FALSE(link_.RequestRouteTransfer(transfer).get());
}

TEST(SerialPortNameTest, LongComNamesGetTheDevicePrefix) {
  const std::pair<const char*, const char*> cases[] = {
      {"COM12:", "$device\\COM12:"},
      {"COM3:", "COM3:"},
      {"GPD0:", "GPD0:"},
      {"/dev/ttyUSB0", "/dev/ttyUSB0"},
      {"gpsd://127.0.0.1:2947", "gpsd://127.0.0.1:2947"},
  };
  Navigator navigator;
  ScriptedPrompter prompter;
  for (const auto& [name, stored] : cases) {
    SerialLink link(navigator, prompter);
    EXPECT_EQ(link.SetPortName(name), 1);
    EXPECT_EQ(link.PortName(), stored);
    EXPECT_EQ(link.SetPortName(name), 0);
  }
}

TEST(SerialPortNameTest, HandheldNamesLiveInTheRuntimeFolder) {
  char runtime[] = "/tmp/orv_ports_XXXXXX";
  ASSERT_NE(mkdtemp(runtime), nullptr);
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::optional<std::string> previous =
      saved != nullptr ? std::optional<std::string>(saved) : std::nullopt;
  setenv("XDG_RUNTIME_DIR", runtime, 1);
  const std::string folder = std::string(runtime) + "/orvelle/";
  EXPECT_EQ(PortPath("COM5:"), folder + "COM5");
  EXPECT_EQ(PortPath("$device\\COM12:"), folder + "COM12");
  EXPECT_EQ(PortPath("GPD0:"), folder + "GPD0");
  EXPECT_EQ(PortPath("/dev/ttyACM0"), "/dev/ttyACM0");
  EXPECT_EQ(PortPath("COMX:"), "COMX:");

  // A session folder that is gone: the one fallback the virtual ports use too.
  fs::remove(runtime);
  EXPECT_EQ(PortPath("COM5:"), "/tmp/orvelle-" + std::to_string(getuid()) + "/COM5");
  if (previous) {
    setenv("XDG_RUNTIME_DIR", previous->c_str(), 1);
  } else {
    unsetenv("XDG_RUNTIME_DIR");
  }
}

// The access mode of the descriptor this process holds on `path`.
int AccessModeOf(const std::string& path) {
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    if (fs::read_symlink(entry.path(), error) != path) continue;
    const int fd = std::stoi(entry.path().filename());
    const int flags = fcntl(fd, F_GETFL);
    if ((flags & O_ACCMODE) != O_RDWR) return flags & O_ACCMODE;
  }
  return O_RDWR;
}

TEST_F(SerialLinkTest, OwnVirtualPortIsOpenedWriteOnlyAndNotRead) {
  const fs::path runtime = folder_ / "runtime";
  fs::create_directories(runtime / "orvelle");
  fs::create_symlink(pty_.SlavePath(), runtime / "orvelle" / "COM5");
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  link_.SetPortName("COM5:");
  link_.SetVirtualPortNumber(5);
  EXPECT_TRUE(link_.IsOwnVirtualPort());
  ASSERT_TRUE(link_.StartPlayback());
  std::string received;
  EXPECT_TRUE(test::ReadUntil(pty_.Master(), received, Clock::now() + seconds(10),
                              [](const std::string& s) { return s.find("$GPGLL") != s.npos; }));
  EXPECT_EQ(AccessModeOf(pty_.SlavePath()), O_WRONLY);
  // Another port number makes it an ordinary port, read and written.
  link_.Stop();
  link_.SetVirtualPortNumber(4);
  EXPECT_FALSE(link_.IsOwnVirtualPort());
}

}  // namespace
}  // namespace orv
