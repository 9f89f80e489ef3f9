// The relief drawn straight into the picture's pixels against the painter drawing the same
// polygons one call at a time: same pixels over a long set with points without contact, every
// zoom step, the angle bounds, both spacings and a hidden trace. At the larger zooms the faces
// reach far past the picture and the rows are split between two threads.
#include <QtTest>
#include <cmath>
#include <memory>

#include "relief/relief_view.h"
#include "relief_fixture.h"
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

}  // namespace

class ReliefPixelsTest : public QObject {
    Q_OBJECT
  private slots:
    void SameAsThePainter_data();
    void SameAsThePainter();
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

QTEST_MAIN(ReliefPixelsTest)
#include "relief_pixels_test.moc"
