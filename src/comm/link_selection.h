#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/settings_model.h"

namespace orv {

// What one direction (source or destination) is set to: a serial port,
// a Bluetooth device, or neither. Never both.
struct DirectionChoice {
  std::string serialPort;  // as the serial link keeps it ("$device\" rule applied)
  std::optional<BluetoothDeviceEntry> bluetooth;
  bool operator==(const DirectionChoice&) const = default;
};

// What becomes of a direction's link after its choice changed.
enum class RestartAction {
  kNone,     // unchanged and running: leave it
  kStart,    // not running: start it with the choice
  kRestart,  // changed while running: stop, then start with the new choice
};
RestartAction DecideRestart(bool changed, bool running);

inline constexpr std::string_view kBuiltInGpsMenuName = "built-in GPS";

// The source and destination choices and the built-in GPS: read at
// start-up, changed by the device commands, stored at every change. The
// built-in GPS is a serial source whose port the machine's settings name
// (a "gpsd://HOST:PORT" address here).
class LinkSelection {
 public:
  explicit LinkSelection(SettingsModel& settings) : settings_(settings) {}

  // The stored destination, the stored source, then the built-in GPS,
  // which wins over a stored source while it is in use.
  void LoadAtStartup();

  const DirectionChoice& Choice(LinkDirection direction) const;
  bool BuiltInGpsEnabled() const { return gpsEnabled_; }
  bool UseBuiltInGps() const { return useBuiltInGps_; }

  // A port or device the user confirmed; stores it, clears the other kind
  // of the same direction and, for a source, turns the built-in GPS off.
  // Returns whether the direction's choice changed.
  bool ChooseSerialPort(LinkDirection direction, std::string_view port);
  bool ChooseBluetooth(LinkDirection direction, const BluetoothDeviceEntry& device);

  // The "Built-in GPS" command; returns whether the source changed.
  bool ToggleBuiltInGps();

  // The record command's text: caption, a space and the source; nothing
  // when no source is configured (the command is disabled then).
  std::optional<std::string> RecordCommandText(std::string_view caption) const;

 private:
  DirectionChoice& ChoiceOf(LinkDirection direction);

  SettingsModel& settings_;
  DirectionChoice source_;
  DirectionChoice destination_;
  bool gpsEnabled_ = false;
  bool useBuiltInGps_ = false;
};

}  // namespace orv
