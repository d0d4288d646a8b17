#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "exchange/xml_tree.h"

namespace orv::testing {

// UTF-16 to UTF-8, enough to print names and texts in failure messages.
inline std::string Narrow(std::u16string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

inline std::string OutlineLevel(XmlTree& tree);

// name=text(children,...) of the current element.
inline std::string DescribeCurrent(XmlTree& tree) {
  std::string out = Narrow(tree.ElementName());
  std::u16string text = tree.ElementText();
  if (!text.empty()) out += "=" + Narrow(text);
  if (tree.Record(tree.CurrentElement()).first_child != 0) {
    tree.EnterElement();
    out += "(" + OutlineLevel(tree) + ")";
    tree.LeaveElement();
  }
  return out;
}

// The rest of the current level, from the cursor on.
inline std::string OutlineLevel(XmlTree& tree) {
  std::string out;
  while (tree.FindElement()) {
    if (!out.empty()) out += ',';
    out += DescribeCurrent(tree);
  }
  return out;
}

// The whole tree as the cursor sees it. Works on a copy so the caller's
// cursor stays where it is.
inline std::string Outline(XmlTree tree) {
  tree.ResetCursor();
  return OutlineLevel(tree);
}

using TagOffsets = std::array<int32_t, 4>;

// Tag offsets of every element in document order, walking the index links.
inline std::vector<TagOffsets> OffsetsInDocumentOrder(const XmlTree& tree) {
  std::vector<TagOffsets> out;
  int node = tree.Record(0).first_child;
  while (node != 0) {
    const ElementRecord& record = tree.Record(node);
    out.push_back(
        {record.start_tag_begin, record.start_tag_end, record.end_tag_begin, record.end_tag_end});
    if (record.first_child != 0) {
      node = record.first_child;
      continue;
    }
    while (node != 0 && tree.Record(node).next_sibling == 0) node = tree.Record(node).parent;
    if (node != 0) node = tree.Record(node).next_sibling;
  }
  return out;
}

// The index a tree keeps while it is built must be the one a fresh parse of
// its text yields.
inline ::testing::AssertionResult IndexMatchesReparse(const XmlTree& built) {
  XmlTree reparsed;
  if (!reparsed.ParseText(built.DocumentText())) {
    return ::testing::AssertionFailure()
           << "text does not parse: " << Narrow(reparsed.ErrorText()) << "\n"
           << Narrow(built.DocumentText());
  }
  std::vector<TagOffsets> expected = OffsetsInDocumentOrder(reparsed);
  std::vector<TagOffsets> actual = OffsetsInDocumentOrder(built);
  if (expected != actual) {
    return ::testing::AssertionFailure() << "index differs from a parse of\n"
                                         << Narrow(built.DocumentText());
  }
  return ::testing::AssertionSuccess();
}

}  // namespace orv::testing
