#include "exchange/kmz_archive.h"

#include <unzip.h>
#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>

namespace orv {
namespace {

struct UnzipCloser {
  void operator()(void* handle) const {
    if (handle != nullptr) unzClose(static_cast<unzFile>(handle));
  }
};

zip_fileinfo EntryInfoNow() {
  zip_fileinfo info{};
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  info.tmz_date.tm_sec = static_cast<uInt>(local.tm_sec);
  info.tmz_date.tm_min = static_cast<uInt>(local.tm_min);
  info.tmz_date.tm_hour = static_cast<uInt>(local.tm_hour);
  info.tmz_date.tm_mday = static_cast<uInt>(local.tm_mday);
  info.tmz_date.tm_mon = static_cast<uInt>(local.tm_mon);
  info.tmz_date.tm_year = static_cast<uInt>(local.tm_year + 1900);
  return info;
}

bool AddEntry(zipFile archive, std::string_view content) {
  const zip_fileinfo info = EntryInfoNow();
  const std::string name(kKmzEntryName);
  // zip64 only when needed keeps the archive readable by the oldest readers.
  const int zip64 = content.size() >= 0xffffffffu ? 1 : 0;
  if (zipOpenNewFileInZip64(archive, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                            Z_DEFLATED, kKmzCompressionLevel, zip64) != ZIP_OK) {
    return false;
  }
  bool ok = true;
  constexpr size_t kChunk = 1u << 20;
  for (size_t offset = 0; ok && offset < content.size(); offset += kChunk) {
    const size_t length = std::min(kChunk, content.size() - offset);
    ok = zipWriteInFileInZip(archive, content.data() + offset, static_cast<unsigned>(length)) ==
         ZIP_OK;
  }
  return zipCloseFileInZip(archive) == ZIP_OK && ok;
}

}  // namespace

bool WriteKmzArchive(const std::string& zipPath, std::string_view content) {
  zipFile archive = zipOpen64(zipPath.c_str(), APPEND_STATUS_CREATE);
  if (archive == nullptr) return false;
  const bool added = AddEntry(archive, content);
  const bool closed = zipClose(archive, nullptr) == ZIP_OK;
  if (added && closed) return true;
  std::remove(zipPath.c_str());
  return false;
}

bool WriteKmzArchiveFromFile(const std::string& zipPath, const std::string& kmlPath) {
  std::ifstream in(kmlPath, std::ios::binary);
  if (!in) return false;
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  return WriteKmzArchive(zipPath, content);
}

KmzReadResult ReadLastKmzEntry(const std::string& zipPath, uint64_t maxEntryBytes) {
  KmzReadResult result;
  std::unique_ptr<void, UnzipCloser> archive(unzOpen64(zipPath.c_str()));
  if (!archive) return result;
  unzFile handle = archive.get();
  if (unzGoToFirstFile(handle) != UNZ_OK) return result;
  int step = UNZ_OK;
  while ((step = unzGoToNextFile(handle)) == UNZ_OK) {
  }
  if (step != UNZ_END_OF_LIST_OF_FILE) return result;

  unz_file_info64 info{};
  char name[1024] = {};
  if (unzGetCurrentFileInfo64(handle, &info, name, sizeof name - 1, nullptr, 0, nullptr, 0) !=
      UNZ_OK) {
    return result;
  }
  if (unzOpenCurrentFile(handle) != UNZ_OK) {
    result.failure = KmzReadFailure::kDamaged;
    return result;
  }
  KmzEntry entry;
  entry.name = name;
  // The header's size is a hint for the buffer only, never above the bound.
  entry.content.reserve(static_cast<size_t>(std::min<uint64_t>(info.uncompressed_size, 1u << 26)));
  char buffer[1 << 16];
  for (;;) {
    const int n = unzReadCurrentFile(handle, buffer, sizeof buffer);
    if (n < 0) {
      unzCloseCurrentFile(handle);
      result.failure = KmzReadFailure::kDamaged;
      return result;
    }
    if (n == 0) break;
    if (entry.content.size() + static_cast<uint64_t>(n) > maxEntryBytes) {
      unzCloseCurrentFile(handle);
      result.failure = KmzReadFailure::kTooLarge;
      return result;
    }
    entry.content.append(buffer, static_cast<size_t>(n));
  }
  if (unzCloseCurrentFile(handle) != UNZ_OK) {
    result.failure = KmzReadFailure::kDamaged;  // the checksum did not match
    return result;
  }
  result.entry = std::move(entry);
  return result;
}

}  // namespace orv
