// Numbers from command lines, environment variables and configuration keys, and the framework
// manager's options as its parser reads them.
#include <gtest/gtest.h>

#include <cmath>

#include "util/ManagerOptions.h"
#include "util/NumberText.h"

namespace pelorin {
namespace {

TEST(NumberTextTest, OneNumberWithBlanksAroundItInsideTheRange) {
    double value = -1.0;
    EXPECT_EQ(readNumber(" 2.5e1\t\r\n", 0, 100, value), NumberProblem::None);
    EXPECT_EQ(value, 25.0);
    for (const char* bad : {"", " ", "5x", "5 5", "1,5", "nan", "inf", "1e999", "0x"}) {
        EXPECT_EQ(readNumber(bad, -HUGE_VAL, HUGE_VAL, value), NumberProblem::NotANumber) << bad;
    }
    EXPECT_EQ(readNumber("100.5", 0, 100, value), NumberProblem::OutOfRange);
    EXPECT_EQ(value, 25.0);  // untouched by a refusal

    long whole = 0;
    EXPECT_EQ(readWholeNumber("+2810 ", 0, 65535, whole), NumberProblem::None);
    EXPECT_EQ(whole, 2810);
    EXPECT_EQ(readWholeNumber("28.5", 0, 65535, whole), NumberProblem::OutOfRange);
    EXPECT_EQ(readWholeNumber("65536", 0, 65535, whole), NumberProblem::OutOfRange);
    EXPECT_EQ(whole, 2810);

    EXPECT_EQ(describeNumberProblem(NumberProblem::NotANumber, "-p", "28x", 0, 65535),
              "-p: not a number: [28x]");
    EXPECT_EQ(describeNumberProblem(NumberProblem::OutOfRange, "rate", "-1", 0.5, 65535),
              "rate: out of range [0.5, 65535]: [-1]");
}

TEST(ManagerOptionsTest, ReadsLettersAsTheFrameworksGetoptDoes) {
    const char* argv[] = {"prog", "-ad",  "-fmy.conf", "-o",  "a.b: 1", "robot.txt",
                          "-p",   "2810", "-zo",       "c:2", "--",     "-i"};
    const ManagerOptionScan all = scanManagerOptions(12, argv, false);
    const std::vector<std::pair<char, std::string>> expected = {
        {'a', ""}, {'d', ""}, {'f', "my.conf"}, {'o', "a.b: 1"}, {'p', "2810"}, {'o', "c:2"}};
    ASSERT_EQ(all.options.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(all.options[i].letter, expected[i].first);
        EXPECT_EQ(all.options[i].value, expected[i].second);
    }
    EXPECT_EQ(all.operands, (std::vector<std::string>{"robot.txt", "-i"}));
    EXPECT_EQ(all.problems, std::vector<std::string>{"prog: invalid option -- 'z'"});

    // A program's own arguments start at the first operand or at its own word.
    EXPECT_EQ(scanManagerOptions(12, argv, true).end, 5);
    const char* own[] = {"prog", "-i", "-debug", "robot.txt", "-f"};
    EXPECT_EQ(scanManagerOptions(5, own, true, "-debug").end, 2);
    const ManagerOptionScan missing = scanManagerOptions(5, own, false);
    EXPECT_EQ(missing.problems.back(), "prog: option requires an argument -- 'f'");
}

}  // namespace
}  // namespace pelorin
