#pragma once

#include "core/base/result.h"

#include <QString>
#include <QStringList>

// A file of programme names, one a line: a category's list, the favourites,
// the history. GBK with CR LF after every line (see TextFile). Every change
// replaces the file in one step (a temporary file renamed over it), so a
// crash, a full disk or a power cut leaves the old list or the new one,
// never half of each; a change that cannot be written fails and leaves the
// file as it was.
class ListFile
{
public:
    explicit ListFile(QString path) : m_path(std::move(path)) {}

    // The names in order; empty lines name nothing and are skipped.
    Result<QStringList> read() const;
    // Adds the name as the last line; the file is made when missing. A last
    // line without its line ending (a file edited by hand) is ended first,
    // so the two names are never glued together.
    Result<> append(const QString &name) const;
    // Writes the names as the whole list.
    Result<> rewrite(const QStringList &names) const;
    // Leaves the list empty: a file of length 0, made when missing.
    Result<> clear() const;

private:
    QString m_path;
};
