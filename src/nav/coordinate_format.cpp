#include "nav/coordinate_format.h"

#include <charconv>
#include <cmath>

#include "nmea/number_text.h"

namespace orv {
namespace {

constexpr std::string_view kDegreeSign = "\xC2\xB0";
constexpr std::int64_t kPowersOfTen[] = {1,      10,      100,      1000,     10000,
                                         100000, 1000000, 10000000, 100000000};
// Enough integer digits for any field, few enough that ticks never overflow.
constexpr int kMaxIntegerDigits = 9;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// "ddd[.fff]" to a count of 10^-decimals units, exactly (no binary rounding on the way).
// Digits beyond the resolution are allowed only when they are zeros.
FieldError ParseTicks(std::string_view text, int decimals, std::int64_t& ticks) {
  std::int64_t whole = 0;
  std::int64_t fraction = 0;
  int integer_digits = 0;
  int fraction_digits = 0;
  bool seen_point = false;
  bool too_fine = false;
  for (char c : text) {
    if (c == '.' && !seen_point) {
      seen_point = true;
    } else if (c >= '0' && c <= '9') {
      if (!seen_point) {
        if (++integer_digits > kMaxIntegerDigits) return FieldError::kOutOfRange;
        whole = whole * 10 + (c - '0');
      } else if (fraction_digits < decimals) {
        fraction = fraction * 10 + (c - '0');
        ++fraction_digits;
      } else if (c != '0') {
        too_fine = true;
      }
    } else {
      return FieldError::kNotANumber;
    }
  }
  if (integer_digits + fraction_digits == 0 && !too_fine) return FieldError::kNotANumber;
  if (too_fine) return FieldError::kTooFine;
  fraction *= kPowersOfTen[decimals - fraction_digits];
  ticks = whole * kPowersOfTen[decimals] + fraction;
  return FieldError::kNone;
}

// ticks / 10^decimals with exactly `decimals` digits after the point, padded to width.
void AppendTicks(std::string& out, std::int64_t ticks, int decimals, int width,
                 bool leading_zeros) {
  std::string digits;
  AppendInteger(digits, ticks / kPowersOfTen[decimals]);
  if (decimals > 0) {
    digits += '.';
    AppendInteger(digits, ticks % kPowersOfTen[decimals], decimals, true);
  }
  const int pad = width - static_cast<int>(digits.size());
  if (pad > 0) out.append(static_cast<std::size_t>(pad), leading_zeros ? '0' : ' ');
  out += digits;
}

int MaxDegreesOf(CoordinateAxis axis) {
  return axis == CoordinateAxis::kLatitude ? 90 : 180;
}

char HemisphereLetter(CoordinateAxis axis, bool negative) {
  if (axis == CoordinateAxis::kLatitude) return negative ? 'S' : 'N';
  return negative ? 'W' : 'E';
}

// +1 / -1 for a hemisphere mark of the axis, 0 for anything else.
int HemisphereSign(char c, CoordinateAxis axis) {
  const char upper = Upper(c);
  if (c == '+') return 1;
  if (c == '-') return -1;
  if (axis == CoordinateAxis::kLatitude) {
    if (upper == 'N') return 1;
    if (upper == 'S') return -1;
  } else {
    if (upper == 'E') return 1;
    if (upper == 'W') return -1;
  }
  return 0;
}

std::uint32_t StyleBits(std::uint32_t flags) {
  return flags & (kCoordinateTraditional | kCoordinateDecimalMinutes | kCoordinateDecimalDegrees);
}

}  // namespace

CoordinateStyle CoordinateStyleFromSetting(std::uint32_t value) {
  switch (value) {
    case 1:
      return CoordinateStyle::kDecimalMinutes;
    case 2:
      return CoordinateStyle::kDecimalDegrees;
    default:
      return CoordinateStyle::kTraditional;
  }
}

std::uint32_t StyleFlag(CoordinateStyle style) {
  switch (style) {
    case CoordinateStyle::kDecimalMinutes:
      return kCoordinateDecimalMinutes;
    case CoordinateStyle::kDecimalDegrees:
      return kCoordinateDecimalDegrees;
    case CoordinateStyle::kTraditional:
      break;
  }
  return kCoordinateTraditional;
}

double CoordinateParts::ToDegrees() const {
  const double magnitude = degrees + minutes / 60.0 + seconds / 3600.0;
  return negative ? -magnitude : magnitude;
}

CoordinateParts CoordinateParts::FromDegrees(double signed_degrees) {
  CoordinateParts parts;
  parts.negative = signed_degrees < 0.0;
  parts.degrees = std::fabs(signed_degrees);
  return parts;
}

std::string CoordinateField::Pattern() const {
  if (letter == 'h') return "%s";
  std::string pattern = leading_zeros ? "%0" : "%";
  AppendInteger(pattern, width);
  if (decimals == 0) return pattern + "d";
  pattern += '.';
  AppendInteger(pattern, decimals);
  return pattern + "f";
}

CoordinateEdit::CoordinateEdit(CoordinateAxis axis, std::uint32_t flags)
    : axis_(axis), flags_(flags) {
  if (StyleBits(flags_) == 0) flags_ |= kCoordinateTraditional;
  BuildFields();
}

CoordinateStyle CoordinateEdit::Style() const {
  if (flags_ & kCoordinateTraditional) return CoordinateStyle::kTraditional;
  if (flags_ & kCoordinateDecimalMinutes) return CoordinateStyle::kDecimalMinutes;
  return CoordinateStyle::kDecimalDegrees;
}

void CoordinateEdit::SetStyle(std::uint32_t style_flag) {
  const std::uint32_t style = StyleBits(style_flag);
  if (style != kCoordinateTraditional && style != kCoordinateDecimalMinutes &&
      style != kCoordinateDecimalDegrees) {
    return;
  }
  const CoordinateParts value = Value();
  flags_ = (flags_ & ~StyleBits(flags_)) | style;
  BuildFields();
  degree_ticks_ = minute_ticks_ = second_ticks_ = 0;
  SetValue(value);
}

void CoordinateEdit::BuildFields() {
  const bool zeros = (flags_ & kCoordinateLeadingZeros) != 0;
  const int degree_width = axis_ == CoordinateAxis::kLatitude ? 2 : 3;
  const std::int64_t max_degrees = MaxDegrees();
  fields_.clear();
  switch (Style()) {
    case CoordinateStyle::kTraditional:
      fields_.push_back({'d', 0, max_degrees, degree_width, zeros});
      fields_.push_back({'m', 0, 59, 2, zeros});
      if (flags_ & kCoordinateDecimalSeconds) {
        fields_.push_back({'s', 3, 59999, 6, zeros});
      } else {
        fields_.push_back({'s', 0, 59, 2, zeros});
      }
      break;
    case CoordinateStyle::kDecimalMinutes:
      fields_.push_back({'d', 0, max_degrees, degree_width, zeros});
      fields_.push_back({'m', 4, 599999, zeros ? 7 : 6, zeros});
      break;
    case CoordinateStyle::kDecimalDegrees:
      fields_.push_back({'d', 8, max_degrees * kPowersOfTen[8], degree_width + 9, zeros});
      break;
  }
  const CoordinateField hemisphere{'h', 0, 1, 1, false};
  const bool last = (flags_ & kCoordinateHemisphereLast) && !(flags_ & kCoordinateHemisphereFirst);
  if (last) {
    fields_.push_back(hemisphere);
  } else {
    fields_.insert(fields_.begin(), hemisphere);
  }
  layout_.clear();
  for (const CoordinateField& field : fields_) layout_ += field.letter;
}

std::int64_t CoordinateEdit::MaxDegrees() const {
  return MaxDegreesOf(axis_);
}

std::int64_t CoordinateEdit::TicksPerDegree() const {
  switch (Style()) {
    case CoordinateStyle::kTraditional:
      return (flags_ & kCoordinateDecimalSeconds) ? 3600 * 1000 : 3600;
    case CoordinateStyle::kDecimalMinutes:
      return 60 * 10000;
    case CoordinateStyle::kDecimalDegrees:
      break;
  }
  return kPowersOfTen[8];
}

std::int64_t CoordinateEdit::TotalTicks() const {
  switch (Style()) {
    case CoordinateStyle::kTraditional: {
      const std::int64_t per_second = TicksPerDegree() / 3600;
      return (degree_ticks_ * 3600 + minute_ticks_ * 60) * per_second + second_ticks_;
    }
    case CoordinateStyle::kDecimalMinutes:
      return degree_ticks_ * 600000 + minute_ticks_;
    case CoordinateStyle::kDecimalDegrees:
      break;
  }
  return degree_ticks_;
}

void CoordinateEdit::SetTotalTicks(std::int64_t ticks) {
  degree_ticks_ = minute_ticks_ = second_ticks_ = 0;
  switch (Style()) {
    case CoordinateStyle::kTraditional: {
      const std::int64_t per_minute = TicksPerDegree() / 60;
      degree_ticks_ = ticks / TicksPerDegree();
      minute_ticks_ = ticks % TicksPerDegree() / per_minute;
      second_ticks_ = ticks % per_minute;
      break;
    }
    case CoordinateStyle::kDecimalMinutes:
      degree_ticks_ = ticks / 600000;
      minute_ticks_ = ticks % 600000;
      break;
    case CoordinateStyle::kDecimalDegrees:
      degree_ticks_ = ticks;
      break;
  }
}

std::int64_t* CoordinateEdit::TicksOf(char letter) {
  switch (letter) {
    case 'd':
      return &degree_ticks_;
    case 'm':
      return &minute_ticks_;
    case 's':
      return &second_ticks_;
    default:
      return nullptr;
  }
}

std::string CoordinateEdit::FieldText(std::size_t index) const {
  if (index >= fields_.size()) return {};
  const CoordinateField& field = fields_[index];
  if (field.letter == 'h') {
    if (flags_ & kCoordinateHemisphereLetters)
      return std::string(1, HemisphereLetter(axis_, negative_));
    return negative_ ? "-" : "+";
  }
  const std::int64_t ticks = field.letter == 'd'   ? degree_ticks_
                             : field.letter == 'm' ? minute_ticks_
                                                   : second_ticks_;
  std::string text;
  AppendTicks(text, ticks, field.decimals, field.width, field.leading_zeros);
  return text;
}

FieldError CoordinateEdit::SetFieldText(std::size_t index, std::string_view text) {
  if (index >= fields_.size()) return FieldError::kNoSuchField;
  const CoordinateField& field = fields_[index];
  text = Trimmed(text);
  if (field.letter == 'h') {
    if (text.size() != 1) return FieldError::kNotANumber;
    const bool letters = (flags_ & kCoordinateHemisphereLetters) != 0;
    const bool is_sign = text[0] == '+' || text[0] == '-';
    const int sign = HemisphereSign(text[0], axis_);
    if (sign == 0 || is_sign == letters) return FieldError::kNotANumber;
    negative_ = sign < 0;
    return FieldError::kNone;
  }
  std::int64_t ticks = 0;
  const FieldError error = ParseTicks(text, field.decimals, ticks);
  if (error != FieldError::kNone) return error;
  if (ticks > field.max_ticks) return FieldError::kOutOfRange;
  std::int64_t* target = TicksOf(field.letter);
  const std::int64_t previous = *target;
  *target = ticks;
  if (TotalTicks() > MaxDegrees() * TicksPerDegree()) {
    *target = previous;
    return FieldError::kOutOfRange;
  }
  return FieldError::kNone;
}

CoordinateParts CoordinateEdit::Value() const {
  CoordinateParts parts;
  parts.negative = negative_;
  switch (Style()) {
    case CoordinateStyle::kTraditional:
      parts.degrees = static_cast<double>(degree_ticks_);
      parts.minutes = static_cast<double>(minute_ticks_);
      parts.seconds = (flags_ & kCoordinateDecimalSeconds)
                          ? static_cast<double>(second_ticks_) / 1000.0
                          : static_cast<double>(second_ticks_);
      break;
    case CoordinateStyle::kDecimalMinutes:
      parts.degrees = static_cast<double>(degree_ticks_);
      parts.minutes = static_cast<double>(minute_ticks_) / 10000.0;
      break;
    case CoordinateStyle::kDecimalDegrees:
      parts.degrees = static_cast<double>(degree_ticks_) / 1e8;
      break;
  }
  return parts;
}

bool CoordinateEdit::SetValue(const CoordinateParts& parts) {
  const double values[] = {parts.degrees, parts.minutes, parts.seconds};
  for (double value : values) {
    if (!std::isfinite(value) || value < 0.0) return false;
  }
  if (parts.minutes >= 60.0 || parts.seconds >= 60.0) return false;
  const double per_degree = static_cast<double>(TicksPerDegree());
  const double total = parts.degrees * per_degree + parts.minutes * (per_degree / 60.0) +
                       parts.seconds * (per_degree / 3600.0);
  const double limit = static_cast<double>(MaxDegrees()) * per_degree;
  // A value past the pole or the date line is refused even when it would round onto it.
  if (!(total <= limit * (1.0 + 1e-12))) return false;
  const std::int64_t ticks = std::llround(total);
  if (ticks > MaxDegrees() * TicksPerDegree()) return false;
  SetTotalTicks(ticks);
  negative_ = parts.negative && ticks > 0;
  return true;
}

double CoordinateEdit::Degrees() const {
  return Value().ToDegrees();
}

bool CoordinateEdit::SetDegrees(double signed_degrees) {
  return SetValue(CoordinateParts::FromDegrees(signed_degrees));
}

std::string CoordinateEdit::DisplayText() const {
  std::string text;
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const char letter = fields_[i].letter;
    if (letter == 'h' && i > 0) text += ' ';
    text += FieldText(i);
    switch (letter) {
      case 'h':
        if (i + 1 < fields_.size()) text += ' ';
        break;
      case 'd':
        text += kDegreeSign;
        break;
      case 'm':
        text += '\'';
        break;
      case 's':
        text += '"';
        break;
    }
  }
  return text;
}

namespace {

void AppendCopyPart(std::string& out, double value, CoordinateAxis axis) {
  const double limit = MaxDegreesOf(axis);
  if (!std::isfinite(value) || std::fabs(value) > limit) {
    out += "UNKNOWN";
    out += kDegreeSign;
    return;
  }
  // Rounded as a whole first, so 59.99999 minutes carry into the degrees.
  const std::int64_t ticks = std::llround(std::fabs(value) * 600000.0);
  out += HemisphereLetter(axis, value < 0.0 && ticks > 0);
  AppendInteger(out, ticks / 600000, axis == CoordinateAxis::kLatitude ? 2 : 3, true);
  out += kDegreeSign;
  AppendTicks(out, ticks % 600000, 4, 7, true);
  out += '\'';
}

// One unsigned decimal number "ddd[.fff]" at the front of text.
struct NumberToken {
  double value = 0.0;
  bool has_fraction = false;
};

std::optional<NumberToken> TakeNumber(std::string_view& text) {
  std::size_t length = 0;
  bool point = false;
  int digits = 0;
  while (length < text.size()) {
    const char c = text[length];
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
    ++length;
  }
  if (digits == 0 || digits > 20) return std::nullopt;
  NumberToken token;
  token.has_fraction = point;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + length, token.value, std::chars_format::fixed);
  if (error != std::errc() || end != text.data() + length) return std::nullopt;
  text.remove_prefix(length);
  return token;
}

void SkipBlanks(std::string_view& text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
}

// Marks after degrees, minutes and seconds, each with its common look-alikes.
constexpr std::string_view kPartMarks[3][3] = {
    {"\xC2\xB0", "\xC2\xBA", ""},   // degree sign, masculine ordinal
    {"'", "\xE2\x80\xB2", ""},      // apostrophe, prime
    {"\"", "''", "\xE2\x80\xB3"}};  // quote, two apostrophes, double prime

bool TakeMark(std::string_view& text, int part) {
  for (std::string_view mark : kPartMarks[part]) {
    if (!mark.empty() && text.starts_with(mark)) {
      text.remove_prefix(mark.size());
      return true;
    }
  }
  return false;
}

int TakeHemisphere(std::string_view& text, CoordinateAxis axis) {
  if (text.empty()) return 0;
  const int sign = HemisphereSign(text.front(), axis);
  if (sign != 0) text.remove_prefix(1);
  return sign;
}

}  // namespace

std::string EntirePositionText(double latitude, double longitude) {
  std::string text;
  AppendCopyPart(text, latitude, CoordinateAxis::kLatitude);
  text += ',';
  AppendCopyPart(text, longitude, CoordinateAxis::kLongitude);
  text += ';';
  return text;
}

std::string EntirePositionText(const CoordinateEdit& latitude, const CoordinateEdit& longitude) {
  return latitude.DisplayText() + "," + longitude.DisplayText() + ";";
}

std::optional<double> ParseCoordinateText(std::string_view text, CoordinateAxis axis) {
  SkipBlanks(text);
  int sign = TakeHemisphere(text, axis);
  SkipBlanks(text);

  NumberToken numbers[3];
  int count = 0;
  while (count < 3) {
    if (text.empty() || !(text.front() >= '0' && text.front() <= '9')) break;
    const auto number = TakeNumber(text);
    if (!number) return std::nullopt;
    numbers[count] = *number;
    SkipBlanks(text);
    // Minutes and seconds must carry their mark; the degree sign may be left out.
    const bool marked = TakeMark(text, count);
    if (!marked && count > 0) return std::nullopt;
    ++count;
    SkipBlanks(text);
  }
  if (count == 0) return std::nullopt;
  if (sign == 0) {
    sign = TakeHemisphere(text, axis);
    SkipBlanks(text);
    if (sign == 0) sign = 1;
  }
  if (!text.empty()) return std::nullopt;

  for (int i = 0; i + 1 < count; ++i) {
    if (numbers[i].has_fraction) return std::nullopt;
  }
  if (count > 1 && numbers[1].value >= 60.0) return std::nullopt;
  if (count > 2 && numbers[2].value >= 60.0) return std::nullopt;
  const double magnitude = numbers[0].value + numbers[1].value / 60.0 + numbers[2].value / 3600.0;
  if (magnitude > MaxDegreesOf(axis)) return std::nullopt;
  return sign < 0 ? -magnitude : magnitude;
}

std::optional<PastedPosition> ParseEntirePosition(std::string_view text) {
  text = Trimmed(text);
  if (text.ends_with(';')) text.remove_suffix(1);
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos || text.find(',', comma + 1) != std::string_view::npos) {
    return std::nullopt;
  }
  const auto latitude = ParseCoordinateText(text.substr(0, comma), CoordinateAxis::kLatitude);
  const auto longitude = ParseCoordinateText(text.substr(comma + 1), CoordinateAxis::kLongitude);
  if (!latitude || !longitude) return std::nullopt;
  return PastedPosition{*latitude, *longitude};
}

}  // namespace orv
