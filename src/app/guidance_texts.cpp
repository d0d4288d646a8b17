#include "app/guidance_texts.h"

#include <array>
#include <ctime>

namespace orv {
namespace {

constexpr double kFeetPerNauticalMile = 6076.115;
constexpr std::string_view kDegreeSign = "\xC2\xB0";

std::string WithUnit(double value, int precision, std::string_view unit) {
  std::string text = FixedText(value, precision);
  text += ' ';
  text += unit;
  return text;
}

void AppendTwoDigits(std::string& text, int value) {
  if (value < 10) text += '0';
  text += std::to_string(value);
}

bool LocalTime(std::int64_t seconds, std::tm& out) {
  const auto time = static_cast<std::time_t>(seconds);
  return localtime_r(&time, &out) != nullptr;
}

bool SameDate(const std::tm& a, const std::tm& b) {
  return a.tm_year == b.tm_year && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday;
}

// The local date after `today`; noon keeps a daylight-saving change from moving the day.
bool NextDate(const std::tm& today, std::tm& tomorrow) {
  std::tm noon = today;
  noon.tm_mday += 1;
  noon.tm_hour = 12;
  noon.tm_min = noon.tm_sec = 0;
  noon.tm_isdst = -1;
  const std::time_t next = std::mktime(&noon);
  return next != static_cast<std::time_t>(-1) && localtime_r(&next, &tomorrow) != nullptr;
}

void AppendClock(std::string& text, const std::tm& time) {
  AppendTwoDigits(text, time.tm_hour);
  text += ':';
  AppendTwoDigits(text, time.tm_min);
}

}  // namespace

std::string GuidanceDistanceText(double nautical_miles, DistanceUnits units) {
  const double in_units = DistanceInUnits(nautical_miles, units);
  switch (units) {
    case DistanceUnits::kKilometers:
      return in_units < 1.0 ? WithUnit(in_units * 1000.0, 0, "m") : WithUnit(in_units, 1, "km");
    case DistanceUnits::kStatuteMiles:
      return in_units < 1.0 ? WithUnit(nautical_miles * kFeetPerNauticalMile, 0, "ft")
                            : WithUnit(in_units, 1, "mi");
    case DistanceUnits::kNauticalMiles:
      break;
  }
  return in_units < 1.0 ? WithUnit(nautical_miles * kFeetPerNauticalMile, 0, "ft")
                        : WithUnit(in_units, 1, "nmi");
}

std::string RouteDistanceText(double nautical_miles, DistanceUnits units) {
  const double in_units = DistanceInUnits(nautical_miles, units);
  switch (units) {
    case DistanceUnits::kKilometers:
      return WithUnit(in_units, 1, "km");
    case DistanceUnits::kStatuteMiles:
      return WithUnit(in_units, 1, "mi");
    case DistanceUnits::kNauticalMiles:
      break;
  }
  return WithUnit(in_units, 1, "nmi");
}

std::string EnrouteTimeText(std::int64_t seconds) {
  if (seconds < 0) seconds = 0;
  const std::int64_t minutes = seconds / 60;
  std::string text = std::to_string(minutes / (24 * 60));
  text += ", ";
  AppendTwoDigits(text, static_cast<int>(minutes / 60 % 24));
  text += ':';
  AppendTwoDigits(text, static_cast<int>(minutes % 60));
  return text;
}

std::string ArrivalTimeText(std::int64_t eta_seconds, std::int64_t now_seconds) {
  static constexpr std::array<std::string_view, 12> kMonths = {
      "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm arrival{};
  std::tm today{};
  if (!LocalTime(eta_seconds, arrival) || !LocalTime(now_seconds, today)) {
    return std::string(kRemoteFutureText);
  }
  std::string text;
  std::tm tomorrow{};
  if (SameDate(arrival, today)) {
    // the clock alone
  } else if (NextDate(today, tomorrow) && SameDate(arrival, tomorrow)) {
    text += kTomorrowPrefix;
  } else {
    text += kMonths[static_cast<std::size_t>(arrival.tm_mon) % kMonths.size()];
    text += ' ';
    AppendTwoDigits(text, arrival.tm_mday);
    text += ", ";
  }
  AppendClock(text, arrival);
  return text;
}

std::string GuidanceBearingText(double bearing) {
  if (!(bearing >= 0.0 && bearing < 360.0)) return "Unknown";
  return FixedText(bearing, 1) + std::string(kDegreeSign);
}

GuidanceTexts MakeGuidanceTexts(const GuidanceFigures& figures, DistanceUnits units,
                                std::int64_t now_seconds) {
  GuidanceTexts texts;
  texts.bearing = GuidanceBearingText(figures.bearing);
  texts.distance = GuidanceDistanceText(figures.distance_nm, units);
  switch (figures.estimate) {
    case ArrivalEstimate::kAimAchieved:
      texts.enroute_time = texts.arrival_time = texts.route_distance = kAimAchievedText;
      break;
    case ArrivalEstimate::kEternity:
      texts.enroute_time = kEternityText;
      texts.arrival_time = kRemoteFutureText;
      texts.route_distance = RouteDistanceText(figures.route_distance_nm, units);
      break;
    case ArrivalEstimate::kTimed:
      texts.enroute_time = EnrouteTimeText(figures.ete_seconds);
      texts.arrival_time = ArrivalTimeText(figures.eta_seconds, now_seconds);
      texts.route_distance = RouteDistanceText(figures.route_distance_nm, units);
      break;
  }
  for (const FollowingWaypoint& waypoint : figures.following) {
    texts.following.push_back(
        {waypoint.name, waypoint.description,
         waypoint.distance_nm ? GuidanceDistanceText(*waypoint.distance_nm, units) : ""});
  }
  return texts;
}

}  // namespace orv
