#include "cli/number_arg.h"

#include <charconv>
#include <cmath>

namespace orv::cli {

std::optional<double> ParseFiniteNumber(std::string_view text) {
  // from_chars refuses a leading '+', which people type for north and east.
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
  if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string FormatFixed10(double value) {
  // Enough for the largest finite double in fixed notation.
  char buffer[400];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 10);
  return std::string(buffer, result.ptr);
}

}  // namespace orv::cli
