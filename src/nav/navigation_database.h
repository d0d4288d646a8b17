#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "nav/route.h"
#include "nav/waypoint.h"
#include "nmea/nmea_sentence.h"
#include "platform/prompter.h"

namespace orv {

class SettingsStore;

enum class TargetKind : int { kNone = 0, kWaypoint = 1, kRoute = 2 };

struct ActiveTarget {
  TargetKind kind = TargetKind::kNone;
  int index = -1;
  friend bool operator==(const ActiveTarget&, const ActiveTarget&) = default;
};

// What records merged since the last reset amount to; after an NMEA file has
// been read the program opens the list that fits.
enum class ImportResult : int {
  kNothing = 0,
  kOneWaypoint = 1,
  kSeveralWaypoints = 2,
  kOneRoute = 3,
  kSeveralRoutes = 4
};

enum class ItemKind { kWaypoint, kRoute };

// kSilent is for callers that must not ask: a conflicting record is dropped.
enum class MergeMode { kAsk, kSilent };

enum class MergeOutcome {
  kAppended,    // the name was new
  kMovedToEnd,  // same name and position: the stored one gave way to the new record
  kReplaced,    // same name, differing content, the user chose to replace
  kRenamed,     // stored under a generated name
  kUnchanged,   // a route identical to the stored one
  kDropped      // refused, invalid, or the user kept the stored one
};

// Copies of the whole content, taken in one go, for writing the file off the lock.
struct DatabaseContents {
  std::vector<Waypoint> waypoints;
  std::vector<Route> routes;
  uint64_t changeCount = 0;
};

// The waypoints and routes of the program with the rules by which records
// enter, change and leave them. Used from the main thread and from the
// loader, writer and receiving threads: every operation locks, and no lock
// is held while a question is on screen, so that a painting main thread
// never waits on a worker that waits for the user.
class NavigationDatabase {
 public:
  static constexpr std::string_view kQuestionCaption = "Question";

  NavigationDatabase();
  ~NavigationDatabase();
  NavigationDatabase(const NavigationDatabase&) = delete;
  NavigationDatabase& operator=(const NavigationDatabase&) = delete;

  // Not owned; either may be null (then nothing is asked, or nothing persisted).
  void SetPrompter(Prompter* prompter);
  void SetSettings(SettingsStore* settings);
  // Records whose source is this path are the database's own.
  void SetDatabasePath(std::string_view path);
  std::string DatabasePath() const;

  // --- Content -----------------------------------------------------------
  int WaypointCount() const;
  int RouteCount() const;
  std::optional<Waypoint> WaypointAt(int index) const;
  std::optional<Route> RouteAt(int index) const;
  // Index of the name, or -1. Hashed: no scan of the array.
  int FindWaypoint(std::string_view name) const;
  int FindRoute(std::string_view name) const;
  std::optional<LatLong> WaypointPosition(std::string_view name) const;
  DatabaseContents Contents() const;

  // Plain edits without questions; each clears the saved state. Appending or
  // inserting a name that is already taken is refused (false).
  bool AppendWaypoint(Waypoint waypoint);
  bool InsertWaypoint(int index, Waypoint waypoint);
  bool RemoveWaypointAt(int index);
  bool AppendRoute(Route route);
  bool InsertRoute(int index, Route route);
  bool RemoveRouteAt(int index);
  // Returns the number of route entries touched.
  size_t RemoveWaypointFromRoutes(std::string_view name);
  size_t RenameWaypointInRoutes(std::string_view oldName, std::string_view newName);
  size_t MarkRoutesContaining(std::string_view waypointName);
  void Clear();

  // --- Merge of parsed records ---------------------------------------------
  MergeOutcome MergeWaypoint(Waypoint record, std::string_view source, MergeMode mode);
  MergeOutcome MergeRoute(Route record, std::string_view source, MergeMode mode);

  // --- Names ---------------------------------------------------------------
  // "WPL_0042" / "RTE_0042" from the kind's StartNumber (0 when unset).
  std::string DefaultNewName(ItemKind kind) const;
  // The naming rule for "Save with an another name": the default name, or 12
  // random letters when that is taken; StartNumber moves on (0 after 9999).
  std::string TakeGeneratedName(ItemKind kind);

  // --- List commands (with their questions) ---------------------------------
  // New...: an empty name does nothing; true when the record was stored.
  bool CreateWaypoint(std::string_view name, const LatLong& position);
  bool CreateRoute(std::string_view name);
  // Delete: the selection to show afterwards (-1 when the list is empty), or
  // nothing when the user said No or the entry is gone.
  std::optional<int> DeleteWaypoint(int index);
  std::optional<int> DeleteRoute(int index);
  std::optional<int> DeleteRouteEntry(int routeIndex, int entry);
  // Edit... of a waypoint and Rename... of a route; true when something changed.
  bool EditWaypoint(int index, std::string_view newName, const LatLong& newPosition);
  bool RenameRoute(int index, std::string_view newName);
  bool SetWaypointDescription(int index, std::string_view text);
  bool SetRouteType(int index, RouteType type);
  // Route Waypoints: Up, Down, Invert, Add.
  bool MoveRouteEntryUp(int routeIndex, int entry);
  bool MoveRouteEntryDown(int routeIndex, int entry);
  bool InvertRoute(int routeIndex);
  bool AddWaypointToRoute(int routeIndex, std::string_view waypointName);
  // Go To / Go Along: toggles the target; returns the target afterwards. A
  // route that stops being the target loses its current waypoint; Go Along
  // heads for the first waypoint of its route.
  ActiveTarget GoTo(int waypointIndex);
  ActiveTarget GoAlong(int routeIndex);
  // The waypoint a route's guidance heads for (Route Waypoints, and arrival
  // while following); an entry outside the route changes nothing (false).
  bool SetCurrentRouteWaypoint(int routeIndex, int entry);
  // The next or previous leg of the route being followed: its current
  // waypoint moves by one; false without a route target or at either end.
  bool SelectNextRouteLeg();
  bool SelectPreviousRouteLeg();

  // --- State ---------------------------------------------------------------
  bool IsSaved() const;
  void SetSaved(bool saved);
  // Counts changes; a writer notes it with its snapshot and marks the
  // database saved only if nothing changed while it wrote.
  uint64_t ChangeCount() const;
  bool MarkSavedIfUnchanged(uint64_t changeCount);

  ActiveTarget Target() const;
  // kNone or an index of -1 clears the target.
  void SetActiveTarget(TargetKind kind, int index);

  int LastUsedWaypoint() const;
  int LastUsedRoute() const;
  void SetLastUsedWaypoint(int index, bool persist);
  void SetLastUsedRoute(int index, bool persist);
  // After loading: the persisted indices, where present and in range.
  void RestoreLastUsed();

  ImportResult GetImportResult() const;
  void ResetImportResult();

  // --- Sentences -------------------------------------------------------------
  // Parses one line from a source (a file path or a port name). True when it
  // was a waypoint, route or waypoint-description sentence that was accepted.
  // Each source keeps its own pending description and route in progress, so
  // a file and a receiver read at the same time do not mix their routes.
  bool TakeSentence(std::string_view text, std::string_view source);

  // Cursors of the sentence generator (serial upload).
  void SetCurrentWaypoint(int index);
  void SetCurrentRoute(int index);
  int CurrentWaypoint() const;
  int CurrentRoute() const;
  // "WPD" and "WPL" of the current waypoint; "RTE" of the current route, one
  // sentence per call, false once the route is complete (the next call
  // starts it again). False for other mnemonics or without a current item.
  bool GenerateSentence(std::string_view mnemonic, NmeaSentence& out);

 private:
  struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
  };
  using NameIndex = std::unordered_map<std::string, int, NameHash, std::equal_to<>>;
  struct SourceParser;
  struct Generator;

  // One kind of record: its array, the index of its names and the list
  // positions kept into it. Guarded by mutex_, like the rest of the content.
  template <typename Item>
  struct ItemList {
    ItemList(TargetKind targetKind, std::string_view lastUsedSetting)
        : kind(targetKind), lastUsedValue(lastUsedSetting) {}
    bool Has(int index) const;
    std::optional<Item> At(int index) const;
    // Index of the name, or -1.
    int Find(std::string_view name) const;
    // The entry a command was started on, found again after a question.
    int Resolve(int index, std::string_view name) const;
    // These keep the name index; the positions kept into the list are the caller's.
    int Append(Item item);
    void Insert(int index, Item item);
    void Erase(int index);
    void Rename(int index, std::string_view newName);
    void Clear();

    const TargetKind kind;                 // the target kind that points into this list
    const std::string_view lastUsedValue;  // the setting that persists lastUsed
    std::vector<Item> items;
    NameIndex names;
    int lastUsed = -1;
    int current = -1;  // the sentence generator's cursor

   private:
    void IndexNamesFrom(size_t first);
  };
  enum class TakenNameAnswer { kReplace, kRename, kKeep };

  // All *Locked functions expect mutex_ to be held.
  // storedIndex receives the index the record was stored at.
  MergeOutcome MergeStoring(Waypoint record, std::string_view source, MergeMode mode,
                            int* storedIndex);
  MergeOutcome MergeStoring(Route record, std::string_view source, MergeMode mode,
                            int* storedIndex);
  void MarkChangedLocked();
  // The plain edits of either list, each marking the database changed.
  template <typename Item>
  bool AppendLocked(ItemList<Item>& list, Item item);
  template <typename Item>
  bool InsertLocked(ItemList<Item>& list, int index, Item item);
  template <typename Item>
  bool RemoveAtLocked(ItemList<Item>& list, int index);
  // Erases an entry and moves the positions kept into its list: the target,
  // the last used and the current entry. Does not mark the change.
  template <typename Item>
  void EraseLocked(ItemList<Item>& list, int index, bool persistLastUsed);
  // The route generator keeps the route it loaded by index; waypoint
  // sentences are made afresh on every call, so nothing is kept for them.
  template <typename Item>
  void ResetGeneratorLocked(const ItemList<Item>& list);
  template <typename Item>
  void SetLastUsedLocked(ItemList<Item>& list, int index, bool persist);
  template <typename Item>
  void RestoreLastUsedLocked(ItemList<Item>& list);
  // The deletion rules: target, last used, the array and every route.
  void DeleteWaypointFromSystemLocked(int index);
  void DeleteRouteLocked(int index);
  void CountImportedWaypointLocked();
  void CountImportedRouteLocked();
  std::string TakeGeneratedNameLocked(ItemKind kind);
  void TouchRouteLocked(int routeIndex);
  bool MoveRouteEntryLocked(int routeIndex, int entry, bool (Route::*move)(size_t));
  // Makes `next` the target; a route that stops being it loses its current waypoint.
  void SwitchTargetLocked(const ActiveTarget& next);
  bool StepRouteLegLocked(int step);

  // New... once the name has been checked: merges the record, asking about
  // a taken name, and makes it the last used one. Takes the lock itself.
  template <typename Item>
  bool StoreCreated(ItemList<Item>& list, ItemKind kind, Item record);
  // Takes the lock itself: the name of the entry at `index` once the user
  // said Yes to `question`, or nothing.
  template <typename Item>
  std::optional<std::string> AskToDelete(const ItemList<Item>& list, int index,
                                         std::string_view question) const;
  // Asks with `lock` released what to do with a record whose name is taken.
  TakenNameAnswer AskAboutTakenName(std::unique_lock<std::mutex>& lock,
                                    std::string_view replaceText, std::string_view renameText,
                                    std::string_view name) const;
  // A name typed for a new or edited record: empty does nothing, an
  // unreadable one is shown; true when it may be used.
  bool IsUsableNewName(std::string_view name) const;
  PromptAnswer AskYesNo(std::string_view text, PromptIcon icon) const;
  void ShowNameFault(std::string_view name) const;
  SourceParser& ParserFor(std::string_view source);

  mutable std::mutex mutex_;
  Prompter* prompter_ = nullptr;
  SettingsStore* settings_ = nullptr;
  std::string databasePath_;

  ItemList<Waypoint> waypoints_;
  ItemList<Route> routes_;

  bool saved_ = true;
  uint64_t changeCount_ = 0;
  ActiveTarget target_;
  ImportResult importResult_ = ImportResult::kNothing;
  std::unique_ptr<Generator> generator_;

  std::mutex parsersMutex_;
  std::unordered_map<std::string, std::unique_ptr<SourceParser>, NameHash, std::equal_to<>>
      parsers_;
};

}  // namespace orv
