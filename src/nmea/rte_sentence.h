#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "nmea/nmea_response.h"

namespace orv {

enum class RouteType : int32_t { kNone = 0, kComplete = 1, kWorking = 2 };

// The letter an RTE sentence writes for the type: "C", "W", or nothing.
std::string_view RouteTypeLetter(RouteType type);

// A route as RTE sentences carry it: type, name and waypoint names in order.
struct RouteRecord {
  RouteType type = RouteType::kNone;
  std::string name;
  std::vector<std::string> waypointNames;

  friend bool operator==(const RouteRecord&, const RouteRecord&) = default;
};

// Receives each route whose last RTE sentence has arrived.
class RouteSink {
 public:
  virtual ~RouteSink() = default;
  virtual void TakeRoute(RouteRecord route) = 0;
};

// Route, spread over as many sentences as its waypoint names need:
//   $GPRTE,2,1,C,R1,WP001,WP002,WP003*hh
//          1 2 3 4  5...
// 1 total sentences of the route, 2 number of this sentence, 3 "C" complete
// or "W" working, 4 route name, 5 onward waypoint names. Reading collects the
// sentences of one route and hands the finished route to the sink; writing
// produces one sentence per call until the route is done.
class RteSentence : public NmeaResponse {
 public:
  static constexpr int kMinDataFieldCount = 4;
  // Characters for route name plus waypoint names (each with its comma) per
  // sentence, keeping a sentence well inside the 82-byte line.
  static constexpr int kSentenceBudget = 42;

  RteSentence() : NmeaResponse("RTE") {}

  // Not owned; may be null, then finished routes are dropped.
  void SetRouteSink(RouteSink* sink) { sink_ = sink; }

  // 1: the route being read; 2: the route being written.
  void Empty(int valueSet) override;
  bool Parse(const NmeaSentence& sentence) override;
  // Produces the next sentence of the route set by SetRouteToWrite. After the
  // last one the next call produces nothing and returns false; the call after
  // that starts the route again from its first sentence.
  bool Write(NmeaSentence& sentence) override;
  bool CopyFrom(const NmeaResponse& other) override;

  void SetRouteToWrite(RouteRecord route);

  // Room for waypoint names beside the route name: 42 - (name length + 1).
  static int NameBudget(std::string_view routeName);
  // Sentences a route is written in; 0 when it has no names or the budget is
  // below 1 (such a route is still written as one sentence without names).
  static int SentenceCount(const RouteRecord& route);

  // The route being read, for inspection.
  int ReadingTotal() const { return readTotal_; }
  const RouteRecord& RouteBeingRead() const { return reading_; }

 private:
  RouteSink* sink_ = nullptr;

  RouteRecord reading_;
  int32_t readTotal_ = 0;  // 0: no route in progress

  RouteRecord writing_;
  bool hasRouteToWrite_ = false;
  int writeTotal_ = 0;
  int writeNumber_ = 0;
  size_t nextName_ = 0;
  bool writeDone_ = false;
};

}  // namespace orv
