#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// The two roots a setting can live under: the user's own settings and the
// machine-wide ones the program only reads.
enum class SettingsHive { kCurrentUser, kLocalMachine };

// A registry-shaped key-value store. Keys are backslash-separated paths
// ("Software\\Orvelle Records2010\\...\\General"), each key holds named values
// of one of three types. A value keeps the type it was written with, so
// reading it as another type fails like a missing value. Every failure to
// open or read (missing file, missing key, unreadable value) reads as a
// missing value: callers apply their default and show nothing.
//
// Implementations must be callable from several threads.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  virtual std::optional<std::uint32_t> ReadDword(SettingsHive hive, std::string_view key,
                                                 std::string_view name) = 0;
  virtual std::optional<std::string> ReadText(SettingsHive hive, std::string_view key,
                                              std::string_view name) = 0;
  virtual std::optional<std::vector<std::uint8_t>> ReadBinary(SettingsHive hive,
                                                              std::string_view key,
                                                              std::string_view name) = 0;

  // Writing creates the key (and its parents) when missing. Returns false
  // when the value could not be stored, e.g. for the read-only machine hive.
  virtual bool WriteDword(SettingsHive hive, std::string_view key, std::string_view name,
                          std::uint32_t value) = 0;
  virtual bool WriteText(SettingsHive hive, std::string_view key, std::string_view name,
                         std::string_view value) = 0;
  virtual bool WriteBinary(SettingsHive hive, std::string_view key, std::string_view name,
                           const std::vector<std::uint8_t>& value) = 0;

  // Removes the key with all its values and sub-keys. A key that is already
  // missing counts as removed; the empty (root) path is refused.
  virtual bool DeleteKey(SettingsHive hive, std::string_view key) = 0;
};

}  // namespace orv
