#include "app/settings_model.h"

#include <cmath>

#include "app/display_units.h"

namespace orv {

namespace {

using enum SettingId;
constexpr SettingsHive kUser = SettingsHive::kCurrentUser;
constexpr SettingsHive kMachine = SettingsHive::kLocalMachine;
constexpr SettingType kDword = SettingType::kDword;
constexpr SettingType kText = SettingType::kText;
constexpr SettingType kBinary = SettingType::kBinary;
constexpr SettingDefault kNumber = SettingDefault::kNumber;
constexpr SettingDefault kNone = SettingDefault::kNone;
constexpr SettingDefault kWidth = SettingDefault::kScaledWidth;

constexpr std::int32_t kViewRouteGuidance = 3;
constexpr std::int32_t kEngineRecording = static_cast<std::int32_t>(TrackKind::kRecording);

// The one place where each value's key, name, type and default are written.
constexpr SettingDefinition kDefinitions[] = {
    {kKindOfView, kUser, kGeneralKey, "KindOfView", kDword, kNumber, kViewRouteGuidance},
    {kKindOfEngine, kUser, kGeneralKey, "KindOfEngine", kDword, kNumber, kEngineRecording},
    {kDTUserSelectableField, kUser, kGeneralKey, "DTUserSelectableField", kDword, kNumber, 1},
    {kNavUserSelectableField, kUser, kGeneralKey, "NavUserSelectableField", kDword, kNumber, 1},
    {kDistanceUnits, kUser, kGeneralKey, "DistanceUnits", kDword, kNumber,
     static_cast<std::int32_t>(kDefaultDistanceUnits)},
    {kShowFullDTStatistic, kUser, kGeneralKey, "ShowFullDTStatistic", kDword, kNumber, 1},
    {kShowFullFFStatistic, kUser, kGeneralKey, "ShowFullFFStatistic", kDword, kNumber, 1},
    {kSpeedLimit, kUser, kGeneralKey, "SpeedLimit", kDword, kNumber, -1},
    {kNightMode, kUser, kGeneralKey, "NightMode", kDword, kNumber, 0},
    {kAutomaticallyFollowTheRoute, kUser, kGeneralKey, "AutomaticallyFollowTheRoute", kDword,
     kNumber, 1},
    {kCoordinateStyles, kUser, kGeneralKey, "CoordinateStyles", kDword, kNumber, 0},
    {kKindOfRouteGuidance, kUser, kGeneralKey, "KindOfRouteGuidance", kDword, kNumber, 2},
    {kGoogleTrackLineColored, kUser, kGeneralKey, "GoogleTrackLineColored", kDword, kNumber, 1},
    {kAntennaAltitudeMode, kUser, kGeneralKey, "AntennaAltitudeMode", kDword, kNumber, 1},
    {kVSerialPort, kUser, kGeneralKey, "VSerialPort", kDword, kNumber, -1},
    {kEmRescueSMSNumber1, kUser, kGeneralKey, "EmRescueSMSNumber1", kText, kNumber, 0},
    {kEmRescueSMSNumber2, kUser, kGeneralKey, "EmRescueSMSNumber2", kText, kNumber, 0},
    {kEmRescueSMSNumber3, kUser, kGeneralKey, "EmRescueSMSNumber3", kText, kNumber, 0},
    {kSendRescueSMSNumber2, kUser, kGeneralKey, "SendRescueSMSNumber2", kDword, kNumber, 0},
    {kSendRescueSMSNumber3, kUser, kGeneralKey, "SendRescueSMSNumber3", kDword, kNumber, 0},
    {kRouteLastUsedIndex, kUser, kGeneralKey, "RouteLastUsedIndex", kDword, kNumber, -1},
    {kWaypointLastUsedIndex, kUser, kGeneralKey, "WaypointLastUsedIndex", kDword, kNumber, -1},
    {kAveraging, kUser, kGeneralKey, "Averaging", kDword, kNumber, 1},

    {kFromFilePlaybackMode, kUser, kFromFileKey, "PlaybackMode", kDword, kNumber, kPlaybackPaused},
    {kFromFilePlaybackDirection, kUser, kFromFileKey, "PlaybackDirection", kDword, kNumber,
     kPlaybackForward},
    {kFromFileSpeedZoom, kUser, kFromFileKey, "SpeedZoom", kDword, kNumber, kSpeedZooms[0]},
    {kFromDirectPlaybackMode, kUser, kFromDirectKey, "PlaybackMode", kDword, kNumber,
     kPlaybackPaused},
    {kFromDirectPlaybackDirection, kUser, kFromDirectKey, "PlaybackDirection", kDword, kNumber,
     kPlaybackForward},
    {kFromDirectSpeedZoom, kUser, kFromDirectKey, "SpeedZoom", kDword, kNumber, kSpeedZooms[0]},

    {kUseGPSIntermediateDriver, kUser, kCommunicationKey, "UseGPSIntermediateDriver", kDword,
     kNumber, 1},
    {kSourceDeviceKind, kUser, kSourceKey, "DeviceKind", kText, kNone, 0},
    {kSourceSerialPort, kUser, kSourceKey, "SerialPort", kText, kNone, 0},
    {kSourceDeviceName, kUser, kSourceKey, "DeviceName", kText, kNone, 0},
    {kSourceRemoteDeviceAddress, kUser, kSourceKey, "RemoteDeviceAddress", kBinary, kNone, 0},
    {kDestinationDeviceKind, kUser, kDestinationKey, "DeviceKind", kText, kNone, 0},
    {kDestinationSerialPort, kUser, kDestinationKey, "SerialPort", kText, kNone, 0},
    {kDestinationDeviceName, kUser, kDestinationKey, "DeviceName", kText, kNone, 0},
    {kDestinationRemoteDeviceAddress, kUser, kDestinationKey, "RemoteDeviceAddress", kBinary, kNone,
     0},
    {kBluetoothDeviceName, kUser, kBluetoothDevicesKey, "DeviceName", kText, kNumber, 0, true},
    {kBluetoothDeviceRemoteAddress, kUser, kBluetoothDevicesKey, "RemoteDeviceAddress", kBinary,
     kNone, 0, true},

    {kGpsIsEnabled, kMachine, kGpsIntermediateDriverKey, "IsEnabled", kDword, kNumber, 1},
    {kGpsDriverInterface, kMachine, kGpsMultiplexerKey, "DriverInterface", kText, kNone, 0},

    {kServiceHandle, kUser, kVirtualSerialPortKey, "ServiceHandle", kDword, kNumber, 0},

    {kWaypointsStartNumber, kUser, kWaypointsNumberingKey, "StartNumber", kDword, kNumber, 0},
    {kRoutesStartNumber, kUser, kRoutesNumberingKey, "StartNumber", kDword, kNumber, 0},

    {kWaypointListWaypointNameWidth, kUser, kWaypointListKey, "WaypointNameColumnWidth", kDword,
     kWidth, 90},
    {kWaypointListLatitudeWidth, kUser, kWaypointListKey, "LatitudeColumnWidth", kDword, kWidth,
     90},
    {kWaypointListLongitudeWidth, kUser, kWaypointListKey, "LongitudeColumnWidth", kDword, kWidth,
     90},
    {kWaypointListPlaceToStoreWidth, kUser, kWaypointListKey, "PlaceToStoreColumnWidth", kDword,
     kWidth, 100},
    {kRouteListRouteNameWidth, kUser, kRouteListKey, "RouteNameColumnWidth", kDword, kWidth, 90},
    {kRouteListPlaceToStoreWidth, kUser, kRouteListKey, "PlaceToStoreColumnWidth", kDword, kWidth,
     100},
    {kRouteWPListNumberWidth, kUser, kRouteWPListKey, "NumberColumnWidth", kDword, kWidth, 45},
    {kRouteWPListWaypointNameWidth, kUser, kRouteWPListKey, "WaypointNameColumnWidth", kDword,
     kWidth, 90},
    {kRouteWPListDesiredTrackOfLegWidth, kUser, kRouteWPListKey, "DesiredTrackOfLegColumnWidth",
     kDword, kWidth, 90},
    {kRouteWPListLegDistanceWidth, kUser, kRouteWPListKey, "LegDistanceColumnWidth", kDword, kWidth,
     90},
    {kRouteWPListDistanceFromTheBeginWidth, kUser, kRouteWPListKey,
     "DistanceFromTheBeginColumnWidth", kDword, kWidth, 90},
    // The "Distance to the End" column has always been stored under this name.
    {kRouteWPListDistanceToTheEndWidth, kUser, kRouteWPListKey, "DistanceToTheBeginColumnWidth",
     kDword, kWidth, 90},
    {kNearestWaypointListNameWidth, kUser, kNearestWaypointListKey,
     "NearestWaypointNameColumnWidth", kDword, kWidth, 90},
    {kNearestWaypointListDSTWidth, kUser, kNearestWaypointListKey, "DSTColumnWidth", kDword, kWidth,
     90},
    {kNearestWaypointListBRGWidth, kUser, kNearestWaypointListKey, "BRGColumnWidth", kDword, kWidth,
     90},
    {kBluetoothDeviceListDeviceNameWidth, kUser, kBluetoothDeviceListKey, "DeviceNameColumnWidth",
     kDword, kWidth, 90},
    {kBluetoothDeviceListDeviceAddressWidth, kUser, kBluetoothDeviceListKey,
     "DeviceAddressColumnWidth", kDword, kWidth, 90},
};

constexpr bool DefinitionsFollowTheIds() {
  if (std::size(kDefinitions) != static_cast<std::size_t>(SettingId::kCount)) return false;
  for (std::size_t i = 0; i < std::size(kDefinitions); ++i) {
    if (static_cast<std::size_t>(kDefinitions[i].id) != i) return false;
  }
  return true;
}
static_assert(DefinitionsFollowTheIds(), "one definition per SettingId, in SettingId order");

// The values of one direction's device.
struct DeviceIds {
  SettingId kind;
  SettingId serialPort;
  SettingId deviceName;
  SettingId address;
  std::string_view key;
};

DeviceIds IdsOf(LinkDirection direction) {
  if (direction == LinkDirection::kSource) {
    return {kSourceDeviceKind, kSourceSerialPort, kSourceDeviceName, kSourceRemoteDeviceAddress,
            kSourceKey};
  }
  return {kDestinationDeviceKind, kDestinationSerialPort, kDestinationDeviceName,
          kDestinationRemoteDeviceAddress, kDestinationKey};
}

struct PlaybackIds {
  SettingId mode;
  SettingId direction;
  SettingId speedZoom;
};

PlaybackIds IdsOf(TrackKind track) {
  if (track == TrackKind::kRecorded) {
    return {kFromFilePlaybackMode, kFromFilePlaybackDirection, kFromFileSpeedZoom};
  }
  return {kFromDirectPlaybackMode, kFromDirectPlaybackDirection, kFromDirectSpeedZoom};
}

std::string DeviceSubKey(std::size_t index) {
  std::string key(kBluetoothDevicesKey);
  key += '\\';
  key += kBluetoothDeviceSubKeyPrefix;
  key += std::to_string(index);
  return key;
}

}  // namespace

std::vector<std::uint8_t> DeviceAddressBytes(std::uint64_t address) {
  std::vector<std::uint8_t> bytes(8);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<std::uint8_t>(address >> (8 * i));
  }
  return bytes;
}

std::optional<std::uint64_t> DeviceAddressFromBytes(std::span<const std::uint8_t> bytes) {
  if (bytes.size() != 8) return std::nullopt;
  std::uint64_t address = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    address |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
  }
  return address;
}

std::span<const SettingDefinition> SettingsModel::Definitions() {
  return kDefinitions;
}

const SettingDefinition& SettingsModel::Definition(SettingId id) {
  return kDefinitions[static_cast<std::size_t>(id)];
}

std::optional<std::uint32_t> SettingsModel::StoredDword(SettingId id) const {
  const SettingDefinition& definition = Definition(id);
  if (definition.type != SettingType::kDword || definition.perDevice) return std::nullopt;
  return store_.ReadDword(definition.hive, definition.key, definition.name);
}

std::optional<std::string> SettingsModel::StoredText(SettingId id) const {
  const SettingDefinition& definition = Definition(id);
  if (definition.type != SettingType::kText || definition.perDevice) return std::nullopt;
  return store_.ReadText(definition.hive, definition.key, definition.name);
}

std::uint32_t SettingsModel::Dword(SettingId id) const {
  if (auto stored = StoredDword(id)) return *stored;
  return static_cast<std::uint32_t>(Definition(id).number);
}

std::int32_t SettingsModel::Int(SettingId id) const {
  return static_cast<std::int32_t>(Dword(id));
}

std::string SettingsModel::Text(SettingId id) const {
  return StoredText(id).value_or("");
}

bool SettingsModel::WriteDword(SettingId id, std::uint32_t value) {
  const SettingDefinition& definition = Definition(id);
  if (definition.type != SettingType::kDword || definition.perDevice) return false;
  return store_.WriteDword(definition.hive, definition.key, definition.name, value);
}

bool SettingsModel::WriteText(SettingId id, std::string_view value) {
  const SettingDefinition& definition = Definition(id);
  if (definition.type != SettingType::kText || definition.perDevice) return false;
  return store_.WriteText(definition.hive, definition.key, definition.name, value);
}

std::int32_t SettingsModel::KindOfView() const {
  std::int32_t kind = Int(kKindOfView);
  return kind == 0 ? Definition(kKindOfView).number : kind;
}

std::int32_t SettingsModel::KindOfEngine() const {
  std::int32_t kind = Int(kKindOfEngine);
  return kind == 0 ? Definition(kKindOfEngine).number : kind;
}

PlaybackSettings SettingsModel::Playback(TrackKind track) const {
  PlaybackIds ids = IdsOf(track);
  return {Int(ids.mode), Int(ids.direction), Int(ids.speedZoom)};
}

bool SettingsModel::WritePlayback(TrackKind track, const PlaybackSettings& settings) {
  PlaybackIds ids = IdsOf(track);
  bool written = WriteInt(ids.mode, settings.mode);
  written &= WriteInt(ids.direction, settings.direction);
  written &= WriteInt(ids.speedZoom, settings.speedZoom);
  return written;
}

std::optional<LinkDevice> SettingsModel::Device(LinkDirection direction) const {
  DeviceIds ids = IdsOf(direction);
  auto kind = StoredText(ids.kind);
  if (!kind) return std::nullopt;
  if (*kind == kDeviceKindSerialPort) {
    auto port = StoredText(ids.serialPort);
    if (!port) return std::nullopt;
    return LinkDevice{LinkDevice::Kind::kSerialPort, std::move(*port), {}};
  }
  if (*kind == kDeviceKindBluetooth) {
    auto name = StoredText(ids.deviceName);
    const SettingDefinition& address = Definition(ids.address);
    auto bytes = store_.ReadBinary(address.hive, address.key, address.name);
    std::optional<std::uint64_t> value;
    if (bytes) value = DeviceAddressFromBytes(*bytes);
    if (!name || !value) return std::nullopt;
    return LinkDevice{LinkDevice::Kind::kBluetooth, {}, {std::move(*name), *value}};
  }
  return std::nullopt;
}

bool SettingsModel::ClearDevice(LinkDirection direction) {
  return store_.DeleteKey(kUser, IdsOf(direction).key);
}

bool SettingsModel::WriteDevice(LinkDirection direction, const LinkDevice& device) {
  DeviceIds ids = IdsOf(direction);
  bool written = ClearDevice(direction);
  if (device.kind == LinkDevice::Kind::kSerialPort) {
    written &= WriteText(ids.kind, kDeviceKindSerialPort);
    written &= WriteText(ids.serialPort, device.serialPort);
  } else {
    written &= WriteText(ids.kind, kDeviceKindBluetooth);
    written &= WriteText(ids.deviceName, device.bluetooth.name);
    const SettingDefinition& address = Definition(ids.address);
    written &= store_.WriteBinary(address.hive, address.key, address.name,
                                  DeviceAddressBytes(device.bluetooth.address));
  }
  return written;
}

std::vector<BluetoothDeviceEntry> SettingsModel::BluetoothDevices() const {
  const SettingDefinition& name = Definition(kBluetoothDeviceName);
  const SettingDefinition& address = Definition(kBluetoothDeviceRemoteAddress);
  std::vector<BluetoothDeviceEntry> devices;
  for (std::size_t index = 0;; ++index) {
    std::string key = DeviceSubKey(index);
    auto bytes = store_.ReadBinary(address.hive, key, address.name);
    if (!bytes) break;
    // An address of the wrong size cannot be read as 8 bytes: the list ends.
    auto value = DeviceAddressFromBytes(*bytes);
    if (!value) break;
    devices.push_back({store_.ReadText(name.hive, key, name.name).value_or(""), *value});
  }
  return devices;
}

bool SettingsModel::WriteBluetoothDevices(std::span<const BluetoothDeviceEntry> devices) {
  const SettingDefinition& name = Definition(kBluetoothDeviceName);
  const SettingDefinition& address = Definition(kBluetoothDeviceRemoteAddress);
  bool written = store_.DeleteKey(kUser, kBluetoothDevicesKey);
  for (std::size_t index = 0; index < devices.size(); ++index) {
    std::string key = DeviceSubKey(index);
    written &= store_.WriteText(name.hive, key, name.name, devices[index].name);
    written &= store_.WriteBinary(address.hive, key, address.name,
                                  DeviceAddressBytes(devices[index].address));
  }
  return written;
}

BuiltInGpsSettings SettingsModel::BuiltInGps() const {
  BuiltInGpsSettings gps;
  if (Dword(kGpsIsEnabled) == 0) return gps;
  auto driverInterface = StoredText(kGpsDriverInterface);
  if (!driverInterface) return gps;
  gps.enabled = true;
  gps.driverInterface = std::move(*driverInterface);
  gps.use = Flag(kUseGPSIntermediateDriver);
  return gps;
}

std::int32_t SettingsModel::ColumnWidth(SettingId id, int dpi) const {
  const SettingDefinition& definition = Definition(id);
  if (auto stored = StoredDword(id)) return static_cast<std::int32_t>(*stored);
  if (definition.defaultKind != SettingDefault::kScaledWidth) return definition.number;
  return static_cast<std::int32_t>(
      std::lround(definition.number * static_cast<double>(dpi) / 96.0));
}

StartupSettings SettingsModel::ReadStartup() const {
  StartupSettings settings;
  for (StartupStep step : kStartupLoadOrder) {
    switch (step) {
      case StartupStep::kBluetoothDeviceList:
        settings.bluetoothDevices = BluetoothDevices();
        break;
      case StartupStep::kDestinationDevice:
        settings.destination = Device(LinkDirection::kDestination);
        break;
      case StartupStep::kSourceDevice:
        settings.source = Device(LinkDirection::kSource);
        break;
      case StartupStep::kBuiltInGps:
        settings.builtInGps = BuiltInGps();
        break;
      case StartupStep::kKindOfViewAndEngine:
        settings.kindOfView = KindOfView();
        settings.kindOfEngine = KindOfEngine();
        break;
      case StartupStep::kDTUserSelectableField:
        settings.dtUserSelectableField = Int(kDTUserSelectableField);
        break;
      case StartupStep::kNavUserSelectableField:
        settings.navUserSelectableField = Int(kNavUserSelectableField);
        break;
      case StartupStep::kPlaybackOfBothTracks:
        settings.fromFile = Playback(TrackKind::kRecorded);
        settings.fromDirect = Playback(TrackKind::kRecording);
        break;
      case StartupStep::kDistanceUnits:
        settings.distanceUnits = Int(kDistanceUnits);
        break;
      case StartupStep::kShowFullDTStatistic:
        settings.showFullDTStatistic = Flag(kShowFullDTStatistic);
        break;
      case StartupStep::kSpeedLimit:
        settings.speedLimit = Int(kSpeedLimit);
        break;
      case StartupStep::kRescueNumbersAndFlags:
        settings.rescueNumbers = {Text(kEmRescueSMSNumber1), Text(kEmRescueSMSNumber2),
                                  Text(kEmRescueSMSNumber3)};
        settings.sendRescueSMSNumber2 = Flag(kSendRescueSMSNumber2);
        settings.sendRescueSMSNumber3 = Flag(kSendRescueSMSNumber3);
        break;
      case StartupStep::kShowFullFFStatistic:
        settings.showFullFFStatistic = Flag(kShowFullFFStatistic);
        break;
      case StartupStep::kAutomaticallyFollowTheRoute:
        settings.automaticallyFollowTheRoute = Flag(kAutomaticallyFollowTheRoute);
        break;
      case StartupStep::kCoordinateStyles:
        settings.coordinateStyles = Int(kCoordinateStyles);
        break;
      case StartupStep::kVSerialPort:
        settings.vSerialPort = Int(kVSerialPort);
        break;
      case StartupStep::kGoogleTrackLineColored:
        settings.googleTrackLineColored = Flag(kGoogleTrackLineColored);
        break;
      case StartupStep::kKindOfRouteGuidance:
        settings.kindOfRouteGuidance = Int(kKindOfRouteGuidance);
        break;
      case StartupStep::kAntennaAltitudeMode:
        settings.antennaAltitudeMode = Int(kAntennaAltitudeMode);
        break;
      case StartupStep::kNightMode:
        settings.nightMode = Flag(kNightMode);
        break;
    }
  }
  return settings;
}

}  // namespace orv
