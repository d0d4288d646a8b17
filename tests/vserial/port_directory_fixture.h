#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include "vserial/host_service_registry.h"

namespace orv::testing {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Checks `done` until it holds or `timeout` passes, waiting a few
// milliseconds between checks. Returns whether it held.
inline bool Eventually(const std::function<bool()>& done, milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (done()) return true;
    if (Clock::now() >= deadline) return false;
    poll(nullptr, 0, 5);
  }
}

// Reads from `fd` until `want` bytes arrived or `timeout` passed.
inline std::string ReadFor(int fd, std::size_t want, milliseconds timeout) {
  std::string got;
  const auto deadline = Clock::now() + timeout;
  while (got.size() < want) {
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    char buffer[4096];
    const ssize_t n = read(fd, buffer, std::min(sizeof buffer, want - got.size()));
    if (n <= 0) break;
    got.append(buffer, static_cast<std::size_t>(n));
  }
  return got;
}

// A private runtime folder (mkdtemp, 0700) with the port directory inside,
// and a registry that starts the host built with the tests. Every port still
// registered at the end is deregistered; removing the folder would also end
// a host this fixture lost track of.
class PortDirectory : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/orv_vport_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    runtime_ = pattern;
    chmod(runtime_.c_str(), 0700);
    registry_ = std::make_unique<HostServiceRegistry>(runtime_ + "/orvelle", ORV_VSERIAL_HOST_PATH);
  }
  void TearDown() override {
    for (int index = kFirstVirtualPort; index <= kLastVirtualPort; ++index) {
      const VirtualPortStatus status = registry_->Status(index);
      int error = 0;
      if (status.hostRunning) registry_->DeregisterService(status.handle, error);
    }
    std::filesystem::remove_all(runtime_);
  }

  std::uint32_t Register(int index) {
    int error = 0;
    const std::uint32_t handle = registry_->RegisterService("COM", index, "orvserial", 0, error);
    EXPECT_NE(handle, 0u) << "error " << error;
    return handle;
  }

  VirtualPortFiles Files(int index) const {
    return VirtualPortFilesIn(registry_->Directory(), index);
  }

  bool StateIs(int index, bool reader, bool writer) const {
    const VirtualPortStatus status = registry_->Status(index);
    return status.hostRunning && status.state == VirtualPortState{reader, writer};
  }

  // Opens the published device as a reading program does, and waits until
  // the host has seen the open.
  int OpenReader(int index) {
    const int fd = open(Files(index).device.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    EXPECT_GE(fd, 0);
    EXPECT_TRUE(
        Eventually([&] { return registry_->Status(index).state.readerOpen; }, milliseconds(2000)));
    return fd;
  }

  std::string runtime_;
  std::unique_ptr<HostServiceRegistry> registry_;
};

}  // namespace orv::testing
