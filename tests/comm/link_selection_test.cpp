#include "comm/link_selection.h"

#include <gtest/gtest.h>

#include "platform/settings_store_memory.h"

namespace orv {
namespace {

class LinkSelectionTest : public testing::Test {
 protected:
  // The machine publishes its GPS port at gpsd's address.
  void PublishBuiltInGps(std::uint32_t isEnabled = 1) {
    store_.WriteDword(SettingsHive::kLocalMachine, kGpsIntermediateDriverKey, "IsEnabled",
                      isEnabled);
    store_.WriteText(SettingsHive::kLocalMachine, kGpsMultiplexerKey, "DriverInterface",
                     "gpsd://127.0.0.1:2947");
  }
  std::optional<std::uint32_t> StoredUseFlag() {
    return settings_.StoredDword(SettingId::kUseGPSIntermediateDriver);
  }

  MemorySettingsStore store_{true};
  SettingsModel settings_{store_};
  LinkSelection selection_{settings_};
  const BluetoothDeviceEntry receiver_{"GPS-BT", 0x0012'3456'789A};
};

TEST_F(LinkSelectionTest, StartUpPrefersTheBuiltInGpsUnlessTurnedOffOrMissing) {
  struct Case {
    const char* legend;
    bool published;
    std::optional<std::uint32_t> isEnabled;
    std::optional<std::uint32_t> use;
    bool usesBuiltIn;
  };
  const Case cases[] = {
      {"published, flag missing", true, std::nullopt, std::nullopt, true},
      {"published, flag 1", true, 1, 1, true},
      {"published, flag 0", true, 1, 0, false},
      {"disabled by the machine", true, 0, 1, false},
      {"no driver interface", false, std::nullopt, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    MemorySettingsStore store(true);
    SettingsModel settings(store);
    settings.WriteDevice(LinkDirection::kSource,
                         LinkDevice{LinkDevice::Kind::kBluetooth, {}, receiver_});
    if (c.published) {
      store.WriteText(SettingsHive::kLocalMachine, kGpsMultiplexerKey, "DriverInterface",
                      "gpsd://127.0.0.1:2947");
    }
    if (c.isEnabled) {
      store.WriteDword(SettingsHive::kLocalMachine, kGpsIntermediateDriverKey, "IsEnabled",
                       *c.isEnabled);
    }
    if (c.use) settings.WriteDword(SettingId::kUseGPSIntermediateDriver, *c.use);
    LinkSelection selection(settings);
    selection.LoadAtStartup();
    EXPECT_EQ(selection.UseBuiltInGps(), c.usesBuiltIn);
    const DirectionChoice& source = selection.Choice(LinkDirection::kSource);
    if (c.usesBuiltIn) {
      EXPECT_EQ(source.serialPort, "gpsd://127.0.0.1:2947");
      EXPECT_FALSE(source.bluetooth.has_value());
      EXPECT_EQ(*selection.RecordCommandText("Record &from"), "Record &from built-in GPS");
    } else {
      EXPECT_EQ(source.bluetooth, receiver_);
      EXPECT_EQ(*selection.RecordCommandText("Record &from"), "Record &from GPS-BT");
    }
  }
}

TEST_F(LinkSelectionTest, StoredDestinationAndLongComNamesAreRestored) {
  settings_.WriteDevice(LinkDirection::kDestination,
                        LinkDevice{LinkDevice::Kind::kSerialPort, "COM12:", {}});
  selection_.LoadAtStartup();
  EXPECT_EQ(selection_.Choice(LinkDirection::kDestination).serialPort, "$device\\COM12:");
  EXPECT_FALSE(selection_.RecordCommandText("Record &from").has_value());
}

TEST_F(LinkSelectionTest, ChoosingASerialSourceTurnsTheBuiltInGpsOff) {
  PublishBuiltInGps();
  selection_.LoadAtStartup();
  ASSERT_TRUE(selection_.UseBuiltInGps());
  EXPECT_TRUE(selection_.ChooseSerialPort(LinkDirection::kSource, "/dev/ttyUSB0"));
  EXPECT_FALSE(selection_.UseBuiltInGps());
  EXPECT_EQ(StoredUseFlag(), 0u);
  EXPECT_EQ(settings_.Device(LinkDirection::kSource)->serialPort, "/dev/ttyUSB0");
  EXPECT_FALSE(selection_.ChooseSerialPort(LinkDirection::kSource, "/dev/ttyUSB0"));
}

TEST_F(LinkSelectionTest, ChoosingBluetoothDestinationClearsTheSerialOne) {
  selection_.ChooseSerialPort(LinkDirection::kDestination, "/dev/ttyS0");
  EXPECT_TRUE(selection_.ChooseBluetooth(LinkDirection::kDestination, receiver_));
  const DirectionChoice& destination = selection_.Choice(LinkDirection::kDestination);
  EXPECT_TRUE(destination.serialPort.empty());
  EXPECT_EQ(destination.bluetooth, receiver_);
  // The stored key holds only the Bluetooth values.
  EXPECT_EQ(settings_.StoredText(SettingId::kDestinationDeviceKind), "BT");
  EXPECT_FALSE(settings_.StoredText(SettingId::kDestinationSerialPort).has_value());
  // A destination choice leaves the built-in GPS flag alone.
  EXPECT_FALSE(StoredUseFlag().has_value());
}

TEST_F(LinkSelectionTest, ToggleSwitchesTheSourceBetweenBuiltInAndNothing) {
  PublishBuiltInGps();
  selection_.ChooseBluetooth(LinkDirection::kSource, receiver_);
  EXPECT_TRUE(selection_.ToggleBuiltInGps());
  EXPECT_TRUE(selection_.UseBuiltInGps());
  EXPECT_EQ(selection_.Choice(LinkDirection::kSource),
            (DirectionChoice{"gpsd://127.0.0.1:2947", std::nullopt}));
  EXPECT_EQ(settings_.Device(LinkDirection::kSource)->serialPort, "gpsd://127.0.0.1:2947");
  EXPECT_EQ(StoredUseFlag(), 1u);

  EXPECT_TRUE(selection_.ToggleBuiltInGps());
  EXPECT_FALSE(selection_.UseBuiltInGps());
  EXPECT_EQ(selection_.Choice(LinkDirection::kSource), DirectionChoice{});
  EXPECT_FALSE(settings_.Device(LinkDirection::kSource).has_value());
  EXPECT_EQ(StoredUseFlag(), 0u);
}

TEST_F(LinkSelectionTest, ToggleWithoutDriverInterfaceChangesOnlyTheFlag) {
  selection_.ChooseBluetooth(LinkDirection::kSource, receiver_);
  EXPECT_FALSE(selection_.ToggleBuiltInGps());
  EXPECT_TRUE(selection_.UseBuiltInGps());
  EXPECT_EQ(selection_.Choice(LinkDirection::kSource).bluetooth, receiver_);
  EXPECT_EQ(StoredUseFlag(), 1u);
}

TEST(RestartRuleTest, ChangedRunningRestartsIdleStarts) {
  EXPECT_EQ(DecideRestart(true, true), RestartAction::kRestart);
  EXPECT_EQ(DecideRestart(false, true), RestartAction::kNone);
  EXPECT_EQ(DecideRestart(true, false), RestartAction::kStart);
  EXPECT_EQ(DecideRestart(false, false), RestartAction::kStart);
}

}  // namespace
}  // namespace orv
