#include "app/instance_link.h"

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <memory>

namespace ws {
namespace {

// A path is one line of UTF-8. Longer requests are no path a file manager sends: the
// connection is dropped rather than letting a stranger fill the memory.
constexpr qint64 kMaxRequest = 64 * 1024;
const QByteArray kAccepted = QByteArrayLiteral("ok\n");

}  // namespace

InstanceLink::InstanceLink(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

InstanceLink::~InstanceLink() = default;

QString InstanceLink::DefaultName() {
#ifdef _WIN32
    // Pipe names are machine-wide: the user's name keeps other users' programs apart. Hashed,
    // because a user name may hold characters a pipe name cannot.
    const QByteArray id = QCryptographicHash::hash(qEnvironmentVariable("USERNAME").toUtf8(),
                                                   QCryptographicHash::Sha1);
    return QStringLiteral("wallscan-") + QString::fromLatin1(id.toHex().left(16));
#else
    // In the user's runtime folder (mode 0700): another user can neither reach the program
    // nor take the name first and collect the paths handed over.
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!dir.isEmpty())
        return QDir(dir).filePath(QStringLiteral("wallscan.socket"));
    const QByteArray id =
        QCryptographicHash::hash(qEnvironmentVariable("USER").toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("wallscan-") + QString::fromLatin1(id.toHex().left(16));
#endif
}

bool InstanceLink::HandOver(const QString& path, int timeoutMs) {
    QLocalSocket socket;
    QEventLoop loop;
    bool accepted = false;
    QByteArray reply;
    connect(&socket, &QLocalSocket::connected, &loop, [&] {
        socket.write(path.toUtf8() + '\n');
        socket.flush();
    });
    connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
        reply += socket.readAll();
        if (reply.startsWith(kAccepted)) {
            accepted = true;
            loop.quit();
        }
    });
    connect(&socket, &QLocalSocket::errorOccurred, &loop, [&] { loop.quit(); });
    connect(&socket, &QLocalSocket::disconnected, &loop, [&] { loop.quit(); });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    socket.connectToServer(name_);
    // connectToServer may fail at once (no such socket) before the loop starts.
    if (socket.state() != QLocalSocket::UnconnectedState)
        loop.exec();
    socket.abort();
    return accepted;
}

bool InstanceLink::Listen() {
    if (server_)
        return server_->isListening();
    // No access options: with them the socket is made elsewhere and renamed into place,
    // silently taking the name from a program that already listens.
    server_ = new QLocalServer(this);
    connect(server_, &QLocalServer::newConnection, this, &InstanceLink::Accept);
    if (server_->listen(name_))
        return true;
    if (server_->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    // Someone holds the name: a program that answers, or the socket of one that crashed.
    QLocalSocket probe;
    probe.connectToServer(name_);
    if (probe.waitForConnected(1000)) {
        probe.abort();
        return false;
    }
    QLocalServer::removeServer(name_);
    return server_->listen(name_);
}

bool InstanceLink::IsListening() const {
    return server_ && server_->isListening();
}

void InstanceLink::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A client that connects and never finishes its line is dropped.
        QTimer::singleShot(10000, socket, [socket] { socket->abort(); });
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            const qsizetype end = buffer->indexOf('\n');
            if (end < 0) {
                if (buffer->size() > kMaxRequest)
                    socket->abort();
                return;
            }
            const QString path = QString::fromUtf8(buffer->left(end));
            buffer->clear();
            socket->write(kAccepted);
            socket->flush();
            socket->disconnectFromServer();
            // Opening the path may show a message box with its own event loop: leave this
            // socket's handler first, so the socket is never deleted under it.
            QTimer::singleShot(0, this, [this, path] { emit PathReceived(path); });
        });
    }
}

}  // namespace ws
