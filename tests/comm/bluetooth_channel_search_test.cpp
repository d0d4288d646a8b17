#include "comm/bluetooth_channel_search.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <string>

#include "bluetooth_test_fakes.h"
#include "comm/bluetooth_messages.h"
#include "platform/scripted_prompter.h"

namespace orv {
namespace {

using testing::FakeBluetoothDiscovery;
using testing::FakeChannelChooser;
using testing::SerialPortRecords;

struct ChoiceCase {
  const char* legend;
  BluetoothDiscovery::ServiceSearchResult search;
  std::optional<std::uint8_t> chooserAnswer;
  std::optional<std::uint8_t> channel;
  std::vector<std::vector<std::uint8_t>> offered;
  // The one message expected, or none when empty.
  std::string message;
  std::string caption;
  PromptIcon icon = PromptIcon::kNone;
};

const std::string kNoService =
    "An appropriate service (COM port) at GPS 10X was not found.n\nPlease, try with an another "
    "BT Device";

class ChannelChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ChannelChoiceTest, FollowsTheNumberOfChannelsFound) {
  const ChoiceCase& row = GetParam();
  FakeBluetoothDiscovery discovery;
  discovery.serviceSearch = row.search;
  FakeChannelChooser chooser;
  chooser.answer = row.chooserAnswer;
  ScriptedPrompter prompter;
  const BluetoothDeviceEntry device{"GPS 10X", 0x001B2C3D4E5Full};

  EXPECT_EQ(ChooseSerialPortChannel(discovery, device, prompter, chooser), row.channel);
  EXPECT_EQ(discovery.searchedAddresses, std::vector<std::uint64_t>{device.address});
  EXPECT_EQ(chooser.offered, row.offered);
  const std::vector<Prompt> asked = prompter.Asked();
  if (row.message.empty()) {
    EXPECT_TRUE(asked.empty());
  } else {
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, row.message);
    EXPECT_EQ(asked[0].caption, row.caption);
    EXPECT_EQ(asked[0].icon, row.icon);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Searches, ChannelChoiceTest,
    ::testing::Values(
        ChoiceCase{"one channel is taken without asking",
                   {0, 0, SerialPortRecords({5})},
                   9,
                   5,
                   {},
                   "",
                   "",
                   PromptIcon::kNone},
        ChoiceCase{"two channels go to the dialog",
                   {0, 0, SerialPortRecords({3, 12})},
                   12,
                   12,
                   {{3, 12}},
                   "",
                   "",
                   PromptIcon::kNone},
        ChoiceCase{"dialog cancelled",
                   {0, 0, SerialPortRecords({3, 12})},
                   std::nullopt,
                   std::nullopt,
                   {{3, 12}},
                   "",
                   "",
                   PromptIcon::kNone},
        ChoiceCase{"no Serial Port record",
                   {0, 0, {}},
                   1,
                   std::nullopt,
                   {},
                   kNoService,
                   "Error",
                   PromptIcon::kInformation},
        ChoiceCase{"records without RFCOMM",
                   {0, 0, {0x35, 0x05, 0x09, 0x00, 0x04, 0x35, 0x00}},
                   1,
                   std::nullopt,
                   {},
                   kNoService,
                   "Error",
                   PromptIcon::kInformation},
        ChoiceCase{"session refused",
                   {EHOSTDOWN, 0, SerialPortRecords({5})},
                   1,
                   std::nullopt,
                   {},
                   "WSALookupServiceBegin failed at GPS 10X during the search of services\n\n"
                   "Error:(112)",
                   "Irreparable Error",
                   PromptIcon::kStop},
        ChoiceCase{"search request failed",
                   {0, ETIMEDOUT, SerialPortRecords({5})},
                   1,
                   std::nullopt,
                   {},
                   "WSALookupServiceNext failed at GPS 10X during the search of services\n\n"
                   "Error:(110)",
                   "Irreparable Error",
                   PromptIcon::kStop},
        ChoiceCase{"no Bluetooth in the kernel",
                   {EAFNOSUPPORT, 0, {}},
                   1,
                   std::nullopt,
                   {},
                   "WSALookupServiceBegin failed at GPS 10X during the search of services\n\n"
                   "Error:(97)\n\nThis system has no Bluetooth support: the kernel offers no "
                   "Bluetooth sockets.",
                   "Irreparable Error",
                   PromptIcon::kStop}),
    [](const ::testing::TestParamInfo<ChoiceCase>& info) {
      std::string name;
      for (const char* c = info.param.legend; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      return name;
    });

TEST(BluetoothMessageTest, InsertsEachValueIntoTheTextOnly) {
  // A device name that itself looks like an insertion stays as it is.
  EXPECT_EQ(
      BluetoothMessage("WSALookupServiceBegin failed at %2 during x\n\nError:%1", "(5)", "dev %1"),
      "WSALookupServiceBegin failed at dev %1 during x\n\nError:(5)");
  EXPECT_EQ(BluetoothFailureMessage("connect failed %1 at %2", -3, "A"),
            "connect failed (-3) at A");
}

}  // namespace
}  // namespace orv
