// "Архив замеров" through its controls: the table, the filter box, the description panel,
// open, export, delete and restore.

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "data/trace_file.h"
#include "support/fake_file_picker.h"
#include "support/fake_prompter.h"
#include "support/mem_text.h"
#include "support/temp_dir.h"
#include "survey/archive_model.h"
#include "survey/archive_window.h"
#include "survey/survey_archive.h"

namespace ws {
namespace {

constexpr int64_t kDec7 = 1765081980;  // 2025-12-07 04:33:00 UTC

int64_t File(SurveyArchive& archive, std::initializer_list<float> values, int64_t when) {
    return archive.FileDownload(test::TraceOf(values), {0x02, 0x00, 0xFF}, DownloadFacts{}, when).Id;
}

struct Fixture {
    test::TempDir dir;
    SurveyArchive archive;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    test::FakePrompter prompter;
    test::FakeFilePicker picker;
    int shown = 0;
    std::unique_ptr<ArchiveWindow> window;
    int64_t a = 0, b = 0, c = 0;

    Fixture() {
        archive.Open(dir.File("archive"));
        a = File(archive, {5.0f, 5.5f}, kDec7 - 7200);
        b = File(archive, {6.0f, 6.5f, 0.0f}, kDec7 - 3600);
        c = File(archive, {7.0f}, kDec7);
        archive.Describe(b, {"Резервуар 5", "Стенка", "Иванов", "2025-12-07", "коррозия"});
        ws->DecimalSeparator = ",";
        window = std::make_unique<ArchiveWindow>(archive, *ws, prompter, picker,
                                                 ArchiveWindow::Hooks{[this] { ++shown; }});
        window->show();
    }
    template <typename T>
    T* Child(const char* name) {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QTableView* Table() { return Child<QTableView>("grdEntries"); }
    QString Cell(int row, int column) {
        return Table()->model()->index(row, column).data().toString();
    }
    void SelectRow(int row) {
        Table()->clearSelection();
        Table()->selectRow(row);
    }
    void Click(const char* button) {
        QTest::mouseClick(Child<QPushButton>(button), Qt::LeftButton);
    }
};

}  // namespace

class ArchiveWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void newestFirstInTheUsersLocaleFilteredAndSortedByValue() {
        Fixture f;
        QCOMPARE(f.Table()->model()->rowCount(), 3);
        QCOMPARE(f.Cell(1, kColMean), QStringLiteral("6,25"));
        QCOMPARE(f.Cell(1, kColDescription), QStringLiteral("Иванов; коррозия"));
        // Which words match is checked headless; here the box reaches it and the count follows.
        // Typed text arrives as the box's text change (QTest types only Latin-1 keys).
        auto* filter = f.Child<QLineEdit>("txtFilter");
        filter->setText(QStringLiteral("резерв"));
        QCOMPARE(f.Child<QLabel>("lblCount")->text(), QStringLiteral("Показано 1 из 3"));

        filter->clear();
        File(f.archive, {10.0f}, kDec7 + 60);  // "10,00" sorts before "5,00" as text
        f.window->Reload();
        f.Table()->sortByColumn(kColMin, Qt::AscendingOrder);
        QCOMPARE(f.Cell(0, kColMin), QStringLiteral("5,00"));
        QCOMPARE(f.Cell(3, kColMin), QStringLiteral("10,00"));
    }

    void theSidePanelWritesTheDescriptionAndTheNextOneLikeIt() {
        Fixture f;
        f.SelectRow(0);  // the newest, still without a description
        QVERIFY(f.Child<QPushButton>("cmdSaveDescription")->isEnabled());
        f.Child<QComboBox>("cboObject")->setCurrentText(QStringLiteral("Трубопровод Т-3"));
        f.Child<QLineEdit>("txtNominal")->setText(QStringLiteral("12,5"));
        f.Child<QLineEdit>("txtSection")->setText(QStringLiteral("Участок 2"));
        f.Child<QDateEdit>("dtpInspected")->setDate(QDate(2025, 12, 8));
        f.Click("cmdSaveDescription");
        QVERIFY(f.prompter.shown.empty());
        const auto e = f.archive.Get(f.c);
        QCOMPARE(QString::fromStdString(e->Object), QStringLiteral("Трубопровод Т-3"));
        QCOMPARE(QString::fromStdString(e->InspectedOn), QStringLiteral("2025-12-08"));
        QCOMPARE(f.archive.ObjectOfEntry(f.c)->NominalMm.value_or(0), 12.5);
        // The row stays selected and the table shows the new description.
        QCOMPARE(f.window->SelectedIds(), std::vector<int64_t>{f.c});
        QCOMPARE(f.Cell(0, kColSection), QStringLiteral("Участок 2"));

        // The next download: same object, next section, one click.
        File(f.archive, {8.0f}, kDec7 + 60);
        f.window->Reload();
        f.SelectRow(0);
        f.Click("cmdLikePrevious");
        const auto next = f.archive.Get(f.window->SelectedIds().at(0));
        QCOMPARE(QString::fromStdString(next->Object), QStringLiteral("Трубопровод Т-3"));
        QCOMPARE(QString::fromStdString(next->Section), QStringLiteral("Участок 3"));
    }

    void openPutsTheTraceIntoTheRecordAndShowsIt() {
        Fixture f;
        f.SelectRow(1);
        f.Click("cmdOpen");
        QCOMPARE(f.shown, 1);
        QCOMPARE(f.ws->Thickness[1], 6.5f);
        QCOMPARE(f.ws->ArchiveEntryId, f.b);

        // A trace file gone from the archive folder: said, and the record keeps its trace.
        std::filesystem::remove(f.archive.Get(f.a)->TraceFile);
        f.SelectRow(2);
        f.Click("cmdOpen");
        QCOMPARE(f.shown, 1);
        QVERIFY(f.prompter.shown.at(0).text.rfind("Файл замера не найден", 0) == 0);
        QCOMPARE(f.ws->ArchiveEntryId, f.b);
    }

    void exportWritesTheFileAndAsksBeforeReplacing() {
        Fixture f;
        test::TempDir out;
        const std::string target = out.File("line.mem");
        f.SelectRow(0);
        f.picker.answers = {target};
        f.Click("cmdExport");
        QCOMPARE(test::ReadFile(target), test::ReadFile(f.archive.Get(f.c)->TraceFile));
        // Again onto the same file: the question, No, the file untouched.
        out.Write("line.mem", "mine");
        f.picker.answers = {target};
        f.Click("cmdExport");
        QCOMPARE(f.prompter.Texts(),
                 std::vector<std::string>{"Файл уже существует. Перезаписать?"});
        QCOMPARE(test::ReadFile(target), std::string("mine"));
    }

    void anotherProgramsChangeShowsOnActivationAndKeepsWhatIsTyped() {
        Fixture f;
        f.window->activateWindow();
        QTRY_VERIFY(f.window->isActiveWindow());
        f.SelectRow(0);
        f.Child<QLineEdit>("txtInspector")->setText(QStringLiteral("Сидоров"));  // not saved
        QEvent activation(QEvent::ActivationChange);
        {
            SurveyArchive other;  // wallscan-cli, say, filing a download meanwhile
            QVERIFY(other.Open(f.dir.File("archive")).Ok);
            File(other, {9.0f}, kDec7 - 86400);
        }
        QApplication::sendEvent(f.window.get(), &activation);
        QCOMPARE(f.Table()->model()->rowCount(), 4);
        QCOMPARE(f.window->SelectedIds(), std::vector<int64_t>{f.c});
        QCOMPARE(f.Child<QLineEdit>("txtInspector")->text(), QStringLiteral("Сидоров"));
    }

    void deleteMovesToTheDeletedViewAndRestoreBringsBack() {
        Fixture f;
        f.SelectRow(0);
        f.Table()->selectionModel()->select(
            f.Table()->model()->index(1, 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        // Several rows: no description to edit, but they can be deleted together.
        QVERIFY(!f.Child<QPushButton>("cmdSaveDescription")->isEnabled());
        f.Click("cmdDelete");
        QCOMPARE(f.Table()->model()->rowCount(), 1);

        f.Child<QComboBox>("cboView")->setCurrentIndex(1);
        QCOMPARE(f.Table()->model()->rowCount(), 2);
        f.SelectRow(0);
        f.Click("cmdDelete");
        QCOMPARE(f.Table()->model()->rowCount(), 1);  // one back in the archive
    }
};

}  // namespace ws

QTEST_MAIN(ws::ArchiveWindowTest)
#include "archive_window_test.moc"
