#pragma once

#include <QStringList>
#include <QTemporaryDir>

// A throw-away application folder laid out like an installed one: cons/ with
// the sixteen list files and a key file, res/fla/, res/showoff.htm and the
// custom-programmes folder.
class AppFolder
{
public:
    AppFolder();
    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString file(const QString &relative) const { return m_dir.filePath(relative); }
    QString flashDir() const { return file(QStringLiteral("res/fla/")); }

    // Writes a list file (GBK, CR LF after each line).
    void writeList(const QString &relative, const QStringList &names) const;
    void writeBytes(const QString &relative, const QByteArray &bytes) const;
    QByteArray readBytes(const QString &relative) const;
    // Puts a programme into the cache with the given bytes.
    void cache(const QString &name, const QByteArray &bytes = QByteArray("FWS\x08", 4)) const;

private:
    QTemporaryDir m_dir;
};
