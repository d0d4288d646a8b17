#include "exchange/kml_coordinates.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace orv {
namespace {

bool IsWhiteSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

bool IsNumberCharacter(char16_t c) {
  return (c >= u'0' && c <= u'9') || c == u'.' || c == u'-' || c == u'+' || c == u'e' || c == u'E';
}

// A plain "[-]digits[.digits]" of up to 15 significant digits: the mantissa
// and the power of ten are exact doubles, so their quotient is the correctly
// rounded value, the one from_chars gives. Anything else is left to it.
std::optional<double> PlainDecimal(std::u16string_view field) {
  size_t i = 0;
  const bool negative = i < field.size() && field[i] == u'-';
  if (negative) ++i;
  uint64_t mantissa = 0;
  int digits = 0;
  int fractionDigits = 0;
  bool point = false;
  for (; i < field.size(); ++i) {
    const char16_t c = field[i];
    if (c >= u'0' && c <= u'9') {
      mantissa = mantissa * 10 + static_cast<uint64_t>(c - u'0');
      ++digits;
      if (point) ++fractionDigits;
    } else if (c == u'.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0 || digits > 15 || (i < field.size() && IsNumberCharacter(field[i]))) {
    return std::nullopt;
  }
  static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const double value = static_cast<double>(mantissa) / kPowersOfTen[fractionDigits];
  return negative ? -value : value;
}

// The decimal number at the start of `field` after optional white space,
// read in the C number format whatever the process locale is.
std::optional<double> LeadingNumber(std::u16string_view field) {
  size_t i = 0;
  while (i < field.size() && IsWhiteSpace(field[i])) ++i;
  if (i < field.size() && field[i] == u'+') ++i;
  if (std::optional<double> plain = PlainDecimal(field.substr(i))) return plain;
  char ascii[64];
  size_t length = 0;
  for (; i < field.size() && length < sizeof ascii; ++i, ++length) {
    const char16_t c = field[i];
    if (!IsNumberCharacter(c)) break;
    ascii[length] = static_cast<char>(c);
  }
  double value = 0.0;
  const auto result = std::from_chars(ascii, ascii + length, value, std::chars_format::general);
  if (result.ec != std::errc() || result.ptr == ascii || !std::isfinite(value)) return std::nullopt;
  return value;
}

bool IsListBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

}  // namespace

LatLong KmlCoordinate::Position() const {
  LatLong position;
  position.SetDegrees(latitude, longitude);
  return position;
}

std::optional<KmlCoordinate> ParseCoordinateDegrees(std::u16string_view tuple) {
  const size_t comma = tuple.find(u',');
  if (comma == std::u16string_view::npos) return std::nullopt;
  const std::optional<double> longitude = LeadingNumber(tuple.substr(0, comma));
  const std::optional<double> latitude = LeadingNumber(tuple.substr(comma + 1));
  if (!longitude || !latitude) return std::nullopt;
  if (std::fabs(*latitude) > 90.0 || std::fabs(*longitude) > 180.0) return std::nullopt;
  return KmlCoordinate{*latitude, *longitude};
}

std::optional<LatLong> ParseCoordinateTuple(std::u16string_view tuple) {
  const std::optional<KmlCoordinate> coordinate = ParseCoordinateDegrees(tuple);
  if (!coordinate) return std::nullopt;
  return coordinate->Position();
}

void ParseCoordinateList(std::u16string_view text, std::vector<KmlCoordinate>& out) {
  const auto take = [&out](std::u16string_view piece) {
    if (const std::optional<KmlCoordinate> coordinate = ParseCoordinateDegrees(piece)) {
      out.push_back(*coordinate);
    }
  };
  size_t begin = 0;
  for (size_t space = text.find(u' '); space != std::u16string_view::npos;
       space = text.find(u' ', begin)) {
    take(text.substr(begin, space - begin));
    begin = space + 1;
  }
  // Other programs end the list without a blank, often with a line end: the
  // last tuple is as much a point as the others.
  std::u16string_view rest = text.substr(begin);
  while (!rest.empty() && IsListBlank(rest.back())) rest.remove_suffix(1);
  while (!rest.empty() && IsListBlank(rest.front())) rest.remove_prefix(1);
  if (!rest.empty()) take(rest);
}

}  // namespace orv
