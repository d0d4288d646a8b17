// Feeding a day of receiver output (read into memory first) through a Track:
// sentence dispatch, epoch assembly, movement filter and point storage, with
// the track's lock taken per sentence as the live recorder does. Also counts
// heap allocations per sentence, which must stay at zero apart from the
// occasional chunk of points.
// Set ORV_DAY_LOG to a log, e.g. one made by
//   /usr/bin/python3 ../shared/tools/gen_nmea.py 86400 --seed 7 -o /tmp/day.nmea
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/track.h"

namespace {

std::atomic<long> allocationCount{0};

}  // namespace

// GCC cannot see that these replace the global pair and warns about the free.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  allocationCount.fetch_add(1, std::memory_order_relaxed);
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}

namespace {

// The log's lines, each with its line end, as views into one text.
struct DayLog {
  std::string text;
  std::vector<std::string_view> lines;
};

const DayLog* LoadDayLog() {
  static DayLog log;
  static bool loaded = false;
  if (loaded) return log.lines.empty() ? nullptr : &log;
  loaded = true;
  const char* path = std::getenv("ORV_DAY_LOG");
  if (path == nullptr || *path == '\0') return nullptr;
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  log.text = content.str();
  size_t start = 0;
  while (start < log.text.size()) {
    size_t end = log.text.find('\n', start);
    end = end == std::string::npos ? log.text.size() : end + 1;
    log.lines.emplace_back(log.text.data() + start, end - start);
    start = end;
  }
  return log.lines.empty() ? nullptr : &log;
}

void BM_TrackProcessDayLog(benchmark::State& state) {
  const DayLog* log = LoadDayLog();
  if (log == nullptr) {
    state.SkipWithError("ORV_DAY_LOG is not set or empty");
    return;
  }
  orv::Track track(orv::TrackKind::kRecorded);
  long allocations = 0;
  for (auto _ : state) {
    state.PauseTiming();
    track.Clear();
    state.ResumeTiming();
    const long before = allocationCount.load();
    int error = 0;
    for (std::string_view line : log->lines) track.ProcessSentence(line, error);
    allocations = allocationCount.load() - before;
    benchmark::DoNotOptimize(track.PointCount());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * log->lines.size()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * log->text.size()));
  state.counters["points"] = track.PointCount();
  state.counters["allocations"] = static_cast<double>(allocations);
  state.counters["chunks"] =
      static_cast<double>((track.PointCount() + orv::TrackPointStore::kChunkPoints - 1) /
                          orv::TrackPointStore::kChunkPoints);
}
BENCHMARK(BM_TrackProcessDayLog)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
