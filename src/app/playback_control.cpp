#include "app/playback_control.h"

#include <algorithm>

namespace orv {

bool IsSpeedZoom(int32_t value) {
  return std::find(kSpeedZooms.begin(), kSpeedZooms.end(), value) != kSpeedZooms.end();
}

int32_t MovePlaybackCursor(int32_t cursor, int32_t count, int32_t step, bool forward) {
  if (count <= 0) return cursor;
  // 64-bit so that a cursor near the end plus a step cannot overflow.
  const int64_t target = forward ? int64_t{cursor} + step : int64_t{cursor} - step;
  return static_cast<int32_t>(std::clamp<int64_t>(target, 0, count - 1));
}

}  // namespace orv
