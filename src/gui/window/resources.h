#pragma once

#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QUrl>

// The pictures and sounds built into the program. Names match without regard
// to case, so "jingyin1" finds the bitmap JINGYIN1.
namespace Resources {

// The player bar's pictures; the categories' own are in the category table.
inline const QString FullScreenPicture = QStringLiteral("QUANPING");
inline const QString PlayPicture = QStringLiteral("BOFANG");
inline const QString PausePicture = QStringLiteral("ZANTING");
inline const QString BackPicture = QStringLiteral("FANHUI");
inline const QString SoundOnPicture = QStringLiteral("jingyin1");
inline const QString MutedPicture = QStringLiteral("jingyin2");
inline const QString StartSound = QStringLiteral("QIDONG");

// Every picture and sound the window names that the program was built
// without, as "bitmap NAME" or "sound NAME": a broken installation, told
// once at start. Empty for a sound one.
QStringList missing();

// After the check at start these are always there.
QPixmap bitmap(const QString &name);
inline QPixmap bitmap(int number)
{
    return bitmap(QString::number(number));
}
// Every sound the window names, as the address a sound effect loads.
QList<QUrl> sounds();

} // namespace Resources
