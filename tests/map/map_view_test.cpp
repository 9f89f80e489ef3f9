#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "map/map_view.h"
#include "support/recording_surface.h"

namespace ws {
namespace {

constexpr uint32_t kWhitePx = 0xFFFFFFFFu;

uint32_t Pack(Rgb c) {
    return 0xFF000000u | (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
}

// rows x cols of 8 mm with one pit of 3 mm and one point without contact.
MapModel Survey(int rows, int cols, int pitRow, int pitCol) {
    MapModel m;
    std::vector<float> v(static_cast<size_t>(cols), 8.0f);
    for (int r = 0; r < rows; ++r) {
        std::fill(v.begin(), v.end(), 8.0f);
        if (r == pitRow)
            v[static_cast<size_t>(pitCol)] = 3.0f;
        m.AddRow("s" + std::to_string(r) + ".mem", v.data(), cols);
    }
    return m;
}

TEST(MapView, APitStaysVisibleWhenTheWholeSurveyIsShrunkIntoFewPixels) {
    const MapModel m = Survey(100, 1000, 37, 613);
    MapView view(m);
    view.SetThresholds({8.0f, 6.0f});
    // 2000 mm x 1000 mm into 40 x 20 pixels: 25 x 5 cells per pixel.
    view.Fit(400, 200);
    std::vector<uint32_t> px;
    view.Render(px, 40, 20, 400, 200);
    EXPECT_EQ(std::count(px.begin(), px.end(), Pack(kMapBelowMin)), 1);
}

TEST(MapView, ZoomedInEachCellKeepsItsOwnColourAndShortRowsEndWhite) {
    MapModel m;
    const float a[] = {8.0f, 0.0f, 5.0f, 8.0f};
    const float b[] = {8.0f};
    m.AddRow("a", a, 4);
    m.AddRow("b", b, 1);
    MapView view(m);
    view.SetThresholds({8.0f, 6.0f});
    view.SetSpacing(2.0);  // square cells: 2 mm x 2 mm
    view.Fit(80, 40);      // 8 mm x 4 mm in 80 x 40 units: 10 units per mm
    std::vector<uint32_t> px;
    view.Render(px, 80, 40, 80, 40);
    auto at = [&](int x, int y) { return px[static_cast<size_t>(y * 80 + x)]; };
    // Row b has one point only: white after it.
    EXPECT_EQ(
        (std::array{at(10, 10), at(30, 10), at(50, 10), at(30, 30)}),
        (std::array{view.Scale().Argb(8.0f), Pack(kMapNoContact), Pack(kMapBelowMin), kWhitePx}));
}

TEST(MapView, ZoomKeepsThePointUnderThePointerAndNeitherZoomNorPanLosesTheMap) {
    const MapModel m = Survey(50, 400, -1, 0);
    MapView view(m);
    const MapLayout l = MakeMapLayout(12000, 8000, false);
    view.Fit(l.PlotWidth(), l.PlotHeight());
    // The whole map (800 x 500 mm) lies inside the plot box.
    EXPECT_LE(view.X0(), 0.0);
    EXPECT_GE(view.Y0() + l.PlotHeight() * view.MmPerUnit(), 500.0 - 1e-9);
    const double x = l.plotLeft + 2000, y = l.plotTop + 1500;
    const double along = view.AlongMm(x, l), across = view.AcrossMm(y, l);
    for (double factor : {1.25, 0.8, 4.0}) {
        view.ZoomAt(x, y, factor, l);
        EXPECT_NEAR(view.AlongMm(x, l), along, 1e-6);
        EXPECT_NEAR(view.AcrossMm(y, l), across, 1e-6);
    }
    // Zooming far out stops at twice the fitted view.
    for (int i = 0; i < 50; ++i)
        view.ZoomAt(x, y, 0.5, l);
    EXPECT_LE(view.MmPerUnit(), 2.01 * std::max(800.0 / l.PlotWidth(), 500.0 / l.PlotHeight()));
    // Zoomed in, a pan however far still leaves part of the map in the box.
    view.ZoomAt(x, y, 64, l);
    view.Pan(-1e9, -1e9);
    EXPECT_LT(view.X0(), 800.0);
    view.Pan(1e9, 1e9);
    EXPECT_GT(view.X0() + l.PlotWidth() * view.MmPerUnit(), 0.0);
}

TEST(MapView, HitTestAndRectangleSelection) {
    MapModel m = Survey(5, 20, 2, 7);
    const std::vector<float> shortRow(3, 8.0f);
    m.AddRow("short.mem", shortRow.data(), 3);
    MapView view(m);
    view.SetSpacing(10);
    const MapLayout l = MakeMapLayout(6000, 4000, false);
    view.Fit(l.PlotWidth(), l.PlotHeight());
    auto unitsOf = [&](double alongMm, double acrossMm) {
        return std::pair{l.plotLeft + (alongMm - view.X0()) / view.MmPerUnit(),
                         l.plotTop + (acrossMm - view.Y0()) / view.MmPerUnit()};
    };
    struct Probe {
        double along, across;
        int row, col;  // -1: nothing there
    } probes[] = {{15.0, 25.0, 2, 7},  {39.9, 49.9, 4, 19}, {40.5, 5.0, -1, -1},
                  {5.0, 60.5, -1, -1}, {-1.0, 5.0, -1, -1}, {5.5, 55.0, 5, 2},
                  {6.5, 55.0, -1, -1}};  // past the end of the short row
    for (const auto& p : probes) {
        const auto [x, y] = unitsOf(p.along, p.across);
        const auto cell = view.CellAt(x, y, l);
        const auto found = cell ? std::pair{cell->row, cell->col} : std::pair{-1, -1};
        EXPECT_EQ(found, (std::pair{p.row, p.col})) << p.along << "," << p.across;
    }
    int32_t r0, r1, c0, c1;
    const auto [x1, y1] = unitsOf(13.0, 15.0);
    const auto [x2, y2] = unitsOf(-50.0, 1000.0);
    ASSERT_TRUE(view.CellsIn(x1, y1, x2, y2, l, r0, r1, c0, c1));
    // The pit at column 7 lies just outside.
    EXPECT_EQ((std::array{r0, r1, c0, c1}), (std::array{1, 5, 0, 6}));
}

// The page is the screen's drawing under a title line with the folder, date and thresholds.
TEST(MapView, PageCarriesTheDrawingUnderItsTitleAndLeavesTheViewAlone) {
    MapModel m = Survey(8, 300, 3, 100);
    m.folder = "/surveys/tank 7";
    MapView view(m);
    view.SetThresholds({8.0f, 6.0f});
    view.Fit(1000, 1000);
    const double x0 = view.X0(), mm = view.MmPerUnit();
    test::RecordingSurface page(16000, 11000, 1.2);
    view.DrawPage(page, "07/12/2026");
    const auto texts = page.Texts();
    EXPECT_EQ(texts[0], "Карта толщин: /surveys/tank 7  Дата: 07/12/2026");
    EXPECT_NE(texts[1].find("Мин. допустимая: 6.00 мм"), std::string::npos) << texts[1];
    // Paper is fine-grained: the picture is capped, then scaled up.
    const auto images = page.Of(test::Primitive::Image);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_LE(images[0].points[0].x, 3000);
    EXPECT_EQ(view.X0(), x0);
    EXPECT_EQ(view.MmPerUnit(), mm);
}

TEST(MapView, NiceIntervals) {
    const struct {
        double span;
        int target;
        double step;
    } cases[] = {{1000, 8, 200}, {160, 5, 50}, {8200, 8, 2000}, {0, 5, 1}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(NiceInterval(c.span, c.target), c.step) << c.span;
}

}  // namespace
}  // namespace ws
