#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>

#include "relief/printf_window.h"
#include "relief/relief_window.h"
#include "relief/traces_dialog.h"
#include "relief_fixture.h"
#include "support/fake_file_picker.h"
#include "support/fake_printer.h"
#include "support/fake_prompter.h"

using namespace ws;

class ReliefWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<ReliefWindow> Open(Workspace& w) {
        auto block = std::make_unique<ReliefWindow>(w, prompter, picker, printer);
        if (!block->Load())
            return nullptr;
        block->show();
        return block;
    }
    test::FakePrompter prompter;
    test::FakeFilePicker picker;
    test::FakePrinter printer;

  private slots:
    // The trace chooser over three files, the second hidden: a row per file, and only OK
    // changes what is shown.
    void traceChooser() {
        auto w = test::MakeReliefSet(3, 50);
        ReliefView view(*w);
        test::RecordingSurface canvas;
        view.SetCanvas(&canvas);
        QVERIFY(view.BuildRelief());
        view.TraceVisible[2] = 0;
        {
            TracesDialog dialog(view);
            dialog.show();
            for (int i = 0; i < 10; ++i) {
                auto* check = dialog.findChild<QCheckBox*>(QString("Check1(%1)").arg(i));
                QCOMPARE(check->isVisible(), i < 3);
            }
            QVERIFY(!dialog.findChild<QCheckBox*>("Check1(1)")->isChecked());
            QTest::mouseClick(dialog.findChild<QCheckBox*>("Check1(0)"), Qt::LeftButton);
            QTest::mouseClick(dialog.findChild<QPushButton*>("CancelButton"), Qt::LeftButton);
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        QCOMPARE(view.TraceVisible[1], int16_t(-1));
        {
            TracesDialog dialog(view);
            dialog.show();
            for (int i = 0; i < 3; ++i)
                dialog.findChild<QCheckBox*>(QString("Check1(%1)").arg(i))->setChecked(i == 1);
            QTest::mouseClick(dialog.findChild<QPushButton*>("OKButton"), Qt::LeftButton);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        const int16_t want[] = {0, 0, -1, 0, 0};  // by trace number: 1..3, and 4 that is not there
        for (int k = 1; k <= 4; ++k)
            QCOMPARE(view.TraceVisible[k], want[k]);
    }

    // Six traces, the second without readings: hiding, rebuilding, zooming and the legend
    // checked on the one window.
    void blockCommandsAndLegend() {
        auto w = test::MakeReliefSet(6, 200);
        for (float& v : w->ReliefGrid[2])
            v = 0.0f;
        auto block = Open(*w);
        QVERIFY(block);
        auto click = [&](const char* name) {
            QTest::mouseClick(block->findChild<QToolButton*>(name), Qt::LeftButton);
        };
        block->chooseTraces = [](ReliefView& v) { v.TraceVisible[2] = 0; };
        const int before = block->View().PolygonsDrawn;
        click("Command9");
        QCOMPARE(block->View().TraceVisible[2], int16_t(0));
        QVERIFY(block->View().PolygonsDrawn < before);
        click("Command16");
        QCOMPARE(block->View().TraceSpacing, int16_t(2));
        QCOMPARE(block->View().TraceVisible[2], int16_t(-1));

        auto* h = block->findChild<QScrollBar*>("HScroll1");
        QVERIFY(!h->isVisible());
        auto* text2 = block->findChild<QLineEdit*>("Text2");
        QCOMPARE(text2->text(), QString("198"));
        click("Command11");
        QCOMPARE(text2->text(), QString("200"));
        for (int i = 0; i < 3; ++i)
            click("Command8");
        QVERIFY(h->isVisible());
        QVERIFY(h->maximum() > 0);
        // The legend's headers clear the horizontal scroll bar, its labels keep their
        // descenders, and a trace without readings shows no search bound as a thickness.
        for (int i = 0; i < 6; ++i) {
            auto* header = block->findChild<QLabel*>(QString("Label3(%1)").arg(i));
            QVERIFY(header->geometry().top() > h->geometry().bottom());
        }
        for (const char* name : {"Label1(2)", "Label7(2)", "Label3(4)"}) {
            auto* l = block->findChild<QLabel*>(name);
            QVERIFY2(l->height() > l->fontMetrics().height(), name);  // descenders not cut
        }
        QCOMPARE(block->findChild<QLabel*>("Label7(1)")->text(), QString::fromUtf8("—"));
        h->setValue(h->maximum() / 2);
        QCOMPARE(block->View().Frame.Left, -double(h->value()));
        QCOMPARE(block->findChild<QWidget*>("Picture2")->x(), TwipsToPx(-h->value()));
    }

    void emptySetSaysNoFiles() {
        auto w = test::MakeReliefSet(0, 0);
        prompter.shown.clear();
        ReliefWindow block(*w, prompter, picker, printer);
        QVERIFY(!block.Load());
        QCOMPARE(prompter.Texts(), std::vector<std::string>{"Нет нужных файлов"});
    }

    void pagePrintedLandscapeAndSavedAsPng() {
        auto w = test::MakeReliefSet(6, 100);
        auto block = Open(*w);
        QVERIFY(block);
        QTest::mouseClick(block->findChild<QToolButton*>("Command5"), Qt::LeftButton);
        PrintfWindow* pw = block->PrintWindow();
        QVERIFY(pw);
        QTRY_VERIFY(pw->isVisible());
        QTest::mouseClick(pw->findChild<QPushButton*>("Command5"), Qt::LeftButton);
        QCOMPARE(printer.documents, 1);
        QVERIFY(printer.landscape);
        QTest::mouseClick(pw->findChild<QPushButton*>("Command6"), Qt::LeftButton);
        QTRY_VERIFY(!block->PrintWindow());
        // Opened again, it goes when the relief window closes.
        QTest::mouseClick(block->findChild<QToolButton*>("Command5"), Qt::LeftButton);
        QPointer<PrintfWindow> again = block->PrintWindow();
        QTRY_VERIFY(again && again->isVisible());
        block->close();
        QVERIFY(again);  // hidden at once, deleted later
        QVERIFY(!again->isVisible());

        QTemporaryDir dir;
        const QString path = dir.filePath("page.png");
        picker.answers.push_back(path.toStdString());
        block->findChild<QAction*>("mnuFileSavePng")->trigger();
        QVERIFY(!QImage(path).isNull());
        // An unwritable place gives the message, not a crash.
        picker.answers.push_back("/nonexistent-dir/x.png");
        prompter.shown.clear();
        block->findChild<QAction*>("mnuFileSavePng")->trigger();
        QCOMPARE(prompter.shown.size(), size_t(1));
    }
};

QTEST_MAIN(ReliefWindowTest)
#include "relief_window_test.moc"
