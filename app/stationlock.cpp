#include "app/stationlock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

StationLock::StationLock(const QString& folder, const QString& host, quint16 commandPort)
    : m_station(QStringLiteral("%1:%2").arg(host).arg(commandPort))
    , m_path(lockPath(folder, host, commandPort))
    , m_lock(m_path)
{
    // A connection lasts as long as the operator works: only a dead holder frees the station.
    m_lock.setStaleLockTime(0);
}

QString StationLock::lockPath(const QString& folder, const QString& host, quint16 commandPort)
{
    QString name = QStringLiteral("station-%1-%2.lock").arg(host).arg(commandPort);
    // A host name typed by the operator must not reach outside the folder.
    for (QChar& c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('.') && c != QLatin1Char('-'))
            c = QLatin1Char('_');
    }
    return QDir(folder).filePath(name);
}

bool StationLock::acquire(QString* error)
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    if (m_lock.tryLock(0))
        return true;
    if (m_lock.error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString host, application;
        m_lock.getLockInfo(&pid, &host, &application);
        *error = QCoreApplication::translate("StationLock",
                                             "Станция %1 уже подключена к другой копии программы (процесс %2). "
                                             "Закройте её или отключите её от станции кнопкой «<->».")
                     .arg(m_station)
                     .arg(pid);
    } else {
        *error = QCoreApplication::translate("StationLock", "Не удалось создать файл блокировки станции %1.")
                     .arg(QDir::toNativeSeparators(m_path));
    }
    return false;
}
