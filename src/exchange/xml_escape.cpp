#include "exchange/xml_escape.h"

#include <array>

namespace orv {

namespace {

struct Entity {
  char16_t character;
  std::u16string_view name;  // with "&" and ";"
};

constexpr std::array<Entity, 5> kEntities{{
    {u'<', u"&lt;"},
    {u'>', u"&gt;"},
    {u'&', u"&amp;"},
    {u'\'', u"&apos;"},
    {u'"', u"&quot;"},
}};

std::u16string Escape(std::u16string_view text, bool attribute) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    bool replaced = false;
    for (const Entity& entity : kEntities) {
      if (entity.character != c) continue;
      if (!attribute && (c == u'\'' || c == u'"')) break;
      out += entity.name;
      replaced = true;
      break;
    }
    if (!replaced) out += c;
  }
  return out;
}

}  // namespace

std::u16string EscapeXmlText(std::u16string_view text) {
  return Escape(text, false);
}

std::u16string EscapeXmlAttribute(std::u16string_view value) {
  return Escape(value, true);
}

std::u16string DecodeXmlEntities(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] == u'&') {
      std::u16string_view rest = text.substr(pos);
      bool decoded = false;
      for (const Entity& entity : kEntities) {
        if (rest.starts_with(entity.name)) {
          out += entity.character;
          pos += entity.name.size();
          decoded = true;
          break;
        }
      }
      if (decoded) continue;
    }
    out += text[pos++];
  }
  return out;
}

}  // namespace orv
