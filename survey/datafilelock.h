#ifndef DATAFILELOCK_H
#define DATAFILELOCK_H

#include <QLockFile>
#include <QString>

// Keeps a second run, in this program or another, from writing the same data file: a lock file
// "<data file>.lock" beside the file itself (links resolved, so a second name of the file finds the
// same lock), held for the whole run. The lock of a process that died is taken over, and so is a
// lock that is not this program's (empty after a power loss, garbage); a live run's lock never
// ages out, however long the survey takes.
class DataFileLock
{
public:
    explicit DataFileLock(const QString& dataPath);

    static QString lockPath(const QString& dataPath);

    // False, with a reason for the operator, when another run holds the file, the file has other
    // names (hard links) a second run could write it under, or the lock cannot be created.
    bool acquire(QString* error);
    // What the operator should know after acquire() succeeded: a stale lock that was taken over.
    QString notice() const { return m_notice; }

private:
    QString m_dataPath;
    QString m_lockPath;
    QLockFile m_lock;
    QString m_notice;
};

#endif
