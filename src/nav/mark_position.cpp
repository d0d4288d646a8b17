#include "nav/mark_position.h"

#include "nav/navigation_database.h"
#include "nav/navigation_setting_keys.h"
#include "platform/prompter.h"
#include "platform/settings_store.h"

namespace orv {
namespace {

constexpr std::uint32_t kLastStartNumber = 9999;

bool WasStored(MergeOutcome outcome) {
  return outcome == MergeOutcome::kAppended || outcome == MergeOutcome::kMovedToEnd ||
         outcome == MergeOutcome::kReplaced || outcome == MergeOutcome::kRenamed;
}

LatLong ToLatLong(const GeoPoint& point) {
  LatLong position;
  position.SetDegrees(point.latitude, point.longitude);
  return position;
}

// StartNumber moves forward or back within 0..9999, wrapping at both ends.
void StepStartNumber(SettingsStore* settings, std::string_view key, bool forward) {
  if (settings == nullptr) return;
  const std::uint32_t number =
      settings->ReadDword(SettingsHive::kCurrentUser, key, kStartNumberValue).value_or(0);
  std::uint32_t next = 0;
  if (forward) {
    next = number >= kLastStartNumber ? 0 : number + 1;
  } else {
    next = (number == 0 || number > kLastStartNumber) ? kLastStartNumber : number - 1;
  }
  settings->WriteDword(SettingsHive::kCurrentUser, key, kStartNumberValue, next);
}

}  // namespace

MarkPositionSession::MarkPositionSession(NavigationDatabase& database, SettingsStore* settings,
                                         std::string source)
    : database_(database), settings_(settings), source_(std::move(source)) {
  if (settings_ != nullptr) {
    averaging_ =
        settings_->ReadDword(SettingsHive::kCurrentUser, kGeneralSettingsKey, kAveragingValue)
            .value_or(1) != 0;
  }
}

void MarkPositionSession::ToggleAveraging(Prompter* prompter) {
  if (!averaging_) {
    averaging_ = true;
    return;
  }
  if (prompter != nullptr) {
    Prompt prompt;
    prompt.text = kAveragingQuestion;
    prompt.caption = "Question";
    prompt.icon = PromptIcon::kQuestion;
    prompt.buttons = PromptButtons::kYesNo;
    prompt.defaultButton = 1;
    if (prompter->Ask(prompt) != PromptAnswer::kYes) return;
  }
  averaging_ = false;
  averager_.Clear();
}

void MarkPositionSession::Update(const std::optional<GeoPoint>& current) {
  if (closed_) return;
  current_ = current;
  if (!current_) return;
  if (!filled_) FirstFill();
  if (averaging_) averager_.Offer(*current_);
}

void MarkPositionSession::FirstFill() {
  filled_ = true;
  name_ = database_.DefaultNewName(ItemKind::kWaypoint);

  const DatabaseContents contents = database_.Contents();
  for (const Route& route : contents.routes) {
    if (route.PlaceToStore() == source_) return;
  }
  Route route(database_.DefaultNewName(ItemKind::kRoute), {}, RouteType::kComplete);
  const std::string name = route.Name();
  if (database_.MergeRoute(std::move(route), source_, MergeMode::kSilent) ==
      MergeOutcome::kAppended) {
    source_route_ = name;
  }
  StepStartNumber(settings_, kRouteNamingKey, true);
}

std::optional<GeoPoint> MarkPositionSession::PositionToStore() const {
  if (averaging_) {
    if (const auto average = averager_.Average()) return average;
  }
  return current_;
}

bool MarkPositionSession::Store(std::string_view description) {
  if (closed_ || !current_) return false;
  const std::optional<GeoPoint> position = PositionToStore();

  Waypoint waypoint(name_, ToLatLong(*position));
  waypoint.SetDescription(description);
  const bool stored =
      WasStored(database_.MergeWaypoint(std::move(waypoint), source_, MergeMode::kAsk));
  if (stored) {
    // The merge leaves the record it stored as the last used one; it may carry another
    // name when the user chose to save under a new one.
    const int index = database_.LastUsedWaypoint();
    database_.SetLastUsedWaypoint(index, true);
    const std::optional<Waypoint> kept = database_.WaypointAt(index);
    if (kept && selected_route_ >= 0) database_.AddWaypointToRoute(selected_route_, kept->Name());
  }

  if (!source_route_.empty()) {
    const int index = database_.FindRoute(source_route_);
    const std::optional<Route> route = database_.RouteAt(index);
    if (route && route->Size() == 0) {
      database_.RemoveRouteAt(index);
      StepStartNumber(settings_, kRouteNamingKey, false);
    } else if (route) {
      database_.SetLastUsedRoute(index, true);
    }
  }
  StepStartNumber(settings_, kWaypointNamingKey, true);
  Close();
  return stored;
}

void MarkPositionSession::Close() {
  if (closed_) return;
  closed_ = true;
  averager_.Clear();
  if (settings_ != nullptr) {
    settings_->WriteDword(SettingsHive::kCurrentUser, kGeneralSettingsKey, kAveragingValue,
                          averaging_ ? 1 : 0);
  }
}

bool MarkManOverboard(NavigationDatabase& database, bool live_source_active,
                      const std::optional<GeoPoint>& position, std::string_view source,
                      std::string_view description) {
  if (!live_source_active || !position) return false;
  Waypoint waypoint(kManOverboardName, ToLatLong(*position));
  waypoint.SetDescription(description);
  if (!WasStored(database.MergeWaypoint(std::move(waypoint), source, MergeMode::kAsk))) {
    return false;
  }
  const int index = database.LastUsedWaypoint();
  database.SetLastUsedWaypoint(index, true);
  // Go To, but never as a toggle: a second alarm must not switch guidance off.
  if (database.Target() != ActiveTarget{TargetKind::kWaypoint, index}) database.GoTo(index);
  return true;
}

}  // namespace orv
