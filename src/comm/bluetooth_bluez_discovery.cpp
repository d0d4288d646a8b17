#include "comm/bluetooth_bluez_discovery.h"

#include <bluetooth/bluetooth.h>
#include <bluetooth/hci.h>
#include <bluetooth/hci_lib.h>
#include <bluetooth/sdp.h>
#include <bluetooth/sdp_lib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "comm/bluetooth_address.h"
#include "comm/sdp_rfcomm_channels.h"

namespace orv {
namespace {

// Inquiry length in units of 1.28 s, as most tools use.
constexpr int kInquiryUnits = 8;
constexpr int kMaxInquiryResponses = 255;
constexpr int kNameLength = 248;
constexpr int kNameTimeoutMs = 25000;

int LastErrorOr(int fallback) {
  return errno != 0 ? errno : fallback;
}

bdaddr_t ToBdaddr(std::uint64_t address) {
  bdaddr_t bdaddr{};
  BluetoothAddressToBytes(address, bdaddr.b);
  return bdaddr;
}

}  // namespace

BluetoothDiscovery::InquiryResult BluezBluetoothDiscovery::Inquire(
    const std::atomic<bool>& keepRunning) {
  InquiryResult result;
  errno = 0;
  const int deviceId = hci_get_route(nullptr);
  if (deviceId < 0) {
    result.beginError = LastErrorOr(ENODEV);
    return result;
  }
  const int adapter = hci_open_dev(deviceId);
  if (adapter < 0) {
    result.beginError = LastErrorOr(ENODEV);
    return result;
  }
  inquiry_info* found = nullptr;
  errno = 0;
  const int count =
      hci_inquiry(deviceId, kInquiryUnits, kMaxInquiryResponses, nullptr, &found, IREQ_CACHE_FLUSH);
  std::unique_ptr<inquiry_info, decltype(&std::free)> foundOwner(found, &std::free);
  if (count < 0) {
    result.nextError = LastErrorOr(EIO);
  } else {
    for (int index = 0; index < count && keepRunning.load(); ++index) {
      char name[kNameLength + 1] = {};
      if (hci_read_remote_name(adapter, &found[index].bdaddr, kNameLength, name, kNameTimeoutMs) <
          0) {
        name[0] = '\0';
      }
      result.devices.push_back({name, BluetoothAddressFromBytes(found[index].bdaddr.b)});
    }
  }
  hci_close_dev(adapter);
  return result;
}

BluetoothDiscovery::ServiceSearchResult BluezBluetoothDiscovery::SearchSerialPortService(
    std::uint64_t address) {
  ServiceSearchResult result;
  const bdaddr_t any{};
  const bdaddr_t target = ToBdaddr(address);
  errno = 0;
  sdp_session_t* session = sdp_connect(&any, &target, SDP_RETRY_IF_BUSY);
  if (session == nullptr) {
    result.beginError = LastErrorOr(EHOSTUNREACH);
    return result;
  }
  uuid_t serialPort;
  sdp_uuid16_create(&serialPort, kSerialPortServiceClassUuid);
  sdp_list_t* search = sdp_list_append(nullptr, &serialPort);
  std::uint16_t attribute = kProtocolDescriptorListAttribute;
  sdp_list_t* attributes = sdp_list_append(nullptr, &attribute);
  sdp_list_t* records = nullptr;
  errno = 0;
  if (sdp_service_search_attr_req(session, search, SDP_ATTR_REQ_INDIVIDUAL, attributes, &records) <
      0) {
    result.nextError = LastErrorOr(EIO);
  }
  // The library hands back parsed records; encoding each again gives the
  // attribute lists the channel walk reads, the same bytes the device sent.
  for (sdp_list_t* item = records; item != nullptr; item = item->next) {
    auto* record = static_cast<sdp_record_t*>(item->data);
    sdp_buf_t encoded{};
    if (sdp_gen_record_pdu(record, &encoded) == 0 && encoded.data != nullptr) {
      const std::size_t room = kServiceSearchResponseBytes - result.response.size();
      const std::size_t take = std::min<std::size_t>(encoded.data_size, room);
      result.response.insert(result.response.end(), encoded.data, encoded.data + take);
    }
    std::free(encoded.data);
    sdp_record_free(record);
  }
  sdp_list_free(records, nullptr);
  sdp_list_free(attributes, nullptr);
  sdp_list_free(search, nullptr);
  sdp_close(session);
  return result;
}

}  // namespace orv
