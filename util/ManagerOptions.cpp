#include "util/ManagerOptions.h"

#include <cstring>

namespace pelorin {
namespace {

constexpr char kSwitches[] = "adi";
constexpr char kWithValue[] = "fop";

bool isOptionWord(const char* word) {
    return word[0] == '-' && word[1] != '\0';
}

std::string programName(int argc, const char* const* argv) {
    return argc > 0 && argv[0] != nullptr ? argv[0] : "";
}

// Reads the letters of argv[index] (a word that starts with '-'); returns the index of the next
// word to read.
int scanWord(int argc, const char* const* argv, int index, ManagerOptionScan& scan) {
    const char* letters = argv[index] + 1;
    for (; *letters != '\0'; ++letters) {
        const char letter = *letters;
        if (std::strchr(kSwitches, letter) != nullptr) {
            scan.options.push_back({letter, false, ""});
        } else if (std::strchr(kWithValue, letter) != nullptr) {
            if (letters[1] != '\0') {
                scan.options.push_back({letter, true, letters + 1});
            } else if (index + 1 < argc && argv[index + 1] != nullptr) {
                scan.options.push_back({letter, true, argv[++index]});
            } else {
                scan.problems.push_back(programName(argc, argv) +
                                        ": option requires an argument -- '" + letter + "'");
            }
            break;
        } else {
            scan.problems.push_back(programName(argc, argv) + ": invalid option -- '" + letter +
                                    "'");
        }
    }
    return index + 1;
}

}  // namespace

ManagerOptionScan scanManagerOptions(int argc, const char* const* argv, bool stopAtOperand,
                                     const std::string& ownWord) {
    ManagerOptionScan scan;
    int index = 1;
    while (index < argc && argv[index] != nullptr) {
        const char* word = argv[index];
        if (std::strcmp(word, "--") == 0) {
            ++index;
            if (!stopAtOperand) {
                for (; index < argc && argv[index] != nullptr; ++index)
                    scan.operands.push_back(argv[index]);
            }
            break;
        }
        const bool own = !ownWord.empty() && ownWord == word;
        if (!isOptionWord(word) || own) {
            if (stopAtOperand) break;
            scan.operands.push_back(word);
            ++index;
            continue;
        }
        index = scanWord(argc, argv, index, scan);
    }
    scan.end = index;
    return scan;
}

}  // namespace pelorin
