// The pose lines of pelorin-check: a value list from the command line and the posed model as
// numbers, from the same pose arithmetic the viewer draws with (scene/PartsPose.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "scene/PoseValues.h"

namespace pelorin {

class MessageStream;
class Parts;

// Reads "v1,v2,..." (blanks around an item allowed; an empty list holds no value). Each item
// must be one finite number, read by the project's one number rule (util/NumberText.h). False, with
// the offending item in `badItem` and the items before it in `values`, otherwise.
bool readValueList(std::string_view list, std::vector<double>& values, std::string& badItem);

// For every visit of a drawn object, in drawing order, one line
//   pose X Y Z R00 R01 R02 R10 R11 R12 R20 R21 R22 PATH
// (the object's origin and the rows of its rotation in model space, then the path from ROOT to
// the body: node and path names joined by '/'), then one line
//   bounds MINX MINY MINZ MAXX MAXY MAXZ
// (scene/PosedBounds.h), or "bounds empty" when nothing is drawn. Numbers have 12 significant
// digits.
void printPoses(const Parts& root, const PoseValues& values, MessageStream& out);

}  // namespace pelorin
