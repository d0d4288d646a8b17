#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <type_traits>
#include <vector>

#include "nmea/track_point.h"

namespace orv {

// The points of a track, stored by value in fixed-size chunks. A day of
// points never has to be copied into a twice-as-large array, so the peak
// memory of a long track stays close to what the points themselves take.
class TrackPointStore {
 public:
  // A chunk is one huge page: a day's track then costs a handful of page
  // faults rather than thousands. Points are constructed as they are
  // appended, so the unused end of the last chunk is never touched.
  static constexpr size_t kChunkBytes = size_t{2} << 20;
  static constexpr size_t kChunkPoints = kChunkBytes / sizeof(TrackPoint);
  static_assert(std::is_trivially_copyable_v<TrackPoint> &&
                    std::is_trivially_destructible_v<TrackPoint>,
                "chunks hold points in raw storage and never run destructors");

  size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }

  const TrackPoint& operator[](size_t index) const {
    return chunks_[index / kChunkPoints].get()[index % kChunkPoints];
  }
  TrackPoint& operator[](size_t index) {
    return chunks_[index / kChunkPoints].get()[index % kChunkPoints];
  }
  const TrackPoint& Back() const { return (*this)[size_ - 1]; }
  TrackPoint& Back() { return (*this)[size_ - 1]; }

  // Throws std::bad_alloc when a new chunk cannot be had; the store is then unchanged.
  void PushBack(const TrackPoint& point);
  // Empties the store and gives its memory back.
  void Clear();

 private:
  struct ChunkFree {
    void operator()(TrackPoint* chunk) const { std::free(chunk); }
  };
  using Chunk = std::unique_ptr<TrackPoint, ChunkFree>;

  std::vector<Chunk> chunks_;
  size_t size_ = 0;
};

}  // namespace orv
