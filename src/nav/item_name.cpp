#include "nav/item_name.h"

namespace orv {

ItemNameFault CheckItemName(std::string_view name) {
  if (name.empty()) return ItemNameFault::kEmpty;
  for (const char c : name) {
    if (c == ',' || c == '*') return ItemNameFault::kSeparator;
  }
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return ItemNameFault::kControlCharacter;
  }
  return ItemNameFault::kNone;
}

std::string_view ItemNameFaultText(ItemNameFault fault) {
  switch (fault) {
    case ItemNameFault::kSeparator:
      return kSeparatorInNameText;
    case ItemNameFault::kControlCharacter:
      return kControlInNameText;
    case ItemNameFault::kNone:
    case ItemNameFault::kEmpty:
      break;
  }
  return {};
}

}  // namespace orv
