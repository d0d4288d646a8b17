#include "comm/bluetooth_device_search.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <thread>

#include <unistd.h>

#include "app/settings_model.h"
#include "bluetooth_test_fakes.h"
#include "comm/bluetooth_bluez_discovery.h"
#include "comm/bluetooth_device_list.h"
#include "comm/bluetooth_socket_factory.h"
#include "platform/scripted_prompter.h"
#include "platform/settings_store_memory.h"

namespace orv {
namespace {

using testing::FakeBluetoothDiscovery;
using testing::WaitUntil;
using Devices = std::vector<BluetoothDeviceEntry>;

struct SearchCase {
  const char* legend;
  BluetoothDiscovery::InquiryResult inquiry;
  bool succeeds;
  Devices listed;
  const char* message;  // nullptr: none
};

TEST(BluetoothDeviceSearchTest, ListsWhatTheInquiryFound) {
  const BluetoothDeviceEntry gps{"GPS 10X", 0x001B2C3D4E5Full};
  const BluetoothDeviceEntry phone{"Phone", 0x0000A1B2C3D4ull};
  const SearchCase rows[] = {
      {"names kept in order", {0, 0, {gps, phone}}, true, {gps, phone}, nullptr},
      {"empty name listed as Unknown",
       {0, 0, {{"", 0x1ull}}},
       true,
       {{"Unknown", 0x1ull}},
       nullptr},
      {"repeat of the last entry dropped, earlier repeat kept",
       {0, 0, {gps, gps, phone, gps}},
       true,
       {gps, phone, gps},
       nullptr},
      {"radio unreachable",
       {EACCES, 0, {gps}},
       false,
       {},
       "WSALookupServiceBegin failed at the search of bluetooth devices\n\nError:(13)"},
      {"network down after some devices",
       {0, ENETDOWN, {gps}},
       false,
       {gps},
       "The bluetooth network is down."},
      {"other inquiry error ends quietly", {0, EIO, {}}, true, {}, nullptr},
  };
  for (const SearchCase& row : rows) {
    FakeBluetoothDiscovery discovery;
    discovery.inquiry = row.inquiry;
    BluetoothDeviceList list;
    ScriptedPrompter prompter;
    BluetoothDeviceSearch search(discovery, list, prompter);
    EXPECT_EQ(search.Run(), row.succeeds) << row.legend;
    EXPECT_EQ(list.Snapshot(), row.listed) << row.legend;
    const std::vector<Prompt> asked = prompter.Asked();
    if (row.message == nullptr) {
      EXPECT_TRUE(asked.empty()) << row.legend;
    } else {
      ASSERT_EQ(asked.size(), 1u) << row.legend;
      EXPECT_EQ(asked[0].text, row.message);
      EXPECT_EQ(asked[0].caption, "Irreparable Error");
      EXPECT_EQ(asked[0].icon, PromptIcon::kStop);
    }
  }
}

TEST(BluetoothDeviceSearchTest, ThreadClearsTheListFillsItAndEndsWhenStopped) {
  FakeBluetoothDiscovery discovery;
  discovery.inquiry.devices = {{"GPS", 0x42ull}};
  BluetoothDeviceList list;
  list.AppendFound({"Old", 0x1ull});
  ScriptedPrompter prompter;
  BluetoothDeviceSearch search(discovery, list, prompter);

  ASSERT_TRUE(search.Start());
  ASSERT_TRUE(WaitUntil([&] { return !search.IsRunning(); }));
  EXPECT_EQ(list.Snapshot(), (Devices{{"GPS", 0x42ull}}));

  // A search still inquiring when the dialog closes ends and adds nothing.
  discovery.inquiryWaitsForStop = true;
  ASSERT_TRUE(search.Start());
  EXPECT_TRUE(search.IsRunning());
  search.Stop();
  EXPECT_FALSE(search.IsRunning());
  EXPECT_TRUE(list.Snapshot().empty());
}

TEST(BluetoothDeviceListTest, RoundTripThroughTheSettingsReplacesTheStoredList) {
  MemorySettingsStore store;
  SettingsModel settings(store);
  const Devices three = {
      {"GPS 10X", 0x001B2C3D4E5Full}, {"", 0x2ull}, {"Logger", 0xFFFFFFFFFFFFull}};
  ASSERT_TRUE(settings.WriteBluetoothDevices(three));

  BluetoothDeviceList list;
  list.Load(settings);
  EXPECT_EQ(list.Snapshot(), three);

  // A shorter list written back leaves no entry of the longer one behind.
  list.Clear();
  list.AppendFound({"Only", 0x7ull});
  ASSERT_TRUE(list.Save(settings));
  BluetoothDeviceList reread;
  reread.Load(settings);
  EXPECT_EQ(reread.Snapshot(), (Devices{{"Only", 0x7ull}}));
}

// On a machine without Bluetooth the real backends fail at once with the
// kernel's "address family not supported"; the user is told why.
TEST(BluetoothWithoutRadioTest, RealBackendsReportTheMissingBluetooth) {
  RfcommSocketFactory sockets;
  int error = 0;
  const int socket = sockets.Create(error);
  if (socket >= 0) {
    ::close(socket);
    GTEST_SKIP() << "this machine has Bluetooth sockets";
  }
  EXPECT_EQ(error, EAFNOSUPPORT);

  BluezBluetoothDiscovery discovery;
  BluetoothDeviceList list;
  ScriptedPrompter prompter;
  BluetoothDeviceSearch search(discovery, list, prompter);
  EXPECT_FALSE(search.Run());
  ASSERT_EQ(prompter.Asked().size(), 1u);
  EXPECT_EQ(prompter.Asked()[0].text,
            "WSALookupServiceBegin failed at the search of bluetooth devices\n\nError:(97)\n\n"
            "This system has no Bluetooth support: the kernel offers no Bluetooth sockets.");

  const BluetoothDiscovery::ServiceSearchResult services =
      discovery.SearchSerialPortService(0x001B2C3D4E5Full);
  EXPECT_NE(services.beginError, 0);
  EXPECT_TRUE(services.response.empty());
}

}  // namespace
}  // namespace orv
