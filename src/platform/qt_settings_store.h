#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/settings_store.h"
#include "platform/settings_store_paths.h"

namespace orv {

// The settings store on two INI files kept by QtCore's QSettings: one for the
// current user (read and written) and one for the machine (read only). The
// file layout and the typed value encoding are described in
// docs/settings-file.md.
//
// Every write is synced at once: QSettings takes a lock file next to the
// settings file, merges what other processes wrote since the last read and
// replaces the file through a temporary file and a rename, so two processes
// of the program can write at the same time without losing each other's
// values.
class QtSettingsStore : public SettingsStore {
 public:
  explicit QtSettingsStore(SettingsFilePaths paths);
  ~QtSettingsStore() override;

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

  const SettingsFilePaths& Paths() const { return paths_; }

 private:
  const std::string& FileOf(SettingsHive hive) const;
  bool Write(SettingsHive hive, std::string_view key, std::string_view name,
             const std::string& encoded);

  SettingsFilePaths paths_;
  // QSettings objects are reentrant but not shareable between threads; one
  // object per call under this lock keeps the store usable from any thread.
  std::mutex mutex_;
};

}  // namespace orv
