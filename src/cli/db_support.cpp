#include "cli/db_support.h"

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <ostream>

#include "cli/number_arg.h"
#include "nav/navigation_database.h"
#include "nav/navigation_database_file.h"
#include "platform/documents_folder.h"
#include "platform/qt_settings_store.h"
#include "platform/settings_store_memory.h"

namespace orv::cli {
namespace {

constexpr OptionRule kCommonOptions[] = {{"--db", 1}, {"--yes", 0}, {"--no", 0}};

const OptionRule* FindRule(std::string_view name, std::span<const OptionRule> allowed) {
  for (const OptionRule& rule : kCommonOptions) {
    if (rule.name == name) return &rule;
  }
  for (const OptionRule& rule : allowed) {
    if (rule.name == name) return &rule;
  }
  return nullptr;
}

AnswerPolicy PolicyOf(const DbArgs& args) {
  if (args.Has("--yes")) return AnswerPolicy::kAlwaysYes;
  if (args.Has("--no")) return AnswerPolicy::kAlwaysNo;
  return AnswerPolicy::kAskTerminal;
}

}  // namespace

const std::string* DbArgs::Value(std::string_view name, size_t index) const {
  const auto found = options.find(name);
  if (found == options.end() || index >= found->second.size()) return nullptr;
  return &found->second[index];
}

std::string ParseDbArgs(const Args& args, std::span<const OptionRule> allowed, DbArgs& out) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!arg.starts_with("--")) {
      out.words.push_back(arg);
      continue;
    }
    const OptionRule* rule = FindRule(arg, allowed);
    if (rule == nullptr) return "unknown option '" + arg + "'";
    if (out.Has(arg)) return arg + " given twice";
    // A value never starts with "--": that is the next option, so this one lacks values.
    bool complete = args.size() - 1 - i >= static_cast<size_t>(rule->values);
    for (int v = 1; complete && v <= rule->values; ++v) {
      complete = !args[i + static_cast<size_t>(v)].starts_with("--");
    }
    if (!complete) {
      return arg + (rule->values == 1 ? std::string(" needs a value")
                                      : " needs " + std::to_string(rule->values) + " values");
    }
    std::vector<std::string>& values = out.options[arg];
    for (int v = 0; v < rule->values; ++v) values.push_back(args[++i]);
  }
  if (out.Has("--yes") && out.Has("--no")) return "--yes and --no exclude each other";
  return {};
}

std::optional<double> ParseCoordinateArg(std::string_view text, CoordinateAxis axis) {
  const double limit = axis == CoordinateAxis::kLatitude ? 90.0 : 180.0;
  if (const std::optional<double> number = ParseFiniteNumber(text)) {
    if (std::fabs(*number) > limit) return std::nullopt;
    return number;
  }
  return ParseCoordinateText(text, axis);
}

std::optional<std::pair<double, double>> ParsePositionPair(std::string_view text) {
  const size_t comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const auto latitude = ParseCoordinateArg(text.substr(0, comma), CoordinateAxis::kLatitude);
  const auto longitude = ParseCoordinateArg(text.substr(comma + 1), CoordinateAxis::kLongitude);
  if (!latitude || !longitude) return std::nullopt;
  return std::pair{*latitude, *longitude};
}

DbSession::DbSession(Io& io, const DbArgs& args)
    : io_(io), prompter_(io, PolicyOf(args)), database_(std::make_unique<NavigationDatabase>()) {
  if (const std::string* path = args.Value("--db")) requestedPath_ = *path;
  // A database named on the command line keeps its counters and selections to itself;
  // only the user's own database shares the program's settings.
  if (requestedPath_.empty()) {
    settings_ = std::make_unique<QtSettingsStore>(DefaultSettingsFilePaths());
  } else {
    settings_ = std::make_unique<MemorySettingsStore>();
  }
  database_->SetPrompter(&prompter_);
  database_->SetSettings(settings_.get());
}

DbSession::~DbSession() = default;

bool DbSession::Open() {
  if (requestedPath_.empty()) {
    const std::optional<std::string> documents = FindDocumentsFolder();
    if (!documents) {
      io_.err << "orvelle-cli db: no documents folder (is HOME set?)\n";
      return false;
    }
    path_ = DatabaseFilePath(*documents);
  } else {
    std::error_code error;
    path_ = std::filesystem::is_directory(requestedPath_, error) ? DatabaseFilePath(requestedPath_)
                                                                 : requestedPath_;
  }
  database_->SetDatabasePath(path_);
  std::error_code error;
  if (std::filesystem::exists(path_, error)) {
    const std::optional<FileError> failure = ReadFileLines(path_, [this](std::string_view line) {
      database_->TakeSentence(line, path_);
      return true;
    });
    if (failure) {
      ReportFileError(&prompter_, *failure);
      return false;
    }
  }
  database_->RestoreLastUsed();
  // Reading the database is no import.
  database_->ResetImportResult();
  return true;
}

bool DbSession::SaveIfChanged() {
  if (database_->IsSaved()) return true;
  const DatabaseContents contents = database_->Contents();
  if (const auto failure =
          ReplaceFileContents(path_, DatabaseFileText(contents), BackupPathOf(path_))) {
    ReportFileError(&prompter_, *failure);
    return false;
  }
  database_->MarkSavedIfUnchanged(contents.changeCount);
  return true;
}

int DbFailure(std::string_view subcommand, std::string_view message, Io& io) {
  io.err << "orvelle-cli db " << subcommand << ": " << message << "\n";
  return kExitFailure;
}

int DbUsageError(std::string_view subcommand, std::string_view message, Io& io) {
  io.err << "orvelle-cli db " << subcommand << ": " << message << "\n"
         << "Run 'orvelle-cli db --help' for usage.\n";
  return kExitUsage;
}

}  // namespace orv::cli
