#include "vserial/virtual_port_stream.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "port_directory_fixture.h"

namespace orv {
namespace {

using testing::Eventually;
using testing::milliseconds;
using testing::ReadFor;

using VirtualPortStreamTest = testing::PortDirectory;

TEST_F(VirtualPortStreamTest, ALinkWritesBurstsThatTheReaderGetsWhole) {
  Register(5);
  const int reader = OpenReader(5);
  int error = 0;
  std::unique_ptr<VirtualPortStream> stream =
      VirtualPortStream::Open(registry_->Directory(), 5, error);
  ASSERT_TRUE(stream) << error;
  EXPECT_FALSE(stream->TakesReceiverCommands());
  ASSERT_TRUE(Eventually([&] { return StateIs(5, true, true); }, milliseconds(2000)));

  // A route upload line and a burst far larger than one endpoint message.
  const std::string wpl = "$GPWPL,4807.038,N,01131.000,E,WPT001*3C\r\n";
  std::string large;
  while (large.size() < 150000) large += "$GPGLL,4807.0100,N,01131.0000,E,120001,A*20\r\n";
  for (const std::string* bytes : {&wpl, static_cast<const std::string*>(&large)}) {
    const IoResult result = stream->Write(*bytes);
    ASSERT_EQ(result.status, IoStatus::kDone);
    EXPECT_EQ(result.bytes, bytes->size());
    EXPECT_EQ(ReadFor(reader, bytes->size(), milliseconds(2000)), *bytes);
  }
  close(reader);
}

TEST_F(VirtualPortStreamTest, OpenFailsForAMissingPortOrASecondWriter) {
  int error = 0;
  EXPECT_FALSE(VirtualPortStream::Open(registry_->Directory(), 5, error));
  EXPECT_EQ(error, ENOENT);

  Register(5);
  std::unique_ptr<VirtualPortStream> first =
      VirtualPortStream::Open(registry_->Directory(), 5, error);
  ASSERT_TRUE(first);
  EXPECT_FALSE(VirtualPortStream::Open(registry_->Directory(), 5, error));
  EXPECT_EQ(error, EBUSY);
}

TEST_F(VirtualPortStreamTest, AStoppedHostFailsTheWriteWithoutEndingTheProgram) {
  const std::uint32_t handle = Register(5);
  int error = 0;
  std::unique_ptr<VirtualPortStream> stream =
      VirtualPortStream::Open(registry_->Directory(), 5, error);
  ASSERT_TRUE(stream);
  ASSERT_TRUE(registry_->DeregisterService(handle, error));
  IoResult result;
  // The first write after the host left may still be taken by the socket.
  for (int i = 0; i < 3 && result.status == IoStatus::kDone; ++i) result = stream->Write("$GP\r\n");
  EXPECT_EQ(result.status, IoStatus::kFailed);
  EXPECT_TRUE(result.error == EPIPE || result.error == ECONNRESET) << result.error;
  sigset_t pending;
  sigpending(&pending);
  EXPECT_FALSE(sigismember(&pending, SIGPIPE));
}

}  // namespace
}  // namespace orv
