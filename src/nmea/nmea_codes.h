#pragma once

#include <cstdint>

// Letter-coded field values of NMEA-0183. Zero is always "not given": a field
// that holds anything but one of the listed letters reads as zero, and zero
// writes an empty field.
namespace orv {

enum class NmeaBoolean : int32_t { kUnset = 0, kTrue = 1, kFalse = 2 };

enum class NorthSouth : int32_t { kUnset = 0, kNorth = 1, kSouth = 2 };

enum class EastWest : int32_t { kUnset = 0, kEast = 1, kWest = 2 };

enum class LeftRight : int32_t { kUnset = 0, kLeft = 1, kRight = 2 };

enum class Reference : int32_t {
  kUnset = 0,
  kBottomTrack = 1,       // B
  kManuallyEntered = 2,   // M
  kWaterReferenced = 3,   // W
  kRadarTracking = 4,     // R
  kPositioningSystem = 5  // P
};

// The code is the letter's character value.
enum class TransducerType : int32_t {
  kUnset = 0,
  kAngularDisplacement = 'A',
  kTemperature = 'C',
  kDepth = 'D',
  kFrequency = 'F',
  kHumidity = 'H',
  kForce = 'N',
  kPressure = 'P',
  kFlowRate = 'R',
  kTachometer = 'T',
  kVolume = 'V'
};

// The code is the character value.
enum class CommunicationsMode : int32_t {
  kUnset = 0,
  kSimplexTelephone = 'd',
  kDuplexTelephone = 'e',
  kSingleSidebandTelephone = 'm',
  kAmTelephone = 'o',
  kTeletypeForwardErrorCorrection = 'q',
  kTeletypeAutomaticRepeat = 's',
  kTeletypeReceiveOnly = 'w',
  kMorseTapeRecorder = 'x',
  kMorseKey = '{',
  kFacsimile = '|'
};

// Mode indicator of NMEA 2.3 and later; the code is the character value.
enum class ModeIndicator : int32_t {
  kUnset = 0,
  kAutonomous = 'A',
  kDifferential = 'D',
  kEstimated = 'E',
  kManual = 'M',
  kSimulated = 'S',
  kNotValid = 'N',
  kDataNotValid = 'V'
};

// Navigational status of the NMEA 4.1 RMC; the code is the character value.
enum class NavigationalStatus : int32_t {
  kUnset = 0,
  kSafe = 'S',
  kCaution = 'C',
  kUnsafe = 'U',
  kNotValid = 'V'
};

}  // namespace orv
