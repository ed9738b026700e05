// GL set-up and frame drawing. Viewer thread only, with the window's context current.
#pragma once

#include "viewer/FrameImage.h"

namespace pelorin {

// One-time GL state (light, depth test, culling) and the GLUT callbacks of the window.
void initGL();
// One whole frame: projection, clear, axes, the scene tree from the root, buffer swap.
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
