#include "vserial/virtual_port_paths.h"

#include "platform/runtime_folder.h"

namespace orv {

std::string VirtualPortDirectory() {
  return ProgramRuntimeFolder();
}

VirtualPortFiles VirtualPortFilesIn(std::string_view directory, int index) {
  const std::string base =
      std::string(directory) + "/" + std::string(kVirtualPortPrefix) + std::to_string(index);
  return {base, base + ".writer", base + ".lock", base + ".state"};
}

std::optional<int> VirtualPortIndexOf(std::string_view portName) {
  // Exactly prefix, one digit, colon.
  if (portName.size() != kVirtualPortPrefix.size() + 2) return std::nullopt;
  if (portName.substr(0, kVirtualPortPrefix.size()) != kVirtualPortPrefix) return std::nullopt;
  if (portName.back() != ':') return std::nullopt;
  const char digit = portName[kVirtualPortPrefix.size()];
  if (digit < '0' + kFirstVirtualPort || digit > '0' + kLastVirtualPort) return std::nullopt;
  return digit - '0';
}

std::string VirtualPortDeviceName(int index) {
  return std::string(kVirtualPortPrefix) + std::to_string(index) + ":";
}

bool IsOwnVirtualPort(std::string_view portName, int configuredIndex) {
  const std::optional<int> index = VirtualPortIndexOf(portName);
  return index && *index == configuredIndex;
}

}  // namespace orv
