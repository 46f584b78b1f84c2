#include "core/base/textfile.h"

#include "core/base/atomicfile.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QTextCodec>

namespace TextFile {

namespace {

QTextCodec *gbk()
{
    static QTextCodec *const codec = QTextCodec::codecForName("GBK");
    Q_ASSERT(codec);
    return codec;
}

QString nameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

} // namespace

QString fromGbk(const QByteArray &bytes)
{
    return gbk()->toUnicode(bytes);
}

QByteArray toGbk(const QString &text)
{
    return gbk()->fromUnicode(text);
}

QStringList decodeLines(const QByteArray &bytes)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines.append(fromGbk(bytes.mid(start, i - start)));
        if (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(fromGbk(bytes.mid(start)));
    return lines;
}

QByteArray encodeLines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines) {
        out += toGbk(line);
        out += "\r\n";
    }
    return out;
}

Result<QByteArray> readBytes(const QString &path)
{
    // Opens before asking whether the file exists: a file being replaced by a
    // rename can look deleted to a check made while the rename happens.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!QFileInfo::exists(path))
            return AppError(AppError::FileNotFound,
                            QStringLiteral("文件未找到: %1").arg(nameOf(path)));
        return AppError(AppError::PathAccessError,
                        QStringLiteral("路径/文件访问错误: %1").arg(nameOf(path)));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return AppError(AppError::DeviceIoError,
                        QStringLiteral("设备 I/O 错误: %1").arg(nameOf(path)));
    return bytes;
}

Result<> writeBytes(const QString &path, const QByteArray &bytes)
{
    if (Result<> written = AtomicFile::write(path, bytes); !written) {
        qWarning().noquote() << "cannot save" << path << ":" << written.error().description();
        return AppError(
            AppError::Plain,
            QStringLiteral("无法保存文件 %1，它仍是原来的内容。请检查磁盘空间和写入权限。")
                .arg(nameOf(path)));
    }
    return {};
}

QString firstField(const QByteArray &bytes)
{
    qsizetype end = 0;
    while (end < bytes.size() && bytes.at(end) != '\r' && bytes.at(end) != '\n')
        ++end;
    const QString line = fromGbk(bytes.left(end));
    if (line.startsWith(QLatin1Char('"'))) {
        // A quoted field runs to the closing quote, commas included.
        const qsizetype close = line.indexOf(QLatin1Char('"'), 1);
        return close < 0 ? line.mid(1) : line.mid(1, close - 1);
    }
    const QString field = line.section(QLatin1Char(','), 0, 0);
    return field;
}

} // namespace TextFile
