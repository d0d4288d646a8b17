#include "nav/navigation_database.h"

#include <algorithm>
#include <random>
#include <type_traits>
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

// The number of the kind's next generated name; 0 when unset.
uint32_t ReadStartNumber(SettingsStore* settings, ItemKind kind) {
  if (settings == nullptr) return 0;
  return settings->ReadDword(SettingsHive::kCurrentUser, NamingKey(kind), kStartNumberValue)
      .value_or(0);
}

// Moves the StartNumber on from `number`; 0 follows the last one.
void WriteNextStartNumber(SettingsStore* settings, ItemKind kind, uint32_t number) {
  if (settings == nullptr) return;
  settings->WriteDword(SettingsHive::kCurrentUser, NamingKey(kind), kStartNumberValue,
                       number >= kLastStartNumber ? 0 : number + 1);
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

NavigationDatabase::NavigationDatabase()
    : waypoints_(TargetKind::kWaypoint, kWaypointLastUsedValue),
      routes_(TargetKind::kRoute, kRouteLastUsedValue),
      generator_(std::make_unique<Generator>()) {}

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
  return static_cast<int>(waypoints_.items.size());
}

int NavigationDatabase::RouteCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(routes_.items.size());
}

std::optional<Waypoint> NavigationDatabase::WaypointAt(int index) const {
  std::lock_guard lock(mutex_);
  return waypoints_.At(index);
}

std::optional<Route> NavigationDatabase::RouteAt(int index) const {
  std::lock_guard lock(mutex_);
  return routes_.At(index);
}

int NavigationDatabase::FindWaypoint(std::string_view name) const {
  std::lock_guard lock(mutex_);
  return waypoints_.Find(name);
}

int NavigationDatabase::FindRoute(std::string_view name) const {
  std::lock_guard lock(mutex_);
  return routes_.Find(name);
}

std::optional<LatLong> NavigationDatabase::WaypointPosition(std::string_view name) const {
  std::lock_guard lock(mutex_);
  const int index = waypoints_.Find(name);
  if (index < 0) return std::nullopt;
  return waypoints_.items[static_cast<size_t>(index)].Position();
}

DatabaseContents NavigationDatabase::Contents() const {
  std::lock_guard lock(mutex_);
  return DatabaseContents{waypoints_.items, routes_.items, changeCount_};
}

template <typename Item>
bool NavigationDatabase::ItemList<Item>::Has(int index) const {
  return InRange(index, items.size());
}

template <typename Item>
std::optional<Item> NavigationDatabase::ItemList<Item>::At(int index) const {
  if (!Has(index)) return std::nullopt;
  return items[static_cast<size_t>(index)];
}

template <typename Item>
int NavigationDatabase::ItemList<Item>::Find(std::string_view name) const {
  const auto found = names.find(name);
  return found == names.end() ? -1 : found->second;
}

// The list may have changed while the user thought about a question.
template <typename Item>
int NavigationDatabase::ItemList<Item>::Resolve(int index, std::string_view name) const {
  if (Has(index) && items[static_cast<size_t>(index)].Name() == name) return index;
  return Find(name);
}

template <typename Item>
int NavigationDatabase::ItemList<Item>::Append(Item item) {
  const int index = static_cast<int>(items.size());
  names.emplace(item.Name(), index);
  items.push_back(std::move(item));
  return index;
}

template <typename Item>
void NavigationDatabase::ItemList<Item>::Insert(int index, Item item) {
  items.insert(items.begin() + index, std::move(item));
  IndexNamesFrom(static_cast<size_t>(index));
}

template <typename Item>
void NavigationDatabase::ItemList<Item>::Erase(int index) {
  names.erase(items[static_cast<size_t>(index)].Name());
  items.erase(items.begin() + index);
  IndexNamesFrom(static_cast<size_t>(index));
}

template <typename Item>
void NavigationDatabase::ItemList<Item>::Rename(int index, std::string_view newName) {
  Item& item = items[static_cast<size_t>(index)];
  names.erase(item.Name());
  item.SetName(newName);
  names.emplace(item.Name(), index);
}

template <typename Item>
void NavigationDatabase::ItemList<Item>::Clear() {
  items.clear();
  names.clear();
  lastUsed = -1;
  current = -1;
}

template <typename Item>
void NavigationDatabase::ItemList<Item>::IndexNamesFrom(size_t first) {
  for (size_t i = first; i < items.size(); ++i) names[items[i].Name()] = static_cast<int>(i);
}

void NavigationDatabase::MarkChangedLocked() {
  saved_ = false;
  ++changeCount_;
}

template <typename Item>
void NavigationDatabase::ResetGeneratorLocked(const ItemList<Item>& /*list*/) {
  if constexpr (std::is_same_v<Item, Route>) generator_->loadedRoute = -1;
}

template <typename Item>
bool NavigationDatabase::AppendLocked(ItemList<Item>& list, Item item) {
  if (list.Find(item.Name()) >= 0) return false;
  list.Append(std::move(item));
  MarkChangedLocked();
  return true;
}

template <typename Item>
bool NavigationDatabase::InsertLocked(ItemList<Item>& list, int index, Item item) {
  if (index < 0 || static_cast<size_t>(index) > list.items.size()) return false;
  if (list.Find(item.Name()) >= 0) return false;
  list.Insert(index, std::move(item));
  const auto shift = [index](int& value) {
    if (value >= index) ++value;
  };
  if (target_.kind == list.kind) shift(target_.index);
  shift(list.lastUsed);
  shift(list.current);
  ResetGeneratorLocked(list);
  MarkChangedLocked();
  return true;
}

template <typename Item>
bool NavigationDatabase::RemoveAtLocked(ItemList<Item>& list, int index) {
  if (!list.Has(index)) return false;
  EraseLocked(list, index, false);
  MarkChangedLocked();
  return true;
}

template <typename Item>
void NavigationDatabase::EraseLocked(ItemList<Item>& list, int index, bool persistLastUsed) {
  if (target_.kind == list.kind) {
    // Guidance to this entry stops; a later target keeps its entry.
    target_.index = IndexAfterRemoval(target_.index, index);
    if (target_.index < 0) target_ = ActiveTarget();
  }
  const int lastUsed = IndexAfterRemoval(list.lastUsed, index);
  if (lastUsed != list.lastUsed) SetLastUsedLocked(list, lastUsed, persistLastUsed);
  list.current = IndexAfterRemoval(list.current, index);
  ResetGeneratorLocked(list);
  list.Erase(index);
}

bool NavigationDatabase::AppendWaypoint(Waypoint waypoint) {
  std::lock_guard lock(mutex_);
  return AppendLocked(waypoints_, std::move(waypoint));
}

bool NavigationDatabase::InsertWaypoint(int index, Waypoint waypoint) {
  std::lock_guard lock(mutex_);
  return InsertLocked(waypoints_, index, std::move(waypoint));
}

bool NavigationDatabase::RemoveWaypointAt(int index) {
  std::lock_guard lock(mutex_);
  return RemoveAtLocked(waypoints_, index);
}

bool NavigationDatabase::AppendRoute(Route route) {
  std::lock_guard lock(mutex_);
  return AppendLocked(routes_, std::move(route));
}

bool NavigationDatabase::InsertRoute(int index, Route route) {
  std::lock_guard lock(mutex_);
  return InsertLocked(routes_, index, std::move(route));
}

bool NavigationDatabase::RemoveRouteAt(int index) {
  std::lock_guard lock(mutex_);
  return RemoveAtLocked(routes_, index);
}

size_t NavigationDatabase::RemoveWaypointFromRoutes(std::string_view name) {
  std::lock_guard lock(mutex_);
  size_t removed = 0;
  for (Route& route : routes_.items) removed += route.RemoveAll(name);
  if (removed > 0) MarkChangedLocked();
  return removed;
}

size_t NavigationDatabase::RenameWaypointInRoutes(std::string_view oldName,
                                                  std::string_view newName) {
  std::lock_guard lock(mutex_);
  size_t renamed = 0;
  for (Route& route : routes_.items) renamed += route.Rename(oldName, newName);
  if (renamed > 0) MarkChangedLocked();
  return renamed;
}

size_t NavigationDatabase::MarkRoutesContaining(std::string_view waypointName) {
  std::lock_guard lock(mutex_);
  size_t marked = 0;
  for (Route& route : routes_.items) {
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
    waypoints_.Clear();
    routes_.Clear();
    saved_ = true;
    ++changeCount_;
    target_ = ActiveTarget();
    importResult_ = ImportResult::kNothing;
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
  return MergeStoring(std::move(record), source, mode, nullptr);
}

MergeOutcome NavigationDatabase::MergeStoring(Waypoint record, std::string_view source,
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
    waypoints_.Erase(index);
    if (target_.kind == TargetKind::kWaypoint && target_.index >= index) target_ = ActiveTarget();
    waypoints_.lastUsed = IndexAfterRemoval(waypoints_.lastUsed, index);
    waypoints_.current = IndexAfterRemoval(waypoints_.current, index);
  };
  const auto append = [&](MergeOutcome outcome) {
    const int index = waypoints_.Append(std::move(record));
    // Records of the database file itself leave it saved, unless merging
    // them changed the list.
    if (!fromDatabase || outcome != MergeOutcome::kAppended) MarkChangedLocked();
    waypoints_.lastUsed = index;
    CountImportedWaypointLocked();
    if (storedIndex != nullptr) *storedIndex = index;
    return outcome;
  };

  int stored = waypoints_.Find(record.Name());
  if (stored < 0) return append(MergeOutcome::kAppended);
  const Waypoint& storedWaypoint = waypoints_.items[static_cast<size_t>(stored)];
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
  const TakenNameAnswer answer =
      AskAboutTakenName(lock, kReplaceWaypointText, kRenameWaypointText, name);
  if (answer == TakenNameAnswer::kReplace) {
    stored = waypoints_.Find(name);
    if (stored >= 0) removeStored(stored);
    return append(MergeOutcome::kReplaced);
  }
  if (answer == TakenNameAnswer::kRename) {
    record.SetName(TakeGeneratedNameLocked(ItemKind::kWaypoint));
    return append(MergeOutcome::kRenamed);
  }
  return MergeOutcome::kDropped;
}

MergeOutcome NavigationDatabase::MergeRoute(Route record, std::string_view source, MergeMode mode) {
  return MergeStoring(std::move(record), source, mode, nullptr);
}

MergeOutcome NavigationDatabase::MergeStoring(Route record, std::string_view source, MergeMode mode,
                                              int* storedIndex) {
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
    routes_.lastUsed = index;
    CountImportedRouteLocked();
    if (storedIndex != nullptr) *storedIndex = index;
    return outcome;
  };
  const auto append = [&](MergeOutcome outcome) {
    const int index = routes_.Append(std::move(record));
    if (!fromDatabase || outcome != MergeOutcome::kAppended) MarkChangedLocked();
    return finish(index, outcome);
  };

  int stored = routes_.Find(record.Name());
  if (stored < 0) return append(MergeOutcome::kAppended);
  if (routes_.items[static_cast<size_t>(stored)].HasSameWaypoints(record)) {
    return finish(stored, MergeOutcome::kUnchanged);
  }
  if (mode == MergeMode::kSilent || prompter_ == nullptr) return MergeOutcome::kDropped;

  const std::string name = record.Name();
  const TakenNameAnswer answer = AskAboutTakenName(lock, kReplaceRouteText, kRenameRouteText, name);
  if (answer == TakenNameAnswer::kReplace) {
    stored = routes_.Find(name);
    if (stored < 0) return append(MergeOutcome::kReplaced);
    routes_.items[static_cast<size_t>(stored)] = std::move(record);
    if (target_.kind == TargetKind::kRoute && target_.index >= stored) target_ = ActiveTarget();
    if (generator_->loadedRoute == stored) generator_->loadedRoute = -1;
    MarkChangedLocked();
    return finish(stored, MergeOutcome::kReplaced);
  }
  if (answer == TakenNameAnswer::kRename) {
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
  return NumberedName(kind, ReadStartNumber(settings_, kind));
}

std::string NavigationDatabase::TakeGeneratedName(ItemKind kind) {
  std::lock_guard lock(mutex_);
  return TakeGeneratedNameLocked(kind);
}

std::string NavigationDatabase::TakeGeneratedNameLocked(ItemKind kind) {
  const uint32_t number = ReadStartNumber(settings_, kind);
  std::string name = NumberedName(kind, number);
  const auto taken = [&](std::string_view candidate) {
    const int found =
        kind == ItemKind::kWaypoint ? waypoints_.Find(candidate) : routes_.Find(candidate);
    return found >= 0;
  };
  while (taken(name)) name = RandomLetters();
  WriteNextStartNumber(settings_, kind, number);
  return name;
}

// --- List commands -----------------------------------------------------------

bool NavigationDatabase::CreateWaypoint(std::string_view name, const LatLong& position) {
  if (!IsUsableNewName(name)) return false;
  return StoreCreated(waypoints_, ItemKind::kWaypoint, Waypoint(name, position));
}

bool NavigationDatabase::CreateRoute(std::string_view name) {
  if (!IsUsableNewName(name)) return false;
  return StoreCreated(routes_, ItemKind::kRoute, Route(name, {}, RouteType::kComplete));
}

template <typename Item>
bool NavigationDatabase::StoreCreated(ItemList<Item>& list, ItemKind kind, Item record) {
  int index = -1;
  const MergeOutcome outcome =
      MergeStoring(std::move(record), Waypoint::kSelfCreatedPlace, MergeMode::kAsk, &index);
  // Unchanged: an empty route of that name is there already (only routes compare so).
  if (outcome == MergeOutcome::kDropped || outcome == MergeOutcome::kUnchanged) return false;
  std::lock_guard lock(mutex_);
  if (list.Has(index)) SetLastUsedLocked(list, index, true);
  WriteNextStartNumber(settings_, kind, ReadStartNumber(settings_, kind));
  return true;
}

void NavigationDatabase::DeleteWaypointFromSystemLocked(int index) {
  const std::string name = waypoints_.items[static_cast<size_t>(index)].Name();
  EraseLocked(waypoints_, index, true);
  for (Route& route : routes_.items) route.RemoveAll(name);
  MarkChangedLocked();
}

void NavigationDatabase::DeleteRouteLocked(int index) {
  EraseLocked(routes_, index, true);
  MarkChangedLocked();
}

template <typename Item>
std::optional<std::string> NavigationDatabase::AskToDelete(const ItemList<Item>& list, int index,
                                                           std::string_view question) const {
  std::string name;
  {
    std::lock_guard lock(mutex_);
    if (!list.Has(index)) return std::nullopt;
    name = list.items[static_cast<size_t>(index)].Name();
  }
  if (AskYesNo(Insert(question, name), PromptIcon::kQuestion) != PromptAnswer::kYes) {
    return std::nullopt;
  }
  return name;
}

std::optional<int> NavigationDatabase::DeleteWaypoint(int index) {
  const std::optional<std::string> name = AskToDelete(waypoints_, index, kDeleteWaypointText);
  if (!name) return std::nullopt;
  std::lock_guard lock(mutex_);
  const int current = waypoints_.Resolve(index, *name);
  if (current < 0) return std::nullopt;
  DeleteWaypointFromSystemLocked(current);
  return SelectionAfterRemoval(current, waypoints_.items.size());
}

std::optional<int> NavigationDatabase::DeleteRoute(int index) {
  const std::optional<std::string> name = AskToDelete(routes_, index, kDeleteRouteText);
  if (!name) return std::nullopt;
  const bool withWaypoints = AskYesNo(Insert(kDeleteRouteWaypointsText, *name),
                                      PromptIcon::kQuestion) == PromptAnswer::kYes;
  std::lock_guard lock(mutex_);
  const int current = routes_.Resolve(index, *name);
  if (current < 0) return std::nullopt;
  if (withWaypoints) {
    // A copy: deleting a waypoint edits every route, this one included.
    const std::vector<std::string> names =
        routes_.items[static_cast<size_t>(current)].WaypointNames();
    for (const std::string& waypointName : names) {
      const int waypoint = waypoints_.Find(waypointName);
      if (waypoint >= 0) DeleteWaypointFromSystemLocked(waypoint);
    }
  }
  DeleteRouteLocked(current);
  return SelectionAfterRemoval(current, routes_.items.size());
}

std::optional<int> NavigationDatabase::DeleteRouteEntry(int routeIndex, int entry) {
  std::string routeName;
  std::string waypointName;
  {
    std::lock_guard lock(mutex_);
    if (!routes_.Has(routeIndex)) return std::nullopt;
    const Route& route = routes_.items[static_cast<size_t>(routeIndex)];
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
    const int current = routes_.Resolve(routeIndex, routeName);
    if (current < 0) return std::nullopt;
    Route& route = routes_.items[static_cast<size_t>(current)];
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
    const int waypoint = waypoints_.Find(waypointName);
    if (waypoint >= 0) DeleteWaypointFromSystemLocked(waypoint);
    const int current = routes_.Find(routeName);
    if (current >= 0) {
      selection =
          SelectionAfterRemoval(selection, routes_.items[static_cast<size_t>(current)].Size());
    }
  }
  return selection;
}

bool NavigationDatabase::EditWaypoint(int index, std::string_view newName,
                                      const LatLong& newPosition) {
  if (!IsUsableNewName(newName)) return false;
  std::unique_lock lock(mutex_);
  if (!waypoints_.Has(index)) return false;
  const std::string oldName = waypoints_.items[static_cast<size_t>(index)].Name();
  if (newName != oldName && waypoints_.Find(newName) >= 0) {
    lock.unlock();
    if (AskYesNo(Insert(kReplaceWaypointText, newName), PromptIcon::kExclamation) !=
        PromptAnswer::kYes) {
      return false;
    }
    lock.lock();
    const int edited = waypoints_.Resolve(index, oldName);
    int other = waypoints_.Find(newName);
    if (edited < 0 || other < 0) return false;
    Waypoint& otherWaypoint = waypoints_.items[static_cast<size_t>(other)];
    otherWaypoint.SetPosition(newPosition);
    otherWaypoint.SetStoredInDatabase(false);
    // The edited waypoint goes; its route entries now name the other one,
    // which becomes the last used below.
    EraseLocked(waypoints_, edited, false);
    other = waypoints_.Find(newName);
    for (Route& route : routes_.items) {
      if (route.Contains(newName)) route.SetLegsChanged(true);
      route.Rename(oldName, newName);
    }
    SetLastUsedLocked(waypoints_, other, true);
    MarkChangedLocked();
    return true;
  }

  Waypoint& waypoint = waypoints_.items[static_cast<size_t>(index)];
  const bool renamed = newName != oldName;
  const bool moved = !(waypoint.Position() == newPosition);
  if (renamed) {
    waypoints_.Rename(index, newName);
    for (Route& route : routes_.items) route.Rename(oldName, newName);
  }
  if (moved) {
    waypoint.SetPosition(newPosition);
    for (Route& route : routes_.items) {
      if (route.Contains(newName)) route.SetLegsChanged(true);
    }
  }
  if (renamed || moved) {
    waypoint.SetStoredInDatabase(false);
    MarkChangedLocked();
  }
  SetLastUsedLocked(waypoints_, index, true);
  return renamed || moved;
}

bool NavigationDatabase::RenameRoute(int index, std::string_view newName) {
  if (!IsUsableNewName(newName)) return false;
  std::unique_lock lock(mutex_);
  if (!routes_.Has(index)) return false;
  const std::string oldName = routes_.items[static_cast<size_t>(index)].Name();
  if (newName == oldName) {
    SetLastUsedLocked(routes_, index, true);
    return false;
  }
  if (routes_.Find(newName) >= 0) {
    lock.unlock();
    if (AskYesNo(Insert(kReplaceRouteText, newName), PromptIcon::kExclamation) !=
        PromptAnswer::kYes) {
      return false;
    }
    lock.lock();
    const int renamed = routes_.Resolve(index, oldName);
    int other = routes_.Find(newName);
    if (renamed < 0 || other < 0) return false;
    routes_.items[static_cast<size_t>(other)].SetWaypointNames(
        routes_.items[static_cast<size_t>(renamed)].WaypointNames());
    routes_.items[static_cast<size_t>(other)].SetStoredInDatabase(false);
    DeleteRouteLocked(renamed);
    other = routes_.Find(newName);
    SetLastUsedLocked(routes_, other, true);
    MarkChangedLocked();
    return true;
  }
  Route& route = routes_.items[static_cast<size_t>(index)];
  routes_.Rename(index, newName);
  route.SetStoredInDatabase(false);
  if (generator_->loadedRoute == index) generator_->loadedRoute = -1;
  SetLastUsedLocked(routes_, index, true);
  MarkChangedLocked();
  return true;
}

bool NavigationDatabase::SetWaypointDescription(int index, std::string_view text) {
  std::lock_guard lock(mutex_);
  if (!waypoints_.Has(index)) return false;
  Waypoint& waypoint = waypoints_.items[static_cast<size_t>(index)];
  const std::string fitted = Waypoint::FitDescription(text);
  if (fitted == waypoint.Description()) return false;
  waypoint.SetDescription(fitted);
  waypoint.SetStoredInDatabase(false);
  MarkChangedLocked();
  return true;
}

bool NavigationDatabase::SetRouteType(int index, RouteType type) {
  std::lock_guard lock(mutex_);
  if (!routes_.Has(index)) return false;
  Route& route = routes_.items[static_cast<size_t>(index)];
  if (route.Type() == type) return false;
  route.SetType(type);
  route.SetStoredInDatabase(false);
  MarkChangedLocked();
  return true;
}

// Every change of a route's entries: the route is no longer as stored, the
// database is unsaved and the route becomes the last used one.
void NavigationDatabase::TouchRouteLocked(int routeIndex) {
  Route& route = routes_.items[static_cast<size_t>(routeIndex)];
  route.SetLegsChanged(true);
  route.SetStoredInDatabase(false);
  if (generator_->loadedRoute == routeIndex) generator_->loadedRoute = -1;
  SetLastUsedLocked(routes_, routeIndex, true);
  MarkChangedLocked();
}

bool NavigationDatabase::MoveRouteEntryUp(int routeIndex, int entry) {
  std::lock_guard lock(mutex_);
  return MoveRouteEntryLocked(routeIndex, entry, &Route::MoveUp);
}

bool NavigationDatabase::MoveRouteEntryDown(int routeIndex, int entry) {
  std::lock_guard lock(mutex_);
  return MoveRouteEntryLocked(routeIndex, entry, &Route::MoveDown);
}

bool NavigationDatabase::MoveRouteEntryLocked(int routeIndex, int entry,
                                              bool (Route::*move)(size_t)) {
  if (!routes_.Has(routeIndex) || entry < 0) return false;
  Route& route = routes_.items[static_cast<size_t>(routeIndex)];
  if (!(route.*move)(static_cast<size_t>(entry))) return false;
  TouchRouteLocked(routeIndex);
  return true;
}

bool NavigationDatabase::InvertRoute(int routeIndex) {
  std::lock_guard lock(mutex_);
  if (!routes_.Has(routeIndex)) return false;
  routes_.items[static_cast<size_t>(routeIndex)].Invert();
  TouchRouteLocked(routeIndex);
  return true;
}

bool NavigationDatabase::AddWaypointToRoute(int routeIndex, std::string_view waypointName) {
  std::lock_guard lock(mutex_);
  if (!routes_.Has(routeIndex) || waypoints_.Find(waypointName) < 0) return false;
  routes_.items[static_cast<size_t>(routeIndex)].Append(waypointName);
  TouchRouteLocked(routeIndex);
  return true;
}

ActiveTarget NavigationDatabase::GoTo(int waypointIndex) {
  std::lock_guard lock(mutex_);
  if (!waypoints_.Has(waypointIndex)) return target_;
  const ActiveTarget chosen{TargetKind::kWaypoint, waypointIndex};
  SwitchTargetLocked(target_ == chosen ? ActiveTarget() : chosen);
  SetLastUsedLocked(waypoints_, waypointIndex, true);
  return target_;
}

ActiveTarget NavigationDatabase::GoAlong(int routeIndex) {
  std::lock_guard lock(mutex_);
  if (!routes_.Has(routeIndex)) return target_;
  const ActiveTarget chosen{TargetKind::kRoute, routeIndex};
  if (target_ == chosen) {
    target_ = ActiveTarget();
  } else {
    SwitchTargetLocked(chosen);
    routes_.items[static_cast<size_t>(routeIndex)].StartAtFirstWaypoint();
  }
  SetLastUsedLocked(routes_, routeIndex, true);
  return target_;
}

void NavigationDatabase::SwitchTargetLocked(const ActiveTarget& next) {
  if (target_.kind == TargetKind::kRoute && target_ != next && routes_.Has(target_.index)) {
    routes_.items[static_cast<size_t>(target_.index)].ClearCurrentWaypoint();
  }
  target_ = next;
}

// Guidance state, not content: the file does not keep it, so the saved state stays.
bool NavigationDatabase::SetCurrentRouteWaypoint(int routeIndex, int entry) {
  std::lock_guard lock(mutex_);
  if (!routes_.Has(routeIndex)) return false;
  return routes_.items[static_cast<size_t>(routeIndex)].SetCurrentWaypointIndex(entry);
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
  if (target_.kind != TargetKind::kRoute || !routes_.Has(target_.index)) return false;
  Route& route = routes_.items[static_cast<size_t>(target_.index)];
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
  const size_t size =
      kind == TargetKind::kWaypoint ? waypoints_.items.size() : routes_.items.size();
  if (kind == TargetKind::kNone || !InRange(index, size)) {
    target_ = ActiveTarget();
  } else {
    target_ = ActiveTarget{kind, index};
  }
}

int NavigationDatabase::LastUsedWaypoint() const {
  std::lock_guard lock(mutex_);
  return waypoints_.lastUsed;
}

int NavigationDatabase::LastUsedRoute() const {
  std::lock_guard lock(mutex_);
  return routes_.lastUsed;
}

void NavigationDatabase::SetLastUsedWaypoint(int index, bool persist) {
  std::lock_guard lock(mutex_);
  SetLastUsedLocked(waypoints_, index, persist);
}

void NavigationDatabase::SetLastUsedRoute(int index, bool persist) {
  std::lock_guard lock(mutex_);
  SetLastUsedLocked(routes_, index, persist);
}

template <typename Item>
void NavigationDatabase::SetLastUsedLocked(ItemList<Item>& list, int index, bool persist) {
  list.lastUsed = index < 0 ? -1 : index;
  if (persist && settings_ != nullptr) {
    settings_->WriteDword(SettingsHive::kCurrentUser, kGeneralSettingsKey, list.lastUsedValue,
                          static_cast<uint32_t>(list.lastUsed));
  }
}

void NavigationDatabase::RestoreLastUsed() {
  std::lock_guard lock(mutex_);
  if (settings_ == nullptr) return;
  RestoreLastUsedLocked(routes_);
  RestoreLastUsedLocked(waypoints_);
}

template <typename Item>
void NavigationDatabase::RestoreLastUsedLocked(ItemList<Item>& list) {
  // -1 is stored as 0xFFFFFFFF, which is out of range like any stale index.
  const auto stored =
      settings_->ReadDword(SettingsHive::kCurrentUser, kGeneralSettingsKey, list.lastUsedValue);
  if (stored && *stored < list.items.size()) list.lastUsed = static_cast<int>(*stored);
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
  waypoints_.current = waypoints_.Has(index) ? index : -1;
}

void NavigationDatabase::SetCurrentRoute(int index) {
  std::lock_guard lock(mutex_);
  routes_.current = routes_.Has(index) ? index : -1;
  generator_->loadedRoute = -1;
}

int NavigationDatabase::CurrentWaypoint() const {
  std::lock_guard lock(mutex_);
  return waypoints_.current;
}

int NavigationDatabase::CurrentRoute() const {
  std::lock_guard lock(mutex_);
  return routes_.current;
}

bool NavigationDatabase::GenerateSentence(std::string_view mnemonic, NmeaSentence& out) {
  std::lock_guard lock(mutex_);
  if (mnemonic == "WPD" || mnemonic == "WPL") {
    if (!waypoints_.Has(waypoints_.current)) return false;
    const Waypoint& waypoint = waypoints_.items[static_cast<size_t>(waypoints_.current)];
    if (mnemonic == "WPD") {
      generator_->wpd.SetDescription(waypoint.Name(), waypoint.Description());
      return generator_->wpd.Write(out);
    }
    generator_->wpl.SetWaypoint(waypoint.Position(), waypoint.Name());
    return generator_->wpl.Write(out);
  }
  if (mnemonic == "RTE") {
    if (!routes_.Has(routes_.current)) return false;
    if (generator_->loadedRoute != routes_.current) {
      generator_->rte.SetRouteToWrite(
          routes_.items[static_cast<size_t>(routes_.current)].ToRecord());
      generator_->loadedRoute = routes_.current;
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

NavigationDatabase::TakenNameAnswer NavigationDatabase::AskAboutTakenName(
    std::unique_lock<std::mutex>& lock, std::string_view replaceText, std::string_view renameText,
    std::string_view name) const {
  lock.unlock();
  const bool replace =
      AskYesNo(Insert(replaceText, name), PromptIcon::kExclamation) == PromptAnswer::kYes;
  const bool rename = !replace && AskYesNo(Insert(renameText, name), PromptIcon::kExclamation) ==
                                      PromptAnswer::kYes;
  lock.lock();
  if (replace) return TakenNameAnswer::kReplace;
  return rename ? TakenNameAnswer::kRename : TakenNameAnswer::kKeep;
}

bool NavigationDatabase::IsUsableNewName(std::string_view name) const {
  const ItemNameFault fault = CheckItemName(name);
  if (fault == ItemNameFault::kEmpty) return false;
  if (fault != ItemNameFault::kNone) {
    ShowNameFault(name);
    return false;
  }
  return true;
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
