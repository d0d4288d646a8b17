#pragma once

#include <span>
#include <string>

#include "app/display_fields.h"

namespace orv {

// The rows of the track statistics pages in the order they are shown, blanks included.
std::span<const DisplayField> StatsPageLayout();

// "Track Statistics %d" with the page number as the user counts it (first page 1).
std::string StatsPageTitle(int page_number);

// How the layout splits into pages of a given number of rows (taken from the screen
// height). No row fits: no pages.
int StatsPageCount(int rows_per_page);
// The rows of page `page_index` (0-based); empty for a page outside the page count.
std::span<const DisplayField> StatsPageRows(int page_index, int rows_per_page);
// The page a page button or left/right key turns to: one step, kept within the pages.
int TurnStatsPage(int page_index, int step, int rows_per_page);

}  // namespace orv
