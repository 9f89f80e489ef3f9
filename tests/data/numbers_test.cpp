#include "data/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ws {
namespace {

// The number at the start of a line, the rest ignored (a comma is no decimal separator); no
// number at all is zero.
TEST(NumericPrefix, TakesTheNumberAtTheStart) {
    const struct {
        std::string text;
        double value;
    } cases[] = {{"   12.5 mm", 12.5}, {"-3.25x", -3.25},
                 {"+7", 7.0},          {".5", 0.5},
                 {"5.", 5.0},          {"", 0.0},
                 {"-", 0.0},           {"\x01\xff garbage", 0.0},
                 {"7,5", 7.0},         {"0." + std::string(400, '0') + "1", 0.0}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(NumericPrefix(c.text), c.value) << c.text;
    // Huge numbers become infinity, not garbage, however long.
    EXPECT_TRUE(std::isinf(NumericPrefix(std::string(10'000'000, '9'))));
}

// Two decimals, halves up. A float is rounded from the text that reads back to it, so what a
// file holds, what a mask shows and what the readout prints agree: 1.005f is 1.00499999523 in
// binary.
TEST(FixedPoint, TwoDecimalsHalfUpFromTheShortestText) {
    for (const auto& [value, fixed] : {std::pair{0.0, "0.00"}, {9.999, "10.00"}, {-0.001, "0.00"}})
        EXPECT_EQ(FixedPoint(value, 2), fixed) << value;
    // Positive half hundredths are swept through the trace file writer; a negative one here.
    EXPECT_EQ(FormatMask(-1.005f, "##0.00", ","), "-1,01");
}

TEST(FormatMask, DigitsAndSeparator) {
    const struct {
        double value;
        const char *mask, *separator, *text;
    } cases[] = {
        {5.2, "##0.00", ",", "5,20"}, {0.0, "###0", ".", "0"}, {2.675, "0.00", ".", "2.68"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatMask(c.value, c.mask, c.separator), c.text) << c.value << " " << c.mask;
}

TEST(SingleText, ShortestGeneralForm) {
    const struct {
        float value;
        const char *separator, *text;
    } cases[] = {
        {0.0f, ".", "0"}, {1000.0f, ".", "1000"}, {12.5f, ",", "12,5"}, {1e7f, ".", "1E+07"}};
    for (const auto& c : cases)
        EXPECT_EQ(SingleText(c.value, c.separator), c.text) << c.value;
}

}  // namespace
}  // namespace ws
