#include "exchange/xml_escape.h"

#include <array>

namespace orv {

namespace {

// Decoding table; escaping in Escape() below writes the same names.
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
    switch (c) {
      case u'<':
        out += u"&lt;";
        break;
      case u'>':
        out += u"&gt;";
        break;
      case u'&':
        out += u"&amp;";
        break;
      case u'\'':
        if (attribute) {
          out += u"&apos;";
        } else {
          out += c;
        }
        break;
      case u'"':
        if (attribute) {
          out += u"&quot;";
        } else {
          out += c;
        }
        break;
      default:
        out += c;
    }
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
  // Copied a run at a time: a coordinate list is kilobytes without a single
  // entity in it.
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t amp = text.find(u'&', pos);
    if (amp == std::u16string_view::npos) {
      out.append(text.substr(pos));
      break;
    }
    out.append(text.substr(pos, amp - pos));
    pos = amp;
    const std::u16string_view rest = text.substr(pos);
    const Entity* match = nullptr;
    for (const Entity& entity : kEntities) {
      if (rest.starts_with(entity.name)) {
        match = &entity;
        break;
      }
    }
    if (match != nullptr) {
      out += match->character;
      pos += match->name.size();
    } else {
      out += text[pos++];
    }
  }
  return out;
}

}  // namespace orv
