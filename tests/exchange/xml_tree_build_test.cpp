#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "exchange/xml_tree.h"
#include "xml_tree_support.h"

namespace orv {
namespace {

using testing::IndexMatchesReparse;
using testing::Narrow;
using testing::Outline;

std::u16string Widen(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

TEST(XmlBuild, WritesEveryElementOnItsOwnLine) {
  XmlTree tree;
  ASSERT_TRUE(tree.AppendElement(u"kml"));
  ASSERT_TRUE(
      tree.SetAttribute(tree.CurrentElement(), u"xmlns", u"http://www.opengis.net/kml/2.2"));
  ASSERT_TRUE(tree.EnterElement());
  ASSERT_TRUE(tree.AppendElement(u"Document"));
  ASSERT_TRUE(tree.EnterElement());
  ASSERT_TRUE(tree.AppendElement(u"name", u"a<b & c>"));
  ASSERT_TRUE(tree.AppendElement(u"Style"));
  ASSERT_TRUE(tree.SetAttribute(tree.CurrentElement(), u"id", u"AllPathStyle"));
  ASSERT_TRUE(tree.EnterElement());
  ASSERT_TRUE(tree.AppendElement(u"LineStyle"));
  ASSERT_TRUE(tree.EnterElement());
  ASSERT_TRUE(tree.AppendElement(u"color", u"00ffffff"));
  ASSERT_TRUE(tree.AppendElement(u"width", u"1"));
  ASSERT_TRUE(tree.LeaveElement());
  ASSERT_TRUE(tree.LeaveElement());
  ASSERT_TRUE(tree.AppendElement(u"Placemark"));
  ASSERT_TRUE(tree.EnterElement());
  ASSERT_TRUE(tree.AppendElement(u"coordinates", u"\r\n"));

  EXPECT_EQ(Narrow(tree.DocumentText()),
            "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\r\n"
            "<Document>\r\n"
            "<name>a&lt;b &amp; c&gt;</name>\r\n"
            "<Style id=\"AllPathStyle\">\r\n"
            "<LineStyle>\r\n"
            "<color>00ffffff</color>\r\n"
            "<width>1</width>\r\n"
            "</LineStyle>\r\n"
            "</Style>\r\n"
            "<Placemark>\r\n"
            "<coordinates>\r\n</coordinates>\r\n"
            "</Placemark>\r\n"
            "</Document>\r\n"
            "</kml>\r\n");
  EXPECT_TRUE(IndexMatchesReparse(tree));
  EXPECT_EQ(Outline(tree),
            "kml(Document(name=a<b & c>,Style(LineStyle(color=00ffffff,width=1)),"
            "Placemark(coordinates=\r\n)))");
}

struct Attribute {
  std::u16string_view name;
  std::u16string_view value;
};

struct AttributeCase {
  const char* legend;
  bool with_text;
  std::vector<Attribute> attributes;
  std::string_view text;
};

class XmlSetAttribute : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(XmlSetAttribute, InsertsOrReplacesInTheStartTag) {
  XmlTree tree;
  ASSERT_TRUE(GetParam().with_text ? tree.AppendElement(u"a", u"t") : tree.AppendElement(u"a"));
  for (const Attribute& attribute : GetParam().attributes) {
    ASSERT_TRUE(tree.SetAttribute(tree.CurrentElement(), attribute.name, attribute.value));
  }
  EXPECT_EQ(Narrow(tree.DocumentText()), GetParam().text);
  EXPECT_TRUE(IndexMatchesReparse(tree));
}

INSTANTIATE_TEST_SUITE_P(
    Attributes, XmlSetAttribute,
    ::testing::Values(
        AttributeCase{
            "before_the_slash_of_an_empty_tag", false, {{u"x", u"1"}}, "<a x=\"1\"/>\r\n"},
        AttributeCase{"before_the_gt_of_a_start_tag", true, {{u"x", u"1"}}, "<a x=\"1\">t</a>\r\n"},
        AttributeCase{
            "in_the_order_set", false, {{u"x", u"1"}, {u"y", u"2"}}, "<a x=\"1\" y=\"2\"/>\r\n"},
        AttributeCase{"replaced_by_a_longer_value",
                      true,
                      {{u"x", u"1"}, {u"y", u"2"}, {u"x", u"333"}},
                      "<a x=\"333\" y=\"2\">t</a>\r\n"},
        AttributeCase{"replaced_by_a_shorter_value",
                      false,
                      {{u"x", u"long"}, {u"x", u""}},
                      "<a x=\"\"/>\r\n"},
        AttributeCase{"prefixed_name_is_another_attribute",
                      false,
                      {{u"xmlns", u"1"}, {u"xmlns:gx", u"2"}, {u"xmlns", u"3"}},
                      "<a xmlns=\"3\" xmlns:gx=\"2\"/>\r\n"},
        AttributeCase{"value_that_looks_like_the_name",
                      false,
                      {{u"x", u"x"}, {u"y", u"x"}, {u"x", u"z"}},
                      "<a x=\"z\" y=\"x\"/>\r\n"},
        AttributeCase{"value_escaped_with_quotes",
                      false,
                      {{u"x", u"say \"hi\" & <go> 'now'"}},
                      "<a x=\"say &quot;hi&quot; &amp; &lt;go&gt; &apos;now&apos;\"/>\r\n"}),
    [](const auto& info) { return std::string(info.param.legend); });

TEST(XmlBuild, RefusesPlacesAndNamesThatWouldBreakTheDocument) {
  XmlTree tree;
  for (std::u16string_view bad_name : {u"", u"a b", u"a<", u"a/", u"a>", u"a\"", u"a&", u"a="}) {
    EXPECT_FALSE(tree.AppendElement(bad_name)) << Narrow(bad_name);
  }
  EXPECT_FALSE(tree.SetAttribute(tree.CurrentElement(), u"x", u"1"));  // nothing current yet
  ASSERT_TRUE(tree.AppendElement(u"a"));
  const std::u16string before = tree.DocumentText();
  EXPECT_FALSE(tree.AppendElement(u"second_top_level"));
  EXPECT_FALSE(tree.SetAttribute(0, u"x", u"1"));
  EXPECT_FALSE(tree.SetAttribute(tree.RecordCount(), u"x", u"1"));
  EXPECT_FALSE(tree.SetAttribute(-1, u"x", u"1"));
  EXPECT_FALSE(tree.SetAttribute(tree.CurrentElement(), u"x y", u"1"));
  EXPECT_EQ(tree.DocumentText(), before);
  EXPECT_EQ(Narrow(tree.ElementName()), "a");
}

TEST(XmlBuild, TextValuesReadBackUnchanged) {
  const std::u16string_view values[] = {
      u"plain",        u"<b>&amp;</b>", u"<![CDATA[x]]>", u"]]>", u"'single' \"double\"",
      u"&nbsp; &#65;", u"Zürich 🏔", u"  padded  ",    u"",
  };
  XmlTree tree;
  ASSERT_TRUE(tree.AppendElement(u"r"));
  ASSERT_TRUE(tree.EnterElement());
  for (std::u16string_view value : values) ASSERT_TRUE(tree.AppendElement(u"v", value));

  XmlTree reread;
  ASSERT_TRUE(reread.ParseText(tree.DocumentText())) << Narrow(reread.ErrorText());
  ASSERT_TRUE(reread.FindElement(u"r"));
  ASSERT_TRUE(reread.EnterElement());
  for (std::u16string_view value : values) {
    ASSERT_TRUE(reread.FindElement(u"v"));
    EXPECT_EQ(Narrow(reread.ElementText()), Narrow(value));
  }
  EXPECT_FALSE(reread.FindElement());
}

TEST(XmlBuild, AppendsIntoAParsedDocument) {
  XmlTree tree;
  ASSERT_TRUE(tree.ParseText(u"<?xml version=\"1.0\"?>\n<a>\n<b/>\n<c>text</c>\n</a>\n"));
  ASSERT_TRUE(tree.FindElement(u"a"));
  ASSERT_TRUE(tree.EnterElement());
  ASSERT_TRUE(tree.FindElement(u"b"));
  ASSERT_TRUE(tree.AppendElement(u"after_b"));
  ASSERT_TRUE(tree.FindElement(u"c"));
  ASSERT_TRUE(tree.EnterElement());
  ASSERT_TRUE(tree.AppendElement(u"in_c", u"1"));
  EXPECT_EQ(Narrow(tree.DocumentText()),
            "<?xml version=\"1.0\"?>\n<a>\n<b/>\n<after_b/>\r\n"
            "<c>text<in_c>1</in_c>\r\n</c>\n</a>\n");
  EXPECT_TRUE(IndexMatchesReparse(tree));
}

// Insertions before existing elements: every record behind the insertion
// point has to move, in this subtree, in its following siblings and in the
// ancestors' end tags. The index is checked against a fresh parse after
// every step.
TEST(XmlBuild, InsertingInTheMiddleMovesEverythingBehind) {
  XmlTree tree;
  ASSERT_TRUE(
      tree.ParseText(u"<doc>\r\n<r>\r\n<b1>\r\n<x>1</x>\r\n</b1>\r\n<b2/>\r\n"
                     u"<b3>\r\n<y>2</y>\r\n</b3>\r\n</r>\r\n<tail/>\r\n</doc>\r\n"));
  ASSERT_TRUE(tree.FindElement(u"doc") && tree.EnterElement());
  ASSERT_TRUE(tree.FindElement(u"r") && tree.EnterElement());
  ASSERT_TRUE(tree.FindElement(u"b1"));
  const int b1 = tree.CurrentElement();

  ASSERT_TRUE(tree.EnterElement() && tree.FindElement(u"x"));
  ASSERT_TRUE(tree.AppendElement(u"x2", u"nested"));
  ASSERT_TRUE(IndexMatchesReparse(tree));

  ASSERT_TRUE(tree.LeaveElement());
  ASSERT_TRUE(tree.AppendElement(u"after_b1", u"a"));
  ASSERT_TRUE(IndexMatchesReparse(tree));

  ASSERT_TRUE(tree.SetAttribute(b1, u"id", u"first"));
  ASSERT_TRUE(IndexMatchesReparse(tree));

  ASSERT_TRUE(tree.FindElement(u"b2") && tree.EnterElement());
  ASSERT_TRUE(tree.AppendElement(u"z"));
  ASSERT_TRUE(IndexMatchesReparse(tree));

  ASSERT_TRUE(tree.SetAttribute(tree.CurrentElement(), u"k", u"v"));
  ASSERT_TRUE(tree.LeaveElement());
  ASSERT_TRUE(tree.SetAttribute(tree.CurrentElement(), u"n", u"2"));
  ASSERT_TRUE(IndexMatchesReparse(tree));

  ASSERT_TRUE(tree.AppendElement(u"after_b2"));
  ASSERT_TRUE(IndexMatchesReparse(tree));

  ASSERT_TRUE(tree.SetAttribute(b1, u"id", u"a much longer value than before"));
  ASSERT_TRUE(IndexMatchesReparse(tree));

  EXPECT_EQ(Outline(tree), "doc(r(b1(x=1,x2=nested),after_b1=a,b2(z),after_b2,b3(y=2)),tail)");
  EXPECT_EQ(Narrow(tree.DocumentText()),
            "<doc>\r\n<r>\r\n<b1 id=\"a much longer value than before\">\r\n<x>1</x>\r\n"
            "<x2>nested</x2>\r\n</b1>\r\n<after_b1>a</after_b1>\r\n"
            "<b2 n=\"2\">\r\n<z k=\"v\"/>\r\n</b2>\r\n<after_b2/>\r\n"
            "<b3>\r\n<y>2</y>\r\n</b3>\r\n</r>\r\n<tail/>\r\n</doc>\r\n");
}

// The way a track export builds its document: thousands of siblings appended
// one after another at the end. The result must be exactly the text written
// in one go, and the index the one a parse yields.
TEST(XmlBuild, ManyAppendsGiveTheExpectedText) {
  constexpr int kPlacemarks = 3000;
  XmlTree tree;
  std::string expected = "<kml>\r\n<Document>\r\n";
  ASSERT_TRUE(tree.AppendElement(u"kml"));
  ASSERT_TRUE(tree.EnterElement());
  ASSERT_TRUE(tree.AppendElement(u"Document"));
  ASSERT_TRUE(tree.EnterElement());
  for (int i = 0; i < kPlacemarks; ++i) {
    const std::string number = std::to_string(i);
    ASSERT_TRUE(tree.AppendElement(u"Placemark"));
    ASSERT_TRUE(tree.EnterElement());
    ASSERT_TRUE(tree.AppendElement(u"name", Widen(number)));
    ASSERT_TRUE(tree.AppendElement(u"LineString"));
    ASSERT_TRUE(tree.EnterElement());
    ASSERT_TRUE(tree.AppendElement(u"coordinates", Widen(number + ",1,0 ")));
    ASSERT_TRUE(tree.LeaveElement());
    ASSERT_TRUE(tree.LeaveElement());
    expected += "<Placemark>\r\n<name>" + number + "</name>\r\n<LineString>\r\n<coordinates>" +
                number + ",1,0 </coordinates>\r\n</LineString>\r\n</Placemark>\r\n";
  }
  expected += "</Document>\r\n</kml>\r\n";
  EXPECT_EQ(Narrow(tree.DocumentText()), expected);
  EXPECT_EQ(tree.RecordCount(), 1 + 2 + 4 * kPlacemarks);
  EXPECT_TRUE(IndexMatchesReparse(tree));
}

}  // namespace
}  // namespace orv
