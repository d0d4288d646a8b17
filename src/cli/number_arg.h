#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orv::cli {

// A whole argument read as a finite decimal number in the C locale's
// syntax; partial numbers, inf and nan are refused.
std::optional<double> ParseFiniteNumber(std::string_view text);

// "%.10f" without the process locale.
std::string FormatFixed10(double value);

}  // namespace orv::cli
