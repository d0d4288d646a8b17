#include "cli/geo_command.h"

#include <array>
#include <cmath>
#include <optional>
#include <ostream>
#include <string>

#include "cli/number_arg.h"
#include "nav/geodesy.h"

namespace orv::cli {
namespace {

const Command kGeo{"geo", kGeoSummary, kGeoUsage, RunGeoCommand};

enum class ArgKind { kLatitude, kLongitude, kDistance, kAzimuth };

struct ArgRule {
  std::string_view name;
  ArgKind kind;
};

constexpr std::array<ArgRule, 4> kPairArgs = {{{"LAT1", ArgKind::kLatitude},
                                               {"LON1", ArgKind::kLongitude},
                                               {"LAT2", ArgKind::kLatitude},
                                               {"LON2", ArgKind::kLongitude}}};
constexpr std::array<ArgRule, 4> kDestinationArgs = {{{"LAT", ArgKind::kLatitude},
                                                      {"LON", ArgKind::kLongitude},
                                                      {"DISTANCE_NM", ArgKind::kDistance},
                                                      {"AZIMUTH", ArgKind::kAzimuth}}};

// Reads the four numbers after the operation into `values`; returns what is
// wrong with the arguments, if anything.
std::optional<std::string> ReadValues(const Args& args, const std::array<ArgRule, 4>& rules,
                                      std::array<double, 4>& values) {
  const size_t given = args.size() - 1;
  if (given != rules.size()) {
    return args[0] + " takes " + std::to_string(rules.size()) + " numbers, got " +
           std::to_string(given);
  }
  for (size_t i = 0; i < rules.size(); ++i) {
    const std::string& text = args[i + 1];
    const std::string name(rules[i].name);
    const std::optional<double> value = ParseFiniteNumber(text);
    if (!value) return name + " is not a finite number: '" + text + "'";
    if (rules[i].kind == ArgKind::kLatitude && std::fabs(*value) > 90.0) {
      return name + " must be within [-90, 90]: '" + text + "'";
    }
    if (rules[i].kind == ArgKind::kDistance && *value < 0.0) {
      return name + " must not be negative: '" + text + "'";
    }
    values[i] = *value;
  }
  return std::nullopt;
}

}  // namespace

int RunGeoCommand(const Args& args, Io& io) {
  if (args.empty())
    return UsageError(kGeo, "missing operation (distance, azimuth or destination)", io);
  const std::string& operation = args[0];
  const bool is_pair_operation = operation == "distance" || operation == "azimuth";
  if (!is_pair_operation && operation != "destination") {
    return UsageError(kGeo, "unknown operation '" + operation + "'", io);
  }

  std::array<double, 4> v{};
  if (const auto problem = ReadValues(args, is_pair_operation ? kPairArgs : kDestinationArgs, v)) {
    return UsageError(kGeo, *problem, io);
  }

  if (operation == "distance") {
    io.out << FormatFixed10(GeoDistance(v[0], v[1], v[2], v[3])) << "\n";
  } else if (operation == "azimuth") {
    io.out << FormatFixed10(GeoAzimuth(v[0], v[1], v[2], v[3])) << "\n";
  } else {
    double lat = 0.0, lon = 0.0;
    GeoDestination(v[0], v[1], v[2], v[3], lat, lon);
    io.out << FormatFixed10(lat) << " " << FormatFixed10(lon) << "\n";
  }
  return kExitOk;
}

}  // namespace orv::cli
