#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "comm/byte_stream.h"
#include "comm/tty_stream.h"

namespace orv {

// Put before port names of two-digit COM ports (COM10: onward).
inline constexpr std::string_view kDevicePrefix = "$device\\";

// The name a link keeps: "COM" names longer than 5 characters get the
// "$device\" prefix, all others stay as they are.
std::string StoredPortName(std::string_view name);

// "COM" + number + ":", the name of the program's own virtual port n.
std::string VirtualPortName(int number);

// Where a handheld-style port name lives here: "COMn:" and "GPDn:" are
// served in the program's runtime folder (ProgramRuntimeFolder()/COMn);
// any other name is a path. The "$device\" prefix is dropped first.
std::string PortPath(std::string_view portName);

// Opens a link's device: "gpsd://HOST:PORT" connects to gpsd, everything
// else is opened by its PortPath as an existing device. Null with `error`
// (an errno) on failure.
std::unique_ptr<ByteStream> OpenPort(std::string_view portName, PortAccess access, int& error);

}  // namespace orv
