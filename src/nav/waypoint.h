#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "nmea/lat_long.h"

namespace orv {

// A named position of the navigation database. A plain value: the database
// keeps these in its ordered array and hands out copies; changes go through
// the database so that it knows it has unsaved changes.
class Waypoint {
 public:
  static constexpr size_t kDescriptionLimit = 50;
  static constexpr size_t kDescriptionCut = 47;
  // The place to store of records created in the lists.
  static constexpr std::string_view kSelfCreatedPlace = "self-created";

  Waypoint() = default;
  Waypoint(std::string_view name, const LatLong& position, std::string_view description = {});

  const std::string& Name() const { return name_; }
  void SetName(std::string_view name) { name_.assign(name); }

  const LatLong& Position() const { return position_; }
  // A new position invalidates the state bits kept for guidance.
  void SetPosition(const LatLong& position);
  bool HasKnownPosition() const { return position_.IsValid(); }

  const std::string& Description() const { return description_; }
  void SetDescription(std::string_view text) { description_ = FitDescription(text); }

  const std::string& PlaceToStore() const { return placeToStore_; }
  void SetPlaceToStore(std::string_view place) { placeToStore_.assign(place); }

  // Set when the record was read from the database file.
  bool IsStoredInDatabase() const { return storedInDatabase_; }
  void SetStoredInDatabase(bool stored) { storedInDatabase_ = stored; }

  // Two bits owned by guidance; cleared by every position change.
  uint32_t StateBits() const { return stateBits_; }
  void SetStateBits(uint32_t bits) { stateBits_ = bits & 3u; }

  // A description as it is kept: a text longer than 50 characters becomes its
  // first 47 followed by "...", and a "," becomes ";" so that it stays one
  // sentence field. A "*" would start the checksum and a line break would
  // end the line, so "*" also becomes ";" and control characters a blank.
  static std::string FitDescription(std::string_view text);

 private:
  std::string name_;
  LatLong position_;
  std::string description_;
  std::string placeToStore_;
  bool storedInDatabase_ = false;
  uint32_t stateBits_ = 0;
};

}  // namespace orv
