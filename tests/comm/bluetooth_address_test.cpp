#include "comm/bluetooth_address.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace orv {
namespace {

TEST(BluetoothAddressTest, ShowsUpperSixteenThenLowerThirtyTwoBits) {
  struct Row {
    std::uint64_t address;
    const char* text;
    const char* colonText;
  };
  const Row rows[] = {
      {0x001B'2C3D'4E5Full, "001B2C3D4E5F", "00:1B:2C:3D:4E:5F"},
      {0, "000000000000", "00:00:00:00:00:00"},
      {0xFFFF'FFFF'FFFFull, "FFFFFFFFFFFF", "FF:FF:FF:FF:FF:FF"},
      // Bits above the 48 of an address are not part of it.
      {0xABCD'0000'0000'0001ull, "000000000001", "00:00:00:00:00:01"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(BluetoothAddressText(row.address), row.text);
    EXPECT_EQ(BluetoothAddressColonText(row.address), row.colonText);
  }
}

TEST(BluetoothAddressTest, ParsesOnlyTheColonForm) {
  struct Row {
    const char* legend;
    const char* text;
    std::optional<std::uint64_t> address;
  };
  const Row rows[] = {
      {"upper case", "00:1B:2C:3D:4E:5F", 0x001B'2C3D'4E5Full},
      {"lower case", "00:1b:2c:3d:4e:5f", 0x001B'2C3D'4E5Full},
      {"all ones", "FF:FF:FF:FF:FF:FF", 0xFFFF'FFFF'FFFFull},
      {"empty", "", std::nullopt},
      {"twelve digits without colons", "001B2C3D4E5F", std::nullopt},
      {"five groups", "00:1B:2C:3D:4E", std::nullopt},
      {"seven groups", "00:1B:2C:3D:4E:5F:60", std::nullopt},
      {"dash separators", "00-1B-2C-3D-4E-5F", std::nullopt},
      {"non-hex digit", "00:1B:2C:3D:4E:5G", std::nullopt},
      {"one-digit group", "0:01B:2C:3D:4E:5F", std::nullopt},
      {"sign in a group", "00:+B:2C:3D:4E:5F", std::nullopt},
      {"space in a group", "00: B:2C:3D:4E:5F", std::nullopt},
      {"trailing space", "00:1B:2C:3D:4E:5F ", std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ParseBluetoothAddress(row.text), row.address) << row.legend;
  }
}

TEST(BluetoothAddressTest, BytesAreLeastSignificantFirst) {
  std::uint8_t bytes[6] = {};
  BluetoothAddressToBytes(0x001B'2C3D'4E5Full, bytes);
  const std::uint8_t expected[6] = {0x5F, 0x4E, 0x3D, 0x2C, 0x1B, 0x00};
  for (int index = 0; index < 6; ++index) EXPECT_EQ(bytes[index], expected[index]) << index;
  EXPECT_EQ(BluetoothAddressFromBytes(bytes), 0x001B'2C3D'4E5Full);
}

}  // namespace
}  // namespace orv
