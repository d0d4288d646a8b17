#pragma once

#include <string>
#include <string_view>

namespace orv {

// UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD so that the output
// is always valid UTF-8.
std::string Utf16ToUtf8(std::u16string_view text);

// UTF-8 to UTF-16. A byte that does not start a valid sequence is taken as
// a Latin-1 character: KML files from older programs are often written in a
// single-byte code page, and their letters should survive rather than vanish.
// Decoding stops at the first zero byte, as a C string conversion would;
// `consumed` (when given) receives the number of bytes before it.
std::u16string Utf8ToUtf16(std::string_view bytes, size_t* consumed = nullptr);

struct Utf8Run {
  size_t consumed = 0;  // bytes decoded
  size_t written = 0;   // UTF-16 units written
  bool zero = false;    // stopped at a zero byte
};

// The decoding step of Utf8ToUtf16 for text that arrives in pieces: writes
// into `out`, which has room for bytes.size() units. Unless `final`, a
// sequence cut off by the end of `bytes` is left unconsumed (at most three
// bytes), to be decoded with the bytes that follow it.
Utf8Run DecodeUtf8Into(std::string_view bytes, bool final, char16_t* out);

struct DecodedDocument {
  std::u16string text;
  // The conversion stopped at a zero well before the end: the file holds
  // binary data rather than text.
  bool binary = false;
};

// The text of a document file: content that begins with FF FE is UTF-16
// little-endian after those two bytes, anything else UTF-8 as above, without
// a leading UTF-8 byte-order mark. Both stop at the first zero; the content
// counts as binary when fewer than (byte count / 2) - 20 characters (UTF-16)
// or bytes (UTF-8) came before it. Counting UTF-8 in bytes keeps a text of
// three-byte characters from looking truncated.
DecodedDocument DecodeDocumentBytes(std::string_view bytes);

}  // namespace orv
