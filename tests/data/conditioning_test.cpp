#include "data/conditioning.h"
#include "data/trace_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

namespace ws {
namespace {

Trace Make(std::initializer_list<float> values, int16_t regime = kRegimeScan) {
    Trace t;
    t.Regime = regime;
    int i = 0;
    for (float v : values)
        t.Thickness[static_cast<size_t>(i++)] = v;
    t.PointCount = i;
    return t;
}

TEST(FillGaps, IsolatedGapTakesTheMeanOfItsNeighbours) {
    Trace t = Make({5.00f, 0.0f, 5.20f});
    FillGaps(t);
    EXPECT_FLOAT_EQ(t.Thickness[1], 5.10f);
}

// A gap between two neighbouring hundredths is filled with the half hundredth between them; the
// file must carry it rounded up, as a person reading "1.005" would, for every pair of readings
// from 0.02 mm (a neighbour must lie above the 0.01 mm no-contact limit) to 20 mm.
TEST(FillGaps, HalfHundredthMeansAreWrittenRoundedUp) {
    int wrong = 0;
    std::string firstWrong;
    for (int h = 2; h < 2000; ++h) {
        Trace t = Make({h / 100.0f, 0.0f, (h + 1) / 100.0f});
        FillGaps(t);
        const std::string text = FormatTraceFile(t);
        char expected[32];
        std::snprintf(expected, sizeof expected, "\r\n%d.%02d\r\n", (h + 1) / 100, (h + 1) % 100);
        const size_t data = text.find("Data:\r\n");
        const size_t second = text.find("\r\n", data + 7);
        if (text.compare(second, std::strlen(expected), expected) != 0 && wrong++ == 0)
            firstWrong = text.substr(second, 12);
    }
    EXPECT_EQ(wrong, 0) << "first wrong: " << firstWrong;
}

TEST(FillGaps, LongerGapsAndEndPointsStay) {
    Trace t = Make({0.0f, 5.0f, 0.0f, 0.0f, 5.0f, 0.0f});
    FillGaps(t);
    EXPECT_EQ(t.Thickness[0], 0.0f);
    EXPECT_EQ(t.Thickness[2], 0.0f);
    EXPECT_EQ(t.Thickness[3], 0.0f);
    EXPECT_EQ(t.Thickness[5], 0.0f);
}

TEST(FillGaps, WorksInPlaceLeftToRight) {
    // Point 1 is filled first; point 2 then sees a reading on its left but a gap on its right.
    Trace t = Make({4.0f, 0.0f, 0.0f, 6.0f});
    FillGaps(t);
    EXPECT_EQ(t.Thickness[1], 0.0f);  // its right neighbour was a gap
    Trace u = Make({4.0f, 0.0f, 6.0f, 0.0f, 8.0f});
    FillGaps(u);
    EXPECT_FLOAT_EQ(u.Thickness[1], 5.0f);
    EXPECT_FLOAT_EQ(u.Thickness[3], 7.0f);
}

TEST(FillGaps, NeighbourAtTheLimitIsNotAReading) {
    Trace t = Make({0.01f, 0.0f, 5.0f});
    FillGaps(t);
    EXPECT_EQ(t.Thickness[1], 0.0f);
}

TEST(FillGaps, ShortTracesAndSlotsPastTheCountAreUntouched) {
    Trace t = Make({0.0f, 0.0f});
    t.Thickness[2] = 9.0f;
    FillGaps(t);
    EXPECT_EQ(t.Thickness[0], 0.0f);
    EXPECT_EQ(t.Thickness[2], 9.0f);
}

TEST(FilterTrace, RemovesASpikeBetweenEqualNeighbours) {
    Trace t = Make({10.0f, 10.0f, 12.0f, 10.0f, 10.0f});
    FilterTrace(t);
    EXPECT_FLOAT_EQ(t.Thickness[2], 10.0f);
}

TEST(FilterTrace, LeavesASmallDeviation) {
    Trace t = Make({10.0f, 10.0f, 10.4f, 10.0f, 10.0f});
    FilterTrace(t);
    EXPECT_FLOAT_EQ(t.Thickness[2], 10.4f);
}

TEST(FilterTrace, SnapsAPointOnAStepToTheNearerPlateau) {
    Trace t = Make({10.0f, 10.0f, 10.5f, 12.0f, 12.0f});
    FilterTrace(t);
    EXPECT_FLOAT_EQ(t.Thickness[2], 10.0f);
}

TEST(FilterTrace, ATieGoesToTheRightPlateau) {
    Trace t = Make({10.0f, 10.0f, 11.0f, 12.0f, 12.0f});
    FilterTrace(t);
    EXPECT_FLOAT_EQ(t.Thickness[2], 12.0f);
}

TEST(FilterTrace, NeverTouchesPointsNextToNoContact) {
    Trace t = Make({0.0f, 0.01f, 3.0f, 0.02f, 0.0f});
    FilterTrace(t);
    EXPECT_FLOAT_EQ(t.Thickness[2], 3.0f);
    EXPECT_FLOAT_EQ(t.Thickness[1], 0.01f);
}

TEST(FilterTrace, SlopedPlateausAreLeftAlone) {
    Trace t = Make({8.0f, 10.0f, 10.5f, 12.0f, 12.0f});
    FilterTrace(t);
    EXPECT_FLOAT_EQ(t.Thickness[2], 10.5f);
}

TEST(ConditionTrace, FilterOnlyForScansWithTheSwitchOn) {
    Trace scan = Make({10.0f, 10.0f, 12.0f, 10.0f, 10.0f});
    Trace single = Make({10.0f, 10.0f, 12.0f, 10.0f, 10.0f}, 0);
    Trace off = scan;
    ConditionTrace(scan, true);
    ConditionTrace(single, true);
    ConditionTrace(off, false);
    EXPECT_FLOAT_EQ(scan.Thickness[2], 10.0f);
    EXPECT_FLOAT_EQ(single.Thickness[2], 12.0f);
    EXPECT_FLOAT_EQ(off.Thickness[2], 12.0f);
}

TEST(ConditionTrace, FullLengthTraceStaysInsideTheArrays) {
    Trace t;
    t.Regime = kRegimeScan;
    t.PointCount = kPointSlots;  // more than any source gives: must still not overrun
    for (auto& v : t.Thickness)
        v = 5.0f;
    t.Thickness[100] = 0.0f;
    ConditionTrace(t, true);
    EXPECT_FLOAT_EQ(t.Thickness[100], 5.0f);
}

}  // namespace
}  // namespace ws
