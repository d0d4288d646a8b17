#pragma once

#include <string_view>

#include "app/navigation_sentence_sink.h"

namespace orv {

class NavigationDatabase;

// Makes the navigation database the Navigator's track id 3: waypoint, route and
// waypoint-description sentences from files and live sources reach it with the
// name of their source. The database lives in the navigation layer, which knows
// nothing of the Navigator, hence this adapter here.
class NavigationDatabaseSink : public NavigationSentenceSink {
 public:
  explicit NavigationDatabaseSink(NavigationDatabase& database) : database_(database) {}

  // Nothing is taken without a source name.
  bool TakeSentence(std::string_view text, std::string_view sourceName) override;
  // Empties the database (the Navigator's clear of id 3).
  void Clear() override;
  void ResetImportState() override;
  int ImportState() const override;

  NavigationDatabase& Database() { return database_; }

 private:
  NavigationDatabase& database_;
};

}  // namespace orv
