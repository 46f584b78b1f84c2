#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QWebEngineUrlSchemeHandler>

// Serves the player page, the Flash runtime and the movie it is handed under
// the program's own URL scheme, so the player needs no network and no
// file:// access.
//   /player.html, /player.js      from the built-in resources
//   /ruffle/<file>               from the runtime folder
//   /movie/<generation>/<file>   the movie, or a file beside it
//   /control/<generation>?k=<id> the pending command for a polling movie, which
//                                says which command it ran last; answered
//                                after a pause when there is nothing new
class RuffleSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT

public:
    explicit RuffleSchemeHandler(const QString &ruffleFolder, QObject *parent = nullptr);

    // From now on the movie of `generation` is `movie`, and the files it loads
    // by a relative name lie in `folder`; an empty movie serves none.
    void setMovie(int generation, const QByteArray &movie, const QString &folder);
    int generation() const { return m_generation; }
    // What a polling movie of the current generation loads next: command `id`.
    void setCommand(int id, const QByteArray &variables);

    void requestStarted(QWebEngineUrlRequestJob *job) override;

Q_SIGNALS:
    // A polling movie of the current generation has run command `id`.
    void commandRan(int id);

private:
    void servePage(QWebEngineUrlRequestJob *job, const QString &name);
    void serveRuntime(QWebEngineUrlRequestJob *job, const QString &name);
    void serveMovie(QWebEngineUrlRequestJob *job, const QStringList &parts);
    void serveControl(QWebEngineUrlRequestJob *job, const QString &generation,
                      const QString &ranLast);

    QString m_ruffleFolder;
    QHash<QString, QByteArray> m_runtimeCache; // the runtime does not change while we run
    int m_generation = 0;
    QByteArray m_movie;
    QString m_movieFolder;
    int m_commandId = 0;
    QByteArray m_command;
};
