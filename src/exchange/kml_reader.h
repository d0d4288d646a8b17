#pragma once

#include <string>
#include <vector>

#include "exchange/kml_coordinates.h"
#include "nmea/lat_long.h"

namespace orv {

class XmlTree;

// A Point of a Placemark, with the name of that Placemark.
struct KmlPointCandidate {
  LatLong position;
  std::string name;  // UTF-8; empty when the Placemark had none before the Point
};

// What an import takes from a KML document.
struct KmlContent {
  std::vector<KmlPointCandidate> points;  // waypoint candidates, in document order
  std::vector<KmlCoordinate> linePoints;  // every LineString tuple, in document order
};

// Walks a parsed document: kml, then its Document and every Placemark in
// it (a Point after the Placemark's name, else the LineStrings of a
// MultiGeometry or GeometryCollection, else its own LineStrings). When the
// Document gave no Point, the Placemarks of its first Folder are read for
// Points; without a Document, those of the first Folder of kml. Missing
// elements are skipped.
KmlContent ReadKmlContent(XmlTree& tree);

}  // namespace orv
