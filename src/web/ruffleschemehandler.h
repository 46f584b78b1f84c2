#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QWebEngineUrlSchemeHandler>

// What the player serves to its page for the movie now loaded.
struct RuffleContent
{
    int generation = 0;      // changes with every movie set
    QByteArray movie;        // the movie as the web player gets it
    QString movieFolder;     // other files a movie loads by a relative name
    QByteArray commandReply; // variables a polling movie loads
    int acknowledged = 0;    // the last command a polling movie ran
};

// Serves the player page, the Flash runtime and the movie under the program's
// own URL scheme, so the player needs no network and no file:// access.
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
    static const QByteArray Scheme;
    static const QString Origin; // "<scheme>://app"

    RuffleSchemeHandler(const QString &ruffleFolder, RuffleContent *content,
                        QObject *parent = nullptr);

    void requestStarted(QWebEngineUrlRequestJob *job) override;

private:
    void serveRuntime(QWebEngineUrlRequestJob *job, const QString &name);
    void serveMovie(QWebEngineUrlRequestJob *job, const QStringList &parts);
    void serveControl(QWebEngineUrlRequestJob *job, const QString &generation,
                      const QString &ranLast);

    QString m_ruffleFolder;
    RuffleContent *m_content;
    QHash<QString, QByteArray> m_runtimeCache; // the runtime does not change while we run
};
