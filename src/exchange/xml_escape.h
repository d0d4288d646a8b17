#pragma once

#include <string>
#include <string_view>

namespace orv {

// Text content: "<", "&" and ">" become entities.
std::u16string EscapeXmlText(std::u16string_view text);
// Attribute values: also the apostrophe and the double quote.
std::u16string EscapeXmlAttribute(std::u16string_view value);
// Decodes exactly &lt; &gt; &amp; &apos; &quot;; any other "&" stays as it is.
std::u16string DecodeXmlEntities(std::u16string_view text);

}  // namespace orv
