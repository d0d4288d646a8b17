#include "exchange/kml_reader.h"

#include <algorithm>
#include <exception>

#include "exchange/kml_coordinates.h"
#include "exchange/text_encoding.h"
#include "exchange/xml_tree.h"
#include "platform/large_buffer.h"

namespace orv {
namespace {

enum class PlacemarkScope { kPointsAndLines, kPointsOnly };

// In the current element: the coordinates text of the first "coordinates"
// child, parsed into `out`. The cursor ends where it started.
void TakeCoordinates(XmlTree& tree, std::vector<KmlCoordinate>& out) {
  if (!tree.EnterElement()) return;
  if (tree.FindElement(u"coordinates")) {
    std::u16string decoded;
    ParseCoordinateList(tree.ElementTextView(decoded), out);
  }
  tree.LeaveElement();
}

void TakeLineStrings(XmlTree& tree, KmlContent& content) {
  while (tree.FindElement(u"LineString")) TakeCoordinates(tree, content.linePoints);
}

void ReadPlacemark(XmlTree& tree, PlacemarkScope scope, KmlContent& content) {
  if (!tree.EnterElement()) return;
  // The name is read only for a Point: the placemarks of a long line
  // carry thousands of names that are never used.
  const int nameElement = tree.FindElement(u"name") ? tree.CurrentElement() : 0;
  // The Point is looked for after the name only.
  if (tree.FindElement(u"Point")) {
    std::vector<KmlCoordinate> positions;
    TakeCoordinates(tree, positions);
    const std::string name = nameElement != 0 ? Utf16ToUtf8(tree.ElementTextOf(nameElement)) : "";
    for (const KmlCoordinate& position : positions) {
      content.points.push_back({position.Position(), name});
    }
  } else if (scope == PlacemarkScope::kPointsAndLines) {
    if (tree.FindElement(u"MultiGeometry") || tree.FindElement(u"GeometryCollection")) {
      if (tree.EnterElement()) {
        TakeLineStrings(tree, content);
        tree.LeaveElement();
      }
    } else {
      TakeLineStrings(tree, content);
    }
  }
  tree.LeaveElement();
}

void ReadPlacemarks(XmlTree& tree, PlacemarkScope scope, KmlContent& content) {
  while (tree.FindElement(u"Placemark")) ReadPlacemark(tree, scope, content);
}

// Enters the first Folder of the current level (from its beginning) and
// reads its Placemarks for Points.
void ReadFirstFolder(XmlTree& tree, KmlContent& content) {
  if (!tree.FindElement(u"Folder") || !tree.EnterElement()) return;
  ReadPlacemarks(tree, PlacemarkScope::kPointsOnly, content);
  tree.LeaveElement();
}

// A tuple takes at least three characters and a separator, so a quarter of
// the document's length bounds the line points: with room for all of them,
// a line of a day's seconds is never copied to grow. Room that is reserved
// but not filled is never touched. Only a hint: when that much cannot be
// had, the list grows as usual.
void ReserveLinePoints(std::u16string_view text, std::vector<KmlCoordinate>& linePoints) {
  try {
    const size_t bound = text.size() / 4 + 1;
    linePoints.reserve(bound);
    AdviseLargeBuffer(linePoints.data(), bound * sizeof(KmlCoordinate));
  } catch (const std::exception&) {
  }
}

}  // namespace

KmlContent ReadKmlContent(XmlTree& tree) {
  KmlContent content;
  ReserveLinePoints(tree.DocumentText(), content.linePoints);
  tree.ResetCursor();
  if (!tree.FindElement(u"kml") || !tree.EnterElement()) return content;
  if (tree.FindElement(u"Document") && tree.EnterElement()) {
    ReadPlacemarks(tree, PlacemarkScope::kPointsAndLines, content);
    if (content.points.empty()) {
      // Back to the Document's first child: the cursor only moves forward.
      tree.ResetCursor();
      if (tree.FindElement(u"kml") && tree.EnterElement() && tree.FindElement(u"Document") &&
          tree.EnterElement()) {
        ReadFirstFolder(tree, content);
      }
    }
    return content;
  }
  ReadFirstFolder(tree, content);
  return content;
}

}  // namespace orv
