#pragma once

#include <cstdint>
#include <limits>

#include "nmea/lat_long.h"
#include "nmea/track_point.h"

namespace orv {

// What AcceptPoint found out about a point besides accepting it.
struct AcceptFlags {
  bool newMaxSpeed = false;
  bool newMaxAltitude = false;
  bool newMinAltitude = false;
  bool tooClose = false;
};

// Extent of the accepted points in the pole-referenced degrees of LatLong
// (latitude from the North pole, longitude eastward from 180 W), so that a
// track crossing the equator or the prime meridian still has min < max.
struct BoundingBox {
  static constexpr double kLargest = std::numeric_limits<double>::max();

  double minLongitude = kLargest;
  double maxLongitude = -kLargest;
  double minLatitude = kLargest;
  double maxLatitude = -kLargest;

  bool IsEmpty() const { return minLatitude > maxLatitude; }
};

// Running statistics of one track and the movement filter that decides
// whether an offered point is stored. Distances are nautical miles, speeds
// knots, altitudes metres. Not thread-safe by itself: the owning Track
// guards it with its lock.
class TripStatistics {
 public:
  static constexpr double kMinimumStepNm = 0.002699784;  // 5 m
  static constexpr double kTripStepNm = 0.005399568;     // 10 m
  static constexpr double kMovingSpeedKnots = 0.1;
  static constexpr double kUnknown = TrackPoint::kUnknown;

  TripStatistics() = default;

  void Clear() { *this = TripStatistics(); }

  // Offers `point` after `last` (the last stored point, or a reset point for
  // an empty track). Returns true when the point is to be stored; may change
  // its speed, altitude and tripAtPoint. Resets `flags` first.
  bool AcceptPoint(TrackPoint& point, const TrackPoint& last, AcceptFlags& flags);

  // Records the index of a stored point for each extreme it set.
  void NoteExtremeIndices(const AcceptFlags& flags, int32_t index);

  double Trip() const { return trip_; }
  const LatLong& Anchor() const { return anchor_; }
  double LastCourse() const { return lastCourse_; }
  double LastAltitude() const { return lastAltitude_; }
  double MaxAltitude() const { return maxAltitude_; }
  int32_t MaxAltitudeIndex() const { return maxAltitudeIndex_; }
  double MinAltitude() const { return minAltitude_; }
  int32_t MinAltitudeIndex() const { return minAltitudeIndex_; }
  double MaxSpeed() const { return maxSpeed_; }
  int32_t MaxSpeedIndex() const { return maxSpeedIndex_; }
  uint32_t AcceptedCount() const { return acceptedCount_; }
  double SpeedSum() const { return speedSum_; }
  uint64_t MovingCount() const { return movingCount_; }
  const BoundingBox& Box() const { return box_; }

  // speedSum / acceptedCount; 0 before any point was accepted.
  double AverageSpeed() const;
  // One moving point is taken as one second of motion.
  int64_t MovingSeconds() const { return static_cast<int64_t>(movingCount_); }

 private:
  void Widen(const LatLong& position);

  double trip_ = 0.0;
  LatLong anchor_;
  double lastCourse_ = kUnknown;
  double lastAltitude_ = kUnknown;
  double maxAltitude_ = -kUnknown;
  int32_t maxAltitudeIndex_ = -1;
  double minAltitude_ = kUnknown;
  int32_t minAltitudeIndex_ = -1;
  double maxSpeed_ = 0.0;
  int32_t maxSpeedIndex_ = -1;
  uint32_t acceptedCount_ = 0;
  double speedSum_ = 0.0;
  uint64_t movingCount_ = 0;
  BoundingBox box_;
};

// The values the statistics page shows, taken together so that they agree
// with each other. Distances nautical miles, speeds knots, altitudes metres,
// times seconds from the fix times of the points.
struct TripSummary {
  double trip = 0.0;           // TRIP
  double tripFromBegin = 0.0;  // TRIPfB: tripAtPoint of the current point
  double tripToEnd = 0.0;      // TRIPtE
  double currentSpeed = 0.0;
  double currentCourse = 0.0;
  double currentAltitude = TrackPoint::kUnknown;
  double maxSpeed = 0.0;                       // MXSPD
  double averageSpeed = 0.0;                   // AVSPD
  double maxAltitude = -TrackPoint::kUnknown;  // ALT(max)
  double minAltitude = TrackPoint::kUnknown;   // ALT(min)
  int64_t elapsedSeconds = 0;                  // ELPSD: last minus first stored point
  int64_t movingSeconds = 0;                   // TTIME
  int64_t stoppedSeconds = 0;                  // STIME: ELPSD - TTIME, may be negative
  int64_t secondsFromBegin = 0;                // TIMEfB
  int64_t secondsToEnd = 0;                    // TIMEtE
};

// Derives the summary from the statistics and the first, last and current
// points (reset points for an empty track). The live track shows the course
// and altitude the statistics last kept; a replayed track those of the point
// under its cursor.
TripSummary SummarizeTrip(const TripStatistics& statistics, const TrackPoint& first,
                          const TrackPoint& last, const TrackPoint& current,
                          bool courseAndAltitudeFromStatistics);

}  // namespace orv
