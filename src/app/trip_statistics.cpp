#include "app/trip_statistics.h"

#include "nav/geodesy.h"

namespace orv {

namespace {

double DistanceNm(const LatLong& from, const LatLong& to) {
  return GeoDistance(from.LatitudeDegrees(), from.LongitudeDegrees(), to.LatitudeDegrees(),
                     to.LongitudeDegrees());
}

bool IsMoving(double knots) {
  return knots > TripStatistics::kMovingSpeedKnots;
}

}  // namespace

bool TripStatistics::AcceptPoint(TrackPoint& point, const TrackPoint& last, AcceptFlags& flags) {
  flags = AcceptFlags();
  // Counted before the filter: a moving receiver whose points are too close
  // together is still moving.
  if (IsMoving(point.SpeedKnots()) && last.Complete()) ++movingCount_;

  double step = DistanceNm(last.Position(), point.Position());
  const bool anchorEmpty = !anchor_.IsValid();
  if (!IsMoving(point.SpeedKnots()) && IsMoving(last.SpeedKnots())) {
    // The first stop after motion is always stored, and stored as a standstill.
    step = kTripStepNm;
    point.SetSpeedKnots(0.0);
  }
  if ((IsMoving(point.SpeedKnots()) && !IsMoving(last.SpeedKnots())) || anchorEmpty) {
    step = kTripStepNm;
  }
  if (step <= kMinimumStepNm) {
    flags.tooClose = true;
    return false;
  }

  // The trip grows only between anchors more than one trip step apart, so
  // jitter around a standing receiver never adds up.
  const double fromAnchor = DistanceNm(anchor_, point.Position());
  if (fromAnchor > kTripStepNm || anchorEmpty) {
    trip_ += fromAnchor;
    anchor_ = point.Position();
  }
  point.SetTripAtPoint(trip_);

  const double altitude = point.AltitudeMsl();
  if (altitude != kUnknown) {
    if (altitude > maxAltitude_) {
      maxAltitude_ = altitude;
      flags.newMaxAltitude = true;
    }
    if (altitude < minAltitude_) {
      minAltitude_ = altitude;
      flags.newMinAltitude = true;
    }
  } else {
    point.SetAltitudeMsl(last.AltitudeMsl());
  }
  lastAltitude_ = point.AltitudeMsl();
  lastCourse_ = point.CourseDegrees();

  if (point.SpeedKnots() > maxSpeed_) {
    maxSpeed_ = point.SpeedKnots();
    flags.newMaxSpeed = true;
  }
  ++acceptedCount_;
  speedSum_ += point.SpeedKnots();
  Widen(point.Position());
  return true;
}

void TripStatistics::NoteExtremeIndices(const AcceptFlags& flags, int32_t index) {
  if (flags.newMaxSpeed) maxSpeedIndex_ = index;
  if (flags.newMaxAltitude) maxAltitudeIndex_ = index;
  if (flags.newMinAltitude) minAltitudeIndex_ = index;
}

double TripStatistics::AverageSpeed() const {
  return acceptedCount_ == 0 ? 0.0 : speedSum_ / acceptedCount_;
}

void TripStatistics::Widen(const LatLong& position) {
  // An unknown part would stretch the box to the sentinel value; leave it out.
  if (position.IsLongitudeValid()) {
    const double longitude = position.LongitudeFrom180West();
    if (longitude < box_.minLongitude) box_.minLongitude = longitude;
    if (longitude > box_.maxLongitude) box_.maxLongitude = longitude;
  }
  if (position.IsLatitudeValid()) {
    const double latitude = position.LatitudeFromPole();
    if (latitude < box_.minLatitude) box_.minLatitude = latitude;
    if (latitude > box_.maxLatitude) box_.maxLatitude = latitude;
  }
}

TripSummary SummarizeTrip(const TripStatistics& statistics, const TrackPoint& first,
                          const TrackPoint& last, const TrackPoint& current,
                          bool courseAndAltitudeFromStatistics) {
  const int64_t firstTime = first.GetFixTime().SecondsSinceEpoch();
  const int64_t lastTime = last.GetFixTime().SecondsSinceEpoch();
  const int64_t currentTime = current.GetFixTime().SecondsSinceEpoch();

  TripSummary summary;
  summary.trip = statistics.Trip();
  summary.tripFromBegin = current.TripAtPoint();
  summary.tripToEnd = summary.trip - summary.tripFromBegin;
  summary.currentSpeed = current.SpeedKnots();
  summary.currentCourse =
      courseAndAltitudeFromStatistics ? statistics.LastCourse() : current.CourseDegrees();
  summary.currentAltitude =
      courseAndAltitudeFromStatistics ? statistics.LastAltitude() : current.AltitudeMsl();
  summary.maxSpeed = statistics.MaxSpeed();
  summary.averageSpeed = statistics.AverageSpeed();
  summary.maxAltitude = statistics.MaxAltitude();
  summary.minAltitude = statistics.MinAltitude();
  summary.elapsedSeconds = lastTime - firstTime;
  summary.movingSeconds = statistics.MovingSeconds();
  summary.stoppedSeconds = summary.elapsedSeconds - summary.movingSeconds;
  summary.secondsFromBegin = currentTime - firstTime;
  summary.secondsToEnd = lastTime - currentTime;
  return summary;
}

}  // namespace orv
