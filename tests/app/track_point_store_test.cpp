#include "app/track_point_store.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TrackPoint Numbered(size_t n) {
  TrackPoint point;
  point.SetTripAtPoint(static_cast<double>(n));
  return point;
}

// Points on both sides of every chunk boundary come back as they went in,
// and a cleared store starts over.
TEST(TrackPointStore, KeepsEveryPointAcrossChunkBoundaries) {
  constexpr size_t kCount = TrackPointStore::kChunkPoints * 2 + TrackPointStore::kChunkPoints / 2;
  TrackPointStore store;
  for (int round = 0; round < 2; ++round) {
    for (size_t i = 0; i < kCount; ++i) store.PushBack(Numbered(i));
    ASSERT_EQ(store.Size(), kCount);
    for (size_t i : {size_t{0}, TrackPointStore::kChunkPoints - 1, TrackPointStore::kChunkPoints,
                     TrackPointStore::kChunkPoints * 2, kCount - 1}) {
      EXPECT_EQ(store[i].TripAtPoint(), static_cast<double>(i)) << i;
    }
    for (size_t i = 0; i < kCount; ++i) ASSERT_EQ(store[i].TripAtPoint(), static_cast<double>(i));
    EXPECT_EQ(store.Back().TripAtPoint(), static_cast<double>(kCount - 1));
    store.Back().SetTripAtPoint(-1.0);
    EXPECT_EQ(store[kCount - 1].TripAtPoint(), -1.0);
    store.Clear();
    EXPECT_TRUE(store.Empty());
  }
}

}  // namespace
}  // namespace orv
