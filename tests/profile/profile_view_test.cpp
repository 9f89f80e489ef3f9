#include "profile/profile_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "support/recording_surface.h"

namespace ws {
namespace {

using test::Primitive;
using test::RecordingSurface;

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
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    ProfileView view{*ws};
    RecordingSurface window;
};

TEST_F(ProfileTest, WholeTraceOnOneSheetWithNiceAxes) {
    Load(501, 5.0f);
    EXPECT_EQ(view.LastIndex, 500);
    EXPECT_EQ(window.TextCount("Файл: C:\\scans\\pipe.mem  Дата: 06/12/2026", view.PlotLeft, 200),
              1);
    EXPECT_EQ(window.TextCount("0", view.PlotLeft - 200, view.PlotBottom + 10), 1);
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

TEST_F(ProfileTest, LegendShowsTheWholeTraceMinimumAndItsCoordinate) {
    ws->DecimalSeparator = ",";
    // No contact never counts as the minimum; of a tie the first one wins.
    Load(50, 8.0f, {{20, 0.0f}, {30, 4.62f}, {40, 4.62f}});
    EXPECT_EQ(window.TextCount("4,62", 50, 2750), 1);
    EXPECT_EQ(window.TextCount(" 60", 50, 3350), 1);
    // Nothing but no contact: no minimum at all (not its search bound), and no coordinate.
    window.items.clear();
    Load(10, 0.0f);
    for (const auto& p : window.Of(Primitive::Text)) {
        if (p.x1 == 50 && (p.y1 == 2750 || p.y1 == 3350)) {
            EXPECT_EQ(p.text, "");
        }
    }
}

// Points without contact (0.01 mm and less) are dark columns over the full height.
TEST_F(ProfileTest, NoContactColumnsAndTheReadoutUnderThePointer) {
    Load(20, 5.0f, {{4, 0.0f}, {6, 0.01f}});
    int dark = 0;
    for (const auto& b : window.Of(Primitive::Box))
        if (b.color == kDark && std::fabs(b.y2 - b.y1 - (view.PlotBottom - view.PlotTop)) < 0.01)
            ++dark;
    EXPECT_EQ(dark, 2);
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
        if (c.valx) {
            EXPECT_EQ(view.Valx, c.valx) << c.x << ", " << c.y;
        }
    }
}

// The pointer marks a column from 100 units left of it to 10 right of it, and from 200 above
// the plot to 200 below it.
TEST_F(ProfileTest, MarkingWindowIsWiderToTheLeftAndCoversTheHeight) {
    Load(20, 5.0f, {{10, 4.0f}});
    const float left11 = view.BarLeft[11], right9 = view.BarRight[9], middle = Middle(10);
    const struct {
        float x, y;
        const char* marked;  // points 9, 10, 11
    } cases[] = {
        {left11 - 99, view.PlotTop, ".xx"},     {left11 - 101, view.PlotTop, ".x."},
        {right9 + 10, view.PlotTop, "xx."},     {right9 + 11, view.PlotTop, ".x."},
        {middle, view.PlotBottom + 199, ".x."}, {middle, view.PlotTop - 201, "..."},
    };
    for (const auto& c : cases) {
        view.ClearMarks(window);
        view.MousePress(1, c.x, c.y);
        view.MouseMove(window, c.x, c.y);
        std::string marked;
        for (int i : {9, 10, 11})
            marked += ws->PointMark[static_cast<size_t>(i)] != 0 ? 'x' : '.';
        EXPECT_EQ(marked, c.marked) << c.x << ", " << c.y;
        view.MouseRelease(window);
    }
}

TEST_F(ProfileTest, SheetsMoveByAQuarterAndStopAtTheEnds) {
    Load(1000, 5.0f);
    view.Zoom = 4;
    view.CenterIndex = 500;
    view.Redraw(window);
    view.Forward(window);
    EXPECT_EQ(view.CenterIndex, 562);  // 500 + 250 / 4 = 562.5, to even
    for (int k = 0; k < 50; ++k)
        view.Forward(window);
    EXPECT_EQ(view.LastIndex, 999);
    for (int k = 0; k < 60; ++k)
        view.Back(window);
    EXPECT_EQ(view.FirstIndex, 0);
}

}  // namespace
}  // namespace ws
