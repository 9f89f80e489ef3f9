// The archive from the main window: its two File menu items, "Сохранить файл" filing the saved
// trace, and the record knowing which entry it holds.

#include <QAction>
#include <QtTest>
#include <memory>

#include "app/app_windows.h"
#include "app/switchboard.h"
#include "data/trace_file.h"
#include "support/fake_file_picker.h"
#include "support/fake_prompter.h"
#include "support/mem_text.h"
#include "support/temp_dir.h"
#include "support/widgets.h"
#include "survey/survey_archive.h"

namespace ws {
namespace {

struct Board {
    test::TempDir dir;
    SurveyArchive archive;
    std::unique_ptr<Workspace> ws = test::WorkspaceWith({5.0f, 5.1f, 5.2f});
    test::FakePrompter prompter;
    test::FakeFilePicker picker;
    AppWindows windows{*ws, prompter, picker};
    Switchboard board{*ws, windows, prompter, picker};

    explicit Board(bool withArchive) {
        ws->HomeDir = dir.str();
        if (withArchive) {
            archive.Open(dir.File("archive"));
            windows.SetArchive(&archive);
        } else {
            windows.SetArchive(nullptr, "Архив замеров недоступен: проверка.");
        }
    }
    QAction* Item(const char* name) { return board.findChild<QAction*>(QLatin1String(name)); }
};

}  // namespace

class ArchiveAppTest : public QObject {
    Q_OBJECT

  private slots:
    void withoutAnArchiveTheItemsSayWhyAndSavingStillWorks() {
        Board b(false);
        b.Item("mnuFileImport")->trigger();
        QCOMPARE(b.prompter.Texts(),
                 std::vector<std::string>{"Архив замеров недоступен: проверка."});
        QVERIFY(b.picker.requests.empty());
        // Without the archive, saving a file still works.
        b.picker.answers = {b.dir.File("a.mem")};
        b.board.Command3Click();
        QVERIFY(std::filesystem::exists(b.dir.File("a.mem")));
        QCOMPARE(b.ws->ArchiveEntryId, int64_t{0});
    }

    void aSavedTraceIsFiledOnceWithEveryPathAndAnOpenedFileHoldsNoEntry() {
        Board b(true);
        b.picker.answers = {b.dir.File("line1.mem")};
        b.board.Command3Click();
        const int64_t id = b.ws->ArchiveEntryId;
        QVERIFY(id != 0);
        // The same trace saved elsewhere: the same entry under both paths.
        b.picker.answers = {b.dir.File("copy.mem")};
        b.board.Command3Click();
        QCOMPARE(b.ws->ArchiveEntryId, id);
        QCOMPARE(b.archive.Get(id)->Paths.size(), size_t{2});
        // Opening a file from outside the archive: the record holds no entry.
        b.picker.answers = {b.dir.Write("other.mem", test::MemText(255, {"4.00"}))};
        b.board.Command2Click();
        QCOMPARE(b.ws->PointCount, 1);
        QCOMPARE(b.ws->ArchiveEntryId, int64_t{0});
        b.windows.CloseAll();
    }

    void importTakesAFolderOrOneFileAndReports() {
        Board b(true);
        test::TempDir src;
        src.Write("a.mem", FormatTraceFile(b.ws->CurrentTrace()));
        src.Write("b.mem", test::MemText(0, {"3.00"}));
        src.Write("c.mem", "");
        b.prompter.answers = {true};
        b.picker.answers = {src.str()};
        b.Item("mnuFileImport")->trigger();
        QCOMPARE(b.picker.requests.back().kind, std::string("folder"));
        QVERIFY(b.prompter.shown.back().text.rfind(
                    "Добавлено в архив: 2\nУже были в архиве: 0\nНе приняты (1):", 0) == 0);
        // "No": one file; already there.
        b.prompter.answers = {false};
        b.picker.answers = {src.File("a.mem")};
        b.Item("mnuFileImport")->trigger();
        QCOMPARE(b.picker.requests.back().kind, std::string("open"));
        QCOMPARE(b.prompter.shown.back().text,
                 std::string("Добавлено в архив: 0\nУже были в архиве: 1"));
        // The window opens from the menu.
        b.Item("mnuFileArchive")->trigger();
        QVERIFY(test::ShownWindow("frmArchive"));
        b.windows.CloseAll();
    }
};

}  // namespace ws

QTEST_MAIN(ws::ArchiveAppTest)
#include "archive_app_test.moc"
