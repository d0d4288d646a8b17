#include "app/display_stats_page.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace orv {

namespace {

using enum DisplayField;

constexpr std::array<DisplayField, 24> kLayout = {
    kTrip,          kTripFromBegin, kTripToEnd, kBlank,       kSpeed,      kMaxSpeed,
    kAverageSpeed,  kBlank,         kTrack,     kBlank,       kAltitude,   kMaxAltitude,
    kMinAltitude,   kBlank,         kLatitude,  kLongitude,   kBlank,      kPointTime,
    kTimeFromBegin, kTimeToEnd,     kBlank,     kElapsedTime, kMovingTime, kStoppedTime,
};

}  // namespace

std::span<const DisplayField> StatsPageLayout() {
  return kLayout;
}

std::string StatsPageTitle(int page_number) {
  return "Track Statistics " + std::to_string(page_number);
}

int StatsPageCount(int rows_per_page) {
  if (rows_per_page < 1) return 0;
  const int rows = static_cast<int>(kLayout.size());
  return rows / rows_per_page + (rows % rows_per_page != 0 ? 1 : 0);
}

std::span<const DisplayField> StatsPageRows(int page_index, int rows_per_page) {
  if (page_index < 0 || page_index >= StatsPageCount(rows_per_page)) return {};
  const std::size_t first = static_cast<std::size_t>(page_index) * rows_per_page;
  const std::size_t count = std::min<std::size_t>(rows_per_page, kLayout.size() - first);
  return std::span<const DisplayField>(kLayout).subspan(first, count);
}

int TurnStatsPage(int page_index, int step, int rows_per_page) {
  const int page_count = StatsPageCount(rows_per_page);
  if (page_count == 0) return 0;
  const long long wanted = static_cast<long long>(page_index) + (step > 0 ? 1 : step < 0 ? -1 : 0);
  return static_cast<int>(std::clamp<long long>(wanted, 0, page_count - 1));
}

}  // namespace orv
