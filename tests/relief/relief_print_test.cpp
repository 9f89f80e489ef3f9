#include "relief/relief_print.h"

#include <gtest/gtest.h>


#include "relief_fixture.h"
#include "support/recording_surface.h"

namespace ws {
namespace {

using test::Primitive;
using test::RecordingSurface;

// A relief of `traces` files on a window of 15000 x 9000, its picture of 1000 x 600 pixels
// and the page composed from both.
struct Composed {
    explicit Composed(int traces) : ws(test::MakeReliefSet(traces, 40)), view(*ws) {
        view.Frame.Picture1Width = 15000;
        view.Frame.Picture1Height = 9000;
        view.SetCanvas(&canvas);
        view.BuildRelief();
        pic.pixels = pixels.data();
        pic.widthPx = pic.stridePixels = 1000;
        pic.heightPx = 600;
        pic.unitsPerPixel = 15;
        layout = LayoutReliefPrint(view, pic);
        ComposeReliefPrint(page, view, pic, layout);
    }
    std::unique_ptr<Workspace> ws;
    RecordingSurface canvas{15000, 9000, 15};
    ReliefView view;
    std::vector<uint32_t> pixels = std::vector<uint32_t>(1000 * 600, 0xffffffffu);
    PicturePixels pic;
    PrintLayout layout;
    RecordingSurface page{16000, 12000, 15};
};

// The legend holds five traces a group: the sixth opens a second group with its own headers.
TEST(ReliefPrint, LegendGroupsOfFive) {
    const struct {
        int traces;
        double lastX, lastRow, groups;
    } cases[] = {{5, 1700, 5, 1}, {6, 4700, 1, 2}};
    for (const auto& c : cases) {
        Composed p(c.traces);
        const double top = p.layout.LegendTop;
        EXPECT_DOUBLE_EQ(top, 9000 + 500 - 800);
        const std::string last = "trace" + std::to_string(c.traces);
        EXPECT_EQ(p.page.TextCount(last, c.lastX, 140 * c.lastRow + top + 500), 1) << last;
        EXPECT_EQ(p.page.TextCount("мин."), c.groups);
        EXPECT_EQ(p.page.TextCount("макс."), c.groups);
        EXPECT_EQ(p.page.TextCount("файл", c.groups * 3000 - 1300, top + 450), 1);
    }
}

TEST(ReliefPrint, PictureFirstThenTheLegendAndTheReadout) {
    Composed c(2);
    const auto img = c.page.items.front();
    EXPECT_EQ(img.kind, Primitive::Image);
    EXPECT_LE(img.y2, c.layout.LegendTop + 450) << "the picture stops above the legend";
    EXPECT_EQ(c.page.TextCount(c.view.Text3, 7500, c.layout.LegendTop + 1000), 1)
        << "the marked file";
    // No picture at all (nothing drawn yet): the legend is still written.
    RecordingSurface page(16000, 12000, 15);
    PicturePixels none;
    ComposeReliefPrint(page, c.view, none, LayoutReliefPrint(c.view, none));
    EXPECT_TRUE(page.Of(Primitive::Image).empty());
    EXPECT_EQ(page.TextCount("trace2"), 1);
}

}  // namespace
}  // namespace ws
