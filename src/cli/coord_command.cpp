#include "cli/coord_command.h"

#include <charconv>
#include <cmath>
#include <ostream>
#include <string>

#include "cli/db_support.h"
#include "cli/track_command_support.h"
#include "nav/coordinate_format.h"

namespace orv::cli {
namespace {

const Command kCoord{"coord", kCoordSummary, kCoordUsage, RunCoordCommand};

// Decimal degrees at the finest resolution the edit control has.
std::string Degrees8(double value) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 8);
  return std::string(buffer, result.ptr);
}

// The hemisphere as a letter in front, as the New and Rename dialogs show it; seconds with
// decimals, so that no style loses more than its own resolution.
constexpr std::uint32_t kShownFlags =
    kCoordinateHemisphereLetters | kCoordinateHemisphereFirst | kCoordinateDecimalSeconds;

int Format(const DbArgs& parsed, Io& io) {
  if (parsed.words.size() != 2) return UsageError(kCoord, "format expects LAT LON", io);
  const auto latitude = ParseCoordinateArg(parsed.words[0], CoordinateAxis::kLatitude);
  if (!latitude) {
    return UsageError(kCoord, "LAT is not a latitude: '" + parsed.words[0] + "'", io);
  }
  const auto longitude = ParseCoordinateArg(parsed.words[1], CoordinateAxis::kLongitude);
  if (!longitude) {
    return UsageError(kCoord, "LON is not a longitude: '" + parsed.words[1] + "'", io);
  }
  const std::string* styleText = parsed.Value("--style");
  if (styleText == nullptr) return UsageError(kCoord, "format needs --style 0|1|2", io);
  long long style = 0;
  if (!ParseIntegerArg(*styleText, 0, 2, style)) {
    return UsageError(kCoord, "--style must be 0, 1 or 2: '" + *styleText + "'", io);
  }
  const std::uint32_t styleFlag = StyleFlag(static_cast<CoordinateStyle>(style));
  CoordinateEdit latitudeEdit(CoordinateAxis::kLatitude, kShownFlags | styleFlag);
  CoordinateEdit longitudeEdit(CoordinateAxis::kLongitude, kShownFlags | styleFlag);
  if (!latitudeEdit.SetDegrees(*latitude) || !longitudeEdit.SetDegrees(*longitude)) {
    return UsageError(kCoord, "the position is out of range", io);
  }
  io.out << "latitude: " << latitudeEdit.DisplayText() << "\n"
         << "longitude: " << longitudeEdit.DisplayText() << "\n"
         << "position: " << EntirePositionText(*latitude, *longitude) << "\n";
  return kExitOk;
}

int Parse(const DbArgs& parsed, Io& io) {
  if (parsed.words.size() != 1) return UsageError(kCoord, "parse expects one TEXT", io);
  const std::string& text = parsed.words[0];
  if (text.find(',') != std::string::npos) {
    if (parsed.Has("--axis")) return UsageError(kCoord, "--axis is for a single coordinate", io);
    const std::optional<PastedPosition> position = ParseEntirePosition(text);
    if (!position) return UsageError(kCoord, "not a position: '" + text + "'", io);
    io.out << Degrees8(position->latitude) << " " << Degrees8(position->longitude) << "\n";
    return kExitOk;
  }
  CoordinateAxis axis = text.find_first_of("EW") != std::string::npos ? CoordinateAxis::kLongitude
                                                                      : CoordinateAxis::kLatitude;
  if (const std::string* axisText = parsed.Value("--axis")) {
    if (*axisText == "lat") {
      axis = CoordinateAxis::kLatitude;
    } else if (*axisText == "lon") {
      axis = CoordinateAxis::kLongitude;
    } else {
      return UsageError(kCoord, "--axis must be lat or lon: '" + *axisText + "'", io);
    }
  }
  const std::optional<double> degrees = ParseCoordinateArg(text, axis);
  if (!degrees) {
    return UsageError(kCoord,
                      std::string("not a ") +
                          (axis == CoordinateAxis::kLatitude ? "latitude" : "longitude") + ": '" +
                          text + "'",
                      io);
  }
  io.out << Degrees8(*degrees) << "\n";
  return kExitOk;
}

}  // namespace

int RunCoordCommand(const Args& args, Io& io) {
  if (args.empty()) return UsageError(kCoord, "missing operation (format or parse)", io);
  constexpr OptionRule kFormatOptions[] = {{"--style", 1}};
  constexpr OptionRule kParseOptions[] = {{"--axis", 1}};
  const std::string& operation = args[0];
  if (operation != "format" && operation != "parse") {
    return UsageError(kCoord, "unknown operation '" + operation + "'", io);
  }
  DbArgs parsed;
  const Args rest(args.begin() + 1, args.end());
  const std::string problem = operation == "format" ? ParseDbArgs(rest, kFormatOptions, parsed)
                                                    : ParseDbArgs(rest, kParseOptions, parsed);
  if (!problem.empty()) return UsageError(kCoord, problem, io);
  if (parsed.Has("--db") || parsed.Has("--yes") || parsed.Has("--no")) {
    return UsageError(kCoord, "coord takes no database options", io);
  }
  return operation == "format" ? Format(parsed, io) : Parse(parsed, io);
}

}  // namespace orv::cli
