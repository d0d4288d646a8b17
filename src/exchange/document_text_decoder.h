#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "exchange/text_encoding.h"

namespace orv {

// Decodes a document file while it is being read, a block at a time, into
// the text DecodeDocumentBytes gives for all of its bytes at once. The file
// never has to be held whole next to its text, and each block is decoded
// while it is still in the cache.
class DocumentTextDecoder {
 public:
  // `expectedBytes` sizes the text once; more bytes than that still fit.
  explicit DocumentTextDecoder(size_t expectedBytes);

  // May throw std::bad_alloc; the decoder is then of no further use.
  void Feed(std::string_view bytes);
  DecodedDocument Finish();

 private:
  enum class Form { kUndecided, kUtf8, kUtf16 };

  // Reads a byte-order mark off the held start of the file.
  void DecideForm();
  void Decode(std::string_view bytes, bool final);
  void DecodeUtf16(std::string_view bytes);
  // Room for `units` more units past the text's current end.
  char16_t* Room(size_t units);

  Form form_ = Form::kUndecided;
  DecodedDocument document_;
  size_t written_ = 0;
  // Bytes held back: the start of the file until its form shows, an
  // unfinished UTF-8 sequence or the odd byte of a UTF-16 unit.
  std::string held_;
  uint64_t totalBytes_ = 0;
  // UTF-8 bytes decoded, after any byte-order mark: the binary test counts them.
  uint64_t utf8Consumed_ = 0;
  bool stopped_ = false;
};

}  // namespace orv
