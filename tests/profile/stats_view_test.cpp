// The statistics window's histogram: what is drawn for the readings, the marked part and the
// thresholds.

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
        if (c.whole.empty())
            EXPECT_EQ(s.Texts(), std::vector<std::string>{"Нет измерений"});
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
    EXPECT_DOUBLE_EQ(boxes[3].x1, boxes[1].x1);
    const auto texts = s.Texts();
    EXPECT_EQ(texts.front(), "Измерений: 4 в столбце 0,1 мм");
    EXPECT_NE(std::find(texts.begin(), texts.end(), "5,10"), texts.end());
}

}  // namespace
}  // namespace ws
