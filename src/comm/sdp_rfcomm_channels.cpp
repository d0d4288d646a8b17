#include "comm/sdp_rfcomm_channels.h"

#include <algorithm>
#include <optional>

#include "comm/sdp_data_element.h"

namespace orv {
namespace {

class ChannelCollector {
 public:
  void FromTopLevel(const SdpDataElement& element) {
    if (element.type != SdpElementType::kSequence) return;
    // Peek at the first member: an attribute id starts an attribute list, a
    // sequence starts a list of attribute lists.
    SdpElementCursor peek(element.value);
    std::optional<SdpDataElement> first = peek.Next();
    if (!first) return;
    if (first->type == SdpElementType::kSequence) {
      SdpElementCursor lists(element.value);
      while (std::optional<SdpDataElement> list = lists.Next()) FromAttributeList(*list);
    } else {
      FromAttributeList(element);
    }
  }

  std::vector<std::uint8_t> Take() { return std::move(channels_); }

 private:
  void FromAttributeList(const SdpDataElement& list) {
    if (list.type != SdpElementType::kSequence) return;
    SdpElementCursor members(list.value);
    while (std::optional<SdpDataElement> id = members.Next()) {
      std::optional<SdpDataElement> value = members.Next();
      if (!value) return;
      std::optional<std::uint64_t> attribute = id->Unsigned();
      // Without a readable id the pairing of the rest is lost.
      if (!attribute) return;
      if (*attribute == kProtocolDescriptorListAttribute) FromDescriptorList(*value, true);
    }
  }

  // A service with several protocol stacks lists them as an alternative of
  // descriptor lists; alternatives do not nest further.
  void FromDescriptorList(const SdpDataElement& list, bool alternativeAllowed) {
    if (list.type == SdpElementType::kAlternative && alternativeAllowed) {
      SdpElementCursor choices(list.value);
      while (std::optional<SdpDataElement> choice = choices.Next()) {
        FromDescriptorList(*choice, false);
      }
      return;
    }
    if (list.type != SdpElementType::kSequence) return;
    SdpElementCursor descriptors(list.value);
    while (std::optional<SdpDataElement> descriptor = descriptors.Next()) {
      FromDescriptor(*descriptor);
    }
  }

  void FromDescriptor(const SdpDataElement& descriptor) {
    if (descriptor.type != SdpElementType::kSequence) return;
    SdpElementCursor parts(descriptor.value);
    std::optional<SdpDataElement> protocol = parts.Next();
    if (!protocol || protocol->ShortUuid() != kRfcommProtocolUuid) return;
    std::optional<SdpDataElement> channelElement = parts.Next();
    if (!channelElement) return;
    std::optional<std::uint64_t> channel = channelElement->Unsigned();
    if (!channel || *channel == 0 || *channel > kMaxRfcommChannel) return;
    const auto number = static_cast<std::uint8_t>(*channel);
    if (std::find(channels_.begin(), channels_.end(), number) == channels_.end()) {
      channels_.push_back(number);
    }
  }

  std::vector<std::uint8_t> channels_;
};

}  // namespace

std::vector<std::uint8_t> RfcommChannelsFromSdpResponse(std::span<const std::uint8_t> response) {
  ChannelCollector collector;
  SdpElementCursor topLevel(response);
  while (std::optional<SdpDataElement> element = topLevel.Next()) {
    collector.FromTopLevel(*element);
  }
  return collector.Take();
}

}  // namespace orv
