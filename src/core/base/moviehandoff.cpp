#include "core/base/moviehandoff.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QUrl>

namespace {
// The window's answer once it has the paths.
constexpr char Taken = 'k';
// More is never sent: a list of a few paths.
constexpr qint64 MaxRequestBytes = 1 << 20;
} // namespace

MovieHandOff::MovieHandOff(QString socketPath, QObject *parent)
    : QObject(parent), m_path(std::move(socketPath))
{
}

QString MovieHandOff::defaultSocketPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return QDir(dir).filePath(QStringLiteral("qorvel-player"));
}

QStringList MovieHandOff::moviesIn(const QStringList &arguments)
{
    QStringList movies;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
            movies.append(QUrl(a).toLocalFile());
        else if (!a.isEmpty() && !a.startsWith(u'-'))
            movies.append(QFileInfo(a).absoluteFilePath());
    }
    return movies;
}

bool MovieHandOff::handOver(const QStringList &paths, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_path);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray request;
    QDataStream out(&request, QIODevice::WriteOnly);
    out << paths;
    socket.write(request);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // Taken only when the window says so: one that hangs is not trusted.
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    char answer = 0;
    return socket.getChar(&answer) && answer == Taken;
}

bool MovieHandOff::listen()
{
    if (m_server)
        return true;
    auto *server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_path)) {
        // A socket left by a window that ended without closing it answers no
        // one: replace it. One that answers belongs to a running window.
        QLocalSocket probe;
        probe.connectToServer(m_path);
        if (probe.waitForConnected(1000) || !QLocalServer::removeServer(m_path) ||
            !server->listen(m_path)) {
            delete server;
            return false;
        }
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &MovieHandOff::onConnection);
    return true;
}

void MovieHandOff::onConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() > MaxRequestBytes) {
                socket->abort();
                return;
            }
            QDataStream in(socket);
            in.startTransaction();
            QStringList paths;
            in >> paths;
            if (!in.commitTransaction())
                return; // the rest is still on its way
            socket->putChar(Taken);
            socket->flush();
            socket->disconnectFromServer();
            Q_EMIT received(paths);
        });
    }
}
