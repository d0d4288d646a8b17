#include "comm/sentence_cutter.h"

namespace orv {

std::optional<std::string_view> SentenceCutter::Feed(char byte) {
  if (nextLineStarted_) {
    buffer_[0] = '$';
    length_ = 1;
    nextLineStarted_ = false;
  }
  if (byte == '$') {
    if (length_ == 0) {
      buffer_[0] = '$';
      length_ = 1;
      return std::nullopt;
    }
    const size_t completed = length_;
    buffer_[completed] = '\0';
    length_ = 0;
    nextLineStarted_ = true;
    return std::string_view(buffer_.data(), completed);
  }
  if (length_ == 0) return std::nullopt;
  if (length_ == kMaxLineLength) {
    // Longer than any sentence: noise, or a line that lost its end and ran
    // into the next. Neither is worth handing on.
    length_ = 0;
    return std::nullopt;
  }
  buffer_[length_++] = byte;
  return std::nullopt;
}

}  // namespace orv
