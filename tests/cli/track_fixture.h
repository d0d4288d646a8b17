#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <sstream>
#include <string>

#include "cli/cli.h"

namespace orv::cli::testing {

struct Result {
  int status;
  std::string out;
  std::string err;
};

// Calls `run(io)` with `input` as the terminal and collects what it printed.
template <typename Runner>
Result Capture(Runner&& run, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out, err;
  Io io{in, out, err};
  const int status = run(io);
  return {status, out.str(), err.str()};
}

inline Result RunCli(const Args& args, const std::string& input = "") {
  return Capture([&args](Io& io) { return Run(args, io); }, input);
}

// Checks a run against its exit status, its exact stdout and a part of its stderr
// (none at all when `err_contains` is empty).
inline void ExpectOutcome(const Result& r, int status, const std::string& out,
                          const std::string& err_contains) {
  EXPECT_EQ(r.status, status);
  EXPECT_EQ(r.out, out);
  if (err_contains.empty()) {
    EXPECT_EQ(r.err, "");
  } else {
    EXPECT_NE(r.err.find(err_contains), std::string::npos) << r.err;
  }
}

// A row of a command table: the command line and what it must give.
struct CliCase {
  const char* legend;
  Args args;
  int status;
  std::string out;           // exact stdout
  std::string err_contains;  // empty: stderr must be empty
};

inline void ExpectCliCase(const CliCase& c) {
  SCOPED_TRACE(c.legend);
  ExpectOutcome(RunCli(c.args), c.status, c.out, c.err_contains);
}

// "$BODY*HH\r\n" with the checksum of BODY.
inline std::string Sentence(const std::string& body) {
  unsigned sum = 0;
  for (char c : body) sum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
  return "$" + body + tail;
}

struct Epoch {
  const char* speed_knots;
  const char* altitude_m;
};

// One GGA, GSA and RMC per second from 12:00:00 on 2024-03-23, heading north, each fix
// 0.01' of latitude (about 18.5 m) beyond the last, so every epoch is stored.
inline std::string Drive(std::span<const Epoch> epochs) {
  std::string text;
  for (size_t s = 0; s < epochs.size(); ++s) {
    const unsigned second = static_cast<unsigned>(s % 60), hundredths = 700u + second;
    char time[32], lat[32];
    std::snprintf(time, sizeof time, "1200%02u", second);
    std::snprintf(lat, sizeof lat, "48%02u.%02u00", hundredths / 100, hundredths % 100);
    const std::string t = time, la = lat;
    text += Sentence("GPGGA," + t + "," + la + ",N,01131.0000,E,1,08,0.9," + epochs[s].altitude_m +
                     ",M,46.9,M,,");
    text += Sentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1");
    text += Sentence("GPRMC," + t + ",A," + la + ",N,01131.0000,E," + epochs[s].speed_knots +
                     ",000.0,230324,003.1,W");
  }
  return text;
}

// Speeds up to 30 kn and down to a stop; altitudes with a peak at the second point and a
// low at the third.
inline constexpr Epoch kFourPointTrip[] = {
    {"10.0", "100.0"}, {"30.0", "300.0"}, {"20.0", "50.0"}, {"0.0", "200.0"}};

// A file in a private temporary folder, removed with the object.
class TempFile {
 public:
  TempFile(const std::string& name, const std::string& bytes) {
    static int serial = 0;
    dir_ = std::filesystem::temp_directory_path() /
           ("orv_cli_" + std::to_string(getpid()) + "_" + std::to_string(++serial));
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / name).string();
    std::ofstream(path_, std::ios::binary) << bytes;
  }
  ~TempFile() { std::filesystem::remove_all(dir_); }
  const std::string& path() const { return path_; }

 private:
  std::filesystem::path dir_;
  std::string path_;
};

}  // namespace orv::cli::testing
