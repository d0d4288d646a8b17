#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/text_encoding.h"
#include "nmea/track_point.h"

namespace orv {

class Navigator;
class NavigationDatabase;
class Prompter;
class TrackFileReader;

inline constexpr std::string_view kOpenDialogTitle = "Open File";
inline constexpr std::string_view kOpenDialogFilter =
    "All Files (*.txt;*.kmz;*.kml)|*.txt;*.kmz;*.kml||";
inline constexpr std::string_view kUnableToOpenFileText = "Unable to open file";
inline constexpr std::string_view kImportOutOfMemoryText = "Out of memory";
inline constexpr std::string_view kBinaryContentText =
    "Error converting file to string (may contain binary data)";
inline constexpr std::string_view kXmlParseFailedText = "Xml parse failed or empty document";

// Which reader a chosen file goes to, by its extension (after the last ".",
// any case): KML and KMZ are documents, everything else a track file.
enum class ImportFormat { kKml, kKmz, kTrackFile };
ImportFormat ImportFormatOfPath(std::string_view path);

// The least distance between two waypoints made from one file, in nautical
// miles, by "KindOfRouteGuidance": 1 Walk 20 m, 3 Flight 300 m, anything
// else Drive 50 m.
double ImportWaypointSpacing(int kindOfRouteGuidance);

// First 12 characters of the file name up to its first "."; the waypoint
// prefix is the first 6 of the same text.
std::string ImportRouteName(std::string_view fileName);
std::string ImportWaypointPrefix(std::string_view fileName);
// "<prefix>_0042" for index 42; 12 random letters from index 10000 on.
std::string ImportWaypointName(std::string_view prefix, size_t index);

// The day the points of an imported line are dated: 2008-01-01 12:00:00,
// one second apart.
inline constexpr int64_t kImportedLineFirstSecond = 1199188800;

// One point of an imported line as the Recorded track stores it: the
// position as a GGA and an RMC sentence of that second would carry it, no
// speed, twelve satellites.
TrackPoint ImportedLinePoint(const LatLong& position, int64_t secondsSinceEpoch);

// How an import went.
struct ImportReport {
  enum class Failure {
    kNone,
    kArchive,      // the KMZ could not be read (or its entry was too large): no message
    kOpen,         // "Unable to open file"
    kOutOfMemory,  // "Out of memory"
    kBinary,       // "Error converting file to string (may contain binary data)"
    kParse,        // "Xml parse failed or empty document"
  };
  Failure failure = Failure::kNone;
  size_t pointCandidates = 0;
  std::vector<std::string> waypoints;  // the names stored, in route order
  std::string routeName;
  bool routeStored = false;
  size_t linePoints = 0;    // tuples read from LineStrings
  int32_t trackPoints = 0;  // points the Recorded track kept of them
  bool trackOutOfMemory = false;

  bool Ok() const { return failure == Failure::kNone; }
};

// Brings a KML or KMZ document into the program: its Points become
// waypoints collected in a new route of the navigation database, its lines
// the Recorded track. Messages go through the prompter with the caption
// "Irreparable Error" and the stop icon; merges ask their questions there.
//
// A KMZ is inflated in memory, never onto the disk: the names stored in an
// archive are not trusted as paths. Its last entry is the document read.
class FileImporter {
 public:
  FileImporter(Navigator& navigator, NavigationDatabase& database, Prompter& prompter);

  // Stopped before the Recorded track is replaced, when given.
  void SetTrackFileReader(TrackFileReader* reader) { trackFileReader_ = reader; }
  void SetKindOfRouteGuidance(int kind) { kindOfRouteGuidance_ = kind; }
  void SetMaxArchiveEntryBytes(uint64_t bytes) { maxArchiveEntryBytes_ = bytes; }

  // The document at `path`, KMZ when its extension says so.
  ImportReport ImportKml(const std::string& path);
  // The same from bytes already read; `path` names the source of the records.
  ImportReport ImportKmlBytes(std::string_view bytes, const std::string& path);

 private:
  ImportReport ImportDecoded(DecodedDocument decoded, const std::string& path);
  void CreateWaypoints(const std::string& path, const std::vector<struct KmlPointCandidate>& points,
                       ImportReport& report);
  void LoadLine(const std::string& path, const std::vector<struct KmlCoordinate>& points,
                ImportReport& report);
  void Show(std::string_view text);

  Navigator& navigator_;
  NavigationDatabase& database_;
  Prompter& prompter_;
  TrackFileReader* trackFileReader_ = nullptr;
  int kindOfRouteGuidance_ = 2;
  uint64_t maxArchiveEntryBytes_;
};

}  // namespace orv
