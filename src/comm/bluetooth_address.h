#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// A Bluetooth device address is 48 bits, kept in the low bits of a 64-bit
// value as the settings store it: 00:1B:2C:3D:4E:5F is 0x001B2C3D4E5F.
inline constexpr std::uint64_t kBluetoothAddressMask = 0xFFFF'FFFF'FFFFull;

// The form the device lists show: the upper 16 and lower 32 bits as
// "%04X%08X", twelve upper-case hex digits ("001B2C3D4E5F").
std::string BluetoothAddressText(std::uint64_t address);

// The colon form BlueZ tools print and users type ("00:1B:2C:3D:4E:5F").
std::string BluetoothAddressColonText(std::uint64_t address);

// Reads "XX:XX:XX:XX:XX:XX" (either case). Anything else gives nothing.
std::optional<std::uint64_t> ParseBluetoothAddress(std::string_view text);

// BlueZ keeps the six bytes least significant first (bdaddr_t).
void BluetoothAddressToBytes(std::uint64_t address, std::uint8_t (&bytes)[6]);
std::uint64_t BluetoothAddressFromBytes(const std::uint8_t (&bytes)[6]);

}  // namespace orv
