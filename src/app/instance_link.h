#pragma once
// One WallScan per user: a program started with a file while another one runs hands the path
// to the running one over a local socket (a named pipe on Windows) and ends. Two programs would
// otherwise both write options.sav and temp.mem at exit, the later one silently winning.

#include <QObject>
#include <QString>

class QLocalServer;

namespace ws {

class InstanceLink : public QObject {
    Q_OBJECT

  public:
    // `name` is the socket's name; tests give their own so they never reach a real program.
    explicit InstanceLink(QString name, QObject* parent = nullptr);
    ~InstanceLink() override;

    // The name for the current user: other users' programs are never reached.
    static QString DefaultName();

    // Hands `path` (empty: only bring the window up) to a running program. True when one took
    // it; false when none answers within `timeoutMs` milliseconds. Runs the event loop while it
    // waits, so a program in the same process answers too.
    bool HandOver(const QString& path, int timeoutMs = 5000);

    // Starts answering hand-overs. False when another program took the name first (both were
    // started at once) and is answering; a socket left by a crashed program is replaced.
    bool Listen();
    bool IsListening() const;

  signals:
    // A program started later handed over this path (empty: it had none).
    void PathReceived(const QString& path);

  private:
    void Accept();

    QString name_;
    QLocalServer* server_ = nullptr;
};

}  // namespace ws
