#pragma once

#include <string>
#include <string_view>

#include "cli/cli.h"

namespace orv {
class FixTime;
class Navigator;
}  // namespace orv

namespace orv::cli {

enum class LoadStatus {
  kLoaded,
  kNotOpened,    // the open failure has been printed to io.err
  kOutOfMemory,  // loaded up to the point that could not be stored
};

// Loads `path` into the Recorded track of `navigator` exactly as the program loads a track
// file, on the calling thread; its messages go to io.err.
LoadStatus LoadTrackFile(const std::string& path, Navigator& navigator, Io& io);

// The shortest text that reads back as the same double, in the C number format.
void AppendShortest(std::string& out, double value);

// A JSON string; control characters, quote and backslash escaped, other bytes as they are.
void AppendJsonString(std::string& out, std::string_view text);

// "2024-03-23T12:00:00" (the sentinel date 1999-01-01 marks a time without a date).
std::string IsoTimeText(const FixTime& time);

// A whole decimal argument within [minimum, maximum]; false for anything else.
bool ParseIntegerArg(std::string_view text, long long minimum, long long maximum, long long& value);

}  // namespace orv::cli
