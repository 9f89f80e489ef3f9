// The secondary windows as the program opens them: one results window at a time, rendered from
// the shipped templates, brought to the front when opened again.

#include <QApplication>
#include <QPlainTextEdit>
#include <QtTest>

#include "app/app_windows.h"
#include "support/fake_file_picker.h"
#include "support/fake_prompter.h"
#include "support/mem_text.h"
#include "support/temp_dir.h"
#include "table/editor_window.h"
#include "ui/qt_surface.h"

namespace ws {

class AppWindowsTest : public QObject {
    Q_OBJECT

    static QList<EditorWindow*> Editors() {
        QList<EditorWindow*> found;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* e = qobject_cast<EditorWindow*>(w); e && e->isVisible())
                found << e;
        return found;
    }

  private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    void theTableOpensOnceAndKeepsItsPageUntilClosed() {
        auto ws = test::WorkspaceWith({5.5f, 6.25f, 7.0f}, 0);
        ws->ProgramDir = test::SourceDir().string();
        test::FakePrompter prompter;
        test::FakeFilePicker picker;
        AppWindows windows(*ws, prompter, picker);

        windows.ShowCurrentTrace();  // single readings go to the table
        QCOMPARE(Editors().size(), 1);
        auto* text = Editors().first()->findChild<QPlainTextEdit*>("txtEdit");
        QVERIFY(text->toPlainText().contains(QStringLiteral("6.25")));

        text->setPlainText(QStringLiteral("правка"));
        windows.ShowTable();
        QCOMPARE(Editors().size(), 1);
        QCOMPARE(text->toPlainText(), QStringLiteral("правка"));

        windows.CloseAll();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(Editors().size(), 0);
        windows.ShowTable();
        QCOMPARE(Editors().size(), 1);
        windows.CloseAll();
    }
};

}  // namespace ws

QTEST_MAIN(ws::AppWindowsTest)
#include "app_windows_test.moc"
