#include "web/rufflepage.h"

#include "web/pagecontract.h"

#include <QJsonDocument>
#include <QLoggingCategory>
#include <QUrl>

namespace {
Q_LOGGING_CATEGORY(lcPage, "qorvel.player.page", QtWarningMsg)
}

RufflePage::RufflePage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    connect(this, &QWebEnginePage::loadFinished, this, &RufflePage::onLoaded);
}

void RufflePage::open()
{
    m_ready = false;
    load(QUrl(PageContract::origin() + QStringLiteral("/player.html")));
}

void RufflePage::run(const QString &script)
{
    if (m_ready)
        runJavaScript(script);
    else
        m_waiting.append(script);
}

void RufflePage::onLoaded(bool ok)
{
    if (!ok) {
        qCWarning(lcPage) << "the player page did not load; is the runtime installed?";
        return;
    }
    m_ready = true;
    Q_EMIT ready();
    for (const QString &script : std::exchange(m_waiting, {}))
        runJavaScript(script);
}

void RufflePage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                          const QString &message, int lineNumber,
                                          const QString &sourceID)
{
    const QString prefix = PageContract::eventPrefix();
    if (!message.startsWith(prefix)) {
        if (level == ErrorMessageLevel)
            qCWarning(lcPage) << sourceID << lineNumber << message;
        else
            qCDebug(lcPage) << sourceID << lineNumber << message;
        return;
    }
    const QJsonDocument event = QJsonDocument::fromJson(message.mid(prefix.size()).toUtf8());
    if (event.isObject())
        Q_EMIT eventReceived(event.object());
}
