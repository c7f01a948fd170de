#include "survey/datafilelock.h"

#include <QCoreApplication>
#include <QDir>

DataFileLock::DataFileLock(const QString& dataPath)
    : m_dataPath(dataPath)
    , m_lock(lockPath(dataPath))
{
    m_lock.setStaleLockTime(0);
}

QString DataFileLock::lockPath(const QString& dataPath)
{
    return dataPath + QStringLiteral(".lock");
}

bool DataFileLock::acquire(QString* error)
{
    if (m_lock.tryLock(0))
        return true;
    const QString native = QDir::toNativeSeparators(m_dataPath);
    if (m_lock.error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString host, application;
        m_lock.getLockInfo(&pid, &host, &application);
        *error = QCoreApplication::translate("DataFileLock", "Файл данных %1 уже записывается другой съёмкой (%2, процесс %3 на %4). "
                                "Дождитесь её окончания или выберите другой файл.")
                     .arg(native, application.isEmpty() ? QCoreApplication::translate("DataFileLock", "программа") : application)
                     .arg(pid)
                     .arg(host.isEmpty() ? QCoreApplication::translate("DataFileLock", "этом компьютере") : host);
    } else {
        *error = QCoreApplication::translate("DataFileLock", "Не удалось создать файл блокировки %1 рядом с файлом данных.")
                     .arg(QDir::toNativeSeparators(lockPath(m_dataPath)));
    }
    return false;
}
