#pragma once

#include <QString>

// A failure the user is told about: a run-time error number in the old
// tradition of the program (53 file not found, 75 path/file access error,
// 57 device I/O error, ...) and a description naming the file. It travels as
// a value in a Result: nothing may unwind through Qt.
class AppError
{
public:
    enum Number {
        FileNotFound = 53,
        DeviceIoError = 57,
        PermissionDenied = 70,
        PathAccessError = 75,
        BadFileName = 52,
        ResourceNotFound = 326,
        // A plain message without a run-time error number, such as a file
        // that could not be saved (the old program reported nothing there).
        Plain = 0,
    };

    AppError(int number, const QString &description) : m_number(number), m_description(description)
    {
    }

    int number() const { return m_number; }
    QString description() const { return m_description; }
    // The text of the run-time error report.
    QString report() const;

private:
    int m_number;
    QString m_description;
};
