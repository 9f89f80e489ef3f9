// The desktop integration files as the desktop reads them: they name each other consistently.
// Each file's own validator, and `wallscan` answering its command line without a display, run
// straight from ctest (CMakeLists.txt beside this file).

#include <QtTest>

#include "support/processes.h"
#include "support/temp_dir.h"

namespace ws {
namespace {

const QString kAppId = QStringLiteral("org.wallscan.WallScan");

QString DesktopDir() {
    return QStringLiteral(WALLSCAN_SOURCE_DIR "/share/desktop/");
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT

  private slots:
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
};

}  // namespace ws

QTEST_MAIN(ws::DesktopTest)
#include "desktop_test.moc"
