#pragma once

#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli.h"
#include "cli/db_prompter.h"
#include "nav/coordinate_format.h"

namespace orv {
class NavigationDatabase;
class SettingsStore;
}  // namespace orv

namespace orv::cli {

// An option a database subcommand takes, with the number of values after it.
struct OptionRule {
  std::string_view name;
  int values;
};

// The arguments of one subcommand: words in order, and the options given with their values.
// Only words starting with "--" are options, so "-33.5" stays a number.
struct DbArgs {
  std::vector<std::string> words;
  std::map<std::string, std::vector<std::string>, std::less<>> options;

  bool Has(std::string_view name) const { return options.find(name) != options.end(); }
  // The index-th value of an option, or null when the option was not given.
  const std::string* Value(std::string_view name, size_t index = 0) const;
};

// Reads args against the subcommand's options (--db, --yes and --no are always allowed).
// Returns what is wrong, or an empty text.
std::string ParseDbArgs(const Args& args, std::span<const OptionRule> allowed, DbArgs& out);

// A coordinate argument: decimal degrees ("-33.5") or a typed coordinate ("S 33°30'").
std::optional<double> ParseCoordinateArg(std::string_view text, CoordinateAxis axis);
// "LAT,LON" in decimal degrees or typed coordinates.
std::optional<std::pair<double, double>> ParsePositionPair(std::string_view text);

// The database of one invocation: found, loaded, and saved crash-safely after a change.
// Questions go through a TerminalPrompter that --yes and --no can answer.
class DbSession {
 public:
  DbSession(Io& io, const DbArgs& args);
  ~DbSession();
  DbSession(const DbSession&) = delete;
  DbSession& operator=(const DbSession&) = delete;

  // Reads the database file (a missing file is an empty database); false after printing
  // why not.
  bool Open();
  // Writes the file when there are unsaved changes; false after printing why not.
  bool SaveIfChanged();

  NavigationDatabase& Database() { return *database_; }
  TerminalPrompter& Prompter() { return prompter_; }
  const std::string& Path() const { return path_; }

 private:
  Io& io_;
  std::string requestedPath_;
  std::string path_;
  TerminalPrompter prompter_;
  std::unique_ptr<SettingsStore> settings_;
  std::unique_ptr<NavigationDatabase> database_;
};

// "orvelle-cli db SUB: MESSAGE" on standard error; returns kExitFailure.
int DbFailure(std::string_view subcommand, std::string_view message, Io& io);
// The same as a usage error; returns kExitUsage.
int DbUsageError(std::string_view subcommand, std::string_view message, Io& io);

}  // namespace orv::cli
