#include "tools/send/ValueSources.h"

#include <cmath>
#include <cstdlib>

#include "util/NumberText.h"

namespace pelorin::send {

std::vector<double> sweepValues(double t, int count, double amplitude, double period) {
    const double pi = std::acos(-1.0);
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
    for (int i = 0; i < count; ++i)
        values.push_back(amplitude * std::sin(2.0 * pi * t / period + i * pi / 4.0));
    return values;
}

bool parseNumberLine(const std::string& line, std::vector<double>& values, std::string& bad) {
    values.clear();
    const char* const separators = " \t,\r";
    std::string::size_type at = line.find_first_not_of(separators);
    while (at != std::string::npos) {
        const std::string::size_type end = line.find_first_of(separators, at);
        const std::string token = line.substr(at, end == std::string::npos ? end : end - at);
        double value = 0.0;
        if (readNumber(token, -HUGE_VAL, HUGE_VAL, value) != NumberProblem::None) {
            bad = token;
            return false;
        }
        values.push_back(value);
        at = end == std::string::npos ? end : line.find_first_not_of(separators, end);
    }
    return true;
}

}  // namespace pelorin::send
