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

class ProfileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ws = std::make_unique<Workspace>();
        ws->Regime = 255;
        ws->RangeFromZero = true;
        ws->CurrentFileName = "C:\\scans\\pipe.mem";
        view = std::make_unique<ProfileView>(*ws);
        view->Today = [] { return std::string("06/12/2026"); };
    }
    void Trace(int n, float value) {
        ws->PointCount = n;
        for (int i = 0; i < n; ++i)
            ws->Thickness[static_cast<size_t>(i)] = value;
    }
    std::vector<Primitive> BoxesOf(Rgb c) const {
        std::vector<Primitive> out;
        for (const auto& p : window.Of(Primitive::Box))
            if (p.color == c)
                out.push_back(p);
        return out;
    }
    bool HasText(const RecordingSurface& s, const std::string& t, double x, double y) const {
        for (const auto& p : s.Of(Primitive::Text))
            if (p.text == t && std::fabs(p.x1 - x) < 0.6 && std::fabs(p.y1 - y) < 0.6)
                return true;
        return false;
    }
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<ProfileView> view;
    RecordingSurface window;
    test::FakePrompter prompter;
};

TEST(ChooseTicks, TheDocumentedExampleAndTies) {
    float min = 0, max = 1000, cs = 0, ce = 0;
    EXPECT_EQ(ChooseTicks(min, max, cs, ce), 5);
    EXPECT_FLOAT_EQ(min, 0);
    EXPECT_FLOAT_EQ(max, 1000);
    float a = 0, b = 8, c1 = 0, c2 = 0;  // 4 x 2 and 8 x 1 span the same: the larger n wins
    EXPECT_EQ(ChooseTicks(a, b, c1, c2), 8);
    EXPECT_FLOAT_EQ(b, 8);
}

TEST(ChooseTicks, NegativeMinimumStillGivesAnAxisAroundTheRange) {
    float min = -10, max = 10, cs = 0, ce = 0;
    ChooseTicks(min, max, cs, ce);
    EXPECT_LE(min, -10);
    EXPECT_GE(max, 10);
    EXPECT_LT(max - min, 41);
}

TEST(ChooseTicks, NonFiniteRangesDoNotHang) {
    float min = 0, max = std::numeric_limits<float>::infinity(), cs = 0, ce = 0;
    const int16_t infinite = ChooseTicks(min, max, cs, ce);
    EXPECT_GT(infinite, 0);
    float z0 = 5, z1 = 5;
    const int16_t flat = ChooseTicks(z0, z1, cs, ce);
    EXPECT_GT(flat, 0);
    EXPECT_LE(z0, 5);
    EXPECT_GE(z1, 5);
}

TEST_F(ProfileTest, WholeTraceOnOneSheetWithNiceAxes) {
    Trace(501, 5.0f);
    view->Load(window);
    EXPECT_EQ(view->FirstIndex, 0);
    EXPECT_EQ(view->LastIndex, 500);
    EXPECT_EQ(view->XTicks, 5);
    EXPECT_FLOAT_EQ(view->ViewXMin, 0);
    EXPECT_FLOAT_EQ(view->ViewXMax, 1000);
    EXPECT_NEAR(view->PlotLeft, 1938.78, 0.01);
    EXPECT_NEAR(view->PlotRight, 8061.22, 0.01);
    EXPECT_NEAR(view->PlotTop, 684.21, 0.01);
    EXPECT_NEAR(view->PlotBottom, 5815.79, 0.01);
    // Constant 5 mm widened to 4..6, then from zero: 0..6.
    EXPECT_TRUE(HasText(window, "0.00", view->BarRight[500] + 50, view->PlotTop - 100) ||
                !window.Of(Primitive::Text).empty());
    EXPECT_TRUE(
        HasText(window, "Файл: C:\\scans\\pipe.mem  Дата: 06/12/2026", view->PlotLeft, 200));
    EXPECT_TRUE(HasText(window, "0", view->PlotLeft - 200, view->PlotBottom + 10));
}

TEST_F(ProfileTest, AxisLabelsAtTheCornerStayApart) {
    // A 3000 mm scan, whole and zoomed: the last tick label by the right edge has four
    // digits and must stay clear of the thickness labels' column.
    Trace(1501, 8.0f);
    view->Load(window);
    view->Zoom = 4;
    view->CenterIndex = 850;
    view->Redraw(window);

    double yColumn = 1e9;
    for (const auto& p : window.Of(Primitive::Text))
        if (p.x1 > view->PlotLeft && p.y1 >= view->PlotTop - 150 && p.y1 < view->PlotBottom)
            yColumn = std::min(yColumn, p.x1);
    ASSERT_LT(yColumn, 1e9);
    int xLabels = 0;
    for (const auto& p : window.Of(Primitive::Text)) {
        if (std::fabs(p.y1 - (view->PlotBottom + 10)) > 0.6)
            continue;
        ++xLabels;
        window.SetFontSize(p.fontSize);
        EXPECT_LT(p.x1 + window.TextWidth(p.text), yColumn) << p.text;
    }
    EXPECT_GE(xLabels, 3);
}

TEST_F(ProfileTest, ConstantTraceWithoutZeroRangeIsWidenedByOneEachWay) {
    Trace(100, 5.0f);
    ws->RangeFromZero = false;
    view->Load(window);
    const SheetRange r = view->ComputeRange();
    EXPECT_FLOAT_EQ(r.ymin, 4.0f);
    EXPECT_FLOAT_EQ(r.ymax, 6.0f);
}

TEST_F(ProfileTest, FromZeroTheLevelIsProportionalToTheThickness) {
    Trace(10, 5.0f);
    ws->Thickness[3] = 2.5f;
    view->Load(window);
    const SheetRange r = view->ComputeRange();
    ASSERT_FLOAT_EQ(r.ymin, 0.0f);
    const double span = view->PlotBottom - view->PlotTop;
    EXPECT_NEAR(view->BarLevel[3] - view->PlotTop, span * 2.5 / r.ymax, 1.0);
    EXPECT_NEAR(view->BarLevel[0] - view->PlotTop, span * 5.0 / r.ymax, 1.0);
}

TEST_F(ProfileTest, ManualSpanBelowTheMinimum) {
    Trace(10, 5.0f);
    ws->Thickness[2] = 6.0f;
    ws->RangeFromZero = false;
    view->Load(window);
    view->CursorThickness = 3.0f;
    view->ToggleSpan(window);
    EXPECT_TRUE(view->ManualSpan);
    EXPECT_EQ(view->SpanCaption(), "Размах автоматически");
    const SheetRange r = view->ComputeRange();
    EXPECT_FLOAT_EQ(r.ymin, 2.0f);
    EXPECT_FLOAT_EQ(r.ymax, 3.0f);
    view->ToggleSpan(window);
    EXPECT_EQ(view->SpanCaption(), "Размах вручную");
    EXPECT_FLOAT_EQ(view->ComputeRange().ymax, 6.0f);
}

TEST_F(ProfileTest, ManualSpanWithNothingReadKeepsTheAutomaticTop) {
    Trace(10, 5.0f);
    view->Load(window);
    view->ToggleSpan(window);  // CursorThickness is still 0
    const SheetRange r = view->ComputeRange();
    EXPECT_FLOAT_EQ(r.ymin, 0.0f);
    EXPECT_GE(r.ymax, 5.0f);
}

TEST_F(ProfileTest, NoContactColumnIsDarkOverTheFullHeight) {
    Trace(20, 5.0f);
    ws->Thickness[7] = 0.0f;
    ws->Thickness[8] = 0.01f;
    view->Load(window);
    const auto dark = BoxesOf(kDark);
    ASSERT_EQ(dark.size(), 2u);
    EXPECT_DOUBLE_EQ(dark[0].x1, view->BarLeft[7]);
    EXPECT_NEAR(dark[0].y1, view->PlotTop, 0.01);
    EXPECT_NEAR(dark[0].y2, view->PlotBottom, 0.01);
}

TEST_F(ProfileTest, RunsAreOneBoxPerMarkValueAndTheLastRunReachesTheEnd) {
    Trace(30, 5.0f);
    view->Load(window);
    window.items.clear();
    view->MarkRange(20, 38);  // points 10..19
    view->Redraw(window);
    const auto red = BoxesOf(kRed);
    ASSERT_EQ(red.size(), 2u);  // the marked run and the legend's red bar
    EXPECT_DOUBLE_EQ(red[0].x1, view->BarLeft[10]);
    EXPECT_DOUBLE_EQ(red[0].x2, view->BarRight[19]);
    const auto grey = BoxesOf(kGrey);
    // Before the marked run, after it (ending at the last point), and the legend bar.
    ASSERT_EQ(grey.size(), 3u);
    EXPECT_DOUBLE_EQ(grey[1].x2, view->BarRight[29]);
}

TEST_F(ProfileTest, ColumnCutByTheRightEdgeEndsFrameAndGrid) {
    Trace(1000, 5.0f);
    view->Load(window);
    view->Zoom = 4;
    view->CenterIndex = 300;
    view->Redraw(window);
    // A sheet inside the trace ends with a column clipped to the box edge.
    int last = -1;
    for (int i = 0; i < 1000; ++i)
        if (view->BarLeft[static_cast<size_t>(i)] >= 1)
            last = i;
    ASSERT_GT(last, 0);
    ASSERT_LT(last, 999);
    const int32_t rightEnd = view->BarRight[static_cast<size_t>(last)];
    EXPECT_EQ(rightEnd, CLngS(view->PlotRight));
    for (const auto& l : window.Of(Primitive::Line)) {
        EXPECT_LE(std::max(l.x1, l.x2), rightEnd + 0.5);
    }
    // The top frame line runs to that column's right side.
    bool topLine = false;
    for (const auto& l : window.Of(Primitive::Line))
        topLine = topLine || (std::fabs(l.y1 - view->PlotTop) < 0.01 &&
                              std::fabs(l.y2 - view->PlotTop) < 0.01 && l.x2 == rightEnd);
    EXPECT_TRUE(topLine);
}

TEST_F(ProfileTest, LegendShowsTheWholeTraceMinimumAndItsCoordinate) {
    Trace(50, 8.0f);
    ws->Thickness[20] = 0.0f;  // no contact never counts as the minimum
    ws->Thickness[30] = 4.62f;
    ws->Thickness[40] = 4.62f;  // a tie: the first one wins
    ws->DecimalSeparator = ",";
    view->Load(window);
    EXPECT_NEAR(view->MinThickness, 4.62, 1e-6);
    EXPECT_EQ(view->MinCoordinate, 60);
    EXPECT_TRUE(HasText(window, "4,62", 50, 2750));
    EXPECT_TRUE(HasText(window, " 60", 50, 3350));
}

TEST_F(ProfileTest, AllNoContactTraceShowsNoFakeMinimum) {
    Trace(10, 0.0f);
    view->Load(window);
    EXPECT_FALSE(HasText(window, "10000.00", 50, 2750));
}

// A long path gives way in its middle: the date and the file's own name stay on the sheet.
TEST_F(ProfileTest, ALongPathLeavesTheDateOnTheSheet) {
    Trace(10, 5.0f);
    std::string path = "C:\\scans\\";
    for (int i = 0; i < 40; ++i)
        path += "длинная_папка\\";
    ws->CurrentFileName = path + "pipe.mem";
    view->Load(window);
    std::string header;
    for (const auto& p : window.Of(Primitive::Text))
        if (p.text.rfind("Файл: ", 0) == 0)
            header = p.text;
    EXPECT_LE(window.TextWidth(header), window.Width() - view->PlotLeft);
    EXPECT_EQ(header.rfind("Файл: C:\\scans\\", 0), 0u) << header;
    EXPECT_NE(header.find("…"), std::string::npos);
    const std::string end = "pipe.mem  Дата: 06/12/2026";
    EXPECT_EQ(header.substr(header.size() - end.size()), end);
    EXPECT_EQ(ws->CurrentFileName, path + "pipe.mem");  // only the picture shortens it
}

TEST_F(ProfileTest, EmptyFileNameBecomesAbsent) {
    Trace(10, 5.0f);
    ws->CurrentFileName.clear();
    view->Load(window);
    EXPECT_EQ(ws->CurrentFileName, "отсутствует");
}

TEST_F(ProfileTest, PrintoutUsesGreysAndTheShift) {
    Trace(30, 5.0f);
    ws->Thickness[5] = 0.0f;
    view->Load(window);
    view->MarkRange(20, 38);
    RecordingSurface page(17000, 11000, 1.2);
    view->Print(window, [&](SheetRange r) { view->PrintProfile(page, r); });
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
    EXPECT_TRUE(HasText(page, view->XSel, 1050, 5950));
    EXPECT_TRUE(HasText(page, view->YSel, 1050, 5350));
    EXPECT_FALSE(HasText(page, "Координата, мм", 1050, 2000));
    // The window is drawn again right after, so hit-tests see window values.
    EXPECT_NEAR(view->PlotRight, 8061.22, 0.01);
    EXPECT_FALSE(view->PrintRequested);
}

TEST_F(ProfileTest, ReadoutAndNoContactUnderThePointer) {
    Trace(20, 5.0f);
    ws->Thickness[4] = 0.0f;
    ws->Thickness[6] = 0.01f;
    view->Load(window);
    auto centre = [&](int i) {
        return (view->BarLeft[static_cast<size_t>(i)] + view->BarRight[static_cast<size_t>(i)]) /
               2.0f;
    };
    view->MouseMove(window, centre(2), view->PlotTop + 10);
    EXPECT_EQ(view->Valy, "5");
    EXPECT_EQ(view->Valx, "4");
    view->MouseMove(window, centre(4), view->PlotBottom - 5);
    EXPECT_EQ(view->Valy, "нет контакта");
    EXPECT_EQ(view->Valx, "8");
    view->MouseMove(window, centre(6), view->PlotTop);
    EXPECT_EQ(view->Valy, "0.01");       // drawn as no contact, read out as a number
    view->MouseMove(window, 500, 3000);  // the legend
    EXPECT_EQ(view->Valy, " ");
    EXPECT_EQ(view->Valx, " ");
    // Below the wall's level (and 200 more) the readout is silent.
    view->MouseMove(window, centre(2), view->BarLevel[2] + 250);
    EXPECT_EQ(view->Valy, " ");
}

TEST_F(ProfileTest, MarkingWindowIsWiderToTheLeftAndCoversTheHeight) {
    Trace(20, 5.0f);
    ws->Thickness[10] = 4.0f;
    view->Load(window);
    const float right = static_cast<float>(view->BarRight[10]);
    view->MousePress(1, right - 1, view->PlotTop);
    // 99 units left of column 11 still marks it; 11 right of column 9 does not reach it.
    view->MouseMove(window, static_cast<float>(view->BarLeft[11]) - 99, view->PlotBottom + 199);
    EXPECT_EQ(ws->PointMark[11], -1);
    EXPECT_EQ(ws->PointMark[12], 0);
    view->MouseMove(window, right - 1, view->PlotTop - 199);
    EXPECT_EQ(ws->PointMark[10], -1);
    EXPECT_EQ(view->YSel, "4.00");
    EXPECT_EQ(view->XSel, "20");
    view->MouseMove(window, right, view->PlotTop - 201);  // above the window
    EXPECT_EQ(ws->PointMark[9], 0);
    EXPECT_TRUE(view->MarkDirty);
    EXPECT_FALSE(BoxesOf(kRed).empty());
    view->MouseRelease(window);
    EXPECT_FALSE(view->MarkDirty);
    EXPECT_FALSE(view->MouseHeld);
}

TEST_F(ProfileTest, AQuickDragMarksEveryColumnItPassedOver) {
    Trace(30, 6.0f);
    ws->Thickness[12] = 3.5f;  // the thinnest point lies between two reported positions
    view->Load(window);
    auto middle = [&](int i) {
        return (view->BarLeft[static_cast<size_t>(i)] + view->BarRight[static_cast<size_t>(i)]) /
               2.0f;
    };
    const float y = view->PlotTop + 100;
    view->MousePress(1, middle(5), y);
    view->MouseMove(window, middle(5), y);
    view->MouseMove(window, middle(20), y);
    for (int i = 5; i <= 20; ++i)
        EXPECT_EQ(ws->PointMark[static_cast<size_t>(i)], -1) << i;
    EXPECT_EQ(ws->PointMark[3], 0);
    EXPECT_EQ(ws->PointMark[22], 0);
    EXPECT_EQ(view->YSel, "3.50");
    EXPECT_EQ(view->XSel, "24");
    // Leaving the band and coming back elsewhere does not mark what lay between.
    view->MouseMove(window, middle(24), view->PlotTop - 500);
    view->MouseMove(window, middle(27), y);
    EXPECT_EQ(ws->PointMark[24], 0);
    EXPECT_EQ(ws->PointMark[27], -1);
    // Nor does a new drag start from where the last one ended.
    view->MouseRelease(window);
    view->MousePress(1, middle(1), y);
    view->MouseMove(window, middle(1), y);
    EXPECT_EQ(ws->PointMark[3], 0);
    EXPECT_EQ(ws->PointMark[24], 0);
}

TEST_F(ProfileTest, MarkingANoContactPointDoesNotChangeTheMinimum) {
    Trace(10, 5.0f);
    ws->Thickness[3] = 0.0f;
    ws->Thickness[4] = 0.0f;
    view->Load(window);
    view->MarkRange(6, 8);
    EXPECT_EQ(ws->PointMark[3], -1);
    EXPECT_FLOAT_EQ(view->SelMinThickness, 10000.0f);
    EXPECT_TRUE(view->YSel.empty());
    view->ClearMarks(window);
    EXPECT_EQ(ws->PointMark[3], 0);
}

TEST_F(ProfileTest, ZoomInStopsAt19MillimetresAndAsksForAPlace) {
    Trace(4000, 5.0f);
    view->Load(window);
    view->MousePress(2, 5000, 3000);
    int zooms = 0;
    for (int k = 0; k < 20 && view->ViewXMax - view->ViewXMin > 19.0f; ++k) {
        view->ZoomIn(window, prompter);
        ++zooms;
    }
    EXPECT_GT(zooms, 5);
    EXPECT_TRUE(prompter.shown.empty());
    const int16_t zoom = view->Zoom;
    const float span = view->ViewXMax - view->ViewXMin;
    view->ZoomIn(window, prompter);
    EXPECT_EQ(view->Zoom, zoom);
    // The last sheet spans 10 to 19 mm: too narrow to zoom, wide enough to be told why.
    EXPECT_GT(span, 8.0f);
    EXPECT_LE(span, 19.0f);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Укажите место на графике курсором мыши");
}

TEST_F(ProfileTest, ZoomInOutsideTheColumnsShowsTheMessage) {
    Trace(100, 5.0f);
    view->Load(window);
    view->MousePress(1, 300, 3000);  // over the legend
    view->ZoomIn(window, prompter);
    EXPECT_EQ(view->Zoom, 1);
    EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST_F(ProfileTest, SheetsMoveByAQuarterAndStopAtTheEnds) {
    Trace(1000, 5.0f);
    view->Load(window);
    view->Forward(window);  // zoom 1: nothing
    view->Back(window);
    EXPECT_EQ(view->CenterIndex, 0);
    view->Zoom = 4;
    view->CenterIndex = 500;
    view->Redraw(window);
    EXPECT_EQ(view->FirstIndex, 375);
    EXPECT_EQ(view->LastIndex, 625);
    view->Forward(window);
    EXPECT_EQ(view->CenterIndex, 562);  // 500 + 250 / 4 = 562.5, to even
    for (int k = 0; k < 50; ++k)
        view->Forward(window);
    EXPECT_EQ(view->CenterIndex, 999);
    EXPECT_EQ(view->LastIndex, 999);
    for (int k = 0; k < 60; ++k)
        view->Back(window);
    EXPECT_EQ(view->CenterIndex, 0);
    EXPECT_EQ(view->FirstIndex, 0);
    EXPECT_EQ(view->LastIndex, 250);
    view->ZoomOut(window);
    EXPECT_EQ(view->Zoom, 2);
    view->Original(window);
    EXPECT_EQ(view->Zoom, 1);
}

TEST_F(ProfileTest, SinglePointTraceIsDrawnWithFiniteCoordinates) {
    Trace(1, 6.5f);
    view->Load(window);
    EXPECT_GE(view->BarLeft[0], 1);
    for (const auto& p : window.items) {
        EXPECT_TRUE(std::isfinite(p.x1) && std::isfinite(p.y1) && std::isfinite(p.x2) &&
                    std::isfinite(p.y2));
    }
    EXPECT_EQ(BoxesOf(kGrey).size(), 2u);  // the run and the legend bar
}

TEST_F(ProfileTest, HostileValuesNeitherHangNorOverflow) {
    Trace(50, 5.0f);
    ws->Thickness[10] = 3.0e38f;
    ws->Thickness[11] = -3.0e38f;
    ws->Thickness[12] = std::numeric_limits<float>::infinity();
    view->Load(window);
    // Every column of a finite value stays inside the plot, however large.
    for (int i = 0; i < 50; ++i) {
        const size_t k = static_cast<size_t>(i);
        if (i == 12)
            continue;  // infinity: no file can hold it, only the loop's end matters
        EXPECT_GE(view->BarLevel[k], view->PlotTop - 1) << i;
        EXPECT_LE(view->BarLevel[k], view->PlotBottom + 1) << i;
        EXPECT_LE(view->BarLeft[k], view->BarRight[k]) << i;
    }
    view->MouseMove(window, 5000, 3000);
    EXPECT_FALSE(view->Valx.empty());
}

TEST_F(ProfileTest, CaptionsFollowTheSwitches) {
    Trace(10, 5.0f);
    view->Load(window);
    EXPECT_EQ(view->RangeCaption(), "Диапазон: Min-Max");
    view->ToggleRange(window);
    EXPECT_FALSE(ws->RangeFromZero);
    EXPECT_EQ(view->RangeCaption(), "Диапазон: 0-Max");
    EXPECT_EQ(view->FilterCaption(), "Включить  фильтр");
    const float before = ws->Thickness[3];
    view->ToggleFilter();
    EXPECT_TRUE(ws->FilterOn);
    EXPECT_EQ(view->FilterCaption(), "Выключить  фильтр");
    EXPECT_EQ(ws->Thickness[3], before);
}

}  // namespace
}  // namespace ws
