// frmEditor driven through its real controls, menus and the clipboard.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>
#include <numeric>

#include "data/text.h"
#include "support/fake_file_picker.h"
#include "support/fake_printer.h"
#include "support/fake_prompter.h"
#include "support/mem_text.h"
#include "support/processes.h"
#include "support/temp_dir.h"
#include "table/editor_window.h"
#include "ui/printer.h"
#include "ui/qt_printer.h"
#include "ui/qt_surface.h"

namespace ws {

class EditorWindowTest : public QObject {
    Q_OBJECT

    struct Fixture {
        // A scan of 10 points, 5.0, 5.1, ... mm, points 2..7 marked, 4 rows per page.
        std::unique_ptr<Workspace> ws =
            test::WorkspaceWith({5.0f, 5.1f, 5.2f, 5.3f, 5.4f, 5.5f, 5.6f, 5.7f, 5.8f, 5.9f});
        test::FakePrompter prompter;
        test::FakeFilePicker picker;
        test::FakePrinter printer;
        PrintServices print{printer, prompter, picker, &MakePdfPrinter};
        std::unique_ptr<EditorWindow> window;

        explicit Fixture(bool marked = true, std::vector<std::string> fonts = {}) {
            for (int i = 2; i <= 7 && marked; ++i)
                ws->PointMark[i] = -1;
            ws->TableRows = 4;
            if (!fonts.empty())
                printer.fonts = std::move(fonts);
            auto reader = [](const std::string& name, TemplateText& out, std::string& error) {
                return ParseTemplateText("Протокол\n&\n$N   $A      \nКонец", name, out, error);
            };
            window = std::make_unique<EditorWindow>(*ws, prompter, picker, print, reader,
                                                    EditorWindow::Hooks{});
            window->Load();
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
        }
        template <class T>
        T* Get(const QString& name) {
            return window->findChild<T*>(name);
        }
        // The menu items by their control arrays: mnuFileItem(i), mnuEditItem(i), mnuFileArray(i).
        QAction* Item(const char* array, int i) {
            return Get<QAction>(QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(i));
        }
        QAction* File(int i) { return Item("mnuFileItem", i); }
        QString Text() { return Get<QPlainTextEdit>("txtEdit")->toPlainText(); }
        void Click(const char* button) {
            QTest::mouseClick(Get<QPushButton>(button), Qt::LeftButton);
        }
        // Moves the focus into the text area, as a click there does.
        void Leave() {
            Get<QPlainTextEdit>("txtEdit")->setFocus();
            QApplication::processEvents();
        }
    };

    // The page with the given rows of the six marked points, 5.2 to 5.7 mm.
    // The first `flagged` of them below the threshold.
    static QString Rows(int count, int from = 0, int flagged = 0) {
        QString s = QStringLiteral("Протокол\n");
        for (int i = from; i < from + count; ++i)
            s += QStringLiteral("%1  %2 %3\n")
                     .arg(6 + 2 * i, 5)
                     .arg(5.2 + i / 10.0, 0, 'f', 2)
                     .arg(i - from < flagged ? '*' : ' ');
        return s + QStringLiteral("Конец\n");
    }

  private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    // Only Courier fonts are offered for printing: the first one, unless a Cyrillic one comes
    // later, and then the last of those. The page is printed in it.
    void printFontsAreTheCouriers() {
        const struct {
            std::vector<std::string> fonts;
            int offered;
            const char* chosen;
        } cases[] = {
            {{"Courier New", "Arial", "Courier", "Times New Roman"}, 2, "Courier New"},
            {{"Arial", "Courier New", "Courier New Cyr", "courier"}, 3, "Courier New Cyr"},
            {{"Arial", "Times New Roman"}, 0, "Courier New"},  // the text area's own font
        };
        for (const auto& c : cases) {
            Fixture f(true, c.fonts);
            QCOMPARE(f.Get<QComboBox>("Combo1")->count(), c.offered);
            f.File(4)->trigger();
            QVERIFY(f.printer.page);
            const auto texts = f.printer.page->Of(test::Primitive::Text);
            QVERIFY(!texts.empty());
            QCOMPARE(texts[0].fontName, std::string(c.chosen));
        }
    }

    void nothingMarkedSaysSo() {
        Fixture f(false);
        QCOMPARE(f.prompter.Texts(), std::vector<std::string>{"Нет информации!"});
        QCOMPARE(f.Text(), QString());
    }

    void forwardAndBackPage() {
        Fixture f;
        QCOMPARE(f.Text(), Rows(4));
        f.Click("Forward");
        QCOMPARE(f.Text(), Rows(2, 4));
        f.Click("Back");
        QCOMPARE(f.Text(), Rows(4));
        f.Click("Back");
        QCOMPARE(f.Text(), Rows(4));
        f.Click("Forward");  // the last page reached once does not stop Forward after Back
        QCOMPARE(f.Text(), Rows(2, 4));
    }

    // The settings strip on the second page: what goes into a box (pasted at once), how it is
    // applied (Return, Enter, leaving the box, or not yet), then the box's text, the value in
    // the record (rows, or threshold in mm) and the page shown (empty: the page before).
    void settingsApplyOnEnterOrLeavingOnly() {
        Fixture f;
        f.Click("Forward");
        const QString none = QStringLiteral("Протокол\nКонец\n");
        const struct {
            const char* box;
            QString typed;
            char apply;
            const char* shown;
            double value;
            QString page;
        } steps[] = {
            // Applying the rows starts again from the first page.
            {"Text1", "12", ' ', "12", 12, {}},
            {"Text1", "12", 'R', "12", 12, Rows(6)},
            {"Text1", "2.5", 'L', "2.5", 2, Rows(2)},
            {"Text1", "3.5", 'E', "3.5", 4, Rows(4)},
            {"Text2", "5.35", 'R', "5.35", 5.35f, Rows(4, 0, 2)},
            // Far beyond a Single: refused, the last good threshold shown again.
            {"Text2", QString(60, QLatin1Char('9')), 'R', "5.35", 5.35f, {}},
            // Beyond the range of rows: refused, the last good rows shown again.
            {"Text1", "99999999999", 'R', "4", 4, {}},
            // Emptied: no rows.
            {"Text1", "", 'R', "", 0, none},
        };
        for (const auto& s : steps) {
            auto* box = f.Get<QLineEdit>(s.box);
            const QString before = f.Text();
            box->setFocus();
            box->selectAll();
            box->insert(s.typed);
            if (s.apply == 'L')
                f.Leave();
            else if (s.apply != ' ')
                QTest::keyClick(box, s.apply == 'R' ? Qt::Key_Return : Qt::Key_Enter);
            const QString why = QStringLiteral("%1 %2 %3").arg(s.box, s.typed).arg(s.apply);
            QVERIFY2(box->text() == QLatin1String(s.shown), qPrintable(why));
            const double value =
                QLatin1String(s.box) == "Text1" ? f.ws->TableRows : f.ws->RangeOfMeasure;
            QVERIFY2(value == s.value, qPrintable(why));
            QVERIFY2(f.Text() == (s.page.isEmpty() ? before : s.page), qPrintable(why));
        }
    }

    // The operator's edits in the text area survive a menu opening or another window taking the
    // activation while the caret is still in a box; only moving to another control applies.
    void aMenuOrAnotherWindowIsNotLeavingTheBox() {
        Fixture f;
        auto* box = f.Get<QLineEdit>("Text1");
        box->setFocus();
        box->selectAll();
        box->insert("3");
        f.Get<QPlainTextEdit>("txtEdit")->setPlainText(QStringLiteral("правка оператора"));
        QMenu* file = f.Get<QMenu>("mnuFile");
        QVERIFY(file);
        file->popup(f.window->mapToGlobal(QPoint(10, 10)));
        QTRY_VERIFY(file->isVisible());
        file->hide();
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(!f.window->isActiveWindow());
        QCOMPARE(f.Text(), QStringLiteral("правка оператора"));
        f.window->activateWindow();
        QTRY_VERIFY(f.window->isActiveWindow());
        box->setFocus();
        f.Leave();
        QCOMPARE(f.Text(), Rows(3));
    }

    // Opening adds a file to the recent files once, shown as named ("&" is no accelerator);
    // the same file again is not even reread.
    void openAddsRecentFilesOnce() {
        Fixture f;
        test::TempDir dir;
        const std::string a = dir.Write("a.txt", Utf8ToCp1251("Первый\r\n"));
        const std::string c = dir.Write("c & d.txt", "third");
        f.picker.answers = {a, a, c};
        f.File(1)->trigger();
        QCOMPARE(f.Text(), QStringLiteral("Первый\n"));
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Text Editor: ") + test::Q(a));
        dir.Write("a.txt", "changed");
        f.File(1)->trigger();
        QCOMPARE(f.Text(), QStringLiteral("Первый\n"));
        f.File(1)->trigger();
        QCOMPARE(f.Item("mnuFileArray", 2)->text(), test::Q(dir.str() + "/c && d.txt"));
        f.Item("mnuFileArray", 1)->trigger();
        QCOMPARE(f.Text(), QStringLiteral("changed"));
        QCOMPARE(f.window->RecentCount(), 2);
    }

    void badFilesToOpenGiveTheMessage() {
        Fixture f;
        test::TempDir dir;
        std::string garbage(4096, '\0');
        std::iota(garbage.begin(), garbage.end(), '\0');
        f.picker.answers = {dir.File("missing.txt"), dir.str(),
                            dir.Write("huge.txt", std::string(16 * 1024 * 1024 + 1, 'x'))};
        for (int i = 0; i < 3; ++i)
            f.File(1)->trigger();
        QCOMPARE(f.prompter.Texts(),
                 std::vector<std::string>(
                     3, "Error encountered while trying to open file, please retry."));
        QCOMPARE(f.window->RecentCount(), 0);
        // Garbage is still text: it opens, nothing crashes.
        f.picker.answers = {dir.Write("garbage.bin", garbage)};
        f.File(1)->trigger();
        QCOMPARE(f.prompter.shown.size(), size_t{3});
        QCOMPARE(f.window->RecentCount(), 1);
    }

    void saveAsksBeforeOverwriting() {
        Fixture f;
        test::TempDir dir;
        const std::string path = dir.Write("out.txt", "old");
        f.picker.answers = {path, path, dir.File("no/such/folder/x.txt")};
        f.File(2)->trigger();  // answered No
        QCOMPARE(f.prompter.Texts(), std::vector<std::string>{"Overwrite existing file?"});
        QCOMPARE(test::ReadFile(path), std::string("old"));
        f.prompter.answers = {true};
        f.File(2)->trigger();
        QCOMPARE(test::ReadFile(path),
                 Utf8ToCp1251(QString(Rows(4) + "\n").replace("\n", "\r\n").toStdString()));
        f.File(2)->trigger();
        QCOMPARE(f.prompter.Texts().back(),
                 std::string("Error occurred while trying to close file, please retry."));
    }

};

}  // namespace ws

QTEST_MAIN(ws::EditorWindowTest)
#include "editor_window_test.moc"
