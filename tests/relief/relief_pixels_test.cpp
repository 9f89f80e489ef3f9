// The relief drawn with polygons written straight into the picture is, pixel for pixel, the
// relief drawn by the painter polygon by polygon: over the samples, a long set with points
// without contact, every zoom step, the angle bounds, both spacings and a hidden trace.
#include <QImage>
#include <QtTest>
#include <cmath>
#include <memory>

#include "data/folder_scan.h"
#include "relief/relief_view.h"
#include "relief_fixture.h"
#include "support/fake_prompter.h"
#include "ui/qt_surface.h"

namespace {

// One view drawing onto its own picture, as the window keeps it.
struct Picture {
    ws::ImageSurface image{8, 8, 96};
    std::unique_ptr<ws::ReliefView> view;
    Picture(const ws::Workspace& workspace, bool direct) {
        image.SetDirectPolygons(direct);
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

}  // namespace

class ReliefPixelsTest : public QObject {
    Q_OBJECT
  private slots:
    void SameAsThePainter_data();
    void SameAsThePainter();
};

void ReliefPixelsTest::SameAsThePainter_data() {
    QTest::addColumn<QString>("set");  // "samples", "long" or "short"
    QTest::addColumn<int>("zoomSteps");
    QTest::addColumn<double>("theta");  // 0: as built
    QTest::addColumn<double>("phi");
    QTest::addColumn<int>("spacingSteps");
    QTest::addColumn<int>("hidden");  // trace hidden, 0 none
    QTest::newRow("samples") << "samples" << 0 << 0.0 << 0.0 << 0 << 0;
    QTest::newRow("samples zoom 8") << "samples" << 3 << 0.0 << 0.0 << 0 << 0;
    QTest::newRow("10 x 4200 zoom 1") << "long" << 0 << 0.0 << 0.0 << 0 << 0;
    QTest::newRow("zoom 2") << "long" << 1 << 0.0 << 0.0 << 0 << 0;
    QTest::newRow("zoom 4") << "long" << 2 << 0.0 << 0.0 << 0 << 0;
    QTest::newRow("zoom 16") << "long" << 4 << 0.0 << 0.0 << 0 << 0;
    QTest::newRow("zoom 64") << "long" << 6 << 0.0 << 0.0 << 0 << 0;
    QTest::newRow("zoom 128") << "long" << 7 << 0.0 << 0.0 << 0 << 0;
    QTest::newRow("theta -10") << "long" << 0 << -10.0 << -110.0 << 0 << 0;
    QTest::newRow("theta -80") << "long" << 0 << -80.0 << -110.0 << 0 << 0;
    QTest::newRow("phi -95") << "long" << 0 << -60.0 << -95.0 << 0 << 0;
    QTest::newRow("phi -170") << "long" << 0 << -60.0 << -170.0 << 0 << 0;
    QTest::newRow("theta -80 phi -170 zoom 16") << "long" << 4 << -80.0 << -170.0 << 0 << 0;
    QTest::newRow("spacing 16") << "long" << 0 << 0.0 << 0.0 << 4 << 0;
    QTest::newRow("spacing 16 zoom 4") << "long" << 2 << 0.0 << 0.0 << 4 << 0;
    QTest::newRow("hidden trace") << "long" << 0 << 0.0 << 0.0 << 0 << 4;
    QTest::newRow("3 x 500") << "short" << 0 << 0.0 << 0.0 << 0 << 0;
    QTest::newRow("3 x 500 zoom 32") << "short" << 5 << -20.0 << -100.0 << 0 << 2;
}

void ReliefPixelsTest::SameAsThePainter() {
    QFETCH(QString, set);
    QFETCH(int, zoomSteps);
    QFETCH(double, theta);
    QFETCH(double, phi);
    QFETCH(int, spacingSteps);
    QFETCH(int, hidden);
    std::unique_ptr<ws::Workspace> workspace = set == "samples" ? Samples()
                                               : set == "long"  ? LongSetWithoutContact()
                                                                : ws::test::MakeReliefSet(3, 500);
    QVERIFY(workspace);
    Picture direct(*workspace, true), painter(*workspace, false);
    for (Picture* p : {&direct, &painter}) {
        ws::ReliefView& v = *p->view;
        QVERIFY(v.BuildRelief());
        for (int i = 0; i < spacingSteps; ++i)
            QVERIFY(v.WiderSpacing());
        if (theta != 0) {
            v.ViewTheta = static_cast<float>(theta);
            v.ViewPhi = static_cast<float>(phi);
        }
        if (hidden > 0)
            v.TraceVisible[hidden] = 0;
        for (int i = 0; i < zoomSteps; ++i)
            QVERIFY(v.ZoomIn());
        v.main();
    }
    QVERIFY(direct.view->PolygonsDrawn > 0);
    QCOMPARE(direct.view->PolygonsDrawn, painter.view->PolygonsDrawn);
    QCOMPARE(Differences(direct.image.Image(), painter.image.Image()), 0);
}

QTEST_MAIN(ReliefPixelsTest)
#include "relief_pixels_test.moc"
