#include "exchange/text_encoding.h"

#include <cstdint>
#include <cstring>

#include "exchange/document_text_decoder.h"
#include "platform/large_buffer.h"

namespace orv {
namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit < 0x80) {
      out.push_back(static_cast<char>(unit));
      continue;
    }
    char32_t c = unit;
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      c = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (unit >= 0xD800 && unit < 0xE000) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

Utf8Run DecodeUtf8Into(std::string_view bytes, bool final, char16_t* out) {
  Utf8Run run;
  char16_t* next = out;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t size = bytes.size();
  size_t i = 0;
  while (i < size) {
    // Eight bytes at a time while they are plain ASCII without a zero: most
    // of a document is markup and digits.
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    while (i + 8 <= size) {
      uint64_t word;
      std::memcpy(&word, data + i, sizeof word);
      if (((word & kHighs) | ((word - kOnes) & ~word & kHighs)) != 0) break;
      for (int k = 0; k < 8; ++k) next[k] = data[i + static_cast<size_t>(k)];
      next += 8;
      i += 8;
    }
    if (i >= size) break;
    const unsigned char lead = data[i];
    if (lead == 0) {
      run.zero = true;
      break;
    }
    if (lead < 0x80) {
      *next++ = lead;
      ++i;
      continue;
    }
    int length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
      length = 2, c = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, c = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, c = lead & 0x07, minimum = 0x10000;
    }
    if (!final && length > 0 && i + static_cast<size_t>(length) > size) break;
    bool valid = length > 0 && i + static_cast<size_t>(length) <= size;
    for (int k = 1; valid && k < length; ++k) {
      if (!IsContinuation(data[i + static_cast<size_t>(k)])) {
        valid = false;
      } else {
        c = (c << 6) | (data[i + static_cast<size_t>(k)] & 0x3F);
      }
    }
    if (valid && (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))) valid = false;
    if (!valid) {
      *next++ = lead;  // Latin-1
      ++i;
    } else if (c < 0x10000) {
      *next++ = static_cast<char16_t>(c);
      i += static_cast<size_t>(length);
    } else {
      // Four bytes in, two units out: always room.
      c -= 0x10000;
      *next++ = static_cast<char16_t>(0xD800 + (c >> 10));
      *next++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
      i += static_cast<size_t>(length);
    }
  }
  run.consumed = i;
  run.written = static_cast<size_t>(next - out);
  return run;
}

std::u16string Utf8ToUtf16(std::string_view bytes, size_t* consumed) {
  // Written through a pointer into a buffer of the largest size it can
  // take: a document is megabytes of mostly ASCII, and a push_back per
  // character costs more than the rest of the decoding.
  std::u16string out;
  out.reserve(bytes.size());
  AdviseLargeBuffer(out.data(), bytes.size() * sizeof(char16_t));
  out.resize(bytes.size());
  const Utf8Run run = DecodeUtf8Into(bytes, true, out.data());
  out.resize(run.written);
  if (consumed != nullptr) *consumed = run.consumed;
  return out;
}

DecodedDocument DecodeDocumentBytes(std::string_view bytes) {
  DocumentTextDecoder decoder(bytes.size());
  decoder.Feed(bytes);
  return decoder.Finish();
}

}  // namespace orv
