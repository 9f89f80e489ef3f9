// The main window driven through its real controls, with scripted dialogs and boxes.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include "support/app_fixture.h"
#include "support/mem_text.h"

namespace ws {
namespace {

using test::kGapScan;

std::string Options(const std::string& port, const std::string& baud) {
    return "Port:\r\n" + port +
           "\r\nTable rows:\r\n36\r\nFontSize:\r\n12\r\nRange of measure:\r\n"
           "0.00\r\nBaud Rate:\r\n" +
           baud + "\r\n";
}

}  // namespace

class SwitchboardTest : public QObject {
    Q_OBJECT
    using Fixture = test::BoardFixture;
    // Started over the usual scan as the working file, start-up messages dropped.
    struct Loaded : Fixture {
        Loaded() {
            dir.Write("temp.mem", kGapScan);
            Load();
        }
    };

  private slots:
    // With Russian captions letters collide easily, and Alt with a doubled letter silently
    // takes the first of the items: every item of the bar and of each menu has a letter of its own.
    void everyMenuItemHasAnAcceleratorOfItsOwn() {
        Fixture f;
        QList<QWidget*> menus{f.board.menuBar()};
        for (QMenu* m : f.board.findChildren<QMenu*>())
            menus << m;
        for (QWidget* menu : menus) {
            QSet<QKeySequence> keys;
            for (QAction* a : menu->actions()) {
                const QKeySequence key = QKeySequence::mnemonic(a->text());
                QVERIFY2(a->isSeparator() || (!key.isEmpty() && !keys.contains(key)),
                         qPrintable(a->text()));
                keys.insert(key);
            }
        }
    }

    // The buttons show the settings read at start-up; a speed the gauge does not know is 2400.
    void startUpSetsThePortAndSpeedButtons_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("baud");
        QTest::addColumn<int>("com");
        QTest::addColumn<int>("speed");
        QTest::newRow("COM2 57600") << "COM2"
                                    << "57600" << 2 << 3;
        QTest::newRow("COM1 9600") << "COM1"
                                   << "9600" << 1 << 2;
        QTest::newRow("unknown speed") << "COM1"
                                       << "19200" << 1 << 1;
    }
    void startUpSetsThePortAndSpeedButtons() {
        QFETCH(QString, port);
        QFETCH(QString, baud);
        QFETCH(int, com);
        QFETCH(int, speed);
        Fixture f;
        f.dir.Write("temp.mem", kGapScan);
        f.dir.Write("options.sav", Options(port.toStdString(), baud.toStdString()));
        f.Load(true);
        QVERIFY(f.windows.shown.empty());  // no viewer opens by itself
        QVERIFY(f.Find<QRadioButton>(QStringLiteral("COM(%1)").arg(com))->isChecked());
        QVERIFY(f.Find<QRadioButton>(QStringLiteral("Baud(%1)").arg(speed))->isChecked());
        QCOMPARE(f.ws->PortName, "COM" + std::to_string(com));
    }

    void speedAndPortButtons() {
        Loaded f;  // no settings file: COM2 at 2400
        QTest::mouseClick(f.Find<QRadioButton>("Baud(2)"), Qt::LeftButton);
        QCOMPARE(f.ws->BaudRate, 9600);
        QTest::mouseClick(f.Find<QRadioButton>("COM(1)"), Qt::LeftButton);
        QCOMPARE(f.ws->PortName, std::string("COM1"));
    }

    void filterToggleCaptions() {
        Loaded f;
        QAction* item = f.Find<QAction>("mnuViewItem(1)");
        item->trigger();
        QVERIFY(f.ws->FilterOn);
        QCOMPARE(item->text(), QStringLiteral("Выключить  фильтр"));
        item->trigger();
        QCOMPARE(item->text(), QStringLiteral("Включить  фильтр"));
    }

    // Which viewer a file opens in and what a broken file says are the same as for a path handed
    // over from outside (instance link test); here what belongs to the dialog.
    void openAsksForAMemFileAndShowsIt() {
        Loaded f;
        const auto empty = f.dir.Write("empty.mem", test::MemText(255, {}, " 4101 "));
        f.picker.answers = {f.dir.Write("scan.mem", kGapScan), empty, "", f.dir.File("gone.mem")};
        f.Click("Command2");
        QCOMPARE(f.windows.shown, std::vector<std::string>{"profile"});
        f.Click("Command2");  // a count of 4101: no viewer, no message
        f.Click("Command2");  // cancelled
        QVERIFY(f.ws->DialogFileName.empty());
        f.Click("Command2");  // a name that does not exist
        QCOMPARE(f.windows.shown.size(), size_t{1});
        QVERIFY(f.prompter.shown.empty());
    }

    // Asking before overwriting and the layout are the writer's; here the button saves.
    void saveWritesTheChosenFile() {
        Loaded f;
        f.picker.answers = {f.dir.File("new.mem")};
        f.Click("Command3");
        QVERIFY(test::ReadFile(f.dir.File("new.mem")).find("\r\n5.10\r\n") != std::string::npos);
    }

    void downloadOutcomes() {
        Loaded f;
        f.Click("Command1");
        QCOMPARE(f.prompter.Texts(), std::vector<std::string>{"Нет связи!"});
        f.windows.downloadResult = 1;
        f.windows.downloadPoints = 0;
        f.Click("Command1");
        QCOMPARE(f.prompter.shown.size(), size_t{2});
        f.windows.downloadPoints = 50;
        f.Click("Command1");
        f.windows.downloadRegime = 17;
        f.Find<QAction>("mnuFileItem(0)")->trigger();
        QCOMPARE(f.windows.shown, (std::vector<std::string>{"profile", "table"}));
        QCOMPARE(f.windows.downloads, 4);
        QVERIFY(f.Find<QPushButton>("Command1")->isEnabled());
    }

    void showAndRelief() {
        Fixture f;
        f.Load();  // empty record
        f.Click("Command4");
        QVERIFY(f.windows.shown.empty());
        f.Click("Command5");  // cancelled
        QCOMPARE(f.prompter.Texts(), std::vector<std::string>{"Каталог не выбран"});
        f.dir.Write("relief/a.mem", kGapScan);
        f.dir.Write("relief/b.mem", kGapScan);
        f.picker.answers = {f.dir.File("relief")};
        f.Find<QAction>("mnuViewItem(2)")->trigger();
        QCOMPARE(f.windows.shown, std::vector<std::string>{"relief"});
        QCOMPARE(f.ws->ReliefDir, f.dir.File("relief"));
        QCOMPARE(f.ws->PointCount, 0);  // the record is not replaced by the scan
    }

    // The map is asked for as the relief is: a folder chooser starting at the last folder.
    void mapItemAsksForAFolderAndOpensTheMapOfIt() {
        Loaded f;
        f.ws->ReliefDir = "/surveys/last";
        f.picker.answers = {"/surveys/tank 7"};
        f.Find<QAction>("mnuViewMap")->trigger();
        QCOMPARE(f.picker.requests.back().startDir, std::string("/surveys/last"));
        QCOMPARE(f.windows.shown, std::vector<std::string>{"map /surveys/tank 7"});
        QCOMPARE(f.ws->ReliefDir, std::string("/surveys/tank 7"));
    }

    // However the program is left, both files are written once with the record as it stands
    // and nothing more is said. Leaving while a download runs gives the download up ("Нет
    // связи!" would pop up over nothing).
    void leavingWritesBothFilesOnce_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("duringDownload");
        // "Выход" ends in the close box too: a download is given up the same way either way.
        QTest::newRow("Выход") << "Выход" << false;
        QTest::newRow("close box twice") << "close box" << false;
        QTest::newRow("close box, downloading") << "close box" << true;
    }
    void leavingWritesBothFilesOnce() {
        QFETCH(QString, how);
        QFETCH(bool, duringDownload);
        Loaded f;
        f.board.show();
        QSignalSpy exitSpy(&f.board, &Switchboard::ExitRequested);
        f.ws->RangeOfMeasure = 1.995f;
        const auto leave = [&] {
            if (how == QLatin1String("Выход"))
                f.Click("Command6");
            else
                f.board.close();
        };
        if (duringDownload) {
            f.windows.duringDownload = leave;
            f.Click("Command1");
        } else {
            leave();
            leave();
        }
        QCOMPARE(exitSpy.count(), 1);
        QVERIFY(f.board.HasExited());
        QCOMPARE(f.windows.closed, 1);
        QCOMPARE(f.windows.aborted, duringDownload ? 1 : 0);
        QVERIFY(f.prompter.shown.empty());
        QVERIFY(test::ReadFile(f.dir.File("options.sav")).find("2.00") != std::string::npos);
        QVERIFY(test::ReadFile(f.dir.File("temp.mem")).find("5.10") != std::string::npos);
    }
};

}  // namespace ws

QTEST_MAIN(ws::SwitchboardTest)
#include "switchboard_test.moc"
