#include "platform/settings_store_memory.h"

#include <utility>

namespace orv {

namespace {

// Doubled, leading and trailing backslashes name the same key as the plain
// path, as in the file-backed store.
std::string NormalKey(std::string_view key) {
  std::string normal;
  std::size_t start = 0;
  while (start <= key.size()) {
    std::size_t end = key.find('\\', start);
    if (end == std::string_view::npos) end = key.size();
    if (end > start) {
      if (!normal.empty()) normal += '\\';
      normal.append(key.substr(start, end - start));
    }
    start = end + 1;
  }
  return normal;
}

}  // namespace

const MemorySettingsStore::Value* MemorySettingsStore::Find(SettingsHive hive, std::string_view key,
                                                            std::string_view name) const {
  const Hive& values = hive == SettingsHive::kCurrentUser ? currentUser_ : localMachine_;
  auto found = values.find({NormalKey(key), std::string(name)});
  return found == values.end() ? nullptr : &found->second;
}

bool MemorySettingsStore::Put(SettingsHive hive, std::string_view key, std::string_view name,
                              Value value) {
  if (name.empty()) return false;
  if (hive == SettingsHive::kLocalMachine && !machineHiveWritable_) return false;
  std::lock_guard lock(mutex_);
  Hive& values = hive == SettingsHive::kCurrentUser ? currentUser_ : localMachine_;
  values[{NormalKey(key), std::string(name)}] = std::move(value);
  return true;
}

std::optional<std::uint32_t> MemorySettingsStore::ReadDword(SettingsHive hive, std::string_view key,
                                                            std::string_view name) {
  std::lock_guard lock(mutex_);
  const Value* value = Find(hive, key, name);
  if (value == nullptr) return std::nullopt;
  if (auto* dword = std::get_if<std::uint32_t>(value)) return *dword;
  return std::nullopt;
}

std::optional<std::string> MemorySettingsStore::ReadText(SettingsHive hive, std::string_view key,
                                                         std::string_view name) {
  std::lock_guard lock(mutex_);
  const Value* value = Find(hive, key, name);
  if (value == nullptr) return std::nullopt;
  if (auto* text = std::get_if<std::string>(value)) return *text;
  return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> MemorySettingsStore::ReadBinary(SettingsHive hive,
                                                                         std::string_view key,
                                                                         std::string_view name) {
  std::lock_guard lock(mutex_);
  const Value* value = Find(hive, key, name);
  if (value == nullptr) return std::nullopt;
  if (auto* bytes = std::get_if<std::vector<std::uint8_t>>(value)) return *bytes;
  return std::nullopt;
}

bool MemorySettingsStore::WriteDword(SettingsHive hive, std::string_view key, std::string_view name,
                                     std::uint32_t value) {
  return Put(hive, key, name, value);
}

bool MemorySettingsStore::WriteText(SettingsHive hive, std::string_view key, std::string_view name,
                                    std::string_view value) {
  return Put(hive, key, name, std::string(value));
}

bool MemorySettingsStore::WriteBinary(SettingsHive hive, std::string_view key,
                                      std::string_view name,
                                      const std::vector<std::uint8_t>& value) {
  return Put(hive, key, name, value);
}

bool MemorySettingsStore::DeleteKey(SettingsHive hive, std::string_view key) {
  std::string normal = NormalKey(key);
  if (normal.empty()) return false;
  if (hive == SettingsHive::kLocalMachine && !machineHiveWritable_) return false;
  std::lock_guard lock(mutex_);
  Hive& values = hive == SettingsHive::kCurrentUser ? currentUser_ : localMachine_;
  std::string below = normal + '\\';
  std::erase_if(values, [&](const auto& entry) {
    const std::string& path = entry.first.first;
    return path == normal || path.starts_with(below);
  });
  return true;
}

std::size_t MemorySettingsStore::ValueCount(SettingsHive hive) const {
  std::lock_guard lock(mutex_);
  return (hive == SettingsHive::kCurrentUser ? currentUser_ : localMachine_).size();
}

}  // namespace orv
