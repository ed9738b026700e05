// The GLUT input callbacks of the window. Viewer thread only (GLUT calls them one at a time;
// tests call them through runOnViewerThread). Traces go to Console::out().
//
// Middle button: press, drag and release turn the view (one radian per 1000 pixels) and the
// turn is committed on release. Page up/down zoom by 1.1. Right/left arrows shift the target
// sideways. Any key redraws; 's' (or 'S') also saves the frame as a PNG in the working directory.
#pragma once

namespace pelorin {

inline constexpr unsigned char kScreenshotKey = 's';

void mouse(int button, int state, int x, int y);
void motion(int x, int y);
void keyboard(unsigned char key, int x, int y);
void special(int key, int x, int y);

}  // namespace pelorin
