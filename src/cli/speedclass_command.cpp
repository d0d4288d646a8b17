#include "cli/speedclass_command.h"

#include <optional>
#include <ostream>
#include <string>

#include "app/speed_class.h"
#include "cli/number_arg.h"

namespace orv::cli {
namespace {

const Command kSpeedClassCommand{"speedclass", kSpeedClassSummary, kSpeedClassUsage,
                                 RunSpeedClassCommand};

void PrintRow(std::string_view rule, size_t row, Io& io) {
  const SpeedClass& speed_class = SpeedClasses()[row];
  io.out << rule << " row " << row << " style " << speed_class.style_id << " color "
         << KmlColorText(speed_class) << "\n";
}

}  // namespace

int RunSpeedClassCommand(const Args& args, Io& io) {
  if (args.size() != 1) {
    return UsageError(
        kSpeedClassCommand,
        "expects one speed in knots, got " + std::to_string(args.size()) + " arguments", io);
  }
  const std::optional<double> knots = ParseFiniteNumber(args[0]);
  if (!knots) {
    return UsageError(kSpeedClassCommand, "KNOTS is not a finite number: '" + args[0] + "'", io);
  }
  if (*knots < 0.0) {
    return UsageError(kSpeedClassCommand, "KNOTS must not be negative: '" + args[0] + "'", io);
  }

  const size_t map_row = SpeedClassForMap(*knots);
  // A finite speed always has a KML row; only NaN has none.
  const size_t kml_row = SpeedClassForKml(*knots).value_or(map_row);
  if (map_row == kml_row) {
    PrintRow("map+kml", map_row, io);
  } else {
    PrintRow("map", map_row, io);
    PrintRow("kml", kml_row, io);
  }
  return kExitOk;
}

}  // namespace orv::cli
