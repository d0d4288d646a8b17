#pragma once

#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "app/track.h"

// Builders of well-formed GPS sentences for track tests. Positions are
// given in metres north of a base point at 48 N 11 E, so that the movement
// filter's 5 m and 10 m thresholds can be aimed at directly.
namespace orv::test {

inline std::string Fixed(double value, int decimals) {
  char buffer[64];
  auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return std::string(buffer, result.ptr);
}

// "$" body "*" two hex digits of the XOR checksum, CR LF.
inline std::string NmeaLine(std::string_view body) {
  uint8_t checksum = 0;
  for (char c : body) checksum ^= static_cast<uint8_t>(c);
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string line = "$";
  line += body;
  line += '*';
  line += kHex[checksum >> 4];
  line += kHex[checksum & 0xF];
  line += "\r\n";
  return line;
}

// hhmmss of a second of the day.
inline std::string TimeOfDay(int second) {
  const int parts[] = {second / 3600 % 24, second / 60 % 60, second % 60};
  std::string text;
  for (int part : parts) {
    text += static_cast<char>('0' + part / 10);
    text += static_cast<char>('0' + part % 10);
  }
  return text;
}

struct Fix {
  int second = 12 * 3600;  // of the day
  std::string date = "150310";
  double northMetres = 0.0;
  double knots = 0.0;
  double course = 0.0;
  std::string altitude = "545.4";
  int quality = 1;
  std::string hdop = "0.9";
  int satellitesInUse = 8;
};

// ",4800.000000,N,01100.000000,E" for a point northMetres north of the base.
inline std::string PositionFields(double northMetres) {
  const double minutes = northMetres / 1852.0;  // one minute of latitude is one nautical mile
  return "," + Fixed(4800.0 + minutes, 6) + ",N,01100.000000,E";
}

inline std::string Gga(const Fix& fix) {
  return NmeaLine("GPGGA," + TimeOfDay(fix.second) + PositionFields(fix.northMetres) + "," +
                  std::to_string(fix.quality) + "," + std::to_string(fix.satellitesInUse) + "," +
                  fix.hdop + "," + fix.altitude + ",M,46.9,M,,");
}

inline std::string Rmc(const Fix& fix, char status = 'A') {
  return NmeaLine("GPRMC," + TimeOfDay(fix.second) + "," + status +
                  PositionFields(fix.northMetres) + "," + Fixed(fix.knots, 2) + "," +
                  Fixed(fix.course, 1) + "," + fix.date + ",,");
}

inline std::string Gsa(std::string_view prns = "04,05,,09,12,,,24,,,,") {
  return NmeaLine("GPGSA,A,3," + std::string(prns) + ",2.5,1.3,2.1");
}

inline std::string Gsv(int satellitesInView) {
  return NmeaLine("GPGSV,1,1," + std::to_string(satellitesInView) + ",01,40,083,46");
}

// Feeds lines to a track and fails the test on an out-of-memory report.
inline bool Feed(Track& track, std::string_view line) {
  int error = 0;
  const bool accepted = track.ProcessSentence(line, error);
  EXPECT_EQ(error, 0);
  return accepted;
}

// One full epoch as a receiver sends it: GGA, GSA, RMC.
inline void FeedEpoch(Track& track, const Fix& fix) {
  Feed(track, Gga(fix));
  Feed(track, Gsa());
  Feed(track, Rmc(fix));
}

// `count` stored points, one per second, 100 m apart, at speeds 1, 2, 3 ...
// knots and altitudes 100, 110, 120 ... metres.
inline void FeedMovingPoints(Track& track, int count) {
  Fix fix;
  for (int i = 0; i < count; ++i) {
    fix.second = 12 * 3600 + i;
    fix.northMetres = 100.0 * i;
    fix.knots = 1.0 + i;
    fix.altitude = Fixed(100.0 + 10.0 * i, 1);
    FeedEpoch(track, fix);
  }
}

}  // namespace orv::test
