#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace orv {

// The type descriptor of an SDP data element (upper five bits of its header).
enum class SdpElementType : std::uint8_t {
  kNil = 0,
  kUnsigned = 1,
  kSigned = 2,
  kUuid = 3,
  kText = 4,
  kBoolean = 5,
  kSequence = 6,
  kAlternative = 7,
  kUrl = 8,
};

// One data element of a service discovery record: its type and the bytes of
// its value (for a sequence or alternative, the encoded members). The value
// views the buffer it was read from.
struct SdpDataElement {
  SdpElementType type = SdpElementType::kNil;
  std::span<const std::uint8_t> value;

  bool IsList() const {
    return type == SdpElementType::kSequence || type == SdpElementType::kAlternative;
  }
  // An unsigned integer of up to 8 bytes, big-endian on the wire.
  std::optional<std::uint64_t> Unsigned() const;
  // A UUID as its 32-bit short form: 16- and 32-bit UUIDs as they are, a
  // 128-bit UUID only when it is built on the Bluetooth base UUID.
  std::optional<std::uint32_t> ShortUuid() const;
};

// Reads the element at the front of `bytes`. Nothing when the header names a
// size its type cannot have, or when the element runs past the end; then
// `bytes` cannot be walked any further. On success `consumed` is the length
// of header and value together.
std::optional<SdpDataElement> ReadSdpDataElement(std::span<const std::uint8_t> bytes,
                                                 std::size_t& consumed);

// Walks the members of a sequence or alternative, or the elements laid one
// after another in a buffer. Stops at the end or at the first malformed
// member, which is then reported by Malformed().
class SdpElementCursor {
 public:
  explicit SdpElementCursor(std::span<const std::uint8_t> bytes) : rest_(bytes) {}

  std::optional<SdpDataElement> Next();
  bool Malformed() const { return malformed_; }

 private:
  std::span<const std::uint8_t> rest_;
  bool malformed_ = false;
};

}  // namespace orv
