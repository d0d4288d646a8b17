#include "nmea/nmea_sentence.h"

#include <array>
#include <cstring>

#include "nmea/lat_long.h"
#include "nmea/number_text.h"

namespace orv {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr char kTransducerLetters[] = "ACDFHNPRTV";
constexpr char kCommunicationsLetters[] = "demoqswx{|";
constexpr char kModeLetters[] = "ADEMSNV";

bool EndsField(char c) {
  return c == ',' || c == '*' || c == '\0';
}

// Value of a two-character slice read as decimal, atoi-style.
int TwoDigitValue(std::string_view text, size_t offset) {
  return ParseInteger(text.substr(offset, 2));
}

// What a byte means to the one-pass index.
enum ByteClass : uint8_t { kPlain, kComma, kStar, kLineEnd, kNul };

constexpr std::array<uint8_t, 256> MakeByteClasses() {
  std::array<uint8_t, 256> classes{};
  classes[static_cast<uint8_t>(',')] = kComma;
  classes[static_cast<uint8_t>('*')] = kStar;
  classes[static_cast<uint8_t>('\r')] = kLineEnd;
  classes[static_cast<uint8_t>('\n')] = kLineEnd;
  classes[0] = kNul;
  return classes;
}

constexpr std::array<uint8_t, 256> kByteClasses = MakeByteClasses();

}  // namespace

void NmeaSentence::BuildIndex() {
  indexed_ = false;
  const size_t size = text_.size();
  if (size < 2 || size > UINT16_MAX) return;
  const auto* data = reinterpret_cast<const uint8_t*>(text_.data());
  int separators = 0;
  int commas = 0;
  int checksumField = -1;
  // All ones while the checksum still takes bytes, zero after the first *, CR or LF.
  uint8_t sumMask = 0xff;
  uint8_t checksum = 0;
  for (size_t i = 1; i < size; ++i) {
    const uint8_t c = data[i];
    switch (kByteClasses[c]) {
      case kPlain:
        checksum ^= c & sumMask;
        continue;
      case kComma:
        checksum ^= c & sumMask;
        if (checksumField < 0) ++commas;
        break;
      case kStar:
        sumMask = 0;
        if (checksumField < 0) checksumField = commas + 1;
        break;
      case kLineEnd:
        sumMask = 0;
        continue;
      default:
        return;  // NUL: leave it to the scanning readers
    }
    if (separators == kIndexedSeparators) return;
    separators_[separators++] = static_cast<uint16_t>(i);
  }
  separatorCount_ = static_cast<int16_t>(separators);
  dataFieldCount_ = static_cast<int16_t>(commas);
  checksumFieldNumber_ = static_cast<int16_t>(checksumField);
  checksum_ = checksum;
  indexed_ = true;
}

std::string_view NmeaSentence::FieldView(int field) const {
  if (!indexed_) return ScanField(field);
  if (field < 0 || field > separatorCount_) return {};
  const size_t start = field == 0 ? 1 : size_t{separators_[field - 1]} + 1;
  const size_t end = field < separatorCount_ ? separators_[field] : text_.size();
  return std::string_view(text_.data() + start, end - start);
}

std::string_view NmeaSentence::ScanField(int field) const {
  const size_t size = text_.size();
  if (field < 0 || size < 2) return {};
  const char* data = text_.data();
  size_t i = 1;
  if (field > 0) {
    int separators = 0;
    for (; i < size; ++i) {
      const char c = data[i];
      if ((c == ',' || c == '*') && ++separators == field) break;
    }
    if (i == size) return {};
    ++i;
  }
  const size_t start = i;
  while (i < size && !EndsField(data[i])) ++i;
  return std::string_view(data + start, i - start);
}

std::string NmeaSentence::GetField(int field) const {
  return std::string(FieldView(field));
}

char NmeaSentence::SingleLetter(int field) const {
  std::string_view text = FieldView(field);
  return text.size() == 1 ? text[0] : '\0';
}

NmeaBoolean NmeaSentence::GetBoolean(int field) const {
  switch (SingleLetter(field)) {
    case 'A':
      return NmeaBoolean::kTrue;
    case 'V':
      return NmeaBoolean::kFalse;
    default:
      return NmeaBoolean::kUnset;
  }
}

NorthSouth NmeaSentence::GetNorthSouth(int field) const {
  switch (SingleLetter(field)) {
    case 'N':
      return NorthSouth::kNorth;
    case 'S':
      return NorthSouth::kSouth;
    default:
      return NorthSouth::kUnset;
  }
}

EastWest NmeaSentence::GetEastWest(int field) const {
  switch (SingleLetter(field)) {
    case 'E':
      return EastWest::kEast;
    case 'W':
      return EastWest::kWest;
    default:
      return EastWest::kUnset;
  }
}

LeftRight NmeaSentence::GetLeftRight(int field) const {
  switch (SingleLetter(field)) {
    case 'L':
      return LeftRight::kLeft;
    case 'R':
      return LeftRight::kRight;
    default:
      return LeftRight::kUnset;
  }
}

Reference NmeaSentence::GetReference(int field) const {
  switch (SingleLetter(field)) {
    case 'B':
      return Reference::kBottomTrack;
    case 'M':
      return Reference::kManuallyEntered;
    case 'W':
      return Reference::kWaterReferenced;
    case 'R':
      return Reference::kRadarTracking;
    case 'P':
      return Reference::kPositioningSystem;
    default:
      return Reference::kUnset;
  }
}

TransducerType NmeaSentence::ReadTransducerType(int field) const {
  const char letter = SingleLetter(field);
  return letter != '\0' && std::strchr(kTransducerLetters, letter) != nullptr
             ? static_cast<TransducerType>(letter)
             : TransducerType::kUnset;
}

CommunicationsMode NmeaSentence::GetCommunicationsMode(int field) const {
  const char letter = SingleLetter(field);
  return letter != '\0' && std::strchr(kCommunicationsLetters, letter) != nullptr
             ? static_cast<CommunicationsMode>(letter)
             : CommunicationsMode::kUnset;
}

ModeIndicator NmeaSentence::GetModeIndicator(int field) const {
  const char letter = SingleLetter(field);
  return letter != '\0' && std::strchr(kModeLetters, letter) != nullptr
             ? static_cast<ModeIndicator>(letter)
             : ModeIndicator::kUnset;
}

double NmeaSentence::GetDouble(int field) const {
  return ParseDouble(FieldView(field));
}

int32_t NmeaSentence::GetInteger(int field) const {
  return ParseInteger(FieldView(field));
}

bool NmeaSentence::GetTime(int timeField, int dateField, FixTime& outTime,
                           std::string& outText) const {
  const std::string_view timeText = FieldView(timeField);
  outText.assign(timeText);
  if (timeText.size() < 6) return false;
  int hour = TwoDigitValue(timeText, 0);
  int minute = TwoDigitValue(timeText, 2);
  int second = TwoDigitValue(timeText, 4);
  int year = FixTime::kSentinelYear;
  int month = 1;
  int day = 1;
  if (dateField != 0) {
    const std::string_view date = FieldView(dateField);
    if (date.size() == 6) {
      day = TwoDigitValue(date, 0);
      month = TwoDigitValue(date, 2);
      year = 2000 + TwoDigitValue(date, 4);
    }
  }
  if (month < 1 || month > 12) month = 1;
  if (day < 1 || day > 31) day = 1;
  if (hour < 0 || hour > 23) hour = 0;
  if (minute < 0 || minute > 59) minute = 0;
  if (second < 0 || second > 59) second = 0;
  outTime = FixTime::FromFields(year, month, day, hour, minute, second);
  return true;
}

int NmeaSentence::GetDataFieldCount() const {
  return indexed_ ? dataFieldCount_ : ScanDataFieldCount();
}

int NmeaSentence::ScanDataFieldCount() const {
  const size_t size = text_.size();
  if (size < 2) return 0;
  int commas = 0;
  for (size_t i = 1; i < size && text_[i] != '*'; ++i) commas += text_[i] == ',';
  return commas;
}

int NmeaSentence::GetChecksumFieldNumber() const {
  return indexed_ ? checksumFieldNumber_ : ScanChecksumFieldNumber();
}

int NmeaSentence::ScanChecksumFieldNumber() const {
  const size_t size = text_.size();
  if (size < 2) return -1;
  int commas = 0;
  for (size_t i = 1; i < size; ++i) {
    if (text_[i] == '*') return commas + 1;
    commas += text_[i] == ',';
  }
  return -1;
}

uint8_t NmeaSentence::ComputeChecksum() const {
  return indexed_ ? checksum_ : ScanChecksum();
}

uint8_t NmeaSentence::ScanChecksum() const {
  const size_t size = text_.size();
  uint8_t checksum = 0;
  for (size_t i = 1; i < size; ++i) {
    const char c = text_[i];
    if (c == '*' || c == '\r' || c == '\n') break;
    checksum ^= static_cast<uint8_t>(c);
  }
  return checksum;
}

NmeaBoolean NmeaSentence::IsChecksumBad() const {
  const int checksumField = GetChecksumFieldNumber();
  if (checksumField == -1) return NmeaBoolean::kUnset;
  const std::string_view digits = FieldView(checksumField);
  if (digits.empty()) return NmeaBoolean::kUnset;
  return ParseHexUnsigned(digits) == ComputeChecksum() ? NmeaBoolean::kFalse : NmeaBoolean::kTrue;
}

void NmeaSentence::Finish() {
  const uint8_t checksum = ComputeChecksum();
  indexed_ = false;
  const char tail[] = {'*', kHexDigits[checksum >> 4], kHexDigits[checksum & 0xF], '\r', '\n'};
  text_.append(tail, sizeof tail);
}

void NmeaSentence::AppendLetter(int32_t code, const char* letters) {
  StartField();
  if (code > 0 && code < 128 && std::strchr(letters, code) != nullptr) {
    text_.push_back(static_cast<char>(code));
  }
}

void NmeaSentence::Append(ModeIndicator value) {
  AppendLetter(static_cast<int32_t>(value), kModeLetters);
}

void NmeaSentence::Append(TransducerType value) {
  AppendLetter(static_cast<int32_t>(value), kTransducerLetters);
}

void NmeaSentence::Append(CommunicationsMode value) {
  AppendLetter(static_cast<int32_t>(value), kCommunicationsLetters);
}

void NmeaSentence::Append(NorthSouth value) {
  StartField();
  if (value == NorthSouth::kNorth) text_.push_back('N');
  if (value == NorthSouth::kSouth) text_.push_back('S');
}

void NmeaSentence::Append(EastWest value) {
  StartField();
  if (value == EastWest::kEast) text_.push_back('E');
  if (value == EastWest::kWest) text_.push_back('W');
}

void NmeaSentence::Append(NmeaBoolean value) {
  StartField();
  if (value == NmeaBoolean::kTrue) text_.push_back('A');
  if (value == NmeaBoolean::kFalse) text_.push_back('V');
}

void NmeaSentence::Append(const FixTime& value) {
  StartField();
  value.AppendFormatted(text_, "%H%M%S");
}

void NmeaSentence::Append(const LatLong& value) {
  value.AppendTo(text_);
}

void NmeaSentence::Append(int32_t value) {
  StartField();
  if (value != 0) AppendInteger(text_, value);
}

void NmeaSentence::Append(uint32_t value) {
  StartField();
  if (value != 0) AppendInteger(text_, value);
}

void NmeaSentence::Append(double value) {
  StartField();
  if (value != 0.0) AppendFixed(text_, value, 1);
}

void NmeaSentence::Append(std::string_view text) {
  StartField();
  text_.append(text);
}

}  // namespace orv
