#include "nmea/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace orv {
namespace {

bool IsCSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

size_t SkipSpace(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  return i;
}

void AppendPadded(std::string& out, std::string_view digits, int width, bool zeroPad) {
  const int pad = width - static_cast<int>(digits.size());
  if (pad <= 0) {
    out.append(digits);
    return;
  }
  if (!zeroPad) {
    out.append(static_cast<size_t>(pad), ' ');
    out.append(digits);
    return;
  }
  // Zero padding goes between the sign and the digits, as printf does.
  size_t signLength = (!digits.empty() && digits[0] == '-') ? 1 : 0;
  out.append(digits.substr(0, signLength));
  out.append(static_cast<size_t>(pad), '0');
  out.append(digits.substr(signLength));
}

}  // namespace

void AppendFixed(std::string& out, double value, int precision, int width, bool zeroPad) {
  // The largest double prints with 309 integer digits.
  char buffer[400];
  auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
  if (!std::isfinite(value)) zeroPad = false;
  AppendPadded(out, std::string_view(buffer, static_cast<size_t>(result.ptr - buffer)), width,
               zeroPad);
}

void AppendInteger(std::string& out, int64_t value, int width, bool zeroPad) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  AppendPadded(out, std::string_view(buffer, static_cast<size_t>(result.ptr - buffer)), width,
               zeroPad);
}

double ParseDouble(std::string_view text) {
  size_t i = SkipSpace(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const char* first = text.data() + i;
  const char* last = text.data() + text.size();
  if (first == last || *first == '+' || *first == '-') return 0.0;
  double value = 0.0;
  if (last - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X') &&
      (HexDigitValue(first[2]) >= 0 ||
       (first[2] == '.' && last - first > 3 && HexDigitValue(first[3]) >= 0))) {
    auto result = std::from_chars(first + 2, last, value, std::chars_format::hex);
    if (result.ec == std::errc::result_out_of_range)
      value = std::numeric_limits<double>::infinity();
  } else {
    auto result = std::from_chars(first, last, value);
    if (result.ec == std::errc::invalid_argument) return 0.0;
    if (result.ec == std::errc::result_out_of_range) {
      // strtod gives HUGE_VAL on overflow and 0 on underflow; tell them apart
      // by the exponent's sign.
      std::string_view rest(first, static_cast<size_t>(last - first));
      size_t e = rest.find_first_of("eE");
      bool tiny = e != std::string_view::npos && e + 1 < rest.size() && rest[e + 1] == '-';
      value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
  }
  return negative ? -value : value;
}

int32_t ParseInteger(std::string_view text) {
  size_t i = SkipSpace(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Up to 18 digits cannot overflow 64 bits; longer runs saturate.
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t value = 0;
  size_t digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
    if (digits < 18) {
      value = value * 10 + (text[i] - '0');
    } else {
      value = kLimit;
    }
  }
  value = std::min(value, kLimit);
  if (negative) value = -value;
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

unsigned long ParseHexUnsigned(std::string_view text) {
  size_t i = SkipSpace(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
      HexDigitValue(text[i + 2]) >= 0) {
    i += 2;
  }
  constexpr unsigned long kMax = std::numeric_limits<unsigned long>::max();
  unsigned long value = 0;
  bool overflow = false;
  for (; i < text.size(); ++i) {
    int digit = HexDigitValue(text[i]);
    if (digit < 0) break;
    if (value > (kMax - static_cast<unsigned long>(digit)) / 16) overflow = true;
    value = value * 16 + static_cast<unsigned long>(digit);
  }
  if (overflow) return kMax;
  return negative ? 0UL - value : value;
}

int32_t ParseHexDigit(std::string_view text) {
  return text.size() == 1 ? HexDigitValue(text[0]) : -1;
}

}  // namespace orv
