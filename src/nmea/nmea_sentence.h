#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "nmea/fix_time.h"
#include "nmea/nmea_codes.h"

namespace orv {

class LatLong;

// One NMEA-0183 sentence: "$" address "," field "," ... "*" hex hex CR LF.
// Field 0 is the address (e.g. GPGGA) starting after "$"; "," and "*" both end
// a field, so the checksum digits after "*" are one more field. Readers never
// fail: a field past the end reads as empty, 0, 0.0 or code 0.
class NmeaSentence {
 public:
  NmeaSentence() = default;
  explicit NmeaSentence(std::string_view text) : text_(text) { BuildIndex(); }
  NmeaSentence(const NmeaSentence&) = default;
  NmeaSentence& operator=(const NmeaSentence&) = default;
  virtual ~NmeaSentence() = default;

  // Letter readers (whole field, case-sensitive).
  virtual NmeaBoolean GetBoolean(int field) const;
  virtual uint8_t ComputeChecksum() const;
  virtual CommunicationsMode GetCommunicationsMode(int field) const;
  // C atof of the field in the "C" locale; empty gives 0.0.
  virtual double GetDouble(int field) const;
  virtual EastWest GetEastWest(int field) const;
  virtual std::string GetField(int field) const;
  // Appends "*hh" CR LF with the checksum of what is there so far.
  virtual void Finish();
  // Commas before the first "*" (or the end).
  virtual int GetDataFieldCount() const;
  // C atoi of the field; empty gives 0.
  virtual int32_t GetInteger(int field) const;
  // kUnset without checksum digits, kTrue when they disagree, kFalse when they match.
  virtual NmeaBoolean IsChecksumBad() const;
  virtual LeftRight GetLeftRight(int field) const;
  virtual NorthSouth GetNorthSouth(int field) const;
  virtual Reference GetReference(int field) const;
  // Reads hhmmss of timeField and ddmmyy of dateField (0: no date, the time
  // gets the sentinel date 1999-01-01). outText receives the time field's text;
  // when it is shorter than 6 characters nothing else is set and false is returned.
  virtual bool GetTime(int timeField, int dateField, FixTime& outTime, std::string& outText) const;
  virtual TransducerType ReadTransducerType(int field) const;
  virtual ModeIndicator GetModeIndicator(int field) const;
  // Number of the field after "*"; -1 when there is no "*".
  virtual int GetChecksumFieldNumber() const;

  // Replaces the text, keeping the allocated capacity.
  void Assign(std::string_view text) {
    text_.assign(text);
    BuildIndex();
  }
  void Assign(const NmeaSentence& other) { Assign(other.View()); }
  void Clear() {
    text_.clear();
    indexed_ = false;
  }

  const std::string& Text() const { return text_; }
  std::string_view View() const { return text_; }
  size_t Size() const { return text_.size(); }

  // The text of a field without copying; valid until the text changes.
  std::string_view FieldView(int field) const;

  // Each Append adds "," and the value's text (possibly empty).
  void Append(ModeIndicator value);
  void Append(TransducerType value);
  // "%H%M%S" of the time.
  void Append(const FixTime& value);
  void Append(NorthSouth value);
  void Append(NmeaBoolean value);
  // Four fields: ddmm.mmmm, N/S, dddmm.mmmm, E/W.
  void Append(const LatLong& value);
  void Append(EastWest value);
  void Append(CommunicationsMode value);
  // "%d"; zero leaves the field empty.
  void Append(int32_t value);
  void Append(uint32_t value);
  // "%.1f"; exactly 0.0 leaves the field empty.
  void Append(double value);
  void Append(std::string_view text);
  void Append(const char* text) { Append(std::string_view(text)); }
  void Append(const std::string& text) { Append(std::string_view(text)); }

  // Appends raw text without a separator (used to start a sentence).
  void AppendRaw(std::string_view text) {
    text_.append(text);
    indexed_ = false;
  }

 private:
  static constexpr int kIndexedSeparators = 40;

  // Every reader rescans from the start of the text; for an assigned sentence
  // one pass records the separators, the counts and the checksum instead, so
  // a sentence is read in a single sweep. Texts with NUL bytes, more than
  // kIndexedSeparators separators or more than 65535 bytes are scanned.
  void BuildIndex();
  std::string_view ScanField(int field) const;
  int ScanDataFieldCount() const;
  int ScanChecksumFieldNumber() const;
  uint8_t ScanChecksum() const;

  // Every Append starts with this: a separator, and the index is stale.
  void StartField() {
    indexed_ = false;
    text_.push_back(',');
  }
  // Single-character field, or 0 when the field is not exactly one character.
  char SingleLetter(int field) const;
  void AppendLetter(int32_t code, const char* letters);

  std::string text_;
  bool indexed_ = false;
  uint8_t checksum_ = 0;
  int16_t separatorCount_ = 0;
  int16_t dataFieldCount_ = 0;
  int16_t checksumFieldNumber_ = -1;
  std::array<uint16_t, kIndexedSeparators> separators_{};
};

}  // namespace orv
