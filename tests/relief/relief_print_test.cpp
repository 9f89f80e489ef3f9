#include "relief/relief_print.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "relief_fixture.h"
#include "support/recording_surface.h"

namespace ws {
namespace {

using test::Primitive;
using test::RecordingSurface;

const Primitive* TextAt(const RecordingSurface& s, const std::string& text) {
    for (const auto& p : s.items)
        if (p.kind == Primitive::Text && p.text == text)
            return &p;
    return nullptr;
}

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

TEST(ReliefPrint, LegendOfFiveTracesInOneGroup) {
    Composed c(5);
    EXPECT_DOUBLE_EQ(c.layout.LegendTop, 9000 + 500 - 800);
    EXPECT_DOUBLE_EQ(c.layout.Height, c.layout.LegendTop + 2000);
    const double top = c.layout.LegendTop;
    const Primitive* name5 = TextAt(c.page, "trace5");
    ASSERT_NE(name5, nullptr);
    EXPECT_DOUBLE_EQ(name5->x1, 1700);
    EXPECT_DOUBLE_EQ(name5->y1, 140 * 5 + top + 500);
    const auto texts = c.page.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "мин."), 1);
    const Primitive* head = TextAt(c.page, "файл");
    ASSERT_NE(head, nullptr);
    EXPECT_DOUBLE_EQ(head->y1, top + 450);
    ASSERT_NE(TextAt(c.page, "Толщина, мм"), nullptr);
    EXPECT_EQ(TextAt(c.page, "Толщина, мм")->x1, 6300);
    int readouts = 0;
    for (const auto& p : c.page.Of(Primitive::Text))
        if (p.text == c.view.Text3 && p.x1 == 7500 && p.y1 == top + 1000)
            ++readouts;
    EXPECT_EQ(readouts, 1) << "the marked file in the readout column";
    EXPECT_EQ(c.page.Of(Primitive::Image).size(), 1u);
    EXPECT_EQ(c.page.items.front().kind, Primitive::Image) << "the picture first, then text";
    EXPECT_EQ(c.page.Of(Primitive::Text).front().fontName, "Times New Roman");
}

TEST(ReliefPrint, SixTracesOpenASecondGroup) {
    Composed c(6);
    const double top = c.layout.LegendTop;
    const Primitive* name6 = TextAt(c.page, "trace6");
    ASSERT_NE(name6, nullptr);
    EXPECT_DOUBLE_EQ(name6->x1, 3000 + 1700);
    EXPECT_DOUBLE_EQ(name6->y1, 140 * 1 + top + 500);
    auto texts = c.page.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "мин."), 2);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "макс."), 2);
    int found = 0;
    for (const auto& p : c.page.Of(Primitive::Text))
        if (p.text == "файл" && p.x1 == 4700 && p.y1 == top + 450)
            ++found;
    EXPECT_EQ(found, 1);
}

TEST(ReliefPrint, PictureIsCopiedFromTheCanvasCornerAndClipped) {
    Composed c(2);
    const auto img = c.page.Of(Primitive::Image).front();
    EXPECT_EQ(img.x1, 0);
    EXPECT_EQ(img.y1, 0);
    EXPECT_LE(img.x2, c.layout.Width);
    EXPECT_LE(img.y2, c.layout.LegendTop + 450) << "the picture stops above the legend";
    // No picture at all (nothing drawn yet): the legend is still written.
    RecordingSurface page(16000, 12000, 15);
    PicturePixels none;
    ComposeReliefPrint(page, c.view, none, LayoutReliefPrint(c.view, none));
    EXPECT_TRUE(page.Of(Primitive::Image).empty());
    EXPECT_NE(TextAt(page, "trace2"), nullptr);
}

}  // namespace
}  // namespace ws
