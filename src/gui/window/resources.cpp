#include "gui/window/resources.h"

#include "core/catalogue/categorytable.h"

#include <QFile>

namespace Resources {

namespace {

QString bitmapPath(const QString &name)
{
    return QStringLiteral(":/bitmaps/%1.bmp").arg(name.toUpper());
}

QString wavePath(const QString &name)
{
    return QStringLiteral(":/sounds/%1.wav").arg(name.toUpper());
}

QStringList soundNames()
{
    QStringList names{StartSound};
    for (const Category &c : CategoryTable::rows())
        names << c.sound;
    return names;
}

} // namespace

QStringList missing()
{
    QStringList pictures{FullScreenPicture, PlayPicture,    PausePicture,
                         BackPicture,       SoundOnPicture, MutedPicture};
    for (const Category &c : CategoryTable::rows())
        pictures << QString::number(c.normalPicture) << QString::number(c.selectedPicture);
    const QStringList sounds = soundNames();
    QStringList absent;
    for (const QString &name : std::as_const(pictures))
        if (!QFile::exists(bitmapPath(name)))
            absent << QStringLiteral("bitmap ") + name;
    for (const QString &name : std::as_const(sounds))
        if (!QFile::exists(wavePath(name)))
            absent << QStringLiteral("sound ") + name;
    return absent;
}

QPixmap bitmap(const QString &name)
{
    return QPixmap(bitmapPath(name));
}

QList<QUrl> sounds()
{
    QList<QUrl> urls;
    for (const QString &name : soundNames())
        urls << QUrl(QStringLiteral("qrc") + wavePath(name));
    return urls;
}

} // namespace Resources
