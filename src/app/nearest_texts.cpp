#include "app/nearest_texts.h"

namespace orv {

std::string NearestDistanceText(double nautical_miles, DistanceUnits units) {
  return FixedText(DistanceInUnits(nautical_miles, units), 3);
}

std::vector<NearestRowText> MakeNearestRowTexts(std::span<const NearestRow> rows,
                                                std::span<const std::string> names,
                                                DistanceUnits units) {
  std::vector<NearestRowText> texts;
  texts.reserve(rows.size());
  for (const NearestRow& row : rows) {
    NearestRowText text;
    if (row.index < names.size()) text.name = names[row.index];
    text.distance = NearestDistanceText(row.distance_nm, units);
    text.bearing = NearestBearingText(row);
    text.ahead = row.mark == BearingMark::kAhead;
    text.behind = row.mark == BearingMark::kBehind;
    texts.push_back(std::move(text));
  }
  return texts;
}

}  // namespace orv
