// Behaviour every settings store shares, run against each backend.
#include "platform/settings_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

#include "platform/qt_settings_store.h"
#include "platform/settings_store_memory.h"

namespace orv {
namespace {

constexpr SettingsHive kUser = SettingsHive::kCurrentUser;
constexpr const char* kGeneral =
    "Software\\Orvelle Records2010\\Orvelle Recorder7\\Settings\\General";

struct Backend {
  const char* legend;
  // Makes a store over `folder`; calling it again must give a store that sees
  // what the first one wrote (a file backend re-reads the file).
  std::function<std::unique_ptr<SettingsStore>(const std::filesystem::path& folder)> make;
};

class SettingsStoreContract : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/orv-settings-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    store_ = GetParam().make(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  // The file backend must give back what another store object wrote; the
  // memory backend only has the one object.
  SettingsStore& Reopened() {
    if (std::string_view(GetParam().legend) == "memory") return *store_;
    reopened_ = GetParam().make(folder_);
    return *reopened_;
  }

  std::filesystem::path folder_;
  std::unique_ptr<SettingsStore> store_;
  std::unique_ptr<SettingsStore> reopened_;
};

TEST_P(SettingsStoreContract, DwordsRoundTripOverTheWholeRange) {
  const std::uint32_t cases[] = {0u, 1u, 3u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu};
  for (std::uint32_t value : cases) {
    ASSERT_TRUE(store_->WriteDword(kUser, kGeneral, "SpeedLimit", value));
    EXPECT_EQ(Reopened().ReadDword(kUser, kGeneral, "SpeedLimit"), value) << value;
  }
}

TEST_P(SettingsStoreContract, TextsRoundTripUnchanged) {
  const char* cases[] = {
      "",
      "/dev/ttyUSB0",
      "GPS 10, \"Bluetooth\"; a=b",
      "  leading and trailing  ",
      "G\xC3\xA4rmin \xE2\x80\x93 GL\xC3\x96",  // UTF-8 device name
      "dword:00000001",                         // looks like a typed value
      "hex:0102",
      "sz:nested prefix",
      "@ByteArray(x)",
      "two\nlines\tand\\backslash",
      "$device\\COM12:",
  };
  for (const char* text : cases) {
    ASSERT_TRUE(store_->WriteText(kUser, kGeneral, "EmRescueSMSNumber1", text));
    EXPECT_EQ(Reopened().ReadText(kUser, kGeneral, "EmRescueSMSNumber1"), std::string(text));
  }
}

TEST_P(SettingsStoreContract, BinariesRoundTripByteForByte) {
  const std::vector<std::vector<std::uint8_t>> cases = {
      {0x5A, 0x12, 0x9F, 0x00, 0xC4, 0x00, 0x00, 0x00},
      {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
      {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
      {},
      {0x01, 0x02, 0x03},
  };
  for (const auto& bytes : cases) {
    ASSERT_TRUE(store_->WriteBinary(kUser, kGeneral, "RemoteDeviceAddress", bytes));
    EXPECT_EQ(Reopened().ReadBinary(kUser, kGeneral, "RemoteDeviceAddress"), bytes);
  }
}

TEST_P(SettingsStoreContract, ReadingAsAnotherTypeFailsLikeAMissingValue) {
  ASSERT_TRUE(store_->WriteDword(kUser, kGeneral, "Dword", 3));
  ASSERT_TRUE(store_->WriteText(kUser, kGeneral, "Text", "3"));
  ASSERT_TRUE(store_->WriteBinary(kUser, kGeneral, "Binary", {3, 0, 0, 0}));
  SettingsStore& store = Reopened();
  EXPECT_FALSE(store.ReadText(kUser, kGeneral, "Dword"));
  EXPECT_FALSE(store.ReadBinary(kUser, kGeneral, "Dword"));
  EXPECT_FALSE(store.ReadDword(kUser, kGeneral, "Text"));
  EXPECT_FALSE(store.ReadBinary(kUser, kGeneral, "Text"));
  EXPECT_FALSE(store.ReadDword(kUser, kGeneral, "Binary"));
  EXPECT_FALSE(store.ReadText(kUser, kGeneral, "Binary"));
  // A later write of another type replaces the value and its type.
  ASSERT_TRUE(store_->WriteText(kUser, kGeneral, "Dword", "now text"));
  EXPECT_FALSE(Reopened().ReadDword(kUser, kGeneral, "Dword"));
  EXPECT_EQ(Reopened().ReadText(kUser, kGeneral, "Dword"), "now text");
}

TEST_P(SettingsStoreContract, MissingKeysNamesAndHivesReadAsMissing) {
  EXPECT_FALSE(store_->ReadDword(kUser, kGeneral, "KindOfView"));
  ASSERT_TRUE(store_->WriteDword(kUser, kGeneral, "KindOfView", 1));
  SettingsStore& store = Reopened();
  EXPECT_FALSE(store.ReadDword(kUser, kGeneral, "KindOfEngine"));
  EXPECT_FALSE(store.ReadDword(kUser, "Software\\Orvelle Records2010", "KindOfView"));
  EXPECT_FALSE(store.ReadDword(SettingsHive::kLocalMachine, kGeneral, "KindOfView"));
  EXPECT_FALSE(store.ReadDword(kUser, kGeneral, ""));
  EXPECT_FALSE(store_->WriteDword(kUser, kGeneral, "", 1)) << "the unnamed value has no place";
}

TEST_P(SettingsStoreContract, DoubledAndTrailingBackslashesNameTheSameKey) {
  ASSERT_TRUE(store_->WriteDword(kUser, "A\\\\B\\", "V", 7));
  EXPECT_EQ(Reopened().ReadDword(kUser, "A\\B", "V"), 7u);
}

TEST_P(SettingsStoreContract, KeyAndValueNamesStayApart) {
  // Each pair differs from the others only in where a separator or a look-
  // alike of one sits; each must keep its own value.
  struct Slot {
    const char* key;
    const char* name;
  };
  const Slot slots[] = {
      {"A\\B", "C"},    {"A", "B\\C"},   {"A", "B/C"},      {"A/B", "C"},
      {"A B", "C"},     {"A%2FB", "C"},  {"A%5CB", "C"},    {"A\\B\\C", "D"},
      {"General", "C"}, {"A\\B", "C D"}, {"A\\B", "C%20D"},
  };
  for (std::size_t i = 0; i < std::size(slots); ++i) {
    ASSERT_TRUE(store_->WriteDword(kUser, slots[i].key, slots[i].name, 100 + i)) << i;
  }
  SettingsStore& store = Reopened();
  for (std::size_t i = 0; i < std::size(slots); ++i) {
    EXPECT_EQ(store.ReadDword(kUser, slots[i].key, slots[i].name), 100 + i)
        << slots[i].key << " | " << slots[i].name;
  }
}

TEST_P(SettingsStoreContract, DeletingAKeyTakesItsSubKeysAndNothingElse) {
  const char* kComm = "S\\Communication";
  ASSERT_TRUE(store_->WriteText(kUser, "S\\Communication\\Source", "DeviceKind", "BT"));
  ASSERT_TRUE(store_->WriteText(kUser, "S\\Communication\\Source\\Deep\\Deeper", "X", "x"));
  ASSERT_TRUE(store_->WriteDword(kUser, kComm, "Source", 1));  // value named like the key
  ASSERT_TRUE(store_->WriteText(kUser, "S\\Communication\\SourceX", "DeviceKind", "SP"));
  ASSERT_TRUE(store_->WriteText(kUser, "S\\Communication\\Destination", "DeviceKind", "SP"));

  ASSERT_TRUE(store_->DeleteKey(kUser, "S\\Communication\\Source"));
  SettingsStore& store = Reopened();
  EXPECT_FALSE(store.ReadText(kUser, "S\\Communication\\Source", "DeviceKind"));
  EXPECT_FALSE(store.ReadText(kUser, "S\\Communication\\Source\\Deep\\Deeper", "X"));
  EXPECT_EQ(store.ReadDword(kUser, kComm, "Source"), 1u);
  EXPECT_EQ(store.ReadText(kUser, "S\\Communication\\SourceX", "DeviceKind"), "SP");
  EXPECT_EQ(store.ReadText(kUser, "S\\Communication\\Destination", "DeviceKind"), "SP");

  EXPECT_TRUE(store_->DeleteKey(kUser, "S\\Communication\\Source")) << "already gone";
  EXPECT_FALSE(store_->DeleteKey(kUser, "")) << "the root is never deleted";
  EXPECT_FALSE(store_->DeleteKey(kUser, "\\\\"));
  // A deleted key can be written again.
  ASSERT_TRUE(store_->WriteText(kUser, "S\\Communication\\Source", "DeviceKind", "SP"));
  EXPECT_EQ(Reopened().ReadText(kUser, "S\\Communication\\Source", "DeviceKind"), "SP");
}

TEST_P(SettingsStoreContract, TheMachineHiveIsReadOnly) {
  EXPECT_FALSE(store_->WriteDword(SettingsHive::kLocalMachine, "System", "IsEnabled", 1));
  EXPECT_FALSE(store_->WriteText(SettingsHive::kLocalMachine, "System", "DriverInterface", "x"));
  EXPECT_FALSE(store_->DeleteKey(SettingsHive::kLocalMachine, "System"));
  EXPECT_FALSE(Reopened().ReadDword(SettingsHive::kLocalMachine, "System", "IsEnabled"));
}

INSTANTIATE_TEST_SUITE_P(
    Backends, SettingsStoreContract,
    ::testing::Values(
        Backend{"memory",
                [](const std::filesystem::path&) -> std::unique_ptr<SettingsStore> {
                  return std::make_unique<MemorySettingsStore>();
                }},
        Backend{"qt_ini",
                [](const std::filesystem::path& folder) -> std::unique_ptr<SettingsStore> {
                  return std::make_unique<QtSettingsStore>(
                      SettingsFilePaths{(folder / "user" / "settings.ini").string(),
                                        (folder / "etc" / "settings.ini").string()});
                }}),
    [](const ::testing::TestParamInfo<Backend>& info) { return std::string(info.param.legend); });

}  // namespace
}  // namespace orv
