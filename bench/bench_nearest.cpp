// Nearest Waypoints over a large database: one distance per waypoint, then the nearest-first
// order with ties in stored order. "All" over 100,000 waypoints should stay under 50 ms;
// the counts of the submenu (10 .. 100) only sort the front part.
//
// The waypoints lie scattered over a region of about 300 km around the current position,
// with every tenth one repeating an earlier position, so that equal distances occur.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "nav/nearest_waypoints.h"

namespace {

std::vector<orv::GeoPoint> ScatteredWaypoints(std::size_t count) {
  std::mt19937 random(42);
  std::uniform_real_distribution<double> latitude(45.0, 48.0);
  std::uniform_real_distribution<double> longitude(6.0, 10.0);
  std::vector<orv::GeoPoint> points;
  points.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (i % 10 == 9) {
      points.push_back(points[i / 2]);
    } else {
      points.push_back({latitude(random), longitude(random)});
    }
  }
  return points;
}

void BM_NearestWaypoints(benchmark::State& state) {
  const auto points = ScatteredWaypoints(static_cast<std::size_t>(state.range(0)));
  const int requested = static_cast<int>(state.range(1));
  const orv::GuidanceFix fix{{46.5, 8.0}, 12.0, 45.0};
  for (auto _ : state) {
    auto rows = orv::FindNearestWaypoints(fix, points, requested);
    benchmark::DoNotOptimize(rows.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

BENCHMARK(BM_NearestWaypoints)
    ->ArgNames({"waypoints", "rows"})
    ->Args({1'000, orv::kAllNearest})
    ->Args({100'000, 10})
    ->Args({100'000, 100})
    ->Args({100'000, orv::kAllNearest})
    ->Args({1'000'000, orv::kAllNearest})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
