// Where the sequences of pelorin-send come from, apart from the command line.
#pragma once

#include <string>
#include <vector>

namespace pelorin::send {

// Value i at time t (seconds from the start of the sweep):
// amplitude * sin(2 pi t / period + i pi / 4), so neighbouring joints swing out of step and every
// joint starts near its rest pose.
std::vector<double> sweepValues(double t, int count, double amplitude, double period);

// Numbers separated by blanks, tabs or commas; a CR at the end is ignored. An empty or blank
// line gives no values. Returns false and sets `bad` to the first token that is not a finite
// number.
bool parseNumberLine(const std::string& line, std::vector<double>& values, std::string& bad);

}  // namespace pelorin::send
