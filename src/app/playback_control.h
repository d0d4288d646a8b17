#pragma once

#include <array>
#include <cstdint>

namespace orv {

// Replay settings of a track. Kept as plain 32-bit values because they are
// persisted as DWORDs and may come back from the settings store as anything.
inline constexpr int32_t kPlaybackPaused = 1;
inline constexpr int32_t kPlaybackPlaying = 2;
inline constexpr int32_t kPlaybackForward = 1;
inline constexpr int32_t kPlaybackReverse = 2;  // any other direction value moves forward

// Points per step, in the order of the Speed Zoom menu.
inline constexpr std::array<int32_t, 13> kSpeedZooms = {1,  3,  5,  10, 20, 30, 40,
                                                        50, 60, 70, 80, 90, 100};

bool IsSpeedZoom(int32_t value);

struct PlaybackSettings {
  int32_t mode = kPlaybackPaused;
  int32_t direction = kPlaybackForward;
  int32_t speedZoom = 1;
};

// The cursor after moving `step` points forward or backward, kept within
// 0..count-1. An empty track (count 0) keeps the cursor where it is.
int32_t MovePlaybackCursor(int32_t cursor, int32_t count, int32_t step, bool forward);

}  // namespace orv
