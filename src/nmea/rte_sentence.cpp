#include "nmea/rte_sentence.h"

#include <utility>

#include "nmea/nmea_sentence.h"

namespace orv {
namespace {

RouteType ReadRouteType(std::string_view field) {
  if (field == "c" || field == "C") return RouteType::kComplete;
  if (field == "w" || field == "W") return RouteType::kWorking;
  return RouteType::kNone;
}

int NameCost(const std::string& name) {
  return static_cast<int>(name.size()) + 1;
}

}  // namespace

std::string_view RouteTypeLetter(RouteType type) {
  switch (type) {
    case RouteType::kComplete:
      return "C";
    case RouteType::kWorking:
      return "W";
    case RouteType::kNone:
      break;
  }
  return "";
}

void RteSentence::Empty(int valueSet) {
  if (valueSet == 2) {
    writing_ = RouteRecord();
    hasRouteToWrite_ = false;
    writeTotal_ = 0;
    writeNumber_ = 0;
    nextName_ = 0;
    writeDone_ = false;
    return;
  }
  reading_ = RouteRecord();
  readTotal_ = 0;
}

bool RteSentence::Parse(const NmeaSentence& sentence) {
  const int fieldCount = sentence.GetDataFieldCount();
  if (fieldCount < kMinDataFieldCount) return false;
  if (sentence.IsChecksumBad() != NmeaBoolean::kFalse) return false;

  const int32_t total = sentence.GetInteger(1);
  const int32_t number = sentence.GetInteger(2);
  if (number < 1 || number > total) return false;
  const std::string_view name = sentence.FieldView(4);
  // A later sentence must continue the route that sentence 1 started.
  if (number > 1 && (total != readTotal_ || name != reading_.name)) return false;

  if (number == 1) {
    readTotal_ = total;
    reading_.name.assign(name);
    reading_.waypointNames.clear();
  }
  reading_.type = ReadRouteType(sentence.FieldView(3));
  for (int field = 5; field <= fieldCount; ++field) {
    reading_.waypointNames.emplace_back(sentence.FieldView(field));
  }

  if (number == total) {
    RouteRecord finished = std::move(reading_);
    Empty(1);
    if (sink_ != nullptr) sink_->TakeRoute(std::move(finished));
  }
  return true;
}

void RteSentence::SetRouteToWrite(RouteRecord route) {
  Empty(2);
  writing_ = std::move(route);
  hasRouteToWrite_ = true;
  writeTotal_ = SentenceCount(writing_);
}

int RteSentence::NameBudget(std::string_view routeName) {
  return kSentenceBudget - (static_cast<int>(routeName.size()) + 1);
}

int RteSentence::SentenceCount(const RouteRecord& route) {
  const int budget = NameBudget(route.name);
  if (budget < 1 || route.waypointNames.empty()) return 0;
  int count = 0;
  int sum = 0;
  for (const std::string& name : route.waypointNames) {
    const int cost = NameCost(name);
    sum += cost;
    // Counting must agree with Write, which closes a sentence only when it
    // already holds a name: a name too long for any sentence after one that
    // was filled exactly gets a sentence of its own, not an empty one.
    if (sum > budget && sum != cost) {
      ++count;
      sum = cost;
    } else if (sum == budget) {
      ++count;
      sum = 0;
    }
  }
  if (sum > 0) ++count;
  return count;
}

bool RteSentence::Write(NmeaSentence& sentence) {
  if (writeDone_) {
    // Rewind so that the next request writes the route again from the start.
    writeDone_ = false;
    writeNumber_ = 0;
    nextName_ = 0;
    return false;
  }
  if (!hasRouteToWrite_) return false;

  ++writeNumber_;
  BeginSentence(sentence);
  sentence.Append(static_cast<int32_t>(writeTotal_ == 0 ? 1 : writeTotal_));
  sentence.Append(static_cast<int32_t>(writeNumber_));
  sentence.Append(RouteTypeLetter(writing_.type));
  sentence.Append(writing_.name);

  if (writeTotal_ > 0) {
    const int budget = NameBudget(writing_.name);
    const std::vector<std::string>& names = writing_.waypointNames;
    int sum = 0;
    bool holdsName = false;
    while (nextName_ < names.size()) {
      const std::string& name = names[nextName_];
      sum += NameCost(name);
      // A name that alone exceeds the budget still goes out, on its own, so
      // every name is written once and the route always ends.
      if (sum > budget && holdsName) break;
      sentence.Append(name);
      holdsName = true;
      ++nextName_;
    }
  }
  if (writeTotal_ == 0 || nextName_ == writing_.waypointNames.size()) writeDone_ = true;
  sentence.Finish();
  return true;
}

bool RteSentence::CopyFrom(const NmeaResponse& other) {
  const auto* rte = dynamic_cast<const RteSentence*>(&other);
  if (rte == nullptr || !NmeaResponse::CopyFrom(other)) return false;
  reading_ = rte->reading_;
  readTotal_ = rte->readTotal_;
  writing_ = rte->writing_;
  hasRouteToWrite_ = rte->hasRouteToWrite_;
  writeTotal_ = rte->writeTotal_;
  writeNumber_ = rte->writeNumber_;
  nextName_ = rte->nextName_;
  writeDone_ = rte->writeDone_;
  return true;
}

}  // namespace orv
