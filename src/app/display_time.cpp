#include "app/display_time.h"

#include <array>
#include <string_view>

namespace orv {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

void AppendTwoDigits(std::string& text, std::int64_t value) {
  if (value < 10) text += '0';
  text += std::to_string(value);
}

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
  std::int64_t quotient = value / divisor;
  if ((value % divisor != 0) && ((value < 0) != (divisor < 0))) --quotient;
  return quotient;
}

// Days since 1970-01-01 of a proleptic Gregorian date; the day may lie outside its month.
std::int64_t DaysFromCivil(std::int64_t year, int month, std::int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = FloorDiv(year, 400);
  const std::int64_t year_of_era = year - era * 400;
  const std::int64_t month_from_march = month > 2 ? month - 3 : month + 9;
  const std::int64_t day_of_year = (153 * month_from_march + 2) / 5;
  const std::int64_t day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468 + (day - 1);
}

struct CivilDate {
  std::int64_t year;
  int month;
  int day;
};

CivilDate CivilFromDays(std::int64_t days) {
  days += 719468;
  const std::int64_t era = FloorDiv(days, 146097);
  const std::int64_t day_of_era = days - era * 146097;
  const std::int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const std::int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const std::int64_t month_from_march = (5 * day_of_year + 2) / 153;
  const int day = static_cast<int>(day_of_year - (153 * month_from_march + 2) / 5 + 1);
  const int month =
      static_cast<int>(month_from_march < 10 ? month_from_march + 3 : month_from_march - 9);
  const std::int64_t year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);
  return {year, month, day};
}

}  // namespace

std::string TimeSpanText(std::int64_t seconds) {
  // Unsigned magnitude so that the most negative value has one too.
  const std::uint64_t magnitude = seconds < 0
                                      ? std::uint64_t{0} - static_cast<std::uint64_t>(seconds)
                                      : static_cast<std::uint64_t>(seconds);
  std::string text;
  if (seconds < 0) text += '-';
  text += std::to_string(magnitude / kSecondsPerDay);
  text += ", ";
  const std::uint64_t of_day = magnitude % kSecondsPerDay;
  AppendTwoDigits(text, static_cast<std::int64_t>(of_day / 3600));
  text += ':';
  AppendTwoDigits(text, static_cast<std::int64_t>(of_day / 60 % 60));
  text += ':';
  AppendTwoDigits(text, static_cast<std::int64_t>(of_day % 60));
  return text;
}

std::string PointTimeText(const CalendarFields& time) {
  static constexpr std::array<std::string_view, 7> kWeekdays = {"Thu", "Fri", "Sat", "Sun",
                                                                "Mon", "Tue", "Wed"};
  static constexpr std::array<std::string_view, 12> kMonths = {
      "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

  // Normalise as mktime does: months into years first, then everything through a count
  // of seconds since 1970-01-01 (a Thursday).
  const std::int64_t month_index = static_cast<std::int64_t>(time.month) - 1;
  const std::int64_t year = time.year + FloorDiv(month_index, 12);
  const int month = static_cast<int>(month_index - FloorDiv(month_index, 12) * 12) + 1;
  const std::int64_t total_seconds = DaysFromCivil(year, month, time.day) * kSecondsPerDay +
                                     std::int64_t{time.hour} * 3600 +
                                     std::int64_t{time.minute} * 60 + time.second;
  const std::int64_t days = FloorDiv(total_seconds, kSecondsPerDay);
  const std::int64_t of_day = total_seconds - days * kSecondsPerDay;
  const CivilDate date = CivilFromDays(days);
  const std::int64_t weekday = days - FloorDiv(days, 7) * 7;

  std::string text(kWeekdays[static_cast<std::size_t>(weekday)]);
  text += ", ";
  text += kMonths[static_cast<std::size_t>(date.month - 1)];
  text += ' ';
  AppendTwoDigits(text, date.day);
  text += ", ";
  text += std::to_string(date.year);
  text += " - ";
  AppendTwoDigits(text, of_day / 3600);
  text += ':';
  AppendTwoDigits(text, of_day / 60 % 60);
  text += ':';
  AppendTwoDigits(text, of_day % 60);
  return text;
}

}  // namespace orv
