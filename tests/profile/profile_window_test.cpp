// Form1 driven through its real controls and mouse, printing into a real PDF.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "profile/profile_window.h"
#include "support/fake_file_picker.h"
#include "support/fake_printer.h"
#include "support/fake_prompter.h"
#include "support/temp_dir.h"
#include "ui/printer.h"
#include "ui/qt_printer.h"

namespace ws {

class ProfileWindowTest : public QObject {
    Q_OBJECT

    struct Fixture {
        std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
        test::FakePrompter prompter;
        test::FakeFilePicker picker;
        test::FakePrinter printer;
        PrintServices print{printer, prompter, picker, &MakePdfPrinter};
        int tableOpened = 0;
        std::unique_ptr<ProfileWindow> window;

        explicit Fixture(int points = 200) {
            ws->Regime = 255;
            ws->PointCount = points;
            ws->CurrentFileName = "pipe.mem";
            for (int i = 0; i < points; ++i)
                ws->Thickness[static_cast<size_t>(i)] = 8.0f - (i % 50 == 0 ? 3.0f : 0.0f);
            ws->PointMark.fill(-1);  // opening must clear these
            ProfileWindow::Hooks hooks;
            hooks.openTable = [this] { ++tableOpened; };
            window = std::make_unique<ProfileWindow>(*ws, prompter, picker, print, hooks);
            window->Load();
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        }
        QWidget* Canvas() { return window->findChild<QWidget*>("Picture"); }
        QAction* Item(int i) {
            return window->findChild<QAction*>(QStringLiteral("mnuViewItem(%1)").arg(i));
        }
        // The pixel position of a column's middle, at a given height in twips.
        QPoint At(int i, double yTwips) {
            const auto& v = window->View();
            const double x =
                (v.BarLeft[static_cast<size_t>(i)] + v.BarRight[static_cast<size_t>(i)]) / 2.0;
            const double upp = window->Picture().UnitsPerPixelX();
            return QPoint(static_cast<int>(x / upp), static_cast<int>(yTwips / upp));
        }
    };

  private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    void dragMarksAcrossColumnsAndPaintsThemRed() {
        Fixture f;
        const double top = f.window->View().PlotTop;
        QWidget* canvas = f.Canvas();
        QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, f.At(40, top + 100));
        for (int i = 40; i <= 60; ++i)
            QTest::mouseMove(canvas, f.At(i, top + 100));
        // While the button is held the columns are red at once.
        const QImage during = f.window->Picture().Image();
        QCOMPARE(during.pixelColor(f.At(45, top + 50)), QColor(255, 0, 0));
        QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, f.At(60, top + 100));
        QCOMPARE(f.ws->PointMark[50], int16_t{-1});
        // The fixture leaves every point marked: opening the window cleared them.
        QCOMPARE(f.ws->PointMark[66], int16_t{0});
        QCOMPARE(f.window->findChild<QLabel*>("YSel")->text(), QStringLiteral("5.00"));
    }

    void rightClickPopsUpTheViewMenu() {
        Fixture f;
        QMenu* menu = f.window->findChild<QMenu*>("mnuView");
        QTest::mouseClick(f.Canvas(), Qt::RightButton, Qt::NoModifier, f.At(100, 3000));
        QTRY_VERIFY(menu->isVisible());
        menu->hide();
        // "Увеличить" zooms at the point that was right-clicked.
        f.Item(0)->trigger();
        QCOMPARE(f.window->View().Zoom, int16_t{2});
        // The first column whose widened hit box holds the click: a column or two left of it.
        const int16_t centre = f.window->View().CenterIndex;
        QVERIFY(centre >= 97 && centre <= 100);
        QTest::mouseClick(f.window->findChild<QToolButton*>("Forward"), Qt::LeftButton);
        QVERIFY(f.window->View().CenterIndex > centre);
        QTest::mouseClick(f.window->findChild<QToolButton*>("Back"), Qt::LeftButton);
        QCOMPARE(f.window->View().CenterIndex, centre);
        f.Item(4)->trigger();
        QCOMPARE(f.tableOpened, 1);
    }

    // On the default printer nothing is asked and the window's picture stays exactly as it was
    // (text no heavier); the way to a PDF without a printer is the printing module's own.
    // "PNG" saves the picture.
    void printOnThePrinterAndSaveAPng() {
        Fixture f;
        f.window->View().MarkRange(80, 120);
        f.window->View().Redraw(f.window->Picture());
        const QImage before = f.window->Picture().Image().copy();
        f.window->findChild<QAction*>("mnuFileItem(0)")->trigger();
        QCOMPARE(f.window->Picture().Image(), before);
        QCOMPARE(f.printer.documents, 1);
        QVERIFY(f.printer.landscape);
        QVERIFY(f.prompter.shown.empty());
        test::TempDir dir;
        const std::string png = dir.File("sheet.png");
        f.picker.answers = {png};
        f.window->SavePngClick();
        QCOMPARE(QImage(QString::fromStdString(png)).size(), f.Canvas()->size());
    }
};

}  // namespace ws

QTEST_MAIN(ws::ProfileWindowTest)
#include "profile_window_test.moc"
