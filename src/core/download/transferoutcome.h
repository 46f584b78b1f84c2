#pragma once

#include <QMetaType>
#include <QString>

// How one chain of range requests ended. The programme download shows a
// different message for several of these, so they are kept apart.
enum class TransferOutcome {
    Completed,           // the whole file arrived (possibly empty)
    TooManyConnections,  // 403
    NotFound,            // 404: for a programme, the server key is out of date
    TimedOut,            // a range did not arrive in full within the wait
    ServerError,         // any other status above 299, redirects included
    NotResumable,        // a status below 300 other than 206, e.g. 200 with the whole file
    MissingContentRange, // 206 without a Content-Range header: the size is unknown
    BadRange,            // 206 whose range, total, length or encoding is not the one asked
                         // for, or a 416 after the first range (the file changed)
    NetworkError,        // connection refused, reset, unsupported URL, ...
    FileError,           // the local file could not be created, written or renamed
    Aborted,             // the caller stopped the transfer
};

// A short English name for logs and test failure messages.
QString describe(TransferOutcome outcome);

Q_DECLARE_METATYPE(TransferOutcome)
