#include "nmea/lat_long.h"

#include <gtest/gtest.h>

#include <string>

#include "nmea/nmea_sentence.h"

namespace orv {
namespace {

std::string Encoded(const LatLong& position) {
  NmeaSentence s("$X");
  s.Append(position);
  return s.Text();
}

TEST(LatLong, DecodesRawMinutesIntoDecimalAndPoleReferencedDegrees) {
  LatLong p;
  EXPECT_TRUE(p.Decode(NmeaSentence("$GPGLL,4807.038,N,01131.000,E*"), 1));
  EXPECT_NEAR(p.LatitudeDegrees(), 48.1173, 1e-9);
  EXPECT_NEAR(p.LatitudeFromPole(), 41.8827, 1e-9);
  EXPECT_EQ(p.LatitudeHemisphere(), NorthSouth::kNorth);
  EXPECT_NEAR(p.LongitudeDegrees(), 11.516666666, 1e-8);
  EXPECT_NEAR(p.LongitudeFrom180West(), 191.516666666, 1e-8);
  EXPECT_EQ(Encoded(p), "$X,4807.0380,N,01131.0000,E");
  EXPECT_EQ(p.LatitudeWholeDegrees(), 48);
  EXPECT_NEAR(p.LatitudeMinutes(), 7.038, 1e-9);
  EXPECT_NEAR(p.LatitudeSeconds(), 2.28, 1e-9);

  EXPECT_TRUE(p.Decode(NmeaSentence("$GPGLL,4916.45,S,12311.12,W*"), 1));
  EXPECT_NEAR(p.LatitudeDegrees(), -49.274166666, 1e-8);
  EXPECT_NEAR(p.LatitudeFromPole(), 139.274166666, 1e-8);
  EXPECT_NEAR(p.LongitudeDegrees(), -123.185333333, 1e-8);
  EXPECT_NEAR(p.LongitudeFrom180West(), 56.814666666, 1e-8);
  EXPECT_EQ(Encoded(p), "$X,4916.4500,S,12311.1200,W");
}

TEST(LatLong, AnOtherHemisphereLetterKeepsTheDerivedValues) {
  LatLong p;
  ASSERT_TRUE(p.Decode(NmeaSentence("$X,4807.038,N,01131.000,E*"), 1));
  EXPECT_FALSE(p.Decode(NmeaSentence("$X,1000.0,,2000.0,x*"), 1));
  EXPECT_DOUBLE_EQ(p.LatitudeRaw(), 1000.0);
  EXPECT_EQ(p.LatitudeHemisphere(), NorthSouth::kUnset);
  EXPECT_NEAR(p.LatitudeDegrees(), 48.1173, 1e-9);
  EXPECT_FALSE(p.IsLatitudeValid());
  EXPECT_FALSE(p.IsLongitudeValid());
  EXPECT_EQ(Encoded(p), "$X,1000.0000,,02000.0000,");
  // Only the first letter of the field counts.
  EXPECT_TRUE(p.Decode(NmeaSentence("$X,1000.0,North,2000.0,East*"), 1));
}

TEST(LatLong, EmptyEncodesAsFourEmptyFieldsAndShowsUnknown) {
  const LatLong empty;
  EXPECT_FALSE(empty.IsValid());
  EXPECT_EQ(Encoded(empty), "$X,,,,");
  EXPECT_EQ(empty.LatitudeText(), "UNKNOWN\xC2\xB0");
  EXPECT_EQ(empty.LongitudeText(), "UNKNOWN\xC2\xB0");
}

TEST(LatLong, DisplayTextsPadDegreesAndMinutes) {
  const std::string deg = "\xC2\xB0";
  struct Case {
    const char* sentence;
    std::string latitude;
    std::string longitude;
    const char* plain;
  };
  const Case cases[] = {
      {"$X,4807.038,N,01131.000,E*", "N 48" + deg + "07.0380'", "E 011" + deg + "31.0000'",
       "Latitude 48  7.03800 North, Longitude 11 31.00000 East"},
      {"$X,0507.5,S,00001.25,W*", "S 05" + deg + "07.5000'", "W 000" + deg + "01.2500'",
       "Latitude 5  7.50000 South, Longitude 0  1.25000 West"},
  };
  LatLong p;  // one object for both: the second decode must replace all of the first
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sentence);
    p.Decode(NmeaSentence(c.sentence), 1);
    EXPECT_EQ(p.LatitudeText(), c.latitude);
    EXPECT_EQ(p.LongitudeText(), c.longitude);
    EXPECT_EQ(p.PlainEnglish(), c.plain);
  }
}

TEST(LatLong, EqualityToleratesLessThanATenThousandthOfAMinute) {
  auto make = [](const char* text) {
    LatLong p;
    p.Decode(NmeaSentence(text), 1);
    return p;
  };
  const LatLong a = make("$X,4807.03800,N,01131.0000,E*");
  EXPECT_EQ(a, make("$X,4807.03809,N,01131.0000,E*"));
  EXPECT_NE(a, make("$X,4807.03812,N,01131.0000,E*"));
  EXPECT_NE(a, make("$X,4807.03800,S,01131.0000,E*"));
  EXPECT_NE(a, make("$X,4807.03800,N,01131.0000,W*"));
  EXPECT_NE(a, make("$X,4807.03800,N,01131.0002,E*"));
  EXPECT_EQ(LatLong(), LatLong());
}

TEST(LatLong, SetDegreesRoundTripsThroughTheNmeaText) {
  LatLong p;
  p.SetDegrees(-33.8568, 151.2153);
  EXPECT_EQ(Encoded(p), "$X,3351.4080,S,15112.9180,E");
  LatLong back;
  back.Decode(NmeaSentence(Encoded(p) + "*"), 1);
  EXPECT_EQ(back, p);
  EXPECT_NEAR(back.LatitudeDegrees(), -33.8568, 1e-9);
}

TEST(LatLong, HugeOrOddRawValuesDoNotOverflow) {
  LatLong p;
  p.Decode(NmeaSentence("$X,1e300,N,nan,E*"), 1);
  EXPECT_EQ(p.LatitudeHemisphere(), NorthSouth::kNorth);
  EXPECT_FALSE(p.PlainEnglish().empty());
  EXPECT_FALSE(p.LatitudeText().empty());
  EXPECT_EQ(p.LongitudeText().substr(0, 2), "E ");
}

}  // namespace
}  // namespace orv
