// Many downloads in a row in one process, over real pseudo-terminals against the simulator,
// with pauses, short answers, line noise and silence mixed in. Every complete transfer must
// decode exactly, every partial one must keep what came and say so, every failed one must
// leave the record as it was; under the sanitizer build this also proves nothing leaks.

#include <QProcess>
#include <QtTest>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>

#include "link/gauge_link.h"
#include "link/progress_window.h"
#include "link/qt_serial_port.h"
#include "support/fake_prompter.h"
#include "support/temp_dir.h"

namespace ws {

class LinkSoakTest : public QObject {
    Q_OBJECT

    enum class Kind { Clean, Pause, Short, Noise, Silent };

    static int Downloads() {
        const char* env = std::getenv("WALLSCAN_SOAK_DOWNLOADS");
        const int n = env ? std::atoi(env) : 200;
        return n > 0 ? n : 200;
    }

  private slots:
    void manyDownloadsInARow() {
        test::TempDir dir;
        std::mt19937 rng(20261207);
        auto ws = std::make_unique<Workspace>();
        ws->BaudIndex = 3;
        test::FakePrompter prompter;
        QtSerialPort port;
        QtEventPump pump;
        ProgressWindow progress;
        GaugeLink link(*ws, port, pump, prompter, progress);

        int counts[5] = {};
        int complete = 0, partial = 0, failed = 0;
        const int downloads = Downloads();
        for (int n = 0; n < downloads; ++n) {
            const auto kind = static_cast<Kind>(std::uniform_int_distribution<int>(0, 9)(rng) % 5);
            ++counts[static_cast<int>(kind)];

            // The trace the gauge holds, in hundredths, and the file the simulator sends it from.
            const int points = std::uniform_int_distribution<int>(20, 700)(rng);
            const int16_t regime = (n % 4 == 3) ? 0 : 255;
            std::vector<int> raw(static_cast<size_t>(points));
            std::string file = "Regime:\r\n" + std::to_string(regime) +
                               "\r\nTotal quantity of points:\r\n " + std::to_string(points) +
                               " \r\nData:\r\n";
            for (int& v : raw) {
                v = std::uniform_int_distribution<int>(100, 1500)(rng);
                char text[16];
                std::snprintf(text, sizeof text, "%d.%02d\r\n", v / 100, v % 100);
                file += text;
            }
            const std::string path = dir.Write("gauge.mem", file);

            QStringList args{"--file",   QString::fromStdString(path),
                             "--quiet",  "--once",
                             "--linger", "1",
                             "--seed",   QString::number(n)};
            const int bytes = 3 + 2 * points;
            if (kind == Kind::Pause)
                args << "--pause-after"
                     << QString::number(std::uniform_int_distribution<int>(3, bytes - 1)(rng))
                     << "--pause"
                     << QString::number(std::uniform_real_distribution<double>(0.2, 1.8)(rng));
            else if (kind == Kind::Short)
                args << "--stop-after"
                     << QString::number(std::uniform_int_distribution<int>(0, bytes - 1)(rng));
            else if (kind == Kind::Noise)
                args << "--noise"
                     << QString::number(std::uniform_real_distribution<double>(0.0005, 0.01)(rng));
            else if (kind == Kind::Silent)
                args << "--silent";

            QProcess sim;
            sim.start(QStringLiteral(WALLSCAN_SIM_PATH), args);
            QVERIFY(sim.waitForStarted(5000));
            QVERIFY(sim.waitForReadyRead(5000));
            link.Device = QString::fromUtf8(sim.readLine()).trimmed().toStdString();

            // What the record held before: a different trace every time.
            ws->Regime = 255;
            ws->PointCount = 5 + n % 7;
            for (int i = 0; i < ws->PointCount; ++i)
                ws->Thickness[static_cast<size_t>(i)] = 3.0f + static_cast<float>((n + i) % 9);
            const Trace before = ws->CurrentTrace();
            prompter.shown.clear();

            link.DownloadFromGauge();
            sim.terminate();
            if (!sim.waitForFinished(3000))
                sim.kill();

            const std::string what = "download " + std::to_string(n);
            if (!link.Received()) {
                ++failed;
                QVERIFY2(kind != Kind::Clean, what.c_str());
                const Trace after = ws->CurrentTrace();
                QVERIFY2(
                    after.PointCount == before.PointCount && after.Thickness == before.Thickness,
                    what.c_str());
                continue;
            }
            QVERIFY2(ws->PointCount >= 1 && ws->PointCount <= kMaxGaugePoints, what.c_str());
            for (int i = 0; i < ws->PointCount; ++i) {
                const float t = ws->Thickness[static_cast<size_t>(i)];
                QVERIFY2(std::isfinite(t) && t >= 0.0f, what.c_str());
            }
            if (kind == Kind::Noise)
                continue;  // bits flipped on the line: only sanity can be asked for
            QCOMPARE(ws->Regime, regime);
            QCOMPARE(ws->PointCount, points);
            const bool warned = !prompter.shown.empty();
            int matching = 0;
            while (matching < points &&
                   std::fabs(ws->Thickness[static_cast<size_t>(matching)] -
                             raw[static_cast<size_t>(matching)] / 100.0f) < 1e-4f)
                ++matching;
            if (!warned) {
                ++complete;
                QVERIFY2(matching == points,
                         (what + ": a complete transfer decodes exactly").c_str());
            } else {
                ++partial;
                QVERIFY2(kind != Kind::Clean, what.c_str());
                QVERIFY2(matching >= 1 || link.RxCount < 2, what.c_str());
                // What never came is shown as no contact, never as an invented value.
                for (int i = link.RxCount / 2 + 1; i < points; ++i)
                    QVERIFY2(ws->Thickness[static_cast<size_t>(i)] == 0.0f, what.c_str());
            }
        }
        qInfo(
            "%d downloads: %d complete, %d partial, %d failed (clean %d, pause %d, short %d, "
            "noise %d, silent %d)",
            downloads, complete, partial, failed, counts[0], counts[1], counts[2], counts[3],
            counts[4]);
        QVERIFY(complete > 0);
    }
};

}  // namespace ws

QTEST_MAIN(ws::LinkSoakTest)
#include "link_soak_test.moc"
