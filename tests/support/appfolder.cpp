#include "appfolder.h"

#include "core/base/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

AppFolder::AppFolder()
{
    QDir root(m_dir.path());
    root.mkpath(QStringLiteral("cons"));
    root.mkpath(QStringLiteral("res/fla"));
    root.mkpath(QStringLiteral("自定义节目/我的动画"));
    for (int n = 1; n <= 14; ++n)
        writeList(QStringLiteral("cons/b%1.inb").arg(n, 2, 10, QLatin1Char('0')), {});
    writeList(QStringLiteral("cons/shoucang.inb"), {});
    writeList(QStringLiteral("cons/lishi.inb"), {});
    writeList(QStringLiteral("cons/guihu.inb"), {QStringLiteral("ab1cd2ef3gh4ij5kl6,x")});
    writeBytes(QStringLiteral("res/showoff.htm"), "<html><body>offline</body></html>");
}

void AppFolder::writeList(const QString &relative, const QStringList &names) const
{
    writeBytes(relative, TextFile::encodeLines(names));
}

void AppFolder::writeBytes(const QString &relative, const QByteArray &bytes) const
{
    const QString path = file(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray AppFolder::readBytes(const QString &relative) const
{
    QFile f(file(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void AppFolder::cache(const QString &name, const QByteArray &bytes) const
{
    writeBytes(QStringLiteral("res/fla/") + name + QStringLiteral(".swf"), bytes);
}
