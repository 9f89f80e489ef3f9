// frmEditor driven through its real controls, menus and the clipboard.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "data/text.h"
#include "support/fake_file_picker.h"
#include "support/fake_printer.h"
#include "support/fake_prompter.h"
#include "support/temp_dir.h"
#include "table/editor_window.h"
#include "ui/printer.h"
#include "ui/qt_printer.h"
#include "ui/qt_surface.h"

namespace ws {

class EditorWindowTest : public QObject {
    Q_OBJECT

    struct Fixture {
        std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
        test::FakePrompter prompter;
        test::FakeFilePicker picker;
        test::FakePrinter printer;
        PrintServices print{printer, prompter, picker, &MakePdfPrinter};
        std::string templ = "Протокол\n&\n$N   $A      \nКонец";
        int abouts = 0;
        std::unique_ptr<EditorWindow> window;

        // A scan of 10 points, 5.0, 5.1, ... mm, points 2..7 marked.
        explicit Fixture(bool marked = true, std::vector<std::string> fonts = {}) {
            ws->Regime = kRegimeScan;
            ws->PointCount = 10;
            for (int i = 0; i < 10; ++i) {
                ws->Thickness[static_cast<size_t>(i)] = 5.0f + static_cast<float>(i) / 10.0f;
                ws->PointMark[static_cast<size_t>(i)] = marked && i >= 2 && i <= 7 ? -1 : 0;
            }
            ws->TableRows = 4;
            if (!fonts.empty())
                printer.fonts = std::move(fonts);
            auto reader = [this](const std::string&, TemplateText& out, std::string&) {
                out.lines.clear();
                QString text = QString::fromStdString(templ);
                for (const QString& line : text.split('\n'))
                    out.lines.push_back(Utf8ToCp1251(line.toStdString()));
                return true;
            };
            EditorWindow::Hooks hooks;
            hooks.showAbout = [this] { ++abouts; };
            window = std::make_unique<EditorWindow>(*ws, prompter, picker, print, reader, hooks);
            window->Load();
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
        }
        template <class T>
        T* Get(const char* name) {
            return window->findChild<T*>(QString::fromLatin1(name));
        }
        QString Text() { return Get<QPlainTextEdit>("txtEdit")->toPlainText(); }
        QLineEdit* Text1() { return Get<QLineEdit>("Text1"); }
        QLineEdit* Text2() { return Get<QLineEdit>("Text2"); }
        QAction* FileItem(int i) {
            return window->findChild<QAction*>(QStringLiteral("mnuFileItem(%1)").arg(i));
        }
        QAction* EditItem(int i) {
            return window->findChild<QAction*>(QStringLiteral("mnuEditItem(%1)").arg(i));
        }
        QAction* Recent(int i) {
            return window->findChild<QAction*>(QStringLiteral("mnuFileArray(%1)").arg(i));
        }
        void Type(QLineEdit* box, const QString& text) {
            box->setFocus();
            box->selectAll();
            if (text.isEmpty())
                QTest::keyClick(box, Qt::Key_Delete);
            else
                QTest::keyClicks(box, text);
        }
        // Moves the focus into the text area, as a click there does.
        void Leave() {
            Get<QPlainTextEdit>("txtEdit")->setFocus();
            QApplication::processEvents();
        }
    };

    static QString Rows(std::initializer_list<const char*> rows) {
        QString s = QStringLiteral("Протокол\n");
        for (const char* r : rows)
            s += QString::fromUtf8(r) + '\n';
        return s + QStringLiteral("Конец\n");
    }

  private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    void loadShowsTheFirstPageAndFillsTheSettings() {
        Fixture f;
        QCOMPARE(f.Text(),
                 Rows({"    6  5.20  ", "    8  5.30  ", "   10  5.40  ", "   12  5.50  "}));
        QCOMPARE(f.Get<QPlainTextEdit>("txtEdit")->font().family(), QStringLiteral("Courier New"));
        QCOMPARE(f.Text1()->text(), QStringLiteral("4"));
        QCOMPARE(f.Text2()->text(), QStringLiteral("0.00"));
        QVERIFY(f.window->RowsEdited());
        QVERIFY(!f.FileItem(3)->isEnabled());
        auto* combo1 = f.Get<QComboBox>("Combo1");
        QCOMPARE(combo1->count(), 2);
        QCOMPARE(combo1->currentText(), QStringLiteral("Courier New"));
        auto* combo2 = f.Get<QComboBox>("Combo2");
        QCOMPARE(combo2->count(), 3);
        QCOMPARE(combo2->itemText(0), QStringLiteral("8"));
        QCOMPARE(combo2->currentText(), QStringLiteral("12"));
        QVERIFY(f.prompter.shown.empty());
    }

    void theLastCyrillicCourierWins() {
        Fixture f(true, {"Arial", "Courier New", "Courier New Cyr", "courier", "Times New Roman"});
        auto* combo1 = f.Get<QComboBox>("Combo1");
        QCOMPARE(combo1->count(), 3);
        QCOMPARE(combo1->currentText(), QStringLiteral("Courier New Cyr"));
        QCOMPARE(f.window->PrintFontName(), std::string("Courier New Cyr"));

        Fixture none(true, {"Arial", "Times New Roman"});
        QCOMPARE(none.Get<QComboBox>("Combo1")->count(), 0);
    }

    void nothingMarkedSaysSo() {
        Fixture f(false);
        QCOMPARE(f.prompter.Texts(), std::vector<std::string>{"Нет информации!"});
        QCOMPARE(f.Text(), QString());
        QTest::mouseClick(f.Get<QPushButton>("Forward"), Qt::LeftButton);
        QCOMPARE(f.prompter.shown.size(), size_t{2});
    }

    void forwardAndBackPage() {
        Fixture f;
        QTest::mouseClick(f.Get<QPushButton>("Forward"), Qt::LeftButton);
        QCOMPARE(f.Text(), Rows({"   14  5.60  ", "   16  5.70  "}));
        QTest::mouseClick(f.Get<QPushButton>("Forward"), Qt::LeftButton);
        QCOMPARE(f.window->Table().PageIndex, 1);
        QTest::mouseClick(f.Get<QPushButton>("Back"), Qt::LeftButton);
        QCOMPARE(f.window->Table().PageIndex, 0);
        QTest::mouseClick(f.Get<QPushButton>("Back"), Qt::LeftButton);
        QCOMPARE(f.window->Table().PageIndex, 0);
        QVERIFY(f.prompter.shown.empty());
    }

    void rowsApplyOnEnterOrLeavingOnly() {
        Fixture f;
        QTest::mouseClick(f.Get<QPushButton>("Forward"), Qt::LeftButton);
        const QString second = f.Text();
        f.Type(f.Text1(), QStringLiteral("12"));
        QCOMPARE(f.ws->TableRows, 12);
        QCOMPARE(f.Text(), second);  // typing alone re-renders nothing
        QTest::keyClick(f.Text1(), Qt::Key_Return);
        QCOMPARE(f.window->Table().PageIndex, 0);
        QCOMPARE(f.Text(), Rows({"    6  5.20  ", "    8  5.30  ", "   10  5.40  ", "   12  5.50  ",
                                 "   14  5.60  ", "   16  5.70  "}));
        QVERIFY(!f.window->RowsEdited());

        f.Type(f.Text1(), QStringLiteral("2.5"));
        QCOMPARE(f.ws->TableRows, 2);
        f.Leave();
        QCOMPARE(f.Text(), Rows({"    6  5.20  ", "    8  5.30  "}));
        f.Type(f.Text1(), QStringLiteral("3.5"));
        QTest::keyClick(f.Text1(), Qt::Key_Enter);
        QCOMPARE(f.ws->TableRows, 4);

        // Emptied: the rows stay until applied, then none.
        f.Type(f.Text1(), QString());
        QCOMPARE(f.ws->TableRows, 4);
        QTest::keyClick(f.Text1(), Qt::Key_Return);
        QCOMPARE(f.ws->TableRows, 0);
        QCOMPARE(f.Text(), QStringLiteral("Протокол\nКонец\n"));
    }

    void rowsBeyondTheirRangeAreRefused() {
        Fixture f;
        f.Text1()->setText(QStringLiteral("99999999999"));
        QCOMPARE(f.ws->TableRows, 4);
        QTest::keyClick(f.Text1(), Qt::Key_Return);
        QCOMPARE(f.ws->TableRows, 4);
        QCOMPARE(f.Text1()->text(), QStringLiteral("4"));
        f.Type(f.Text1(), QStringLiteral("-3"));
        QTest::keyClick(f.Text1(), Qt::Key_Return);
        QCOMPARE(f.Text(), QStringLiteral("Протокол\nКонец\n"));
    }

    void thresholdReadsUpToTheCommaAndFlags() {
        Fixture f;
        f.Type(f.Text2(), QStringLiteral("5,35"));
        QTest::keyClick(f.Text2(), Qt::Key_Return);
        QCOMPARE(f.ws->RangeOfMeasure, 5.0f);
        QCOMPARE(f.Text2()->text(), QStringLiteral("5.00"));
        f.Type(f.Text2(), QStringLiteral("5.35"));
        QTest::keyClick(f.Text2(), Qt::Key_Return);
        QCOMPARE(f.Text(),
                 Rows({"    6  5.20 *", "    8  5.30 *", "   10  5.40  ", "   12  5.50  "}));
        f.Type(f.Text2(), QStringLiteral("7,5"));
        f.Leave();
        QCOMPARE(f.Text2()->text(), QStringLiteral("7.00"));
        f.Type(f.Text2(), QStringLiteral("2.999"));
        QTest::keyClick(f.Text2(), Qt::Key_Return);
        QCOMPARE(f.Text2()->text(), QStringLiteral("3.00"));
        // Far beyond a Single: refused, the last good threshold shown again.
        f.Type(f.Text2(), QString(60, QLatin1Char('9')));
        QTest::keyClick(f.Text2(), Qt::Key_Return);
        QCOMPARE(f.Text2()->text(), QStringLiteral("3.00"));
        QCOMPARE(f.ws->RangeOfMeasure, 2.999f);
    }

    void leavingTheThresholdRerendersEvenUnchanged() {
        Fixture f;
        f.Text2()->setFocus();
        QApplication::processEvents();
        f.Get<QPlainTextEdit>("txtEdit")->setPlainText(QStringLiteral("правка оператора"));
        f.Leave();
        QCOMPARE(f.Text(),
                 Rows({"    6  5.20  ", "    8  5.30  ", "   10  5.40  ", "   12  5.50  "}));
    }

    // The operator's edits in the text area survive a menu opening or another window taking the
    // activation while the caret is still in a box; only moving to another control applies.
    void aMenuOrAnotherWindowIsNotLeavingTheBox() {
        Fixture f;
        for (QLineEdit* box : {f.Text2(), f.Text1()}) {
            f.Type(box, QStringLiteral("3"));
            f.Get<QPlainTextEdit>("txtEdit")->setPlainText(QStringLiteral("правка оператора"));
            QMenu* file = f.window->findChild<QMenu*>(QStringLiteral("mnuFile"));
            QVERIFY(file);
            box->setFocus();
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
            QVERIFY(f.Text() != QStringLiteral("правка оператора"));
        }
    }

    void printingUsesTheChosenFontAndSize() {
        Fixture f;
        auto* combo2 = f.Get<QComboBox>("Combo2");
        combo2->setCurrentIndex(0);
        emit combo2->activated(0);
        QCOMPARE(f.ws->PrintFontSize, int16_t{8});
        f.FileItem(4)->trigger();
        QVERIFY(f.printer.page);
        QVERIFY(!f.printer.landscape);
        const auto texts = f.printer.page->Of(test::Primitive::Text);
        QCOMPARE(texts.size(), size_t{7});  // 6 lines and the empty one after the last line end
        QCOMPARE(QString::fromStdString(texts[1].text), QStringLiteral("    6  5.20  "));
        QCOMPARE(texts[0].fontName, std::string("Courier New"));
        QCOMPARE(texts[0].fontSize, 8.0);
        QCOMPARE(texts[0].x1, 1000.0);
        QCOMPARE(texts[0].y1, 1000.0);
    }

    void withoutAPrinterThePageGoesToPdf() {
        Fixture f;
        test::TempDir dir;
        f.printer.available = false;
        f.prompter.answers = {true};
        f.picker.answers = {dir.File("page.pdf")};
        f.FileItem(4)->trigger();
        QCOMPARE(f.prompter.shown.size(), size_t{1});
        QVERIFY(f.prompter.shown[0].question);
        QVERIFY(QFileInfo(QString::fromStdString(dir.File("page.pdf"))).size() > 0);
    }

    void openAddsRecentFilesOnce() {
        Fixture f;
        test::TempDir dir;
        const std::string a = dir.Write("a.txt", Utf8ToCp1251("Первый\r\n"));
        const std::string b = dir.Write("b.txt", "Второй (UTF-8)\n");
        const std::string c = dir.Write("c & d.txt", "third");
        QVERIFY(!f.Recent(0)->isVisible());
        f.picker.answers = {a};
        f.FileItem(1)->trigger();
        QCOMPARE(f.picker.requests.back().filters.size(), size_t{3});
        QCOMPARE(f.picker.requests.back().filter.description, std::string("Text Files (*.txt)"));
        QCOMPARE(f.Text(), QStringLiteral("Первый\n"));
        QCOMPARE(f.window->windowTitle(),
                 QStringLiteral("Text Editor: ") + QString::fromStdString(a));
        QVERIFY(f.FileItem(3)->isEnabled());
        QVERIFY(f.Recent(0)->isVisible());
        QCOMPARE(f.ws->DialogFileName, a);

        // The same file again: not even reloaded from disk.
        dir.Write("a.txt", "changed");
        f.picker.answers = {a};
        f.FileItem(1)->trigger();
        QCOMPARE(f.Text(), QStringLiteral("Первый\n"));

        f.picker.answers = {b, c};
        f.FileItem(1)->trigger();
        QCOMPARE(f.Text(), QStringLiteral("Второй (UTF-8)\n"));
        f.FileItem(1)->trigger();
        QCOMPARE(f.window->RecentCount(), 3);
        QCOMPARE(f.Recent(3)->text(),
                 QStringLiteral("c && d.txt").prepend(QString::fromStdString(dir.str() + "/")));
        f.Recent(1)->trigger();
        QCOMPARE(f.Text(), QStringLiteral("changed"));
        QCOMPARE(f.window->RecentCount(), 3);
        QVERIFY(f.prompter.shown.empty());
    }

    void aCancelledDialogChangesNothing() {
        Fixture f;
        f.ws->DialogFileName = "keep.txt";
        const QString text = f.Text(), title = f.window->windowTitle();
        f.FileItem(1)->trigger();
        f.FileItem(2)->trigger();
        QCOMPARE(f.Text(), text);
        QCOMPARE(f.window->windowTitle(), title);
        QCOMPARE(f.ws->DialogFileName, std::string("keep.txt"));
    }

    void badFilesToOpenGiveTheMessage() {
        Fixture f;
        test::TempDir dir;
        const QString text = f.Text();
        f.picker.answers = {dir.File("missing.txt"), dir.str(),
                            dir.Write("huge.txt", std::string(16 * 1024 * 1024 + 1, 'x'))};
        for (int i = 0; i < 3; ++i)
            f.FileItem(1)->trigger();
        QCOMPARE(f.prompter.shown.size(), size_t{3});
        for (const auto& shown : f.prompter.shown) {
            QCOMPARE(shown.text,
                     std::string("Error encountered while trying to open file, please retry."));
            QCOMPARE(shown.title, std::string("Text Editor"));
            QVERIFY(shown.icon == MsgIcon::Exclamation);
        }
        QCOMPARE(f.Text(), text);
        QCOMPARE(f.window->RecentCount(), 0);
        // Garbage is still text: it opens, nothing crashes.
        std::string garbage;
        for (int i = 0; i < 4096; ++i)
            garbage += static_cast<char>((i * 37) & 0xFF);
        f.picker.answers = {dir.Write("garbage.bin", garbage)};
        f.FileItem(1)->trigger();
        QCOMPARE(f.prompter.shown.size(), size_t{3});
        QVERIFY(!f.Text().isEmpty());
    }

    void saveAsksBeforeOverwriting() {
        Fixture f;
        test::TempDir dir;
        const std::string path = dir.Write("out.txt", "old");
        f.picker.answers = {path};
        f.FileItem(2)->trigger();  // answered No
        QCOMPARE(f.prompter.shown.at(0).text, std::string("Overwrite existing file?"));
        QCOMPARE(test::ReadFile(path), std::string("old"));
        f.prompter.answers = {true};
        f.picker.answers = {path};
        f.FileItem(2)->trigger();
        const std::string saved = test::ReadFile(path);
        QCOMPARE(saved,
                 Utf8ToCp1251("Протокол\r\n    6  5.20  \r\n    8  5.30  \r\n   10  5.40  \r\n"
                              "   12  5.50  \r\nКонец\r\n\r\n"));
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Просмотр результатов"));

        f.picker.answers = {dir.File("no/such/folder/x.txt")};
        f.FileItem(2)->trigger();
        QCOMPARE(f.prompter.shown.back().text,
                 std::string("Error occurred while trying to close file, please retry."));
    }

    void closeEmptiesTheAreaButNeverTheFile() {
        Fixture f;
        test::TempDir dir;
        const std::string path = dir.Write("kept.txt", "stored protocol");
        f.picker.answers = {path};
        f.FileItem(1)->trigger();
        f.prompter.answers = {true, true};
        f.FileItem(3)->trigger();
        QCOMPARE(f.Text(), QString());
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Text Editor: Untitled"));
        QVERIFY(!f.FileItem(3)->isEnabled());
        QCOMPARE(test::ReadFile(path), std::string("stored protocol"));
        QVERIFY(f.prompter.shown.empty());

        f.FileItem(0)->trigger();
        QCOMPARE(f.ws->DialogFileName, std::string("Untitled"));
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Text Editor: Untitled"));
    }

    void editMenuFollowsTheSelectionAndTheClipboard() {
        Fixture f;
        auto* edit = f.Get<QPlainTextEdit>("txtEdit");
        f.window->EditMenuOpening();
        QVERIFY(!f.EditItem(0)->isEnabled());
        QVERIFY(!f.EditItem(1)->isEnabled());
        QVERIFY(f.EditItem(2)->isEnabled());

        QTextCursor cursor = edit->textCursor();
        cursor.setPosition(0);
        cursor.setPosition(8, QTextCursor::KeepAnchor);  // "Протокол"
        edit->setTextCursor(cursor);
        f.window->EditMenuOpening();
        QVERIFY(f.EditItem(0)->isEnabled());
        f.EditItem(1)->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Протокол"));
        f.EditItem(0)->trigger();
        QVERIFY(f.Text().startsWith(QStringLiteral("\n")));
        cursor = edit->textCursor();
        cursor.movePosition(QTextCursor::End);
        edit->setTextCursor(cursor);
        f.EditItem(2)->trigger();
        QVERIFY(f.Text().endsWith(QStringLiteral("Протокол")));
    }

    void exitClosesAndAboutIsShown() {
        Fixture f;
        f.window->findChild<QAction*>(QStringLiteral("mnuAbout"))->trigger();
        QCOMPARE(f.abouts, 1);
        f.FileItem(5)->trigger();
        QVERIFY(!f.window->isVisible());
    }
};

}  // namespace ws

QTEST_MAIN(ws::EditorWindowTest)
#include "editor_window_test.moc"
