// The command line of pelorin-snapshot:
//   pelorin-snapshot SETTING_FILE OUT.png [--values v1,v2,...] [--size WxH] [--fit]
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

struct SnapshotOptions {
    static constexpr int kDefaultSide = 800;  // the window's size

    std::string settingFile;
    std::string outputFile;
    std::vector<double> values;  // for the value table, in order
    int width = kDefaultSide;
    int height = kDefaultSide;
    bool fit = false;
    bool help = false;
};

// Why a command line is not usable: one of the texts of SnapshotMessages.h and the argument
// concerned, as given (possibly empty).
struct SnapshotOptionError {
    std::string_view message;
    std::string argument;
};

// Reads argv[1..argc); options may come before, between or after the two files. False, with
// `error` filled, when the line is not usable.
bool parseSnapshotOptions(int argc, const char* const* argv, SnapshotOptions& options,
                          SnapshotOptionError& error);

}  // namespace pelorin
