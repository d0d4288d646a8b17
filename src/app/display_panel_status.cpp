#include "app/display_panel_status.h"

namespace orv {

namespace {

constexpr int kPlaybackModePlaying = 2;
constexpr int kSatellitesForGoodFix = 4;

}  // namespace

std::string_view PlaybackStatusText(bool destination_active, int playback_mode) {
  if (!destination_active) return "STOPPED";
  return playback_mode == kPlaybackModePlaying ? "PLAYING BACK" : "PAUSED";
}

std::string_view RecordStatusText(bool source_active) {
  return source_active ? "RECORDING" : "STOPPED";
}

ReceiverSymbol ReceiverSymbolFor(int satellites_in_use) {
  if (satellites_in_use <= 0) return ReceiverSymbol::kNoFix;
  if (satellites_in_use < kSatellitesForGoodFix) return ReceiverSymbol::kWeakFix;
  return ReceiverSymbol::kGoodFix;
}

bool ReceiverSymbolBlinks(ReceiverSymbol symbol) {
  return symbol == ReceiverSymbol::kNoFix;
}

}  // namespace orv
