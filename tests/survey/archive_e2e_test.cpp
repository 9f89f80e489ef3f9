// The archive end to end: downloads from the gauge simulator over a pseudo-terminal through the
// program's own download path and through wallscan-cli.

#include <QtTest>
#include <memory>

#include "app/app_windows.h"
#include "support/fake_file_picker.h"
#include "support/fake_prompter.h"
#include "support/processes.h"
#include "support/temp_dir.h"
#include "survey/survey_archive.h"

namespace ws {
namespace {

using test::Gauge;

// The program's windows over an archive in a fresh folder.
struct Station {
    test::TempDir dir;
    SurveyArchive archive;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    test::FakePrompter prompter;
    test::FakeFilePicker picker;
    AppWindows windows{*ws, prompter, picker};

    Station() {
        archive.Open(dir.File("archive"));
        ws->HomeDir = dir.str();
        ws->BaudIndex = 3;
        windows.SetArchive(&archive);
    }
    ~Station() { windows.CloseAll(); }
    // One download from a simulator started with `args`; the download's result code.
    int16_t Download(const QStringList& args) {
        Gauge gauge(args);
        ws->PortName = gauge.device.toStdString();
        return windows.DownloadFromGauge();
    }
};

}  // namespace

class ArchiveEndToEndTest : public QObject {
    Q_OBJECT

  private slots:
    void aSilentGaugeFilesNothingAndABrokenTransferWhatCame() {
        Station s;
        s.Download({"--silent"});
        QVERIFY(s.archive.List().empty());
        // A transfer that broke off is kept, with what came and what was announced.
        s.Download({"--points", "400", "--stop-after", "500"});
        const auto entries = s.archive.List();
        QCOMPARE(entries.size(), size_t{1});
        QCOMPARE(entries[0].ExpectedBytes, 800);
        QCOMPARE(entries[0].ReceivedBytes, 497);
        QCOMPARE(test::ReadFile(entries[0].RawFile).size(), size_t{500});
        // Without an archive the download still lands in the record and temp.mem.
        s.windows.SetArchive(nullptr, "Архив замеров недоступен: проверка.");
        QCOMPARE(s.Download({"--points", "120"}), int16_t{1});
        QCOMPARE(s.ws->ArchiveEntryId, int64_t{0});
        QVERIFY(test::ReadFile(s.dir.File("temp.mem")).find(" 120 \r\n") != std::string::npos);
    }

    void theCommandLineDownloadFilesItsTraceUnlessToldNot() {
        test::TempDir dir;
        Gauge gauge({"--points", "300"});
        const QString mem = test::Q(dir.File("dl.mem")), folder = test::Q(dir.File("archive"));
        const QStringList args{"download", "--device", gauge.device, "--baud", "57600",
                               "-o",       mem,        "--archive",  folder};
        QCOMPARE(test::Cli(args).status, 0);
        QCOMPARE(test::Cli(args + QStringList{"--no-archive"}).status, 0);
        SurveyArchive archive;
        QVERIFY(archive.Open(dir.File("archive")).Ok);
        const auto entries = archive.List();
        QCOMPARE(entries.size(), size_t{1});
        QCOMPARE(test::ReadFile(entries[0].TraceFile), test::ReadFile(dir.File("dl.mem")));
        QCOMPARE(test::ReadFile(entries[0].RawFile).size(), size_t{603});
    }
};

}  // namespace ws

QTEST_MAIN(ws::ArchiveEndToEndTest)
#include "archive_e2e_test.moc"
