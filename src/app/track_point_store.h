#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "nmea/track_point.h"

namespace orv {

// The points of a track, stored by value in fixed-size chunks. A day of
// points never has to be copied into a twice-as-large array, so the peak
// memory of a long track stays close to what the points themselves take.
class TrackPointStore {
 public:
  static constexpr size_t kChunkPoints = 4096;

  size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }

  const TrackPoint& operator[](size_t index) const {
    return chunks_[index / kChunkPoints][index % kChunkPoints];
  }
  TrackPoint& operator[](size_t index) {
    return chunks_[index / kChunkPoints][index % kChunkPoints];
  }
  const TrackPoint& Back() const { return (*this)[size_ - 1]; }
  TrackPoint& Back() { return (*this)[size_ - 1]; }

  // Throws std::bad_alloc when a new chunk cannot be had; the store is then unchanged.
  void PushBack(const TrackPoint& point);
  // Empties the store and gives its memory back.
  void Clear();

 private:
  std::vector<std::unique_ptr<TrackPoint[]>> chunks_;
  size_t size_ = 0;
};

}  // namespace orv
