#pragma once

#include <string_view>

namespace orv {

// Where the Navigator offers sentences under track id 3: the navigation
// database takes waypoint, route and waypoint-description sentences.
class NavigationSentenceSink {
 public:
  virtual ~NavigationSentenceSink() = default;

  // True when the sentence was consumed; such a sentence is not written to a
  // track file. sourceName names where it came from (a file path or a port).
  virtual bool TakeSentence(std::string_view text, std::string_view sourceName) = 0;
  virtual void Clear() = 0;

  // A track file starts loading: what it imports is counted afresh, without
  // emptying the sink, so that the end of the load can tell which lists to open.
  virtual void ResetImportState() {}
  // What was imported since the last reset: 0 nothing, 1 one waypoint, 2 several
  // waypoints, 3 one route, 4 several routes.
  virtual int ImportState() const { return 0; }
};

}  // namespace orv
