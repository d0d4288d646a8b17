#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace orv {

// Short UUIDs and attribute ids of the Serial Port service search.
inline constexpr std::uint16_t kSerialPortServiceClassUuid = 0x1101;
inline constexpr std::uint16_t kProtocolDescriptorListAttribute = 0x0004;
inline constexpr std::uint16_t kL2capProtocolUuid = 0x0100;
inline constexpr std::uint16_t kRfcommProtocolUuid = 0x0003;
// RFCOMM server channels are 1..30; 0 stands for "no channel".
inline constexpr std::uint8_t kMaxRfcommChannel = 30;

// The RFCOMM channels named in the protocol descriptor lists of a service
// search attribute response, in the order they appear, each once.
//
// `response` holds one or more data elements, each either one attribute list
// (a sequence of attribute id, value pairs) or a sequence of such lists. A
// protocol descriptor list is a sequence of protocol descriptors, or an
// alternative of such sequences; the descriptor whose UUID is RFCOMM carries
// the channel as its first parameter:
//   35 11                       attribute list
//     09 00 04                  attribute 0x0004
//     35 0C                     protocol descriptor list
//       35 03 19 01 00          L2CAP
//       35 05 19 00 03 08 05    RFCOMM, channel 5
// Malformed or truncated input yields the channels found before the fault.
std::vector<std::uint8_t> RfcommChannelsFromSdpResponse(std::span<const std::uint8_t> response);

}  // namespace orv
