#pragma once

#include <array>
#include <cstdint>
#include <limits>

#include "nmea/fix_time.h"
#include "nmea/lat_long.h"
#include "nmea/nmea_codes.h"

namespace orv {

// One fix, gathered from the sentences of one epoch (one second of receiver
// output); also the element type of every track. A plain value.
class TrackPoint {
 public:
  static constexpr double kUnknown = std::numeric_limits<double>::max();
  static constexpr int kPrnSlots = 12;
  using PrnList = std::array<int32_t, kPrnSlots>;

  TrackPoint() = default;

  void Reset() { *this = TrackPoint(); }

  // complete = timeSet and positionSet and rmcSeen and ggaSeen.
  void RecomputeComplete() { complete_ = timeSet_ && positionSet_ && rmcSeen_ && ggaSeen_; }
  void MarkComplete() { complete_ = true; }

  // Stores a fix time and decides whether it opens a new epoch: a dated time
  // fills in the date of a time-only value of the same time of day, a
  // time-only value matching a dated one is kept, anything else resets the
  // point first. Always succeeds.
  bool SetFixTime(const FixTime& newTime);

  // The first position of an epoch wins; later ones of the same epoch are ignored.
  void TakeEpochPosition(const LatLong& position);

  void CopyPrnsFrom(const PrnList& prns) { satellitePrns_ = prns; }
  void CopyPrnsTo(PrnList& prns) const { prns = satellitePrns_; }
  bool HasPrnList() const { return satellitePrns_[0] != -1; }

  bool LastWasRmc() const { return lastWasRmc_; }
  void SetLastWasRmc(bool value) { lastWasRmc_ = value; }
  double TripAtPoint() const { return tripAtPoint_; }
  void SetTripAtPoint(double nauticalMiles) { tripAtPoint_ = nauticalMiles; }
  bool Complete() const { return complete_; }
  void SetComplete(bool value) { complete_ = value; }
  bool TimeSet() const { return timeSet_; }
  void SetTimeSet(bool value) { timeSet_ = value; }
  bool PositionSet() const { return positionSet_; }
  void SetPositionSet(bool value) { positionSet_ = value; }
  bool RmcSeen() const { return rmcSeen_; }
  void SetRmcSeen(bool value) { rmcSeen_ = value; }
  bool GgaSeen() const { return ggaSeen_; }
  void SetGgaSeen(bool value) { ggaSeen_ = value; }
  const FixTime& GetFixTime() const { return fixTime_; }
  // Stores the time as it is, without the epoch rules of SetFixTime.
  void AssignFixTime(const FixTime& time) { fixTime_ = time; }
  const LatLong& Position() const { return position_; }
  // Stores the position and marks it set, whatever the epoch holds.
  void SetPosition(const LatLong& position) {
    position_ = position;
    positionSet_ = true;
  }
  double SpeedKnots() const { return speedKnots_; }
  void SetSpeedKnots(double knots) { speedKnots_ = knots; }
  double CourseDegrees() const { return courseDegrees_; }
  void SetCourseDegrees(double degrees) { courseDegrees_ = degrees; }
  double MagneticVariation() const { return magneticVariation_; }
  void SetMagneticVariation(double degrees) { magneticVariation_ = degrees; }
  EastWest VariationDirection() const { return variationDirection_; }
  void SetVariationDirection(EastWest direction) { variationDirection_ = direction; }
  int32_t SatellitesInUse() const { return satellitesInUse_; }
  void SetSatellitesInUse(int32_t count) { satellitesInUse_ = count; }
  double AltitudeMsl() const { return altitudeMsl_; }
  void SetAltitudeMsl(double metres) { altitudeMsl_ = metres; }
  double GeoidSeparation() const { return geoidSeparation_; }
  void SetGeoidSeparation(double metres) { geoidSeparation_ = metres; }
  const PrnList& SatellitePrns() const { return satellitePrns_; }
  int32_t SatellitesInView() const { return satellitesInView_; }
  void SetSatellitesInView(int32_t count) { satellitesInView_ = count; }

 private:
  bool lastWasRmc_ = false;
  double tripAtPoint_ = 0.0;  // nautical miles
  bool complete_ = false;
  bool timeSet_ = false;
  bool positionSet_ = false;
  bool rmcSeen_ = false;
  bool ggaSeen_ = false;
  FixTime fixTime_;
  LatLong position_;
  double speedKnots_ = 0.0;
  double courseDegrees_ = 0.0;  // true
  double magneticVariation_ = 0.0;
  EastWest variationDirection_ = EastWest::kUnset;
  int32_t satellitesInUse_ = -1;
  double altitudeMsl_ = kUnknown;
  double geoidSeparation_ = kUnknown;
  PrnList satellitePrns_ = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  int32_t satellitesInView_ = -1;
};

}  // namespace orv
