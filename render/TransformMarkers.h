// Line figures that show transform elements in the current model-view frame. Lighting is
// switched off for the lines and on again afterwards. GL thread. Nothing in the frame drawing
// calls these; they are there for a caller that wants the transforms shown.
#pragma once

#include "scene/PoseValues.h"

namespace pelorin {

class RotateTransform;
class TransformElement;
class TranslateTransform;

// The arc of scene/RotationMarkerShape.h as one GL_LINE_STRIP, red for X, green for Y, blue for
// Z, at the element's marker radius or at `radius` model units; nothing for an undefined axis.
// Every marker shows the element under `values` (none: the file's values).
void drawRotationMarker(const RotateTransform& rotation, const PoseValues& values = {});
void drawRotationMarker(const RotateTransform& rotation, double radius,
                        const PoseValues& values = {});
// Only when the element's marker is visible: four GL_LINES segments, white from the origin to
// the offset, then red along X, green along Y and blue along Z from the origin to the offset.
void drawTranslationMarker(const TranslateTransform& translation, const PoseValues& values = {});
// The marker of whichever kind `element` is.
void drawTransformMarker(const TransformElement& element, const PoseValues& values = {});

}  // namespace pelorin
