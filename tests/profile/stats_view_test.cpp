// The thresholds drawn over the profile, and the statistics window's histogram: what is drawn
// for the readings, the marked part and the thresholds.

#include "profile/stats_view.h"

#include <gtest/gtest.h>

#include "profile/threshold_lines.h"
#include "support/recording_surface.h"

namespace ws {
namespace {

using test::Primitive;
using test::RecordingSurface;

constexpr Rgb kWholeBar{160, 160, 160}, kPartBar{255, 0, 0};

int Count(const std::vector<Primitive>& items, Rgb color) {
    int n = 0;
    for (const auto& p : items)
        n += p.color == color;
    return n;
}

struct LineCase {
    const char* name;
    Thresholds th;
    int solid, dashedSegments, labels;
};

TEST(ThresholdLines, EachSetThresholdGetsItsLineAndLabel) {
    const LineCase cases[] = {
        {"none", {0.0f, 0.0f}, 0, 0, 0},
        {"minimum only", {0.0f, 6.0f}, 1, 0, 1},
        {"nominal only", {8.0f, 0.0f}, 0, 31, 1},
        {"both", {8.0f, 6.0f}, 1, 31, 2},
        // Beyond the Y axis (0..10 mm) there is no level to draw at.
        {"above the axis", {12.0f, 0.0f}, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingSurface s(10000, 6500, 15);
        DrawThresholdLines(s, c.th, {1000, 500, 7200, 5500, 0.0f, 10.0f}, ",");
        int solid = 0, dashes = 0, labels = 0;
        for (const auto& p : s.items) {
            if (p.kind == Primitive::Line && p.color == kMinAllowedLine) {
                ++solid;
                EXPECT_EQ(p.y1, 3500);  // 6 mm of 0..10 over 500..5500
            }
            if (p.kind == Primitive::Line && p.color == kNominalLine) {
                ++dashes;
                EXPECT_EQ(p.y1, 4500);
                EXPECT_LE(p.x2, 7200);
            }
            if (p.kind == Primitive::Text) {
                ++labels;
                // By the right axis, inside the box.
                EXPECT_LT(p.x1, 7200);
                EXPECT_GT(p.x1, 6500);
                EXPECT_TRUE(p.text == "6,00" || p.text == "8,00") << p.text;
            }
        }
        EXPECT_EQ(solid, c.solid);
        EXPECT_EQ(dashes, c.dashedSegments);
        EXPECT_EQ(labels, c.labels);
        EXPECT_EQ(s.lineWidth, 1);  // put back for the drawing that follows
    }
}

struct HistogramCase {
    const char* name;
    std::vector<int64_t> whole, part;  // readings per 0.1 mm from 5.0 mm
    Thresholds th;
    int wholeBars, partBars, minimumLines, nominalDashes;
};

TEST(Histogram, BarsAndThresholdLines) {
    const HistogramCase cases[] = {
        {"no readings", {}, {}, {}, 0, 0, 0, 0},
        {"marked part over the whole", {2, 0, 4, 1}, {0, 0, 3, 0}, {}, 3, 1, 0, 0},
        {"both thresholds", {2, 0, 4, 1}, {}, {5.3f, 5.1f}, 3, 0, 1, 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingSurface s(6900, 3000, 15);
        DrawHistogram(s, {5.0, 0.1, c.whole}, {5.0, 0.1, c.part}, c.th, ",");
        const auto boxes = s.Of(Primitive::Box), lines = s.Of(Primitive::Line);
        EXPECT_EQ(Count(boxes, kWholeBar), c.wholeBars);
        EXPECT_EQ(Count(boxes, kPartBar), c.partBars);
        EXPECT_EQ(Count(lines, kMinAllowedLine), c.minimumLines);
        EXPECT_EQ(Count(lines, kNominalLine), c.nominalDashes);
        EXPECT_EQ(s.lineWidth, 1);
        if (c.whole.empty()) {
            EXPECT_EQ(s.Texts(), std::vector<std::string>{"Нет измерений"});
        }
    }
}

TEST(Histogram, BarHeightsFollowThePeakAndThresholdsAreLabelled) {
    RecordingSurface s(6900, 3000, 15);
    DrawHistogram(s, {5.0, 0.1, {2, 0, 4, 1}}, {5.0, 0.1, {0, 0, 3, 0}}, {0.0f, 5.1f}, ",");
    const auto boxes = s.Of(Primitive::Box);
    ASSERT_EQ(boxes.size(), 4u);
    const double full = boxes[1].y2 - boxes[1].y1;  // the peak: 4 readings
    EXPECT_NEAR(boxes[0].y2 - boxes[0].y1, full / 2, 1);
    EXPECT_NEAR(boxes[3].y2 - boxes[3].y1, full * 3 / 4, 1);  // the marked 3 of the peak's bin
    const auto texts = s.Texts();
    EXPECT_EQ(texts.front(), "Измерений: 4 в столбце 0,1 мм");
    EXPECT_NE(std::find(texts.begin(), texts.end(), "5,10"), texts.end());
}

}  // namespace
}  // namespace ws
