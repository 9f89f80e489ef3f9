// "Сравнение замеров" through its controls, and "Сравнить" and "Отчёт..." of the archive
// window and the profile viewer through the program's windows.

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "app/app_windows.h"
#include "history/comparison_view.h"
#include "history/comparison_window.h"
#include "profile/profile_window.h"
#include "support/fake_file_picker.h"
#include "support/fake_prompter.h"
#include "support/processes.h"
#include "support/temp_dir.h"
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

// The visible top-level window of that name.
template <class T>
T* Shown(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return qobject_cast<T*>(w);
    return nullptr;
}

int CountColor(ImageSurface& s, Rgb c) {
    const QImage& img = s.Image();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixel(x, y) == qRgb(c.r, c.g, c.b);
    return n;
}

}  // namespace

class ComparisonWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void findsTheShiftAndFollowsTheSpinBox() {
        // The later scan started 37 points further on; a pit 0.6 mm deeper at its point 100.
        InspectionScan later = Scan(37, 300, "2026-05-12");
        later.Scan->Thickness[100] -= 0.6f;
        ComparisonWindow w(Scan(0, 300, "2021-05-12"), later, 6.0, ",");
        w.show();
        auto* shift = w.findChild<QSpinBox*>("spnShift");
        auto* autoButton = w.findChild<QPushButton*>("cmdAuto");
        auto* figures = w.findChild<QLabel*>("lblFigures");
        QVERIFY(shift && autoButton && figures);
        QCOMPARE(shift->value(), -37);
        QCOMPARE(w.Result().comparison.overlap, int64_t(263));
        // The figures in the user's locale: the loss 0,600 mm in 5,00 years (0,120 mm a year)
        // at 200 mm.
        for (const char* part : {"0,600", "5,00", "0,120", ">200<"})
            QVERIFY2(figures->text().contains(part), qPrintable(figures->text()));
        // Both profiles and the loss are drawn.
        QVERIFY(CountColor(w.Picture(), kEarlierColor) > 100);
        QVERIFY(CountColor(w.Picture(), kLaterColor) > 100);

        shift->setValue(-36);
        QCOMPARE(w.Result().comparison.shift, -36);
        QCOMPARE(w.Result().comparison.overlap, int64_t(264));
        QVERIFY(figures->text().contains(">264<"));
        // Nothing overlaps that far out: the window says so instead of figures.
        shift->setValue(400);
        QVERIFY(!w.Result().ok);
        QVERIFY2(figures->text().contains("нет общих измерений"), qPrintable(figures->text()));
        QTest::mouseClick(autoButton, Qt::LeftButton);
        QCOMPARE(shift->value(), -37);
        QCOMPARE(w.Result().comparison.overlap, int64_t(263));
    }

    void withoutDatesThereIsNoRate() {
        ComparisonWindow w(Scan(0, 100, ""), Scan(0, 100, ""), std::nullopt, ".");
        QVERIFY(!w.Result().comparison.rateMax);
        QVERIFY(w.findChild<QLabel*>("lblFigures")->text().contains("нет дат замеров"));
    }

    void archiveComparesTwoEntriesAndReportsOne() {
        test::TempDir dir;
        SurveyArchive archive;
        QVERIFY(archive.Open(dir.File("archive")).Ok);
        auto file = [&](int start, const char* date, const char* section) {
            const InspectionScan s = Scan(start, 300, date);
            const int64_t id =
                archive.FileDownload(*s.Scan, {0x01}, DownloadFacts{}, 1700000000 + start).Id;
            archive.Describe(id, {"Трубопровод Т-3", section, "Петров", date, ""});
            return id;
        };
        const int64_t later = file(37, "2026-05-12", "Участок 7");
        const int64_t earlier = file(0, "2021-05-12", "Участок 7");
        // Inspected between the two, but of another section: never their previous inspection.
        const int64_t other = file(0, "2024-01-10", "Участок 8");
        QVERIFY(later && earlier && other);

        auto ws = std::make_unique<Workspace>();
        ws->HomeDir = (test::SourceDir() / "share").string();
        test::FakePrompter prompter;
        test::FakeFilePicker picker;
        AppWindows windows(*ws, prompter, picker);
        std::vector<std::string> opened;
        windows.openDocument = [&](const std::string& path) { opened.push_back(path); };
        windows.SetArchive(&archive);
        windows.ShowArchive(nullptr);
        auto* archiveWindow = Shown<ArchiveWindow>("frmArchive");
        QVERIFY(archiveWindow);
        auto* compare = archiveWindow->findChild<QPushButton*>("cmdCompare");
        auto* report = archiveWindow->findChild<QPushButton*>("cmdReport");
        QVERIFY(compare && report);
        QVERIFY(!compare->isEnabled());

        archiveWindow->SelectEntry(later);
        QVERIFY(!compare->isEnabled());
        QVERIFY(report->isEnabled());
        archiveWindow->SelectEntry(earlier);
        QVERIFY(compare->isEnabled());
        QVERIFY(!report->isEnabled());
        QTest::mouseClick(compare, Qt::LeftButton);
        auto* shown = Shown<ComparisonWindow>("frmCompare");
        QVERIFY(shown);
        // Whatever the selection order, the earlier inspection is the earlier scan.
        QCOMPARE(shown->Result().comparison.shift, -37);
        QVERIFY(std::fabs(shown->Result().comparison.years.value_or(0) - 1826 / 365.25) < 1e-9);

        // "Отчёт..." for the later entry: its previous inspection of the same section is in.
        archiveWindow->findChild<QTableView*>("grdEntries")->clearSelection();
        archiveWindow->SelectEntry(later);
        const std::string pdf = dir.File("entry.pdf");
        picker.answers.push_back(pdf);
        QTest::mouseClick(report, Qt::LeftButton);
        QCOMPARE(opened, std::vector<std::string>{pdf});
        QVERIFY(QFileInfo(QString::fromStdString(pdf)).size() > 0);

        // Cancelling the file dialog writes nothing and opens nothing.
        QTest::mouseClick(report, Qt::LeftButton);
        QCOMPARE(opened.size(), size_t(1));

        // The profile viewer's "Отчёт..." makes the record's report; a folder that does not
        // exist is said, not crashed on.
        ws->Regime = kRegimeScan;
        ws->PointCount = 300;
        for (int i = 0; i < 300; ++i)
            ws->Thickness[static_cast<size_t>(i)] = WallAt(i);
        ws->CurrentFileName = "/data/line.mem";
        windows.ShowProfile();
        auto* profile = Shown<ProfileWindow>("Form1");
        QVERIFY(profile);
        auto* item = profile->findChild<QAction*>("mnuFileReport");
        QVERIFY(item);
        picker.answers.push_back(dir.File("no/such/folder/r.pdf"));
        const size_t boxes = prompter.shown.size();
        item->trigger();
        QCOMPARE(opened.size(), size_t(1));
        QCOMPARE(prompter.shown.size(), boxes + 1);
        QVERIFY(prompter.shown.back().text.find("Отчёт не записан") != std::string::npos);
        // The record of an archived entry is judged by its object's thresholds, and its
        // previous inspection is found.
        const auto object = archive.FindObject("Трубопровод Т-3");
        QVERIFY(object && archive.SetObjectThresholds(object->Id, 8.0, 4.5));
        ws->ArchiveEntryId = later;
        const std::string second = dir.File("record.pdf");
        picker.answers.push_back(second);
        item->trigger();
        QCOMPARE(opened.size(), size_t(2));
        const QString title = test::Q(
            test::RunProcess("pdftotext", {"-l", "1", "-layout", test::Q(second), "-"}).out);
        QVERIFY2(title.contains("4.50") && title.contains("8.00"), qPrintable(title));
        QVERIFY2(title.contains(QString("замер № %1 от 12.05.2021").arg(earlier)),
                 qPrintable(title));
        // No printer on this machine: "Печать отчёта" offers the PDF instead; No does nothing.
        auto* print = profile->findChild<QAction*>("mnuFilePrintReport");
        QVERIFY(print);
        const size_t before = prompter.shown.size();
        print->trigger();
        QCOMPARE(prompter.shown.size(), before + 1);
        QVERIFY(prompter.shown.back().question);
        QVERIFY(prompter.shown.back().text.find("Принтер не установлен") != std::string::npos);
        QCOMPARE(opened.size(), size_t(2));
        windows.CloseAll();
    }
};

}  // namespace ws

QTEST_MAIN(ws::ComparisonWindowTest)
#include "comparison_window_test.moc"
