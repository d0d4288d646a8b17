#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "vserial/service_registry.h"
#include "vserial/virtual_port_paths.h"
#include "vserial/virtual_port_records.h"

namespace orv {

// A registration's handle: a random non-zero start token in the upper 28
// bits and the port index in the lower 4, so that the handle alone finds
// the host again after the program restarts, and a handle from an earlier
// registration of the same index does not stop the current one.
std::uint32_t ServiceHandleOf(int index, std::uint32_t token);
int IndexOfServiceHandle(std::uint32_t handle);
std::uint32_t TokenOfServiceHandle(std::uint32_t handle);

// What a port looks like from outside its host.
struct VirtualPortStatus {
  bool hostRunning = false;
  HostLockRecord host;       // valid when running
  std::uint32_t handle = 0;  // the registration's handle when running
  VirtualPortState state;    // the sides the host last reported open
  VirtualPortFiles files;
};

// The services manager on Linux: registering starts the driver host
// (`orvserial-host`) detached for the index; it publishes the port in
// `directory` (see VirtualPortFiles). Deregistering signals that host, after
// checking through its lock file and /proc that it really is the host of
// that registration.
class HostServiceRegistry : public ServiceRegistry {
 public:
  HostServiceRegistry(std::string directory, std::string hostExecutable);
  // The port directory of this session and the host next to this program.
  HostServiceRegistry();

  std::uint32_t RegisterService(std::string_view prefix, int index, std::string_view library,
                                std::uint32_t context, int& error) override;
  bool DeregisterService(std::uint32_t handle, int& error) override;
  bool PortPresent(int index) override;

  VirtualPortStatus Status(int index) const;
  const std::string& Directory() const { return directory_; }

  // $ORVELLE_VSERIAL_HOST, else orvserial-host beside the running program,
  // else the one in the build tree.
  static std::string DefaultHostExecutable();

 private:
  // The live host holding port `index`, verified; nothing when none.
  std::optional<HostLockRecord> LiveHost(int index) const;
  bool EnsureDirectory(int& error) const;

  std::string directory_;
  std::string hostExecutable_;
};

}  // namespace orv
