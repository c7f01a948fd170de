#ifndef STATIONLOCK_H
#define STATIONLOCK_H

#include <QLockFile>
#include <QString>

// Keeps a second copy of the program on this computer off a station the first one works with:
// its StopRecord would end a running survey. One lock file per station address in the settings
// folder, held while connected; the lock of a copy that died is taken over.
class StationLock
{
public:
    StationLock(const QString& folder, const QString& host, quint16 commandPort);

    static QString lockPath(const QString& folder, const QString& host, quint16 commandPort);

    // False, with a reason naming the process that holds the station, when another copy has it.
    bool acquire(QString* error);

private:
    QString m_station;
    QString m_path;
    QLockFile m_lock;
};

#endif
