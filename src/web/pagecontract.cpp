#include "web/pagecontract.h"

#include "core/lists/savedgames.h"
#include "core/swf/swfrewriter.h"

#include <QJsonDocument>

QString PageContract::origin()
{
    return QStringLiteral("%1://%2").arg(QLatin1String(Scheme), QLatin1String(Host));
}

QString PageContract::eventPrefix()
{
    return QLatin1String(Scheme) + u' ';
}

QString PageContract::movieUrl(int generation)
{
    return QStringLiteral("%1/%2/%3/%4")
        .arg(origin(), QLatin1String(MovieFolder))
        .arg(generation)
        .arg(QLatin1String(MovieFile));
}

QByteArray PageContract::controlUrl(int generation)
{
    return (origin() + QStringLiteral("/control/%1").arg(generation)).toUtf8();
}

QJsonObject PageContract::constants()
{
    // The runtime keeps a save as the base64 of its .sol file.
    const qint64 maxSaveChars = (SavedGames::MaxSaveBytes + 2) / 3 * 4;
    return {
        {QStringLiteral("origin"), origin()},
        {QStringLiteral("host"), QLatin1String(Host)},
        {QStringLiteral("movieFolder"), QLatin1String(MovieFolder)},
        {QStringLiteral("movieFile"), QLatin1String(MovieFile)},
        {QStringLiteral("eventPrefix"), eventPrefix()},
        {QStringLiteral("frameCommand"), QLatin1String(swf::hook::FrameCommand)},
        {QStringLiteral("callback"), QLatin1String(swf::hook::Callback)},
        {QStringLiteral("maxSaveChars"), maxSaveChars},
    };
}

QByteArray PageContract::constantsScript()
{
    return "const QV = Object.freeze(" + QJsonDocument(constants()).toJson(QJsonDocument::Compact) +
           ");\n";
}
