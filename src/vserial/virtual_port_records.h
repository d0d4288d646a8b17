#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// The host's lock file names who holds the port: "PID TOKEN\n".
struct HostLockRecord {
  pid_t pid = 0;
  std::uint32_t token = 0;
  bool operator==(const HostLockRecord&) const = default;
};

std::string FormatHostLockRecord(const HostLockRecord& record);
std::optional<HostLockRecord> ParseHostLockRecord(std::string_view text);

// Which sides of the port are open, as the host last saw them:
// "reader 0|1\nwriter 0|1\n".
struct VirtualPortState {
  bool readerOpen = false;
  bool writerOpen = false;
  bool operator==(const VirtualPortState&) const = default;
};

std::string FormatVirtualPortState(const VirtualPortState& state);
std::optional<VirtualPortState> ParseVirtualPortState(std::string_view text);

// Small whole-file helpers. The write goes through a temporary file and a
// rename so that a reader never sees half a record.
std::optional<std::string> ReadSmallFile(const std::string& path);
bool ReplaceSmallFile(const std::string& path, std::string_view text);

}  // namespace orv
