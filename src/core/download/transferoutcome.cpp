#include "core/download/transferoutcome.h"

QString describe(TransferOutcome outcome)
{
    switch (outcome) {
    case TransferOutcome::Completed:
        return QStringLiteral("completed");
    case TransferOutcome::TooManyConnections:
        return QStringLiteral("403 too many connections");
    case TransferOutcome::NotFound:
        return QStringLiteral("404 not found");
    case TransferOutcome::TimedOut:
        return QStringLiteral("timed out");
    case TransferOutcome::ServerError:
        return QStringLiteral("server error");
    case TransferOutcome::NotResumable:
        return QStringLiteral("not resumable");
    case TransferOutcome::MissingContentRange:
        return QStringLiteral("missing Content-Range");
    case TransferOutcome::BadRange:
        return QStringLiteral("bad range");
    case TransferOutcome::NetworkError:
        return QStringLiteral("network error");
    case TransferOutcome::FileError:
        return QStringLiteral("file error");
    case TransferOutcome::Aborted:
        return QStringLiteral("aborted");
    }
    return QStringLiteral("unknown");
}
