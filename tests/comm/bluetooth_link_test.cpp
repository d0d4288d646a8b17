#include "comm/bluetooth_link.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/navigator.h"
#include "app/playback_burst_writer.h"
#include "bluetooth_test_fakes.h"
#include "nmea/proprietary_lines.h"
#include "platform/scripted_prompter.h"
#include "test_folder.h"

namespace orv {
namespace {

using testing::FakeBluetoothDiscovery;
using testing::FakeChannelChooser;
using testing::SerialPortRecords;
using testing::WaitUntil;

// Hands the link one end of a socket pair in place of an RFCOMM socket and
// keeps the other end as the device; connect answers from a script.
class PairSocketFactory : public BluetoothSocketFactory {
 public:
  ~PairSocketFactory() override { ClosePeer(); }

  int createError = 0;
  std::vector<int> connectErrors;  // one per try, then success
  int creates = 0;
  int connects = 0;
  std::uint64_t connectedAddress = 0;
  std::uint8_t connectedChannel = 0;

  int Create(int& error) override {
    ++creates;
    if (createError != 0) {
      error = createError;
      return -1;
    }
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
      error = errno;
      return -1;
    }
    ClosePeer();
    peer_ = ends[1];
    return ends[0];
  }
  int Connect(int, std::uint64_t address, std::uint8_t channel) override {
    const std::size_t attempt = static_cast<std::size_t>(connects++);
    connectedAddress = address;
    connectedChannel = channel;
    return attempt < connectErrors.size() ? connectErrors[attempt] : 0;
  }

  int Peer() const { return peer_; }
  void ClosePeer() {
    if (peer_ >= 0) ::close(peer_);
    peer_ = -1;
  }

 private:
  int peer_ = -1;
};

const BluetoothDeviceEntry kDevice{"GPS 10X", 0x001B2C3D4E5Full};

// Reads what the device end receives until `enough` says so or 5 s pass.
std::string ReadPeerUntil(int peer, const std::function<bool(const std::string&)>& enough) {
  std::string received;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!enough(received) && std::chrono::steady_clock::now() < deadline) {
    pollfd watched{peer, POLLIN, 0};
    if (::poll(&watched, 1, 50) <= 0) continue;
    char block[512];
    const ssize_t got = ::recv(peer, block, sizeof block, MSG_DONTWAIT);
    if (got <= 0) break;
    received.append(block, static_cast<std::size_t>(got));
  }
  return received;
}

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    ASSERT_GT(sent, 0);
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
}

std::string Sentence(const std::string& body) {
  return *FinishHeadLine("$" + body + "*");
}

// Five seconds of a receiver driving east at 20 knots.
std::string DrivingReceiverBytes() {
  std::string bytes = "garbage before the first sentence";
  for (int second = 0; second < 5; ++second) {
    const std::string time = "12000" + std::to_string(second);
    const std::string lon = "0113" + std::to_string(second) + ".000";
    bytes += Sentence("GPGGA," + time + ",4807.038,N," + lon + ",E,1,08,0.9,545.4,M,46.9,M,,");
    bytes += Sentence("GPRMC," + time + ",A,4807.038,N," + lon + ",E,020.0,090.0,230394,,");
  }
  return bytes + "$";  // the last line is complete only when the next begins
}

class BluetoothLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    discovery.serviceSearch.response = SerialPortRecords({5});
    folder = test::FreshTestFolder("orv_bt_link");
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  // Held until the fixture's end, after the fakes it uses.
  BluetoothLink& MakeLink(std::chrono::milliseconds burstPeriod = std::chrono::milliseconds(1000),
                          std::chrono::milliseconds routePause = std::chrono::milliseconds(1)) {
    held = std::make_unique<BluetoothLink>(navigator, prompter, discovery, sockets, chooser);
    held->SetDevice(kDevice);
    BluetoothLinkTiming timing;
    timing.connectRetryDelay = std::chrono::milliseconds(0);
    timing.burstPeriod = burstPeriod;
    timing.routeSentencePause = routePause;
    held->SetTiming(timing);
    held->Recorder().SetFolderFinder([this] { return std::optional(folder.string()); });
    return *held;
  }

  Navigator navigator;
  ScriptedPrompter prompter;
  FakeBluetoothDiscovery discovery;
  PairSocketFactory sockets;
  FakeChannelChooser chooser;
  std::filesystem::path folder;
  std::unique_ptr<BluetoothLink> held;
};

TEST_F(BluetoothLinkTest, SourceRecordsTheDeviceSentencesAndSendsTheKeepAlive) {
  BluetoothLink& link = MakeLink();
  ASSERT_TRUE(link.StartRecording());
  EXPECT_TRUE(link.IsActive());
  EXPECT_EQ(link.Channel(), 5);
  EXPECT_EQ(sockets.connectedAddress, kDevice.address);
  EXPECT_EQ(sockets.connectedChannel, 5);

  // The keep-alive goes out as soon as the link runs.
  const std::string placeholder = PlaceholderLine();
  EXPECT_EQ(ReadPeerUntil(sockets.Peer(),
                          [&](const std::string& got) { return got.size() >= placeholder.size(); }),
            placeholder);

  const std::string bytes = DrivingReceiverBytes();
  // Split anywhere: the socket's chunks must not change the lines.
  WriteAll(sockets.Peer(), bytes.substr(0, 50));
  WriteAll(sockets.Peer(), bytes.substr(50));
  ASSERT_TRUE(WaitUntil([&] { return navigator.Recording().PointCount() >= 4; }))
      << navigator.Recording().PointCount();

  prompter.Script(PromptAnswer::kYes);  // keep the track file
  const std::string kept = link.Stop();
  EXPECT_FALSE(link.IsActive());
  EXPECT_EQ(link.Channel(), 0);
  ASSERT_FALSE(kept.empty());
  const std::string expected = ProductLine() + MakerLine() + *SourceLine("GPS 10X", 5) +
                               bytes.substr(bytes.find('$'), bytes.size() - 1 - bytes.find('$'));
  EXPECT_EQ(test::ReadWholeFile(kept), expected);
}

TEST_F(BluetoothLinkTest, DestinationSendsBurstsAndDropsWhatTheDeviceSends) {
  BluetoothLink& link = MakeLink(std::chrono::milliseconds(20));
  TrackPoint point;
  point.SetSpeedKnots(12.5);
  point.SetCourseDegrees(90.0);
  link.SetPointSource([point] { return point; });
  ASSERT_TRUE(link.StartPlayback());
  WriteAll(sockets.Peer(), DrivingReceiverBytes());

  // The same bursts a fresh writer makes from the point, GSV on the fifth.
  PlaybackBurstWriter writer;
  std::string expected, burst;
  for (int step = 0; step < 5; ++step) {
    writer.WriteBurst(point, burst);
    expected += burst;
  }
  EXPECT_EQ(ReadPeerUntil(sockets.Peer(),
                          [&](const std::string& got) { return got.size() >= expected.size(); })
                .substr(0, expected.size()),
            expected);
  link.Stop();
  EXPECT_FALSE(link.IsActive());
  EXPECT_EQ(navigator.Recording().PointCount(), 0);
  EXPECT_TRUE(prompter.Asked().empty());
  EXPECT_TRUE(std::filesystem::is_empty(folder));
}

// HOME at 48°07.038'N 11°31.000'E, WORK a little north-east of it, and
// the route `name` from HOME to WORK and back.
RouteTransfer HomeWorkRoute(const std::string& name) {
  RouteTransfer transfer;
  LatLong home, work;
  home.SetDegrees(48 + 7.038 / 60, 11 + 31.0 / 60);
  work.SetDegrees(48 + 12.5 / 60, 11 + 36.25 / 60);
  transfer.waypoints = {{"HOME", home}, {"WORK", work}};
  transfer.route = RouteRecord{RouteType::kComplete, name, {"HOME", "WORK", "HOME"}};
  return transfer;
}

std::vector<std::string> HomeWorkRouteLines(const std::string& name) {
  return {Sentence("GPWPL,4807.0380,N,01131.0000,E,HOME"),
          Sentence("GPWPL,4812.5000,N,01136.2500,E,WORK"),
          Sentence("GPRTE,1,1,C," + name + ",HOME,WORK,HOME")};
}

// The complete CR LF lines of `text`, in order.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
    lines.push_back(text.substr(at, end + 1 - at));
  }
  return lines;
}

bool HasLine(const std::string& text, std::string_view prefix, std::size_t count = 1) {
  std::size_t found = 0;
  for (const std::string& line : Lines(text)) found += line.starts_with(prefix) ? 1 : 0;
  return found >= count;
}

TEST_F(BluetoothLinkTest, DestinationSendsARequestedRouteAsWaypointsThenRoute) {
  // The first burst goes out at once, the next only after a minute.
  BluetoothLink& link = MakeLink(std::chrono::seconds(60));
  ASSERT_TRUE(link.StartPlayback());
  ASSERT_TRUE(HasLine(
      ReadPeerUntil(sockets.Peer(), [](const std::string& got) { return HasLine(got, "$GPGLL"); }),
      "$GPGLL"));

  std::future<bool> done = link.RequestRouteTransfer(HomeWorkRoute("R1"));
  const std::string received =
      ReadPeerUntil(sockets.Peer(), [](const std::string& got) { return HasLine(got, "$GPRTE"); });
  ASSERT_EQ(done.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_TRUE(done.get());
  EXPECT_EQ(Lines(received), HomeWorkRouteLines("R1"));
  EXPECT_TRUE(prompter.Asked().empty());

  link.Stop();
  EXPECT_FALSE(link.RequestRouteTransfer(HomeWorkRoute("R1")).get());
}

TEST_F(BluetoothLinkTest, RouteRequestedDuringATransferFollowsItWithItsOwnAnswer) {
  BluetoothLink& link = MakeLink(std::chrono::seconds(60), std::chrono::milliseconds(100));
  ASSERT_TRUE(link.StartPlayback());
  ReadPeerUntil(sockets.Peer(), [](const std::string& got) { return HasLine(got, "$GPGLL"); });

  std::future<bool> first = link.RequestRouteTransfer(HomeWorkRoute("R1"));
  // Its first waypoint is out: the transfer of R1 has begun.
  std::string received =
      ReadPeerUntil(sockets.Peer(), [](const std::string& got) { return HasLine(got, "$GPWPL"); });
  std::future<bool> second = link.RequestRouteTransfer(HomeWorkRoute("R2"));
  received += ReadPeerUntil(
      sockets.Peer(), [&](const std::string& got) { return HasLine(received + got, "$GPRTE", 2); });
  ASSERT_EQ(second.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_TRUE(first.get());
  EXPECT_TRUE(second.get());
  std::vector<std::string> expected = HomeWorkRouteLines("R1");
  for (std::string& line : HomeWorkRouteLines("R2")) expected.push_back(line);
  EXPECT_EQ(Lines(received), expected);
  link.Stop();
}

TEST_F(BluetoothLinkTest, SourceTakesNoRouteRequest) {
  BluetoothLink& link = MakeLink();
  ASSERT_TRUE(link.StartRecording());
  std::future<bool> done = link.RequestRouteTransfer(HomeWorkRoute("R1"));
  ASSERT_EQ(done.wait_for(std::chrono::seconds(0)), std::future_status::ready);
  EXPECT_FALSE(done.get());
  link.Stop();
}

TEST_F(BluetoothLinkTest, DestinationWhosePeerHangsUpIsASendErrorNotASignal) {
  BluetoothLink& link = MakeLink(std::chrono::milliseconds(5));
  ASSERT_TRUE(link.StartPlayback());
  sockets.ClosePeer();
  ASSERT_TRUE(WaitUntil([&] { return !prompter.Asked().empty(); }));
  EXPECT_EQ(prompter.Asked()[0].text, "send failed at GPS 10X\n\nError:(32)");
  EXPECT_TRUE(link.SendEnded());
  link.Stop();
  EXPECT_EQ(prompter.Asked().size(), 1u);
}

TEST_F(BluetoothLinkTest, DeviceThatHangsUpIsAReceiveError) {
  BluetoothLink& link = MakeLink();
  ASSERT_TRUE(link.StartRecording());
  sockets.ClosePeer();
  ASSERT_TRUE(WaitUntil([&] { return !prompter.Asked().empty(); }));
  EXPECT_EQ(prompter.Asked()[0].text, "recvfrom failed at GPS 10X\n\nError:(104)");
  EXPECT_EQ(prompter.Asked()[0].caption, "Irreparable Error");
  link.Stop();
  EXPECT_FALSE(link.IsActive());
  // Nothing came before the hang-up, so the track file goes with its notice.
  ASSERT_EQ(prompter.Asked().size(), 2u);
  EXPECT_EQ(prompter.Asked()[1].text, kNoMovementText);
}

struct ConnectCase {
  const char* legend;
  int createError;
  std::vector<int> connectErrors;
  bool starts;
  int connects;
  const char* message;  // nullptr: none
};

class BluetoothConnectTest : public BluetoothLinkTest,
                             public ::testing::WithParamInterface<ConnectCase> {};

TEST_P(BluetoothConnectTest, RetriesOnlyWhileTheChannelIsBusy) {
  const ConnectCase& row = GetParam();
  sockets.createError = row.createError;
  sockets.connectErrors = row.connectErrors;
  BluetoothLink& link = MakeLink();
  EXPECT_EQ(link.StartPlayback(), row.starts);
  EXPECT_EQ(sockets.connects, row.connects);
  EXPECT_EQ(link.IsActive(), row.starts);
  const std::vector<Prompt> asked = prompter.Asked();
  if (row.message == nullptr) {
    EXPECT_TRUE(asked.empty());
  } else {
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, row.message);
    EXPECT_EQ(asked[0].caption, "Irreparable Error");
    EXPECT_EQ(asked[0].icon, PromptIcon::kStop);
  }
  link.Stop();
}

INSTANTIATE_TEST_SUITE_P(
    Tries, BluetoothConnectTest,
    ::testing::Values(
        ConnectCase{"first try", 0, {}, true, 1, nullptr},
        ConnectCase{"busy three times", 0, {EBUSY, EBUSY, EBUSY}, true, 4, nullptr},
        ConnectCase{"busy sixty times then connected", 0, std::vector<int>(60, EBUSY), true, 61,
                    nullptr},
        ConnectCase{"busy on every one of the 61 tries", 0, std::vector<int>(61, EBUSY), false, 61,
                    "connect failed (16) at GPS 10X"},
        ConnectCase{"refused is not retried",
                    0,
                    {ECONNREFUSED},
                    false,
                    1,
                    "connect failed (111) at GPS 10X"},
        ConnectCase{"busy then refused",
                    0,
                    {EBUSY, EHOSTDOWN},
                    false,
                    2,
                    "connect failed (112) at GPS 10X"},
        ConnectCase{"no Bluetooth sockets",
                    EAFNOSUPPORT,
                    {},
                    false,
                    0,
                    "socket failed (97) at GPS 10X\n\nThis system has no Bluetooth support: the "
                    "kernel offers no Bluetooth sockets."}),
    [](const ::testing::TestParamInfo<ConnectCase>& info) {
      std::string name;
      for (const char* c = info.param.legend; *c; ++c) {
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      }
      return name;
    });

TEST_F(BluetoothLinkTest, ChannelChoiceComesBeforeAnySocket) {
  // No Serial Port record: the message, and no socket is made.
  discovery.serviceSearch.response = {};
  BluetoothLink& link = MakeLink();
  EXPECT_FALSE(link.StartRecording());
  EXPECT_EQ(sockets.creates, 0);
  ASSERT_EQ(prompter.Asked().size(), 1u);
  EXPECT_EQ(prompter.Asked()[0].caption, "Error");

  // Two channels: the chosen one is connected; a cancel makes no socket.
  discovery.serviceSearch.response = SerialPortRecords({3, 12});
  chooser.answer = std::nullopt;
  EXPECT_FALSE(link.StartPlayback());
  EXPECT_EQ(sockets.creates, 0);
  chooser.answer = 12;
  ASSERT_TRUE(link.StartPlayback());
  EXPECT_EQ(sockets.connectedChannel, 12);
  EXPECT_EQ(link.Channel(), 12);
  link.Stop();
  EXPECT_EQ(prompter.Asked().size(), 1u);
}

TEST_F(BluetoothLinkTest, RecordFileThatCannotBeCreatedLeavesTheLinkStopped) {
  BluetoothLink& link = MakeLink();
  link.Recorder().SetFolderFinder([] { return std::optional<std::string>("/nonexistent/orv"); });
  EXPECT_FALSE(link.StartRecording());
  EXPECT_FALSE(link.IsActive());
  EXPECT_EQ(link.Channel(), 0);
  ASSERT_EQ(prompter.Asked().size(), 1u);
  EXPECT_NE(prompter.Asked()[0].text.find("file open failed"), std::string::npos);
  // The link's end of the socket was closed: the device sees the end.
  EXPECT_EQ(ReadPeerUntil(sockets.Peer(), [](const std::string&) { return false; }), "");
}

}  // namespace
}  // namespace orv
