#pragma once

#include "core/base/result.h"

#include "core/download/transferoutcome.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class QObject;

// The six characters every programme URL carries between the server and
// "/flash/", kept in cons/guihu.inb beside the program.
namespace ServerKey {

// Characters 11 to 13 of the field, then 4 to 6 (counted from 1). Positions
// past the end of a short field contribute nothing.
QString fromField(const QString &field);
// The key by the first field of the first line of a key file's bytes;
// nothing for an empty file, which leaves the key as it was.
std::optional<QString> fromFileBytes(const QByteArray &bytes);

QString keyFilePath(const QString &appDir);
QString refreshFilePath(const QString &appDir);

} // namespace ServerKey

// The key file must be there, readable and not empty: without it no programme
// can ever be fetched, so the installation is broken. Fails naming it.
Result<> checkKeyFile(const QString &keyFilePath);

// The key read from a key file; nothing when the file is missing, unreadable
// or empty, in which case the caller keeps the key it has.
std::optional<QString> loadServerKeyFrom(const QString &keyFilePath);

// Fetches the key file anew from the server into cons/guihu2.inb, puts it in
// place of cons/guihu.inb only when complete, then reads the key from
// whichever cons/guihu.inb is there. done gets the transfer's outcome and that
// key (nothing: keep the old one). Silent; bound to context like
// downloadWithResume.
void refreshServerKey(int rangeWaitMs, const QString &downloadServer, const QString &appDir,
                      QObject *context,
                      std::function<void(TransferOutcome, std::optional<QString>)> done);
