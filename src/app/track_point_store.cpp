#include "app/track_point_store.h"

namespace orv {

void TrackPointStore::PushBack(const TrackPoint& point) {
  if (size_ == chunks_.size() * kChunkPoints) {
    auto chunk = std::make_unique<TrackPoint[]>(kChunkPoints);
    chunks_.push_back(std::move(chunk));
  }
  (*this)[size_] = point;
  ++size_;
}

void TrackPointStore::Clear() {
  chunks_.clear();
  chunks_.shrink_to_fit();
  size_ = 0;
}

}  // namespace orv
