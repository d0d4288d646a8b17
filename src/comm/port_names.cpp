#include "comm/port_names.h"

#include "comm/gpsd_stream.h"
#include "platform/runtime_folder.h"

namespace orv {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// "COM12:" -> "COM12"; empty for anything but PREFIX digits ":".
std::string HandheldPortStem(std::string_view name) {
  for (const std::string_view prefix : {std::string_view("COM"), std::string_view("GPD")}) {
    if (!StartsWith(name, prefix) || name.size() < prefix.size() + 2 || name.back() != ':') {
      continue;
    }
    const std::string_view digits = name.substr(prefix.size(), name.size() - prefix.size() - 1);
    bool allDigits = true;
    for (const char c : digits) allDigits = allDigits && c >= '0' && c <= '9';
    if (allDigits) return std::string(name.substr(0, name.size() - 1));
  }
  return {};
}

}  // namespace

std::string StoredPortName(std::string_view name) {
  if (StartsWith(name, "COM") && name.size() > 5) return std::string(kDevicePrefix) += name;
  return std::string(name);
}

std::string VirtualPortName(int number) {
  return "COM" + std::to_string(number) + ":";
}

std::string PortPath(std::string_view portName) {
  if (StartsWith(portName, kDevicePrefix)) portName.remove_prefix(kDevicePrefix.size());
  const std::string stem = HandheldPortStem(portName);
  if (stem.empty()) return std::string(portName);
  return ProgramRuntimeFolder() + "/" + stem;
}

std::unique_ptr<ByteStream> OpenPort(std::string_view portName, PortAccess access, int& error) {
  if (StartsWith(portName, kGpsdScheme)) return GpsdStream::Open(portName, error);
  const std::string path = PortPath(portName);
  if (path.empty()) {
    error = ENOENT;
    return nullptr;
  }
  return TtyStream::Open(path, access, error);
}

}  // namespace orv
