#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "exchange/xml_tree.h"
#include "xml_tree_support.h"

namespace orv {
namespace {

using namespace std::literals;
using testing::Narrow;
using testing::Outline;

struct ParseCase {
  const char* legend;
  std::u16string_view text;
  std::string_view outline;  // expected tree on success
};

class XmlParseSuccess : public ::testing::TestWithParam<ParseCase> {};

TEST_P(XmlParseSuccess, BuildsTheExpectedTree) {
  XmlTree tree;
  ASSERT_TRUE(tree.ParseText(std::u16string(GetParam().text))) << Narrow(tree.ErrorText());
  EXPECT_TRUE(tree.ErrorText().empty());
  EXPECT_EQ(Outline(tree), GetParam().outline);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, XmlParseSuccess,
    ::testing::Values(
        ParseCase{"prolog_is_skipped",
                  u"<?xml version=\"1.0\"?>\r\n<!-- made by hand -->\r\n<a>x</a>", "a=x"},
        ParseCase{"doctype_with_internal_subset", u"<!DOCTYPE a [ <!ENTITY e \"]>\"> ]><a/>", "a"},
        ParseCase{"empty_child_leaves_both_texts_empty", u"<a><b/></a>", "a(b)"},
        ParseCase{"empty_pair_of_tags", u"<a></a>", "a"},
        ParseCase{"siblings_and_nesting", u"<a>\n <b>1</b>\n <c><d>2</d></c>\n <e/>\n</a>",
                  "a(b=1,c(d=2),e)"},
        ParseCase{"gt_inside_a_quoted_attribute", u"<a href='x>y' n=\"/>\">t</a>", "a=t"},
        ParseCase{"markup_in_cdata_is_not_an_element", u"<a><![CDATA[<b>]]></a>", "a=<b>"},
        ParseCase{"comment_and_pi_between_children", u"<a><!-- <x> --><b/><?pi <y>?><c/></a>",
                  "a(b,c)"},
        ParseCase{"white_space_inside_tags", u"< a  x = '1' >t</ a >", "a=t"},
        ParseCase{"text_after_the_root_is_not_read", u"<a/>trailing <junk", "a"},
        ParseCase{"nul_in_text_is_ordinary", u"<a>x\0y</a>"sv, "a=x\0y"sv},
        ParseCase{"non_ascii_names_and_text", u"<Straße>Zürich 🏔</Straße>",
                  "Straße=Zürich 🏔"}),
    [](const auto& info) { return std::string(info.param.legend); });

struct ErrorCase {
  const char* legend;
  std::u16string_view text;
  std::u16string_view error;
};

class XmlParseError : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(XmlParseError, FailsWithItsMessageAndAnEmptyIndex) {
  XmlTree tree;
  EXPECT_FALSE(tree.ParseText(std::u16string(GetParam().text)));
  EXPECT_EQ(Narrow(tree.ErrorText()), Narrow(GetParam().error));
  EXPECT_EQ(tree.RecordCount(), 1);
  EXPECT_FALSE(tree.FindElement());
}

INSTANTIATE_TEST_SUITE_P(
    Documents, XmlParseError,
    ::testing::Values(
        ErrorCase{"empty_text", u"", u"Element tag not found"},
        ErrorCase{"text_without_markup", u"just words", u"Element tag not found"},
        ErrorCase{"only_a_prolog", u"<?xml version='1.0'?><!-- c -->", u"Element tag not found"},
        ErrorCase{"stray_end_tag_first", u"</a>", u"Element tag not found"},
        ErrorCase{"lone_lt", u"<", u"Abrupt end within tag"},
        ErrorCase{"lt_then_blanks", u"<a>< \r\n", u"Abrupt end within tag"},
        ErrorCase{"quoted_tag_name", u"<'a'>x</a>", u"Tag starts with quote"},
        ErrorCase{"unterminated_pi", u"<?xml version='1.0'", u"Invalid node"},
        ErrorCase{"unterminated_comment", u"<a><!-- no end </a>", u"Invalid node"},
        ErrorCase{"comment_needs_its_own_dashes", u"<!-->", u"Invalid node"},
        ErrorCase{"unterminated_cdata", u"<a><![CDATA[ x </a>", u"Invalid node"},
        ErrorCase{"unterminated_doctype", u"<!DOCTYPE a [ <!ENTITY e 'x'> ", u"Invalid node"},
        ErrorCase{"doctype_with_open_quote", u"<!DOCTYPE a \"> <a/>", u"Invalid node"},
        ErrorCase{"start_tag_cut", u"<a x='1'", u"End of tag not found"},
        ErrorCase{"attribute_quote_never_closed", u"<a x='1>t</a>", u"End of tag not found"},
        ErrorCase{"nul_where_the_tag_should_end", u"<a\0"sv, u"End of tag not found"},
        ErrorCase{"no_end_tag", u"<a>", u"End tag of a element not found"},
        ErrorCase{"no_end_tag_after_children", u"<a><b/>text", u"End tag of a element not found"},
        ErrorCase{"innermost_unclosed_is_named", u"<a><b><c/>", u"End tag of b element not found"},
        ErrorCase{"end_tag_of_another_element", u"<a></b>", u"End tag does not correspond to a"},
        ErrorCase{"crossed_tags", u"<a><b></a></b>", u"End tag does not correspond to b"},
        ErrorCase{"end_tag_cut_after_name", u"<a></a", u"End tag not completed for element a"},
        ErrorCase{"end_tag_cut_after_slash", u"<a></", u"End tag not completed for element a"}),
    [](const auto& info) { return std::string(info.param.legend); });

constexpr std::u16string_view kKmlFixture =
    u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    u"<!-- exported -->\r\n"
    u"<kml xmlns=\"http://www.opengis.net/kml/2.2\">\r\n"
    u"<Document>\r\n"
    u"<name>Trip &amp; back</name>\r\n"
    u"<Folder>\r\n"
    u"<name>Stops</name>\r\n"
    u"<Placemark>\r\n"
    u"<name>Start</name>\r\n"
    u"<Point><coordinates>8.5,47.3,400 </coordinates></Point>\r\n"
    u"</Placemark>\r\n"
    u"<Placemark>\r\n"
    u"<name> <![CDATA[<b>Hut</b>]]></name>\r\n"
    u"<Point><coordinates>8.6,47.4,1200 </coordinates></Point>\r\n"
    u"</Placemark>\r\n"
    u"<Placemark/>\r\n"
    u"</Folder>\r\n"
    u"</Document>\r\n"
    u"</kml>\r\n";

enum class Move { kFind, kEnter, kLeave };

struct CursorStep {
  Move move;
  std::u16string_view name;  // for kFind
  bool moves;
  std::u16string_view current;  // name of the current element afterwards
  std::u16string_view text;     // its text afterwards
};

TEST(XmlCursor, WalksTheKmlFixture) {
  XmlTree tree;
  ASSERT_TRUE(tree.ParseText(std::u16string(kKmlFixture)));
  const CursorStep script[] = {
      {Move::kEnter, {}, false, u"", u""},
      {Move::kLeave, {}, false, u"", u""},
      {Move::kFind, u"Document", false, u"", u""},
      {Move::kFind, u"kml", true, u"kml", u""},
      {Move::kFind, u"kml", false, u"kml", u""},
      {Move::kEnter, {}, true, u"", u""},
      {Move::kFind, u"Document", true, u"Document", u""},
      {Move::kEnter, {}, true, u"", u""},
      {Move::kFind, u"", true, u"name", u"Trip & back"},
      {Move::kFind, u"", true, u"Folder", u""},
      {Move::kFind, u"", false, u"Folder", u""},
      {Move::kEnter, {}, true, u"", u""},
      {Move::kFind, u"Placemark", true, u"Placemark", u""},
      {Move::kEnter, {}, true, u"", u""},
      {Move::kFind, u"Point", true, u"Point", u""},
      {Move::kFind, u"name", false, u"Point", u""},
      {Move::kEnter, {}, true, u"", u""},
      {Move::kFind, u"coordinates", true, u"coordinates", u"8.5,47.3,400 "},
      {Move::kLeave, {}, true, u"Point", u""},
      {Move::kLeave, {}, true, u"Placemark", u""},
      {Move::kFind, u"Placemark", true, u"Placemark", u""},
      {Move::kEnter, {}, true, u"", u""},
      {Move::kFind, u"name", true, u"name", u"<b>Hut</b>"},
      {Move::kLeave, {}, true, u"Placemark", u""},
      {Move::kFind, u"Placemark", true, u"Placemark", u""},
      {Move::kEnter, {}, true, u"", u""},
      {Move::kFind, u"", false, u"", u""},
      {Move::kLeave, {}, true, u"Placemark", u""},
      {Move::kLeave, {}, true, u"Folder", u""},
      // Entering again returns to the element that was left: the last
      // Placemark, so no further Placemark follows it.
      {Move::kEnter, {}, true, u"Placemark", u""},
      {Move::kFind, u"Placemark", false, u"Placemark", u""},
      {Move::kLeave, {}, true, u"Folder", u""},
      {Move::kLeave, {}, true, u"Document", u""},
      {Move::kLeave, {}, true, u"kml", u""},
      {Move::kLeave, {}, false, u"kml", u""},
  };
  int step_number = 0;
  for (const CursorStep& step : script) {
    SCOPED_TRACE("step " + std::to_string(step_number++));
    bool moved = false;
    switch (step.move) {
      case Move::kFind:
        moved = tree.FindElement(step.name);
        break;
      case Move::kEnter:
        moved = tree.EnterElement();
        break;
      case Move::kLeave:
        moved = tree.LeaveElement();
        break;
    }
    EXPECT_EQ(moved, step.moves);
    EXPECT_EQ(Narrow(tree.ElementName()), Narrow(step.current));
    EXPECT_EQ(Narrow(tree.ElementText()), Narrow(step.text));
  }
}

TEST(XmlCursor, EmptyNameStepsThroughEveryElementOfALevel) {
  XmlTree tree;
  ASSERT_TRUE(tree.ParseText(u"<r><a/>text<b>1</b><!-- c --><c><d/></c><a/></r>"));
  ASSERT_TRUE(tree.FindElement(u"r"));
  ASSERT_TRUE(tree.EnterElement());
  std::string seen;
  while (tree.FindElement()) seen += Narrow(tree.ElementName());
  EXPECT_EQ(seen, "abca");
}

TEST(XmlCursor, NameMatchesTheWholeTagName) {
  struct Row {
    std::u16string_view wanted;
    bool found;
  };
  const Row rows[] = {
      {u"Placemark", true},   {u"Placemark ", true}, {u"Placemark=", true},
      {u"Placemark/", true},  {u"Placemark[", true}, {u"Placemar", false},
      {u"Placemarks", false}, {u"placemark", false}, {u"Placemark:x", false},
  };
  // The name ends at a blank, at the tag's end, at "/>", or follows a blank.
  const std::u16string_view documents[] = {u"<Placemark id='1'/>", u"<Placemark>x</Placemark>",
                                           u"<Placemark/>", u"< Placemark\n/>"};
  for (const std::u16string_view document : documents) {
    for (const Row& row : rows) {
      XmlTree tree;
      ASSERT_TRUE(tree.ParseText(std::u16string(document)));
      EXPECT_EQ(tree.FindElement(row.wanted), row.found)
          << Narrow(row.wanted) << " in " << Narrow(document);
    }
  }
}

struct TextCase {
  const char* legend;
  std::u16string_view content;  // between <t> and </t>
  std::u16string_view text;
};

class XmlElementText : public ::testing::TestWithParam<TextCase> {};

TEST_P(XmlElementText, DecodesEntitiesOrKeepsCdata) {
  XmlTree tree;
  ASSERT_TRUE(tree.ParseText(u"<t>" + std::u16string(GetParam().content) + u"</t>"));
  ASSERT_TRUE(tree.FindElement(u"t"));
  EXPECT_EQ(Narrow(tree.ElementText()), Narrow(GetParam().text));
  // The copy-free reading gives the same text.
  std::u16string storage;
  EXPECT_EQ(Narrow(std::u16string(tree.ElementTextView(storage))), Narrow(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Contents, XmlElementText,
    ::testing::Values(TextCase{"five_entities", u"&lt;&gt;&amp;&apos;&quot;", u"<>&'\""},
                      TextCase{"unknown_entity_stays", u"&amp;&nbsp;", u"&&nbsp;"},
                      TextCase{"decoded_once_only", u"&amp;lt;", u"&lt;"},
                      TextCase{"numeric_reference_stays", u"&#65;&#x42;", u"&#65;&#x42;"},
                      TextCase{"entity_without_semicolon", u"a &lt b &", u"a &lt b &"},
                      TextCase{"cdata_verbatim", u"<![CDATA[<b>x</b> &amp;]]>", u"<b>x</b> &amp;"},
                      TextCase{"cdata_after_white_space", u"\r\n  <![CDATA[x]]>  ", u"x"},
                      TextCase{"text_after_cdata_dropped", u"<![CDATA[x]]>tail", u"x"},
                      TextCase{"cdata_not_first_is_raw_text", u"a<![CDATA[x]]>", u"a<![CDATA[x]]>"},
                      TextCase{"white_space_kept", u" a\r\nb ", u" a\r\nb "}),
    [](const auto& info) { return std::string(info.param.legend); });

TEST(XmlElementText, ElementWithChildrenOrEmptyTagHasNoText) {
  XmlTree tree;
  ASSERT_TRUE(tree.ParseText(u"<a>before<b/>after</a>"));
  ASSERT_TRUE(tree.FindElement(u"a"));
  EXPECT_EQ(tree.ElementText(), u"");
  std::u16string storage;
  EXPECT_EQ(tree.ElementTextView(storage), u"");
  ASSERT_TRUE(tree.EnterElement());
  ASSERT_TRUE(tree.FindElement(u"b"));
  EXPECT_EQ(tree.ElementText(), u"");
  EXPECT_EQ(tree.ElementTextView(storage), u"");
}

// Every record must lie inside the text and nest properly; walking the tree
// and reading every text must stay in bounds (the sanitizer build checks that).
void ExpectSoundIndex(const XmlTree& tree) {
  const int32_t size = static_cast<int32_t>(tree.DocumentText().size());
  for (int index = 1; index < tree.RecordCount(); ++index) {
    const ElementRecord& record = tree.Record(index);
    EXPECT_LE(0, record.start_tag_begin);
    EXPECT_LT(record.start_tag_begin, record.start_tag_end);
    EXPECT_LE(record.start_tag_end - 1, record.end_tag_begin);
    EXPECT_LE(record.end_tag_begin, record.end_tag_end);
    EXPECT_LT(record.end_tag_end, size);
  }
  Outline(tree);
}

TEST(XmlParseRobustness, EveryTruncationFailsCleanly) {
  const std::u16string full(kKmlFixture);
  const size_t root_end = full.find(u"</kml>") + 6;
  for (size_t length = 0; length <= full.size(); ++length) {
    XmlTree tree;
    bool parsed = tree.ParseText(full.substr(0, length));
    EXPECT_EQ(parsed, length >= root_end) << "length " << length;
    EXPECT_EQ(tree.ErrorText().empty(), parsed) << "length " << length;
    if (parsed) ExpectSoundIndex(tree);
  }
}

TEST(XmlParseRobustness, MarkupCharactersAnywhereNeverBreakTheIndex) {
  const std::u16string full(kKmlFixture);
  const char16_t replacements[] = {u'<', u'>', u'/', u'"', u'\'', u'!',
                                   u'?', u'[', u']', u'-', u'&',  u'\0'};
  for (size_t at = 0; at < full.size(); ++at) {
    for (char16_t replacement : replacements) {
      std::u16string mutated = full;
      mutated[at] = replacement;
      XmlTree tree;
      bool parsed = tree.ParseText(mutated);
      ASSERT_EQ(tree.ErrorText().empty(), parsed) << "at " << at;
      if (parsed) ExpectSoundIndex(tree);
    }
  }
}

TEST(XmlParseRobustness, DeepNestingNeedsNoDeepStack) {
  constexpr int kDepth = 200000;
  std::u16string open;
  std::u16string close;
  for (int i = 0; i < kDepth; ++i) {
    open += u"<a>";
    close += u"</a>";
  }
  XmlTree tree;
  ASSERT_TRUE(tree.ParseText(open + u"x" + close)) << Narrow(tree.ErrorText());
  EXPECT_EQ(tree.RecordCount(), kDepth + 1);
  int depth = 0;
  while (tree.FindElement(u"a") && tree.EnterElement()) ++depth;
  EXPECT_EQ(depth, kDepth);

  EXPECT_FALSE(tree.ParseText(open));
  EXPECT_EQ(Narrow(tree.ErrorText()), "End tag of a element not found");
}

TEST(XmlParseRobustness, ParsingAgainReplacesTheDocument) {
  XmlTree tree;
  ASSERT_TRUE(tree.ParseText(u"<a><b/></a>"));
  ASSERT_TRUE(tree.FindElement(u"a"));
  ASSERT_TRUE(tree.EnterElement());
  EXPECT_FALSE(tree.ParseText(u"<a>"));
  EXPECT_FALSE(tree.FindElement());
  EXPECT_FALSE(tree.LeaveElement());
  ASSERT_TRUE(tree.ParseText(u"<c/>"));
  EXPECT_TRUE(tree.ErrorText().empty());
  EXPECT_EQ(Outline(tree), "c");
}

}  // namespace
}  // namespace orv
