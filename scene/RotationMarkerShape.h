// The line figure that shows a rotation: an arc from angle 0 to the rotation's angle, as plain
// points, so that its shape can be checked without a display (render/TransformMarkers.h draws it).
#pragma once

#include <vector>

#include "scene/Geometry.h"

namespace pelorin {

// The vertices of the marker's line strip for a rotation of `angleDegrees` about `axis` (the
// codes of RotateTransform: 1 = X, 2 = Y, 3 = Z) at `radius` model units, in the plane the
// rotation turns: for X the point at angle t is (0, R cos t, R sin t), for Y (R cos t, 0, R sin t),
// for Z (R cos t, R sin t, 0), with degrees taken to radians as 3.14 / 180.
//
// An angle strictly between -10 and 10 gives a single chord from 0 to the angle. A larger one
// gives an arc in 10-degree steps (each step's two ends) that may overshoot the angle by less than
// a step, then the angle's own point; negative angles step towards the negative side. Beyond one
// full turn only the last turn is given, which looks the same. An undefined axis gives no point;
// an infinite or NaN angle at most the angle's own point.
std::vector<Vec3> rotationMarkerStrip(int axis, double radius, double angleDegrees);

}  // namespace pelorin
