#include "survey/datafilelock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// The file's own path: a symbolic link is followed; a file not yet created is named in its folder's
// resolved path.
QString resolvedPath(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    const QString folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? info.absoluteFilePath() : QDir(folder).filePath(info.fileName());
}

// Names of the file in the file system (1 for a file without hard links, 0 when it is missing).
qint64 linkCount(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) == 0)
        return qint64(status.st_nlink);
#else
    Q_UNUSED(path)
#endif
    return 0;
}

} // namespace

DataFileLock::DataFileLock(const QString& dataPath)
    : m_dataPath(dataPath)
    , m_lockPath(lockPath(dataPath))
    , m_lock(m_lockPath)
{
    m_lock.setStaleLockTime(0);
}

QString DataFileLock::lockPath(const QString& dataPath)
{
    return resolvedPath(dataPath) + QStringLiteral(".lock");
}

bool DataFileLock::acquire(QString* error)
{
    m_notice.clear();
    const QString native = QDir::toNativeSeparators(m_dataPath);
    const QString nativeLock = QDir::toNativeSeparators(m_lockPath);
    const qint64 links = linkCount(m_dataPath);
    if (links > 1) {
        *error = QCoreApplication::translate("DataFileLock", "У файла данных %1 есть другие имена (жёстких ссылок: %2): "
                                                             "другая съёмка могла бы писать в него под другим именем. "
                                                             "Выберите другой файл.")
                     .arg(native)
                     .arg(links);
        return false;
    }
    if (m_lock.tryLock(0))
        return true;
    if (m_lock.error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString host, application;
        if (m_lock.getLockInfo(&pid, &host, &application) && pid > 0) {
            *error = QCoreApplication::translate("DataFileLock", "Файл данных %1 уже записывается другой съёмкой (%2, процесс %3 на %4). "
                                    "Дождитесь её окончания или выберите другой файл.")
                         .arg(native, application.isEmpty() ? QCoreApplication::translate("DataFileLock", "программа") : application)
                         .arg(pid)
                         .arg(host.isEmpty() ? QCoreApplication::translate("DataFileLock", "этом компьютере") : host);
            return false;
        }
        // Not this program's lock (left empty by a power loss, or garbage): nobody holds it.
        const QFileInfo stale(m_lockPath);
        const bool removed = stale.isDir() ? QDir().rmdir(m_lockPath) : m_lock.removeStaleLockFile();
        if (removed && m_lock.tryLock(0)) {
            m_notice = QCoreApplication::translate("DataFileLock", "Файл блокировки %1 не был блокировкой этой программы "
                                                                   "(пустой или повреждённый) и заменён.")
                           .arg(nativeLock);
            return true;
        }
        if (stale.isDir()) {
            *error = QCoreApplication::translate("DataFileLock", "На месте файла блокировки %1 находится папка: удалите её, "
                                                                 "чтобы записывать файл данных %2.")
                         .arg(nativeLock, native);
            return false;
        }
    }
    const int code = m_lock.error() == QLockFile::PermissionError ? EACCES : errno;
    *error = QCoreApplication::translate("DataFileLock", "Не удалось создать файл блокировки %1 рядом с файлом данных: %2")
                 .arg(nativeLock, QString::fromLocal8Bit(std::strerror(code)));
    return false;
}
