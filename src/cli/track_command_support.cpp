#include "cli/track_command_support.h"

#include <charconv>
#include <ostream>

#include "app/navigator.h"
#include "app/track_file_reader.h"
#include "cli/stream_prompter.h"
#include "nmea/fix_time.h"

namespace orv::cli {

LoadStatus LoadTrackFile(const std::string& path, Navigator& navigator, Io& io) {
  StreamPrompter prompter(io.err);
  TrackFileReader reader(navigator, prompter);
  if (!reader.LoadNow(path)) return LoadStatus::kNotOpened;
  return reader.LastOutcome().outOfMemory ? LoadStatus::kOutOfMemory : LoadStatus::kLoaded;
}

void AppendShortest(std::string& out, double value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  out.append(text, result.ptr);
}

void AppendJsonString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out.push_back('"');
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (byte < 0x20 || byte == 0x7f) {
      out += "\\u00";
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0xf]);
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
}

std::string IsoTimeText(const FixTime& time) {
  return time.Format("%Y-%m-%dT%H:%M:%S");
}

bool ParseIntegerArg(std::string_view text, long long minimum, long long maximum,
                     long long& value) {
  long long parsed = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return false;
  if (parsed < minimum || parsed > maximum) return false;
  value = parsed;
  return true;
}

}  // namespace orv::cli
