#include "nav/route.h"

#include <algorithm>
#include <utility>

namespace orv {

Route::Route(std::string_view name, std::vector<std::string> waypointNames, RouteType type)
    : name_(name), type_(type), waypointNames_(std::move(waypointNames)) {}

Route Route::FromRecord(RouteRecord record) {
  return Route(record.name, std::move(record.waypointNames), record.type);
}

RouteRecord Route::ToRecord() const {
  return RouteRecord{type_, name_, waypointNames_};
}

void Route::SetWaypointNames(std::vector<std::string> names) {
  waypointNames_ = std::move(names);
  legsChanged_ = true;
  KeepCurrentInside();
}

bool Route::SetCurrentWaypointIndex(int index) {
  if (index < 0 || static_cast<size_t>(index) >= waypointNames_.size()) return false;
  currentWaypointIndex_ = index;
  return true;
}

// When the current entry and all after it are gone, guidance heads for the last one left;
// a route without a current entry keeps having none.
void Route::KeepCurrentInside() {
  const int last = static_cast<int>(waypointNames_.size()) - 1;
  if (currentWaypointIndex_ > last) currentWaypointIndex_ = last;
}

bool Route::MoveUp(size_t entry) {
  if (entry == 0 || entry >= waypointNames_.size()) return false;
  std::swap(waypointNames_[entry - 1], waypointNames_[entry]);
  legsChanged_ = true;
  return true;
}

bool Route::MoveDown(size_t entry) {
  if (entry + 1 >= waypointNames_.size()) return false;
  std::swap(waypointNames_[entry], waypointNames_[entry + 1]);
  legsChanged_ = true;
  return true;
}

void Route::Invert() {
  std::reverse(waypointNames_.begin(), waypointNames_.end());
  legsChanged_ = true;
}

void Route::Append(std::string_view waypointName) {
  waypointNames_.emplace_back(waypointName);
  legsChanged_ = true;
}

bool Route::RemoveAt(size_t entry) {
  if (entry >= waypointNames_.size()) return false;
  waypointNames_.erase(waypointNames_.begin() + static_cast<std::ptrdiff_t>(entry));
  if (currentWaypointIndex_ > static_cast<int>(entry)) --currentWaypointIndex_;
  legsChanged_ = true;
  KeepCurrentInside();
  return true;
}

size_t Route::RemoveAll(std::string_view waypointName) {
  size_t removed = 0;
  for (size_t entry = waypointNames_.size(); entry-- > 0;) {
    if (waypointNames_[entry] == waypointName) {
      RemoveAt(entry);
      ++removed;
    }
  }
  return removed;
}

size_t Route::Rename(std::string_view oldName, std::string_view newName) {
  size_t renamed = 0;
  for (std::string& name : waypointNames_) {
    if (name == oldName) {
      name.assign(newName);
      ++renamed;
    }
  }
  if (renamed > 0) legsChanged_ = true;
  return renamed;
}

bool Route::Contains(std::string_view waypointName) const {
  return std::find(waypointNames_.begin(), waypointNames_.end(), waypointName) !=
         waypointNames_.end();
}

}  // namespace orv
