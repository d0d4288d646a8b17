#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orv {

// The device prefix the driver is registered under, and its index range.
inline constexpr std::string_view kVirtualPortPrefix = "COM";
inline constexpr int kFirstVirtualPort = 0;
inline constexpr int kLastVirtualPort = 9;
// The library the registration names.
inline constexpr std::string_view kVirtualPortLibrary = "orvserial";

// What one registered port publishes in the port directory.
struct VirtualPortFiles {
  std::string device;  // "COMn": a symlink to the reader's pseudo-terminal
  std::string writer;  // "COMn.writer": the program's endpoint, owner only
  std::string lock;    // "COMn.lock": held by the live host; "PID TOKEN"
  std::string state;   // "COMn.state": which sides are open
};

// The program's runtime folder (ProgramRuntimeFolder), where the serial
// links look for COMn: as well. The folder is not created here.
std::string VirtualPortDirectory();

VirtualPortFiles VirtualPortFilesIn(std::string_view directory, int index);

// "COM5:" → 5 for the indices a virtual port can have; nothing for any
// other name (COM10:, GPD0:, "COM5").
std::optional<int> VirtualPortIndexOf(std::string_view portName);

// "COM" + index + ":".
std::string VirtualPortDeviceName(int index);

// Whether `portName` is the program's own virtual port, `configuredIndex`
// being the "VSerialPort" setting (-1 for none).
bool IsOwnVirtualPort(std::string_view portName, int configuredIndex);

}  // namespace orv
