#include "exchange/document_text_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "exchange/text_encoding.h"

namespace orv {
namespace {

struct DecodeCase {
  const char* legend;
  std::string bytes;
  std::u16string text;
  bool binary;
};

std::string Repeat(std::string_view piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

const DecodeCase kCases[] = {
    {"ascii", "<kml>abc</kml>", u"<kml>abc</kml>", false},
    {"two-, three- and four-byte characters",
     "a\xC3\xA9"
     "b\xE6\x97\xA5"
     "c\xF0\x9F\x98\x80"
     "d",
     u"a\u00E9b\u65E5c\U0001F600d", false},
    {"UTF-8 mark dropped", "\xEF\xBB\xBF<a>\xC3\xA9</a>", u"<a>\u00E9</a>", false},
    {"UTF-16 after its mark", std::string("\xFF\xFE<\0a\0>\0\xE9\0", 10), u"<a>\u00E9", false},
    {"UTF-16 odd last byte dropped",
     std::string("\xFF\xFE"
                 "a\0b\0c",
                 7),
     u"ab", false},
    {"invalid bytes read as Latin-1", "x\xE9y\xC3(\xF0\x9F", u"x\u00E9y\u00C3(\u00F0\u009F", false},
    {"cut-off sequence at the end", "ab\xE6\x97", u"ab\u00E6\u0097", false},
    {"overlong and surrogate forms", "\xC0\xAF\xED\xA0\x80", u"\u00C0\u00AF\u00ED\u00A0\u0080",
     false},
    {"stops at a zero", "abc" + std::string(1, '\0') + "def", u"abc", false},
    {"binary: zero near the start", "<k>" + std::string(60, '\0') + "</k>", u"<k>", true},
    {"binary UTF-16", std::string("\xFF\xFE<\0", 4) + std::string(60, '\0'), u"<", true},
    {"shorter than a mark", "a", u"a", false},
    {"only a UTF-16 mark", "\xFF\xFE", u"", false},
    {"empty", "", u"", false},
    {"many three-byte characters", Repeat("\xE6\x97\xA5", 40), std::u16string(40, u'\u65E5'),
     false},
};

// Whatever the blocks the file arrives in, the text is that of all of its
// bytes at once, and both match what the characters are.
TEST(DocumentTextDecoder, AnyBlockSizeGivesTheWholeFileText) {
  for (const DecodeCase& c : kCases) {
    const DecodedDocument whole = DecodeDocumentBytes(c.bytes);
    EXPECT_EQ(whole.text, c.text) << c.legend;
    EXPECT_EQ(whole.binary, c.binary) << c.legend;
    for (size_t block = 1; block <= 7; ++block) {
      DocumentTextDecoder decoder(block == 3 ? 0 : c.bytes.size());
      for (size_t at = 0; at < c.bytes.size(); at += block) {
        decoder.Feed(std::string_view(c.bytes).substr(at, block));
      }
      const DecodedDocument pieces = decoder.Finish();
      EXPECT_EQ(pieces.text, c.text) << c.legend << ", blocks of " << block;
      EXPECT_EQ(pieces.binary, c.binary) << c.legend << ", blocks of " << block;
    }
  }
}

}  // namespace
}  // namespace orv
