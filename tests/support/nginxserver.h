#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

// Debian's nginx, started for one test on 127.0.0.1 with its own prefix,
// configuration and logs in a temporary folder, serving a given folder with
// gzip enabled. Stopped by its own process id when destroyed.
class NginxServer
{
public:
    struct LogEntry
    {
        QByteArray path;
        QByteArray range; // "-" when the request had none
        int status = 0;
        QByteArray acceptEncoding; // "-" when the request had none
        QByteArray contentType;    // the request's Content-Type
        bool pipelined = false;    // it came before the answer to the one before was sent
    };

    NginxServer();
    ~NginxServer();
    NginxServer(const NginxServer &) = delete;
    NginxServer &operator=(const NginxServer &) = delete;

    static QString executable();
    // How many requests nginx answers on one connection before it closes it
    // (its own default is 1000); takes effect at the next start().
    void setKeepaliveRequests(int requests) { m_keepaliveRequests = requests; }
    // Starts nginx serving root; false (and errorText() says why) if it does
    // not answer within a few seconds.
    bool start(const QString &root);
    void stop();
    QString errorText() const { return m_error; }

    quint16 port() const { return m_port; }
    QString baseUrl() const;
    QUrl url(const QString &path) const;

    // The access log so far, one entry per request.
    QList<LogEntry> accessLog() const;

private:
    bool writeConfig(const QString &root);
    bool waitUntilListening();

    QTemporaryDir m_prefix;
    QProcess m_process;
    quint16 m_port = 0;
    int m_keepaliveRequests = 1000;
    QString m_error;
};
