// The desktop integration files as the desktop reads them: they name each other consistently,
// the .mem file type is recognised, and `wallscan` answers its command line without a display.
// Each file's own validator runs straight from ctest (CMakeLists.txt beside this file).

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "support/processes.h"
#include "support/temp_dir.h"

namespace ws {
namespace {

const QString kAppId = QStringLiteral("org.wallscan.WallScan");

QString DesktopDir() {
    return QStringLiteral(WALLSCAN_SOURCE_DIR "/share/desktop/");
}

// Standard output and error together, as a terminal shows them.
QString Output(const test::ProcessRun& r) {
    return test::Q(r.out + r.err);
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT

    QTemporaryDir mimeHome_;
    bool mimeReady_ = false;

  private slots:
    void initTestCase() {
        // The file type as the desktop would know it after installing the package: our
        // definition compiled beside the system's, read through the toolkit's mime database.
        // The database reads XDG_DATA_DIRS once, at its first use, which is later than this.
        if (QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty())
            return;
        QDir(mimeHome_.path()).mkpath(QStringLiteral("mime/packages"));
        QFile::copy(DesktopDir() + kAppId + QStringLiteral(".mime.xml"),
                    mimeHome_.filePath(QStringLiteral("mime/packages/") + kAppId + ".xml"));
        const test::ProcessRun r = test::RunProcess(QStringLiteral("update-mime-database"),
                                                    {mimeHome_.filePath(QStringLiteral("mime"))});
        QVERIFY2(r.status == 0, qPrintable(Output(r)));
        const QString system = qEnvironmentVariable("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
        qputenv("XDG_DATA_DIRS", (mimeHome_.path() + ':' + system).toUtf8());
        mimeReady_ = true;
    }

    // The files name one another: a renamed icon or type in one file alone breaks the menu
    // entry or the double click without any validator noticing.
    void filesNameEachOther() {
        const auto read = [](const char* suffix) {
            return test::Q(test::ReadFile((DesktopDir() + kAppId + suffix).toStdString()));
        };
        const QString desktop = read(".desktop"), mime = read(".mime.xml"),
                      meta = read(".metainfo.xml");
        const QString needles[][2] = {{desktop, "\nIcon=" + kAppId + '\n'},
                                      {desktop, "\nExec=wallscan %f\n"},
                                      {desktop, "\nMimeType=application/x-wallscan-mem;\n"},
                                      {mime, "type=\"application/x-wallscan-mem\""},
                                      {mime, "<icon name=\"" + kAppId + '"'},
                                      {meta, "<id>" + kAppId + "</id>"},
                                      {meta, kAppId + ".desktop</launchable>"},
                                      {meta, "<mediatype>application/x-wallscan-mem<"}};
        for (const auto& [text, needle] : needles)
            QVERIFY2(!text.isEmpty() && text.contains(needle), qPrintable(needle));
    }

    void memFilesAreRecognised_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("type");
        const QByteArray scan =
            "Regime:\r\n255\r\nTotal quantity of points:\r\n 2 \r\nData:\r\n"
            "5.00\r\n5.10\r\n";
        QTest::newRow("upper-case extension") << "SCAN.MEM" << scan << "application/x-wallscan-mem";
        // A mail attachment saved without its extension: the first line still tells.
        QTest::newRow("no extension") << "attachment" << scan << "application/x-wallscan-mem";
        // Another program's text that happens to start alike keeps its own extension's type.
        QTest::newRow("text file") << "notes.txt" << scan << "text/plain";
        QTest::newRow("other text, no extension")
            << "points" << QByteArray("Data:\n1\n") << "text/plain";
    }
    void memFilesAreRecognised() {
        if (!mimeReady_)
            QSKIP("update-mime-database is not installed (Debian package shared-mime-info)");
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, type);
        QTemporaryDir dir;
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        f.close();
        QCOMPARE(QMimeDatabase().mimeTypeForFile(f.fileName()).name(), type);
    }

    // What a terminal user or a launcher sees, from the real program with no display at all:
    // the toolkit must not be started for these.
    void commandLineWithoutDisplay_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        QTest::newRow("help") << QStringList{"--help"} << 0
                              << "Usage: wallscan [FILE.mem | FOLDER]";
        QTest::newRow("unknown option")
            << QStringList{"--frobnicate"} << 2 << "wallscan: неизвестный параметр --frobnicate";
    }
    void commandLineWithoutDisplay() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, says);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        const test::ProcessRun r = test::RunProcess(QStringLiteral(WALLSCAN_BINARY), args, env);
        QVERIFY2(r.status == status, qPrintable(Output(r)));
        QVERIFY2(Output(r).contains(says), qPrintable(Output(r)));
    }
};

}  // namespace ws

QTEST_MAIN(ws::DesktopTest)
#include "desktop_test.moc"
