#pragma once

#include <optional>
#include <span>
#include <vector>

#include "nav/geo_point.h"

namespace orv {

// Reduces samples by pairwise midpoints: (1st, 2nd), (3rd, 4th), ... each become their
// geodesic midpoint, an unpaired last sample is dropped, and the round repeats until one
// point is left. One sample is its own average; none gives no average.
std::optional<GeoPoint> PairwiseMidpointAverage(std::span<const GeoPoint> samples);

// The geodesic midpoint as the averaging defines it: half the distance along the initial
// azimuth from the first point; the first point when the two coincide.
GeoPoint GeodesicMidpoint(const GeoPoint& first, const GeoPoint& second);

// Collects the positions seen while a position is being marked. A receiver standing still
// reports the same place with noise; only moves of more than 5 m add a sample, so standing
// still does not outweigh the rest.
class PositionAverager {
 public:
  static constexpr double kMinimumSpacingNm = 0.002699784;  // 5 m

  // Appends the position when there is no sample yet or it lies more than 5 m from the
  // last one; true when appended.
  bool Offer(const GeoPoint& position);
  void Clear() { samples_.clear(); }

  const std::vector<GeoPoint>& Samples() const { return samples_; }
  std::optional<GeoPoint> Average() const { return PairwiseMidpointAverage(samples_); }

 private:
  std::vector<GeoPoint> samples_;
};

}  // namespace orv
