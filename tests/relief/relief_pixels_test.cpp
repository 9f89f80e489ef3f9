// The relief drawn straight into the picture's pixels against the painter drawing the same
// polygons one call at a time: same pixels over a long set with points without contact, every
// zoom step, the angle bounds, both spacings and a hidden trace. And the
// polygons themselves against every corner of every face projected on its own.
#include <QImage>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <memory>

#include "relief/relief_view.h"
#include "relief_fixture.h"
#include "support/recording_surface.h"
#include "ui/qt_surface.h"

namespace {

// Ten traces of 4200 points with single points and a run without contact.
std::unique_ptr<ws::Workspace> LongSetWithoutContact() {
    auto set = ws::test::MakeReliefSet(10, 4200, 9.0f);
    for (int k = 1; k <= 10; ++k)
        for (int j = 0; j < 4200; ++j) {
            float v = 9.0f + 2.5f * std::sin(j / 35.0f + k) + 0.01f * static_cast<float>(j % 7);
            if ((j + 11 * k) % 89 == 0 || (j > 1000 + 40 * k && j < 1010 + 40 * k))
                v = 0;
            ws::test::SetPoint(*set, k, j, v);
        }
    return set;
}

// The view's fields as the commands leave them; 0 angles: as built, hidden 0: none.
void Apply(ws::ReliefView& v, int zoom, float theta, float phi, int hidden, int traces) {
    v.ViewTheta = theta != 0 ? theta : -60.0f;
    v.ViewPhi = phi != 0 ? phi : -110.0f;
    for (int k = 1; k <= traces; ++k)
        v.TraceVisible[k] = k == hidden ? 0 : -1;
    v.ZoomFactor = zoom;
    v.ViewScale = v.BaseScale * static_cast<float>(zoom);
}

// One view drawing onto its own picture, as the window keeps it.
struct Picture {
    ws::ImageSurface image{8, 8, 96};
    std::unique_ptr<ws::ReliefView> view;
    Picture(const ws::Workspace& workspace, bool direct, int spacing) {
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
        view->TraceSpacing = static_cast<int16_t>(spacing);
    }
};

// Every face of every visible trace with each corner projected on its own, then skipped as
// the view skips them: wholly off the canvas, or repeating the face before in its colours.
std::vector<ws::PixelQuad> PerCornerSurface(ws::ReliefView& v, const ws::Workspace& workspace,
                                            int canvasW, int canvasH) {
    auto coord = [](float c) {
        return std::isfinite(c)
                   ? static_cast<int32_t>(std::clamp(std::nearbyint(c), -1.0e8f, 1.0e8f))
                   : 0;
    };
    std::vector<ws::PixelQuad> out;
    auto quad = [&](const float(&pts)[4][3], ws::Rgb pen, ws::Rgb brush) {
        ws::PixelQuad q{};
        for (int c = 0; c < 4; ++c) {
            v.perspective(pts[c][0], pts[c][1], pts[c][2]);
            q.corners[c] = {coord(v.ScreenX / v.CanvasUnitsPerPixelX),
                            coord(v.ScreenY / v.CanvasUnitsPerPixelY)};
        }
        const auto [minX, maxX] =
            std::minmax({q.corners[0].x, q.corners[1].x, q.corners[2].x, q.corners[3].x});
        const auto [minY, maxY] =
            std::minmax({q.corners[0].y, q.corners[1].y, q.corners[2].y, q.corners[3].y});
        if (maxX < 0 || maxY < 0 || minX >= canvasW || minY >= canvasH)
            return;
        q.pen = pen;
        q.brush = brush;
        if (!out.empty() && pen == out.back().pen && brush == out.back().brush &&
            std::equal(q.corners, q.corners + 4, out.back().corners))
            return;
        out.push_back(q);
    };
    const int n = workspace.ReliefFileCount, N = workspace.ReliefMinPoints;
    const float W = ws::kTraceWidth;
    auto top = [&v](int k) {
        const auto& c = v.TraceTopColor[k];
        return ws::ShadeColor({double(c[0]), double(c[1]), double(c[2])});
    };
    for (int k = n; k >= 1; --k) {
        if (!v.TraceVisible[k])
            continue;
        const ws::Rgb side = ws::ShadeColor(v.TraceSideColor[k]);
        const ws::Rgb edge = ws::ShadeColor(v.TraceEdgeColor[k]);
        for (int face = 0; face < 2; ++face)
            for (int i = 2; i <= N; ++i) {
                const float z0 = v.Z(k, i - 1), z1 = v.Z(k, i);
                const float x0 = v.X(k, i - 1), x1 = v.X(k, i), y0 = v.Y(k, i - 1), y1 = v.Y(k, i);
                const bool dead = z1 <= 0.01f || z0 <= 0.01f;
                const float topFace[4][3] = {
                    {x0, y0 + W, z0}, {x1, y1 + W, z1}, {x1, y1, z1}, {x0, y0, z0}};
                const float sideFace[4][3] = {{x0, y0, z0}, {x1, y1, z1}, {x1, y1, 0}, {x0, y0, 0}};
                quad(face == 0 ? topFace : sideFace, edge,
                     dead ? ws::kBlack : (face == 0 ? top(k) : side));
            }
    }
    for (int k = n; k >= 1; --k) {
        if (!v.TraceVisible[k])
            continue;
        const float x = v.X(k, N), y = v.Y(k, N), z = v.Z(k, N);
        const float q[4][3] = {{x, y, 0}, {x, y + W, 0}, {x, y + W, z}, {x, y, z}};
        quad(q, ws::ShadeColor(v.TraceEdgeColor[k]), top(k));
    }
    return out;
}

}  // namespace

class ReliefPixelsTest : public QObject {
    Q_OBJECT
  private slots:
    void SameAsThePainter_data();
    void SameAsThePainter();
    void SharedNodesGiveThePerCornerPolygons();
};

void ReliefPixelsTest::SameAsThePainter_data() {
    QTest::addColumn<int>("spacing");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<float>("theta");
    QTest::addColumn<float>("phi");
    QTest::addColumn<int>("hidden");
    for (int zoom = 1; zoom <= 128; zoom *= 2)
        QTest::addRow("zoom %d", zoom) << 1 << zoom << 0.0f << 0.0f << 0;
    QTest::newRow("theta -10") << 1 << 1 << -10.0f << -110.0f << 0;
    QTest::newRow("theta -80") << 1 << 1 << -80.0f << -110.0f << 0;
    QTest::newRow("phi -95") << 1 << 1 << -60.0f << -95.0f << 0;
    QTest::newRow("phi -170") << 1 << 1 << -60.0f << -170.0f << 0;
    QTest::newRow("both bounds, zoom 16") << 1 << 16 << -80.0f << -170.0f << 0;
    QTest::newRow("hidden trace") << 1 << 1 << 0.0f << 0.0f << 4;
    QTest::newRow("spacing 16") << 16 << 1 << 0.0f << 0.0f << 0;
    QTest::newRow("spacing 16, zoom 4, hidden") << 16 << 4 << 0.0f << 0.0f << 7;
}

void ReliefPixelsTest::SameAsThePainter() {
    QFETCH(int, spacing);
    QFETCH(int, zoom);
    QFETCH(float, theta);
    QFETCH(float, phi);
    QFETCH(int, hidden);
    const auto workspace = LongSetWithoutContact();
    Picture direct(*workspace, true, spacing), painter(*workspace, false, spacing);
    for (Picture* p : {&direct, &painter}) {
        QVERIFY(p->view->BuildRelief());
        Apply(*p->view, zoom, theta, phi, hidden, workspace->ReliefFileCount);
        p->view->main();
    }
    QVERIFY(direct.view->PolygonsDrawn > 0);
    QCOMPARE(direct.view->PolygonsDrawn, painter.view->PolygonsDrawn);
    QCOMPARE(direct.image.Image(), painter.image.Image());
}

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
        const struct {
            int zoom;
            float theta, phi;
            int hidden;
        } states[] = {{1, 0, 0, 0}, {16, 0, 0, 0}, {4, -80, -170, 3}};
        for (const auto& s : states) {
            Apply(v, s.zoom, s.theta, s.phi, s.hidden, workspace->ReliefFileCount);
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
                    ws::PixelQuad q{{}, it->color, it->brush};
                    std::copy(it->points.begin(), it->points.end(), q.corners);
                    drawn.push_back(q);
                }
            const int w = static_cast<int>(std::lround(canvas.Width() / v.CanvasUnitsPerPixelX));
            const int h = static_cast<int>(std::lround(canvas.Height() / v.CanvasUnitsPerPixelY));
            const auto want = PerCornerSurface(v, *workspace, w, h);
            QVERIFY(want.size() > 1000);
            QCOMPARE(drawn.size(), want.size());
            for (size_t i = 0; i < want.size(); ++i)
                if (!std::equal(want[i].corners, want[i].corners + 4, drawn[i].corners) ||
                    !(want[i].pen == drawn[i].pen) || !(want[i].brush == drawn[i].brush))
                    QFAIL(qPrintable(QStringLiteral("zoom %1, spacing %2: polygon %3 differs")
                                         .arg(s.zoom)
                                         .arg(spacing)
                                         .arg(i)));
        }
    }
}

QTEST_MAIN(ReliefPixelsTest)
#include "relief_pixels_test.moc"
