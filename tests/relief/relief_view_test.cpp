#include "relief/relief_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "relief_fixture.h"
#include "support/recording_surface.h"

namespace ws {
namespace {

using test::MakeReliefSet;
using test::Primitive;
using test::RecordingSurface;

// A view over a recording canvas the size of its window.
struct Rig {
    explicit Rig(std::unique_ptr<Workspace> w, double width = 15000, double height = 9000)
        : ws(std::move(w)), surface(width, height, 15), view(*ws) {
        view.Frame.Picture1Width = width;
        view.Frame.Picture1Height = height;
        view.SetCanvas(&surface);
    }
    std::unique_ptr<Workspace> ws;
    RecordingSurface surface;
    ReliefView view;
};

int CountPolygons(const RecordingSurface& s, Rgb pen, std::optional<Rgb> brush = std::nullopt) {
    int n = 0;
    for (const auto& p : s.Of(Primitive::Polygon))
        if (p.color == pen && (!brush || p.brush == *brush))
            ++n;
    return n;
}

TEST(ReliefProjection, CoefOfZeroAnglesAndZeroDepthPoint) {
    auto ws = MakeReliefSet(1, 10);
    ReliefView v(*ws);
    v.coef(1000, 0, 0);
    const std::array<float, 9> expected{0, -1, 0, 1, 0, 0, 0, -1, 1000};
    for (int i = 0; i < 9; ++i)
        EXPECT_FLOAT_EQ(v.ViewMatrix[i] + 0.0f, expected[i]) << "m" << i + 1;
}

// Each command as often as it takes to reach its bound, and once more.
TEST(ReliefView, AngleAndZoomBounds) {
    Rig r(MakeReliefSet(3, 200));
    ASSERT_TRUE(r.view.BuildRelief());
    const struct {
        bool theta;
        float start, step;
        int times;
        float want;
    } cases[] = {
        {true, -60, -10, 3, -80}, {true, -60, 10, 6, -10},  {false, -110, -3, 21, -170},
        {false, -110, 3, 4, -98}, {false, -110, 3, 6, -95},
    };
    for (const auto& c : cases) {
        float& angle = c.theta ? r.view.ViewTheta : r.view.ViewPhi;
        angle = c.start;
        for (int i = 0; i < c.times; ++i)
            c.theta ? r.view.RotateTheta(c.step) : r.view.RotatePhi(c.step);
        EXPECT_FLOAT_EQ(angle, c.want)
            << (c.theta ? "theta " : "phi ") << c.step << " x " << c.times;
    }
    EXPECT_FALSE(r.view.ZoomOut());
    for (int i = 0; i < 7; ++i)
        EXPECT_TRUE(r.view.ZoomIn());
    EXPECT_FALSE(r.view.ZoomIn());
    EXPECT_EQ(r.view.ZoomFactor, 128);
    // However large the zoomed relief, the canvas stops at 32000 twips.
    EXPECT_LE(r.view.Frame.Width, 32000);
    EXPECT_LE(r.view.Frame.Height, 32000);
}

TEST(ReliefModel, InitialMarkerAndEmptySet) {
    const std::pair<int, int> cases[] = {{1, 1}, {3, 2}, {5, 2}, {7, 4}, {9, 4}, {10, 5}};
    for (auto [n, trace] : cases) {
        Rig r(MakeReliefSet(n, 5));
        ASSERT_TRUE(r.view.BuildRelief());
        EXPECT_EQ(r.view.CurrentTrace, trace) << n << " traces";
        EXPECT_EQ(r.view.CurrentPoint, 2) << "5 x 0.5 rounds half to even";
    }
    Rig empty(MakeReliefSet(0, 0));
    EXPECT_FALSE(empty.view.BuildRelief());
    EXPECT_TRUE(empty.surface.items.empty());
}

TEST(ReliefModel, StatisticsSkipNoContactValuesAndColoursRoundToWholeLevels) {
    auto ws = MakeReliefSet(10, 20);
    for (int j = 0; j < 20; ++j)
        test::SetPoint(*ws, 1, j, j % 2 ? 0.01f : 0.0f);
    test::SetPoint(*ws, 2, 10, 0.005f);
    test::SetPoint(*ws, 2, 11, 3.25f);
    Rig r(std::move(ws));
    ASSERT_TRUE(r.view.BuildRelief());
    EXPECT_EQ(r.view.Legend[1].Min, "—");  // no reading: no minimum, not its search bound
    EXPECT_EQ(r.view.Legend[2].Min, "3.25");
    EXPECT_EQ(ShadeColor(r.view.TraceSideColor[1]), (Rgb{230, 0, 92}));   // 91.8 -> 92
    EXPECT_EQ(ShadeColor(r.view.TraceEdgeColor[4]), (Rgb{178, 107, 0}));  // 178.5 -> 178
}

TEST(ReliefNavigation, WiderSpacingStopsAtSixteenAndShowsEveryTrace) {
    Rig r(MakeReliefSet(4, 30));
    ASSERT_TRUE(r.view.BuildRelief());
    r.view.TraceVisible[2] = 0;
    r.view.CurrentPoint = 3;
    std::vector<int> seen;
    for (int i = 0; i < 5; ++i) {
        r.view.WiderSpacing();
        seen.push_back(r.view.TraceSpacing);
    }
    EXPECT_EQ(seen, (std::vector<int>{2, 4, 8, 16, 16}));
    EXPECT_EQ(r.view.TraceVisible[2], -1);
    EXPECT_EQ(r.view.CurrentPoint, 15);
    r.view.NarrowerSpacing();
    EXPECT_EQ(r.view.TraceSpacing, 8);
}

// Steps and the readout of the point reached on one scene.
TEST(ReliefNavigation, StepsAndReadout) {
    auto ws = MakeReliefSet(2, 100);
    ws->ReliefFileNames[1] = "7.mem";
    test::SetPoint(*ws, 1, 20, 0.001f);
    test::SetPoint(*ws, 1, 21, 4.5f);
    Rig r(std::move(ws));
    ASSERT_TRUE(r.view.BuildRelief());
    const struct {
        int point, trace;
        NavCommand command;
        int wantPoint, wantTrace;
    } cases[] = {
        {80, 1, NavCommand::FastForward, 100, 1}, {79, 1, NavCommand::FastForward, 99, 1},
        {99, 1, NavCommand::Forward, 100, 1},     {100, 1, NavCommand::Forward, 100, 1},
        {15, 1, NavCommand::FastBack, 1, 1},      {1, 1, NavCommand::Back, 1, 1},
        {50, 2, NavCommand::NextFile, 50, 2},     {50, 2, NavCommand::PrevFile, 50, 1},
        {50, 1, NavCommand::PrevFile, 50, 1},
    };
    for (const auto& c : cases) {
        r.view.CurrentPoint = c.point;
        r.view.CurrentTrace = c.trace;
        r.view.Navigate(c.command);
        EXPECT_EQ(r.view.CurrentPoint, c.wantPoint) << c.point << ", " << int(c.command);
        EXPECT_EQ(r.view.CurrentTrace, c.wantTrace) << c.trace << ", " << int(c.command);
    }

    r.view.CurrentTrace = 1;
    r.view.CurrentPoint = 20;
    r.view.Navigate(NavCommand::Forward);  // point 21: index 20
    EXPECT_EQ(r.view.Text1, "нет контакта");
    EXPECT_EQ(r.view.Text3, "7");
    r.view.Navigate(NavCommand::Forward);
    EXPECT_EQ(r.view.Text1, "4.50");
}

// The marker is drawn over what lay there and gives it back when it moves.
TEST(ReliefNavigation, MarkerGivesBackWhatLayUnderIt) {
    Rig m(MakeReliefSet(3, 400));
    ASSERT_TRUE(m.view.BuildRelief());
    m.view.perspective(m.view.X(2, 200), m.view.Y(2, 200) + kTraceWidth / 2, m.view.Z(2, 200));
    const float x = m.view.ScreenX, y = m.view.ScreenY;
    EXPECT_EQ(*m.surface.GetPixel(x + 10, y), (Rgb{250, 250, 250}));
    m.view.Navigate(NavCommand::NextFile);
    EXPECT_EQ(m.view.CurrentTrace, 3);
    EXPECT_EQ(*m.surface.GetPixel(x + 10, y), kWhite);
    EXPECT_EQ(*m.surface.GetPixel(x, y - 20), kWhite);
}

TEST(ReliefRendering, HiddenTraceLeavesAGapButKeepsItsScales) {
    Rig r(MakeReliefSet(3, 30));
    r.view.TraceSpacing = 2;
    ASSERT_TRUE(r.view.BuildRelief());
    r.view.TraceVisible[2] = 0;
    r.surface.items.clear();
    r.view.main();
    const Rgb edge2 = ShadeColor(r.view.TraceEdgeColor[2]);
    const Rgb edge1 = ShadeColor(r.view.TraceEdgeColor[1]);
    EXPECT_EQ(CountPolygons(r.surface, edge2), 0);
    EXPECT_EQ(CountPolygons(r.surface, edge1), 2 * 29 + 1);
    const Rgb fill{200, 200, 250};
    EXPECT_EQ(CountPolygons(r.surface, fill, fill), 6) << "three backdrops and three floors";
    const auto texts = r.surface.Texts();
    // With spacing 2 every trace has its own ticks: three coordinate origins labelled "0".
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "0"), 3);
}

std::string FaceKey(Rgb brush, const std::vector<PixelPoint>& corners) {
    std::string key = std::to_string(brush.r << 16 | brush.g << 8 | brush.b) + ":";
    for (const PixelPoint& c : corners)
        key += " " + std::to_string(c.x) + "," + std::to_string(c.y);
    return key;
}

// The surface against every face built on its own, each corner projected by itself: corners in
// order round the face, end caps on the last node, and a face left out only when it lies wholly
// off the canvas or repeats the face drawn before. A long trace at zoom 1 repeats faces;
// zoomed in, faces straddle the canvas edges.
TEST(ReliefRendering, SurfaceMatchesFacesProjectedCornerByCorner) {
    const int N = 3000;
    Rig r(MakeReliefSet(2, N));
    test::SetPoint(*r.ws, 2, 1500, 0.0f);
    ReliefView& v = r.view;
    ASSERT_TRUE(v.BuildRelief());
    const float W = kTraceWidth;
    auto top = [&v](int k) {
        const auto& c = v.TraceTopColor[k];
        return ShadeColor({double(c[0]), double(c[1]), double(c[2])});
    };
    for (const int zoomSteps : {0, 3}) {
        for (int z = 0; z < zoomSteps; ++z)
            v.ZoomIn();
        r.surface.items.clear();
        v.main();
        const long w = std::lround(r.surface.Width() / v.CanvasUnitsPerPixelX);
        const long h = std::lround(r.surface.Height() / v.CanvasUnitsPerPixelY);
        std::vector<std::string> want;
        auto face = [&](const float(&pts)[4][3], Rgb brush) {
            std::vector<PixelPoint> c;
            for (const auto& p : pts) {
                v.perspective(p[0], p[1], p[2]);
                c.push_back({int32_t(std::nearbyint(v.ScreenX / v.CanvasUnitsPerPixelX)),
                             int32_t(std::nearbyint(v.ScreenY / v.CanvasUnitsPerPixelY))});
            }
            const auto [minX, maxX] = std::minmax({c[0].x, c[1].x, c[2].x, c[3].x});
            const auto [minY, maxY] = std::minmax({c[0].y, c[1].y, c[2].y, c[3].y});
            const std::string key = FaceKey(brush, c);
            const bool off = maxX < 0 || maxY < 0 || minX >= w || minY >= h;
            if (!off && (want.empty() || want.back() != key))
                want.push_back(key);
        };
        for (int k = 2; k >= 1; --k)
            for (const bool topFace : {true, false})
                for (int i = 2; i <= N; ++i) {
                    const float x0 = v.X(k, i - 1), y0 = v.Y(k, i - 1), z0 = v.Z(k, i - 1);
                    const float x1 = v.X(k, i), y1 = v.Y(k, i), z1 = v.Z(k, i);
                    const float faces[2][4][3] = {
                        {{x0, y0 + W, z0}, {x1, y1 + W, z1}, {x1, y1, z1}, {x0, y0, z0}},
                        {{x0, y0, z0}, {x1, y1, z1}, {x1, y1, 0}, {x0, y0, 0}}};  // top, wall
                    const Rgb fill = topFace ? top(k) : ShadeColor(v.TraceSideColor[k]);
                    face(faces[topFace ? 0 : 1], z0 <= 0.01f || z1 <= 0.01f ? kBlack : fill);
                }
        for (int k = 2; k >= 1; --k) {
            const float x = v.X(k, N), y = v.Y(k, N), z = v.Z(k, N);
            const float cap[4][3] = {{x, y, 0}, {x, y + W, 0}, {x, y + W, z}, {x, y, z}};
            face(cap, top(k));
        }
        EXPECT_LT(want.size(), size_t{2 * 2 * N}) << "the scene must leave faces out";
        std::vector<std::string> drawn;
        for (const auto& p : r.surface.Of(Primitive::Polygon))
            if (!(p.brush == Rgb{200, 200, 250}))  // not a backdrop or floor of the scales
                drawn.push_back(FaceKey(p.brush, p.points));
        EXPECT_EQ(drawn, want) << "zoom steps " << zoomSteps;
    }
}

}  // namespace
}  // namespace ws
