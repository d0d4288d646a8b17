#pragma once

#include <string>
#include <string_view>

#include "exchange/kml_track_writer.h"

namespace orv {

class Prompter;
class Track;

// The two choices of the save dialog's filter, in its order.
enum class TrackSaveFormat { kKmz = 1, kKml = 2 };

inline constexpr std::string_view kSaveDialogTitle = "Save Orvelle as";
inline constexpr std::string_view kSaveDialogFilter =
    "Google Earth (*.kmz)|*.kmz|Google Earth (*.kml)|*.kml||";
inline constexpr std::string_view kSaveConfirmationText =
    "The file '%1' was successfully saved. Please! Use the File Explorer to copy or move the "
    "file.";
inline constexpr std::string_view kSaveConfirmationCaption = "Orvelle Recorder 7 Beta";
inline constexpr std::string_view kKmlWriteFailedText = "The track could not be written to '%1'";

// .kmz (any case) is an archive, everything else a plain document.
TrackSaveFormat SaveFormatOfPath(std::string_view path);

// The proposed name of the save dialog: the track file's name without its
// folder and its last extension.
std::string ProposedSaveName(std::string_view trackFilePath);

enum class TrackSaveOutcome {
  kSaved,
  kFileFailed,     // the document (or temporary document) could not be created
  kWriterFailed,   // the document could not be built (a NaN speed)
  kArchiveFailed,  // the archive could not be created, filled or closed
};

// The save after the dialog: a KML document is written straight to `path`;
// a KMZ first writes the document to "<name>.kml" in a private temporary
// folder (so the document's name is that file's name), packs it as the
// single entry "doc.kml" of an archive at `path`, and removes the temporary
// folder. File failures are reported through the prompter as system errors,
// a writer failure with kKmlWriteFailedText; an archive failure silently.
// On success the confirmation is shown when `confirm` is set.
TrackSaveOutcome SaveTrackAs(const Track& track, const std::string& path, TrackSaveFormat format,
                             const KmlTrackOptions& options, Prompter& prompter,
                             bool confirm = true);

}  // namespace orv
