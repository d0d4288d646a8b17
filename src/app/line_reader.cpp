#include "app/line_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace orv {

LineReader::LineReader(int fd, size_t block_bytes, size_t max_line_bytes)
    : fd_(fd),
      block_(std::max<size_t>(block_bytes, 1)),
      max_line_bytes_(max_line_bytes),
      line_(max_line_bytes + 2) {}

bool LineReader::Fill() {
  begin_ = end_ = 0;
  while (!at_end_) {
    const ssize_t got = ::read(fd_, block_.data(), block_.size());
    if (got > 0) {
      end_ = static_cast<size_t>(got);
      return true;
    }
    if (got < 0 && errno == EINTR) continue;
    read_failed_ = got < 0;
    at_end_ = true;
  }
  return false;
}

void LineReader::Keep(const char* bytes, size_t count) {
  line_open_ = true;
  if (count == 0) return;
  last_byte_cr_ = bytes[count - 1] == '\r';
  const size_t room = max_line_bytes_ + 1 - line_size_;
  const size_t taken = std::min(count, room);  // the rest of an overlong line is dropped
  std::memcpy(line_.data() + line_size_, bytes, taken);
  line_size_ += taken;
}

std::string_view LineReader::FinishKeptLine(bool ended_by_lf) {
  size_t text = line_size_;
  size_t total = 0;
  if (ended_by_lf) {
    // Only a CR that directly precedes the LF belongs to the line end. (On an overlong line
    // the kept part is one byte over the cap, so removing it changes nothing.)
    if (last_byte_cr_ && text > 0) --text;
    text = std::min(text, max_line_bytes_);
    line_[text] = '\r';
    line_[text + 1] = '\n';
    total = text + 2;
  } else {
    total = std::min(text, max_line_bytes_);
  }
  line_size_ = 0;
  line_open_ = false;
  last_byte_cr_ = false;
  return {line_.data(), total};
}

bool LineReader::Next(std::string_view& line) {
  for (;;) {
    if (begin_ == end_ && !Fill()) {
      if (!line_open_) return false;
      line = FinishKeptLine(false);
      return true;
    }
    const char* start = block_.data() + begin_;
    const size_t available = end_ - begin_;
    const auto* lf = static_cast<const char*>(std::memchr(start, '\n', available));
    if (lf == nullptr) {
      Keep(start, available);
      begin_ = end_;
      continue;
    }
    const size_t length = static_cast<size_t>(lf - start);  // without the LF
    begin_ += length + 1;
    // The common case, a CR LF line wholly inside the block, is handed on in place.
    if (!line_open_ && length > 0 && start[length - 1] == '\r' && length - 1 <= max_line_bytes_) {
      line = std::string_view(start, length + 1);
      return true;
    }
    Keep(start, length);
    line = FinishKeptLine(true);
    return true;
  }
}

}  // namespace orv
