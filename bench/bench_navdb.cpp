// Loading and saving a large navigation database: 10,000 waypoints and 1,000
// routes of 20 waypoints each, about 25,000 lines. The load reads the file on
// the loader thread and merges every record through the hashed name index;
// it must stay well under 100 ms.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "nav/navigation_database.h"
#include "nav/navigation_database_file.h"

namespace {

constexpr int kWaypoints = 10000;
constexpr int kRoutes = 1000;
constexpr int kRouteLength = 20;

std::string WaypointName(int i) {
  std::string name = "WP";
  const std::string digits = std::to_string(i);
  name.append(5 - digits.size(), '0');
  return name + digits;
}

orv::DatabaseContents LargeDatabase() {
  orv::DatabaseContents contents;
  for (int i = 0; i < kWaypoints; ++i) {
    orv::LatLong position;
    position.SetDegrees(-60.0 + (i % 1200) * 0.1, -170.0 + (i / 1200) * 0.37);
    contents.waypoints.emplace_back(WaypointName(i), position,
                                    "Waypoint number " + std::to_string(i));
  }
  for (int r = 0; r < kRoutes; ++r) {
    std::vector<std::string> names;
    for (int k = 0; k < kRouteLength; ++k)
      names.push_back(WaypointName((r * 7 + k * 13) % kWaypoints));
    contents.routes.emplace_back("ROUTE" + std::to_string(r), std::move(names));
  }
  return contents;
}

// A private folder holding the generated database for the run.
class DatabaseFolder {
 public:
  DatabaseFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "benchnavXXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
    const std::string text = orv::DatabaseFileText(LargeDatabase());
    lines_ = 0;
    for (char c : text) lines_ += c == '\n';
    orv::ReplaceFileContents(orv::DatabaseFilePath(path_), text, "");
  }
  ~DatabaseFolder() { std::filesystem::remove_all(path_); }
  const std::string& Path() const { return path_; }
  int Lines() const { return lines_; }

 private:
  std::string path_;
  int lines_ = 0;
};

void BM_LoadDatabaseFile(benchmark::State& state) {
  DatabaseFolder folder;
  for (auto _ : state) {
    orv::NavigationDatabase database;
    orv::NavigationDatabaseFile file(database, nullptr);
    file.StartLoading(folder.Path());
    file.WaitForLoad();
    if (database.WaypointCount() != kWaypoints || database.RouteCount() != kRoutes) {
      state.SkipWithError("the database did not load completely");
      break;
    }
    benchmark::DoNotOptimize(database.FindWaypoint("WP09999"));
  }
  state.counters["lines"] = folder.Lines();
  state.SetItemsProcessed(state.iterations() * folder.Lines());
}
BENCHMARK(BM_LoadDatabaseFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveDatabaseFile(benchmark::State& state) {
  DatabaseFolder folder;
  orv::NavigationDatabase database;
  orv::NavigationDatabaseFile file(database, nullptr);
  file.StartLoading(folder.Path());
  file.WaitForLoad();
  for (auto _ : state) {
    database.SetSaved(false);
    if (!file.Save()) {
      state.SkipWithError("save failed");
      break;
    }
  }
}
BENCHMARK(BM_SaveDatabaseFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FindWaypointByName(benchmark::State& state) {
  orv::NavigationDatabase database;
  for (orv::Waypoint& waypoint : LargeDatabase().waypoints) database.AppendWaypoint(waypoint);
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(database.FindWaypoint(WaypointName(i)));
    i = (i + 7919) % kWaypoints;
  }
}
BENCHMARK(BM_FindWaypointByName);

}  // namespace

BENCHMARK_MAIN();
