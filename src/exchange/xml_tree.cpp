#include "exchange/xml_tree.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "exchange/xml_escape.h"
#include "platform/large_buffer.h"

namespace orv {

namespace {

constexpr std::u16string_view kLineEnd = u"\r\n";
constexpr std::u16string_view kCdataOpen = u"<![CDATA[";
constexpr std::u16string_view kCdataClose = u"]]>";
// Offsets are signed 32-bit; a longer document cannot be indexed.
constexpr size_t kMaxDocumentLength = std::numeric_limits<int32_t>::max() - 1;

bool IsSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool IsQuote(char16_t c) {
  return c == u'"' || c == u'\'';
}

bool EndsToken(char16_t c) {
  switch (c) {
    case u' ':
    case u'\t':
    case u'\n':
    case u'\r':
    case u'<':
    case u'>':
    case u'=':
    case u'\\':
    case u'/':
    case u'?':
    case u'!':
      return true;
    default:
      return false;
  }
}

// A name we write must read back as one token and must not break the markup.
bool IsWritableName(std::u16string_view name) {
  if (name.empty()) return false;
  for (char16_t c : name) {
    if (EndsToken(c) || IsQuote(c) || c == u'&' || c == u'[' || c == u']') return false;
  }
  return true;
}

// The next "<" from `from`, or -1. Looked for four units at a time: the
// text between tags of a track is long coordinate lists.
int32_t FindTagOpen(const std::u16string& text, int32_t from) {
  if (from < 0) return -1;
  const char16_t* data = text.data();
  const size_t size = text.size();
  size_t i = static_cast<size_t>(from);
  constexpr uint64_t kOnes = 0x0001000100010001ull;
  constexpr uint64_t kHighs = 0x8000800080008000ull;
  constexpr uint64_t kPattern = kOnes * u'<';
  for (; i + 4 <= size; i += 4) {
    uint64_t word;
    std::memcpy(&word, data + i, sizeof word);
    const uint64_t x = word ^ kPattern;
    if (((x - kOnes) & ~x & kHighs) != 0) break;
  }
  for (; i < size; ++i) {
    if (data[i] == u'<') return static_cast<int32_t>(i);
  }
  return -1;
}

int32_t Find(const std::u16string& text, std::u16string_view what, int32_t from) {
  if (from < 0 || static_cast<size_t>(from) > text.size()) return -1;
  size_t found = text.find(what, static_cast<size_t>(from));
  return found == std::u16string::npos ? -1 : static_cast<int32_t>(found);
}

}  // namespace

XmlTree::XmlTree() {
  ResetIndex(8);
}

// ---------------------------------------------------------------------------
// Tokens

std::optional<XmlTree::Token> XmlTree::NextToken(int32_t& pos, int32_t limit) const {
  while (pos < limit && IsSpace(document_[pos])) ++pos;
  if (pos >= limit) return std::nullopt;
  Token token;
  token.raw_begin = pos;
  char16_t first = document_[pos];
  if (IsQuote(first)) {
    token.quoted = true;
    token.begin = pos + 1;
    int32_t close = token.begin;
    while (close < limit && document_[close] != first) ++close;
    token.end = close;
    // An unclosed quote runs to the limit, so the caller sees the text end.
    pos = close < limit ? close + 1 : limit;
    token.raw_end = pos;
    return token;
  }
  token.begin = pos;
  int32_t end = pos;
  while (end < limit && !EndsToken(document_[end])) ++end;
  if (end == pos) end = pos + 1;
  token.end = end;
  token.raw_end = end;
  pos = end;
  return token;
}

std::u16string_view XmlTree::TokenText(const Token& token) const {
  return std::u16string_view(document_).substr(token.begin, token.end - token.begin);
}

std::u16string_view XmlTree::NameOf(int element) const {
  if (element <= 0 || element >= RecordCount()) return {};
  int32_t pos = records_[element].start_tag_begin + 1;
  std::optional<Token> token = NextToken(pos, records_[element].start_tag_end);
  if (!token || token->quoted) return {};
  return TokenText(*token);
}

bool XmlTree::NameMatches(int element, std::u16string_view wanted) const {
  if (wanted.empty()) return true;
  if (element > 0 && element < RecordCount()) {
    // The usual tag, "<" and then the name's first character: compared in
    // place, as the token NameOf() would cut, without cutting it.
    const std::u16string_view text(document_);
    const auto pos = static_cast<size_t>(records_[element].start_tag_begin) + 1;
    const auto limit = static_cast<size_t>(records_[element].start_tag_end);
    if (pos < limit && !IsSpace(text[pos]) && !IsQuote(text[pos]) && !EndsToken(text[pos])) {
      size_t i = 0;
      while (i < wanted.size() && pos + i < limit && !EndsToken(text[pos + i]) &&
             text[pos + i] == wanted[i]) {
        ++i;
      }
      const bool nameEnds = pos + i >= limit || EndsToken(text[pos + i]);
      if (!nameEnds) return false;
      if (i == wanted.size()) return true;
      const char16_t after = wanted[i];
      return after == u' ' || after == u'=' || after == u'/' || after == u'[';
    }
  }
  std::u16string_view name = NameOf(element);
  if (name.empty() || !wanted.starts_with(name)) return false;
  if (wanted.size() == name.size()) return true;
  // A caller may pass the name with the character that follows it in markup.
  char16_t after = wanted[name.size()];
  return after == u' ' || after == u'=' || after == u'/' || after == u'[';
}

// ---------------------------------------------------------------------------
// Parsing

void XmlTree::ResetIndex(size_t capacity) {
  // Reserved, not filled: the records are written once, when taken.
  records_ = {};
  records_.reserve(capacity);
  AdviseLargeBuffer(records_.data(), capacity * sizeof(ElementRecord));
  records_.emplace_back();
  ResetCursor();
}

int XmlTree::TakeRecord(int parent) {
  if (records_.size() == records_.capacity()) {
    records_.reserve(records_.capacity() + records_.capacity() / 2);
  }
  const int index = static_cast<int>(records_.size());
  records_.emplace_back().parent = parent;
  return index;
}

bool XmlTree::Fail(std::u16string message) {
  error_text_ = std::move(message);
  ResetIndex(8);
  return false;
}

bool XmlTree::FailFor(std::u16string_view prefix, int element, std::u16string_view suffix) {
  std::u16string message(prefix);
  message += NameOf(element);
  message += suffix;
  return Fail(std::move(message));
}

bool XmlTree::ParseText(std::u16string text) {
  document_ = std::move(text);
  error_text_.clear();
  if (document_.size() > kMaxDocumentLength) return Fail(u"Document too large");
  // Every element takes one "<", so their count bounds the index: reserved
  // once, it never moves while a large document is read. Reserved pages
  // that are never written cost nothing.
  ResetIndex(static_cast<size_t>(std::count(document_.begin(), document_.end(), u'<')) + 1);

  int32_t pos = 0;
  int top = 0;
  std::u16string_view name;
  StartResult result = ParseStartTag(0, pos, top, name);
  if (result == StartResult::kError) return false;
  // A stray end tag before any element leaves nothing to read either.
  if (result == StartResult::kNoMoreChildren) return Fail(u"Element tag not found");
  records_[0].first_child = records_[0].last_child = top;
  if (records_[top].IsEmptyElement()) return true;

  // An explicit stack instead of recursion: nesting depth is set by the
  // input, and a deep file must not exhaust the thread's stack.
  // Each open element with its name, which its end tag must repeat.
  struct OpenElement {
    int element;
    std::u16string_view name;
  };
  std::vector<OpenElement> open{{top, name}};
  while (!open.empty()) {
    const int parent = open.back().element;
    int child = 0;
    result = ParseStartTag(parent, pos, child, name);
    if (result == StartResult::kError) return false;
    if (result == StartResult::kNoMoreChildren) {
      if (!ParseEndTag(parent, open.back().name, pos)) return false;
      open.pop_back();
      continue;
    }
    ElementRecord& parent_record = records_[parent];
    if (parent_record.last_child == 0) {
      parent_record.first_child = child;
    } else {
      records_[parent_record.last_child].next_sibling = child;
    }
    parent_record.last_child = child;
    if (!records_[child].IsEmptyElement()) open.push_back({child, name});
  }
  return true;
}

bool XmlTree::SkipMarkupNode(int32_t lt, int32_t& pos) {
  const int32_t length = static_cast<int32_t>(document_.size());
  int32_t end = -1;
  if (document_[lt + 1] == u'?') {
    end = Find(document_, u"?>", lt + 2);
    if (end >= 0) end += 2;
  } else if (lt + 2 < length && document_[lt + 2] == u'-') {
    end = Find(document_, u"-->", std::min(lt + 4, length));
    if (end >= 0) end += 3;
  } else if (lt + 2 < length && document_[lt + 2] == u'[') {
    end = Find(document_, kCdataClose, lt + 3);
    if (end >= 0) end += 3;
  } else {
    // A declaration: ">" inside brackets (an internal subset) or quotes does
    // not end it.
    int depth = 0;
    for (int32_t at = lt + 2; at < length; ++at) {
      char16_t c = document_[at];
      if (IsQuote(c)) {
        int32_t close = Find(document_, std::u16string_view(&c, 1), at + 1);
        if (close < 0) break;
        at = close;
      } else if (c == u'[') {
        ++depth;
      } else if (c == u']') {
        --depth;
      } else if (c == u'>' && depth <= 0) {
        end = at + 1;
        break;
      }
    }
  }
  if (end < 0) return Fail(u"Invalid node");
  pos = end;
  return true;
}

XmlTree::StartResult XmlTree::ParseStartTag(int parent, int32_t& pos, int& element,
                                            std::u16string_view& elementName) {
  const int32_t length = static_cast<int32_t>(document_.size());
  for (;;) {
    int32_t lt = FindTagOpen(document_, pos);
    if (lt < 0) {
      // Inside an element the missing end tag is the better message.
      if (parent != 0) return StartResult::kNoMoreChildren;
      Fail(u"Element tag not found");
      return StartResult::kError;
    }
    int32_t scan = lt + 1;
    std::optional<Token> name = NextToken(scan, length);
    if (!name) {
      Fail(u"Abrupt end within tag");
      return StartResult::kError;
    }
    if (name->quoted) {
      Fail(u"Tag starts with quote");
      return StartResult::kError;
    }
    char16_t marker = document_[lt + 1];
    if (marker == u'?' || marker == u'!') {
      if (!SkipMarkupNode(lt, pos)) return StartResult::kError;
      continue;
    }
    if (marker == u'/') {
      pos = lt;
      return StartResult::kNoMoreChildren;
    }
    // Find the ">" of the start tag; one inside a quoted value does not count.
    int32_t gt = name->raw_begin;
    while (gt < length && document_[gt] != u'>') {
      if (IsQuote(document_[gt])) {
        int32_t close = Find(document_, std::u16string_view(&document_[gt], 1), gt + 1);
        if (close < 0) {
          gt = length;
          break;
        }
        gt = close;
      }
      ++gt;
    }
    if (gt >= length) {
      Fail(u"End of tag not found");
      return StartResult::kError;
    }
    element = TakeRecord(parent);
    elementName = TokenText(*name);
    ElementRecord& record = records_[element];
    record.start_tag_begin = lt;
    record.start_tag_end = gt;
    if (document_[gt - 1] == u'/') {
      record.end_tag_begin = gt - 1;
      record.end_tag_end = gt;
    }
    pos = gt + 1;
    return StartResult::kElement;
  }
}

bool XmlTree::ParseEndTag(int element, std::u16string_view elementName, int32_t& pos) {
  const int32_t length = static_cast<int32_t>(document_.size());
  int32_t lt = FindTagOpen(document_, pos);
  if (lt < 0) return FailFor(u"End tag of ", element, u" element not found");
  int32_t scan = lt + 1;
  std::optional<Token> slash = NextToken(scan, length);
  if (!slash || slash->quoted || document_[slash->begin] != u'/') {
    return FailFor(u"Expecting end tag of element ", element, u"");
  }
  std::optional<Token> name = NextToken(scan, length);
  if (!name) return FailFor(u"End tag not completed for element ", element, u"");
  if (name->quoted || TokenText(*name) != elementName) {
    return FailFor(u"End tag does not correspond to ", element, u"");
  }
  for (;;) {
    std::optional<Token> token = NextToken(scan, length);
    if (!token) return FailFor(u"End tag not completed for element ", element, u"");
    if (!token->quoted && document_[token->begin] == u'>') {
      ElementRecord& record = records_[element];
      record.end_tag_begin = lt;
      record.end_tag_end = token->begin;
      pos = token->begin + 1;
      return true;
    }
  }
}

// ---------------------------------------------------------------------------
// Cursor

bool XmlTree::FindElement(std::u16string_view name) {
  int candidate = current_ != 0 ? records_[current_].next_sibling : records_[parent_].first_child;
  for (; candidate != 0; candidate = records_[candidate].next_sibling) {
    if (NameMatches(candidate, name)) {
      current_ = candidate;
      child_ = 0;
      return true;
    }
  }
  return false;
}

bool XmlTree::EnterElement() {
  if (current_ == 0) return false;
  parent_ = current_;
  current_ = child_;
  child_ = 0;
  return true;
}

bool XmlTree::LeaveElement() {
  if (parent_ == 0) return false;
  child_ = current_;
  current_ = parent_;
  parent_ = records_[parent_].parent;
  return true;
}

std::u16string XmlTree::ElementName() const {
  return std::u16string(NameOf(current_));
}

std::optional<std::u16string_view> XmlTree::TextContent(int element) const {
  if (element <= 0 || element >= RecordCount()) return std::nullopt;
  const ElementRecord& record = records_[element];
  if (record.first_child != 0 || record.IsEmptyElement()) return std::nullopt;
  const int32_t begin = record.start_tag_end + 1;
  const int32_t end = record.end_tag_begin;
  if (end <= begin) return std::nullopt;
  return std::u16string_view(document_).substr(begin, end - begin);
}

namespace {

// The text inside a CDATA section that opens the content, after blanks.
std::optional<std::u16string_view> CdataText(std::u16string_view content) {
  size_t lead = 0;
  while (lead < content.size() && IsSpace(content[lead])) ++lead;
  if (!content.substr(lead).starts_with(kCdataOpen)) return std::nullopt;
  const size_t open = lead + kCdataOpen.size();
  const size_t close = content.find(kCdataClose, open);
  if (close == std::u16string_view::npos) return std::nullopt;
  return content.substr(open, close - open);
}

}  // namespace

std::u16string XmlTree::ElementTextOf(int element) const {
  const std::optional<std::u16string_view> content = TextContent(element);
  if (!content) return {};
  if (const std::optional<std::u16string_view> cdata = CdataText(*content)) {
    return std::u16string(*cdata);
  }
  return DecodeXmlEntities(*content);
}

std::u16string_view XmlTree::ElementTextView(std::u16string& storage) const {
  const std::optional<std::u16string_view> content = TextContent(current_);
  if (!content) return {};
  if (const std::optional<std::u16string_view> cdata = CdataText(*content)) return *cdata;
  if (content->find(u'&') == std::u16string_view::npos) return *content;
  storage = DecodeXmlEntities(*content);
  return storage;
}

// ---------------------------------------------------------------------------
// Building

bool XmlTree::FitsInIndex(size_t added) const {
  return document_.size() + added <= kMaxDocumentLength;
}

void XmlTree::ShiftSubtree(int root, int32_t delta) {
  int node = root;
  for (;;) {
    ElementRecord& record = records_[node];
    record.start_tag_begin += delta;
    record.start_tag_end += delta;
    record.end_tag_begin += delta;
    record.end_tag_end += delta;
    if (record.first_child != 0) {
      node = record.first_child;
      continue;
    }
    while (node != root && records_[node].next_sibling == 0) node = records_[node].parent;
    if (node == root) return;
    node = records_[node].next_sibling;
  }
}

void XmlTree::ShiftSiblingsFrom(int first, int32_t delta) {
  for (int sibling = first; sibling != 0; sibling = records_[sibling].next_sibling) {
    ShiftSubtree(sibling, delta);
  }
}

// Text changed inside `parent`, before `first_following_sibling`: what lies
// behind is the following siblings, the end tags of the enclosing elements
// and everything that follows them. Only those records move, so appending at
// the end of a document costs its depth, not its size.
void XmlTree::ShiftFollowing(int parent, int first_following_sibling, int32_t delta) {
  ShiftSiblingsFrom(first_following_sibling, delta);
  for (int ancestor = parent; ancestor != 0; ancestor = records_[ancestor].parent) {
    records_[ancestor].end_tag_begin += delta;
    records_[ancestor].end_tag_end += delta;
    ShiftSiblingsFrom(records_[ancestor].next_sibling, delta);
  }
}

bool XmlTree::AppendTopLevel(const std::u16string& element_text, const ElementRecord& relative) {
  // A document has one top-level element; a second one would never be read.
  if (records_[0].first_child != 0) return false;
  if (!FitsInIndex(element_text.size())) return false;
  const int32_t pos = static_cast<int32_t>(document_.size());
  document_ += element_text;
  const int element = TakeRecord(0);
  ElementRecord& record = records_[element];
  record.start_tag_begin = pos;
  record.start_tag_end = pos + relative.start_tag_end;
  record.end_tag_begin = pos + relative.end_tag_begin;
  record.end_tag_end = pos + relative.end_tag_end;
  records_[0].first_child = records_[0].last_child = element;
  current_ = element;
  child_ = 0;
  return true;
}

bool XmlTree::AppendElement(std::u16string_view name, std::optional<std::u16string_view> text) {
  if (!IsWritableName(name)) return false;

  std::u16string element_text;
  element_text.reserve(name.size() * 2 + 8 + (text ? text->size() : 0));
  element_text += u'<';
  element_text += name;
  if (text) {
    element_text += u'>';
    element_text += EscapeXmlText(*text);
    element_text += u"</";
    element_text += name;
    element_text += u'>';
  } else {
    element_text += u"/>";
  }
  // The new element's tags, relative to the start of its text.
  ElementRecord relative;
  relative.start_tag_end = static_cast<int32_t>(name.size()) + (text ? 1 : 2);
  relative.end_tag_end = static_cast<int32_t>(element_text.size()) - 1;
  relative.end_tag_begin = text ? relative.end_tag_end - 2 - static_cast<int32_t>(name.size())
                                : relative.start_tag_end - 1;
  element_text += kLineEnd;

  if (parent_ == 0) return AppendTopLevel(element_text, relative);

  const int parent = parent_;
  ElementRecord parent_record = records_[parent];
  const int after = current_ != 0 ? current_ : parent_record.last_child;
  int32_t pos = 0;
  int32_t inserted = 0;

  if (parent_record.IsEmptyElement()) {
    // "<p/>" becomes "<p>", line end, the new element, "</p>".
    std::u16string_view parent_name = NameOf(parent);
    std::u16string replacement;
    replacement.reserve(element_text.size() + parent_name.size() + 6);
    replacement += u'>';
    replacement += kLineEnd;
    replacement += element_text;
    replacement += u"</";
    replacement += parent_name;
    replacement += u'>';
    if (!FitsInIndex(replacement.size())) return false;
    const int32_t slash = parent_record.end_tag_begin;
    document_.replace(slash, 2, replacement);
    inserted = static_cast<int32_t>(replacement.size()) - 2;
    pos = slash + 1 + static_cast<int32_t>(kLineEnd.size());
    ElementRecord& rewritten = records_[parent];
    rewritten.start_tag_end = slash;
    rewritten.end_tag_begin = pos + static_cast<int32_t>(element_text.size());
    rewritten.end_tag_end = slash + static_cast<int32_t>(replacement.size()) - 1;
    ShiftFollowing(rewritten.parent, rewritten.next_sibling, inserted);
  } else {
    if (!FitsInIndex(element_text.size())) return false;
    if (after != 0) {
      pos = records_[after].end_tag_end + 1;
      // Keep the sibling's line end with the sibling.
      if (std::u16string_view(document_).substr(pos).starts_with(kLineEnd)) {
        pos += static_cast<int32_t>(kLineEnd.size());
      } else if (pos < parent_record.end_tag_begin && document_[pos] == u'\n') {
        ++pos;
      }
    } else {
      pos = parent_record.end_tag_begin;
    }
    document_.insert(static_cast<size_t>(pos), element_text);
    inserted = static_cast<int32_t>(element_text.size());
  }

  const int element = TakeRecord(parent);
  ElementRecord& record = records_[element];
  record.start_tag_begin = pos;
  record.start_tag_end = pos + relative.start_tag_end;
  record.end_tag_begin = pos + relative.end_tag_begin;
  record.end_tag_end = pos + relative.end_tag_end;
  ElementRecord& linked_parent = records_[parent];
  if (after != 0) {
    record.next_sibling = records_[after].next_sibling;
    records_[after].next_sibling = element;
    if (linked_parent.last_child == after) linked_parent.last_child = element;
  } else {
    linked_parent.first_child = linked_parent.last_child = element;
  }
  if (!parent_record.IsEmptyElement()) ShiftFollowing(parent, record.next_sibling, inserted);

  current_ = element;
  child_ = 0;
  return true;
}

bool XmlTree::SetAttribute(int element, std::u16string_view name, std::u16string_view value) {
  if (element <= 0 || element >= RecordCount() || !IsWritableName(name)) return false;
  const ElementRecord& record = records_[element];
  std::u16string quoted_value = u"\"" + EscapeXmlAttribute(value) + u"\"";

  int32_t edit_begin = 0;
  int32_t edit_length = 0;
  std::u16string replacement;

  // Look for name = value among the start tag's tokens.
  const int32_t limit = record.start_tag_end;
  int32_t scan = record.start_tag_begin + 1;
  NextToken(scan, limit);  // the tag name
  bool found = false;
  while (std::optional<Token> token = NextToken(scan, limit)) {
    if (token->quoted || TokenText(*token) != name) continue;
    int32_t probe = scan;
    std::optional<Token> equals = NextToken(probe, limit);
    if (!equals || equals->quoted || document_[equals->begin] != u'=') continue;
    std::optional<Token> old_value = NextToken(probe, limit);
    if (!old_value || (!old_value->quoted && EndsToken(document_[old_value->begin]))) continue;
    edit_begin = old_value->raw_begin;
    edit_length = old_value->raw_end - old_value->raw_begin;
    replacement = std::move(quoted_value);
    found = true;
    break;
  }
  if (!found) {
    edit_begin = record.IsEmptyElement() ? record.end_tag_begin : record.start_tag_end;
    replacement = u" ";
    replacement += name;
    replacement += u'=';
    replacement += quoted_value;
  }
  const int32_t delta = static_cast<int32_t>(replacement.size()) - edit_length;
  if (delta > 0 && !FitsInIndex(static_cast<size_t>(delta))) return false;
  document_.replace(static_cast<size_t>(edit_begin), static_cast<size_t>(edit_length), replacement);

  // Everything from the start tag's ">" on moves: this element's tag ends,
  // its children and whatever follows it.
  ElementRecord& changed = records_[element];
  changed.start_tag_end += delta;
  changed.end_tag_begin += delta;
  changed.end_tag_end += delta;
  ShiftSiblingsFrom(changed.first_child, delta);
  ShiftFollowing(changed.parent, changed.next_sibling, delta);
  return true;
}

}  // namespace orv
