#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "nav/geo_point.h"
#include "nav/position_averaging.h"

namespace orv {

class NavigationDatabase;
class Prompter;
class SettingsStore;

inline constexpr std::string_view kAveragingValue = "Averaging";
inline constexpr std::string_view kAveragingQuestion =
    "The positioning averaging function will help reduce the position error when marking a "
    "waypoint, providing more accurate saved position!\n\nDo You want to switch it off?";
inline constexpr std::string_view kManOverboardName = "ManOverboard";

// The model of the Mark Position dialog, from opening to OK or Cancel. The dialog calls
// Update once a second with the current point; the first known position fills in the
// default name and creates the source route, an empty route for the live source or
// replayed file that the user may add the mark to. `source` names that source (the
// playback file path when replaying, else the active port's name) and becomes the place
// to store of what is created. Settings and the prompter may be null (then the defaults
// apply and nothing is asked).
class MarkPositionSession {
 public:
  MarkPositionSession(NavigationDatabase& database, SettingsStore* settings, std::string source);

  // The "Averaging" command. Switching off asks first (No keeps it on); either way off
  // discards the samples. Switching on asks nothing.
  void ToggleAveraging(Prompter* prompter);
  bool IsAveraging() const { return averaging_; }
  const std::vector<GeoPoint>& Samples() const { return averager_.Samples(); }

  // The timer tick: the current position, or none while it is not known.
  void Update(const std::optional<GeoPoint>& current);
  // OK is enabled only while the position is known.
  bool CanStore() const { return current_.has_value(); }
  std::optional<GeoPoint> CurrentPosition() const { return current_; }

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  // The route created for the source at the first fill; empty when none was needed.
  const std::string& SourceRouteName() const { return source_route_; }

  // The route the mark is added to; -1 (the default) for none.
  void SelectRoute(int route_index) { selected_route_ = route_index; }

  // What Store would put into the database: the averaged position when averaging gave one,
  // else the current position.
  std::optional<GeoPoint> PositionToStore() const;

  // OK: stores the waypoint with the given description (the mark time, formatted by the
  // caller) and closes the session. True when the waypoint was stored.
  bool Store(std::string_view description);
  // Cancel: closes without storing.
  void Cancel() { Close(); }

 private:
  void FirstFill();
  void Close();

  NavigationDatabase& database_;
  SettingsStore* settings_;
  std::string source_;
  bool averaging_ = true;
  PositionAverager averager_;
  std::optional<GeoPoint> current_;
  bool filled_ = false;
  bool closed_ = false;
  std::string name_;
  std::string source_route_;
  int selected_route_ = -1;
};

// Man Overboard: stores the current position of the live source as "ManOverboard" (asking
// before it replaces an earlier one elsewhere) and makes it the last used waypoint and the
// active target. Nothing happens without a live source or a known position. True when the
// waypoint is stored and targeted: the main window then shows route guidance.
bool MarkManOverboard(NavigationDatabase& database, bool live_source_active,
                      const std::optional<GeoPoint>& position, std::string_view source,
                      std::string_view description);

}  // namespace orv
