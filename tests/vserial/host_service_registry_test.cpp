#include "vserial/host_service_registry.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "port_directory_fixture.h"
#include "vserial/virtual_port_writer.h"

namespace orv {
namespace {

using testing::Eventually;
using testing::milliseconds;
using testing::PortDirectory;
using testing::ReadFor;

// One second of playback, as the destination writes it.
std::string Burst(int second) {
  const std::string s = std::to_string(10 + second % 50);
  return "$GPGGA,1200" + s + ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n" +
         "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n" + "$GPRMC,1200" + s +
         ",A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
}

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

using VirtualPortHost = PortDirectory;

TEST_F(VirtualPortHost, RegistrationPublishesTheDeviceAndAnOwnerOnlyWriterEndpoint) {
  const std::uint32_t handle = Register(5);
  EXPECT_EQ(IndexOfServiceHandle(handle), 5);
  const VirtualPortFiles files = Files(5);

  ASSERT_TRUE(std::filesystem::is_symlink(files.device));
  EXPECT_EQ(std::filesystem::read_symlink(files.device).string().rfind("/dev/pts/", 0), 0u);
  struct stat writer {};
  ASSERT_EQ(stat(files.writer.c_str(), &writer), 0);
  EXPECT_TRUE(S_ISSOCK(writer.st_mode));
  EXPECT_EQ(writer.st_mode & 0777, 0600u);
  struct stat folder {};
  ASSERT_EQ(stat(registry_->Directory().c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 0777, 0700u);

  EXPECT_TRUE(registry_->PortPresent(5));
  EXPECT_FALSE(registry_->PortPresent(4));
  const VirtualPortStatus status = registry_->Status(5);
  EXPECT_TRUE(status.hostRunning);
  EXPECT_EQ(status.handle, handle);

  int error = 0;
  EXPECT_EQ(registry_->RegisterService("COM", 5, "orvserial", 0, error), 0u);
  EXPECT_EQ(error, EEXIST);

  ASSERT_TRUE(registry_->DeregisterService(handle, error));
  for (const std::string& path : {files.device, files.writer, files.lock, files.state}) {
    EXPECT_FALSE(Exists(path)) << path;
  }
  EXPECT_FALSE(registry_->PortPresent(5));
  EXPECT_FALSE(registry_->DeregisterService(handle, error));
  EXPECT_EQ(error, ESRCH);
}

TEST_F(VirtualPortHost, RefusesBadRegistrationsAndForeignHandles) {
  struct BadRegistration {
    const char* legend;
    const char* prefix;
    int index;
    const char* library;
  };
  const BadRegistration cases[] = {
      {"index above 9", "COM", 10, "orvserial"},
      {"negative index", "COM", -1, "orvserial"},
      {"other prefix", "GPD", 1, "orvserial"},
      {"other library", "COM", 1, "orvimages"},
  };
  for (const BadRegistration& c : cases) {
    int error = 0;
    EXPECT_EQ(registry_->RegisterService(c.prefix, c.index, c.library, 0, error), 0u) << c.legend;
    EXPECT_EQ(error, EINVAL) << c.legend;
  }

  // A handle of an earlier registration of the same index stops nothing.
  const std::uint32_t first = Register(3);
  int error = 0;
  ASSERT_TRUE(registry_->DeregisterService(first, error));
  const std::uint32_t second = Register(3);
  ASSERT_NE(first, second);
  EXPECT_FALSE(registry_->DeregisterService(first, error));
  EXPECT_FALSE(registry_->DeregisterService(second ^ 0x1u, error));  // same token, index 2
  for (const std::uint32_t junk : {0u, 1u, 0xFFFFFFFFu}) {
    EXPECT_FALSE(registry_->DeregisterService(junk, error)) << junk;
  }
  EXPECT_TRUE(registry_->PortPresent(3));
}

TEST_F(VirtualPortHost, TheReaderReceivesEachBurstWithinASecondOfItsWrite) {
  Register(5);
  const int reader = OpenReader(5);
  const int writer = OpenVirtualPortWriter(registry_->Directory(), 5);
  ASSERT_GE(writer, 0) << errno;
  EXPECT_TRUE(Eventually([&] { return StateIs(5, true, true); }, milliseconds(2000)));
  for (int second = 0; second < 5; ++second) {
    const std::string burst = Burst(second);
    ASSERT_TRUE(WriteToVirtualPort(writer, burst.data(), burst.size()));
    // Byte for byte, CR LF included: the terminal is in raw mode.
    EXPECT_EQ(ReadFor(reader, burst.size(), milliseconds(1000)), burst) << "second " << second;
  }
  close(writer);
  close(reader);
}

TEST_F(VirtualPortHost, AReaderGetsOnlyWhatIsWrittenAfterItOpened) {
  Register(5);
  const int writer = OpenVirtualPortWriter(registry_->Directory(), 5);
  ASSERT_GE(writer, 0) << errno;
  // Nobody reads these: far more than the terminal would buffer.
  for (int second = 0; second < 200; ++second) {
    const std::string burst = Burst(second);
    ASSERT_TRUE(WriteToVirtualPort(writer, burst.data(), burst.size()));
  }
  const int reader = OpenReader(5);
  const std::string fresh = "$GPVTG,084.4,T,,M,022.4,N,041.5,K,A*00\r\n";
  ASSERT_TRUE(WriteToVirtualPort(writer, fresh.data(), fresh.size()));
  EXPECT_EQ(ReadFor(reader, fresh.size() + 1, milliseconds(500)), fresh);
  close(reader);
  close(writer);
}

TEST_F(VirtualPortHost, ASecondWriterIsRefusedUntilTheFirstLeaves) {
  Register(2);
  const int first = OpenVirtualPortWriter(registry_->Directory(), 2);
  ASSERT_GE(first, 0);
  EXPECT_EQ(OpenVirtualPortWriter(registry_->Directory(), 2), -1);
  EXPECT_EQ(errno, EBUSY);
  close(first);
  ASSERT_TRUE(Eventually([&] { return StateIs(2, false, false); }, milliseconds(2000)));
  const int second = OpenVirtualPortWriter(registry_->Directory(), 2);
  EXPECT_GE(second, 0);
  close(second);

  EXPECT_EQ(OpenVirtualPortWriter(registry_->Directory(), 7), -1);
  EXPECT_EQ(errno, ENOENT);
}

TEST_F(VirtualPortHost, SurvivesAKilledWriterAndAReaderThatComesAndGoes) {
  Register(4);
  const std::string directory = registry_->Directory();
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int fd = OpenVirtualPortWriter(directory, 4);
    const std::string burst = Burst(0);
    if (fd < 0 || !WriteToVirtualPort(fd, burst.data(), burst.size())) _exit(1);
    for (;;) pause();
  }
  ASSERT_TRUE(Eventually([&] { return StateIs(4, false, true); }, milliseconds(3000)));
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  ASSERT_TRUE(Eventually([&] { return StateIs(4, false, false); }, milliseconds(2000)));

  const int writer = OpenVirtualPortWriter(directory, 4);
  ASSERT_GE(writer, 0);
  for (int cycle = 0; cycle < 200; ++cycle) {
    const int fd = open(Files(4).device.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0) << cycle;
    const std::string burst = Burst(cycle);
    ASSERT_TRUE(WriteToVirtualPort(writer, burst.data(), burst.size()));
    close(fd);
  }
  EXPECT_TRUE(Eventually([&] { return StateIs(4, false, true); }, milliseconds(2000)));
  const int reader = OpenReader(4);
  const std::string burst = Burst(7);
  ASSERT_TRUE(WriteToVirtualPort(writer, burst.data(), burst.size()));
  EXPECT_EQ(ReadFor(reader, burst.size() + 1, milliseconds(1000)), burst);
  close(reader);
  close(writer);
}

TEST_F(VirtualPortHost, AKilledHostLeavesAStaleRegistrationThatCanBeReplaced) {
  const std::uint32_t handle = Register(6);
  const pid_t host = registry_->Status(6).host.pid;
  ASSERT_GT(host, 0);
  // Hold the process to see it gone completely, its lock released with it.
  const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, host, 0));
  ASSERT_GE(pidfd, 0);
  ASSERT_EQ(kill(host, SIGKILL), 0);
  pollfd exited{pidfd, POLLIN, 0};
  ASSERT_EQ(poll(&exited, 1, 2000), 1);
  close(pidfd);
  EXPECT_FALSE(registry_->Status(6).hostRunning);
  EXPECT_FALSE(registry_->PortPresent(6));
  int error = 0;
  EXPECT_FALSE(registry_->DeregisterService(handle, error));
  EXPECT_FALSE(Exists(Files(6).device));
  const std::uint32_t again = Register(6);
  EXPECT_NE(again, 0u);
  EXPECT_TRUE(registry_->PortPresent(6));
}

}  // namespace
}  // namespace orv
