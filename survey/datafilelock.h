#ifndef DATAFILELOCK_H
#define DATAFILELOCK_H

#include <QLockFile>
#include <QString>

// Keeps a second run, in this program or another, from writing the same data file: a lock file
// "<data file>.lock" beside it, held for the whole run. The lock of a process that died is taken
// over; a live run's lock never ages out, however long the survey takes.
class DataFileLock
{
public:
    explicit DataFileLock(const QString& dataPath);

    static QString lockPath(const QString& dataPath);

    // False, with a reason for the operator, when another run holds the file or the lock
    // cannot be created.
    bool acquire(QString* error);

private:
    QString m_dataPath;
    QLockFile m_lock;
};

#endif
