#include "nav/coordinate_format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <vector>

#include "decimal_comma_locale.h"

namespace orv {
namespace {

constexpr auto kLat = CoordinateAxis::kLatitude;
constexpr auto kLon = CoordinateAxis::kLongitude;
constexpr std::uint32_t kLetters = kCoordinateHemisphereLetters;

std::vector<std::string> FieldTexts(const CoordinateEdit& edit) {
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < edit.Fields().size(); ++i) texts.push_back(edit.FieldText(i));
  return texts;
}

std::vector<std::string> Patterns(const CoordinateEdit& edit) {
  std::vector<std::string> patterns;
  for (const CoordinateField& field : edit.Fields()) patterns.push_back(field.Pattern());
  return patterns;
}

using Texts = std::vector<std::string>;

TEST(CoordinateEditTest, SwitchingTheStyleKeepsTheValue) {
  CoordinateEdit edit(kLat, kCoordinateTraditional | kLetters);
  ASSERT_TRUE(edit.SetValue({false, 12, 30, 36}));
  EXPECT_EQ(FieldTexts(edit), (Texts{"N", "12", "30", "36"}));

  edit.SetStyle(kCoordinateDecimalMinutes);
  EXPECT_EQ(edit.Layout(), "hdm");
  EXPECT_EQ(FieldTexts(edit), (Texts{"N", "12", "30.6000"}));

  edit.SetStyle(kCoordinateDecimalDegrees);
  EXPECT_EQ(edit.Layout(), "hd");
  EXPECT_EQ(FieldTexts(edit), (Texts{"N", "12.51000000"}));
  EXPECT_EQ(edit.DisplayText(), "N 12.51000000\xC2\xB0");

  edit.SetStyle(kCoordinateTraditional);
  EXPECT_EQ(FieldTexts(edit), (Texts{"N", "12", "30", "36"}));
  EXPECT_TRUE(edit.Flags() & kLetters) << "other flags survive a style change";
}

struct FormatCase {
  const char* legend;
  CoordinateAxis axis;
  std::uint32_t flags;
  double degrees;
  const char* layout;
  Texts texts;
  Texts patterns;
};

class CoordinateFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(CoordinateFormatTest, FieldsAndTexts) {
  const FormatCase& c = GetParam();
  CoordinateEdit edit(c.axis, c.flags);
  ASSERT_TRUE(edit.SetDegrees(c.degrees));
  EXPECT_EQ(edit.Layout(), c.layout);
  EXPECT_EQ(FieldTexts(edit), c.texts);
  EXPECT_EQ(Patterns(edit), c.patterns);
}

// 5.0520833... degrees is 5 deg 3 min 7.5 s, or 3.125 minutes.
constexpr double kFiveThree = 5.0 + 3.125 / 60.0;

const FormatCase kFormatCases[] = {
    {"traditional latitude",
     kLat,
     kCoordinateTraditional | kLetters,
     -kFiveThree,
     "hdms",
     {"S", " 5", " 3", " 8"},
     {"%s", "%2d", "%2d", "%2d"}},
    {"traditional, leading zeros, decimal seconds",
     kLat,
     kCoordinateTraditional | kLetters | kCoordinateLeadingZeros | kCoordinateDecimalSeconds,
     kFiveThree,
     "hdms",
     {"N", "05", "03", "07.500"},
     {"%s", "%02d", "%02d", "%06.3f"}},
    {"traditional longitude, decimal seconds, signs, hemisphere last",
     kLon,
     kCoordinateTraditional | kCoordinateDecimalSeconds | kCoordinateHemisphereLast,
     -kFiveThree,
     "dmsh",
     {"  5", " 3", " 7.500", "-"},
     {"%3d", "%2d", "%6.3f", "%s"}},
    {"decimal minutes longitude",
     kLon,
     kCoordinateDecimalMinutes | kLetters,
     -kFiveThree,
     "hdm",
     {"W", "  5", "3.1250"},
     {"%s", "%3d", "%6.4f"}},
    {"decimal minutes, leading zeros",
     kLon,
     kCoordinateDecimalMinutes | kLetters | kCoordinateLeadingZeros,
     kFiveThree,
     "hdm",
     {"E", "005", "03.1250"},
     {"%s", "%03d", "%07.4f"}},
    {"decimal degrees latitude",
     kLat,
     kCoordinateDecimalDegrees | kLetters,
     kFiveThree,
     "hd",
     {"N", " 5.05208333"},
     {"%s", "%11.8f"}},
    {"decimal degrees longitude, leading zeros",
     kLon,
     kCoordinateDecimalDegrees | kCoordinateLeadingZeros,
     -kFiveThree,
     "hd",
     {"-", "005.05208333"},
     {"%s", "%012.8f"}},
    // Rounding works on the whole value, so a minute never shows as 60.
    {"seconds carry into the degrees",
     kLat,
     kCoordinateTraditional | kLetters,
     10.9999999,
     "hdms",
     {"N", "11", " 0", " 0"},
     {"%s", "%2d", "%2d", "%2d"}},
    {"decimal minutes carry into the degrees",
     kLon,
     kCoordinateDecimalMinutes | kLetters,
     179.9999999,
     "hdm",
     {"E", "180", "0.0000"},
     {"%s", "%3d", "%6.4f"}},
};

INSTANTIATE_TEST_SUITE_P(Styles, CoordinateFormatTest, ::testing::ValuesIn(kFormatCases));

struct FieldEntryCase {
  const char* legend;
  CoordinateAxis axis;
  std::uint32_t flags;
  std::size_t field;
  const char* text;
  FieldError expected;
};

class CoordinateFieldEntryTest : public ::testing::TestWithParam<FieldEntryCase> {};

TEST_P(CoordinateFieldEntryTest, ChecksRangeAndResolution) {
  const FieldEntryCase& c = GetParam();
  CoordinateEdit edit(c.axis, c.flags);
  ASSERT_TRUE(edit.SetValue({false, 90, 0, 0}));
  const std::string before = edit.DisplayText();
  EXPECT_EQ(edit.SetFieldText(c.field, c.text), c.expected);
  if (c.expected != FieldError::kNone) {
    EXPECT_EQ(edit.DisplayText(), before);
  }
}

constexpr std::uint32_t kTradLetters = kCoordinateTraditional | kLetters;
constexpr std::uint32_t kTradDecimalSeconds = kTradLetters | kCoordinateDecimalSeconds;

const FieldEntryCase kFieldEntryCases[] = {
    {"minutes 59", kLon, kTradLetters, 2, "59", FieldError::kNone},
    {"minutes 60", kLon, kTradLetters, 2, "60", FieldError::kOutOfRange},
    {"seconds 60", kLon, kTradLetters, 3, "60", FieldError::kOutOfRange},
    {"integer seconds with a fraction", kLon, kTradLetters, 3, "7.5", FieldError::kTooFine},
    {"integer seconds with zero decimals", kLon, kTradLetters, 3, " 7.000", FieldError::kNone},
    {"decimal seconds at resolution", kLon, kTradDecimalSeconds, 3, "59.999", FieldError::kNone},
    {"decimal seconds finer than 0.001", kLon, kTradDecimalSeconds, 3, "7.1234",
     FieldError::kTooFine},
    {"decimal minutes finer than 0.0001", kLon, kCoordinateDecimalMinutes, 2, "1.00001",
     FieldError::kTooFine},
    {"decimal degrees 180", kLon, kCoordinateDecimalDegrees, 1, "180.00000000", FieldError::kNone},
    {"decimal degrees past 180", kLon, kCoordinateDecimalDegrees, 1, "180.00000001",
     FieldError::kOutOfRange},
    {"latitude degrees 91", kLat, kTradLetters, 1, "91", FieldError::kOutOfRange},
    {"minutes past 90 degrees", kLat, kTradLetters, 2, "1", FieldError::kOutOfRange},
    {"empty", kLat, kTradLetters, 2, "  ", FieldError::kNotANumber},
    {"sign in a number field", kLat, kTradLetters, 2, "-1", FieldError::kNotANumber},
    {"decimal comma", kLon, kCoordinateDecimalMinutes, 2, "1,5", FieldError::kNotANumber},
    {"exponent", kLon, kCoordinateDecimalMinutes, 2, "1e1", FieldError::kNotANumber},
    {"huge number", kLon, kTradLetters, 1, "99999999999999999999", FieldError::kOutOfRange},
    {"hemisphere letter", kLat, kTradLetters, 0, "s", FieldError::kNone},
    {"longitude letter in a latitude", kLat, kTradLetters, 0, "E", FieldError::kNotANumber},
    {"sign where letters are shown", kLat, kTradLetters, 0, "-", FieldError::kNotANumber},
    {"sign", kLat, kCoordinateTraditional, 0, "-", FieldError::kNone},
    {"no such field", kLat, kCoordinateDecimalDegrees, 2, "1", FieldError::kNoSuchField},
};

INSTANTIATE_TEST_SUITE_P(Fields, CoordinateFieldEntryTest, ::testing::ValuesIn(kFieldEntryCases));

TEST(CoordinateEditTest, TypedFieldsMakeTheDecimalDegrees) {
  CoordinateEdit edit(kLon, kTradDecimalSeconds);
  ASSERT_EQ(edit.SetFieldText(0, "W"), FieldError::kNone);
  ASSERT_EQ(edit.SetFieldText(1, "11"), FieldError::kNone);
  ASSERT_EQ(edit.SetFieldText(2, "31"), FieldError::kNone);
  ASSERT_EQ(edit.SetFieldText(3, "4.5"), FieldError::kNone);
  EXPECT_DOUBLE_EQ(edit.Degrees(), -(11.0 + 31.0 / 60.0 + 4.5 / 3600.0));
  EXPECT_EQ(edit.DisplayText(),
            "W  11\xC2\xB0"
            "31' 4.500\"");
}

TEST(CoordinateEditTest, RefusesValuesOutsideTheAxis) {
  CoordinateEdit edit(kLat, kTradLetters);
  ASSERT_TRUE(edit.SetDegrees(-45.5));
  for (double bad : {90.0001, -91.0, std::nan(""), HUGE_VAL, 1.7976931348623157e308}) {
    EXPECT_FALSE(edit.SetDegrees(bad)) << bad;
  }
  EXPECT_FALSE(edit.SetValue({false, 10, 60, 0}));
  EXPECT_DOUBLE_EQ(edit.Degrees(), -45.5);
}

TEST(CoordinateStyleTest, SettingValues) {
  EXPECT_EQ(CoordinateStyleFromSetting(0), CoordinateStyle::kTraditional);
  EXPECT_EQ(CoordinateStyleFromSetting(1), CoordinateStyle::kDecimalMinutes);
  EXPECT_EQ(CoordinateStyleFromSetting(2), CoordinateStyle::kDecimalDegrees);
  EXPECT_EQ(CoordinateStyleFromSetting(7), CoordinateStyle::kTraditional);
}

TEST(EntirePositionTest, CopyText) {
  EXPECT_EQ(EntirePositionText(12.51, 11.0 + 31.0 / 60.0),
            "N12\xC2\xB0"
            "30.6000',E011\xC2\xB0"
            "31.0000';");
  EXPECT_EQ(EntirePositionText(-5.0 - 3.125 / 60.0, -179.99999999),
            "S05\xC2\xB0"
            "03.1250',W180\xC2\xB0"
            "00.0000';");

  CoordinateEdit latitude(kLat, kTradLetters);
  CoordinateEdit longitude(kLon, kCoordinateDecimalDegrees | kLetters);
  ASSERT_TRUE(latitude.SetValue({false, 12, 30, 36}));
  ASSERT_TRUE(longitude.SetDegrees(-8.25));
  EXPECT_EQ(EntirePositionText(latitude, longitude),
            "N 12\xC2\xB0"
            "30'36\",W   8.25000000\xC2\xB0;");
}

TEST(EntirePositionTest, CopyThenPasteKeepsThePositionToATenThousandthMinute) {
  const double positions[][2] = {
      {0.0, 0.0},          {47.376887, 8.541694},  {-33.868820, 151.209296}, {89.99999, -179.99999},
      {-0.00001, 0.00001}, {12.51, -11.516666667},
  };
  for (const auto& p : positions) {
    const std::string copied = EntirePositionText(p[0], p[1]);
    SCOPED_TRACE(copied);
    const auto pasted = ParseEntirePosition(copied);
    ASSERT_TRUE(pasted.has_value());
    EXPECT_NEAR(pasted->latitude * 60.0, p[0] * 60.0, 0.00005);
    EXPECT_NEAR(pasted->longitude * 60.0, p[1] * 60.0, 0.00005);

    CoordinateEdit latitude(kLat, kCoordinateDecimalMinutes | kLetters);
    CoordinateEdit longitude(kLon, kCoordinateDecimalMinutes | kLetters);
    ASSERT_TRUE(latitude.SetDegrees(pasted->latitude));
    ASSERT_TRUE(longitude.SetDegrees(pasted->longitude));
    EXPECT_EQ(EntirePositionText(latitude.Degrees(), longitude.Degrees()), copied);
  }
}

struct PasteCase {
  const char* legend;
  const char* text;
  bool accepted;
  double latitude;
  double longitude;
};

class PasteEntirePositionTest : public ::testing::TestWithParam<PasteCase> {};

TEST_P(PasteEntirePositionTest, ParsesOrRejects) {
  const PasteCase& c = GetParam();
  const auto pasted = ParseEntirePosition(c.text);
  ASSERT_EQ(pasted.has_value(), c.accepted);
  if (!c.accepted) return;
  EXPECT_NEAR(pasted->latitude, c.latitude, 1e-9);
  EXPECT_NEAR(pasted->longitude, c.longitude, 1e-9);
}

const PasteCase kPasteCases[] = {
    {"copy form",
     "N12\xC2\xB0"
     "30.6000',E011\xC2\xB0"
     "31.0000';",
     true, 12.51, 11.0 + 31.0 / 60},
    {"blanks and no semicolon", "  S 12\xC2\xB0 30.6000' , W 011\xC2\xB0 31.0000'\n", true, -12.51,
     -11.0 - 31.0 / 60},
    {"traditional as shown",
     "N 12\xC2\xB0"
     "30'36\",E  11\xC2\xB0"
     "31' 0.000\";",
     true, 12.51, 11.0 + 31.0 / 60},
    {"decimal degrees, hemisphere last", "12.51000000\xC2\xB0 S,011.5\xC2\xB0 W;", true, -12.51,
     -11.5},
    {"signs", "-12.51,+11.5", true, -12.51, 11.5},
    {"no hemisphere means north and east", "12 30.6',11 30'", true, 12.51, 11.5},
    {"empty", "", false, 0, 0},
    {"latitude only",
     "N12\xC2\xB0"
     "30.6000';",
     false, 0, 0},
    {"swapped axes",
     "E011\xC2\xB0"
     "31.0000',N12\xC2\xB0"
     "30.6000';",
     false, 0, 0},
    {"trailing garbage",
     "N12\xC2\xB0"
     "30.6',E11\xC2\xB0"
     "31';x",
     false, 0, 0},
    {"two hemispheres", "N12\xC2\xB0 S,E11\xC2\xB0", false, 0, 0},
    {"minutes 60",
     "N12\xC2\xB0"
     "60.0000',E11\xC2\xB0"
     "31';",
     false, 0, 0},
    {"latitude past 90",
     "N90\xC2\xB0"
     "00.0001',E11\xC2\xB0;",
     false, 0, 0},
    {"longitude past 180",
     "N1,E180\xC2\xB0"
     "01';",
     false, 0, 0},
    {"decimal degrees followed by minutes",
     "N12.5\xC2\xB0"
     "30',E11;",
     false, 0, 0},
    {"minutes without their mark", "N12\xC2\xB0 30.6,E11;", false, 0, 0},
    {"decimal commas", "N12,51,E11,5;", false, 0, 0},
    {"exponent", "N1e1,E11;", false, 0, 0},
    {"only hemispheres", "N,E;", false, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Texts, PasteEntirePositionTest, ::testing::ValuesIn(kPasteCases));

TEST(EntirePositionTest, NumberTextIgnoresADecimalCommaLocale) {
  test::DecimalCommaLocale german;
  if (!german.Active()) GTEST_SKIP() << "no de_DE locale installed";
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  EXPECT_EQ(EntirePositionText(12.51, 11.5),
            "N12\xC2\xB0"
            "30.6000',E011\xC2\xB0"
            "30.0000';");
  const auto pasted = ParseEntirePosition("N12.51,E11.5;");
  ASSERT_TRUE(pasted.has_value());
  EXPECT_DOUBLE_EQ(pasted->latitude, 12.51);
  CoordinateEdit edit(kLon, kCoordinateDecimalMinutes);
  EXPECT_EQ(edit.SetFieldText(2, "30.5"), FieldError::kNone);
  EXPECT_EQ(edit.FieldText(2), "30.5000");
}

}  // namespace
}  // namespace orv
