#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "nmea/line_limits.h"

namespace orv {

// Cuts the byte stream of a receiver into sentences, one byte at a time, as
// a serial port delivers them. A line begins at "$" and is complete when the
// next "$" arrives, so bytes before the first "$" are skipped and each line
// is handed on only once the following one begins; its CR LF, or whatever
// else came before that "$", stays part of it for the framing test to judge.
// A line that grows past kMaxReadLineLength characters before the next "$"
// is dropped entirely, and bytes are skipped up to the next "$".
//
// A port read that returns no byte feeds nothing, so it cannot disturb a line.
class SentenceCutter {
 public:
  static constexpr size_t kMaxLineLength = kMaxReadLineLength;
  // The line and the NUL after it.
  static constexpr size_t kBufferBytes = kMaxLineLength + 1;

  // Takes one byte; returns the line this byte completed. The view stays
  // valid until the next call.
  std::optional<std::string_view> Feed(char byte);

  // Feeds a block of bytes; calls onLine(std::string_view) for each line
  // completed. Feeding a stream in blocks of any size gives the same lines.
  template <typename OnLine>
  void Feed(std::string_view bytes, OnLine&& onLine) {
    for (char byte : bytes) {
      if (const std::optional<std::string_view> line = Feed(byte)) onLine(*line);
    }
  }

 private:
  std::array<char, kBufferBytes> buffer_{};
  // Characters of the line being gathered; 0 while skipping up to a "$".
  size_t length_ = 0;
  // The "$" that completed the last line begins the next one; it is put in
  // the buffer on the following call so that the returned line stays intact.
  bool nextLineStarted_ = false;
};

}  // namespace orv
