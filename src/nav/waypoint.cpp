#include "nav/waypoint.h"

namespace orv {

Waypoint::Waypoint(std::string_view name, const LatLong& position, std::string_view description)
    : name_(name), position_(position), description_(FitDescription(description)) {}

void Waypoint::SetPosition(const LatLong& position) {
  position_ = position;
  stateBits_ = 0;
}

std::string Waypoint::FitDescription(std::string_view text) {
  std::string fitted;
  if (text.size() > kDescriptionLimit) {
    fitted.assign(text.substr(0, kDescriptionCut));
    fitted.append("...");
  } else {
    fitted.assign(text);
  }
  for (char& c : fitted) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == ',' || c == '*') {
      c = ';';
    } else if (byte < 0x20 || byte == 0x7F) {
      c = ' ';
    }
  }
  return fitted;
}

}  // namespace orv
