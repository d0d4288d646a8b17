#include "nmea/fix_time.h"

#include <algorithm>

#include "nmea/number_text.h"

namespace orv {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2;
  const int64_t era = FloorDiv(year, 400);
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int64_t days, int64_t& year, int& month, int& day) {
  days += 719468;
  const int64_t era = FloorDiv(days, 146097);
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t mp = (5 * dayOfYear + 2) / 153;
  day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = yearOfEra + era * 400 + (month <= 2);
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

FixTime FixTime::FromFields(int year, int month, int day, int hour, int minute, int second) {
  // The common case, fields already in range, needs no calendar arithmetic.
  if (month >= 1 && month <= 12 && day >= 1 && day <= 28 && hour >= 0 && hour <= 23 &&
      minute >= 0 && minute <= 59 && second >= 0 && second <= 59 && year >= -100000 &&
      year <= 100000) {
    FixTime t;
    t.year_ = year;
    t.month_ = static_cast<int8_t>(month);
    t.day_ = static_cast<int8_t>(day);
    t.hour_ = static_cast<int8_t>(hour);
    t.minute_ = static_cast<int8_t>(minute);
    t.second_ = static_cast<int8_t>(second);
    if (day <= DaysInMonth(year, month)) return t;
  }
  // mktime rolls months into years first, then everything into a day count.
  int64_t monthIndex = int64_t{month} - 1;
  int64_t fullYear = int64_t{year} + FloorDiv(monthIndex, 12);
  monthIndex -= FloorDiv(monthIndex, 12) * 12;
  const int64_t days =
      DaysFromCivil(fullYear, static_cast<int>(monthIndex) + 1, 1) + (int64_t{day} - 1);
  const int64_t seconds =
      days * kSecondsPerDay + int64_t{hour} * 3600 + int64_t{minute} * 60 + int64_t{second};
  return FromSecondsSinceEpoch(seconds);
}

FixTime FixTime::TimeOfDay(int hour, int minute, int second) {
  return FromFields(kSentinelYear, 1, 1, hour, minute, second);
}

FixTime FixTime::FromSecondsSinceEpoch(int64_t seconds) {
  const int64_t days = FloorDiv(seconds, kSecondsPerDay);
  const int64_t secondOfDay = seconds - days * kSecondsPerDay;
  int64_t year = 0;
  int month = 1;
  int day = 1;
  CivilFromDays(days, year, month, day);
  FixTime t;
  t.year_ = static_cast<int32_t>(std::clamp<int64_t>(year, INT32_MIN, INT32_MAX));
  t.month_ = static_cast<int8_t>(month);
  t.day_ = static_cast<int8_t>(day);
  t.hour_ = static_cast<int8_t>(secondOfDay / 3600);
  t.minute_ = static_cast<int8_t>(secondOfDay / 60 % 60);
  t.second_ = static_cast<int8_t>(secondOfDay % 60);
  return t;
}

bool FixTime::IsTimeOnly() const {
  return year_ == kSentinelYear && month_ == 1 && day_ == 1;
}

bool FixTime::HasSameTimeOfDay(const FixTime& other) const {
  return hour_ == other.hour_ && minute_ == other.minute_ && second_ == other.second_;
}

int64_t FixTime::SecondsSinceEpoch() const {
  return DaysFromCivil(year_, month_, day_) * kSecondsPerDay + hour_ * 3600 + minute_ * 60 +
         second_;
}

std::string FixTime::Format(std::string_view pattern) const {
  std::string out;
  AppendFormatted(out, pattern);
  return out;
}

void FixTime::AppendFormatted(std::string& out, std::string_view pattern) const {
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%' || i + 1 == pattern.size()) {
      out.push_back(pattern[i]);
      continue;
    }
    const char conversion = pattern[++i];
    switch (conversion) {
      case 'H':
        AppendInteger(out, hour_, 2, true);
        break;
      case 'M':
        AppendInteger(out, minute_, 2, true);
        break;
      case 'S':
        AppendInteger(out, second_, 2, true);
        break;
      case 'I':
        AppendInteger(out, hour_ % 12 == 0 ? 12 : hour_ % 12, 2, true);
        break;
      case 'p':
        out.append(hour_ < 12 ? "AM" : "PM");
        break;
      case 'd':
        AppendInteger(out, day_, 2, true);
        break;
      case 'm':
        AppendInteger(out, month_, 2, true);
        break;
      case 'y':
        AppendInteger(out, ((year_ % 100) + 100) % 100, 2, true);
        break;
      case 'Y':
        AppendInteger(out, year_);
        break;
      case '%':
        out.push_back('%');
        break;
      default:
        out.push_back('%');
        out.push_back(conversion);
    }
  }
}

}  // namespace orv
