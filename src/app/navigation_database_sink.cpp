#include "app/navigation_database_sink.h"

#include "nav/navigation_database.h"

namespace orv {

bool NavigationDatabaseSink::TakeSentence(std::string_view text, std::string_view sourceName) {
  // A live source without a port name has nowhere to be named as the records' place to
  // store; such sentences are not taken, and a recorder writes them to its file.
  if (sourceName.empty()) return false;
  return database_.TakeSentence(text, sourceName);
}

void NavigationDatabaseSink::Clear() {
  database_.Clear();
}

void NavigationDatabaseSink::ResetImportState() {
  database_.ResetImportResult();
}

int NavigationDatabaseSink::ImportState() const {
  return static_cast<int>(database_.GetImportResult());
}

}  // namespace orv
