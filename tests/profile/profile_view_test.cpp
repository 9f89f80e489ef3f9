#include "profile/profile_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "support/fake_prompter.h"
#include "support/recording_surface.h"

namespace ws {
namespace {

using test::Primitive;
using test::RecordingSurface;

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGrey{192, 192, 192};
constexpr Rgb kLight{216, 216, 216};
constexpr Rgb kDark{100, 100, 100};

struct TicksCase {
    float min, max;
    int16_t ticks;
    float axisMin, axisMax;
};

TEST(ChooseTicks, RoundsTheRangeOutToNiceSteps) {
    const float inf = std::numeric_limits<float>::infinity();
    const TicksCase cases[] = {
        {0, 1000, 5, 0, 1000},
        // 4 x 2 and 8 x 1 span the same: the larger n wins.
        {0, 8, 8, 0, 8},
        {-10, 10, 4, -10, 10},  // below zero: still an axis around the range
        {5, 5, 4, 5, 5},        // nothing to divide, and no loop that hangs
        {0, inf, 4, 0, inf},
    };
    for (const auto& c : cases) {
        float min = c.min, max = c.max, carryStart = 0, carryEnd = 0;
        EXPECT_EQ(ChooseTicks(min, max, carryStart, carryEnd), c.ticks) << c.min << ".." << c.max;
        EXPECT_FLOAT_EQ(min, c.axisMin) << c.min << ".." << c.max;
        EXPECT_FLOAT_EQ(max, c.axisMax) << c.min << ".." << c.max;
    }
}

class ProfileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ws->Regime = kRegimeScan;
        ws->RangeFromZero = true;
        ws->CurrentFileName = "C:\\scans\\pipe.mem";
        view.Today = [] { return std::string("06/12/2026"); };
    }
    // A trace of `n` equal points, loaded into the window.
    void Load(int n, float value, std::initializer_list<std::pair<int, float>> others = {}) {
        ws->PointCount = n;
        for (int i = 0; i < n; ++i)
            ws->Thickness[static_cast<size_t>(i)] = value;
        for (auto [i, v] : others)
            ws->Thickness[static_cast<size_t>(i)] = v;
        view.Load(window);
    }
    float Middle(int i) const {
        return (view.BarLeft[static_cast<size_t>(i)] + view.BarRight[static_cast<size_t>(i)]) /
               2.0f;
    }
    std::vector<Primitive> BoxesOf(Rgb c) const {
        std::vector<Primitive> out;
        for (const auto& p : window.Of(Primitive::Box))
            if (p.color == c)
                out.push_back(p);
        return out;
    }
    static bool HasText(const RecordingSurface& s, const std::string& t, double x, double y) {
        for (const auto& p : s.Of(Primitive::Text))
            if (p.text == t && std::fabs(p.x1 - x) < 0.6 && std::fabs(p.y1 - y) < 0.6)
                return true;
        return false;
    }
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    ProfileView view{*ws};
    RecordingSurface window;
    test::FakePrompter prompter;
};

TEST_F(ProfileTest, WholeTraceOnOneSheetWithNiceAxes) {
    Load(501, 5.0f);
    EXPECT_EQ(view.FirstIndex, 0);
    EXPECT_EQ(view.LastIndex, 500);
    EXPECT_EQ(view.XTicks, 5);
    EXPECT_FLOAT_EQ(view.ViewXMin, 0);
    EXPECT_FLOAT_EQ(view.ViewXMax, 1000);
    EXPECT_NEAR(view.PlotLeft, 1938.78, 0.01);
    EXPECT_NEAR(view.PlotRight, 8061.22, 0.01);
    EXPECT_NEAR(view.PlotTop, 684.21, 0.01);
    EXPECT_NEAR(view.PlotBottom, 5815.79, 0.01);
    EXPECT_TRUE(HasText(window, "Файл: C:\\scans\\pipe.mem  Дата: 06/12/2026", view.PlotLeft, 200));
    EXPECT_TRUE(HasText(window, "0", view.PlotLeft - 200, view.PlotBottom + 10));
}

TEST_F(ProfileTest, AxisLabelsAtTheCornerStayApart) {
    // A 3000 mm scan, zoomed: the last tick label by the right edge has four digits and must
    // stay clear of the thickness labels' column.
    Load(1501, 8.0f);
    view.Zoom = 4;
    view.CenterIndex = 850;
    view.Redraw(window);
    double yColumn = 1e9;
    for (const auto& p : window.Of(Primitive::Text))
        if (p.x1 > view.PlotLeft && p.y1 >= view.PlotTop - 150 && p.y1 < view.PlotBottom)
            yColumn = std::min(yColumn, p.x1);
    ASSERT_LT(yColumn, 1e9);
    int xLabels = 0;
    for (const auto& p : window.Of(Primitive::Text)) {
        if (std::fabs(p.y1 - (view.PlotBottom + 10)) > 0.6)
            continue;
        ++xLabels;
        window.SetFontSize(p.fontSize);
        EXPECT_LT(p.x1 + window.TextWidth(p.text), yColumn) << p.text;
    }
    EXPECT_GE(xLabels, 3);
}

struct RangeCase {
    const char* name;
    bool fromZero;
    float bump;        // point 2 of a trace of 5 mm
    float pointer;     // the thickness under the pointer when the span is switched
    int spanSwitches;  // how often "Размах" is chosen
    float ymin, ymax;
};

TEST_F(ProfileTest, ThicknessRange) {
    const RangeCase cases[] = {
        {"constant, widened by one each way", false, 5, 0, 0, 4, 6},
        {"manual span below the minimum", false, 6, 3, 1, 2, 3},
        {"manual span switched off again", false, 6, 3, 2, 5, 6},
        {"manual span with nothing read keeps the automatic top", true, 6, 0, 1, 0, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ws->RangeFromZero = c.fromZero;
        view.ManualSpan = false;
        Load(10, 5.0f, {{2, c.bump}});
        view.CursorThickness = c.pointer;
        for (int k = 0; k < c.spanSwitches; ++k)
            view.ToggleSpan(window);
        const SheetRange r = view.ComputeRange();
        EXPECT_FLOAT_EQ(r.ymin, c.ymin);
        EXPECT_FLOAT_EQ(r.ymax, c.ymax);
    }
}

TEST_F(ProfileTest, FromZeroTheLevelIsProportionalToTheThickness) {
    Load(10, 5.0f, {{3, 2.5f}});
    const SheetRange r = view.ComputeRange();
    ASSERT_FLOAT_EQ(r.ymin, 0.0f);
    const double span = view.PlotBottom - view.PlotTop;
    EXPECT_NEAR(view.BarLevel[3] - view.PlotTop, span * 2.5 / r.ymax, 1.0);
    EXPECT_NEAR(view.BarLevel[0] - view.PlotTop, span * 5.0 / r.ymax, 1.0);
}

TEST_F(ProfileTest, RunsAreOneBoxPerMarkValueAndTheLastRunReachesTheEnd) {
    Load(30, 5.0f);
    window.items.clear();
    view.MarkRange(20, 38);  // points 10..19
    view.Redraw(window);
    const auto red = BoxesOf(kRed);
    ASSERT_EQ(red.size(), 2u);  // the marked run and the legend's red bar
    EXPECT_DOUBLE_EQ(red[0].x1, view.BarLeft[10]);
    EXPECT_DOUBLE_EQ(red[0].x2, view.BarRight[19]);
    const auto grey = BoxesOf(kGrey);
    // Before the marked run, after it (ending at the last point), and the legend bar.
    ASSERT_EQ(grey.size(), 3u);
    EXPECT_DOUBLE_EQ(grey[1].x2, view.BarRight[29]);
}

TEST_F(ProfileTest, ColumnCutByTheRightEdgeEndsFrameAndGrid) {
    Load(1000, 5.0f);
    view.Zoom = 4;
    view.CenterIndex = 300;
    view.Redraw(window);
    // A sheet inside the trace ends with a column clipped to the box edge.
    int last = -1;
    for (int i = 0; i < 1000; ++i)
        if (view.BarLeft[static_cast<size_t>(i)] >= 1)
            last = i;
    ASSERT_GT(last, 0);
    ASSERT_LT(last, 999);
    const int32_t rightEnd = view.BarRight[static_cast<size_t>(last)];
    EXPECT_EQ(rightEnd, CLngS(view.PlotRight));
    bool topLine = false;  // the top frame line runs to that column's right side
    for (const auto& l : window.Of(Primitive::Line)) {
        EXPECT_LE(std::max(l.x1, l.x2), rightEnd + 0.5);
        topLine =
            topLine || (l.y1 == l.y2 && std::fabs(l.y1 - view.PlotTop) < 0.01 && l.x2 == rightEnd);
    }
    EXPECT_TRUE(topLine);
}

TEST_F(ProfileTest, LegendShowsTheWholeTraceMinimumAndItsCoordinate) {
    ws->DecimalSeparator = ",";
    // No contact never counts as the minimum; of a tie the first one wins.
    Load(50, 8.0f, {{20, 0.0f}, {30, 4.62f}, {40, 4.62f}});
    EXPECT_TRUE(HasText(window, "4,62", 50, 2750));
    EXPECT_TRUE(HasText(window, " 60", 50, 3350));
    // Nothing but no contact: no minimum at all (not its search bound), and no coordinate.
    window.items.clear();
    Load(10, 0.0f);
    for (const auto& p : window.Of(Primitive::Text))
        if (p.x1 == 50 && (p.y1 == 2750 || p.y1 == 3350))
            EXPECT_EQ(p.text, "");
}

TEST_F(ProfileTest, FileNameInTheHeader) {
    // A long path gives way in its middle: the date and the file's own name stay on the sheet.
    std::string path = "C:\\scans\\";
    for (int i = 0; i < 40; ++i)
        path += "длинная_папка\\";
    ws->CurrentFileName = path + "pipe.mem";
    Load(10, 5.0f);
    std::string header;
    for (const auto& p : window.Of(Primitive::Text))
        if (p.text.rfind("Файл: ", 0) == 0)
            header = p.text;
    EXPECT_LE(window.TextWidth(header), window.Width() - view.PlotLeft);
    EXPECT_EQ(header.rfind("Файл: C:\\scans\\", 0), 0u) << header;
    EXPECT_NE(header.find("…"), std::string::npos);
    const std::string end = "pipe.mem  Дата: 06/12/2026";
    EXPECT_EQ(header.substr(header.size() - end.size()), end);
    EXPECT_EQ(ws->CurrentFileName, path + "pipe.mem");  // only the picture shortens it
    // No name at all is written as absent.
    ws->CurrentFileName.clear();
    view.Load(window);
    EXPECT_EQ(ws->CurrentFileName, "отсутствует");
}

TEST_F(ProfileTest, PrintoutUsesGreysAndTheShift) {
    Load(30, 5.0f, {{5, 0.0f}});
    view.MarkRange(20, 38);
    RecordingSurface page(17000, 11000, 1.2);
    view.Print(window, [&](SheetRange r) { view.PrintProfile(page, r); });
    bool marked = false, unmarked = false, dark = false;
    for (const auto& b : page.Of(Primitive::Box)) {
        EXPECT_NE(b.color, kRed);
        marked = marked || (b.color == kGrey && b.x1 > 4000);
        unmarked = unmarked || b.color == kLight;
        dark = dark || b.color == kDark;
    }
    EXPECT_TRUE(marked && unmarked && dark);
    // Paper geometry, shifted by 1000 both ways.
    EXPECT_TRUE(HasText(page, "Минимум", 1050, 3400));
    EXPECT_TRUE(HasText(page, view.XSel, 1050, 5950));
    EXPECT_TRUE(HasText(page, view.YSel, 1050, 5350));
    EXPECT_FALSE(HasText(page, "Координата, мм", 1050, 2000));
    // The window is drawn again right after, so hit-tests see window values.
    EXPECT_NEAR(view.PlotRight, 8061.22, 0.01);
    EXPECT_FALSE(view.PrintRequested);
}

// Points without contact (0.01 mm and less) are dark columns over the full height.
TEST_F(ProfileTest, NoContactColumnsAndTheReadoutUnderThePointer) {
    Load(20, 5.0f, {{4, 0.0f}, {6, 0.01f}});
    const auto dark = BoxesOf(kDark);
    ASSERT_EQ(dark.size(), 2u);
    EXPECT_DOUBLE_EQ(dark[0].x1, view.BarLeft[4]);
    EXPECT_NEAR(dark[0].y1, view.PlotTop, 0.01);
    EXPECT_NEAR(dark[0].y2, view.PlotBottom, 0.01);
    const struct {
        float x, y;
        const char *valy, *valx;
    } cases[] = {
        {Middle(2), view.PlotTop + 10, "5", "4"},
        {Middle(4), view.PlotBottom - 5, "нет контакта", "8"},
        {Middle(6), view.PlotTop, "0.01", "12"},  // drawn as no contact, read out as a number
        {500, 3000, " ", " "},                    // the legend
        // Below the wall's level (and 200 more) the readout is silent.
        {Middle(2), static_cast<float>(view.BarLevel[2]) + 250, " ", nullptr},
    };
    for (const auto& c : cases) {
        view.MouseMove(window, c.x, c.y);
        EXPECT_EQ(view.Valy, c.valy) << c.x << ", " << c.y;
        if (c.valx)
            EXPECT_EQ(view.Valx, c.valx) << c.x << ", " << c.y;
    }
}

// The pointer marks a column from 100 units left of it to 10 right of it, and from 200 above
// the plot to 200 below it.
TEST_F(ProfileTest, MarkingWindowIsWiderToTheLeftAndCoversTheHeight) {
    Load(20, 5.0f, {{10, 4.0f}});
    const float left11 = view.BarLeft[11], right9 = view.BarRight[9], middle = Middle(10);
    const struct {
        float x, y;
        bool nine, ten, eleven;
    } cases[] = {
        {left11 - 99, view.PlotTop, false, true, true},
        {left11 - 101, view.PlotTop, false, true, false},
        {right9 + 10, view.PlotTop, true, true, false},
        {right9 + 11, view.PlotTop, false, true, false},
        {middle, view.PlotBottom + 199, false, true, false},
        {middle, view.PlotTop - 199, false, true, false},
        {middle, view.PlotTop - 201, false, false, false},
    };
    for (const auto& c : cases) {
        view.ClearMarks(window);
        view.MousePress(1, c.x, c.y);
        view.MouseMove(window, c.x, c.y);
        EXPECT_EQ(ws->PointMark[9] != 0, c.nine) << c.x << ", " << c.y;
        EXPECT_EQ(ws->PointMark[10] != 0, c.ten) << c.x << ", " << c.y;
        EXPECT_EQ(ws->PointMark[11] != 0, c.eleven) << c.x << ", " << c.y;
        view.MouseRelease(window);
    }
    view.MousePress(1, middle, view.PlotTop);
    view.MouseMove(window, middle, view.PlotTop);
    EXPECT_EQ(view.YSel, "4.00");
    EXPECT_EQ(view.XSel, "20");
    EXPECT_TRUE(view.MarkDirty);
    EXPECT_FALSE(BoxesOf(kRed).empty());
    view.MouseRelease(window);
    EXPECT_FALSE(view.MarkDirty);
    EXPECT_FALSE(view.MouseHeld);
}

TEST_F(ProfileTest, AQuickDragMarksEveryColumnItPassedOver) {
    Load(30, 6.0f, {{12, 3.5f}});  // the thinnest point lies between two reported positions
    const float y = view.PlotTop + 100;
    view.MousePress(1, Middle(5), y);
    view.MouseMove(window, Middle(5), y);
    view.MouseMove(window, Middle(20), y);
    for (int i = 5; i <= 20; ++i)
        EXPECT_EQ(ws->PointMark[static_cast<size_t>(i)], -1) << i;
    EXPECT_EQ(ws->PointMark[3], 0);
    EXPECT_EQ(ws->PointMark[22], 0);
    EXPECT_EQ(view.YSel, "3.50");
    EXPECT_EQ(view.XSel, "24");
    // Leaving the band and coming back elsewhere does not mark what lay between.
    view.MouseMove(window, Middle(24), view.PlotTop - 500);
    view.MouseMove(window, Middle(27), y);
    EXPECT_EQ(ws->PointMark[24], 0);
    EXPECT_EQ(ws->PointMark[27], -1);
    // Nor does a new drag start from where the last one ended.
    view.MouseRelease(window);
    view.MousePress(1, Middle(1), y);
    view.MouseMove(window, Middle(1), y);
    EXPECT_EQ(ws->PointMark[3], 0);
    EXPECT_EQ(ws->PointMark[24], 0);
}

TEST_F(ProfileTest, MarkingANoContactPointDoesNotChangeTheMinimum) {
    Load(10, 5.0f, {{3, 0.0f}, {4, 0.0f}});
    view.MarkRange(6, 8);
    EXPECT_EQ(ws->PointMark[3], -1);
    EXPECT_FLOAT_EQ(view.SelMinThickness, 10000.0f);
    EXPECT_TRUE(view.YSel.empty());
    view.ClearMarks(window);
    EXPECT_EQ(ws->PointMark[3], 0);
}

TEST_F(ProfileTest, ZoomInStopsAt19MillimetresAndAsksForAPlace) {
    Load(4000, 5.0f);
    view.MousePress(1, 300, 3000);  // over the legend: no column to zoom at
    view.ZoomIn(window, prompter);
    EXPECT_EQ(view.Zoom, 1);
    EXPECT_EQ(prompter.shown.size(), 1u);
    prompter.shown.clear();
    view.MousePress(2, 5000, 3000);
    int zooms = 0;
    for (; zooms < 20 && view.ViewXMax - view.ViewXMin > 19.0f; ++zooms)
        view.ZoomIn(window, prompter);
    EXPECT_GT(zooms, 5);
    EXPECT_TRUE(prompter.shown.empty());
    const int16_t zoom = view.Zoom;
    const float span = view.ViewXMax - view.ViewXMin;
    view.ZoomIn(window, prompter);
    EXPECT_EQ(view.Zoom, zoom);
    // The last sheet spans 10 to 19 mm: too narrow to zoom, wide enough to be told why.
    EXPECT_GT(span, 8.0f);
    EXPECT_LE(span, 19.0f);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Укажите место на графике курсором мыши");
}

TEST_F(ProfileTest, SheetsMoveByAQuarterAndStopAtTheEnds) {
    Load(1000, 5.0f);
    view.Forward(window);  // zoom 1: nothing
    view.Back(window);
    EXPECT_EQ(view.CenterIndex, 0);
    view.Zoom = 4;
    view.CenterIndex = 500;
    view.Redraw(window);
    EXPECT_EQ(view.FirstIndex, 375);
    EXPECT_EQ(view.LastIndex, 625);
    view.Forward(window);
    EXPECT_EQ(view.CenterIndex, 562);  // 500 + 250 / 4 = 562.5, to even
    for (int k = 0; k < 50; ++k)
        view.Forward(window);
    EXPECT_EQ(view.CenterIndex, 999);
    EXPECT_EQ(view.LastIndex, 999);
    for (int k = 0; k < 60; ++k)
        view.Back(window);
    EXPECT_EQ(view.CenterIndex, 0);
    EXPECT_EQ(view.FirstIndex, 0);
    EXPECT_EQ(view.LastIndex, 250);
    view.ZoomOut(window);
    EXPECT_EQ(view.Zoom, 2);
    view.Original(window);
    EXPECT_EQ(view.Zoom, 1);
}

// A single point, and values no gauge gives, still draw every column inside the plot and
// every primitive at a finite place, without hanging.
TEST_F(ProfileTest, DegenerateTracesStayInsideThePlot) {
    const float inf = std::numeric_limits<float>::infinity();
    Load(1, 6.5f);
    EXPECT_GE(view.BarLeft[0], 1);
    EXPECT_EQ(BoxesOf(kGrey).size(), 2u);  // the run and the legend bar
    for (const auto& p : window.items)
        EXPECT_TRUE(std::isfinite(p.x1 + p.y1 + p.x2 + p.y2));
    Load(50, 5.0f, {{10, 3.0e38f}, {11, -3.0e38f}, {12, inf}});
    for (int i = 0; i < 50; ++i) {
        const size_t k = static_cast<size_t>(i);
        if (i == 12)
            continue;  // infinity: no file can hold it, only the loop's end matters
        EXPECT_GE(view.BarLevel[k], view.PlotTop - 1) << i;
        EXPECT_LE(view.BarLevel[k], view.PlotBottom + 1) << i;
        EXPECT_LE(view.BarLeft[k], view.BarRight[k]) << i;
    }
    view.MouseMove(window, 5000, 3000);
    EXPECT_FALSE(view.Valx.empty());
}

}  // namespace
}  // namespace ws
