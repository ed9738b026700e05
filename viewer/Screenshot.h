// Saving the window's current frame as a PNG file. Viewer thread only.
#pragma once

#include <ctime>
#include <string>

namespace pelorin {

// "pelorin-YYYYMMDD-HHMMSS.png" for the given local time.
std::string screenshotFileName(const std::tm& localTime);
// The first of `name`, then the name with "-2", "-3", ... before ".png", that no file in
// the working directory has yet; empty when all of the first hundred are taken.
std::string unusedScreenshotName(const std::string& name);

// Draws the frame, writes it to a new file in the working directory named after the current
// local time, and prints the name on the console (or why it failed). Returns the file name, or
// an empty string on failure. The camera is left unchanged.
std::string saveScreenshot();

}  // namespace pelorin
