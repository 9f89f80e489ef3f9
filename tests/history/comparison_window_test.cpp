// "Сравнение замеров" through its controls, "Сравнить" and "Отчёт..." of the archive window
// through the program's windows, and what the viewer's report of an archived trace is made of.

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "app/app_windows.h"
#include "history/comparison_view.h"
#include "history/comparison_window.h"
#include "report/report_action.h"
#include "support/fake_file_picker.h"
#include "support/fake_prompter.h"
#include "support/processes.h"
#include "support/temp_dir.h"
#include "support/widgets.h"
#include "survey/archive_window.h"
#include "survey/survey_archive.h"

namespace ws {
namespace {

// A wall that never repeats nearby (7.50..8.46 mm), so only the true shift lines it up.
float WallAt(int w) {
    return 7.5f + static_cast<float>(((w * 7919 + 13) % 97 + 97) % 97) / 100.0f;
}

InspectionScan Scan(int start, int n, const char* date) {
    InspectionScan s;
    s.Scan->Regime = kRegimeScan;
    s.Scan->PointCount = n;
    for (int i = 0; i < n; ++i)
        s.Scan->Thickness[static_cast<size_t>(i)] = WallAt(start + i);
    s.InspectedOn = date;
    s.File = std::string("/data/") + date + ".mem";
    return s;
}

int CountColor(ImageSurface& s, Rgb c) {
    // 32-bit rows have no padding, so the pixels can be counted as one run.
    const QImage img = s.Image().convertToFormat(QImage::Format_RGB32);
    const auto* px = reinterpret_cast<const QRgb*>(img.constBits());
    return int(std::count(px, px + img.width() * img.height(), qRgb(c.r, c.g, c.b)));
}

}  // namespace

class ComparisonWindowTest : public QObject {
    Q_OBJECT

  private slots:
    // The figures themselves are CompareScans'; here the window's wiring: the shift found,
    // the spin box applied the right way, both profiles drawn, Авто going back.
    void findsTheShiftAndFollowsTheSpinBox() {
        // The later scan started 37 points further on; a pit 0.6 mm deeper at its point 100.
        InspectionScan later = Scan(37, 300, "2026-05-12");
        later.Scan->Thickness[100] -= 0.6f;
        ComparisonWindow w(Scan(0, 300, "2021-05-12"), later, 6.0, ",");
        w.show();
        auto* shift = w.findChild<QSpinBox*>("spnShift");
        auto* figures = w.findChild<QLabel*>("lblFigures");
        QVERIFY(shift && figures);
        QCOMPARE(shift->value(), -37);
        // In the user's locale: the loss of 0,600 mm.
        QVERIFY2(figures->text().contains("0,600"), qPrintable(figures->text()));
        QVERIFY(CountColor(w.Picture(), kEarlierColor) > 100);
        QVERIFY(CountColor(w.Picture(), kLaterColor) > 100);

        shift->setValue(-36);
        QCOMPARE(w.Result().comparison.shift, -36);
        QVERIFY(figures->text().contains(">264<"));
        QTest::mouseClick(w.findChild<QPushButton*>("cmdAuto"), Qt::LeftButton);
        QCOMPARE(shift->value(), -37);
    }

    void archiveComparesTwoEntriesAndReportsOne() {
        test::TempDir dir;
        SurveyArchive archive;
        QVERIFY(archive.Open(dir.File("archive")).Ok);
        auto file = [&](int start, const char* date) {
            const InspectionScan s = Scan(start, 300, date);
            const int64_t id =
                archive.FileDownload(*s.Scan, {0x01}, DownloadFacts{}, 1700000000 + start).Id;
            archive.Describe(id, {"Трубопровод Т-3", "Участок 7", "Петров", date, ""});
            return id;
        };
        const int64_t later = file(37, "2026-05-12");
        const int64_t earlier = file(0, "2021-05-12");
        QVERIFY(later && earlier);

        auto ws = std::make_unique<Workspace>();
        ws->HomeDir = (test::SourceDir() / "share").string();
        test::FakePrompter prompter;
        test::FakeFilePicker picker;
        AppWindows windows(*ws, prompter, picker);
        std::vector<std::string> opened;
        windows.openDocument = [&](const std::string& path) { opened.push_back(path); };
        windows.SetArchive(&archive);
        windows.ShowArchive(nullptr);
        auto* archiveWindow = test::ShownWindow<ArchiveWindow>("frmArchive");
        QVERIFY(archiveWindow);
        auto* compare = archiveWindow->findChild<QPushButton*>("cmdCompare");
        auto* report = archiveWindow->findChild<QPushButton*>("cmdReport");
        QVERIFY(compare && report);

        // Compare takes two entries; whatever the selection order, the earlier inspection is
        // the earlier scan.
        archiveWindow->SelectEntry(later);
        QVERIFY(!compare->isEnabled());
        archiveWindow->SelectEntry(earlier);
        QTest::mouseClick(compare, Qt::LeftButton);
        auto* shown = test::ShownWindow<ComparisonWindow>("frmCompare");
        QVERIFY(shown);
        QCOMPARE(shown->Result().comparison.shift, -37);

        // "Отчёт..." takes one entry.
        archiveWindow->findChild<QTableView*>("grdEntries")->clearSelection();
        archiveWindow->SelectEntry(later);
        picker.answers.push_back(dir.File("entry.pdf"));
        QTest::mouseClick(report, Qt::LeftButton);
        QCOMPARE(opened, std::vector<std::string>{dir.File("entry.pdf")});

        // The viewer's report of the record holding the later entry: the session's minimum
        // until the object has thresholds of its own, then the object's; the earlier beside it.
        ws->ArchiveEntryId = later;
        ws->MinAllowedThickness = 5.0f;
        QCOMPARE(ReportOfRecord(*ws, &archive).thresholds.minAllowed, 5.0f);
        QVERIFY(archive.SetObjectThresholds(archive.EnsureObject("Трубопровод Т-3"), 8.0, 4.5));
        const ReportInput record = ReportOfRecord(*ws, &archive);
        QCOMPARE(record.thresholds.minAllowed, 4.5f);
        QVERIFY(record.previous && record.previous->EntryId == earlier);
        windows.CloseAll();
    }
};

}  // namespace ws

QTEST_MAIN(ws::ComparisonWindowTest)
#include "comparison_window_test.moc"
