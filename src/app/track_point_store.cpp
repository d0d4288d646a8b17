#include "app/track_point_store.h"

#include <new>

#include "platform/large_buffer.h"

namespace orv {

void TrackPointStore::PushBack(const TrackPoint& point) {
  const size_t slot = size_ % kChunkPoints;
  if (size_ == chunks_.size() * kChunkPoints) {
    // Reserved first, so that a failure leaves the store as it was.
    chunks_.reserve(chunks_.size() + 1);
    void* memory = std::aligned_alloc(kChunkBytes, kChunkBytes);
    if (memory == nullptr) throw std::bad_alloc();
    AdviseLargeBuffer(memory, kChunkBytes);
    chunks_.emplace_back(static_cast<TrackPoint*>(memory));
  }
  ::new (chunks_.back().get() + slot) TrackPoint(point);
  ++size_;
}

void TrackPointStore::Clear() {
  chunks_.clear();
  chunks_.shrink_to_fit();
  size_ = 0;
}

}  // namespace orv
