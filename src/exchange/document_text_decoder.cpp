#include "exchange/document_text_decoder.h"

#include <algorithm>

#include "platform/large_buffer.h"

namespace orv {
namespace {

constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

DocumentTextDecoder::DocumentTextDecoder(size_t expectedBytes) {
  // UTF-8 gives at most one unit per byte.
  document_.text.reserve(expectedBytes);
  AdviseLargeBuffer(document_.text.data(), expectedBytes * sizeof(char16_t));
}

char16_t* DocumentTextDecoder::Room(size_t units) {
  std::u16string& text = document_.text;
  if (text.capacity() - written_ < units) {
    text.reserve(std::max(written_ + units, text.capacity() + text.capacity() / 2));
  }
  // Grown just ahead of the writes: the zeroing that resize() does then
  // falls on memory that is about to be written anyway.
  text.resize(written_ + units);
  return text.data() + written_;
}

void DocumentTextDecoder::Feed(std::string_view bytes) {
  totalBytes_ += bytes.size();
  if (stopped_ || bytes.empty()) return;
  if (form_ == Form::kUndecided) {
    const size_t take = std::min(bytes.size(), kUtf8Mark.size() - held_.size());
    held_.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    if (held_.size() < kUtf8Mark.size()) return;
    DecideForm();
  }
  if (!held_.empty() && !bytes.empty()) {
    // The held bytes are finished with the first few of the block; what is
    // held after that is a tail of those few, or the whole block when it
    // was too short to finish them.
    const size_t joined = std::min<size_t>(bytes.size(), 4);
    std::string start = held_;
    start.append(bytes.substr(0, joined));
    held_.clear();
    Decode(start, false);
    if (stopped_ || held_.size() > joined) return;
    bytes.remove_prefix(joined - held_.size());
    held_.clear();
  }
  if (!bytes.empty()) Decode(bytes, false);
}

void DocumentTextDecoder::DecideForm() {
  const std::string_view start = held_;
  if (start.starts_with(kUtf16Mark)) {
    form_ = Form::kUtf16;
    held_.erase(0, kUtf16Mark.size());
  } else {
    form_ = Form::kUtf8;
    if (start.starts_with(kUtf8Mark)) held_.erase(0, kUtf8Mark.size());
  }
}

void DocumentTextDecoder::Decode(std::string_view bytes, bool final) {
  if (form_ == Form::kUtf16) {
    DecodeUtf16(bytes);
    return;
  }
  const Utf8Run run = DecodeUtf8Into(bytes, final, Room(bytes.size()));
  written_ += run.written;
  utf8Consumed_ += run.consumed;
  document_.text.resize(written_);
  if (run.zero) {
    stopped_ = true;
  } else if (run.consumed < bytes.size()) {
    held_.assign(bytes.substr(run.consumed));
  }
}

void DocumentTextDecoder::DecodeUtf16(std::string_view bytes) {
  char16_t* out = Room(bytes.size() / 2);
  size_t units = 0;
  size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    const auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8));
    if (unit == 0) {
      stopped_ = true;
      break;
    }
    out[units++] = unit;
  }
  written_ += units;
  document_.text.resize(written_);
  if (!stopped_ && i < bytes.size()) held_.assign(bytes.substr(i));
}

DecodedDocument DocumentTextDecoder::Finish() {
  if (form_ == Form::kUndecided) DecideForm();
  // A lone byte left of a UTF-16 unit is dropped, as it always was.
  if (!stopped_ && !held_.empty() && form_ == Form::kUtf8) {
    const std::string rest = std::move(held_);
    held_.clear();
    Decode(rest, true);
  }
  const auto threshold = static_cast<int64_t>(totalBytes_ / 2) - 20;
  const uint64_t decoded = form_ == Form::kUtf16 ? written_ : utf8Consumed_;
  document_.binary = static_cast<int64_t>(decoded) < threshold;
  return std::move(document_);
}

}  // namespace orv
