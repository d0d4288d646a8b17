#include "comm/bluetooth_address.h"

#include <charconv>

namespace orv {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHex(std::string& out, std::uint64_t value, int digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
    out += kHexDigits[(value >> shift) & 0xF];
  }
}

}  // namespace

std::string BluetoothAddressText(std::uint64_t address) {
  std::string text;
  text.reserve(12);
  AppendHex(text, (address >> 32) & 0xFFFF, 4);
  AppendHex(text, address & 0xFFFF'FFFF, 8);
  return text;
}

std::string BluetoothAddressColonText(std::uint64_t address) {
  std::string text;
  text.reserve(17);
  for (int byteIndex = 5; byteIndex >= 0; --byteIndex) {
    AppendHex(text, (address >> (byteIndex * 8)) & 0xFF, 2);
    if (byteIndex != 0) text += ':';
  }
  return text;
}

std::optional<std::uint64_t> ParseBluetoothAddress(std::string_view text) {
  constexpr std::size_t kColonFormLength = 17;
  if (text.size() != kColonFormLength) return std::nullopt;
  std::uint64_t address = 0;
  for (std::size_t group = 0; group < 6; ++group) {
    const std::size_t at = group * 3;
    if (group != 0 && text[at - 1] != ':') return std::nullopt;
    unsigned value = 0;
    const char* first = text.data() + at;
    const char* last = first + 2;
    // from_chars would accept a sign-less single digit followed by junk; demand
    // exactly two hex digits.
    auto [end, error] = std::from_chars(first, last, value, 16);
    if (error != std::errc{} || end != last) return std::nullopt;
    address = (address << 8) | value;
  }
  return address;
}

void BluetoothAddressToBytes(std::uint64_t address, std::uint8_t (&bytes)[6]) {
  for (int index = 0; index < 6; ++index) {
    bytes[index] = static_cast<std::uint8_t>(address >> (index * 8));
  }
}

std::uint64_t BluetoothAddressFromBytes(const std::uint8_t (&bytes)[6]) {
  std::uint64_t address = 0;
  for (int index = 5; index >= 0; --index) address = (address << 8) | bytes[index];
  return address;
}

}  // namespace orv
