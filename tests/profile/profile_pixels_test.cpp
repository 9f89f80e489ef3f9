// The profile's boxes written straight into the window's picture give the picture the painter
// gives, box for box: whole sheets at several zooms, marked parts, points without contact,
// thresholds, a drag in progress and boxes reaching past the picture.
#include <QtTest>
#include <memory>

#include "profile/profile_view.h"
#include "ui/qt_surface.h"

namespace {

struct Sheet {
    std::unique_ptr<ws::Workspace> workspace = std::make_unique<ws::Workspace>();
    std::unique_ptr<ws::ProfileView> view;
    ws::ImageSurface picture{587, 433, 96};
    explicit Sheet(bool direct) {
        picture.SetDirectPixels(direct);
        workspace->Regime = 255;
        workspace->PointCount = 4100;
        for (int i = 0; i < 4100; ++i) {
            float v = 8.0f + 0.5f * std::sin(static_cast<float>(i) / 90.0f) +
                      0.05f * static_cast<float>((i * 37) % 11);
            if (i % 301 == 0 || (i > 2500 && i < 2530))
                v = 0;  // no contact
            workspace->Thickness[static_cast<size_t>(i)] = v;
        }
        view = std::make_unique<ws::ProfileView>(*workspace);
        view->Today = [] { return std::string("07/12/2026"); };
        view->Load(picture);
    }
};

}  // namespace

class ProfilePixelsTest : public QObject {
    Q_OBJECT
  private slots:
    void SameAsThePainter_data();
    void SameAsThePainter();
    void BoxesPastThePicture();
};

void ProfilePixelsTest::SameAsThePainter_data() {
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("center");
    QTest::addColumn<double>("markFrom");  // mm; negative: nothing marked
    QTest::addColumn<double>("markTo");
    QTest::addColumn<bool>("fromZero");
    QTest::addColumn<bool>("thresholds");
    QTest::addColumn<bool>("drag");
    QTest::newRow("whole trace") << 1 << 0 << -1.0 << 0.0 << true << false << false;
    QTest::newRow("marked part") << 1 << 0 << 4000.0 << 6000.0 << true << false << false;
    QTest::newRow("min to max, thresholds") << 1 << 0 << 100.0 << 900.0 << false << true << false;
    QTest::newRow("zoom 16") << 16 << 2500 << 4900.0 << 5100.0 << true << false << false;
    QTest::newRow("zoom 256 at the end") << 256 << 4099 << -1.0 << 0.0 << false << true << false;
    QTest::newRow("dragging") << 4 << 1000 << -1.0 << 0.0 << true << false << true;
}

void ProfilePixelsTest::SameAsThePainter() {
    QFETCH(int, zoom);
    QFETCH(int, center);
    QFETCH(double, markFrom);
    QFETCH(double, markTo);
    QFETCH(bool, fromZero);
    QFETCH(bool, thresholds);
    QFETCH(bool, drag);
    Sheet direct(true), painter(false);
    for (Sheet* s : {&direct, &painter}) {
        s->workspace->RangeFromZero = fromZero;
        if (thresholds) {
            s->workspace->NominalThickness = 8.2f;
            s->workspace->MinAllowedThickness = 7.9f;
        }
        if (markFrom >= 0)
            s->view->MarkRange(markFrom, markTo);
        s->view->Zoom = static_cast<int16_t>(zoom);
        s->view->CenterIndex = static_cast<int16_t>(center);
        s->view->Redraw(s->picture);
        if (drag) {
            // Red columns painted under the pointer while the button is held.
            s->view->MousePress(1, 3000, 3000);
            for (float x = 3000; x < 6000; x += 170)
                s->view->MouseMove(s->picture, x, 3000);
        }
    }
    QCOMPARE(direct.picture.Image(), painter.picture.Image());
}

void ProfilePixelsTest::BoxesPastThePicture() {
    // Corners beyond every edge, reversed corners, a box of one pixel: cut the same way. The
    // box over everything comes first, so that no later box hides a pixel written astray.
    ws::ImageSurface direct(40, 30, 96), painter(40, 30, 96);
    painter.SetDirectPixels(false);
    const double boxes[][4] = {{1e9, 1e9, -1e9, -1e9}, {-300, -300, 150, 150},
                               {600, 450, 300, 200},   {450, -90, 900, 1000},
                               {15, 15, 15, 15},       {-5000, 200, 9000, 215}};
    for (ws::ImageSurface* s : {&direct, &painter}) {
        s->Clear(ws::kWhite);
        int i = 0;
        for (const auto& b : boxes) {
            s->FilledBox(b[0], b[1], b[2], b[3], ws::Rgb{static_cast<uint8_t>(40 * i), 90, 200});
            ++i;
        }
    }
    QCOMPARE(direct.Image(), painter.Image());
    QCOMPARE(direct.CurrentX(), 9000.0);  // the current position ends at the second corner
}

QTEST_MAIN(ProfilePixelsTest)
#include "profile_pixels_test.moc"
