// Throughput of the sentence codec over a whole day of receiver output: per
// line the framing test, the checksum and the dispatch into the six GPS
// sentence objects that fill a working point, as a live track does.
//
// Make the log with
//   /usr/bin/python3 /work/shared/tools/gen_nmea.py 86400 --seed 7 -o /tmp/day.nmea
// and run with ORV_DAY_LOG=/tmp/day.nmea.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "nmea/gga_response.h"
#include "nmea/gll_response.h"
#include "nmea/gsa_response.h"
#include "nmea/gsv_response.h"
#include "nmea/nmea_parser.h"
#include "nmea/rmc_response.h"
#include "nmea/track_point.h"
#include "nmea/vtg_response.h"

namespace {

bool LoadDayLog(std::string& contents, std::string& problem) {
  const char* path = std::getenv("ORV_DAY_LOG");
  if (path == nullptr || *path == '\0') {
    problem =
        "ORV_DAY_LOG is not set; make a log with gen_nmea.py 86400 --seed 7 and name it there";
    return false;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    problem = std::string("cannot open ORV_DAY_LOG file ") + path;
    return false;
  }
  contents.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return true;
}

// The six GPS sentence objects behind one parser, as a track holds them.
struct GpsSentenceSet {
  GpsSentenceSet() {
    parser.AddResponse(gga);
    parser.AddResponse(gll);
    parser.AddResponse(gsa);
    parser.AddResponse(gsv);
    parser.AddResponse(rmc);
    parser.AddResponse(vtg);
    parser.SortResponses();
  }
  orv::GgaResponse gga;
  orv::GllResponse gll;
  orv::GsaResponse gsa;
  orv::GsvResponse gsv;
  orv::RmcResponse rmc;
  orv::VtgResponse vtg;
  orv::NmeaParser parser;
};

void BM_DecodeDayLog(benchmark::State& state) {
  static std::string log;
  static std::string problem;
  static const bool loaded = LoadDayLog(log, problem);
  if (!loaded) {
    state.SkipWithError(problem.c_str());
    return;
  }
  GpsSentenceSet set;
  orv::TrackPoint point;
  int64_t completePoints = 0;
  int64_t lines = 0;
  for (auto _ : state) {
    completePoints = 0;
    lines = 0;
    const char* cursor = log.data();
    const char* end = log.data() + log.size();
    while (cursor < end) {
      const char* newline = static_cast<const char*>(std::memchr(cursor, '\n', end - cursor));
      const char* lineEnd = newline == nullptr ? end : newline + 1;
      const std::string_view line(cursor, static_cast<size_t>(lineEnd - cursor));
      cursor = lineEnd;
      ++lines;
      switch (set.parser.Dispatch(line, point)) {
        case orv::NmeaParser::Outcome::kRejected:
          point.Reset();
          break;
        case orv::NmeaParser::Outcome::kAccepted:
          if (point.Complete()) {
            ++completePoints;
            point.Reset();
          }
          break;
        case orv::NmeaParser::Outcome::kIgnored:
          break;
      }
    }
    benchmark::DoNotOptimize(completePoints);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(log.size()));
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["points"] = static_cast<double>(completePoints);
}
BENCHMARK(BM_DecodeDayLog)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
