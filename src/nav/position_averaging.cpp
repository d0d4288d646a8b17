#include "nav/position_averaging.h"

#include "nav/geodesy.h"

namespace orv {

GeoPoint GeodesicMidpoint(const GeoPoint& first, const GeoPoint& second) {
  const double distance =
      GeoDistance(first.latitude, first.longitude, second.latitude, second.longitude);
  if (!(distance > 0.0)) return first;
  const double azimuth =
      GeoAzimuth(first.latitude, first.longitude, second.latitude, second.longitude);
  GeoPoint middle;
  GeoDestination(first.latitude, first.longitude, distance / 2.0, azimuth, middle.latitude,
                 middle.longitude);
  // The projection does not wrap; a pair on both sides of the date line would otherwise
  // average to a longitude past 180.
  if (middle.longitude > 180.0) middle.longitude -= 360.0;
  if (middle.longitude < -180.0) middle.longitude += 360.0;
  return middle;
}

std::optional<GeoPoint> PairwiseMidpointAverage(std::span<const GeoPoint> samples) {
  if (samples.empty()) return std::nullopt;
  if (samples.size() == 1) return samples.front();
  std::vector<GeoPoint> round(samples.begin(), samples.end());
  while (round.size() >= 2) {
    std::vector<GeoPoint> next;
    next.reserve(round.size() / 2);
    for (std::size_t i = 0; i + 1 < round.size(); i += 2) {
      next.push_back(GeodesicMidpoint(round[i], round[i + 1]));
    }
    round = std::move(next);
  }
  return round.front();
}

bool PositionAverager::Offer(const GeoPoint& position) {
  if (!samples_.empty()) {
    const GeoPoint& last = samples_.back();
    const double moved =
        GeoDistance(last.latitude, last.longitude, position.latitude, position.longitude);
    if (!(moved > kMinimumSpacingNm)) return false;
  }
  samples_.push_back(position);
  return true;
}

}  // namespace orv
