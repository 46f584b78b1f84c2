#include "web/savebridge.h"

#include <QByteArray>

QJsonObject SaveBridge::savesFor(const QString &moviePath)
{
    const QString programme = SavedGames::programmeOf(moviePath);
    QJsonObject saves;
    const QMap<QString, QByteArray> kept = m_saves.load(programme);
    for (auto it = kept.cbegin(); it != kept.cend(); ++it)
        saves.insert(it.key(), QString::fromLatin1(it.value().toBase64()));
    if (!programme.isEmpty())
        m_programmes.insert(programme);
    // A movie whose names cannot be used keeps its saves while it plays.
    return {{QStringLiteral("programme"), programme},
            {QStringLiteral("saves"), saves},
            {QStringLiteral("canSave"), programme.isEmpty() || m_saves.canSave(programme)}};
}

void SaveBridge::pageChanged(const QJsonObject &event)
{
    const QString programme = event.value(QLatin1String("programme")).toString();
    const QString name = event.value(QLatin1String("name")).toString();
    // Only the programmes this player loaded, even if a movie forged a report.
    if (!m_programmes.contains(programme) || name.isEmpty())
        return;
    if (event.value(QLatin1String("kind")).toString() == QLatin1String("save")) {
        const QByteArray data = event.value(QLatin1String("data")).toString().toLatin1();
        static_cast<void>(m_saves.save(programme, name, QByteArray::fromBase64(data)));
    } else {
        static_cast<void>(m_saves.remove(programme, name));
    }
}
