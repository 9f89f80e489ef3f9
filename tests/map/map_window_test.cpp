// The corrosion map window driven through its controls and mouse.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "map/map_window.h"
#include "support/fake_file_picker.h"
#include "support/fake_printer.h"
#include "support/fake_prompter.h"
#include "support/mem_text.h"
#include "support/temp_dir.h"
#include "support/widgets.h"
#include "ui/printer.h"
#include "ui/qt_printer.h"

namespace ws {

class MapWindowTest : public QObject {
    Q_OBJECT

    struct Fixture {
        test::TempDir dir;
        std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
        test::FakePrompter prompter;
        test::FakeFilePicker picker;
        test::FakePrinter printer;
        PrintServices print{printer, prompter, picker, &MakePdfPrinter};
        std::vector<std::pair<std::string, int>> opened;
        std::unique_ptr<MapWindow> window;

        Fixture() {
            // Six scans of 200 points; scan 3 has a pit at 100..110 (points 50..55).
            for (int k = 0; k < 6; ++k) {
                std::vector<float> v(200, 8.0f);
                if (k == 3)
                    for (int i = 50; i <= 55; ++i)
                        v[static_cast<size_t>(i)] = 5.0f;
                dir.Write("scan" + std::to_string(k) + ".mem", test::MemOf(255, v));
            }
            dir.Write("single.mem", test::MemOf(0, {5.0f, 6.0f}));
            ws->NominalThickness = 8.0f;
            ws->MinAllowedThickness = 6.0f;
            MapWindow::Hooks hooks;
            hooks.openScan = [this](const std::string& p, int i) { opened.emplace_back(p, i); };
            window = std::make_unique<MapWindow>(*ws, prompter, picker, print, hooks);
        }
        bool Open() {
            if (!window->Load(dir.str()))
                return false;
            window->show();
            return QTest::qWaitForWindowExposed(window.get());
        }
        QWidget* Canvas() { return window->findChild<QWidget*>("Picture"); }
        // The canvas pixel over a cell's centre.
        QPoint At(int row, int col) {
            const MapLayout l = window->Layout();
            const MapView& v = window->View();
            const double upp = window->Picture().UnitsPerPixelX();
            const double x = l.plotLeft + ((col + 0.5) * 2.0 - v.X0()) / v.MmPerUnit();
            const double y = l.plotTop + ((row + 0.5) * v.Spacing() - v.Y0()) / v.MmPerUnit();
            return QPoint(static_cast<int>(x / upp), static_cast<int>(y / upp));
        }
        // The statistics table's cell in the row of `label`; column 0 is the whole map.
        QString Stat(const char* label, int col) {
            return test::StatsCell(window.get(), label, col);
        }
    };

  private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    // The numbers in the table and the colours of the picture are the model's and the view's
    // (their own tests); here the window shows them with the session's thresholds until other
    // ones are typed into its strip. An empty folder is refused first, with a word of why.
    void opensWithTheSessionThresholdsUntilOthersAreTyped() {
        Fixture f;
        test::TempDir empty;
        QVERIFY(!f.window->Load(empty.str()));
        QVERIFY(f.Open());
        QCOMPARE(f.prompter.Texts(),
                 (std::vector<std::string>{
                     "нет файлов", "Не вошли в карту:\nsingle.mem: не трасса сканирования"}));
        QCOMPARE(f.window->findChild<QLineEdit*>("txtMinAllowed")->text(), QStringLiteral("6.00"));
        QCOMPARE(f.Stat("Ниже допустимой, точек", 0), QStringLiteral("6"));
        QCOMPARE(f.window->Picture().Image().pixel(f.At(3, 52)), qRgb(215, 0, 0));

        const auto type = [&](const char* field, const QString& text) {
            return test::TypeInto(f.window->findChild<QLineEdit*>(field), text);
        };
        type("txtMinAllowed", QStringLiteral("4.5"));
        QCOMPARE(f.Stat("Ниже допустимой, точек", 0), QStringLiteral("0"));
        // The session's values are the object's; the map's strip only changes the map.
        QCOMPARE(f.ws->MinAllowedThickness, 6.0f);
        type("txtSpacing", QStringLiteral("25"));
        // Garbage is refused with a message and the last good value comes back.
        QCOMPARE(type("txtSpacing", QStringLiteral("-3"))->text(), QStringLiteral("25"));
        QCOMPARE(f.prompter.Texts().back(), std::string("Недопустимое значение"));
        QCOMPARE(f.window->View().Spacing(), 25.0);
    }

    // Pointing reads out, a right drag selects, a double click opens that scan at that point.
    void theMouseReadsSelectsAndOpens() {
        Fixture f;
        QVERIFY(f.Open());
        QTest::mouseMove(f.Canvas(), f.At(3, 52));
        auto* readout = f.window->findChild<QLabel*>("lblReadout");
        QTRY_COMPARE(readout->text(), QStringLiteral("scan3.mem   104 мм   5.00 мм"));
        const QPoint from = f.At(2, 40), to = f.At(4, 60);
        QTest::mousePress(f.Canvas(), Qt::RightButton, Qt::NoModifier, from);
        QTest::mouseMove(f.Canvas(), to);
        QTest::mouseRelease(f.Canvas(), Qt::RightButton, Qt::NoModifier, to);
        // Rows 2..4, columns 40..60.
        QTRY_COMPARE(f.Stat("Точек", 1), QStringLiteral("63"));
        QTest::mouseDClick(f.Canvas(), Qt::LeftButton, Qt::NoModifier, f.At(4, 120));
        QCOMPARE(f.opened,
                 (std::vector<std::pair<std::string, int>>{{f.dir.File("scan4.mem"), 120}}));
    }

    void wheelZoomsDragPansAndFitRestores() {
        Fixture f;
        QVERIFY(f.Open());
        const double fitted = f.window->View().MmPerUnit();
        const QPoint p = f.At(3, 52);
        QWheelEvent wheel(QPointF(p), QPointF(f.Canvas()->mapToGlobal(p)), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.Canvas(), &wheel);
        QVERIFY(f.window->View().MmPerUnit() < fitted);
        const double x0 = f.window->View().X0();
        QTest::mousePress(f.Canvas(), Qt::LeftButton, Qt::NoModifier, p);
        QTest::mouseMove(f.Canvas(), p + QPoint(30, 0));
        QTest::mouseRelease(f.Canvas(), Qt::LeftButton, Qt::NoModifier, p + QPoint(30, 0));
        QVERIFY(f.window->View().X0() < x0);
        QTest::mouseClick(f.window->findChild<QPushButton*>("cmdFit"), Qt::LeftButton);
        QCOMPARE(f.window->View().MmPerUnit(), fitted);
    }
};

}  // namespace ws

QTEST_MAIN(ws::MapWindowTest)
#include "map_window_test.moc"
