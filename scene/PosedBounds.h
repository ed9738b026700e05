// The extent of the posed model, for fitting the view to it.
#pragma once

#include "scene/Geometry.h"
#include "scene/PoseValues.h"

namespace pelorin {

class Parts;

// The model-space box (before any scale of the viewer) around every drawn object under `root`,
// each placed by its pose under `values` (scene/PartsPose.h); empty when nothing is
// drawn. Each object's own box (DrawnObject::localBounds) is transformed as a whole, so the cost
// grows with the number of nodes, not of facets, and the box may be somewhat larger than the
// geometry when an object is turned. Corners made non-finite by a non-finite value are left out.
// Any thread.
Box3 posedBounds(const Parts& root, const PoseValues& values);

}  // namespace pelorin
