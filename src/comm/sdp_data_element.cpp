#include "comm/sdp_data_element.h"

#include <array>

namespace orv {
namespace {

// Size index 0..4: a value of fixed size; 5..7: a length of 1, 2 or 4 bytes
// follows the header.
constexpr std::array<std::size_t, 5> kFixedSizes = {1, 2, 4, 8, 16};

bool TypeAllowsSizeIndex(SdpElementType type, unsigned sizeIndex) {
  switch (type) {
    case SdpElementType::kNil:
      return sizeIndex == 0;
    case SdpElementType::kUnsigned:
    case SdpElementType::kSigned:
      return sizeIndex <= 4;
    case SdpElementType::kUuid:
      return sizeIndex == 1 || sizeIndex == 2 || sizeIndex == 4;
    case SdpElementType::kBoolean:
      return sizeIndex == 0;
    case SdpElementType::kText:
    case SdpElementType::kSequence:
    case SdpElementType::kAlternative:
    case SdpElementType::kUrl:
      return sizeIndex >= 5;
  }
  return false;
}

std::uint64_t BigEndian(std::span<const std::uint8_t> bytes) {
  std::uint64_t value = 0;
  for (std::uint8_t byte : bytes) value = (value << 8) | byte;
  return value;
}

// The Bluetooth base UUID 00000000-0000-1000-8000-00805F9B34FB without its
// first four bytes, which carry the short form.
constexpr std::array<std::uint8_t, 12> kBaseUuidTail = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                                        0x00, 0x80, 0x5F, 0x9B, 0x34, 0xFB};

}  // namespace

std::optional<std::uint64_t> SdpDataElement::Unsigned() const {
  if (type != SdpElementType::kUnsigned || value.size() > 8) return std::nullopt;
  return BigEndian(value);
}

std::optional<std::uint32_t> SdpDataElement::ShortUuid() const {
  if (type != SdpElementType::kUuid) return std::nullopt;
  if (value.size() == 2 || value.size() == 4) return static_cast<std::uint32_t>(BigEndian(value));
  if (value.size() != 16) return std::nullopt;
  for (std::size_t index = 0; index < kBaseUuidTail.size(); ++index) {
    if (value[4 + index] != kBaseUuidTail[index]) return std::nullopt;
  }
  return static_cast<std::uint32_t>(BigEndian(value.first(4)));
}

std::optional<SdpDataElement> ReadSdpDataElement(std::span<const std::uint8_t> bytes,
                                                 std::size_t& consumed) {
  if (bytes.empty()) return std::nullopt;
  const unsigned typeCode = bytes[0] >> 3;
  const unsigned sizeIndex = bytes[0] & 0x07;
  if (typeCode > static_cast<unsigned>(SdpElementType::kUrl)) return std::nullopt;
  const auto type = static_cast<SdpElementType>(typeCode);
  if (!TypeAllowsSizeIndex(type, sizeIndex)) return std::nullopt;

  std::size_t headerSize = 1;
  std::size_t valueSize = 0;
  if (type == SdpElementType::kNil) {
    valueSize = 0;
  } else if (sizeIndex <= 4) {
    valueSize = kFixedSizes[sizeIndex];
  } else {
    const std::size_t lengthBytes = std::size_t{1} << (sizeIndex - 5);  // 1, 2, 4
    if (bytes.size() < 1 + lengthBytes) return std::nullopt;
    valueSize = BigEndian(bytes.subspan(1, lengthBytes));
    headerSize += lengthBytes;
  }
  // Compare without adding, so a 32-bit length near its maximum cannot wrap.
  if (bytes.size() - headerSize < valueSize) return std::nullopt;
  consumed = headerSize + valueSize;
  return SdpDataElement{type, bytes.subspan(headerSize, valueSize)};
}

std::optional<SdpDataElement> SdpElementCursor::Next() {
  if (rest_.empty() || malformed_) return std::nullopt;
  std::size_t consumed = 0;
  std::optional<SdpDataElement> element = ReadSdpDataElement(rest_, consumed);
  if (!element) {
    malformed_ = true;
    return std::nullopt;
  }
  rest_ = rest_.subspan(consumed);
  return element;
}

}  // namespace orv
