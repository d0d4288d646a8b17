#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

enum class CoordinateAxis { kLatitude, kLongitude };

// The stored "CoordinateStyles" value.
enum class CoordinateStyle : int { kTraditional = 0, kDecimalMinutes = 1, kDecimalDegrees = 2 };

// A damaged setting falls back to the traditional style, which is also the default.
CoordinateStyle CoordinateStyleFromSetting(std::uint32_t value);

// Style flags of the coordinate edit control; combinable.
inline constexpr std::uint32_t kCoordinateTraditional = 0x800;
inline constexpr std::uint32_t kCoordinateDecimalMinutes = 0x400;
inline constexpr std::uint32_t kCoordinateDecimalDegrees = 0x200;
inline constexpr std::uint32_t kCoordinateLeadingZeros = 0x80;
inline constexpr std::uint32_t kCoordinateDecimalSeconds = 0x20;
inline constexpr std::uint32_t kCoordinateHemisphereLetters = 8;
inline constexpr std::uint32_t kCoordinateHemisphereFirst = 0x1000;
inline constexpr std::uint32_t kCoordinateHemisphereLast = 0x2000;

std::uint32_t StyleFlag(CoordinateStyle style);

// A coordinate as the edit control gives and takes it: the hemisphere (negative = south or
// west) and unsigned degrees, minutes and seconds. Only the parts the style uses carry
// fractions; the others are 0.
struct CoordinateParts {
  bool negative = false;
  double degrees = 0.0;
  double minutes = 0.0;
  double seconds = 0.0;

  // Signed decimal degrees.
  double ToDegrees() const;
  static CoordinateParts FromDegrees(double signed_degrees);
};

enum class FieldError { kNone, kNoSuchField, kNotANumber, kOutOfRange, kTooFine };

// One field of the control: 'h' hemisphere, 'd' degrees, 'm' minutes, 's' seconds.
struct CoordinateField {
  char letter = 'd';
  int decimals = 0;            // digits after the point; the resolution is 10^-decimals
  std::int64_t max_ticks = 0;  // largest value in units of the resolution
  int width = 0;               // printf field width
  bool leading_zeros = false;

  // The printf pattern this field is shown with, e.g. "%02d", "%06.3f", "%011.8f",
  // or "%s" for the hemisphere.
  std::string Pattern() const;
};

// The value model of the masked coordinate edit control: the fields of the current style,
// their texts, ranges and resolution, and the conversions to and from decimal degrees.
// Drawing and keyboard handling belong to the GUI; everything it needs to validate and show
// a value is here, so the command line can use it too.
class CoordinateEdit {
 public:
  CoordinateEdit(CoordinateAxis axis, std::uint32_t flags);

  CoordinateAxis Axis() const { return axis_; }
  std::uint32_t Flags() const { return flags_; }
  CoordinateStyle Style() const;

  // kCoordinateTraditional, kCoordinateDecimalMinutes or kCoordinateDecimalDegrees (other
  // bits are ignored). The value is kept, rounded to the new style's resolution.
  void SetStyle(std::uint32_t style_flag);
  void SetStyle(CoordinateStyle style) { SetStyle(StyleFlag(style)); }

  // Field letters in display order, e.g. "hdms" or "dmh".
  const std::string& Layout() const { return layout_; }
  const std::vector<CoordinateField>& Fields() const { return fields_; }

  std::string FieldText(std::size_t index) const;
  // Takes a typed field text (blanks around it are allowed). On any error the value is
  // unchanged. A field may not push the whole coordinate past 90 or 180 degrees.
  FieldError SetFieldText(std::size_t index, std::string_view text);

  // The parts in the current style. SetValue rounds to the style's resolution and refuses
  // (returning false, value unchanged) negative, non-finite or too large parts.
  CoordinateParts Value() const;
  bool SetValue(const CoordinateParts& parts);
  double Degrees() const;
  bool SetDegrees(double signed_degrees);

  // The fields with their separators: "N 12°30'36\"", "12.51000000° N" (UTF-8).
  std::string DisplayText() const;

 private:
  void BuildFields();
  std::int64_t MaxDegrees() const;
  // The whole coordinate in the finest unit of the current style.
  std::int64_t TicksPerDegree() const;
  std::int64_t TotalTicks() const;
  void SetTotalTicks(std::int64_t ticks);
  std::int64_t* TicksOf(char letter);

  CoordinateAxis axis_;
  std::uint32_t flags_;
  std::string layout_;
  std::vector<CoordinateField> fields_;
  bool negative_ = false;
  // Field values in units of their own resolution.
  std::int64_t degree_ticks_ = 0;
  std::int64_t minute_ticks_ = 0;
  std::int64_t second_ticks_ = 0;
};

// The clipboard text of "Copy entire Position": "N12°30.6000',E011°31.0000';" (UTF-8),
// degrees and minutes with four decimals, seconds folded into the minutes.
std::string EntirePositionText(double latitude, double longitude);
// The Mark Position form: the two texts as shown, joined by "," and ended by ";".
std::string EntirePositionText(const CoordinateEdit& latitude, const CoordinateEdit& longitude);

// Reads a single coordinate in any of the three styles: an optional hemisphere (letter of
// the axis, or "+"/"-") before or after, degrees, then optionally minutes "'" and seconds
// "\"". Only the last number given may carry decimals; minutes and seconds stay below 60
// and the whole value within 90 or 180 degrees. Returns signed decimal degrees.
std::optional<double> ParseCoordinateText(std::string_view text, CoordinateAxis axis);

struct PastedPosition {
  double latitude = 0.0;
  double longitude = 0.0;
};

// Reads "Paste entire Position" text: latitude "," longitude, an optional ";" and blanks
// around. Anything else, or either coordinate not parsing, gives no position.
std::optional<PastedPosition> ParseEntirePosition(std::string_view text);

}  // namespace orv
