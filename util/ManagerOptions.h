// The options that a framework manager takes on any component program's command line, read the
// way the framework reads them (POSIX getopt with "af:io:p:d"):
//   -a         no CORBA servant for the manager       -d         master manager
//   -f FILE    the configuration file (rtc.conf)      -i         go on when FILE is missing
//   -o KEY:VALUE  one setting, over rtc.conf's         -p PORT    the ORB's port
// Letters may be grouped ("-ad"); a value may follow its letter at once ("-fmy.conf") or be the
// next argument. "--" ends the options.
#pragma once

#include <string>
#include <vector>

namespace pelorin {

struct ManagerOption {
    char letter;
    bool hasValue;      // -f, -o and -p; their value may be empty
    std::string value;  // empty for a switch
};

struct ManagerOptionScan {
    std::vector<ManagerOption> options;
    // Index of the first argument that is not an option (argc when there is none). With
    // stopAtOperand false, the arguments that are not options are `operands` instead.
    int end = 0;
    std::vector<std::string> operands;
    // For each unknown letter or missing value, the line the C library's getopt prints for it
    // (without its line end): "<program>: invalid option -- 'x'" or
    // "<program>: option requires an argument -- 'f'".
    std::vector<std::string> problems;
};

// Reads the options in argv[1..argc). With stopAtOperand, reading ends at the first argument that
// is not an option, at "--" (which is then skipped) or at `ownWord` (when not empty), which is
// left for the program; without it, operands are collected and reading goes on, as the framework
// does.
ManagerOptionScan scanManagerOptions(int argc, const char* const* argv, bool stopAtOperand,
                                     const std::string& ownWord = "");

}  // namespace pelorin
