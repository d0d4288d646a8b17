#pragma once

#include <string_view>

namespace orv {

inline constexpr std::string_view kPlaybackControlTitle = "Playback Control";
inline constexpr std::string_view kRecordControlTitle = "Record Control";
inline constexpr std::string_view kCurrentStatusLabel = "Current Status: ";

// Playback state of the shown track as the playback panel names it. The track's
// PlaybackMode only counts while a destination is sending (2 = playing).
std::string_view PlaybackStatusText(bool destination_active, int playback_mode);
// Recording state as the record panel names it.
std::string_view RecordStatusText(bool source_active);

// The receiver picture on the record tab, chosen by the satellites in use of the
// recording track (-1 = unknown).
enum class ReceiverSymbol {
  kNoFix,
  kWeakFix,
  kGoodFix,
};
ReceiverSymbol ReceiverSymbolFor(int satellites_in_use);
// Only the no-fix picture blinks, to draw the eye to a receiver that has lost the sky.
bool ReceiverSymbolBlinks(ReceiverSymbol symbol);

}  // namespace orv
