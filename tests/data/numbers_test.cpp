#include "data/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ws {
namespace {

TEST(NumericPrefix, TakesTheNumberAtTheStartAndIgnoresTheRest) {
    EXPECT_DOUBLE_EQ(NumericPrefix("5.20"), 5.2);
    EXPECT_DOUBLE_EQ(NumericPrefix("   12.5 mm"), 12.5);
    EXPECT_DOUBLE_EQ(NumericPrefix("-3.25x"), -3.25);
    EXPECT_DOUBLE_EQ(NumericPrefix("+7"), 7.0);
    EXPECT_DOUBLE_EQ(NumericPrefix(".5"), 0.5);
    EXPECT_DOUBLE_EQ(NumericPrefix("5."), 5.0);
    EXPECT_DOUBLE_EQ(NumericPrefix(" 1250 "), 1250.0);
}

TEST(NumericPrefix, NoNumberGivesZero) {
    EXPECT_EQ(NumericPrefix(""), 0.0);
    EXPECT_EQ(NumericPrefix("Regime:"), 0.0);
    EXPECT_EQ(NumericPrefix("-"), 0.0);
    EXPECT_EQ(NumericPrefix("."), 0.0);
    EXPECT_EQ(NumericPrefix("\x01\xff garbage"), 0.0);
}

TEST(NumericPrefix, CommaIsNotADecimalSeparator) {
    EXPECT_DOUBLE_EQ(NumericPrefix("7,5"), 7.0);
}

TEST(NumericPrefix, HugeNumbersBecomeInfinityNotGarbage) {
    EXPECT_TRUE(std::isinf(NumericPrefix(std::string(400, '9'))));
    EXPECT_TRUE(std::isinf(NumericPrefix(std::string(10'000'000, '9'))));
    EXPECT_EQ(NumericPrefix("0." + std::string(400, '0') + "1"), 0.0);
}

TEST(Rounding, HalvesGoToEven) {
    EXPECT_EQ(RoundHalfEven(12.5), 12.0);
    EXPECT_EQ(RoundHalfEven(13.5), 14.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(12.7), 13.0);
    EXPECT_EQ(RoundHalfEven(255.4), 255.0);
}

TEST(Rounding, OverflowIsReportedNotWrapped) {
    EXPECT_EQ(RoundToInt16(32767.4), int16_t{32767});
    EXPECT_FALSE(RoundToInt16(32767.5).has_value());
    EXPECT_EQ(RoundToInt16(-32768.5), int16_t{-32768});
    EXPECT_FALSE(RoundToInt16(-32768.6).has_value());
    EXPECT_FALSE(RoundToInt32(1e12).has_value());
    EXPECT_EQ(RoundToInt32(-1.0), -1);
    EXPECT_FALSE(RoundToInt32(std::numeric_limits<double>::infinity()).has_value());
    EXPECT_FALSE(ToSingle(1e39).has_value());
    EXPECT_TRUE(ToSingle(3e38).has_value());
}

TEST(FixedPoint, TwoDecimalsHalfUp) {
    EXPECT_EQ(FixedPoint(0.995f, 2), "1.00");
    EXPECT_EQ(FixedPoint(12.3f, 2), "12.30");
    EXPECT_EQ(FixedPoint(0.0, 2), "0.00");
    EXPECT_EQ(FixedPoint(2.5, 2), "2.50");
    EXPECT_EQ(FixedPoint(1.995f, 2), "2.00");
    EXPECT_EQ(FixedPoint(5.1f, 2), "5.10");
    EXPECT_EQ(FixedPoint(9.999, 2), "10.00");
    EXPECT_EQ(FixedPoint(-1.5, 2), "-1.50");
    EXPECT_EQ(FixedPoint(-0.001, 2), "0.00");
    EXPECT_EQ(FixedPoint(123456.789, 2), "123456.79");
}

// A float is rounded from the text that reads back to it, so what a file holds, what a mask
// shows and what the readout prints agree: 1.005f is 1.00499999523 in binary.
TEST(FixedPoint, FloatsRoundFromTheirShortestText) {
    const struct {
        float value;
        const char* fixed;
        const char* mask;
    } cases[] = {
        {1.005f, "1.01", "1,01"},   {2.675f, "2.68", "2,68"},       {0.125f, "0.13", "0,13"},
        {10.005f, "10.01", "10,01"}, {19.995f, "20.00", "20,00"},   {-1.005f, "-1.01", "-1,01"},
        {1.0049f, "1.00", "1,00"},   {1e30f, "1000000015047466219876688855040.00", nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FixedPoint(c.value, 2), c.fixed) << c.value;
        if (c.mask) {
            EXPECT_EQ(FormatMask(c.value, "##0.00", ","), c.mask) << c.value;
        }
    }
}

TEST(FormatMask, DigitsAndSeparator) {
    EXPECT_EQ(FormatMask(5.2, "##0.00", "."), "5.20");
    EXPECT_EQ(FormatMask(5.2, "##0.00", ","), "5,20");
    EXPECT_EQ(FormatMask(0.5, "###0.00", "."), "0.50");
    EXPECT_EQ(FormatMask(0.0, "###0", "."), "0");
    EXPECT_EQ(FormatMask(7.25, "#0.0", "."), "7.3");
    EXPECT_EQ(FormatMask(100.0, "##0.0", "."), "100.0");
    EXPECT_EQ(FormatMask(2.675, "0.00", "."), "2.68");
}

TEST(SingleText, ShortestGeneralForm) {
    EXPECT_EQ(SingleText(0.0f), "0");
    EXPECT_EQ(SingleText(12.5f), "12.5");
    EXPECT_EQ(SingleText(1000.0f), "1000");
    EXPECT_EQ(SingleText(-10.0f), "-10");
    EXPECT_EQ(SingleText(0.1f), "0.1");
    EXPECT_EQ(SingleText(12.5f, ","), "12,5");
    EXPECT_EQ(SingleText(1e7f), "1E+07");
}

}  // namespace
}  // namespace ws
