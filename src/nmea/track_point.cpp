#include "nmea/track_point.h"

namespace orv {

bool TrackPoint::SetFixTime(const FixTime& newTime) {
  if (!timeSet_) {
    fixTime_ = newTime;
    timeSet_ = true;
    return true;
  }
  const bool sameTimeOfDay = newTime.HasSameTimeOfDay(fixTime_);
  if (fixTime_.IsTimeOnly()) {
    if (!newTime.IsTimeOnly() && sameTimeOfDay) {
      fixTime_ = newTime;
      return true;
    }
  } else if (newTime.IsTimeOnly() && sameTimeOfDay) {
    return true;
  }
  // A different time of day, or a second dated time: a new epoch begins.
  Reset();
  fixTime_ = newTime;
  timeSet_ = true;
  return true;
}

void TrackPoint::TakeEpochPosition(const LatLong& position) {
  if (positionSet_) return;
  position_ = position;
  positionSet_ = true;
}

}  // namespace orv
