#include "comm/sdp_rfcomm_channels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "comm/sdp_data_element.h"

namespace orv {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Sequence (0x35, 0x36) or alternative (0x3D) with the shortest length form
// unless a wider one is asked for.
Bytes List(std::uint8_t shortHeader, std::initializer_list<Bytes> members, bool wide = false) {
  Bytes body = Join(members);
  if (!wide && body.size() <= 0xFF) {
    return Join({{shortHeader, static_cast<std::uint8_t>(body.size())}, body});
  }
  return Join(
      {{static_cast<std::uint8_t>(shortHeader + 1), static_cast<std::uint8_t>(body.size() >> 8),
        static_cast<std::uint8_t>(body.size())},
       body});
}
Bytes Seq(std::initializer_list<Bytes> members) {
  return List(0x35, members);
}
Bytes WideSeq(std::initializer_list<Bytes> members) {
  return List(0x35, members, true);
}
Bytes Alt(std::initializer_list<Bytes> members) {
  return List(0x3D, members);
}
Bytes Uuid16(std::uint16_t uuid) {
  return {0x19, static_cast<std::uint8_t>(uuid >> 8), static_cast<std::uint8_t>(uuid)};
}
Bytes Uuid128(std::uint16_t shortUuid) {
  return {0x1C,
          0x00,
          0x00,
          static_cast<std::uint8_t>(shortUuid >> 8),
          static_cast<std::uint8_t>(shortUuid),
          0x00,
          0x00,
          0x10,
          0x00,
          0x80,
          0x00,
          0x00,
          0x80,
          0x5F,
          0x9B,
          0x34,
          0xFB};
}
Bytes Uint8(std::uint8_t value) {
  return {0x08, value};
}
Bytes Uint16(std::uint16_t value) {
  return {0x09, static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}
Bytes Text(const std::string& text) {
  Bytes bytes(2 + text.size());
  bytes[0] = 0x25;
  bytes[1] = static_cast<std::uint8_t>(text.size());
  std::copy(text.begin(), text.end(), bytes.begin() + 2);
  return bytes;
}

Bytes SerialPortStack(std::uint8_t channel) {
  return Seq(
      {Seq({Uuid16(kL2capProtocolUuid)}), Seq({Uuid16(kRfcommProtocolUuid), Uint8(channel)})});
}
Bytes Record(std::uint8_t channel) {
  return Seq({Uint16(kProtocolDescriptorListAttribute), SerialPortStack(channel)});
}

struct ChannelCase {
  const char* legend;
  Bytes response;
  std::vector<std::uint8_t> channels;
};

class SdpChannelTest : public ::testing::TestWithParam<ChannelCase> {};

TEST_P(SdpChannelTest, FindsTheRfcommChannels) {
  const ChannelCase& row = GetParam();
  EXPECT_EQ(RfcommChannelsFromSdpResponse(row.response), row.channels) << row.legend;
}

const Bytes kGoodRecord = Record(5);

INSTANTIATE_TEST_SUITE_P(
    Responses, SdpChannelTest,
    ::testing::Values(
        ChannelCase{"one attribute list", Record(5), {5}},
        ChannelCase{"the documented example bytes",
                    {0x35, 0x11, 0x09, 0x00, 0x04, 0x35, 0x0C, 0x35, 0x03, 0x19, 0x01, 0x00, 0x35,
                     0x05, 0x19, 0x00, 0x03, 0x08, 0x05},
                    {5}},
        ChannelCase{
            "list of attribute lists with two records", Seq({Record(1), Record(3)}), {1, 3}},
        ChannelCase{"two records one after another", Join({Record(2), Record(7)}), {2, 7}},
        ChannelCase{"the same channel twice is listed once", Seq({Record(4), Record(4)}), {4}},
        ChannelCase{"other attributes around the list",
                    Seq({Uint16(0x0000),
                         {0x0A, 0x00, 0x01, 0x00, 0x05},
                         Uint16(0x0001),
                         Seq({Uuid16(kSerialPortServiceClassUuid)}),
                         Uint16(kProtocolDescriptorListAttribute),
                         SerialPortStack(9),
                         Uint16(0x0100),
                         Text("GPS Serial")}),
                    {9}},
        ChannelCase{"16-bit length forms",
                    WideSeq({Uint16(kProtocolDescriptorListAttribute),
                             WideSeq({WideSeq({Uuid16(kL2capProtocolUuid)}),
                                      WideSeq({Uuid16(kRfcommProtocolUuid), Uint8(11)})})}),
                    {11}},
        ChannelCase{"128-bit RFCOMM UUID on the base UUID",
                    Seq({Uint16(kProtocolDescriptorListAttribute),
                         Seq({Seq({Uuid128(kL2capProtocolUuid)}),
                              Seq({Uuid128(kRfcommProtocolUuid), Uint8(6)})})}),
                    {6}},
        ChannelCase{"alternative of two stacks",
                    Seq({Uint16(kProtocolDescriptorListAttribute),
                         Alt({SerialPortStack(3), SerialPortStack(12)})}),
                    {3, 12}},
        ChannelCase{"no RFCOMM in the stack",
                    Seq({Uint16(kProtocolDescriptorListAttribute),
                         Seq({Seq({Uuid16(kL2capProtocolUuid), Uint16(0x0019)})})}),
                    {}},
        ChannelCase{
            "channel under another attribute id", Seq({Uint16(0x000D), SerialPortStack(8)}), {}},
        ChannelCase{"channel 0 and channel 31 are no channels",
                    Seq({Record(0), Record(31), Record(30)}),
                    {30}},
        ChannelCase{"RFCOMM without a channel parameter",
                    Seq({Uint16(kProtocolDescriptorListAttribute),
                         Seq({Seq({Uuid16(kRfcommProtocolUuid)})})}),
                    {}},
        ChannelCase{"channel given as text is ignored",
                    Seq({Uint16(kProtocolDescriptorListAttribute),
                         Seq({Seq({Uuid16(kRfcommProtocolUuid), Text("5")})})}),
                    {}},
        ChannelCase{"empty response", {}, {}},
        ChannelCase{"top level not a sequence", Uint8(5), {}},
        ChannelCase{
            "attribute id without its value", Seq({Uint16(kProtocolDescriptorListAttribute)}), {}},
        ChannelCase{"attribute id that is not a number", Seq({Text("x"), SerialPortStack(5)}), {}},
        ChannelCase{"a good record before a truncated one",
                    Join({Record(2), Bytes(kGoodRecord.begin(), kGoodRecord.end() - 3)}),
                    {2}},
        ChannelCase{"sequence length past the end", {0x35, 0xFF, 0x09, 0x00, 0x04}, {}},
        ChannelCase{"32-bit length near its maximum", {0x37, 0xFF, 0xFF, 0xFF, 0xFF, 0x09}, {}},
        ChannelCase{"length field itself truncated", {0x36, 0x00}, {}},
        ChannelCase{
            "uint8 with a 16-byte size index", {0x35, 0x05, 0x09, 0x00, 0x04, 0x0C, 0x00}, {}},
        ChannelCase{"reserved type code", {0x35, 0x03, 0x48, 0x00, 0x01}, {}},
        ChannelCase{
            "inner length longer than its sequence",
            {0x35, 0x0C, 0x09, 0x00, 0x04, 0x35, 0x08, 0x35, 0x05, 0x19, 0x00, 0x03, 0x08, 0x05},
            {}}),
    [](const ::testing::TestParamInfo<ChannelCase>& info) {
      std::string name;
      for (const char* c = info.param.legend; *c; ++c) {
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      }
      return name;
    });

// Every prefix of a valid response is a truncated response: none may read
// past its end (the address sanitizer build checks that) and none may invent
// a channel that the full response does not have.
TEST(SdpChannelTest, EveryTruncationStaysInBounds) {
  const Bytes full =
      Seq({Record(1), Record(3),
           Seq({Uint16(kProtocolDescriptorListAttribute), Alt({SerialPortStack(4)})})});
  ASSERT_EQ(RfcommChannelsFromSdpResponse(full), (std::vector<std::uint8_t>{1, 3, 4}));
  for (std::size_t length = 0; length < full.size(); ++length) {
    const Bytes prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
    for (std::uint8_t channel : RfcommChannelsFromSdpResponse(prefix)) {
      EXPECT_TRUE(channel == 1 || channel == 3 || channel == 4) << "length " << length;
    }
  }
}

TEST(SdpDataElementTest, ReadsUuidForms) {
  struct Row {
    const char* legend;
    Bytes bytes;
    std::optional<std::uint32_t> shortUuid;
  };
  const Row rows[] = {
      {"16-bit", Uuid16(0x1101), 0x1101},
      {"32-bit", {0x1A, 0x00, 0x00, 0x11, 0x01}, 0x1101},
      {"128-bit on the base", Uuid128(0x1101), 0x1101},
      {"128-bit off the base",
       {0x1C, 0, 0, 0x11, 0x01, 0, 0, 0x10, 0, 0x80, 0, 0, 0x80, 0x5F, 0x9B, 0x34, 0xFC},
       std::nullopt},
      {"not a UUID", Uint16(0x1101), std::nullopt},
  };
  for (const Row& row : rows) {
    std::size_t consumed = 0;
    std::optional<SdpDataElement> element = ReadSdpDataElement(row.bytes, consumed);
    ASSERT_TRUE(element) << row.legend;
    EXPECT_EQ(consumed, row.bytes.size()) << row.legend;
    EXPECT_EQ(element->ShortUuid(), row.shortUuid) << row.legend;
  }
}

}  // namespace
}  // namespace orv
