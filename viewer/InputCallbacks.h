// The window's input: handlers that work on the viewer state they are given, and the GLUT
// callbacks, which hand them the viewer thread's own state. Traces go to Console::out().
//
// Middle button: press, drag and release turn the view (one radian per 1000 pixels) and the
// turn is committed on release. Page up/down and the wheel zoom by 1.1 about the middle of the
// window. Right/left arrows shift the target sideways. Any key redraws; 's' saves the frame as a
// PNG in the working directory, 'f' fits the view to the posed model, 'r' returns to the start
// view, 'v' starts and stops recording, 'l' hands the reload key's handler a request to read the
// setting file again (viewer/Viewer.h; letters in either case). Only the three buttons and the
// right arrow leave traces.
#pragma once

namespace pelorin {

struct ViewerState;

inline constexpr unsigned char kScreenshotKey = 's';
inline constexpr unsigned char kFitKey = 'f';
inline constexpr unsigned char kResetKey = 'r';
inline constexpr unsigned char kRecordKey = 'v';
inline constexpr unsigned char kReloadKey = 'l';

// GLUT's buttons for a wheel turned away from the user (zoom in) and towards the user, when no
// wheel callback takes them.
inline constexpr int kWheelUpButton = 3;
inline constexpr int kWheelDownButton = 4;

// The handlers change `viewer`'s camera and mouse state and ask `viewer` for a frame; the fit
// key fits to the model published for the window (viewerModel). The keys that save, record or
// reload act on the process's window and reload handler (Screenshot.h, Recording.h, Viewer.h),
// so they run on the viewer thread; everything else needs no window.
void handleMouse(ViewerState& viewer, int button, int buttonState, int x, int y);
void handleMotion(ViewerState& viewer, int x, int y);
void handleKey(ViewerState& viewer, unsigned char key);
void handleSpecialKey(ViewerState& viewer, int key);
// Wheel 0, direction +1 away from the user, -1 towards; other wheels do nothing.
void handleWheel(ViewerState& viewer, int wheel, int direction);

// GLUT's callbacks, registered by the viewer thread: they pass the viewer's state on.
void mouse(int button, int state, int x, int y);
void motion(int x, int y);
void keyboard(unsigned char key, int x, int y);
void special(int key, int x, int y);
void mouseWheel(int wheel, int direction, int x, int y);

}  // namespace pelorin
