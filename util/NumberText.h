// Numbers given as text on the command line, in the environment or in a configuration file
// (rtc.conf, a component's properties): one reading rule for all of them.
//
// The text holds one number and nothing else; blanks around it are allowed, since configuration
// files often carry them. The value is read as sscanf's "%lf" reads it (util/ScanfDouble) and
// must be finite and inside the caller's range. A text that breaks the rule is reported with the
// name it came under (an option, a variable, a key) and the text itself.
#pragma once

#include <string>
#include <string_view>

namespace pelorin {

enum class NumberProblem {
    None,
    NotANumber,  // empty, not a number, something after it, or not finite
    OutOfRange,  // a number outside the range (or, for a whole number, with a fraction)
};

// Reads `text` into `value` when it is a number in [minimum, maximum]; `value` is left alone
// otherwise. Any thread.
NumberProblem readNumber(std::string_view text, double minimum, double maximum, double& value);

// As readNumber, for a whole number ("25", "+25", "2.5e1"; not "25.5").
NumberProblem readWholeNumber(std::string_view text, long minimum, long maximum, long& value);

// One line without a line end for a problem that readNumber or readWholeNumber returned:
// "<name>: not a number: [<text>]" or "<name>: out of range [min, max]: [<text>]".
std::string describeNumberProblem(NumberProblem problem, std::string_view name,
                                  std::string_view text, double minimum, double maximum);

}  // namespace pelorin
