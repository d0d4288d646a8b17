#pragma once

#include <string_view>

#include "cli/cli.h"

namespace orv::cli {

inline constexpr std::string_view kImportSummary =
    "import a KML/KMZ document or NMEA file into the navigation database";

inline constexpr std::string_view kImportUsage =
    "Usage: orvelle-cli import FILE [--kind 1|2|3] [--db FOLDER]\n"
    "Brings FILE into the program as \"Open...\" does. A .kml or .kmz document: its\n"
    "Points become waypoints (at least the spacing of the route-guidance kind\n"
    "apart) collected in a new route named after the file, its lines become the\n"
    "recorded track. Any other file is loaded as an NMEA track file; waypoint and\n"
    "route sentences in it go to the navigation database.\n"
    "The database (NaviStor7.ovr) is read first and saved afterwards, with its\n"
    "backup, when the import changed it.\n"
    "  --kind  route guidance 1 Walk (20 m), 2 Drive (50 m), 3 Flight (300 m);\n"
    "          default: the stored KindOfRouteGuidance setting\n"
    "  --db    the folder of the database file; default: the documents folder\n"
    "Prints the waypoints, the route and the number of track points. Questions\n"
    "(a waypoint name that exists at another position) take their default\n"
    "answer, No. Exit status 1 when the file or the database cannot be read or\n"
    "written, 2 for wrong arguments.\n";

int RunImportCommand(const Args& args, Io& io);

}  // namespace orv::cli
