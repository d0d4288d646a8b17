#include "exchange/file_import.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <random>

#include "app/navigator.h"
#include "app/track_file_reader.h"
#include "exchange/document_text_decoder.h"
#include "exchange/kml_reader.h"
#include "exchange/kmz_archive.h"
#include "exchange/text_encoding.h"
#include "exchange/xml_tree.h"
#include "nav/geodesy.h"
#include "nav/navigation_database.h"
#include "nmea/track_point.h"
#include "platform/large_buffer.h"
#include "platform/prompter.h"

namespace orv {
namespace {

std::string_view FileNameOf(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view NameBeforeFirstDot(std::string_view fileName) {
  return fileName.substr(0, fileName.find('.'));
}

std::string RandomLetters(size_t count) {
  static constexpr std::string_view kLetters =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  thread_local std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, kLetters.size() - 1);
  std::string text;
  for (size_t i = 0; i < count; ++i) text.push_back(kLetters[pick(generator)]);
  return text;
}

// A coordinate as a position sentence carries it: minutes to four decimals.
double RawAsWritten(double raw) {
  const double scaled = raw * 1e4;
  const double fraction = scaled - std::floor(scaled);
  // Away from a rounding tie the scaled value rounds the same way the
  // decimal text would; near one, the text itself decides.
  if (std::fabs(fraction - 0.5) > 1e-6 && std::isfinite(scaled)) {
    return std::round(scaled) / 1e4;
  }
  char text[400];
  const auto written =
      std::to_chars(text, text + sizeof text, raw, std::chars_format::fixed, 4).ptr;
  double value = 0.0;
  std::from_chars(text, written, value);
  return value;
}

}  // namespace

TrackPoint ImportedLinePoint(const LatLong& position, int64_t secondsSinceEpoch) {
  // What a plain GPS fix of twelve satellites yields when the point is
  // played in as a GGA and an RMC sentence of its second.
  TrackPoint point;
  LatLong written;
  written.SetLatitude(RawAsWritten(position.LatitudeRaw()), position.LatitudeHemisphere());
  written.SetLongitude(RawAsWritten(position.LongitudeRaw()), position.LongitudeHemisphere());
  point.SetPosition(written);
  point.AssignFixTime(FixTime::FromSecondsSinceEpoch(secondsSinceEpoch));
  point.SetTimeSet(true);
  point.SetSatellitesInUse(12);
  point.SetAltitudeMsl(0.0);
  point.SetGeoidSeparation(0.0);
  point.SetGgaSeen(true);
  point.SetRmcSeen(true);
  point.SetLastWasRmc(true);
  point.RecomputeComplete();
  return point;
}

ImportFormat ImportFormatOfPath(std::string_view path) {
  const std::string_view name = FileNameOf(path);
  const size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos) return ImportFormat::kTrackFile;
  std::string extension(name.substr(dot + 1));
  for (char& c : extension) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  if (extension == "KML") return ImportFormat::kKml;
  if (extension == "KMZ") return ImportFormat::kKmz;
  return ImportFormat::kTrackFile;
}

double ImportWaypointSpacing(int kindOfRouteGuidance) {
  switch (kindOfRouteGuidance) {
    case 1:
      return 0.010799136;
    case 3:
      return 0.16198704;
    default:
      return 0.02699784;
  }
}

std::string ImportRouteName(std::string_view fileName) {
  return std::string(NameBeforeFirstDot(fileName).substr(0, 12));
}

std::string ImportWaypointPrefix(std::string_view fileName) {
  return std::string(NameBeforeFirstDot(fileName).substr(0, 6));
}

std::string ImportWaypointName(std::string_view prefix, size_t index) {
  if (index >= 10000) return RandomLetters(12);
  std::string name(prefix);
  name += '_';
  const std::string digits = std::to_string(index);
  name.append(4 - digits.size(), '0');
  name += digits;
  return name;
}

FileImporter::FileImporter(Navigator& navigator, NavigationDatabase& database, Prompter& prompter)
    : navigator_(navigator),
      database_(database),
      prompter_(prompter),
      maxArchiveEntryBytes_(kMaxKmzEntryBytes) {}

void FileImporter::Show(std::string_view text) {
  prompter_.Ask(
      {std::string(text), kIrreparableErrorCaption, PromptIcon::kStop, PromptButtons::kOk, 0});
}

ImportReport FileImporter::ImportKml(const std::string& path) {
  if (ImportFormatOfPath(path) == ImportFormat::kKmz) {
    KmzReadResult archive = ReadLastKmzEntry(path, maxArchiveEntryBytes_);
    if (!archive.entry) {
      ImportReport report;
      report.failure = ImportReport::Failure::kArchive;
      return report;
    }
    return ImportKmlBytes(archive.entry->content, path);
  }
  const auto fail = [this](ImportReport::Failure failure, std::string_view text) {
    Show(text);
    ImportReport report;
    report.failure = failure;
    return report;
  };
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return fail(ImportReport::Failure::kOpen, kUnableToOpenFileText);
  struct stat info {};
  bool readOk = ::fstat(fd, &info) == 0;
  // Read a block at a time and decoded while the block is in the cache:
  // the file is never held whole beside its text. A file that grows
  // meanwhile, or a pipe, is read to its end all the same.
  std::optional<DecodedDocument> decoded;
  try {
    DocumentTextDecoder decoder(readOk && info.st_size > 0 ? static_cast<size_t>(info.st_size) : 0);
    constexpr size_t kBlockBytes = 256u << 10;
    const auto block = std::make_unique_for_overwrite<char[]>(kBlockBytes);
    while (readOk) {
      const ssize_t n = ::read(fd, block.get(), kBlockBytes);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) readOk = false;
      if (n <= 0) break;
      decoder.Feed(std::string_view(block.get(), static_cast<size_t>(n)));
    }
    decoded = decoder.Finish();
  } catch (const std::bad_alloc&) {
    ::close(fd);
    return fail(ImportReport::Failure::kOutOfMemory, kImportOutOfMemoryText);
  }
  ::close(fd);
  if (!readOk) return fail(ImportReport::Failure::kOpen, kUnableToOpenFileText);
  return ImportDecoded(std::move(*decoded), path);
}

ImportReport FileImporter::ImportKmlBytes(std::string_view bytes, const std::string& path) {
  DecodedDocument decoded;
  try {
    decoded = DecodeDocumentBytes(bytes);
  } catch (const std::bad_alloc&) {
    Show(kImportOutOfMemoryText);
    ImportReport report;
    report.failure = ImportReport::Failure::kOutOfMemory;
    return report;
  }
  return ImportDecoded(std::move(decoded), path);
}

ImportReport FileImporter::ImportDecoded(DecodedDocument decoded, const std::string& path) {
  ImportReport report;
  KmlContent content;
  try {
    if (decoded.binary) {
      Show(kBinaryContentText);
      report.failure = ImportReport::Failure::kBinary;
      return report;
    }
    XmlTree tree;
    if (!tree.ParseText(std::move(decoded.text))) {
      Show(kXmlParseFailedText);
      report.failure = ImportReport::Failure::kParse;
      return report;
    }
    content = ReadKmlContent(tree);
  } catch (const std::bad_alloc&) {
    Show(kImportOutOfMemoryText);
    report.failure = ImportReport::Failure::kOutOfMemory;
    return report;
  }

  report.pointCandidates = content.points.size();
  report.linePoints = content.linePoints.size();
  if (!content.points.empty()) CreateWaypoints(path, content.points, report);
  if (!content.linePoints.empty()) LoadLine(path, content.linePoints, report);
  if (!content.points.empty()) {
    report.routeName = ImportRouteName(FileNameOf(path));
    Route route(report.routeName, report.waypoints);
    report.routeStored =
        database_.MergeRoute(std::move(route), path, MergeMode::kAsk) != MergeOutcome::kDropped;
  }
  return report;
}

void FileImporter::CreateWaypoints(const std::string& path,
                                   const std::vector<KmlPointCandidate>& points,
                                   ImportReport& report) {
  const std::string prefix = ImportWaypointPrefix(FileNameOf(path));
  const double spacing = ImportWaypointSpacing(kindOfRouteGuidance_);
  const LatLong* previous = nullptr;
  for (size_t i = 0; i < points.size(); ++i) {
    const LatLong& position = points[i].position;
    if (previous != nullptr &&
        !(GeoDistance(previous->LatitudeDegrees(), previous->LongitudeDegrees(),
                      position.LatitudeDegrees(), position.LongitudeDegrees()) > spacing)) {
      continue;
    }
    Waypoint waypoint(ImportWaypointName(prefix, i), position, points[i].name);
    if (database_.MergeWaypoint(std::move(waypoint), path, MergeMode::kAsk) ==
        MergeOutcome::kDropped) {
      return;
    }
    // The merge made the stored record the last used one; it may carry
    // another name than the one asked for.
    const std::optional<Waypoint> stored = database_.WaypointAt(database_.LastUsedWaypoint());
    if (!stored) return;
    report.waypoints.push_back(stored->Name());
    previous = &position;
  }
}

void FileImporter::LoadLine(const std::string& path, const std::vector<KmlCoordinate>& points,
                            ImportReport& report) {
  if (trackFileReader_ != nullptr) trackFileReader_->Close();
  Track& track = navigator_.Recorded();
  track.Clear();
  int error = 0;
  try {
    // Prepared a batch at a time in one small buffer that stays in the
    // cache, rather than a second copy of the whole line.
    constexpr size_t kBatch = 512;
    std::vector<TrackPoint> fixes;
    fixes.reserve(std::min(kBatch, points.size()));
    for (size_t first = 0; first < points.size() && error == 0; first += kBatch) {
      fixes.clear();
      const size_t last = std::min(points.size(), first + kBatch);
      for (size_t i = first; i < last; ++i) {
        fixes.push_back(ImportedLinePoint(points[i].Position(),
                                          kImportedLineFirstSecond + static_cast<int64_t>(i)));
      }
      track.AppendPoints(fixes, error);
    }
  } catch (const std::bad_alloc&) {
    error = 1;
  }
  if (error != 0) {
    Show(kImportOutOfMemoryText);
    report.trackOutOfMemory = true;
  }
  track.SetFilePath(path);
  track.SetName(FileNameOf(path));
  report.trackPoints = track.PointCount();
}

}  // namespace orv
