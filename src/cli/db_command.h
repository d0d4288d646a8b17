#pragma once

#include <string_view>

#include "cli/cli.h"

namespace orv::cli {

inline constexpr std::string_view kDbSummary = "waypoints and routes of the navigation database";

inline constexpr std::string_view kDbUsage =
    "Usage: orvelle-cli db SUBCOMMAND [ARGS...] [--db PATH] [--yes|--no]\n"
    "Works on the navigation database NaviStor7.ovr in the documents folder, or on\n"
    "PATH (a database file, or a folder holding NaviStor7.ovr). Every change is\n"
    "saved at once; the previous file is kept as NaviStor7.ov~.\n"
    "Questions are asked on the terminal (answer y or n; an empty line or the end\n"
    "of input takes the default, which is No); --yes or --no answers them all.\n"
    "A database given with --db keeps its name counters to itself.\n"
    "Positions are decimal degrees (north and east positive) or typed coordinates\n"
    "such as \"N 48°07.038'\" or \"W 11°31'04.5\\\"\".\n"
    "\n"
    "  list waypoints|routes [--json]\n"
    "      the Waypoint List or the Route List\n"
    "  route NAME [--units 1|2|3] [--json]\n"
    "      the Route Waypoints rows: number, waypoint, desired track of leg, leg\n"
    "      distance, distance from the begin, distance to the end\n"
    "  add-waypoint NAME LAT LON [--description TEXT]\n"
    "      a new waypoint; an existing name asks whether to replace it, then\n"
    "      whether to store it under another name\n"
    "  add-route NAME [WAYPOINT...]\n"
    "      a new route of the named waypoints (each must exist)\n"
    "  delete-waypoint NAME\n"
    "      removes the waypoint and its entries in every route (asks first)\n"
    "  delete-route NAME\n"
    "      removes the route (asks first), and its waypoints if you say so\n"
    "  rename-waypoint OLD NEW\n"
    "  rename-route OLD NEW\n"
    "      renames; routes follow a renamed waypoint. A taken name asks whether\n"
    "      to replace the other one\n"
    "  import-nmea FILE\n"
    "      offers every line of an NMEA text file to the database, as opening a\n"
    "      track file does; prints the waypoints and routes taken from FILE, the\n"
    "      totals and the import state (0 nothing, 1 one waypoint, 2 several\n"
    "      waypoints, 3 one route, 4 several routes). Records read back from the\n"
    "      database file later name the database as their place to store\n"
    "  save-route NAME OUT\n"
    "      writes the route with its waypoints as an NMEA text file OUT\n"
    "  nearest LAT LON [N|all] [--speed KN --course DEG] [--route NAME] [--units 1|2|3]\n"
    "      the N (default 10) waypoints nearest to the position, nearest first,\n"
    "      with distance and bearing (\"Ahead - \"/\"Behind - \" while moving);\n"
    "      --route takes the candidates from one route; all asks first\n"
    "  guide (--waypoint NAME | --route NAME [--index K]) --at LAT LON --speed KN\n"
    "        --course DEG [--kind 1|2|3] [--now YYYY-MM-DDTHH:MM:SS] [--units 1|2|3]\n"
    "      route guidance: BRG, DST, ETE, ETA, ERD, the arrival decision and the\n"
    "      following route waypoints; kind 1 walk, 2 drive (default), 3 flight;\n"
    "      --now is local time (default: the clock); K counts from 0\n"
    "  average LAT,LON [LAT,LON ...]\n"
    "      position averaging: samples within 5 m of the previous sample are left\n"
    "      out, the rest reduced by pairwise midpoints\n"
    "\n"
    "--units: 1 kilometres, 2 statute miles, 3 nautical miles (default).\n"
    "Exit status: 0 done, 1 not done (declined, not found, file error), 2 bad arguments.\n";

int RunDbCommand(const Args& args, Io& io);

}  // namespace orv::cli
