#include "nav/navigation_database.h"

#include <algorithm>
#include <random>
#include <utility>

#include "nav/item_name.h"
#include "nav/navigation_setting_keys.h"
#include "nmea/nmea_parser.h"
#include "nmea/number_text.h"
#include "nmea/rte_sentence.h"
#include "nmea/wpd_sentence.h"
#include "nmea/wpl_sentence.h"
#include "platform/settings_store.h"

namespace orv {
namespace {

constexpr std::string_view kReplaceWaypointText =
    "A waypoint whit the same name '%1' exists already!\n\nReplace?";
constexpr std::string_view kRenameWaypointText =
    "A waypoint whit the same name '%1' exists already!\n\nSave with an another name?";
constexpr std::string_view kReplaceRouteText =
    "A route whit the same name '%1' exists already!\n\nReplace?";
constexpr std::string_view kRenameRouteText =
    "A route whit the same name '%1' exists already!\n\nSave with an another name?";
constexpr std::string_view kDeleteWaypointText =
    "Are you sure you want to delete the '%1' waypoint from system?";
constexpr std::string_view kDeleteRouteText =
    "Are you sure you want to delete the '%1' route from system?";
constexpr std::string_view kDeleteRouteWaypointsText =
    "Are the waypoints of the '%1' route final to be deleted from system?";
constexpr std::string_view kDeleteRouteEntryText =
    "Are you sure you want to delete the '%1' waypoint from the '%2' route?";
constexpr std::string_view kDeleteEntryFromSystemText =
    "Are you sure you want final to delete the '%1' waypoint from system?";

constexpr uint32_t kLastStartNumber = 9999;
constexpr size_t kRandomNameLength = 12;

std::string Insert(std::string_view text, std::string_view first, std::string_view second = {}) {
  std::string out;
  out.reserve(text.size() + first.size() + second.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2')) {
      out.append(text[i + 1] == '1' ? first : second);
      ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::string_view NamingKey(ItemKind kind) {
  return kind == ItemKind::kWaypoint ? kWaypointNamingKey : kRouteNamingKey;
}

std::string_view NamePrefix(ItemKind kind) {
  return kind == ItemKind::kWaypoint ? "WPL_" : "RTE_";
}

std::string NumberedName(ItemKind kind, uint32_t number) {
  std::string name(NamePrefix(kind));
  AppendInteger(name, number, 4, true);
  return name;
}

std::string RandomLetters() {
  static constexpr std::string_view kLetters =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  thread_local std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, kLetters.size() - 1);
  std::string name;
  for (size_t i = 0; i < kRandomNameLength; ++i) name.push_back(kLetters[pick(generator)]);
  return name;
}

bool InRange(int index, size_t size) {
  return index >= 0 && static_cast<size_t>(index) < size;
}

// The entry to select once the entry at `removed` has gone.
int SelectionAfterRemoval(int removed, size_t remaining) {
  if (remaining == 0) return -1;
  return std::min(removed, static_cast<int>(remaining) - 1);
}

// An index into an array that lost the entry at `removed`: -1 when it was
// that entry, one less when it came after it.
int IndexAfterRemoval(int index, int removed) {
  if (index == removed) return -1;
  return index > removed ? index - 1 : index;
}

}  // namespace

struct NavigationDatabase::SourceParser : RouteSink {
  SourceParser() {
    parser.AddResponse(wpd);
    parser.AddResponse(wpl);
    parser.AddResponse(rte);
    parser.SortResponses();
    rte.SetRouteSink(this);
  }
  void TakeRoute(RouteRecord route) override { finished = std::move(route); }
  void Reset() {
    hasPending = false;
    pendingName.clear();
    pendingDescription.clear();
    rte.Empty(1);
    finished.reset();
  }

  std::mutex mutex;
  NmeaParser parser;
  WpdSentence wpd;
  WplSentence wpl;
  RteSentence rte;
  std::optional<RouteRecord> finished;
  // The description of a WPD line, waiting for the WPL line of the same name.
  bool hasPending = false;
  std::string pendingName;
  std::string pendingDescription;
};

struct NavigationDatabase::Generator {
  WpdSentence wpd;
  WplSentence wpl;
  RteSentence rte;
  int loadedRoute = -1;
};

NavigationDatabase::NavigationDatabase() : generator_(std::make_unique<Generator>()) {}

NavigationDatabase::~NavigationDatabase() = default;

void NavigationDatabase::SetPrompter(Prompter* prompter) {
  std::lock_guard lock(mutex_);
  prompter_ = prompter;
}

void NavigationDatabase::SetSettings(SettingsStore* settings) {
  std::lock_guard lock(mutex_);
  settings_ = settings;
}

void NavigationDatabase::SetDatabasePath(std::string_view path) {
  std::lock_guard lock(mutex_);
  databasePath_.assign(path);
}

std::string NavigationDatabase::DatabasePath() const {
  std::lock_guard lock(mutex_);
  return databasePath_;
}

// --- Content ---------------------------------------------------------------

int NavigationDatabase::WaypointCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(waypoints_.size());
}

int NavigationDatabase::RouteCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(routes_.size());
}

std::optional<Waypoint> NavigationDatabase::WaypointAt(int index) const {
  std::lock_guard lock(mutex_);
  if (!InRange(index, waypoints_.size())) return std::nullopt;
  return waypoints_[static_cast<size_t>(index)];
}

std::optional<Route> NavigationDatabase::RouteAt(int index) const {
  std::lock_guard lock(mutex_);
  if (!InRange(index, routes_.size())) return std::nullopt;
  return routes_[static_cast<size_t>(index)];
}

int NavigationDatabase::FindWaypoint(std::string_view name) const {
  std::lock_guard lock(mutex_);
  return FindWaypointLocked(name);
}

int NavigationDatabase::FindRoute(std::string_view name) const {
  std::lock_guard lock(mutex_);
  return FindRouteLocked(name);
}

std::optional<LatLong> NavigationDatabase::WaypointPosition(std::string_view name) const {
  std::lock_guard lock(mutex_);
  const int index = FindWaypointLocked(name);
  if (index < 0) return std::nullopt;
  return waypoints_[static_cast<size_t>(index)].Position();
}

DatabaseContents NavigationDatabase::Contents() const {
  std::lock_guard lock(mutex_);
  return DatabaseContents{waypoints_, routes_, changeCount_};
}

int NavigationDatabase::FindWaypointLocked(std::string_view name) const {
  const auto found = waypointIndex_.find(name);
  return found == waypointIndex_.end() ? -1 : found->second;
}

int NavigationDatabase::FindRouteLocked(std::string_view name) const {
  const auto found = routeIndex_.find(name);
  return found == routeIndex_.end() ? -1 : found->second;
}

// The entry a command was started on, found again after a question: the
// list may have changed while the user thought about it.
int NavigationDatabase::ResolveWaypointLocked(int index, std::string_view name) const {
  if (InRange(index, waypoints_.size()) && waypoints_[static_cast<size_t>(index)].Name() == name) {
    return index;
  }
  return FindWaypointLocked(name);
}

int NavigationDatabase::ResolveRouteLocked(int index, std::string_view name) const {
  if (InRange(index, routes_.size()) && routes_[static_cast<size_t>(index)].Name() == name) {
    return index;
  }
  return FindRouteLocked(name);
}

void NavigationDatabase::MarkChangedLocked() {
  saved_ = false;
  ++changeCount_;
}

int NavigationDatabase::AppendWaypointLocked(Waypoint waypoint) {
  const int index = static_cast<int>(waypoints_.size());
  waypointIndex_.emplace(waypoint.Name(), index);
  waypoints_.push_back(std::move(waypoint));
  return index;
}

void NavigationDatabase::EraseWaypointLocked(int index) {
  waypointIndex_.erase(waypoints_[static_cast<size_t>(index)].Name());
  waypoints_.erase(waypoints_.begin() + index);
  for (size_t i = static_cast<size_t>(index); i < waypoints_.size(); ++i) {
    waypointIndex_[waypoints_[i].Name()] = static_cast<int>(i);
  }
}

int NavigationDatabase::AppendRouteLocked(Route route) {
  const int index = static_cast<int>(routes_.size());
  routeIndex_.emplace(route.Name(), index);
  routes_.push_back(std::move(route));
  return index;
}

void NavigationDatabase::EraseRouteLocked(int index) {
  routeIndex_.erase(routes_[static_cast<size_t>(index)].Name());
  routes_.erase(routes_.begin() + index);
  for (size_t i = static_cast<size_t>(index); i < routes_.size(); ++i) {
    routeIndex_[routes_[i].Name()] = static_cast<int>(i);
  }
}

bool NavigationDatabase::AppendWaypoint(Waypoint waypoint) {
  std::lock_guard lock(mutex_);
  if (FindWaypointLocked(waypoint.Name()) >= 0) return false;
  AppendWaypointLocked(std::move(waypoint));
  MarkChangedLocked();
  return true;
}

bool NavigationDatabase::InsertWaypoint(int index, Waypoint waypoint) {
  std::lock_guard lock(mutex_);
  if (index < 0 || static_cast<size_t>(index) > waypoints_.size()) return false;
  if (FindWaypointLocked(waypoint.Name()) >= 0) return false;
  waypoints_.insert(waypoints_.begin() + index, std::move(waypoint));
  for (size_t i = static_cast<size_t>(index); i < waypoints_.size(); ++i) {
    waypointIndex_[waypoints_[i].Name()] = static_cast<int>(i);
  }
  const auto shift = [index](int& value) {
    if (value >= index) ++value;
  };
  if (target_.kind == TargetKind::kWaypoint) shift(target_.index);
  shift(lastUsedWaypoint_);
  shift(currentWaypoint_);
  MarkChangedLocked();
  return true;
}

bool NavigationDatabase::RemoveWaypointAt(int index) {
  std::lock_guard lock(mutex_);
  if (!InRange(index, waypoints_.size())) return false;
  if (target_.kind == TargetKind::kWaypoint) {
    target_.index = IndexAfterRemoval(target_.index, index);
    if (target_.index < 0) target_ = ActiveTarget();
  }
  lastUsedWaypoint_ = IndexAfterRemoval(lastUsedWaypoint_, index);
  currentWaypoint_ = IndexAfterRemoval(currentWaypoint_, index);
  EraseWaypointLocked(index);
  MarkChangedLocked();
  return true;
}

bool NavigationDatabase::AppendRoute(Route route) {
  std::lock_guard lock(mutex_);
  if (FindRouteLocked(route.Name()) >= 0) return false;
  AppendRouteLocked(std::move(route));
  MarkChangedLocked();
  return true;
}

bool NavigationDatabase::InsertRoute(int index, Route route) {
  std::lock_guard lock(mutex_);
  if (index < 0 || static_cast<size_t>(index) > routes_.size()) return false;
  if (FindRouteLocked(route.Name()) >= 0) return false;
  routes_.insert(routes_.begin() + index, std::move(route));
  for (size_t i = static_cast<size_t>(index); i < routes_.size(); ++i) {
    routeIndex_[routes_[i].Name()] = static_cast<int>(i);
  }
  const auto shift = [index](int& value) {
    if (value >= index) ++value;
  };
  if (target_.kind == TargetKind::kRoute) shift(target_.index);
  shift(lastUsedRoute_);
  shift(currentRoute_);
  generator_->loadedRoute = -1;
  MarkChangedLocked();
  return true;
}

bool NavigationDatabase::RemoveRouteAt(int index) {
  std::lock_guard lock(mutex_);
  if (!InRange(index, routes_.size())) return false;
  if (target_.kind == TargetKind::kRoute) {
    target_.index = IndexAfterRemoval(target_.index, index);
    if (target_.index < 0) target_ = ActiveTarget();
  }
  lastUsedRoute_ = IndexAfterRemoval(lastUsedRoute_, index);
  currentRoute_ = IndexAfterRemoval(currentRoute_, index);
  generator_->loadedRoute = -1;
  EraseRouteLocked(index);
  MarkChangedLocked();
  return true;
}

size_t NavigationDatabase::RemoveWaypointFromRoutes(std::string_view name) {
  std::lock_guard lock(mutex_);
  size_t removed = 0;
  for (Route& route : routes_) removed += route.RemoveAll(name);
  if (removed > 0) MarkChangedLocked();
  return removed;
}

size_t NavigationDatabase::RenameWaypointInRoutes(std::string_view oldName,
                                                  std::string_view newName) {
  std::lock_guard lock(mutex_);
  size_t renamed = 0;
  for (Route& route : routes_) renamed += route.Rename(oldName, newName);
  if (renamed > 0) MarkChangedLocked();
  return renamed;
}

size_t NavigationDatabase::MarkRoutesContaining(std::string_view waypointName) {
  std::lock_guard lock(mutex_);
  size_t marked = 0;
  for (Route& route : routes_) {
    if (route.Contains(waypointName)) {
      route.SetLegsChanged(true);
      ++marked;
    }
  }
  return marked;
}

void NavigationDatabase::Clear() {
  {
    std::lock_guard lock(mutex_);
    waypoints_.clear();
    routes_.clear();
    waypointIndex_.clear();
    routeIndex_.clear();
    saved_ = true;
    ++changeCount_;
    target_ = ActiveTarget();
    lastUsedWaypoint_ = -1;
    lastUsedRoute_ = -1;
    importResult_ = ImportResult::kNothing;
    currentWaypoint_ = -1;
    currentRoute_ = -1;
    generator_->loadedRoute = -1;
  }
  // The parsers are taken after the data lock is released: a parser holds
  // its own lock while it merges, which takes the data lock.
  std::lock_guard parsersLock(parsersMutex_);
  for (auto& [source, parser] : parsers_) {
    std::lock_guard parserLock(parser->mutex);
    parser->Reset();
  }
}

// --- Merge -----------------------------------------------------------------

MergeOutcome NavigationDatabase::MergeWaypoint(Waypoint record, std::string_view source,
                                               MergeMode mode) {
  return MergeWaypointStoring(std::move(record), source, mode, nullptr);
}

MergeOutcome NavigationDatabase::MergeWaypointStoring(Waypoint record, std::string_view source,
                                                      MergeMode mode, int* storedIndex) {
  record.SetPlaceToStore(source);
  if (!record.HasKnownPosition()) return MergeOutcome::kDropped;
  const ItemNameFault fault = CheckItemName(record.Name());
  if (fault == ItemNameFault::kEmpty) return MergeOutcome::kDropped;
  if (fault != ItemNameFault::kNone) {
    if (mode == MergeMode::kAsk) ShowNameFault(record.Name());
    return MergeOutcome::kDropped;
  }

  std::unique_lock lock(mutex_);
  const bool fromDatabase = !databasePath_.empty() && source == databasePath_;
  record.SetStoredInDatabase(fromDatabase);

  // A stored waypoint gives way to the new record; a target at or after it
  // would now name another waypoint, so it is dropped.
  const auto removeStored = [this](int index) {
    EraseWaypointLocked(index);
    if (target_.kind == TargetKind::kWaypoint && target_.index >= index) target_ = ActiveTarget();
    lastUsedWaypoint_ = IndexAfterRemoval(lastUsedWaypoint_, index);
    currentWaypoint_ = IndexAfterRemoval(currentWaypoint_, index);
  };
  const auto append = [&](MergeOutcome outcome) {
    const int index = AppendWaypointLocked(std::move(record));
    // Records of the database file itself leave it saved, unless merging
    // them changed the list.
    if (!fromDatabase || outcome != MergeOutcome::kAppended) MarkChangedLocked();
    lastUsedWaypoint_ = index;
    CountImportedWaypointLocked();
    if (storedIndex != nullptr) *storedIndex = index;
    return outcome;
  };

  int stored = FindWaypointLocked(record.Name());
  if (stored < 0) return append(MergeOutcome::kAppended);
  const Waypoint& storedWaypoint = waypoints_[static_cast<size_t>(stored)];
  if (storedWaypoint.Position() == record.Position()) {
    // Only the position tells waypoints apart; a record without description
    // (from a receiver, say) must not wipe the one the user wrote.
    if (record.Description().empty()) record.SetDescription(storedWaypoint.Description());
    record.SetStoredInDatabase(true);
    removeStored(stored);
    return append(MergeOutcome::kMovedToEnd);
  }
  if (mode == MergeMode::kSilent || prompter_ == nullptr) return MergeOutcome::kDropped;

  const std::string name = record.Name();
  lock.unlock();
  const bool replace =
      AskYesNo(Insert(kReplaceWaypointText, name), PromptIcon::kExclamation) == PromptAnswer::kYes;
  const bool rename = !replace && AskYesNo(Insert(kRenameWaypointText, name),
                                           PromptIcon::kExclamation) == PromptAnswer::kYes;
  lock.lock();
  if (replace) {
    stored = FindWaypointLocked(name);
    if (stored >= 0) removeStored(stored);
    return append(MergeOutcome::kReplaced);
  }
  if (rename) {
    record.SetName(TakeGeneratedNameLocked(ItemKind::kWaypoint));
    return append(MergeOutcome::kRenamed);
  }
  return MergeOutcome::kDropped;
}

MergeOutcome NavigationDatabase::MergeRoute(Route record, std::string_view source, MergeMode mode) {
  return MergeRouteStoring(std::move(record), source, mode, nullptr);
}

MergeOutcome NavigationDatabase::MergeRouteStoring(Route record, std::string_view source,
                                                   MergeMode mode, int* storedIndex) {
  record.SetPlaceToStore(source);
  if (!record.IsComplete()) return MergeOutcome::kDropped;
  const ItemNameFault fault = CheckItemName(record.Name());
  if (fault == ItemNameFault::kEmpty) return MergeOutcome::kDropped;
  // Entries may be empty (an empty field reads back), but not unreadable.
  std::string_view unreadable;
  if (fault != ItemNameFault::kNone) unreadable = record.Name();
  for (const std::string& name : record.WaypointNames()) {
    const ItemNameFault entryFault = CheckItemName(name);
    if (unreadable.empty() && entryFault != ItemNameFault::kNone &&
        entryFault != ItemNameFault::kEmpty) {
      unreadable = name;
    }
  }
  if (!unreadable.empty()) {
    if (mode == MergeMode::kAsk) ShowNameFault(unreadable);
    return MergeOutcome::kDropped;
  }

  std::unique_lock lock(mutex_);
  const bool fromDatabase = !databasePath_.empty() && source == databasePath_;
  record.SetStoredInDatabase(fromDatabase);
  const auto finish = [&](int index, MergeOutcome outcome) {
    lastUsedRoute_ = index;
    CountImportedRouteLocked();
    if (storedIndex != nullptr) *storedIndex = index;
    return outcome;
  };
  const auto append = [&](MergeOutcome outcome) {
    const int index = AppendRouteLocked(std::move(record));
    if (!fromDatabase || outcome != MergeOutcome::kAppended) MarkChangedLocked();
    return finish(index, outcome);
  };

  int stored = FindRouteLocked(record.Name());
  if (stored < 0) return append(MergeOutcome::kAppended);
  if (routes_[static_cast<size_t>(stored)].HasSameWaypoints(record)) {
    return finish(stored, MergeOutcome::kUnchanged);
  }
  if (mode == MergeMode::kSilent || prompter_ == nullptr) return MergeOutcome::kDropped;

  const std::string name = record.Name();
  lock.unlock();
  const bool replace =
      AskYesNo(Insert(kReplaceRouteText, name), PromptIcon::kExclamation) == PromptAnswer::kYes;
  const bool rename = !replace && AskYesNo(Insert(kRenameRouteText, name),
                                           PromptIcon::kExclamation) == PromptAnswer::kYes;
  lock.lock();
  if (replace) {
    stored = FindRouteLocked(name);
    if (stored < 0) return append(MergeOutcome::kReplaced);
    routes_[static_cast<size_t>(stored)] = std::move(record);
    if (target_.kind == TargetKind::kRoute && target_.index >= stored) target_ = ActiveTarget();
    if (generator_->loadedRoute == stored) generator_->loadedRoute = -1;
    MarkChangedLocked();
    return finish(stored, MergeOutcome::kReplaced);
  }
  if (rename) {
    record.SetName(TakeGeneratedNameLocked(ItemKind::kRoute));
    return append(MergeOutcome::kRenamed);
  }
  return MergeOutcome::kDropped;
}

void NavigationDatabase::CountImportedWaypointLocked() {
  if (importResult_ == ImportResult::kNothing) {
    importResult_ = ImportResult::kOneWaypoint;
  } else if (importResult_ == ImportResult::kOneWaypoint) {
    importResult_ = ImportResult::kSeveralWaypoints;
  }
}

void NavigationDatabase::CountImportedRouteLocked() {
  importResult_ =
      importResult_ == ImportResult::kOneRoute || importResult_ == ImportResult::kSeveralRoutes
          ? ImportResult::kSeveralRoutes
          : ImportResult::kOneRoute;
}

// --- Names -----------------------------------------------------------------

std::string NavigationDatabase::DefaultNewName(ItemKind kind) const {
  std::lock_guard lock(mutex_);
  uint32_t number = 0;
  if (settings_ != nullptr)
    number = settings_->ReadDword(SettingsHive::kCurrentUser, NamingKey(kind), kStartNumberValue)
                 .value_or(0);
  return NumberedName(kind, number);
}

std::string NavigationDatabase::TakeGeneratedName(ItemKind kind) {
  std::lock_guard lock(mutex_);
  return TakeGeneratedNameLocked(kind);
}

std::string NavigationDatabase::TakeGeneratedNameLocked(ItemKind kind) {
  uint32_t number = 0;
  if (settings_ != nullptr)
    number = settings_->ReadDword(SettingsHive::kCurrentUser, NamingKey(kind), kStartNumberValue)
                 .value_or(0);
  std::string name = NumberedName(kind, number);
  const auto taken = [&](std::string_view candidate) {
    return (kind == ItemKind::kWaypoint ? FindWaypointLocked(candidate)
                                        : FindRouteLocked(candidate)) >= 0;
  };
  while (taken(name)) name = RandomLetters();
  if (settings_ != nullptr) {
    settings_->WriteDword(SettingsHive::kCurrentUser, NamingKey(kind), kStartNumberValue,
                          number >= kLastStartNumber ? 0 : number + 1);
  }
  return name;
}

// --- List commands -----------------------------------------------------------

bool NavigationDatabase::CreateWaypoint(std::string_view name, const LatLong& position) {
  const ItemNameFault fault = CheckItemName(name);
  if (fault == ItemNameFault::kEmpty) return false;
  if (fault != ItemNameFault::kNone) {
    ShowNameFault(name);
    return false;
  }
  int index = -1;
  const MergeOutcome outcome = MergeWaypointStoring(
      Waypoint(name, position), Waypoint::kSelfCreatedPlace, MergeMode::kAsk, &index);
  if (outcome == MergeOutcome::kDropped) return false;
  std::lock_guard lock(mutex_);
  StoreCreatedLocked(ItemKind::kWaypoint, index);
  return true;
}

bool NavigationDatabase::CreateRoute(std::string_view name) {
  const ItemNameFault fault = CheckItemName(name);
  if (fault == ItemNameFault::kEmpty) return false;
  if (fault != ItemNameFault::kNone) {
    ShowNameFault(name);
    return false;
  }
  int index = -1;
  const MergeOutcome outcome = MergeRouteStoring(
      Route(name, {}, RouteType::kComplete), Waypoint::kSelfCreatedPlace, MergeMode::kAsk, &index);
  if (outcome == MergeOutcome::kDropped || outcome == MergeOutcome::kUnchanged) return false;
  std::lock_guard lock(mutex_);
  StoreCreatedLocked(ItemKind::kRoute, index);
  return true;
}

void NavigationDatabase::StoreCreatedLocked(ItemKind kind, int index) {
  if (kind == ItemKind::kWaypoint) {
    if (InRange(index, waypoints_.size())) SetLastUsedWaypointLocked(index, true);
  } else if (InRange(index, routes_.size())) {
    SetLastUsedRouteLocked(index, true);
  }
  if (settings_ == nullptr) return;
  const uint32_t number =
      settings_->ReadDword(SettingsHive::kCurrentUser, NamingKey(kind), kStartNumberValue)
          .value_or(0);
  settings_->WriteDword(SettingsHive::kCurrentUser, NamingKey(kind), kStartNumberValue,
                        number >= kLastStartNumber ? 0 : number + 1);
}

void NavigationDatabase::DeleteWaypointFromSystemLocked(int index) {
  const std::string name = waypoints_[static_cast<size_t>(index)].Name();
  if (target_.kind == TargetKind::kWaypoint) {
    // Guidance to this waypoint stops; a later target keeps its waypoint.
    target_.index = IndexAfterRemoval(target_.index, index);
    if (target_.index < 0) target_ = ActiveTarget();
  }
  const int lastUsed = IndexAfterRemoval(lastUsedWaypoint_, index);
  if (lastUsed != lastUsedWaypoint_) SetLastUsedWaypointLocked(lastUsed, true);
  currentWaypoint_ = IndexAfterRemoval(currentWaypoint_, index);
  EraseWaypointLocked(index);
  for (Route& route : routes_) route.RemoveAll(name);
  MarkChangedLocked();
}

void NavigationDatabase::DeleteRouteLocked(int index) {
  if (target_.kind == TargetKind::kRoute) {
    target_.index = IndexAfterRemoval(target_.index, index);
    if (target_.index < 0) target_ = ActiveTarget();
  }
  const int lastUsed = IndexAfterRemoval(lastUsedRoute_, index);
  if (lastUsed != lastUsedRoute_) SetLastUsedRouteLocked(lastUsed, true);
  currentRoute_ = IndexAfterRemoval(currentRoute_, index);
  generator_->loadedRoute = -1;
  EraseRouteLocked(index);
  MarkChangedLocked();
}

std::optional<int> NavigationDatabase::DeleteWaypoint(int index) {
  std::string name;
  {
    std::lock_guard lock(mutex_);
    if (!InRange(index, waypoints_.size())) return std::nullopt;
    name = waypoints_[static_cast<size_t>(index)].Name();
  }
  if (AskYesNo(Insert(kDeleteWaypointText, name), PromptIcon::kQuestion) != PromptAnswer::kYes) {
    return std::nullopt;
  }
  std::lock_guard lock(mutex_);
  const int current = ResolveWaypointLocked(index, name);
  if (current < 0) return std::nullopt;
  DeleteWaypointFromSystemLocked(current);
  return SelectionAfterRemoval(current, waypoints_.size());
}

std::optional<int> NavigationDatabase::DeleteRoute(int index) {
  std::string name;
  {
    std::lock_guard lock(mutex_);
    if (!InRange(index, routes_.size())) return std::nullopt;
    name = routes_[static_cast<size_t>(index)].Name();
  }
  if (AskYesNo(Insert(kDeleteRouteText, name), PromptIcon::kQuestion) != PromptAnswer::kYes) {
    return std::nullopt;
  }
  const bool withWaypoints = AskYesNo(Insert(kDeleteRouteWaypointsText, name),
                                      PromptIcon::kQuestion) == PromptAnswer::kYes;
  std::lock_guard lock(mutex_);
  const int current = ResolveRouteLocked(index, name);
  if (current < 0) return std::nullopt;
  if (withWaypoints) {
    // A copy: deleting a waypoint edits every route, this one included.
    const std::vector<std::string> names = routes_[static_cast<size_t>(current)].WaypointNames();
    for (const std::string& waypointName : names) {
      const int waypoint = FindWaypointLocked(waypointName);
      if (waypoint >= 0) DeleteWaypointFromSystemLocked(waypoint);
    }
  }
  DeleteRouteLocked(current);
  return SelectionAfterRemoval(current, routes_.size());
}

std::optional<int> NavigationDatabase::DeleteRouteEntry(int routeIndex, int entry) {
  std::string routeName;
  std::string waypointName;
  {
    std::lock_guard lock(mutex_);
    if (!InRange(routeIndex, routes_.size())) return std::nullopt;
    const Route& route = routes_[static_cast<size_t>(routeIndex)];
    if (!InRange(entry, route.Size())) return std::nullopt;
    routeName = route.Name();
    waypointName = route.WaypointNames()[static_cast<size_t>(entry)];
  }
  if (AskYesNo(Insert(kDeleteRouteEntryText, waypointName, routeName), PromptIcon::kQuestion) !=
      PromptAnswer::kYes) {
    return std::nullopt;
  }
  int selection = -1;
  {
    std::lock_guard lock(mutex_);
    const int current = ResolveRouteLocked(routeIndex, routeName);
    if (current < 0) return std::nullopt;
    Route& route = routes_[static_cast<size_t>(current)];
    if (!InRange(entry, route.Size()) ||
        route.WaypointNames()[static_cast<size_t>(entry)] != waypointName) {
      return std::nullopt;
    }
    route.RemoveAt(static_cast<size_t>(entry));
    TouchRouteLocked(current);
    selection = SelectionAfterRemoval(entry, route.Size());
  }
  if (AskYesNo(Insert(kDeleteEntryFromSystemText, waypointName), PromptIcon::kQuestion) ==
      PromptAnswer::kYes) {
    std::lock_guard lock(mutex_);
    const int waypoint = FindWaypointLocked(waypointName);
    if (waypoint >= 0) DeleteWaypointFromSystemLocked(waypoint);
    const int current = FindRouteLocked(routeName);
    if (current >= 0) {
      selection = SelectionAfterRemoval(selection, routes_[static_cast<size_t>(current)].Size());
    }
  }
  return selection;
}

bool NavigationDatabase::EditWaypoint(int index, std::string_view newName,
                                      const LatLong& newPosition) {
  const ItemNameFault fault = CheckItemName(newName);
  if (fault == ItemNameFault::kEmpty) return false;
  if (fault != ItemNameFault::kNone) {
    ShowNameFault(newName);
    return false;
  }
  std::unique_lock lock(mutex_);
  if (!InRange(index, waypoints_.size())) return false;
  const std::string oldName = waypoints_[static_cast<size_t>(index)].Name();
  if (newName != oldName && FindWaypointLocked(newName) >= 0) {
    lock.unlock();
    if (AskYesNo(Insert(kReplaceWaypointText, newName), PromptIcon::kExclamation) !=
        PromptAnswer::kYes) {
      return false;
    }
    lock.lock();
    const int edited = ResolveWaypointLocked(index, oldName);
    int other = FindWaypointLocked(newName);
    if (edited < 0 || other < 0) return false;
    Waypoint& otherWaypoint = waypoints_[static_cast<size_t>(other)];
    otherWaypoint.SetPosition(newPosition);
    otherWaypoint.SetStoredInDatabase(false);
    // The edited waypoint goes; its route entries now name the other one.
    if (target_.kind == TargetKind::kWaypoint) {
      target_.index = IndexAfterRemoval(target_.index, edited);
      if (target_.index < 0) target_ = ActiveTarget();
    }
    currentWaypoint_ = IndexAfterRemoval(currentWaypoint_, edited);
    EraseWaypointLocked(edited);
    other = FindWaypointLocked(newName);
    for (Route& route : routes_) {
      if (route.Contains(newName)) route.SetLegsChanged(true);
      route.Rename(oldName, newName);
    }
    SetLastUsedWaypointLocked(other, true);
    MarkChangedLocked();
    return true;
  }

  Waypoint& waypoint = waypoints_[static_cast<size_t>(index)];
  const bool renamed = newName != oldName;
  const bool moved = !(waypoint.Position() == newPosition);
  if (renamed) {
    waypointIndex_.erase(oldName);
    waypoint.SetName(newName);
    waypointIndex_.emplace(waypoint.Name(), index);
    for (Route& route : routes_) route.Rename(oldName, newName);
  }
  if (moved) {
    waypoint.SetPosition(newPosition);
    for (Route& route : routes_) {
      if (route.Contains(newName)) route.SetLegsChanged(true);
    }
  }
  if (renamed || moved) {
    waypoint.SetStoredInDatabase(false);
    MarkChangedLocked();
  }
  SetLastUsedWaypointLocked(index, true);
  return renamed || moved;
}

bool NavigationDatabase::RenameRoute(int index, std::string_view newName) {
  const ItemNameFault fault = CheckItemName(newName);
  if (fault == ItemNameFault::kEmpty) return false;
  if (fault != ItemNameFault::kNone) {
    ShowNameFault(newName);
    return false;
  }
  std::unique_lock lock(mutex_);
  if (!InRange(index, routes_.size())) return false;
  const std::string oldName = routes_[static_cast<size_t>(index)].Name();
  if (newName == oldName) {
    SetLastUsedRouteLocked(index, true);
    return false;
  }
  if (FindRouteLocked(newName) >= 0) {
    lock.unlock();
    if (AskYesNo(Insert(kReplaceRouteText, newName), PromptIcon::kExclamation) !=
        PromptAnswer::kYes) {
      return false;
    }
    lock.lock();
    const int renamed = ResolveRouteLocked(index, oldName);
    int other = FindRouteLocked(newName);
    if (renamed < 0 || other < 0) return false;
    routes_[static_cast<size_t>(other)].SetWaypointNames(
        routes_[static_cast<size_t>(renamed)].WaypointNames());
    routes_[static_cast<size_t>(other)].SetStoredInDatabase(false);
    DeleteRouteLocked(renamed);
    other = FindRouteLocked(newName);
    SetLastUsedRouteLocked(other, true);
    MarkChangedLocked();
    return true;
  }
  Route& route = routes_[static_cast<size_t>(index)];
  routeIndex_.erase(oldName);
  route.SetName(newName);
  routeIndex_.emplace(route.Name(), index);
  route.SetStoredInDatabase(false);
  if (generator_->loadedRoute == index) generator_->loadedRoute = -1;
  SetLastUsedRouteLocked(index, true);
  MarkChangedLocked();
  return true;
}

bool NavigationDatabase::SetWaypointDescription(int index, std::string_view text) {
  std::lock_guard lock(mutex_);
  if (!InRange(index, waypoints_.size())) return false;
  Waypoint& waypoint = waypoints_[static_cast<size_t>(index)];
  const std::string fitted = Waypoint::FitDescription(text);
  if (fitted == waypoint.Description()) return false;
  waypoint.SetDescription(fitted);
  waypoint.SetStoredInDatabase(false);
  MarkChangedLocked();
  return true;
}

bool NavigationDatabase::SetRouteType(int index, RouteType type) {
  std::lock_guard lock(mutex_);
  if (!InRange(index, routes_.size())) return false;
  Route& route = routes_[static_cast<size_t>(index)];
  if (route.Type() == type) return false;
  route.SetType(type);
  route.SetStoredInDatabase(false);
  MarkChangedLocked();
  return true;
}

// Every change of a route's entries: the route is no longer as stored, the
// database is unsaved and the route becomes the last used one.
void NavigationDatabase::TouchRouteLocked(int routeIndex) {
  Route& route = routes_[static_cast<size_t>(routeIndex)];
  route.SetLegsChanged(true);
  route.SetStoredInDatabase(false);
  if (generator_->loadedRoute == routeIndex) generator_->loadedRoute = -1;
  SetLastUsedRouteLocked(routeIndex, true);
  MarkChangedLocked();
}

bool NavigationDatabase::MoveRouteEntryUp(int routeIndex, int entry) {
  std::lock_guard lock(mutex_);
  if (!InRange(routeIndex, routes_.size()) || entry < 0) return false;
  if (!routes_[static_cast<size_t>(routeIndex)].MoveUp(static_cast<size_t>(entry))) return false;
  TouchRouteLocked(routeIndex);
  return true;
}

bool NavigationDatabase::MoveRouteEntryDown(int routeIndex, int entry) {
  std::lock_guard lock(mutex_);
  if (!InRange(routeIndex, routes_.size()) || entry < 0) return false;
  if (!routes_[static_cast<size_t>(routeIndex)].MoveDown(static_cast<size_t>(entry))) return false;
  TouchRouteLocked(routeIndex);
  return true;
}

bool NavigationDatabase::InvertRoute(int routeIndex) {
  std::lock_guard lock(mutex_);
  if (!InRange(routeIndex, routes_.size())) return false;
  routes_[static_cast<size_t>(routeIndex)].Invert();
  TouchRouteLocked(routeIndex);
  return true;
}

bool NavigationDatabase::AddWaypointToRoute(int routeIndex, std::string_view waypointName) {
  std::lock_guard lock(mutex_);
  if (!InRange(routeIndex, routes_.size()) || FindWaypointLocked(waypointName) < 0) return false;
  routes_[static_cast<size_t>(routeIndex)].Append(waypointName);
  TouchRouteLocked(routeIndex);
  return true;
}

ActiveTarget NavigationDatabase::GoTo(int waypointIndex) {
  std::lock_guard lock(mutex_);
  if (!InRange(waypointIndex, waypoints_.size())) return target_;
  const ActiveTarget chosen{TargetKind::kWaypoint, waypointIndex};
  SwitchTargetLocked(target_ == chosen ? ActiveTarget() : chosen);
  SetLastUsedWaypointLocked(waypointIndex, true);
  return target_;
}

ActiveTarget NavigationDatabase::GoAlong(int routeIndex) {
  std::lock_guard lock(mutex_);
  if (!InRange(routeIndex, routes_.size())) return target_;
  const ActiveTarget chosen{TargetKind::kRoute, routeIndex};
  if (target_ == chosen) {
    target_ = ActiveTarget();
  } else {
    SwitchTargetLocked(chosen);
    routes_[static_cast<size_t>(routeIndex)].StartAtFirstWaypoint();
  }
  SetLastUsedRouteLocked(routeIndex, true);
  return target_;
}

void NavigationDatabase::SwitchTargetLocked(const ActiveTarget& next) {
  if (target_.kind == TargetKind::kRoute && target_ != next &&
      InRange(target_.index, routes_.size())) {
    routes_[static_cast<size_t>(target_.index)].ClearCurrentWaypoint();
  }
  target_ = next;
}

// Guidance state, not content: the file does not keep it, so the saved state stays.
bool NavigationDatabase::SetCurrentRouteWaypoint(int routeIndex, int entry) {
  std::lock_guard lock(mutex_);
  if (!InRange(routeIndex, routes_.size())) return false;
  return routes_[static_cast<size_t>(routeIndex)].SetCurrentWaypointIndex(entry);
}

bool NavigationDatabase::SelectNextRouteLeg() {
  std::lock_guard lock(mutex_);
  return StepRouteLegLocked(1);
}

bool NavigationDatabase::SelectPreviousRouteLeg() {
  std::lock_guard lock(mutex_);
  return StepRouteLegLocked(-1);
}

bool NavigationDatabase::StepRouteLegLocked(int step) {
  if (target_.kind != TargetKind::kRoute || !InRange(target_.index, routes_.size())) return false;
  Route& route = routes_[static_cast<size_t>(target_.index)];
  return route.SetCurrentWaypointIndex(route.CurrentWaypointIndex() + step);
}

// --- State -------------------------------------------------------------------

bool NavigationDatabase::IsSaved() const {
  std::lock_guard lock(mutex_);
  return saved_;
}

void NavigationDatabase::SetSaved(bool saved) {
  std::lock_guard lock(mutex_);
  if (!saved) {
    MarkChangedLocked();
  } else {
    saved_ = true;
  }
}

uint64_t NavigationDatabase::ChangeCount() const {
  std::lock_guard lock(mutex_);
  return changeCount_;
}

bool NavigationDatabase::MarkSavedIfUnchanged(uint64_t changeCount) {
  std::lock_guard lock(mutex_);
  if (changeCount != changeCount_) return false;
  saved_ = true;
  return true;
}

ActiveTarget NavigationDatabase::Target() const {
  std::lock_guard lock(mutex_);
  return target_;
}

void NavigationDatabase::SetActiveTarget(TargetKind kind, int index) {
  std::lock_guard lock(mutex_);
  const size_t size = kind == TargetKind::kWaypoint ? waypoints_.size() : routes_.size();
  if (kind == TargetKind::kNone || !InRange(index, size)) {
    target_ = ActiveTarget();
  } else {
    target_ = ActiveTarget{kind, index};
  }
}

int NavigationDatabase::LastUsedWaypoint() const {
  std::lock_guard lock(mutex_);
  return lastUsedWaypoint_;
}

int NavigationDatabase::LastUsedRoute() const {
  std::lock_guard lock(mutex_);
  return lastUsedRoute_;
}

void NavigationDatabase::SetLastUsedWaypoint(int index, bool persist) {
  std::lock_guard lock(mutex_);
  SetLastUsedWaypointLocked(index, persist);
}

void NavigationDatabase::SetLastUsedRoute(int index, bool persist) {
  std::lock_guard lock(mutex_);
  SetLastUsedRouteLocked(index, persist);
}

void NavigationDatabase::SetLastUsedWaypointLocked(int index, bool persist) {
  lastUsedWaypoint_ = index < 0 ? -1 : index;
  if (persist && settings_ != nullptr) {
    settings_->WriteDword(SettingsHive::kCurrentUser, kGeneralSettingsKey, kWaypointLastUsedValue,
                          static_cast<uint32_t>(lastUsedWaypoint_));
  }
}

void NavigationDatabase::SetLastUsedRouteLocked(int index, bool persist) {
  lastUsedRoute_ = index < 0 ? -1 : index;
  if (persist && settings_ != nullptr) {
    settings_->WriteDword(SettingsHive::kCurrentUser, kGeneralSettingsKey, kRouteLastUsedValue,
                          static_cast<uint32_t>(lastUsedRoute_));
  }
}

void NavigationDatabase::RestoreLastUsed() {
  std::lock_guard lock(mutex_);
  if (settings_ == nullptr) return;
  // -1 is stored as 0xFFFFFFFF, which is out of range like any stale index.
  if (const auto route = settings_->ReadDword(SettingsHive::kCurrentUser, kGeneralSettingsKey,
                                              kRouteLastUsedValue);
      route && *route < routes_.size()) {
    lastUsedRoute_ = static_cast<int>(*route);
  }
  if (const auto waypoint = settings_->ReadDword(SettingsHive::kCurrentUser, kGeneralSettingsKey,
                                                 kWaypointLastUsedValue);
      waypoint && *waypoint < waypoints_.size()) {
    lastUsedWaypoint_ = static_cast<int>(*waypoint);
  }
}

ImportResult NavigationDatabase::GetImportResult() const {
  std::lock_guard lock(mutex_);
  return importResult_;
}

void NavigationDatabase::ResetImportResult() {
  std::lock_guard lock(mutex_);
  importResult_ = ImportResult::kNothing;
}

// --- Sentences -----------------------------------------------------------------

NavigationDatabase::SourceParser& NavigationDatabase::ParserFor(std::string_view source) {
  std::lock_guard lock(parsersMutex_);
  auto found = parsers_.find(source);
  if (found == parsers_.end()) {
    found = parsers_.emplace(std::string(source), std::make_unique<SourceParser>()).first;
  }
  return *found->second;
}

bool NavigationDatabase::TakeSentence(std::string_view text, std::string_view source) {
  SourceParser& parser = ParserFor(source);
  // Held across the merge so that the records of one source keep their order.
  std::lock_guard parserLock(parser.mutex);
  if (parser.parser.Dispatch(text) != NmeaParser::Outcome::kAccepted) return false;
  const NmeaResponse* response = parser.parser.LastResponse();
  if (response == &parser.wpd) {
    parser.hasPending = true;
    parser.pendingName = parser.wpd.Name();
    parser.pendingDescription = parser.wpd.Description();
    return true;
  }
  if (response == &parser.wpl) {
    Waypoint waypoint(parser.wpl.Name(), parser.wpl.Position());
    // A description belongs only to the WPL line of its own name that follows it.
    if (parser.hasPending && parser.pendingName == waypoint.Name()) {
      waypoint.SetDescription(parser.pendingDescription);
    }
    parser.hasPending = false;
    MergeWaypoint(std::move(waypoint), source, MergeMode::kAsk);
    return true;
  }
  if (response == &parser.rte && parser.finished) {
    Route route = Route::FromRecord(std::move(*parser.finished));
    parser.finished.reset();
    parser.hasPending = false;
    MergeRoute(std::move(route), source, MergeMode::kAsk);
  }
  return true;
}

void NavigationDatabase::SetCurrentWaypoint(int index) {
  std::lock_guard lock(mutex_);
  currentWaypoint_ = InRange(index, waypoints_.size()) ? index : -1;
}

void NavigationDatabase::SetCurrentRoute(int index) {
  std::lock_guard lock(mutex_);
  currentRoute_ = InRange(index, routes_.size()) ? index : -1;
  generator_->loadedRoute = -1;
}

int NavigationDatabase::CurrentWaypoint() const {
  std::lock_guard lock(mutex_);
  return currentWaypoint_;
}

int NavigationDatabase::CurrentRoute() const {
  std::lock_guard lock(mutex_);
  return currentRoute_;
}

bool NavigationDatabase::GenerateSentence(std::string_view mnemonic, NmeaSentence& out) {
  std::lock_guard lock(mutex_);
  if (mnemonic == "WPD" || mnemonic == "WPL") {
    if (!InRange(currentWaypoint_, waypoints_.size())) return false;
    const Waypoint& waypoint = waypoints_[static_cast<size_t>(currentWaypoint_)];
    if (mnemonic == "WPD") {
      generator_->wpd.SetDescription(waypoint.Name(), waypoint.Description());
      return generator_->wpd.Write(out);
    }
    generator_->wpl.SetWaypoint(waypoint.Position(), waypoint.Name());
    return generator_->wpl.Write(out);
  }
  if (mnemonic == "RTE") {
    if (!InRange(currentRoute_, routes_.size())) return false;
    if (generator_->loadedRoute != currentRoute_) {
      generator_->rte.SetRouteToWrite(routes_[static_cast<size_t>(currentRoute_)].ToRecord());
      generator_->loadedRoute = currentRoute_;
    }
    return generator_->rte.Write(out);
  }
  return false;
}

// --- Prompts ---------------------------------------------------------------------

PromptAnswer NavigationDatabase::AskYesNo(std::string_view text, PromptIcon icon) const {
  Prompter* prompter = nullptr;
  {
    std::lock_guard lock(mutex_);
    prompter = prompter_;
  }
  if (prompter == nullptr) return PromptAnswer::kNo;
  Prompt prompt;
  prompt.text.assign(text);
  prompt.caption.assign(kQuestionCaption);
  prompt.icon = icon;
  prompt.buttons = PromptButtons::kYesNo;
  prompt.defaultButton = 1;  // No
  return prompter->Ask(prompt);
}

void NavigationDatabase::ShowNameFault(std::string_view name) const {
  Prompter* prompter = nullptr;
  {
    std::lock_guard lock(mutex_);
    prompter = prompter_;
  }
  if (prompter == nullptr) return;
  Prompt prompt;
  prompt.text.assign(ItemNameFaultText(CheckItemName(name)));
  if (prompt.text.empty()) prompt.text.assign(kSeparatorInNameText);
  prompt.caption.assign(kInvalidNameCaption);
  prompt.icon = PromptIcon::kExclamation;
  prompt.buttons = PromptButtons::kOk;
  prompter->Ask(prompt);
}

}  // namespace orv
