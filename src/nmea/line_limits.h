#pragma once

#include <cstddef>

namespace orv {

// Line lengths of NMEA text, counting "$" and CR LF. Receivers of today send
// longer sentences than NMEA-0183 allows (more decimals, more fields), so
// reading takes up to kMaxReadLineLength; what this program writes stays
// within the standard's kMaxWriteLineLength so that any reader takes it.
inline constexpr size_t kMaxReadLineLength = 128;
inline constexpr size_t kMaxWriteLineLength = 82;

}  // namespace orv
