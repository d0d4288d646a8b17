#pragma once

#include <map>
#include <mutex>
#include <string>
#include <variant>

#include "platform/settings_store.h"

namespace orv {

// A settings store held in memory, with the same rules as the file-backed
// one: typed values, missing on any mismatch, deleting a key takes its
// sub-keys. For tests and for runs that must leave no trace.
class MemorySettingsStore : public SettingsStore {
 public:
  // The machine hive is read-only like its file, unless a test needs to put
  // the platform's values there.
  explicit MemorySettingsStore(bool machineHiveWritable = false)
      : machineHiveWritable_(machineHiveWritable) {}

  std::optional<std::uint32_t> ReadDword(SettingsHive hive, std::string_view key,
                                         std::string_view name) override;
  std::optional<std::string> ReadText(SettingsHive hive, std::string_view key,
                                      std::string_view name) override;
  std::optional<std::vector<std::uint8_t>> ReadBinary(SettingsHive hive, std::string_view key,
                                                      std::string_view name) override;

  bool WriteDword(SettingsHive hive, std::string_view key, std::string_view name,
                  std::uint32_t value) override;
  bool WriteText(SettingsHive hive, std::string_view key, std::string_view name,
                 std::string_view value) override;
  bool WriteBinary(SettingsHive hive, std::string_view key, std::string_view name,
                   const std::vector<std::uint8_t>& value) override;

  bool DeleteKey(SettingsHive hive, std::string_view key) override;

  // Number of values held in the hive, for tests that check nothing else was
  // written.
  std::size_t ValueCount(SettingsHive hive) const;

 private:
  using Value = std::variant<std::uint32_t, std::string, std::vector<std::uint8_t>>;
  // Keyed by the normalised key path and the value name.
  using Hive = std::map<std::pair<std::string, std::string>, Value>;

  const Value* Find(SettingsHive hive, std::string_view key, std::string_view name) const;
  bool Put(SettingsHive hive, std::string_view key, std::string_view name, Value value);

  bool machineHiveWritable_;
  mutable std::mutex mutex_;
  Hive currentUser_;
  Hive localMachine_;
};

}  // namespace orv
