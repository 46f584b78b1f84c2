#include "web/rufflepage.h"

#include <QLoggingCategory>

const QString RufflePage::EventPrefix = QStringLiteral("qvplayer ");

namespace {
Q_LOGGING_CATEGORY(lcPage, "qorvel.player.page", QtWarningMsg)
}

RufflePage::RufflePage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
}

void RufflePage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                          const QString &message, int lineNumber,
                                          const QString &sourceID)
{
    if (!message.startsWith(EventPrefix)) {
        if (level == ErrorMessageLevel)
            qCWarning(lcPage) << sourceID << lineNumber << message;
        else
            qCDebug(lcPage) << sourceID << lineNumber << message;
        return;
    }
    // "qvplayer <generation> <kind> <value>"
    const QStringList parts = message.mid(EventPrefix.size()).split(u' ');
    bool ok = false;
    const int generation = parts.value(0).toInt(&ok);
    if (!ok || parts.size() < 2)
        return;
    Q_EMIT eventReceived(generation, parts[1], parts.mid(2).join(u' '));
}
