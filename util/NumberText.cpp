#include "util/NumberText.h"

#include <cmath>
#include <sstream>

#include "util/ScanfDouble.h"

namespace pelorin {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string formatBound(double bound) {
    std::ostringstream text;
    text << bound;
    return text.str();
}

}  // namespace

NumberProblem readNumber(std::string_view text, double minimum, double maximum, double& value) {
    double read = 0.0;
    std::size_t used = ScanfDoubleConverter().convertCounted(text, read);
    if (used == 0 || !std::isfinite(read)) return NumberProblem::NotANumber;
    while (used < text.size() && isBlank(text[used])) ++used;
    if (used != text.size()) return NumberProblem::NotANumber;
    if (read < minimum || read > maximum) return NumberProblem::OutOfRange;
    value = read;
    return NumberProblem::None;
}

NumberProblem readWholeNumber(std::string_view text, long minimum, long maximum, long& value) {
    double read = 0.0;
    const NumberProblem problem =
        readNumber(text, static_cast<double>(minimum), static_cast<double>(maximum), read);
    if (problem != NumberProblem::None) return problem;
    if (read != std::floor(read)) return NumberProblem::OutOfRange;
    value = static_cast<long>(read);
    return NumberProblem::None;
}

std::string describeNumberProblem(NumberProblem problem, std::string_view name,
                                  std::string_view text, double minimum, double maximum) {
    std::string line(name);
    if (problem == NumberProblem::OutOfRange) {
        line += ": out of range [" + formatBound(minimum) + ", " + formatBound(maximum) + "]: [";
    } else {
        line += ": not a number: [";
    }
    return line.append(text) + "]";
}

}  // namespace pelorin
