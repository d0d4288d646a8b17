#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace orv {

// The date and time of a fix, to the second, kept as the broken-down UTC
// fields the receiver sent. No time-zone database is consulted: reading a
// sentence must stay cheap, and a time read and written again is unchanged.
// The date 1999-01-01 marks a time of day whose date is not yet known.
class FixTime {
 public:
  static constexpr int kSentinelYear = 1999;

  // 1999-01-01 00:00:00.
  FixTime() = default;

  // Builds a time from fields that may be out of range; they roll over as C
  // mktime rolls them (31 February becomes 2 or 3 March, second 60 the next minute).
  static FixTime FromFields(int year, int month, int day, int hour, int minute, int second);
  // A time of day on the sentinel date.
  static FixTime TimeOfDay(int hour, int minute, int second);
  static FixTime FromSecondsSinceEpoch(int64_t seconds);

  int Year() const { return year_; }
  int Month() const { return month_; }
  int Day() const { return day_; }
  int Hour() const { return hour_; }
  int Minute() const { return minute_; }
  int Second() const { return second_; }

  // True when the date is the sentinel 1999-01-01.
  bool IsTimeOnly() const;
  bool HasSameTimeOfDay(const FixTime& other) const;

  // Seconds since 1970-01-01 00:00:00, the fields read as UTC.
  int64_t SecondsSinceEpoch() const;

  // strftime-like: %H %M %S %I %p %d %m %y %Y %%; other characters are copied.
  std::string Format(std::string_view pattern) const;
  void AppendFormatted(std::string& out, std::string_view pattern) const;

  // Field-wise, year first.
  friend auto operator<=>(const FixTime&, const FixTime&) = default;
  friend bool operator==(const FixTime&, const FixTime&) = default;

 private:
  int32_t year_ = kSentinelYear;
  int8_t month_ = 1;
  int8_t day_ = 1;
  int8_t hour_ = 0;
  int8_t minute_ = 0;
  int8_t second_ = 0;
};

}  // namespace orv
