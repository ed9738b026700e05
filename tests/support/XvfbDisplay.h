// A private X server for tests that need a display (GL contexts, GLUT windows).
//
// The first call starts Xvfb on a display number it picks itself (-displayfd), so tests running
// side by side never share or collide on a display, and points DISPLAY at it. The server lives
// until the test process ends; it is also told to stop if the process dies. Nothing here talks
// to any display other than the one it started.
#pragma once

#include <string>

namespace pelorin::testing {

// Starts the process's Xvfb once and sets DISPLAY. Returns true when the server is up; on
// failure `error` says why (Xvfb missing, did not report a display). Main thread; call before
// any other thread opens a display.
bool ensureXvfbDisplay(std::string* error);

// The display name (":N") of the started server, empty before a successful start.
std::string xvfbDisplayName();

// Whether a window of that title is on the started server.
bool windowTitledExists(const std::string& title);

// Sends WM_DELETE_WINDOW, what a window manager sends when the user clicks the close box, to
// the window of that title on the started server.
bool closeWindowTitled(const std::string& title, std::string& error);

}  // namespace pelorin::testing
