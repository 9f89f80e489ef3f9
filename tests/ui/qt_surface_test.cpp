// The Qt surfaces: what the windows, the printout and the PNG export really paint.

#include <QFile>
#include <QImage>
#include <QtTest>

#include "support/temp_dir.h"
#include "ui/qt_printer.h"
#include "ui/qt_surface.h"

namespace ws {

class QtSurfaceTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    void twipsMapToPixelsAndReadBack() {
        ImageSurface s(200, 100, 96.0);
        QCOMPARE(s.Width(), 3000.0);
        s.Clear(kWhite);
        s.FilledBox(150, 150, 300, 300, Rgb{255, 0, 0});  // pixels 10..20, both corners inside
        const QImage& img = s.Image();
        QCOMPARE(img.pixel(10, 10), qRgb(255, 0, 0));
        QCOMPARE(img.pixel(20, 20), qRgb(255, 0, 0));
        QCOMPARE(img.pixel(21, 20), qRgb(255, 255, 255));
        // Pixels read back exactly, and nothing is read or written outside.
        QCOMPARE(*s.GetPixel(30, 30), kWhite);
        s.SetForeColor(Rgb{250, 250, 250});
        s.SetPixel(30, 30);
        QCOMPARE(*s.GetPixel(30, 30), (Rgb{250, 250, 250}));
        QVERIFY(!s.GetPixel(-15, 0).has_value());
        QVERIFY(!s.GetPixel(3000, 0).has_value());
        s.SetPixel(99999, 99999);  // outside: ignored, no crash
    }

    // A line's width is in pixels on every surface: 1 is the thin pen, 2 and 3 are that thick.
    void lineWidthsArePixels() {
        for (const int width : {1, 2, 3}) {
            ImageSurface s(40, 40, 96.0);
            s.Clear(kWhite);
            s.SetLineWidth(width);
            s.Line(5 * 15, 20 * 15, 35 * 15, 20 * 15, kBlack);
            int rows = 0;
            for (int y = 10; y < 30; ++y)
                rows += qGray(s.Image().pixel(20, y)) < 128 ? 1 : 0;
            QCOMPARE(rows, width);
        }
    }

    void printMovesLikeALinePrinter() {
        ImageSurface s(400, 200, 96.0);
        s.Clear(kWhite);
        s.SetFont("MS Sans Serif", 8);
        s.MoveTo(300, 150);
        s.Print("Толщина, мм");
        QCOMPARE(s.CurrentX(), 0.0);
        QVERIFY(s.CurrentY() > 150 + 100);
        // Something dark was drawn right of x = 20 px, below y = 10 px.
        const QImage& img = s.Image();
        bool dark = false;
        for (int y = 10; y < 30; ++y)
            for (int x = 20; x < 120; ++x)
                dark = dark || qGray(img.pixel(x, y)) < 128;
        QVERIFY(dark);
    }

    void pdfPrinterWritesAFile() {
        test::TempDir dir;
        const std::string path = dir.File("page.pdf");
        QtPrinter pdf(path);
        QVERIFY(pdf.Available());
        Surface* page = pdf.BeginDocument(true);
        QVERIFY(page);
        QVERIFY(page->Width() > page->Height());  // landscape
        QVERIFY(pdf.EndDocument());
        QVERIFY(QFile::exists(QString::fromStdString(path)));
        // A folder that is not there: no page to draw on.
        QVERIFY(QtPrinter("/nonexistent-folder/page.pdf").BeginDocument(true) == nullptr);
    }
};

}  // namespace ws

QTEST_MAIN(ws::QtSurfaceTest)
#include "qt_surface_test.moc"
