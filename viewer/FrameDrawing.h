// GL set-up and frame drawing. Viewer thread only, with the window's context current; the
// shared pieces (setUpFrameState, drawFrame, readFrame) also serve offscreen contexts, so a
// picture made without a window has the window's pixels.
#pragma once

#include "viewer/Camera.h"
#include "viewer/FrameImage.h"

namespace pelorin {

class AxisGlyph;
class LiveValues;
class Parts;
class SceneDrawer;

// Everything a frame shows besides the GL state of setUpFrameState.
struct FrameView {
    CameraState camera;
    int width = 0;  // pixels of the drawing surface
    int height = 0;
    const Parts* root = nullptr;         // null draws the axes alone
    const LiveValues* values = nullptr;  // the root's value sets; null: the file's values
};

// The GL state every frame relies on: the light (placed under an identity modelview), depth
// test, smooth shading, back-face culling, normal rescaling. Once per context.
void setUpFrameState();
// One frame into the current draw buffer, everything but the swap: viewport, projection, clear,
// axes, the tree through `drawer` (one per GL context). The view lives in the projection matrix;
// the modelview holds the scale and the model's own transforms, so the light set up under an
// identity stays put.
void drawFrame(const FrameView& view, AxisGlyph& axes, SceneDrawer& drawer);
// The pixels of the current read buffer, rows turned to run from the top down.
FrameImage readFrame(int width, int height);

// The window's frame state plus its GLUT callbacks.
void initGL();
// One whole frame of the window: drawFrame with the viewer's camera and root, then the swap.
void display();
// The window's new size in pixels: viewport and projection.
void reshape(int width, int height);
// Frees the GL objects made for drawing the tree (mesh buffers), with the window's context still
// current: before the window goes.
void releaseFrameResources();
// Draws a frame, reads it back before the swap, then swaps it onto the screen, so the image
// is exactly what the window shows. The camera is left as it was.
FrameImage drawAndCaptureFrame();

}  // namespace pelorin
