#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/playback_control.h"
#include "app/track.h"
#include "platform/settings_store.h"

namespace orv {

// Keys of the current-user hive.
inline constexpr std::string_view kSettingsRootKey =
    "Software\\Orvelle Records2010\\Orvelle Recorder7";
inline constexpr std::string_view kGeneralKey =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\General";
inline constexpr std::string_view kFromFileKey =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\PlaybackControl\\FromFile";
inline constexpr std::string_view kFromDirectKey =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\PlaybackControl\\FromDirect";
inline constexpr std::string_view kCommunicationKey =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\Communication";
inline constexpr std::string_view kSourceKey =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\Communication\\Source";
inline constexpr std::string_view kDestinationKey =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\Communication\\Destination";
inline constexpr std::string_view kBluetoothDevicesKey =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\Communication\\BluetoothDevices";
inline constexpr std::string_view kVirtualSerialPortKey =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\VirtualSerialPort";
inline constexpr std::string_view kWaypointsNumberingKey =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\Navigator\\Waypoints";
inline constexpr std::string_view kRoutesNumberingKey =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\Navigator\\Routes";
inline constexpr std::string_view kRouteListKey =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\ListLayouts\\RouteList";
inline constexpr std::string_view kRouteWPListKey =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\ListLayouts\\RouteWPList";
inline constexpr std::string_view kWaypointListKey =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\ListLayouts\\WaypointList";
inline constexpr std::string_view kNearestWaypointListKey =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\ListLayouts\\NearestWaypointList";
inline constexpr std::string_view kBluetoothDeviceListKey =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\ListLayouts\\BluetoothDeviceList";
// Keys of the local-machine hive, published by the platform's GPS service.
inline constexpr std::string_view kGpsIntermediateDriverKey =
    "System\\CurrentControlSet\\GPS Intermediate Driver";
inline constexpr std::string_view kGpsMultiplexerKey =
    "System\\CurrentControlSet\\GPS Intermediate Driver\\Multiplexer";

// The one sub-key per remembered Bluetooth device: this prefix + index.
inline constexpr std::string_view kBluetoothDeviceSubKeyPrefix = "BluetoothDevice_";
inline constexpr std::string_view kDeviceKindBluetooth = "BT";
inline constexpr std::string_view kDeviceKindSerialPort = "SP";

// Every value the program keeps, in the order of the definition table.
enum class SettingId : int {
  // General
  kKindOfView,
  kKindOfEngine,
  kDTUserSelectableField,
  kNavUserSelectableField,
  kDistanceUnits,
  kShowFullDTStatistic,
  kShowFullFFStatistic,
  kSpeedLimit,
  kNightMode,
  kAutomaticallyFollowTheRoute,
  kCoordinateStyles,
  kKindOfRouteGuidance,
  kGoogleTrackLineColored,
  kAntennaAltitudeMode,
  kVSerialPort,
  kEmRescueSMSNumber1,
  kEmRescueSMSNumber2,
  kEmRescueSMSNumber3,
  kSendRescueSMSNumber2,
  kSendRescueSMSNumber3,
  kRouteLastUsedIndex,
  kWaypointLastUsedIndex,
  kAveraging,
  // PlaybackControl
  kFromFilePlaybackMode,
  kFromFilePlaybackDirection,
  kFromFileSpeedZoom,
  kFromDirectPlaybackMode,
  kFromDirectPlaybackDirection,
  kFromDirectSpeedZoom,
  // Communication
  kUseGPSIntermediateDriver,
  kSourceDeviceKind,
  kSourceSerialPort,
  kSourceDeviceName,
  kSourceRemoteDeviceAddress,
  kDestinationDeviceKind,
  kDestinationSerialPort,
  kDestinationDeviceName,
  kDestinationRemoteDeviceAddress,
  kBluetoothDeviceName,           // in kBluetoothDevicesKey\BluetoothDevice_<n>
  kBluetoothDeviceRemoteAddress,  // in kBluetoothDevicesKey\BluetoothDevice_<n>
  // GPS service of the machine
  kGpsIsEnabled,
  kGpsDriverInterface,
  // VirtualSerialPort
  kServiceHandle,
  // Navigator numbering
  kWaypointsStartNumber,
  kRoutesStartNumber,
  // ListLayouts: column widths
  kWaypointListWaypointNameWidth,
  kWaypointListLatitudeWidth,
  kWaypointListLongitudeWidth,
  kWaypointListPlaceToStoreWidth,
  kRouteListRouteNameWidth,
  kRouteListPlaceToStoreWidth,
  kRouteWPListNumberWidth,
  kRouteWPListWaypointNameWidth,
  kRouteWPListDesiredTrackOfLegWidth,
  kRouteWPListLegDistanceWidth,
  kRouteWPListDistanceFromTheBeginWidth,
  kRouteWPListDistanceToTheEndWidth,
  kNearestWaypointListNameWidth,
  kNearestWaypointListDSTWidth,
  kNearestWaypointListBRGWidth,
  kBluetoothDeviceListDeviceNameWidth,
  kBluetoothDeviceListDeviceAddressWidth,
  kCount
};

enum class SettingType { kDword, kText, kBinary };

// What a read gives when the value is missing or of another type.
enum class SettingDefault {
  kNumber,       // the DWORD `number` (a text setting: the empty text)
  kNone,         // nothing: the caller leaves the thing unset
  kScaledWidth,  // a column width: round(number * dpi / 96)
};

struct SettingDefinition {
  SettingId id;
  SettingsHive hive;
  std::string_view key;
  std::string_view name;
  SettingType type;
  SettingDefault defaultKind;
  std::int32_t number;  // the default DWORD (as signed) or the width at 96 dpi
  // The value lives in `key` + "\\BluetoothDevice_" + index, one sub-key per
  // remembered device; only the list accessors reach it.
  bool perDevice = false;
};

enum class LinkDirection { kSource, kDestination };

struct BluetoothDeviceEntry {
  std::string name;
  std::uint64_t address = 0;  // the 48-bit device address
  bool operator==(const BluetoothDeviceEntry&) const = default;
};

// What one direction is configured with: a serial port or a Bluetooth device.
struct LinkDevice {
  enum class Kind { kSerialPort, kBluetooth };
  Kind kind = Kind::kSerialPort;
  std::string serialPort;
  BluetoothDeviceEntry bluetooth;
  bool operator==(const LinkDevice&) const = default;
};

// The platform's built-in GPS as read at start-up.
struct BuiltInGpsSettings {
  bool enabled = false;  // the machine publishes a usable GPS port
  bool use = false;      // the user records from it
  std::string driverInterface;
};

// The start-up reads, one step per entry, in the order they happen on the
// first activation of the main window.
enum class StartupStep {
  kBluetoothDeviceList,
  kDestinationDevice,
  kSourceDevice,
  kBuiltInGps,
  kKindOfViewAndEngine,
  kDTUserSelectableField,
  kNavUserSelectableField,
  kPlaybackOfBothTracks,
  kDistanceUnits,
  kShowFullDTStatistic,
  kSpeedLimit,
  kRescueNumbersAndFlags,
  kShowFullFFStatistic,
  kAutomaticallyFollowTheRoute,
  kCoordinateStyles,
  kVSerialPort,
  kGoogleTrackLineColored,
  kKindOfRouteGuidance,
  kAntennaAltitudeMode,
  kNightMode,
};

inline constexpr std::array kStartupLoadOrder = {
    StartupStep::kBluetoothDeviceList,
    StartupStep::kDestinationDevice,
    StartupStep::kSourceDevice,
    StartupStep::kBuiltInGps,
    StartupStep::kKindOfViewAndEngine,
    StartupStep::kDTUserSelectableField,
    StartupStep::kNavUserSelectableField,
    StartupStep::kPlaybackOfBothTracks,
    StartupStep::kDistanceUnits,
    StartupStep::kShowFullDTStatistic,
    StartupStep::kSpeedLimit,
    StartupStep::kRescueNumbersAndFlags,
    StartupStep::kShowFullFFStatistic,
    StartupStep::kAutomaticallyFollowTheRoute,
    StartupStep::kCoordinateStyles,
    StartupStep::kVSerialPort,
    StartupStep::kGoogleTrackLineColored,
    StartupStep::kKindOfRouteGuidance,
    StartupStep::kAntennaAltitudeMode,
    StartupStep::kNightMode,
};

// Everything the start-up reads, defaults applied.
struct StartupSettings {
  std::vector<BluetoothDeviceEntry> bluetoothDevices;
  std::optional<LinkDevice> destination;
  std::optional<LinkDevice> source;
  BuiltInGpsSettings builtInGps;
  std::int32_t kindOfView = 0;
  std::int32_t kindOfEngine = 0;
  std::int32_t dtUserSelectableField = 0;
  std::int32_t navUserSelectableField = 0;
  PlaybackSettings fromFile;
  PlaybackSettings fromDirect;
  std::int32_t distanceUnits = 0;
  bool showFullDTStatistic = false;
  std::int32_t speedLimit = 0;
  std::array<std::string, 3> rescueNumbers;
  bool sendRescueSMSNumber2 = false;
  bool sendRescueSMSNumber3 = false;
  bool showFullFFStatistic = false;
  bool automaticallyFollowTheRoute = false;
  std::int32_t coordinateStyles = 0;
  std::int32_t vSerialPort = 0;
  bool googleTrackLineColored = false;
  std::int32_t kindOfRouteGuidance = 0;
  std::int32_t antennaAltitudeMode = 0;
  bool nightMode = false;
};

// The program's settings over a settings store: each value's place, type and
// default come from one table, and the rules that go beyond "missing takes
// the default" live here too. Reads never fail: a missing or unreadable value
// takes its default silently.
class SettingsModel {
 public:
  explicit SettingsModel(SettingsStore& store) : store_(store) {}

  static std::span<const SettingDefinition> Definitions();
  static const SettingDefinition& Definition(SettingId id);

  // The stored value as it is, or nothing when missing or of another type.
  std::optional<std::uint32_t> StoredDword(SettingId id) const;
  std::optional<std::string> StoredText(SettingId id) const;

  // With the default applied. Int is the DWORD seen as signed, for the
  // values that use -1 for "none".
  std::uint32_t Dword(SettingId id) const;
  std::int32_t Int(SettingId id) const;
  bool Flag(SettingId id) const { return Dword(id) != 0; }
  std::string Text(SettingId id) const;

  bool WriteDword(SettingId id, std::uint32_t value);
  bool WriteInt(SettingId id, std::int32_t value) {
    return WriteDword(id, static_cast<std::uint32_t>(value));
  }
  bool WriteText(SettingId id, std::string_view value);

  // "KindOfView": 0 counts as missing (route guidance).
  std::int32_t KindOfView() const;
  // "KindOfEngine": 0 counts as missing (the live track).
  std::int32_t KindOfEngine() const;

  // Replay settings: FromFile for the recorded track, FromDirect for the
  // live one.
  PlaybackSettings Playback(TrackKind track) const;
  bool WritePlayback(TrackKind track, const PlaybackSettings& settings);

  // A direction's device: nothing when the kind is unknown or its values
  // cannot be read.
  std::optional<LinkDevice> Device(LinkDirection direction) const;
  // Replaces the stored device: the key is deleted, then written anew with
  // only the kind's values.
  bool WriteDevice(LinkDirection direction, const LinkDevice& device);
  bool ClearDevice(LinkDirection direction);

  // The remembered Bluetooth devices, up to the first index without an
  // address; a missing name reads as empty.
  std::vector<BluetoothDeviceEntry> BluetoothDevices() const;
  // Replaces the whole list: the key is deleted, then indices 0, 1, ... are
  // written in list order.
  bool WriteBluetoothDevices(std::span<const BluetoothDeviceEntry> devices);

  BuiltInGpsSettings BuiltInGps() const;

  // A list column's width in pixels at the screen's `dpi`.
  std::int32_t ColumnWidth(SettingId id, int dpi) const;

  // Reads everything in kStartupLoadOrder.
  StartupSettings ReadStartup() const;

 private:
  SettingsStore& store_;
};

// The 64-bit device address as the 8 bytes it is stored as, least
// significant first, and back (anything but 8 bytes is no address).
std::vector<std::uint8_t> DeviceAddressBytes(std::uint64_t address);
std::optional<std::uint64_t> DeviceAddressFromBytes(std::span<const std::uint8_t> bytes);

}  // namespace orv
