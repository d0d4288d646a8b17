#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// One class of the speed colouring shared by the track map and the KML
// export. The bound is in knots although the ids speak of km/h: the ids are
// KML style names users already have in their documents.
struct SpeedClass {
  std::string_view style_id;
  unsigned upper_bound_knots;
  uint32_t rgb;  // red in the low byte, blue in the third byte
};

inline constexpr size_t kSpeedClassCount = 29;

// The fixed table, slowest class first.
const std::array<SpeedClass, kSpeedClassCount>& SpeedClasses();

// KML colour text: "ff" (opaque), then blue, green, red as lower-case hex.
std::string KmlColorText(const SpeedClass& speed_class);

// The track map's rule: the first row whose bound is greater than the
// speed, else the last row (a speed of exactly 3 knots is row 1).
size_t SpeedClassForMap(double speed_knots);

// The KML export's rule: row 0 up to and including 3 knots, otherwise the
// row whose bound is the first one not below the speed (3 knots is row 0),
// the last row above every bound. A NaN speed is in no row.
std::optional<size_t> SpeedClassForKml(double speed_knots);

}  // namespace orv
