// The threshold lines on the profile: present only when set, each at its level.

#include <gtest/gtest.h>

#include "profile/threshold_lines.h"
#include "support/recording_surface.h"

namespace ws {
namespace {

using test::Primitive;
using test::RecordingSurface;

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
                EXPECT_EQ(p.x1, 1000);
                EXPECT_EQ(p.x2, 7200);
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

}  // namespace
}  // namespace ws
