#include "app/speed_class.h"

#include <cmath>

namespace orv {
namespace {

constexpr std::array<SpeedClass, kSpeedClassCount> kSpeedClasses = {{
    {"0-5_kmh", 3, 0x8c0000},
    {"6-10_kmh", 5, 0xb43c00},
    {"11-20_kmh", 11, 0xdc7800},
    {"21-30_kmh", 16, 0xb4b400},
    {"31-40_kmh", 22, 0x8cc800},
    {"41-50_kmh", 27, 0x78dc00},
    {"51-60_kmh", 32, 0x46dc00},
    {"61-70_kmh", 38, 0x28d200},
    {"71-80_kmh", 43, 0x00d250},
    {"81-90_kmh", 49, 0x00d282},
    {"91-100_kmh", 54, 0x00bea0},
    {"101-110_kmh", 59, 0x00b4be},
    {"111-120_kmh", 65, 0x006ed2},
    {"121-130_kmh", 70, 0x003cd2},
    {"131-140_kmh", 76, 0x0014be},
    {"141-150_kmh", 81, 0x000ab4},
    {"151-160_kmh", 86, 0x0000aa},
    {"161-170_kmh", 92, 0x0000a0},
    {"171-180_kmh", 97, 0x000096},
    {"181-190_kmh", 103, 0x00008c},
    {"191-200_kmh", 108, 0x000082},
    {"201-300_kmh", 162, 0x000078},
    {"301-400_kmh", 216, 0x00006e},
    {"401-500_kmh", 270, 0x000064},
    {"501-600_kmh", 324, 0x00005a},
    {"601-700_kmh", 378, 0x000050},
    {"701-800_kmh", 432, 0x000046},
    {"801-900_kmh", 486, 0x00003c},
    {"901-1000_kmh_and_more", 534, 0x000032},
}};

constexpr size_t kLastRow = kSpeedClassCount - 1;

void AppendHexByte(std::string& text, uint32_t byte) {
  constexpr char kDigits[] = "0123456789abcdef";
  text += kDigits[(byte >> 4) & 0xf];
  text += kDigits[byte & 0xf];
}

}  // namespace

const std::array<SpeedClass, kSpeedClassCount>& SpeedClasses() {
  return kSpeedClasses;
}

std::string KmlColorText(const SpeedClass& speed_class) {
  std::string text = "ff";
  AppendHexByte(text, speed_class.rgb >> 16);
  AppendHexByte(text, speed_class.rgb >> 8);
  AppendHexByte(text, speed_class.rgb);
  return text;
}

size_t SpeedClassForMap(double speed_knots) {
  for (size_t row = 0; row < kSpeedClassCount; ++row) {
    if (kSpeedClasses[row].upper_bound_knots > speed_knots) return row;
  }
  return kLastRow;
}

std::optional<size_t> SpeedClassForKml(double speed_knots) {
  if (std::isnan(speed_knots)) return std::nullopt;
  for (size_t row = 0; row < kSpeedClassCount; ++row) {
    if (speed_knots <= kSpeedClasses[row].upper_bound_knots) return row;
  }
  return kLastRow;
}

}  // namespace orv
