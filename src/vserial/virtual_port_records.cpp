#include "vserial/virtual_port_records.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>

namespace orv {
namespace {

// Reads "WORD NUMBER" at the front of `text` into `value`; advances past the
// line. False when the word or the number is not there.
template <typename Number>
bool TakeNumber(std::string_view& text, std::string_view word, Number& value) {
  if (!word.empty()) {
    if (text.substr(0, word.size()) != word || text.size() <= word.size() ||
        text[word.size()] != ' ') {
      return false;
    }
    text.remove_prefix(word.size() + 1);
  }
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data()) return false;
  text.remove_prefix(static_cast<size_t>(end - text.data()));
  return true;
}

bool TakeChar(std::string_view& text, char c) {
  if (text.empty() || text.front() != c) return false;
  text.remove_prefix(1);
  return true;
}

}  // namespace

std::string FormatHostLockRecord(const HostLockRecord& record) {
  return std::to_string(record.pid) + " " + std::to_string(record.token) + "\n";
}

std::optional<HostLockRecord> ParseHostLockRecord(std::string_view text) {
  HostLockRecord record;
  if (!TakeNumber(text, "", record.pid) || !TakeChar(text, ' ') ||
      !TakeNumber(text, "", record.token) || !TakeChar(text, '\n') || !text.empty() ||
      record.pid <= 0 || record.token == 0) {
    return std::nullopt;
  }
  return record;
}

std::string FormatVirtualPortState(const VirtualPortState& state) {
  return std::string("reader ") + (state.readerOpen ? "1" : "0") + "\nwriter " +
         (state.writerOpen ? "1" : "0") + "\n";
}

std::optional<VirtualPortState> ParseVirtualPortState(std::string_view text) {
  int reader = -1, writer = -1;
  if (!TakeNumber(text, "reader", reader) || !TakeChar(text, '\n') ||
      !TakeNumber(text, "writer", writer) || !TakeChar(text, '\n') || !text.empty() || reader < 0 ||
      reader > 1 || writer < 0 || writer > 1) {
    return std::nullopt;
  }
  return VirtualPortState{reader == 1, writer == 1};
}

std::optional<std::string> ReadSmallFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return std::nullopt;
  std::string text;
  char buffer[256];
  // The records are a line or two; anything far longer is not ours.
  while (text.size() < 4096) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  return text;
}

bool ReplaceSmallFile(const std::string& path, std::string_view text) {
  const std::string temporary = path + ".tmp";
  const int fd =
      open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  const ssize_t written = write(fd, text.data(), text.size());
  const bool ok = written == static_cast<ssize_t>(text.size());
  close(fd);
  if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace orv
