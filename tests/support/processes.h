#pragma once
// Programs run as real processes, as scripts and the desktop run them: the command-line tool
// and the gauge simulator on a pseudo-terminal.

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <string>

namespace ws::test {

struct ProcessRun {
    int status = -1;  // -1: did not start, did not finish in time, or crashed
    std::string out, err;
};

// This environment with the archive and other data in `dataHome`.
inline QProcessEnvironment DataHome(const QString& dataHome) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    return env;
}

inline ProcessRun RunProcess(
    const QString& program, const QStringList& args,
    const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
    int timeoutMs = 60000) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    ProcessRun r;
    if (!p.waitForStarted(10000) || !p.waitForFinished(timeoutMs))
        return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

#ifdef WALLSCAN_CLI_PATH
inline ProcessRun Cli(const QStringList& args,
                      const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    return RunProcess(QStringLiteral(WALLSCAN_CLI_PATH), args, env);
}
#endif

inline QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

#ifdef WALLSCAN_SIM_PATH
// The gauge simulator and the pseudo-terminal it serves (empty when it did not start).
struct Gauge {
    QProcess process;
    QString device;
    explicit Gauge(const QStringList& args) {
        process.start(QStringLiteral(WALLSCAN_SIM_PATH), args + QStringList{"--quiet"});
        if (process.waitForStarted(5000) && process.waitForReadyRead(5000))
            device = QString::fromUtf8(process.readLine()).trimmed();
    }
    ~Gauge() {
        process.terminate();
        if (!process.waitForFinished(3000))
            process.kill();
    }
};
#endif

}  // namespace ws::test
