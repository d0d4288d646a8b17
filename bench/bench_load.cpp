// Loading a whole track file into the Recorded track exactly as the program does (line
// reader, database offer, sentence processing, statistics), on the calling thread.
// Set ORV_DAY_LOG to a log, e.g. one made by
//   /usr/bin/python3 ../shared/tools/gen_nmea.py 86400 --seed 7 -o /tmp/day.nmea
// The figure to watch is bytes per second; bench/load_vs_gpsbabel.sh sets it against
// gpsbabel reading the same file.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/navigator.h"
#include "app/track_file_reader.h"
#include "platform/scripted_prompter.h"

namespace {

void BM_LoadDayLog(benchmark::State& state) {
  const char* path = std::getenv("ORV_DAY_LOG");
  if (path == nullptr || *path == '\0') {
    state.SkipWithError("ORV_DAY_LOG is not set");
    return;
  }
  std::error_code error;
  const auto bytes = std::filesystem::file_size(path, error);
  if (error) {
    state.SkipWithError("ORV_DAY_LOG cannot be read");
    return;
  }
  orv::Navigator navigator;
  orv::ScriptedPrompter prompter;
  orv::TrackFileReader reader(navigator, prompter);
  for (auto _ : state) {
    if (!reader.LoadNow(path)) {
      state.SkipWithError("the file could not be loaded");
      return;
    }
    benchmark::DoNotOptimize(navigator.Recorded().PointCount());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["points"] = static_cast<double>(navigator.Recorded().PointCount());
}
BENCHMARK(BM_LoadDayLog)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
