#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// The one entry of the KMZ archives the program writes.
inline constexpr std::string_view kKmzEntryName = "doc.kml";
inline constexpr int kKmzCompressionLevel = 8;
// The most a single entry may inflate to. Counted while inflating: the size
// in the entry's header is whatever the archive's maker wrote there.
inline constexpr uint64_t kMaxKmzEntryBytes = 512ull * 1024 * 1024;

// Writes a zip archive at `zipPath` holding `content` as the single entry
// "doc.kml", deflated at level 8 and stamped with the current local time.
// False when the archive cannot be created, the entry added or the archive
// closed; a partly written archive is removed.
bool WriteKmzArchive(const std::string& zipPath, std::string_view content);
// The same with the content of the file at `kmlPath`.
bool WriteKmzArchiveFromFile(const std::string& zipPath, const std::string& kmlPath);

enum class KmzReadFailure {
  kNotAnArchive,  // cannot be opened as a zip archive, or it has no entry
  kTooLarge,      // the entry inflates to more than the bound
  kDamaged,       // the entry cannot be inflated or its checksum is wrong
};

struct KmzEntry {
  std::string name;     // as stored; only reported, never used as a path
  std::string content;  // the inflated bytes
};

struct KmzReadResult {
  std::optional<KmzEntry> entry;
  KmzReadFailure failure = KmzReadFailure::kNotAnArchive;
};

// Inflates the last entry of the archive into memory (the entry that an
// import reads: a KMZ holds its document last). Nothing is written to disk,
// so an entry name like "../../x" or "/etc/x" has no effect beyond the text
// it is.
KmzReadResult ReadLastKmzEntry(const std::string& zipPath,
                               uint64_t maxEntryBytes = kMaxKmzEntryBytes);

}  // namespace orv
