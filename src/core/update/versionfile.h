#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A release's version file as the download server publishes it: GBK text
// whose first line's first field is the version. A second field of exactly 64
// hexadecimal digits on that line is the SHA-256 of the release's updater.
struct VersionFile
{
    // Larger files are not version files; nothing that size is ever read.
    static constexpr qint64 MaxBytes = 64 * 1024;

    QString version;
    QByteArray updaterSha256; // the 32 digest bytes, or empty without a checksum

    // Nothing when the bytes are no version file: too large, binary, not GBK,
    // an HTML page, or without a version on the first line.
    static std::optional<VersionFile> parse(const QByteArray &bytes);
};

// Whether a fetched updater may be started: not empty, not a web page that a
// server or proxy sent in its place and, when a checksum was published, the
// very file it names. Reads the file; false when it cannot be read.
bool isAcceptableUpdater(const QString &path, const QByteArray &expectedSha256);
