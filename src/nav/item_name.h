#pragma once

#include <string_view>

namespace orv {

// Waypoint and route names travel as single sentence fields: a "," would
// split the field and a "*" would start the checksum, so such a name could
// never be read back from the database file. Control characters would break
// the line itself.
enum class ItemNameFault { kNone, kEmpty, kSeparator, kControlCharacter };

ItemNameFault CheckItemName(std::string_view name);

// The message shown when a name is refused; empty for kNone and kEmpty.
std::string_view ItemNameFaultText(ItemNameFault fault);

inline constexpr std::string_view kSeparatorInNameText = "The name must not contain ',' or '*'.";
inline constexpr std::string_view kControlInNameText =
    "The name must not contain line breaks or other control characters.";
inline constexpr std::string_view kInvalidNameCaption = "Invalid Name";

}  // namespace orv
