// The relief as it is drawn now against the way it was drawn before: every corner of every face
// projected on its own and every polygon painted by the painter one call at a time. Same
// polygons, same pixels: over the samples, a long set with points without contact, every zoom
// step, the angle bounds, both spacings and a hidden trace.
#include <QImage>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <memory>

#include "data/folder_scan.h"
#include "relief/relief_view.h"
#include "relief_fixture.h"
#include "support/fake_prompter.h"
#include "support/recording_surface.h"
#include "ui/qt_surface.h"

namespace {

// One view drawing onto its own picture, as the window keeps it.
struct Picture {
    ws::ImageSurface image{8, 8, 96};
    std::unique_ptr<ws::ReliefView> view;
    Picture(const ws::Workspace& workspace, bool direct) {
        image.SetDirectPixels(direct);
        view = std::make_unique<ws::ReliefView>(workspace);
        // A window-sized canvas a little smaller than the benchmark's keeps the test quick.
        view->Frame.Picture1Width = 15000;
        view->Frame.Picture1Height = 8400;
        view->SetCanvas(&image);
        view->OnCanvasResize = [this](double w, double h) {
            const int wPx = static_cast<int>(std::lround(w / image.UnitsPerPixelX()));
            const int hPx = static_cast<int>(std::lround(h / image.UnitsPerPixelY()));
            if (image.Image().width() != wPx || image.Image().height() != hPx)
                image.Resize(wPx, hPx);
        };
    }
};

std::unique_ptr<ws::Workspace> LongSetWithoutContact() {
    auto set = ws::test::MakeReliefSet(10, 4200, 9.0f);
    for (int k = 1; k <= 10; ++k)
        for (int j = 0; j < 4200; ++j) {
            float v = 9.0f + 2.5f * std::sin(j / 35.0f + k) + 0.01f * static_cast<float>(j % 7);
            if ((j + 11 * k) % 89 == 0 || (j > 1000 + 40 * k && j < 1010 + 40 * k))
                v = 0;  // single points and a run without contact
            ws::test::SetPoint(*set, k, j, v);
        }
    return set;
}

std::unique_ptr<ws::Workspace> Samples() {
    auto set = std::make_unique<ws::Workspace>();
    ws::test::FakePrompter prompter;
    if (!ws::ScanFolder(*set, prompter, WALLSCAN_SOURCE_DIR "/share/samples/relief"))
        return nullptr;
    return set;
}

int Differences(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return -1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            n += ra[x] != rb[x];
    }
    return n;
}

// A view of the relief: the commands' fields as the window leaves them.
struct ViewState {
    const char* name;
    int zoom;          // 1..128
    float theta, phi;  // 0: as built
    int hidden;        // trace hidden, 0 none
};

void Apply(ws::ReliefView& v, const ViewState& s, int traces) {
    v.ViewTheta = s.theta != 0 ? s.theta : -60.0f;
    v.ViewPhi = s.phi != 0 ? s.phi : -110.0f;
    for (int k = 1; k <= traces; ++k)
        v.TraceVisible[k] = k == s.hidden ? 0 : -1;
    // As the zoom commands leave it.
    v.ZoomFactor = s.zoom;
    v.ViewScale = v.BaseScale * static_cast<float>(s.zoom);
}

// Draws every state on both pictures and names the first that differs.
void CompareStates(const ws::Workspace& workspace, int spacing,
                   const std::vector<ViewState>& states) {
    Picture direct(workspace, true), painter(workspace, false);
    for (Picture* p : {&direct, &painter}) {
        p->view->TraceSpacing = static_cast<int16_t>(spacing);
        QVERIFY(p->view->BuildRelief());
    }
    for (const ViewState& s : states) {
        for (Picture* p : {&direct, &painter}) {
            Apply(*p->view, s, workspace.ReliefFileCount);
            p->view->main();
        }
        QVERIFY2(direct.view->PolygonsDrawn > 0, s.name);
        QCOMPARE(direct.view->PolygonsDrawn, painter.view->PolygonsDrawn);
        const int diff = Differences(direct.image.Image(), painter.image.Image());
        if (diff != 0)
            QFAIL(qPrintable(QStringLiteral("%1: %2 pixels differ").arg(s.name).arg(diff)));
    }
}

// The surface's polygons the way they were made before nodes were shared: every corner of
// every face through its own projection, then the same skipping of faces off the canvas and
// of a face repeating the one before.
std::vector<ws::PixelQuad> PerCornerSurface(ws::ReliefView& v, const ws::Workspace& workspace,
                                            int canvasW, int canvasH) {
    auto coord = [](float c) {
        if (!std::isfinite(c))
            return 0;
        return static_cast<int32_t>(std::clamp(std::nearbyint(c), -1.0e8f, 1.0e8f));
    };
    std::vector<ws::PixelQuad> out;
    bool lastValid = false;
    ws::PixelQuad last{};
    auto quad = [&](const float(&pts)[4][3], ws::Rgb pen, ws::Rgb brush) {
        ws::PixelQuad q{};
        for (int c = 0; c < 4; ++c) {
            v.perspective(pts[c][0], pts[c][1], pts[c][2]);
            q.corners[c] = {coord(v.ScreenX / v.CanvasUnitsPerPixelX),
                            coord(v.ScreenY / v.CanvasUnitsPerPixelY)};
        }
        int minX = q.corners[0].x, maxX = minX, minY = q.corners[0].y, maxY = minY;
        for (const auto& c : q.corners) {
            minX = std::min(minX, c.x), maxX = std::max(maxX, c.x);
            minY = std::min(minY, c.y), maxY = std::max(maxY, c.y);
        }
        if (maxX < 0 || maxY < 0 || minX >= canvasW || minY >= canvasH)
            return;
        q.pen = pen;
        q.brush = brush;
        if (lastValid && pen == last.pen && brush == last.brush &&
            std::equal(q.corners, q.corners + 4, last.corners))
            return;
        last = q;
        lastValid = true;
        out.push_back(q);
    };
    const int n = workspace.ReliefFileCount, N = workspace.ReliefMinPoints;
    const float W = ws::kTraceWidth;
    for (int k = n; k >= 1; --k) {
        if (!v.TraceVisible[k])
            continue;
        const ws::Rgb top =
            ws::ShadeColor({double(v.TraceTopColor[k][0]), double(v.TraceTopColor[k][1]),
                            double(v.TraceTopColor[k][2])});
        const ws::Rgb side = ws::ShadeColor(v.TraceSideColor[k]);
        const ws::Rgb edge = ws::ShadeColor(v.TraceEdgeColor[k]);
        for (int face = 0; face < 2; ++face)
            for (int i = 2; i <= N; ++i) {
                const float z0 = v.Z(k, i - 1), z1 = v.Z(k, i);
                const float x0 = v.X(k, i - 1), x1 = v.X(k, i), y0 = v.Y(k, i - 1), y1 = v.Y(k, i);
                const bool dead = z1 <= 0.01f || z0 <= 0.01f;
                if (face == 0) {
                    const float q[4][3] = {
                        {x0, y0 + W, z0}, {x1, y1 + W, z1}, {x1, y1, z1}, {x0, y0, z0}};
                    quad(q, edge, dead ? ws::kBlack : top);
                } else {
                    const float q[4][3] = {{x0, y0, z0}, {x1, y1, z1}, {x1, y1, 0}, {x0, y0, 0}};
                    quad(q, edge, dead ? ws::kBlack : side);
                }
            }
    }
    for (int k = n; k >= 1; --k) {
        if (!v.TraceVisible[k])
            continue;
        const ws::Rgb top =
            ws::ShadeColor({double(v.TraceTopColor[k][0]), double(v.TraceTopColor[k][1]),
                            double(v.TraceTopColor[k][2])});
        const ws::Rgb edge = ws::ShadeColor(v.TraceEdgeColor[k]);
        const float x = v.X(k, N), y = v.Y(k, N), z = v.Z(k, N);
        const float q[4][3] = {{x, y, 0}, {x, y + W, 0}, {x, y + W, z}, {x, y, z}};
        quad(q, edge, top);
    }
    return out;
}

const std::vector<ViewState> kZoomSteps = {
    {"zoom 1", 1, 0, 0, 0},   {"zoom 2", 2, 0, 0, 0},     {"zoom 4", 4, 0, 0, 0},
    {"zoom 8", 8, 0, 0, 0},   {"zoom 16", 16, 0, 0, 0},   {"zoom 32", 32, 0, 0, 0},
    {"zoom 64", 64, 0, 0, 0}, {"zoom 128", 128, 0, 0, 0},
};
const std::vector<ViewState> kAngleBounds = {
    {"theta -10", 1, -10, -110, 0},
    {"theta -80", 1, -80, -110, 0},
    {"phi -95", 1, -60, -95, 0},
    {"phi -170", 1, -60, -170, 0},
    {"theta -80, phi -170, zoom 16", 16, -80, -170, 0},
    {"hidden trace", 1, 0, 0, 4},
};

}  // namespace

class ReliefPixelsTest : public QObject {
    Q_OBJECT
  private slots:
    void LongSetEveryZoomStep() { CompareStates(*LongSetWithoutContact(), 1, kZoomSteps); }
    void LongSetAngleBoundsAndHiddenTrace() {
        CompareStates(*LongSetWithoutContact(), 1, kAngleBounds);
    }
    void LongSetWideSpacing() {
        CompareStates(*LongSetWithoutContact(), 16,
                      {{"spacing 16", 1, 0, 0, 0}, {"spacing 16, zoom 4, hidden", 4, 0, 0, 7}});
    }
    void Samples() {
        const auto set = ::Samples();
        QVERIFY(set);
        CompareStates(*set, 1, {{"samples", 1, 0, 0, 0}, {"samples zoom 8", 8, -20, -100, 2}});
    }
    void ShortSet() {
        CompareStates(*ws::test::MakeReliefSet(3, 500), 1,
                      {{"3 x 500", 1, 0, 0, 0}, {"3 x 500 zoom 32", 32, -20, -100, 2}});
    }
    void SharedNodesGiveThePerCornerPolygons();
};

void ReliefPixelsTest::SharedNodesGiveThePerCornerPolygons() {
    const auto workspace = LongSetWithoutContact();
    for (const int spacing : {1, 16}) {
        ws::test::RecordingSurface canvas(23700, 11850, 15);
        ws::ReliefView v(*workspace);
        v.Frame.Picture1Width = 23700;
        v.Frame.Picture1Height = 11850;
        v.SetCanvas(&canvas);
        v.TraceSpacing = static_cast<int16_t>(spacing);
        QVERIFY(v.BuildRelief());
        for (const ViewState& s :
             {ViewState{"zoom 1", 1, 0, 0, 0}, ViewState{"zoom 16", 16, 0, 0, 0},
              ViewState{"bounds", 4, -80, -170, 3}}) {
            Apply(v, s, workspace->ReliefFileCount);
            canvas.items.clear();
            v.main();
            // The surface comes after the scales' last line.
            const auto lastLine =
                std::find_if(canvas.items.rbegin(), canvas.items.rend(),
                             [](const auto& p) { return p.kind == ws::test::Primitive::Line; });
            std::vector<ws::PixelQuad> drawn;
            for (auto it = lastLine.base(); it != canvas.items.end(); ++it)
                if (it->kind == ws::test::Primitive::Polygon) {
                    QCOMPARE(it->points.size(), size_t{4});
                    ws::PixelQuad q{};
                    std::copy(it->points.begin(), it->points.end(), q.corners);
                    q.pen = it->color;
                    q.brush = it->brush;
                    drawn.push_back(q);
                }
            const int w = static_cast<int>(std::lround(canvas.Width() / v.CanvasUnitsPerPixelX));
            const int h = static_cast<int>(std::lround(canvas.Height() / v.CanvasUnitsPerPixelY));
            const auto want = PerCornerSurface(v, *workspace, w, h);
            QVERIFY2(want.size() > 1000, s.name);
            QCOMPARE(drawn.size(), want.size());
            for (size_t i = 0; i < want.size(); ++i)
                if (!std::equal(want[i].corners, want[i].corners + 4, drawn[i].corners) ||
                    !(want[i].pen == drawn[i].pen) || !(want[i].brush == drawn[i].brush))
                    QFAIL(qPrintable(QStringLiteral("%1, spacing %2: polygon %3 differs")
                                         .arg(s.name)
                                         .arg(spacing)
                                         .arg(i)));
        }
    }
}

QTEST_MAIN(ReliefPixelsTest)
#include "relief_pixels_test.moc"
