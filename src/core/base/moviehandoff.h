#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;

// One player per user. A start given movies to open (from the file manager
// or the command line) hands them to the window already running, through a
// local socket in the user's runtime folder, instead of starting a second
// player.
class MovieHandOff : public QObject
{
    Q_OBJECT
public:
    explicit MovieHandOff(QString socketPath, QObject *parent = nullptr);
    // In the user's runtime folder ($XDG_RUNTIME_DIR).
    static QString defaultSocketPath();
    // The movies named on a command line (`arguments` as the application
    // has them, the program first): paths or file URLs, made absolute.
    static QStringList moviesIn(const QStringList &arguments);

    // A second start: true when a running window took the paths.
    bool handOver(const QStringList &paths, int timeoutMs = 5000);
    // The running window: from now on others' movies arrive as `received`.
    // False when another window listens already.
    bool listen();

Q_SIGNALS:
    void received(const QStringList &paths);

private:
    void onConnection();

    QString m_path;
    QLocalServer *m_server = nullptr;
};
