#include "app/settings_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

#include "platform/settings_store_memory.h"

namespace orv {
namespace {

constexpr SettingsHive kUser = SettingsHive::kCurrentUser;
constexpr SettingsHive kMachine = SettingsHive::kLocalMachine;
constexpr const char* kGeneral =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\General";
constexpr const char* kSource =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\Communication\\Source";
constexpr const char* kDestination =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\Communication\\Destination";
constexpr const char* kDevices =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\Communication\\BluetoothDevices";
const std::vector<std::uint8_t> kAddressBytes = {0x5A, 0x12, 0x9F, 0x00, 0xC4, 0x00, 0x00, 0x00};
constexpr std::uint64_t kAddress = 0x00C4009F125Aull;

class SettingsModelTest : public ::testing::Test {
 protected:
  MemorySettingsStore store_{/*machineHiveWritable=*/true};
  SettingsModel model_{store_};
};

TEST_F(SettingsModelTest, FirstStartOnACleanDeviceTakesEveryDefaultAndWritesNothing) {
  StartupSettings settings = model_.ReadStartup();
  EXPECT_EQ(settings.kindOfView, 3);  // route guidance
  EXPECT_EQ(settings.kindOfEngine, 2);
  EXPECT_EQ(settings.distanceUnits, 3);  // nautical
  EXPECT_EQ(settings.speedLimit, -1);    // no warning
  EXPECT_FALSE(settings.nightMode);
  EXPECT_EQ(settings.kindOfRouteGuidance, 2);
  EXPECT_EQ(settings.dtUserSelectableField, 1);
  EXPECT_EQ(settings.navUserSelectableField, 1);
  EXPECT_TRUE(settings.showFullDTStatistic);
  EXPECT_TRUE(settings.showFullFFStatistic);
  EXPECT_TRUE(settings.automaticallyFollowTheRoute);
  EXPECT_EQ(settings.coordinateStyles, 0);
  EXPECT_EQ(settings.vSerialPort, -1);
  EXPECT_TRUE(settings.googleTrackLineColored);
  EXPECT_EQ(settings.antennaAltitudeMode, 1);
  EXPECT_EQ(settings.rescueNumbers, (std::array<std::string, 3>{"", "", ""}));
  EXPECT_FALSE(settings.sendRescueSMSNumber2);
  EXPECT_FALSE(settings.sendRescueSMSNumber3);
  for (const PlaybackSettings& playback : {settings.fromFile, settings.fromDirect}) {
    EXPECT_EQ(playback.mode, 1);
    EXPECT_EQ(playback.direction, 1);
    EXPECT_EQ(playback.speedZoom, 1);
  }
  EXPECT_TRUE(settings.bluetoothDevices.empty());
  EXPECT_FALSE(settings.source);
  EXPECT_FALSE(settings.destination);
  EXPECT_FALSE(settings.builtInGps.enabled) << "no port published by the machine";
  EXPECT_FALSE(settings.builtInGps.use);
  EXPECT_EQ(store_.ValueCount(kUser), 0u);
}

TEST_F(SettingsModelTest, AZeroViewOrEngineBehavesAsMissing) {
  struct Case {
    std::uint32_t stored;
    std::int32_t view;
    std::int32_t engine;
  };
  for (Case c : {Case{0, 3, 2}, Case{1, 1, 1}, Case{2, 2, 2}, Case{3, 3, 3}}) {
    store_.WriteDword(kUser, kGeneral, "KindOfView", c.stored);
    store_.WriteDword(kUser, kGeneral, "KindOfEngine", c.stored);
    EXPECT_EQ(model_.KindOfView(), c.view) << c.stored;
    EXPECT_EQ(model_.KindOfEngine(), c.engine) << c.stored;
  }
}

// The places are spelled out here once more, independently of the table.
TEST_F(SettingsModelTest, ValuesLiveWhereTheProgramHasAlwaysKeptThem) {
  const std::string settings = "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\";
  struct Case {
    SettingId id;
    SettingsHive hive;
    std::string key;
    const char* name;
  };
  const Case cases[] = {
      {SettingId::kSpeedLimit, kUser, settings + "General", "SpeedLimit"},
      {SettingId::kAveraging, kUser, settings + "General", "Averaging"},
      {SettingId::kRouteLastUsedIndex, kUser, settings + "General", "RouteLastUsedIndex"},
      {SettingId::kFromFileSpeedZoom, kUser, settings + "PlaybackControl\\FromFile", "SpeedZoom"},
      {SettingId::kFromDirectPlaybackMode, kUser, settings + "PlaybackControl\\FromDirect",
       "PlaybackMode"},
      {SettingId::kUseGPSIntermediateDriver, kUser, settings + "Communication",
       "UseGPSIntermediateDriver"},
      {SettingId::kServiceHandle, kUser, settings + "VirtualSerialPort", "ServiceHandle"},
      {SettingId::kWaypointsStartNumber, kUser, settings + "Navigator\\Waypoints", "StartNumber"},
      {SettingId::kRoutesStartNumber, kUser, settings + "Navigator\\Routes", "StartNumber"},
      {SettingId::kRouteWPListDistanceToTheEndWidth, kUser, settings + "ListLayouts\\RouteWPList",
       "DistanceToTheBeginColumnWidth"},
      {SettingId::kNearestWaypointListBRGWidth, kUser,
       settings + "ListLayouts\\NearestWaypointList", "BRGColumnWidth"},
      {SettingId::kRouteListPlaceToStoreWidth, kUser, settings + "ListLayouts\\RouteList",
       "PlaceToStoreColumnWidth"},
      {SettingId::kWaypointListLatitudeWidth, kUser, settings + "ListLayouts\\WaypointList",
       "LatitudeColumnWidth"},
      {SettingId::kGpsIsEnabled, kMachine, "System\\CurrentControlSet\\GPS Intermediate Driver",
       "IsEnabled"},
  };
  std::uint32_t value = 1000;
  for (const Case& c : cases) {
    ++value;
    store_.WriteDword(c.hive, c.key, c.name, value);
    EXPECT_EQ(model_.Dword(c.id), value) << c.name;
  }
  store_.WriteText(kMachine, "System\\CurrentControlSet\\GPS Intermediate Driver\\Multiplexer",
                   "DriverInterface", "gpsd://127.0.0.1:2947");
  EXPECT_EQ(model_.StoredText(SettingId::kGpsDriverInterface), "gpsd://127.0.0.1:2947");
}

TEST_F(SettingsModelTest, EveryPlaceIsUsedOnceAndEveryNumberTakesItsDefault) {
  std::set<std::tuple<SettingsHive, std::string_view, std::string_view, bool>> places;
  for (const SettingDefinition& definition : SettingsModel::Definitions()) {
    EXPECT_TRUE(
        places.insert({definition.hive, definition.key, definition.name, definition.perDevice})
            .second)
        << definition.name << " is defined twice";
    if (definition.type != SettingType::kDword || definition.perDevice ||
        definition.defaultKind != SettingDefault::kNumber) {
      continue;
    }
    EXPECT_EQ(model_.Int(definition.id), definition.number) << definition.name;
    // A value of the wrong type is as good as missing.
    store_.WriteText(definition.hive, definition.key, definition.name, "7");
    EXPECT_EQ(model_.Int(definition.id), definition.number) << definition.name;
    store_.WriteDword(definition.hive, definition.key, definition.name, 7);
    EXPECT_EQ(model_.Int(definition.id), 7) << definition.name;
  }
}

TEST_F(SettingsModelTest, NegativeNumbersRoundTripThroughTheUnsignedValue) {
  ASSERT_TRUE(model_.WriteInt(SettingId::kVSerialPort, -1));
  EXPECT_EQ(store_.ReadDword(kUser, kGeneral, "VSerialPort"), 0xFFFFFFFFu);
  ASSERT_TRUE(model_.WriteInt(SettingId::kVSerialPort, 5));
  EXPECT_EQ(model_.Int(SettingId::kVSerialPort), 5);
  // A value of the other type or of the machine hive is refused.
  EXPECT_FALSE(model_.WriteText(SettingId::kVSerialPort, "5"));
  EXPECT_FALSE(model_.WriteDword(SettingId::kEmRescueSMSNumber1, 5));
}

TEST_F(SettingsModelTest, PlaybackSettingsAreKeptPerTrack) {
  ASSERT_TRUE(model_.WritePlayback(TrackKind::kRecorded, {kPlaybackPlaying, kPlaybackReverse, 10}));
  PlaybackSettings recorded = model_.Playback(TrackKind::kRecorded);
  EXPECT_EQ(recorded.mode, kPlaybackPlaying);
  EXPECT_EQ(recorded.direction, kPlaybackReverse);
  EXPECT_EQ(recorded.speedZoom, 10);
  PlaybackSettings live = model_.Playback(TrackKind::kRecording);
  EXPECT_EQ(live.mode, kPlaybackPaused);
  EXPECT_EQ(live.speedZoom, 1);
}

struct DeviceCase {
  const char* legend;
  std::optional<std::string> kind;
  std::optional<std::string> serialPort;
  std::optional<std::string> deviceName;
  std::optional<std::vector<std::uint8_t>> address;
  std::optional<LinkDevice> expected;
};

TEST_F(SettingsModelTest, ADeviceIsReadOnlyWhenItsKindAndValuesAreComplete) {
  using Kind = LinkDevice::Kind;
  const DeviceCase cases[] = {
      {"serial port", "SP", "COM4:", std::nullopt, std::nullopt,
       LinkDevice{Kind::kSerialPort, "COM4:", {}}},
      {"bluetooth", "BT", std::nullopt, "GPS 10", kAddressBytes,
       LinkDevice{Kind::kBluetooth, "", {"GPS 10", kAddress}}},
      {"bluetooth with an empty name", "BT", std::nullopt, "", kAddressBytes,
       LinkDevice{Kind::kBluetooth, "", {"", kAddress}}},
      {"serial port without a port", "SP", std::nullopt, "GPS 10", kAddressBytes, std::nullopt},
      {"bluetooth without a name", "BT", "COM4:", std::nullopt, kAddressBytes, std::nullopt},
      {"bluetooth without an address", "BT", "COM4:", "GPS 10", std::nullopt, std::nullopt},
      {"six-byte address", "BT", std::nullopt, "GPS 10",
       std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6}, std::nullopt},
      {"unknown kind", "USB", "COM4:", "GPS 10", kAddressBytes, std::nullopt},
      {"kind in lower case", "sp", "COM4:", std::nullopt, std::nullopt, std::nullopt},
      {"no kind", std::nullopt, "COM4:", "GPS 10", kAddressBytes, std::nullopt},
  };
  for (const DeviceCase& c : cases) {
    for (auto [direction, key] : {std::pair{LinkDirection::kSource, kSource},
                                  std::pair{LinkDirection::kDestination, kDestination}}) {
      store_.DeleteKey(kUser, key);
      if (c.kind) store_.WriteText(kUser, key, "DeviceKind", *c.kind);
      if (c.serialPort) store_.WriteText(kUser, key, "SerialPort", *c.serialPort);
      if (c.deviceName) store_.WriteText(kUser, key, "DeviceName", *c.deviceName);
      if (c.address) store_.WriteBinary(kUser, key, "RemoteDeviceAddress", *c.address);
      EXPECT_EQ(model_.Device(direction), c.expected) << c.legend << " in " << key;
    }
  }
}

TEST_F(SettingsModelTest, WritingADeviceKeepsOnlyTheValuesOfItsKind) {
  LinkDevice bluetooth{LinkDevice::Kind::kBluetooth, "", {"GPS 10", kAddress}};
  LinkDevice serial{LinkDevice::Kind::kSerialPort, "$device\\COM12:", {}};
  ASSERT_TRUE(model_.WriteDevice(LinkDirection::kDestination, serial));
  ASSERT_TRUE(model_.WriteDevice(LinkDirection::kDestination, bluetooth));
  EXPECT_EQ(model_.Device(LinkDirection::kDestination), bluetooth);
  EXPECT_EQ(store_.ReadBinary(kUser, kDestination, "RemoteDeviceAddress"), kAddressBytes);
  EXPECT_FALSE(store_.ReadText(kUser, kDestination, "SerialPort"));
  EXPECT_EQ(store_.ValueCount(kUser), 3u) << "DeviceKind, DeviceName, RemoteDeviceAddress";

  ASSERT_TRUE(model_.WriteDevice(LinkDirection::kDestination, serial));
  EXPECT_EQ(model_.Device(LinkDirection::kDestination), serial);
  EXPECT_EQ(store_.ValueCount(kUser), 2u) << "DeviceKind, SerialPort";
  EXPECT_FALSE(model_.Device(LinkDirection::kSource));

  ASSERT_TRUE(model_.ClearDevice(LinkDirection::kDestination));
  EXPECT_FALSE(model_.Device(LinkDirection::kDestination));
}

TEST_F(SettingsModelTest, TheBluetoothListEndsAtTheFirstMissingAddress) {
  auto put = [&](int index, const char* name, const std::vector<std::uint8_t>& address) {
    std::string key = std::string(kDevices) + "\\BluetoothDevice_" + std::to_string(index);
    if (name != nullptr) store_.WriteText(kUser, key, "DeviceName", name);
    store_.WriteBinary(kUser, key, "RemoteDeviceAddress", address);
  };
  put(0, "First", kAddressBytes);
  put(1, nullptr, {1, 0, 0, 0, 0, 0, 0, 0});
  put(3, "After the gap", kAddressBytes);
  EXPECT_EQ(model_.BluetoothDevices(),
            (std::vector<BluetoothDeviceEntry>{{"First", kAddress}, {"", 1}}));

  // Writing replaces the whole list, the entry after the gap included.
  const std::vector<BluetoothDeviceEntry> list = {{"Only", 0xAABBCCDDEEFFull}};
  ASSERT_TRUE(model_.WriteBluetoothDevices(list));
  EXPECT_EQ(model_.BluetoothDevices(), list);
  EXPECT_EQ(store_.ValueCount(kUser), 2u);
  ASSERT_TRUE(model_.WriteBluetoothDevices({}));
  EXPECT_EQ(store_.ValueCount(kUser), 0u);
}

TEST_F(SettingsModelTest, DeviceAddressesAreEightBytesLeastSignificantFirst) {
  EXPECT_EQ(DeviceAddressBytes(kAddress), kAddressBytes);
  EXPECT_EQ(DeviceAddressFromBytes(kAddressBytes), kAddress);
  EXPECT_EQ(DeviceAddressFromBytes(DeviceAddressBytes(0xFFFFFFFFFFFFFFFFull)),
            0xFFFFFFFFFFFFFFFFull);
  EXPECT_FALSE(DeviceAddressFromBytes(std::vector<std::uint8_t>(9)));
  EXPECT_FALSE(DeviceAddressFromBytes(std::vector<std::uint8_t>{}));
}

TEST_F(SettingsModelTest, TheBuiltInGpsNeedsAnEnabledServiceWithAPort) {
  const char* gpsKey = "System\\CurrentControlSet\\GPS Intermediate Driver";
  const char* multiplexerKey = "System\\CurrentControlSet\\GPS Intermediate Driver\\Multiplexer";
  struct Case {
    const char* legend;
    std::optional<std::uint32_t> isEnabled;
    std::optional<std::string> driverInterface;
    std::optional<std::uint32_t> use;
    bool enabled;
    bool used;
  };
  const Case cases[] = {
      {"first start with a port", std::nullopt, "GPD0:", std::nullopt, true, true},
      {"user turned it off", 1, "GPD0:", 0, true, false},
      {"user turned it on", 1, "GPD0:", 1, true, true},
      {"service disabled", 0, "GPD0:", 1, false, false},
      {"no port published", 1, std::nullopt, 1, false, false},
  };
  for (const Case& c : cases) {
    MemorySettingsStore store(/*machineHiveWritable=*/true);
    if (c.isEnabled) store.WriteDword(kMachine, gpsKey, "IsEnabled", *c.isEnabled);
    if (c.driverInterface) {
      store.WriteText(kMachine, multiplexerKey, "DriverInterface", *c.driverInterface);
    }
    if (c.use) {
      store.WriteDword(kUser,
                       "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\Communication",
                       "UseGPSIntermediateDriver", *c.use);
    }
    BuiltInGpsSettings gps = SettingsModel(store).BuiltInGps();
    EXPECT_EQ(gps.enabled, c.enabled) << c.legend;
    EXPECT_EQ(gps.use, c.used) << c.legend;
    EXPECT_EQ(gps.driverInterface, c.enabled ? "GPD0:" : "") << c.legend;
  }
}

TEST_F(SettingsModelTest, ColumnWidthsScaleWithTheScreenUntilStored) {
  struct Case {
    SettingId id;
    int dpi;
    std::int32_t expected;
  };
  for (Case c : {Case{SettingId::kWaypointListWaypointNameWidth, 96, 90},
                 Case{SettingId::kWaypointListWaypointNameWidth, 192, 180},
                 Case{SettingId::kRouteWPListNumberWidth, 131, 61},       // 61.41 rounds down
                 Case{SettingId::kRouteListPlaceToStoreWidth, 131, 136},  // 136.46
                 Case{SettingId::kRouteWPListNumberWidth, 128, 60}}) {    // exactly 60
    EXPECT_EQ(model_.ColumnWidth(c.id, c.dpi), c.expected);
  }
  ASSERT_TRUE(model_.WriteDword(SettingId::kRouteWPListNumberWidth, 33));
  EXPECT_EQ(model_.ColumnWidth(SettingId::kRouteWPListNumberWidth, 192), 33);
}

// Records the order in which values are read.
class ReadLog : public MemorySettingsStore {
 public:
  std::vector<std::string> reads;
  std::optional<std::uint32_t> ReadDword(SettingsHive hive, std::string_view key,
                                         std::string_view name) override {
    Log(key, name);
    return MemorySettingsStore::ReadDword(hive, key, name);
  }
  std::optional<std::string> ReadText(SettingsHive hive, std::string_view key,
                                      std::string_view name) override {
    Log(key, name);
    return MemorySettingsStore::ReadText(hive, key, name);
  }
  std::optional<std::vector<std::uint8_t>> ReadBinary(SettingsHive hive, std::string_view key,
                                                      std::string_view name) override {
    Log(key, name);
    return MemorySettingsStore::ReadBinary(hive, key, name);
  }

 private:
  void Log(std::string_view key, std::string_view name) {
    std::string_view last = key.substr(key.rfind('\\') + 1);
    reads.push_back(std::string(last) + "/" + std::string(name));
  }
};

TEST(SettingsModelStartup, ReadsInTheStartUpOrder) {
  ReadLog log;
  log.WriteText(SettingsHive::kCurrentUser, kDestination, "DeviceKind", "SP");
  log.WriteText(SettingsHive::kCurrentUser, kSource, "DeviceKind", "BT");
  SettingsModel(log).ReadStartup();
  const char* expectedOrder[] = {
      "BluetoothDevice_0/RemoteDeviceAddress",
      "Destination/DeviceKind",
      "Source/DeviceKind",
      "GPS Intermediate Driver/IsEnabled",
      "General/KindOfView",
      "General/KindOfEngine",
      "General/DTUserSelectableField",
      "General/NavUserSelectableField",
      "FromFile/PlaybackMode",
      "FromDirect/PlaybackMode",
      "General/DistanceUnits",
      "General/ShowFullDTStatistic",
      "General/SpeedLimit",
      "General/EmRescueSMSNumber1",
      "General/SendRescueSMSNumber3",
      "General/ShowFullFFStatistic",
      "General/AutomaticallyFollowTheRoute",
      "General/CoordinateStyles",
      "General/VSerialPort",
      "General/GoogleTrackLineColored",
      "General/KindOfRouteGuidance",
      "General/AntennaAltitudeMode",
      "General/NightMode",
  };
  std::ptrdiff_t previous = -1;
  for (const char* read : expectedOrder) {
    auto found = std::find(log.reads.begin(), log.reads.end(), read);
    ASSERT_NE(found, log.reads.end()) << read << " is not read";
    std::ptrdiff_t position = found - log.reads.begin();
    EXPECT_GT(position, previous) << read << " is read too early";
    previous = position;
  }
}

}  // namespace
}  // namespace orv
