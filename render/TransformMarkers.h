// Line figures that show transform elements in the current model-view frame. Lighting is
// switched off for the lines and on again afterwards. GL thread. Nothing in the frame drawing
// calls these; they are there for a caller that wants the transforms shown.
#pragma once

namespace pelorin {

class RotateTransform;
class TransformElement;
class TranslateTransform;

// The arc of scene/RotationMarkerShape.h as one GL_LINE_STRIP, red for X, green for Y, blue for
// Z, at the element's marker radius or at `radius` model units; nothing for an undefined axis.
void drawRotationMarker(const RotateTransform& rotation);
void drawRotationMarker(const RotateTransform& rotation, double radius);
// Only when the element's marker is visible: four GL_LINES segments, white from the origin to
// the offset, then red along X, green along Y and blue along Z from the origin to the offset.
void drawTranslationMarker(const TranslateTransform& translation);
// The marker of whichever kind `element` is.
void drawTransformMarker(const TransformElement& element);

}  // namespace pelorin
