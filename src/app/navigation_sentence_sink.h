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
};

}  // namespace orv
