// The statistics window beside the profile viewer, driven through its controls, and the
// profile opened from the main window's way in (AppWindows).

#include <QAction>
#include <QLineEdit>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "app/app_windows.h"
#include "profile/profile_window.h"
#include "profile/stats_window.h"
#include "profile/threshold_lines.h"
#include "support/fake_file_picker.h"
#include "support/fake_prompter.h"
#include "support/mem_text.h"
#include "support/temp_dir.h"
#include "support/widgets.h"
#include "survey/survey_archive.h"
#include "ui/qt_surface.h"

namespace ws {

class StatsWindowTest : public QObject {
    Q_OBJECT

    // 300 points of 8 mm with a pit of 5 mm over points 100..109 and no contact at point 200.
    static std::unique_ptr<Workspace> PipeTrace() {
        auto ws = std::make_unique<Workspace>();
        ws->Regime = kRegimeScan;
        ws->PointCount = 300;
        ws->CurrentFileName = "pipe.mem";
        for (int i = 0; i < 300; ++i)
            ws->Thickness[static_cast<size_t>(i)] = i >= 100 && i < 110 ? 5.0f : 8.0f;
        ws->Thickness[200] = 0.0f;
        return ws;
    }

  private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    void followsTheMarkingAndDrawsTheLinesOnTheProfile() {
        auto ws = PipeTrace();
        test::FakePrompter prompter;
        test::FakeFilePicker picker;
        AppWindows windows(*ws, prompter, picker);
        windows.ShowProfile();
        auto* form1 = test::ShownWindow<ProfileWindow>("Form1");
        QVERIFY(form1);
        form1->findChild<QAction*>("mnuViewStats")->trigger();
        auto* stats = test::ShownWindow<StatsWindow>("frmStats");
        QVERIFY(stats);
        QCOMPARE(test::StatsCell(stats, "Точек", 0), QStringLiteral("300"));
        QCOMPARE(test::StatsCell(stats, "Точек", 1), QString());  // nothing marked yet

        // Mark the pit with the mouse on the profile: after the release the column is current.
        QWidget* canvas = form1->findChild<QWidget*>("Picture");
        const auto& v = form1->View();
        const double upp = form1->Picture().UnitsPerPixelX();
        auto at = [&](int i) {
            return QPoint(static_cast<int>((v.BarLeft[i] + v.BarRight[i]) / 2.0 / upp),
                          static_cast<int>((v.PlotTop + 300) / upp));
        };
        QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, at(95));
        QTest::mouseMove(canvas, at(114));
        QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, at(114));
        const auto marked = std::count_if(ws->PointMark.begin(), ws->PointMark.begin() + 300,
                                          [](int16_t m) { return m != 0; });
        QTRY_COMPARE(test::StatsCell(stats, "Точек", 1), QString::number(marked));

        // Thresholds typed in the window: the rows they add (their sums are the statistics
        // tests' business), and the lines on the profile.
        auto* tmin = stats->findChild<QLineEdit*>("txtMinAllowed");
        auto* tnom = stats->findChild<QLineEdit*>("txtNominal");
        test::TypeInto(tnom, QStringLiteral("8"));
        test::TypeInto(tmin, QStringLiteral("6,5"));
        QCOMPARE(test::StatsCell(stats, "Ниже допустимой, точек", 0), QStringLiteral("10"));
        bool magenta = false;
        const QImage& sheet = form1->Picture().Image();
        const int x = static_cast<int>((v.PlotLeft + 500) / upp);
        for (int y = 0; y < sheet.height(); ++y)
            magenta = magenta || sheet.pixel(x, y) == qRgb(255, 0, 255);
        QVERIFY(magenta);

        // A slip of the keyboard is refused and the last good value comes back.
        test::TypeInto(tmin, QStringLiteral("шесть"));
        QCOMPARE(prompter.Texts().back(), std::string("Недопустимое значение"));
        QCOMPARE(tmin->text(), QStringLiteral("6.50"));

        // Clearing the marks empties the marked column.
        form1->findChild<QAction*>("mnuViewItem(3)")->trigger();
        QTRY_COMPARE(test::StatsCell(stats, "Точек", 1), QString());
        windows.CloseAll();
    }

    void thresholdsLiveWithTheObjectWhenThereIsOne() {
        auto ws = PipeTrace();
        test::FakePrompter prompter;
        Thresholds kept{9.0f, 7.0f};
        bool saveWorks = true;
        int saves = 0;
        ThresholdStore store;
        store.load = [&]() -> std::optional<Thresholds> { return kept; };
        store.save = [&](const Thresholds& th) {
            ++saves;
            if (saveWorks)
                kept = th;
            return saveWorks;
        };
        StatsWindow stats(*ws, prompter, store);
        QSignalSpy changed(&stats, &StatsWindow::thresholdsChanged);
        stats.Reload();
        QCOMPARE(stats.findChild<QLineEdit*>("txtNominal")->text(), QStringLiteral("9.00"));
        QCOMPARE(ws->MinAllowedThickness, 7.0f);
        test::TypeInto(stats.findChild<QLineEdit*>("txtMinAllowed"), QStringLiteral("6"));
        QCOMPARE(kept.minAllowed, 6.0f);
        QCOMPARE(changed.count(), 1);
        // A failed write keeps the object's values on screen and in the session.
        saveWorks = false;
        test::TypeInto(stats.findChild<QLineEdit*>("txtMinAllowed"), QStringLiteral("5"));
        QCOMPARE(ws->MinAllowedThickness, 6.0f);
        QCOMPARE(stats.findChild<QLineEdit*>("txtMinAllowed")->text(), QStringLiteral("6.00"));
        QCOMPARE(changed.count(), 1);
        // The same values again: nothing to keep, no redraw.
        test::TypeInto(stats.findChild<QLineEdit*>("txtMinAllowed"), QStringLiteral("6.00"));
        QCOMPARE(saves, 2);
    }

    void theProgramKeepsThemWithTheArchiveObjectOfTheEntry() {
        test::TempDir dir;
        const std::string mem = dir.Write("in/a.mem", test::MemText(255, {"8.00", "7.00"}));
        SurveyArchive archive;
        QVERIFY(archive.Open(dir.File("archive")).Ok);
        QCOMPARE(archive.Import({mem}).Added, 1);
        const int64_t id = archive.List().at(0).Id;
        EntryDescription d;
        d.Object = "Резервуар 7";
        d.InspectedOn = "2026-12-07";
        QVERIFY(archive.Describe(id, d));
        const int64_t object = archive.FindObject("Резервуар 7")->Id;
        QVERIFY(archive.SetObjectThresholds(object, 10.0, 7.0));

        auto ws = PipeTrace();
        ws->NominalThickness = 3.0f;
        test::FakePrompter prompter;
        test::FakeFilePicker picker;
        AppWindows windows(*ws, prompter, picker);
        // A trace without an entry: the session keeps them.
        windows.SetArchive(&archive);
        QVERIFY(!windows.ObjectThresholds().load());
        ws->ArchiveEntryId = id;
        const ThresholdStore store = windows.ObjectThresholds();
        QCOMPARE(store.load(), std::optional<Thresholds>(Thresholds{10.0f, 7.0f}));
        QVERIFY(store.save({11.0f, 0.0f}));
        const auto kept = archive.FindObject("Резервуар 7");
        QCOMPARE(kept->NominalMm, std::optional<double>(11.0));
        QVERIFY(!kept->MinAllowedMm.has_value());  // 0 clears it
        // The profile of that trace is drawn with the object's thresholds from the start.
        ws->NominalThickness = 3.0f;
        windows.ShowProfile();
        QCOMPARE(ws->NominalThickness, 11.0f);
        windows.CloseAll();
        windows.SetArchive(nullptr);
    }
};

}  // namespace ws

QTEST_MAIN(ws::StatsWindowTest)
#include "stats_window_test.moc"
