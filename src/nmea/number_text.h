#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Locale-independent number text for sentences and display strings. The C
// library's printf/atof follow the process locale, which a desktop program
// sets from the user's environment; these never do.
namespace orv {

// Appends value with `precision` decimals ("%.Nf"), right-aligned in `width`
// characters, padded with '0' after the sign when zeroPad is set, else with blanks.
void AppendFixed(std::string& out, double value, int precision, int width = 0,
                 bool zeroPad = false);

// Appends value as "%d" with an optional minimum width and zero padding.
void AppendInteger(std::string& out, int64_t value, int width = 0, bool zeroPad = false);

// The C `atof` rules in the "C" locale: leading white space, optional sign,
// the longest valid prefix (decimal, hex, inf, nan); no number gives 0.0.
double ParseDouble(std::string_view text);

// The C `atoi` rules: leading white space, optional sign, decimal digits up to
// the first other character; no digits give 0. Saturates instead of overflowing.
int32_t ParseInteger(std::string_view text);

// The C `strtoul(text, nullptr, 16)` rules: white space, optional sign,
// optional 0x prefix, hex digits; saturates at the largest value.
unsigned long ParseHexUnsigned(std::string_view text);

// The value of a field holding exactly one hex digit (the system and signal
// ids of NMEA 4.1); -1 for anything else, an empty field included.
int32_t ParseHexDigit(std::string_view text);

}  // namespace orv
