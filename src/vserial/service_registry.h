#pragma once

#include <cstdint>
#include <string_view>

namespace orv {

// The services manager's calls the program makes for its virtual serial
// port. Errors are errno values.
class ServiceRegistry {
 public:
  virtual ~ServiceRegistry() = default;

  // Loads the driver `library` as device `prefix` + `index`. A non-zero
  // handle, or 0 with `error` set.
  virtual std::uint32_t RegisterService(std::string_view prefix, int index,
                                        std::string_view library, std::uint32_t context,
                                        int& error) = 0;
  // Unloads the driver registered under `handle`.
  virtual bool DeregisterService(std::uint32_t handle, int& error) = 0;
  // The presence test: whether the device "COM" + index + ":" opens for
  // reading (and is closed again at once).
  virtual bool PortPresent(int index) = 0;
};

}  // namespace orv
