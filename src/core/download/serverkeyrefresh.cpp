#include "core/download/resumabledownload.h"
#include "core/download/server.h"
#include "core/download/serverkey.h"

// Apart from the key rule, so that the rule builds without the network.
void refreshServerKey(int rangeWaitMs, const QString &downloadServer, const QString &appDir,
                      QObject *context,
                      std::function<void(TransferOutcome, std::optional<QString>)> done)
{
    const QString keyFile = ServerKey::keyFilePath(appDir);
    downloadWithResume(rangeWaitMs, Server::keyFileUrl(downloadServer),
                       ServerKey::refreshFilePath(appDir), keyFile, context,
                       [keyFile, done = std::move(done)](TransferOutcome outcome) {
                           if (done)
                               done(outcome, loadServerKeyFrom(keyFile));
                       });
}
