#include "support/nginxserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace {

// A port nobody listens on right now. nginx cannot report the port it got
// for port 0, so we ask the system for a free one and hand it over; start()
// retries if another process takes it in between.
quint16 freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

} // namespace

NginxServer::NginxServer()
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

NginxServer::~NginxServer()
{
    stop();
}

QString NginxServer::executable()
{
    return QStringLiteral("/usr/sbin/nginx");
}

bool NginxServer::start(const QString &root)
{
    if (!m_prefix.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        m_port = freePort();
        if (m_port == 0 || !writeConfig(root))
            continue;
        const QString prefix = m_prefix.path() + u'/';
        m_process.start(executable(), {QStringLiteral("-p"), prefix, QStringLiteral("-c"),
                                       prefix + QStringLiteral("nginx.conf"), QStringLiteral("-e"),
                                       prefix + QStringLiteral("error.log")});
        if (!m_process.waitForStarted(5000)) {
            m_error = m_process.errorString();
            return false;
        }
        if (waitUntilListening())
            return true;
        stop();
    }
    QFile errorLog(m_prefix.filePath(QStringLiteral("error.log")));
    if (errorLog.open(QIODevice::ReadOnly))
        m_error += QString::fromUtf8(errorLog.readAll());
    return false;
}

void NginxServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate(); // SIGTERM to our own nginx's pid: fast shutdown
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

QString NginxServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_port);
}

QUrl NginxServer::url(const QString &path) const
{
    return QUrl(baseUrl() + path.mid(path.startsWith(u'/') ? 1 : 0));
}

bool NginxServer::writeConfig(const QString &root)
{
    const QString prefix = m_prefix.path() + u'/';
    // One process in the foreground, so the pid we started is the server and
    // no worker outlives it; as root it also keeps nginx from switching to a
    // user that cannot read our temporary folders.
    const QString config =
        QStringLiteral("daemon off;\nmaster_process off;\nworker_processes 1;\n"
                       "pid %1nginx.pid;\nerror_log %1error.log;\n"
                       "events { worker_connections 64; }\n"
                       "http {\n"
                       "  log_format ranges '$uri|$http_range|$status|$http_accept_encoding|"
                       "$http_content_type|$pipe';\n"
                       "  access_log %1access.log ranges;\n"
                       "  client_body_temp_path %1body;\n"
                       "  default_type application/octet-stream;\n"
                       "  gzip on; gzip_min_length 1; gzip_types *; gzip_proxied any;\n"
                       "  keepalive_requests %4;\n"
                       "  server {\n    listen 127.0.0.1:%2;\n    root %3;\n  }\n"
                       "}\n")
            .arg(prefix, QString::number(m_port), root, QString::number(m_keepaliveRequests));
    QFile file(prefix + QStringLiteral("nginx.conf"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(config.toUtf8()) > 0;
}

bool NginxServer::waitUntilListening()
{
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        if (m_process.state() == QProcess::NotRunning)
            return false;
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, m_port);
        if (probe.waitForConnected(200))
            return true;
        QThread::msleep(50);
    }
    return false;
}

QList<NginxServer::LogEntry> NginxServer::accessLog() const
{
    QList<LogEntry> entries;
    QFile file(m_prefix.filePath(QStringLiteral("access.log")));
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.split('|');
        if (fields.size() != 6)
            continue;
        entries.append(
            {fields[0], fields[1], fields[2].toInt(), fields[3], fields[4], fields[5] == "p"});
    }
    return entries;
}
