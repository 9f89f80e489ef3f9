// A program started later hands its path to the running one; the running one opens it in its
// main window as the buttons would. Both ends live in this process: HandOver runs the event
// loop while it waits, so the server answers it.

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QUuid>
#include <QtTest>

#include "app/instance_link.h"
#include "support/app_fixture.h"
#include "support/mem_text.h"

namespace ws {
namespace {

const std::string& kScan = test::kGapScan;
const std::string kSingles = test::MemText(0, {"4.00", "4.10"});

// A name no real program and no other test uses.
QString UniqueName() {
    return QStringLiteral("wallscan-test-") + QUuid::createUuid().toString(QUuid::Id128);
}

}  // namespace

class InstanceLinkTest : public QObject {
    Q_OBJECT

    struct Fixture : test::BoardFixture {
        Fixture() {
            dir.Write("temp.mem", kScan);
            Load();
        }
    };

  private slots:
    // Each path the way the buttons would take it: which viewer opens, which message shows.
    void openPath_data() {
        QTest::addColumn<QString>("name");  // under the test's folder
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("message");
        QTest::newRow("scan") << "scan.mem" << QStringList{"profile"} << "";
        QTest::newRow("single readings") << "single.mem" << QStringList{"table"} << "";
        QTest::newRow("folder") << "relief" << QStringList{"relief"} << "";
        // The usual message for an unreadable file, and no viewer over the old trace.
        QTest::newRow("garbage") << "garbage.mem" << QStringList{} << "Ошибка при вводе из файла";
        QTest::newRow("missing") << "gone.mem" << QStringList{} << "Файл не найден:";
    }
    void openPath() {
        QFETCH(QString, name);
        QFETCH(QStringList, shown);
        QFETCH(QString, message);
        Fixture f;
        f.dir.Write("scan.mem", kScan);
        f.dir.Write("single.mem", kSingles);
        f.dir.Write("relief/a.mem", kScan);
        f.dir.Write("relief/b.mem", kScan);
        f.dir.Write("garbage.mem", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
        f.board.OpenPath(f.dir.File(name.toStdString()));
        QStringList got;
        for (const auto& s : f.windows.shown)
            got << QString::fromStdString(s);
        QCOMPARE(got, shown);
        QStringList said;
        for (const auto& t : f.prompter.Texts())
            said << QString::fromStdString(t);
        QVERIFY2(
            message.isEmpty() ? said.isEmpty() : said.size() == 1 && said[0].startsWith(message),
            qPrintable(said.join('|')));
        // The dialog's answer is the path, as if the operator had chosen it there.
        if (name.endsWith(QLatin1String(".mem")) && name != QLatin1String("gone.mem"))
            QCOMPARE(f.ws->DialogFileName, f.dir.File(name.toStdString()));
        QVERIFY(f.picker.requests.empty());  // no dialog was asked
    }

    // A program killed earlier leaves the socket's file with nobody behind it: the next start
    // takes the name over, and a later start defers to it and hands its path over. A start
    // without a path only brings the window up.
    void handedPathOpensInTheRunningProgram() {
        Fixture f;
        const QString name = UniqueName();
#ifndef _WIN32
        QFile stale(QDir(QDir::tempPath()).filePath(name));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
#endif
        InstanceLink running(name), later(name);
        QVERIFY(!later.HandOver(QStringLiteral("a.mem")));  // nobody behind the file yet
        QVERIFY(running.Listen());
        QVERIFY(!later.Listen());
        QSignalSpy spy(&running, &InstanceLink::PathReceived);
        QObject::connect(&running, &InstanceLink::PathReceived, &f.board,
                         [&f](const QString& p) { f.board.OpenFromOutside(p.toStdString()); });
        const std::string single = f.dir.Write("Замер 2.mem", kSingles);
        QVERIFY(later.HandOver(QString::fromStdString(single)));
        QTRY_COMPARE(f.windows.shown, std::vector<std::string>{"table"});
        QCOMPARE(f.ws->CurrentFileName, single);

        QVERIFY(later.HandOver(QString()));
        QTRY_COMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toString(), QString());
        QCOMPARE(f.windows.shown.size(), size_t{1});
    }

    void pathWaitsForAnOpenBox() {
        Fixture f;
        f.board.show();
        const std::string scan = f.dir.Write("scan.mem", kScan);
        QDialog box;
        box.setModal(true);
        box.show();
        QTRY_VERIFY(QApplication::activeModalWidget() == &box);
        f.board.OpenFromOutside(scan);
        QCoreApplication::processEvents();
        QVERIFY(f.windows.shown.empty());
        box.close();
        QTRY_COMPARE(f.windows.shown, std::vector<std::string>{"profile"});
    }

    // Strangers on the socket: a line that never ends, a flood, a client that goes away.
    // None of them opens anything; the program keeps answering afterwards.
    void badClientsAreDropped() {
        const QString name = UniqueName();
        InstanceLink running(name);
        QVERIFY(running.Listen());
        QSignalSpy spy(&running, &InstanceLink::PathReceived);

        QLocalSocket flood;
        flood.connectToServer(name);
        QVERIFY(flood.waitForConnected(2000));
        flood.write(QByteArray(200 * 1024, 'x'));
        flood.flush();
        QTRY_VERIFY(flood.state() == QLocalSocket::UnconnectedState);

        QLocalSocket quitter;
        quitter.connectToServer(name);
        QVERIFY(quitter.waitForConnected(2000));
        quitter.write("half a pa");
        quitter.flush();
        quitter.abort();

        QVERIFY(InstanceLink(name).HandOver(QStringLiteral("ok.mem")));
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("ok.mem"));
    }
};

}  // namespace ws

QTEST_MAIN(ws::InstanceLinkTest)
#include "instance_link_test.moc"
