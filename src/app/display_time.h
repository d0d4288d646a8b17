#pragma once

#include <cstdint>
#include <string>

namespace orv {

// A span of seconds as "%D, %H:%M:%S": whole days, then hours, minutes and seconds with two
// digits each ("1, 02:03:04"). A negative span (the stopped time can come out below zero)
// carries one leading minus sign: "-0, 00:00:05".
std::string TimeSpanText(std::int64_t seconds);

// A calendar time broken down into its fields, month 1..12 and day 1..31.
struct CalendarFields {
  int year = 1999;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The time of a point as "%a, %b %d, %Y - %H:%M:%S" with English names whatever the
// process locale is: "Sat, Jan 02, 2010 - 03:04:05". Fields out of range roll over as
// the C library's mktime would (31 February is 2 or 3 March).
std::string PointTimeText(const CalendarFields& time);

}  // namespace orv
