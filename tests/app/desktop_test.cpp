// The desktop integration files as the desktop reads them: each passes its own validator, they
// name each other consistently, the .mem file type is recognised, and `wallscan` answers its
// command line without a display. A validator that is not installed skips its test and says
// which Debian package brings it.

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace ws {
namespace {

const QString kAppId = QStringLiteral("org.wallscan.WallScan");

QString DesktopDir() {
    return QStringLiteral(WALLSCAN_SOURCE_DIR "/share/desktop/");
}

QString ReadText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

struct Run {
    int status = -1;  // -1: did not start or crashed
    QString out;      // standard output and error together
};

Run RunTool(const QString& program, const QStringList& args, const QProcessEnvironment& env = {}) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.start(program, args);
    Run r;
    if (!p.waitForStarted(10000) || !p.waitForFinished(60000))
        return r;
    r.out = QString::fromUtf8(p.readAll());
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT

    QTemporaryDir mimeHome_;
    bool mimeReady_ = false;

    // Skips the running test when `tool` is missing.
#define REQUIRE_TOOL(tool, package)                                     \
    if (QStandardPaths::findExecutable(QStringLiteral(tool)).isEmpty()) \
        QSKIP(tool " is not installed (Debian package " package "): validation not run");

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
        const Run r = RunTool(QStringLiteral("update-mime-database"),
                              {mimeHome_.filePath(QStringLiteral("mime"))});
        QVERIFY2(r.status == 0, qPrintable(r.out));
        const QString system = qEnvironmentVariable("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
        qputenv("XDG_DATA_DIRS", (mimeHome_.path() + ':' + system).toUtf8());
        mimeReady_ = true;
    }

    void desktopEntryValidates() {
        REQUIRE_TOOL("desktop-file-validate", "desktop-file-utils");
        const Run r = RunTool(QStringLiteral("desktop-file-validate"),
                              {DesktopDir() + kAppId + QStringLiteral(".desktop")});
        // Hints and warnings are printed too: a clean entry prints nothing.
        QVERIFY2(r.status == 0 && r.out.trimmed().isEmpty(), qPrintable(r.out));
    }

    void xmlFilesAreWellFormed() {
        REQUIRE_TOOL("xmllint", "libxml2-utils");
        for (const char* suffix : {".mime.xml", ".metainfo.xml", ".svg"}) {
            const Run r =
                RunTool(QStringLiteral("xmllint"),
                        {QStringLiteral("--noout"), DesktopDir() + kAppId + QLatin1String(suffix)});
            QVERIFY2(r.status == 0, qPrintable(suffix + (": " + r.out)));
        }
    }

    void metainfoValidates() {
        REQUIRE_TOOL("appstreamcli", "appstream");
        const Run r = RunTool(QStringLiteral("appstreamcli"),
                              {QStringLiteral("validate"), QStringLiteral("--no-net"),
                               DesktopDir() + kAppId + QStringLiteral(".metainfo.xml")});
        QVERIFY2(r.status == 0, qPrintable(r.out));
    }

    // The files name one another: a renamed icon or type in one file alone breaks the menu
    // entry or the double click without any validator noticing.
    void filesNameEachOther() {
        const QString desktop = ReadText(DesktopDir() + kAppId + QStringLiteral(".desktop"));
        const QString mime = ReadText(DesktopDir() + kAppId + QStringLiteral(".mime.xml"));
        const QString meta = ReadText(DesktopDir() + kAppId + QStringLiteral(".metainfo.xml"));
        QVERIFY(!desktop.isEmpty() && !mime.isEmpty() && !meta.isEmpty());
        QVERIFY(desktop.contains(QStringLiteral("\nIcon=") + kAppId + '\n'));
        QVERIFY(desktop.contains(QStringLiteral("\nExec=wallscan %f\n")));
        QVERIFY(desktop.contains(QStringLiteral("\nMimeType=application/x-wallscan-mem;\n")));
        QVERIFY(desktop.contains(QStringLiteral("\nName[ru]=")) ||
                desktop.contains(QStringLiteral("\nGenericName[ru]=")));
        QVERIFY(desktop.contains(QStringLiteral("\nComment[ru]=")));
        QVERIFY(mime.contains(QStringLiteral("type=\"application/x-wallscan-mem\"")));
        QVERIFY(mime.contains(QStringLiteral("<icon name=\"") + kAppId + '"'));
        QVERIFY(meta.contains(QStringLiteral("<id>") + kAppId + QStringLiteral("</id>")));
        QVERIFY(meta.contains(kAppId + QStringLiteral(".desktop</launchable>")));
        QVERIFY(meta.contains(QStringLiteral("<mediatype>application/x-wallscan-mem<")));
        QVERIFY(meta.contains(QStringLiteral("<screenshot type=\"default\">")));
    }

    void memFilesAreRecognised_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("type");
        const QByteArray scan =
            "Regime:\r\n255\r\nTotal quantity of points:\r\n 2 \r\nData:\r\n"
            "5.00\r\n5.10\r\n";
        QTest::newRow("by name and content") << "scan.mem" << scan << "application/x-wallscan-mem";
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
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        QCOMPARE(QMimeDatabase().mimeTypeForFile(f.fileName()).name(), type);
    }

    void shippedSampleIsAWallScanFile() {
        if (!mimeReady_)
            QSKIP("update-mime-database is not installed (Debian package shared-mime-info)");
        QCOMPARE(
            QMimeDatabase()
                .mimeTypeForFile(QStringLiteral(WALLSCAN_SOURCE_DIR "/share/samples/pipe_8mm.mem"))
                .name(),
            QStringLiteral("application/x-wallscan-mem"));
    }

    // What a terminal user or a launcher sees, from the real program with no display at all:
    // the toolkit must not be started for these.
    void commandLineWithoutDisplay_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        QTest::newRow("help") << QStringList{"--help"} << 0
                              << "Usage: wallscan [FILE.mem | FOLDER]";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "wallscan " WALLSCAN_VERSION;
        QTest::newRow("unknown option")
            << QStringList{"--frobnicate"} << 2 << "wallscan: неизвестный параметр --frobnicate";
        QTest::newRow("two files") << QStringList{"a.mem", "b.mem"} << 2 << "лишний аргумент b.mem";
    }
    void commandLineWithoutDisplay() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, says);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        const Run r = RunTool(QStringLiteral(WALLSCAN_BINARY), args, env);
        QVERIFY2(r.status == status, qPrintable(r.out));
        QVERIFY2(r.out.contains(says), qPrintable(r.out));
    }
};

}  // namespace ws

QTEST_MAIN(ws::DesktopTest)
#include "desktop_test.moc"
