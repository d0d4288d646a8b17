#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "nmea/rte_sentence.h"

namespace orv {

// A named sequence of waypoint names. Routes refer to waypoints by name only,
// and a name may occur more than once.
class Route {
 public:
  Route() = default;
  Route(std::string_view name, std::vector<std::string> waypointNames,
        RouteType type = RouteType::kComplete);
  // A route as read from RTE sentences: complete, since its last sentence arrived.
  static Route FromRecord(RouteRecord record);
  RouteRecord ToRecord() const;

  const std::string& Name() const { return name_; }
  void SetName(std::string_view name) { name_.assign(name); }

  RouteType Type() const { return type_; }
  void SetType(RouteType type) { type_ = type; }

  const std::vector<std::string>& WaypointNames() const { return waypointNames_; }
  void SetWaypointNames(std::vector<std::string> names);
  size_t Size() const { return waypointNames_.size(); }

  // The entry guidance is heading for, kNoCurrentWaypoint when none; kept on the same
  // entry, or inside the list, as entries go.
  static constexpr int kNoCurrentWaypoint = -1;
  int CurrentWaypointIndex() const { return currentWaypointIndex_; }
  // Accepted only for an entry of the route; otherwise nothing changes (false).
  bool SetCurrentWaypointIndex(int index);
  void ClearCurrentWaypoint() { currentWaypointIndex_ = kNoCurrentWaypoint; }
  // Go Along heads for the first entry, even of a route that has none yet.
  void StartAtFirstWaypoint() { currentWaypointIndex_ = 0; }

  const std::string& PlaceToStore() const { return placeToStore_; }
  void SetPlaceToStore(std::string_view place) { placeToStore_.assign(place); }

  bool IsStoredInDatabase() const { return storedInDatabase_; }
  void SetStoredInDatabase(bool stored) { storedInDatabase_ = stored; }
  bool IsComplete() const { return complete_; }
  void SetComplete(bool complete) { complete_ = complete; }
  // Set when a waypoint of the route moved, was reordered or renamed, so that
  // figures derived from the legs are computed afresh.
  bool LegsChanged() const { return legsChanged_; }
  void SetLegsChanged(bool changed) { legsChanged_ = changed; }

  // Entry commands; false when the entry does not exist or cannot move.
  bool MoveUp(size_t entry);
  bool MoveDown(size_t entry);
  void Invert();
  void Append(std::string_view waypointName);
  bool RemoveAt(size_t entry);
  // Every occurrence; returns how many there were.
  size_t RemoveAll(std::string_view waypointName);
  size_t Rename(std::string_view oldName, std::string_view newName);
  bool Contains(std::string_view waypointName) const;

  // Same waypoint names in the same order (the type is not compared).
  bool HasSameWaypoints(const Route& other) const { return waypointNames_ == other.waypointNames_; }

 private:
  void KeepCurrentInside();

  std::string name_;
  RouteType type_ = RouteType::kComplete;
  std::vector<std::string> waypointNames_;
  int currentWaypointIndex_ = kNoCurrentWaypoint;
  std::string placeToStore_;
  bool storedInDatabase_ = false;
  bool complete_ = true;
  bool legsChanged_ = false;
};

}  // namespace orv
