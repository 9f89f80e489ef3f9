// The download end to end: the real QSerialPort code over a pseudo-terminal, against the gauge
// simulator, through the progress window and through wallscan-cli.

#include <QAbstractEventDispatcher>
#include <QtTest>

#include "link/gauge_link.h"
#include "link/progress_window.h"
#include "link/qt_serial_port.h"
#include "support/fake_prompter.h"
#include "support/mem_text.h"
#include "support/processes.h"

#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace ws {

class LinkEndToEndTest : public QObject {
    Q_OBJECT

  private slots:
    // The largest trace at the highest speed through the real port and progress window; how
    // short or broken answers end is the fake line's business.
    void theLargestTraceAtTheHighestSpeed() {
        test::Gauge gauge({"--points", "4100", "--seed", "3"});
        const auto ws = test::WorkspaceWith({9.0f, 9.5f});
        ws->BaudIndex = 3;
        test::FakePrompter prompter;
        QtSerialPort port;
        QtEventPump pump;
        ProgressWindow progress;
        GaugeLink link(*ws, port, pump, prompter, progress);
        link.Device = gauge.device.toStdString();
        QCOMPARE(link.DownloadFromGauge(), int16_t{1});
        QCOMPARE(ws->PointCount, 4100);
        QVERIFY(ws->Thickness[410] > 5.0f);
        QVERIFY(!progress.isVisible());
    }

    // The toolkit's "no parity" drops a byte with a framing error (IGNPAR), shifting every
    // later value; the opened line must deliver such bytes in their place.
    void theLineKeepsDamagedBytes() {
        int master = -1, slave = -1;
        char name[256] = {};
        QCOMPARE(::openpty(&master, &slave, name, nullptr, nullptr), 0);
        QtSerialPort port;
        QVERIFY(port.Open(name));
        QVERIFY(port.WriteSettings(9600));
        termios tio{};
        QCOMPARE(::tcgetattr(static_cast<int>(port.NativeHandle()), &tio), 0);
        QCOMPARE(tio.c_iflag & (IGNPAR | INPCK | PARMRK | ISTRIP), tcflag_t{0});
        port.Close();
        ::close(slave);
        ::close(master);
    }

    // The tool's download of a good trace is checked with the archive it files into; here the
    // silent gauge: a message and an exit code a script can test, nothing on standard output.
    void commandLineDownloadFromASilentGauge() {
        test::Gauge silent({"--silent"});
        const auto none = test::Cli({"download", "--device", silent.device, "--baud", "57600"});
        QCOMPARE(none.status, 1);
        QVERIFY(none.err.find("Нет связи!") != std::string::npos);
        QVERIFY(none.out.empty());
    }

    // Runs last: it leaves the application quitting. Once quitting, an event loop returns at
    // once; a wait must still sleep in naps, not spin a core for the rest of the transfer. A
    // spinning wait wakes the dispatcher thousands of times in half a second, napping a few
    // dozen.
    void aWaitWhileQuittingSleeps() {
        QtEventPump pump;
        QCoreApplication::exit(0);
        int wakeUps = 0;
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, this,
                [&] { ++wakeUps; });
        const double start = pump.Now();
        WaitSeconds(pump, 0.5);
        QVERIFY(pump.Now() - start >= 0.5);
        QVERIFY2(wakeUps < 200, qPrintable(QString::number(wakeUps)));
    }
};

}  // namespace ws

QTEST_MAIN(ws::LinkEndToEndTest)
#include "link_e2e_test.moc"
