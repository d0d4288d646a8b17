#pragma once

#include <string_view>

#include "cli/cli.h"

namespace orv::cli {

inline constexpr std::string_view kExportSummary = "write a track as a KML or KMZ document";

inline constexpr std::string_view kExportUsage =
    "Usage: orvelle-cli export FILE -o OUT.kml|OUT.kmz [--colored 0|1]\n"
    "                          [--altitude-mode 1|2] [--units 1|2|3]\n"
    "Loads FILE as the recorded track (an NMEA track file, or a KML/KMZ document\n"
    "whose lines become the track) and writes it exactly as \"Save as...\" does:\n"
    "OUT ending in .kmz becomes a zip archive holding doc.kml, anything else a\n"
    "plain KML document.\n"
    "  --colored        1 speed-coloured segments, 0 the overview line only\n"
    "  --altitude-mode  1 clamped to ground, 2 absolute\n"
    "  --units          segment labels in 1 km/m, 2 mi/ft, 3 nmi/ft\n"
    "Options not given take the stored settings (GoogleTrackLineColored,\n"
    "AntennaAltitudeMode, DistanceUnits) from the settings file, which lives in\n"
    "$XDG_CONFIG_HOME/orvelle/settings.ini (default ~/.config).\n"
    "Prints the written file and its number of track points. Exit status 1 when\n"
    "FILE cannot be read or OUT cannot be written, 2 for wrong arguments.\n";

int RunExportCommand(const Args& args, Io& io);

}  // namespace orv::cli
