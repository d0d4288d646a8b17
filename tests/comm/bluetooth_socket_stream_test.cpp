#include "comm/bluetooth_socket_stream.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace orv {
namespace {

using Event = BluetoothSocketStream::Event;
constexpr std::chrono::milliseconds kShortWait{20};

// The link's end as a non-blocking stream; the device's end stays a plain fd.
struct Pair {
  Pair() {
    int ends[2];
    EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends), 0);
    stream = std::make_unique<BluetoothSocketStream>(ends[0]);
    device = ends[1];
  }
  ~Pair() {
    if (device >= 0) ::close(device);
  }
  std::unique_ptr<BluetoothSocketStream> stream;
  int device = -1;
};

TEST(BluetoothSocketStreamTest, TellsDataFromThePeersClose) {
  Pair pair;
  EXPECT_EQ(pair.stream->WaitForEvent(kShortWait), Event::kNone);

  ASSERT_EQ(::write(pair.device, "$GP", 3), 3);
  EXPECT_EQ(pair.stream->WaitForEvent(kShortWait), Event::kData);

  // Data sent before the close is still data; once read, the close shows.
  ::close(pair.device);
  pair.device = -1;
  EXPECT_EQ(pair.stream->WaitForEvent(kShortWait), Event::kData);
  char buffer[8];
  const IoResult read = pair.stream->Read(buffer, sizeof buffer);
  EXPECT_EQ(read.status, IoStatus::kDone);
  EXPECT_EQ(read.bytes, 3u);
  EXPECT_EQ(pair.stream->WaitForEvent(kShortWait), Event::kClosed);
  EXPECT_EQ(pair.stream->Read(buffer, sizeof buffer).error, ECONNRESET);
}

TEST(BluetoothSocketStreamTest, WriteToAClosedPeerFailsWithoutSignal) {
  Pair pair;
  ::close(pair.device);
  pair.device = -1;
  // Without the guard SIGPIPE would end the test program here.
  const IoResult written = pair.stream->Write("$POVR000,,*hh\r\n");
  EXPECT_EQ(written.status, IoStatus::kFailed);
  EXPECT_EQ(written.error, EPIPE);
}

TEST(BluetoothSocketStreamTest, ShutdownIsSeenByThePeer) {
  Pair pair;
  pair.stream->Shutdown();
  char byte;
  EXPECT_EQ(::read(pair.device, &byte, 1), 0);
  EXPECT_EQ(pair.stream->WaitForEvent(kShortWait), Event::kClosed);
}

}  // namespace
}  // namespace orv
