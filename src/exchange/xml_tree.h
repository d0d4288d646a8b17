#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// Where one element lies in the document text. Offsets count UTF-16 code
// units. An empty element (closed by "/>") has end_tag_begin ==
// start_tag_end - 1 and end_tag_end == start_tag_end.
struct ElementRecord {
  int32_t start_tag_begin = 0;  // the "<" of the start tag
  int32_t start_tag_end = 0;    // the ">" of the start tag
  int32_t end_tag_begin = 0;    // the "<" of the end tag
  int32_t end_tag_end = 0;      // the ">" of the end tag
  int32_t reserved = 0;
  int32_t parent = 0;
  int32_t first_child = 0;   // 0 = none
  int32_t next_sibling = 0;  // 0 = none
  // Kept so that appending to a parent without a current element does not
  // walk all its children: that walk made building a long list quadratic.
  int32_t last_child = 0;

  bool IsEmptyElement() const { return start_tag_end == end_tag_begin + 1; }
};

// A small XML engine: the whole document is one UTF-16 text plus an index of
// where its elements lie. A cursor moves over the elements of one level.
// No namespaces, validation, DTDs or numeric character references;
// processing instructions, comments, CDATA sections and declarations are
// skipped while parsing.
class XmlTree {
 public:
  XmlTree();

  // Reading.
  bool ParseText(std::u16string text);
  bool FindElement(std::u16string_view name = {});
  bool EnterElement();
  bool LeaveElement();
  std::u16string ElementText() const { return ElementTextOf(current_); }
  // The same for an element passed earlier, by its CurrentElement().
  std::u16string ElementTextOf(int element) const;
  // The current element's text without a copy where it holds no entity and
  // no CDATA section (a coordinate list), else decoded into `storage`.
  std::u16string_view ElementTextView(std::u16string& storage) const;
  // Tag name of the current element, empty when there is none.
  std::u16string ElementName() const;
  const std::u16string& ErrorText() const { return error_text_; }
  // Back to before the top-level element, as after parsing. The cursor
  // itself only moves forward within a level.
  void ResetCursor() { parent_ = current_ = child_ = 0; }

  // Building.
  bool AppendElement(std::u16string_view name,
                     std::optional<std::u16string_view> text = std::nullopt);
  bool SetAttribute(int element, std::u16string_view name, std::u16string_view value);
  const std::u16string& DocumentText() const { return document_; }

  // The cursor and the index, for callers that pass the current element on
  // (SetAttribute) and for checking the index.
  int CurrentElement() const { return current_; }
  int ParentElement() const { return parent_; }
  int RecordCount() const { return static_cast<int>(records_.size()); }
  const ElementRecord& Record(int index) const { return records_.at(index); }

 private:
  struct Token {
    int32_t begin = 0;      // first character of the value (inside any quotes)
    int32_t end = 0;        // one past the value
    int32_t raw_begin = 0;  // including the opening quote
    int32_t raw_end = 0;    // past the closing quote
    bool quoted = false;
  };
  enum class StartResult { kElement, kNoMoreChildren, kError };

  std::optional<Token> NextToken(int32_t& pos, int32_t limit) const;
  std::u16string_view TokenText(const Token& token) const;
  std::u16string_view NameOf(int element) const;
  bool NameMatches(int element, std::u16string_view wanted) const;

  void ResetIndex(size_t capacity);
  int TakeRecord(int parent);
  StartResult ParseStartTag(int parent, int32_t& pos, int& element,
                            std::u16string_view& elementName);
  // The text between the start and end tag of an element that has no child
  // elements; nothing otherwise.
  std::optional<std::u16string_view> TextContent(int element) const;
  bool ParseEndTag(int element, std::u16string_view elementName, int32_t& pos);
  bool SkipMarkupNode(int32_t lt, int32_t& pos);
  bool Fail(std::u16string message);
  bool FailFor(std::u16string_view prefix, int element, std::u16string_view suffix);

  bool FitsInIndex(size_t added) const;
  void ShiftSubtree(int root, int32_t delta);
  void ShiftSiblingsFrom(int first, int32_t delta);
  void ShiftFollowing(int parent, int first_following_sibling, int32_t delta);
  bool AppendTopLevel(const std::u16string& element_text, const ElementRecord& relative);

  std::u16string document_;
  std::u16string error_text_;
  std::vector<ElementRecord> records_;
  int parent_ = 0;
  int current_ = 0;
  int child_ = 0;
};

}  // namespace orv
