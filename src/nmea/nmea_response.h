#pragma once

#include <string>
#include <string_view>

namespace orv {

class NmeaParser;
class NmeaSentence;
class TrackPoint;

// Base of every typed sentence. A type overrides the parse/write pair it
// supports: the GPS sentences work on a TrackPoint, the navigation sentences
// keep their values in the object for the database to take. The base
// versions refuse (return false) and do nothing.
class NmeaResponse {
 public:
  explicit NmeaResponse(std::string_view mnemonic, std::string_view talker = "GP")
      : talker_(talker), mnemonic_(mnemonic) {}
  NmeaResponse(const NmeaResponse&) = default;
  NmeaResponse& operator=(const NmeaResponse&) = default;
  virtual ~NmeaResponse() = default;

  // Resets one value set (1: parsed values, 2: values for writing).
  virtual void Empty(int valueSet);
  virtual bool Parse(const NmeaSentence& sentence);
  virtual bool ParseToPoint(const NmeaSentence& sentence, TrackPoint& point);
  virtual bool Write(NmeaSentence& sentence);
  virtual bool WriteFromPoint(NmeaSentence& sentence, const TrackPoint& point);
  // UTF-8 text describing the last parsed values; empty for most types.
  virtual std::string PlainEnglish() const;
  virtual void SetOwner(NmeaParser* owner) { owner_ = owner; }
  // Copies the values of another object of the same type; false for another type.
  virtual bool CopyFrom(const NmeaResponse& other);

  const std::string& Talker() const { return talker_; }
  void SetTalker(std::string_view talker) { talker_.assign(talker); }
  const std::string& Mnemonic() const { return mnemonic_; }
  NmeaParser* Owner() const { return owner_; }

 protected:
  // Starts a generated sentence: "$" talker mnemonic.
  void BeginSentence(NmeaSentence& sentence) const;
  // The acceptance rule of every typed sentence: a data-field count within
  // [minFields, maxFields] and checksum digits that match.
  static bool HasFieldsAndChecksum(const NmeaSentence& sentence, int minFields, int maxFields);

 private:
  std::string talker_;
  std::string mnemonic_;
  NmeaParser* owner_ = nullptr;
};

}  // namespace orv
