#include "data/conditioning.h"
#include "data/trace_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace ws {
namespace {

Trace Make(const std::vector<float>& values, int16_t regime = kRegimeScan) {
    Trace t;
    t.Regime = regime;
    int i = 0;
    for (float v : values)
        t.Thickness[static_cast<size_t>(i++)] = v;
    t.PointCount = i;
    return t;
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

// One point of a conditioned trace: FillGaps (filter false) or FilterTrace (filter true).
TEST(Conditioning, PointByPoint) {
    const struct {
        const char* why;
        bool filter;
        std::vector<float> values;
        int index;
        float expected;
    } cases[] = {
        {"an isolated gap takes the mean of its neighbours", false, {5.00f, 0.0f, 5.20f}, 1, 5.10f},
        {"a longer gap stays", false, {0.0f, 5.0f, 0.0f, 0.0f, 5.0f, 0.0f}, 2, 0.0f},
        {"a longer gap stays, its end too", false, {0.0f, 5.0f, 0.0f, 0.0f, 5.0f, 0.0f}, 3, 0.0f},
        {"the first point stays", false, {0.0f, 5.0f, 0.0f, 0.0f, 5.0f, 0.0f}, 0, 0.0f},
        {"the last point stays", false, {0.0f, 5.0f, 0.0f, 0.0f, 5.0f, 0.0f}, 5, 0.0f},
        // Left to right in place: point 1 is filled first, point 2 then sees a gap on its right.
        {"a gap's right neighbour was a gap", false, {4.0f, 0.0f, 0.0f, 6.0f}, 1, 0.0f},
        {"gaps two apart", false, {4.0f, 0.0f, 6.0f, 0.0f, 8.0f}, 1, 5.0f},
        {"gaps two apart, the second", false, {4.0f, 0.0f, 6.0f, 0.0f, 8.0f}, 3, 7.0f},
        {"a neighbour at the limit is no reading", false, {0.01f, 0.0f, 5.0f}, 1, 0.0f},
        {"a trace of two points", false, {0.0f, 0.0f}, 0, 0.0f},
        {"a spike between equal neighbours goes", true, {10, 10, 12, 10, 10}, 2, 10.0f},
        {"a small deviation stays", true, {10, 10, 10.4f, 10, 10}, 2, 10.4f},
        {"a point on a step snaps to the nearer plateau", true, {10, 10, 10.5f, 12, 12}, 2, 10.0f},
        {"a tie goes to the right plateau", true, {10, 10, 11, 12, 12}, 2, 12.0f},
        {"next to no contact nothing moves", true, {0.0f, 0.01f, 3.0f, 0.02f, 0.0f}, 2, 3.0f},
        {"next to no contact, the limit itself", true, {0.0f, 0.01f, 3.0f, 0.02f, 0.0f}, 1, 0.01f},
        {"sloped plateaus are left alone", true, {8, 10, 10.5f, 12, 12}, 2, 10.5f},
    };
    for (const auto& c : cases) {
        Trace t = Make(c.values);
        c.filter ? FilterTrace(t) : FillGaps(t);
        EXPECT_FLOAT_EQ(t.Thickness[static_cast<size_t>(c.index)], c.expected) << c.why;
    }
}

TEST(FillGaps, SlotsPastTheCountAreUntouched) {
    Trace t = Make({0.0f, 0.0f});
    t.Thickness[2] = 9.0f;
    FillGaps(t);
    EXPECT_EQ(t.Thickness[2], 9.0f);
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
