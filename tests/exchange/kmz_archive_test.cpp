#include "exchange/kmz_archive.h"

#include <gtest/gtest.h>
#include <unzip.h>
#include <zip.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/navigator.h"
#include "exchange/file_import.h"
#include "exchange/kml_track_save.h"
#include "kml_test_support.h"
#include "nav/navigation_database.h"
#include "platform/scripted_prompter.h"

namespace orv {
namespace {

using testing::FeedFixes;
using testing::ReadBytes;
using testing::TempFolder;

struct StoredEntry {
  std::string name;
  int method = 0;
  unsigned flag = 0;
  std::string content;
};

std::vector<StoredEntry> ListArchive(const std::string& path) {
  std::vector<StoredEntry> entries;
  unzFile archive = unzOpen64(path.c_str());
  if (archive == nullptr) return entries;
  for (int step = unzGoToFirstFile(archive); step == UNZ_OK; step = unzGoToNextFile(archive)) {
    unz_file_info64 info{};
    char name[512] = {};
    unzGetCurrentFileInfo64(archive, &info, name, sizeof name - 1, nullptr, 0, nullptr, 0);
    StoredEntry entry{
        name, static_cast<int>(info.compression_method), static_cast<unsigned>(info.flag), {}};
    if (unzOpenCurrentFile(archive) == UNZ_OK) {
      char buffer[4096];
      for (int n; (n = unzReadCurrentFile(archive, buffer, sizeof buffer)) > 0;) {
        entry.content.append(buffer, static_cast<size_t>(n));
      }
      unzCloseCurrentFile(archive);
    }
    entries.push_back(entry);
  }
  unzClose(archive);
  return entries;
}

// An archive made entry by entry, as a hostile or careless maker might.
struct EntrySpec {
  std::string name;
  std::string content;
  // When set, the header claims this size and the data goes in raw.
  std::optional<uLong> claimedSize;
};

void MakeArchive(const std::string& path, const std::vector<EntrySpec>& entries) {
  zipFile archive = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  ASSERT_NE(archive, nullptr);
  for (const EntrySpec& entry : entries) {
    zip_fileinfo info{};
    if (!entry.claimedSize) {
      ASSERT_EQ(zipOpenNewFileInZip(archive, entry.name.c_str(), &info, nullptr, 0, nullptr, 0,
                                    nullptr, Z_DEFLATED, 6),
                ZIP_OK);
      ASSERT_EQ(zipWriteInFileInZip(archive, entry.content.data(),
                                    static_cast<unsigned>(entry.content.size())),
                ZIP_OK);
      ASSERT_EQ(zipCloseFileInZip(archive), ZIP_OK);
      continue;
    }
    std::string raw(compressBound(entry.content.size()) + 64, '\0');
    z_stream stream{};
    ASSERT_EQ(deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(entry.content.data()));
    stream.avail_in = static_cast<uInt>(entry.content.size());
    stream.next_out = reinterpret_cast<Bytef*>(raw.data());
    stream.avail_out = static_cast<uInt>(raw.size());
    ASSERT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    raw.resize(stream.total_out);
    deflateEnd(&stream);
    ASSERT_EQ(zipOpenNewFileInZip2(archive, entry.name.c_str(), &info, nullptr, 0, nullptr, 0,
                                   nullptr, Z_DEFLATED, 9, 1),
              ZIP_OK);
    ASSERT_EQ(zipWriteInFileInZip(archive, raw.data(), static_cast<unsigned>(raw.size())), ZIP_OK);
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(entry.content.data()),
                            static_cast<uInt>(entry.content.size()));
    ASSERT_EQ(zipCloseFileInZipRaw(archive, *entry.claimedSize, crc), ZIP_OK);
  }
  ASSERT_EQ(zipClose(archive, nullptr), ZIP_OK);
}

constexpr std::string_view kPointDocument =
    "<kml><Document><Placemark><name>Hut</name><Point>"
    "<coordinates>11.5,48.25,0 </coordinates></Point></Placemark></Document></kml>";

// Sets TMPDIR for the lifetime of the object, so that the test sees every
// temporary file the code makes.
class TemporaryFolderOverride {
 public:
  explicit TemporaryFolderOverride(const std::string& folder) {
    if (const char* old = std::getenv("TMPDIR")) old_ = old;
    setenv("TMPDIR", folder.c_str(), 1);
  }
  ~TemporaryFolderOverride() {
    if (old_) {
      setenv("TMPDIR", old_->c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
  }

 private:
  std::optional<std::string> old_;
};

TEST(KmzSave, ArchiveHoldsOnlyDocKmlDeflatedAtLevel8AndNoTemporaryFileStays) {
  TempFolder out, temporary;
  TemporaryFolderOverride tmpdir(temporary.Path());
  Track track(TrackKind::kRecorded);
  FeedFixes(track, {{48.0, 11.0, 5.0, 100.0}, {48.001, 11.0, 5.0, 100.0}});
  ScriptedPrompter prompter;
  const std::string path = out.File("Trip 1.kmz");

  ASSERT_EQ(SaveTrackAs(track, path, TrackSaveFormat::kKmz, {}, prompter),
            TrackSaveOutcome::kSaved);

  const std::vector<StoredEntry> entries = ListArchive(path);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "doc.kml");
  EXPECT_EQ(entries[0].method, Z_DEFLATED);
  EXPECT_EQ(entries[0].flag & 6u, 2u);  // the "maximum compression" mark of levels 8 and 9
  EXPECT_EQ(entries[0].content,
            KmlTrackWriter(KmlTrackOptions{}).BuildDocument(track, "Trip 1.kml").value());
  EXPECT_TRUE(std::filesystem::is_empty(temporary.Path()));
  ASSERT_EQ(prompter.Asked().size(), 1u);
  EXPECT_EQ(prompter.Asked()[0].text, "The file '" + path +
                                          "' was successfully saved. Please! Use the File "
                                          "Explorer to copy or move the file.");
  EXPECT_EQ(prompter.Asked()[0].caption, "Orvelle Recorder 7 Beta");
  EXPECT_EQ(prompter.Asked()[0].icon, PromptIcon::kInformation);
}

TEST(KmzSave, PlainDocumentIsNamedAfterItsFileAndACreateFailureIsReported) {
  TempFolder out;
  Track track(TrackKind::kRecorded);
  ScriptedPrompter prompter;
  const std::string path = out.File("day.kml");
  ASSERT_EQ(SaveTrackAs(track, path, TrackSaveFormat::kKml, {}, prompter, false),
            TrackSaveOutcome::kSaved);
  EXPECT_NE(ReadBytes(path).find("<name>day.kml</name>"), std::string::npos);
  EXPECT_TRUE(prompter.Asked().empty());

  const std::string unreachable = out.File("no/such/folder/day.kml");
  EXPECT_EQ(SaveTrackAs(track, unreachable, TrackSaveFormat::kKml, {}, prompter),
            TrackSaveOutcome::kFileFailed);
  ASSERT_EQ(prompter.Asked().size(), 1u);
  EXPECT_EQ(prompter.Asked()[0].text.rfind("CreateFile failed\n\nError:(2)\n\n", 0), 0u);
  EXPECT_EQ(prompter.Asked()[0].caption, "Irreparable Error");
}

TEST(KmzRead, TakesTheLastEntryInMemoryWhateverItsNameSays) {
  TempFolder folder;
  const std::string zip = folder.File("hostile.kmz");
  const std::string absolute = folder.File("escaped.kml");
  MakeArchive(zip, {{"../../orv-zip-slip-" + std::to_string(getpid()), "first", {}},
                    {absolute, std::string(kPointDocument), {}}});

  Navigator navigator;
  NavigationDatabase database;
  ScriptedPrompter prompter;
  FileImporter importer(navigator, database, prompter);
  const ImportReport report = importer.ImportKml(zip);

  EXPECT_TRUE(report.Ok());
  EXPECT_EQ(report.waypoints, std::vector<std::string>{"hostil_0000"});
  EXPECT_FALSE(std::filesystem::exists(absolute));
  const std::filesystem::path parent = std::filesystem::path(folder.Path()).parent_path();
  EXPECT_FALSE(
      std::filesystem::exists(parent.parent_path() / ("orv-zip-slip-" + std::to_string(getpid()))));
  EXPECT_EQ(std::vector<std::string>{"hostile.kmz"}, [&] {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder.Path())) {
      names.push_back(e.path().filename().string());
    }
    return names;
  }());
}

struct BombCase {
  const char* legend;
  EntrySpec entry;
  KmzReadFailure failure;
};

class KmzBomb : public ::testing::TestWithParam<BombCase> {};

TEST_P(KmzBomb, IsRefusedWhileInflating) {
  TempFolder folder;
  const std::string zip = folder.File("bomb.kmz");
  MakeArchive(zip, {GetParam().entry});
  constexpr uint64_t kBound = 1u << 20;
  const KmzReadResult result = ReadLastKmzEntry(zip, kBound);
  EXPECT_FALSE(result.entry);
  EXPECT_EQ(result.failure, GetParam().failure);

  Navigator navigator;
  NavigationDatabase database;
  ScriptedPrompter prompter;
  FileImporter importer(navigator, database, prompter);
  importer.SetMaxArchiveEntryBytes(kBound);
  EXPECT_EQ(importer.ImportKml(zip).failure, ImportReport::Failure::kArchive);
  EXPECT_TRUE(prompter.Asked().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, KmzBomb,
                         ::testing::Values(BombCase{"honest header",
                                                    {"doc.kml", std::string(2u << 20, ' '), {}},
                                                    KmzReadFailure::kTooLarge},
                                           BombCase{"header claims 100 bytes",
                                                    {"doc.kml", std::string(2u << 20, ' '), 100},
                                                    KmzReadFailure::kDamaged},
                                           BombCase{
                                               "header claims 4 GB",
                                               {"doc.kml", std::string(2u << 20, ' '), 0xfffffff0u},
                                               KmzReadFailure::kTooLarge}),
                         [](const auto& info) { return std::to_string(info.index); });

TEST(KmzRead, NotAnArchive) {
  TempFolder folder;
  const std::string path = folder.File("x.kmz");
  testing::WriteBytes(path, "PK but not really");
  EXPECT_EQ(ReadLastKmzEntry(path).failure, KmzReadFailure::kNotAnArchive);
  EXPECT_EQ(ReadLastKmzEntry(folder.File("missing.kmz")).failure, KmzReadFailure::kNotAnArchive);
}

}  // namespace
}  // namespace orv
