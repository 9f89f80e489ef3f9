// The threshold lines on the profile: present only when set, and then only added on top.

#include <gtest/gtest.h>

#include <memory>

#include "pipe_trace.h"
#include "profile/profile_view.h"
#include "profile/threshold_lines.h"
#include "support/recording_surface.h"

namespace ws {
namespace {

using test::Primitive;
using test::RecordingSurface;

bool Same(const Primitive& a, const Primitive& b) {
    return a.kind == b.kind && a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2 &&
           a.color == b.color && a.brush == b.brush && a.points == b.points && a.text == b.text &&
           a.fontSize == b.fontSize && a.fontName == b.fontName;
}

// Window and paper pictures of the same sheet, with marks, for a given pair of thresholds.
struct Pictures {
    RecordingSurface window{10000, 6500, 15};
    RecordingSurface paper{16000, 11000, 1.2};
};
std::unique_ptr<Pictures> Draw(Thresholds th) {
    auto ws = test::PipeTrace();
    ws->RangeFromZero = true;  // Y axis 0..10 mm
    ws->NominalThickness = th.nominal;
    ws->MinAllowedThickness = th.minAllowed;
    ProfileView view(*ws);
    view.Today = [] { return std::string("07/12/2026"); };
    auto p = std::make_unique<Pictures>();
    view.Load(p->window);
    view.MarkRange(190, 230);
    view.Print(p->window, [&](SheetRange r) { view.PrintProfile(p->paper, r); });
    return p;
}

bool IsLine(const Primitive& p) {
    return p.kind != Primitive::Clear && (p.color == kMinAllowedLine || p.color == kNominalLine);
}

TEST(ThresholdLines, UnsetThresholdsLeaveBothPicturesUntouched) {
    // Without thresholds nothing is drawn in the lines' colours; with them, taking the lines
    // and their labels away gives back the same pictures primitive by primitive: the lines
    // only ever add to the sheet, on the window and on paper.
    const auto plain = Draw({0.0f, 0.0f});
    const auto lined = Draw({8.0f, 6.0f});
    for (auto [a, b] :
         {std::pair{&plain->window, &lined->window}, std::pair{&plain->paper, &lined->paper}}) {
        for (const auto& p : a->items)
            EXPECT_FALSE(IsLine(p));
        std::vector<Primitive> rest;
        size_t lines = 0;
        for (size_t k = 0; k < b->items.size(); ++k) {
            const Primitive& p = b->items[k];
            // A label's white patch comes right before its text.
            const bool patch = p.kind == Primitive::Box && p.color == kWhite &&
                               k + 1 < b->items.size() && IsLine(b->items[k + 1]) &&
                               b->items[k + 1].kind == Primitive::Text;
            if (IsLine(p) || patch)
                ++lines;
            else
                rest.push_back(p);
        }
        EXPECT_GT(lines, 2u);
        ASSERT_EQ(rest.size(), a->items.size());
        for (size_t i = 0; i < rest.size(); ++i)
            EXPECT_TRUE(Same(rest[i], a->items[i])) << "item " << i;
    }
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
