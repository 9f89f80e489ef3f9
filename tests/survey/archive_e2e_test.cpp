// The archive end to end: downloads from the gauge simulator over a pseudo-terminal through the
// program's own download path, the archive window, the profile viewer, and wallscan-cli.

#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "app/app_windows.h"
#include "data/trace_file.h"
#include "support/fake_file_picker.h"
#include "support/fake_prompter.h"
#include "support/processes.h"
#include "support/temp_dir.h"
#include "survey/archive_window.h"
#include "survey/survey_archive.h"

namespace ws {
namespace {

using test::Gauge;

template <typename T>
T* Find(const char* name) {
    const QString wanted = QString::fromLatin1(name);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == wanted)
            if (auto* self = qobject_cast<T*>(w))
                return self;
        if (auto* found = w->findChild<T*>(wanted))
            return found;
    }
    return nullptr;
}

}  // namespace

class ArchiveEndToEndTest : public QObject {
    Q_OBJECT

  private slots:
    void twoDownloadsFiledDescribedFoundOpenedExported() {
        test::TempDir dir;
        SurveyArchive archive;
        QVERIFY(archive.Open(dir.File("archive")).Ok);
        auto ws = std::make_unique<Workspace>();
        ws->HomeDir = dir.str();
        ws->BaudIndex = 3;
        ws->DecimalSeparator = ".";
        test::FakePrompter prompter;
        test::FakeFilePicker picker;
        AppWindows windows(*ws, prompter, picker);
        windows.SetArchive(&archive);

        // First download: 400 points.
        Gauge first({"--points", "400", "--seed", "5"});
        QVERIFY(!first.device.isEmpty());
        ws->PortName = first.device.toStdString();
        QCOMPARE(windows.DownloadFromGauge(), int16_t{1});
        QVERIFY(prompter.shown.empty());
        const int64_t id1 = ws->ArchiveEntryId;
        QVERIFY(id1 != 0);
        const auto e1 = archive.Get(id1);
        QCOMPARE(e1->PointCount, 400);
        QCOMPARE(e1->ExpectedBytes, 800);
        QCOMPARE(e1->ReceivedBytes, 800);
        QCOMPARE(e1->Baud, 57600);
        QCOMPARE(test::ReadFile(e1->TraceFile), FormatTraceFile(ws->CurrentTrace()));
        const std::string raw1 = test::ReadFile(e1->RawFile);
        QCOMPARE(raw1.size(), size_t{803});  // header and every data byte, as they came
        QCOMPARE(static_cast<uint8_t>(raw1[0]), uint8_t{0x20});  // 800 = 0x0320, low byte first
        QCOMPARE(static_cast<uint8_t>(raw1[1]), uint8_t{0x03});
        QCOMPARE(static_cast<uint8_t>(raw1[2]), uint8_t{0xFF});
        const std::string mem1 = test::ReadFile(e1->TraceFile);

        // The archive window shows it; it gets an object and a section.
        windows.ShowArchive(nullptr);
        auto* table = Find<QTableView>("grdEntries");
        QVERIFY(table);
        QCOMPARE(table->model()->rowCount(), 1);
        table->selectRow(0);
        Find<QComboBox>("cboObject")->setCurrentText(QStringLiteral("Трубопровод Т-3"));
        Find<QLineEdit>("txtSection")->setText(QStringLiteral("Участок 1"));
        QTest::mouseClick(Find<QPushButton>("cmdSaveDescription"), Qt::LeftButton);
        QCOMPARE(QString::fromStdString(archive.Get(id1)->Section), QStringLiteral("Участок 1"));

        // Second download: another trace; the first entry's files stay as they were.
        Gauge second({"--points", "250", "--seed", "9"});
        ws->PortName = second.device.toStdString();
        QCOMPARE(windows.DownloadFromGauge(), int16_t{1});
        const int64_t id2 = ws->ArchiveEntryId;
        QVERIFY(id2 != 0 && id2 != id1);
        QCOMPARE(archive.Get(id2)->PointCount, 250);
        QCOMPARE(test::ReadFile(e1->TraceFile), mem1);
        QCOMPARE(test::ReadFile(e1->RawFile), raw1);
        // The open window learnt of it at once.
        QCOMPARE(table->model()->rowCount(), 2);

        // Found by the filter, opened into the profile viewer, exported.
        auto* filter = Find<QLineEdit>("txtFilter");
        filter->setText(QStringLiteral("т-3 участок"));
        QCOMPARE(table->model()->rowCount(), 1);
        table->selectRow(0);
        QTest::mouseClick(Find<QPushButton>("cmdOpen"), Qt::LeftButton);
        QCOMPARE(ws->PointCount, 400);
        QCOMPARE(ws->ArchiveEntryId, id1);
        QTRY_VERIFY(Find<QWidget>("Form1") && Find<QWidget>("Form1")->isVisible());
        const std::string exported = dir.File("export.mem");
        picker.answers = {exported};
        QTest::mouseClick(Find<QPushButton>("cmdExport"), Qt::LeftButton);
        QCOMPARE(test::ReadFile(exported), mem1);
        QVERIFY(prompter.shown.empty());

        // The command line sees both, newest first.
        const auto cli = test::Cli({"archive", "list", "--json", "--archive",
                                    QString::fromStdString(dir.File("archive"))});
        QCOMPARE(cli.status, 0);
        const QJsonArray list = QJsonDocument::fromJson(QByteArray::fromStdString(cli.out)).array();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[0].toObject()[QStringLiteral("id")].toInteger(), id2);
        QCOMPARE(list[1].toObject()[QStringLiteral("id")].toInteger(), id1);
        QCOMPARE(list[1].toObject()[QStringLiteral("object")].toString(),
                 QStringLiteral("Трубопровод Т-3"));
        QCOMPARE(list[1].toObject()[QStringLiteral("points")].toInt(), 400);
        windows.CloseAll();
    }

    void aSilentGaugeFilesNothingAndAnArchiveThatIsOffChangesNothing() {
        test::TempDir dir;
        SurveyArchive archive;
        QVERIFY(archive.Open(dir.File("archive")).Ok);
        auto ws = std::make_unique<Workspace>();
        ws->HomeDir = dir.str();
        ws->BaudIndex = 3;
        test::FakePrompter prompter;
        test::FakeFilePicker picker;
        AppWindows windows(*ws, prompter, picker);
        windows.SetArchive(&archive);
        Gauge silent({"--silent"});
        ws->PortName = silent.device.toStdString();
        windows.DownloadFromGauge();
        QVERIFY(archive.List().empty());

        // A transfer that broke off is kept too, with what came and what was announced.
        Gauge cut({"--points", "400", "--stop-after", "500"});
        ws->PortName = cut.device.toStdString();
        windows.DownloadFromGauge();
        const auto entries = archive.List();
        QCOMPARE(entries.size(), size_t{1});
        QCOMPARE(entries[0].ExpectedBytes, 800);
        QCOMPARE(entries[0].ReceivedBytes, 497);
        QCOMPARE(test::ReadFile(entries[0].RawFile).size(), size_t{500});
        QCOMPARE(ws->ArchiveEntryId, entries[0].Id);

        // Without an archive the download still lands in the record and temp.mem.
        AppWindows off(*ws, prompter, picker);
        Gauge gauge({"--points", "120"});
        ws->PortName = gauge.device.toStdString();
        QCOMPARE(off.DownloadFromGauge(), int16_t{1});
        QCOMPARE(ws->PointCount, 120);
        QCOMPARE(ws->ArchiveEntryId, int64_t{0});
        QVERIFY(test::ReadFile(dir.File("temp.mem")).find(" 120 \r\n") != std::string::npos);
        // Its menu items say why there is nothing to show.
        off.SetArchive(nullptr, "Архив замеров недоступен: проверка.");
        off.ShowArchive(nullptr);
        QCOMPARE(prompter.Texts().back(), std::string("Архив замеров недоступен: проверка."));
    }

    void theCommandLineDownloadFilesItsTraceUnlessToldNot() {
        test::TempDir dir;
        const QString folder = QString::fromStdString(dir.File("archive"));
        Gauge gauge({"--points", "300"});
        for (const bool skip : {false, true}) {
            QStringList args{"download",
                             "--device",
                             gauge.device,
                             "--baud",
                             "57600",
                             "-o",
                             QString::fromStdString(dir.File("dl.mem")),
                             "--archive",
                             folder};
            if (skip)
                args << "--no-archive";
            QCOMPARE(test::Cli(args).status, 0);
        }
        SurveyArchive archive;
        QVERIFY(archive.Open(folder.toStdString()).Ok);
        const auto entries = archive.List();
        QCOMPARE(entries.size(), size_t{1});
        QCOMPARE(test::ReadFile(entries[0].TraceFile), test::ReadFile(dir.File("dl.mem")));
        QCOMPARE(test::ReadFile(entries[0].RawFile).size(), size_t{603});
    }
};

}  // namespace ws

QTEST_MAIN(ws::ArchiveEndToEndTest)
#include "archive_e2e_test.moc"
