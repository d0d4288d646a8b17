#include "app/display_panel_status.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(PanelStatus, PlaybackNeedsAnActiveDestination) {
  EXPECT_EQ(PlaybackStatusText(true, 2), "PLAYING BACK");
  EXPECT_EQ(PlaybackStatusText(true, 1), "PAUSED");
  EXPECT_EQ(PlaybackStatusText(true, 0), "PAUSED");
  EXPECT_EQ(PlaybackStatusText(false, 2), "STOPPED");
  EXPECT_EQ(PlaybackStatusText(false, 1), "STOPPED");
}

TEST(PanelStatus, Recording) {
  EXPECT_EQ(RecordStatusText(true), "RECORDING");
  EXPECT_EQ(RecordStatusText(false), "STOPPED");
}

struct SymbolCase {
  int in_use;
  ReceiverSymbol symbol;
  bool blinks;
};

TEST(PanelStatus, ReceiverSymbolFollowsSatellitesInUse) {
  constexpr SymbolCase kCases[] = {
      {-1, ReceiverSymbol::kNoFix, true},   {0, ReceiverSymbol::kNoFix, true},
      {1, ReceiverSymbol::kWeakFix, false}, {3, ReceiverSymbol::kWeakFix, false},
      {4, ReceiverSymbol::kGoodFix, false}, {12, ReceiverSymbol::kGoodFix, false},
  };
  for (const SymbolCase& c : kCases) {
    EXPECT_EQ(ReceiverSymbolFor(c.in_use), c.symbol) << c.in_use;
    EXPECT_EQ(ReceiverSymbolBlinks(ReceiverSymbolFor(c.in_use)), c.blinks) << c.in_use;
  }
}

}  // namespace
}  // namespace orv
