#include "survey/outputfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDevice>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace OutputFile {

namespace {

bool isDataFileName(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("etr"), Qt::CaseInsensitive) == 0;
}

// Both paths name one file: the same resolved path, or on one device and inode (a hard link).
bool sameFile(const QFileInfo& target, const QString& input)
{
    const QFileInfo other(input);
    if (!other.exists())
        return false;
    if (target.canonicalFilePath() == other.canonicalFilePath())
        return true;
#ifdef Q_OS_UNIX
    struct stat a, b;
    if (::stat(QFile::encodeName(target.absoluteFilePath()).constData(), &a) == 0
        && ::stat(QFile::encodeName(other.absoluteFilePath()).constData(), &b) == 0)
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
#endif
    return false;
}

} // namespace

bool mayWrite(const QString& path, const QStringList& inputs, QString* error)
{
    const QString native = QDir::toNativeSeparators(path);
    const QFileInfo target(path);
    const QString resolved = target.isSymLink() ? target.symLinkTarget() : path;
    if (isDataFileName(path) || isDataFileName(resolved)) {
        *error = QCoreApplication::translate("OutputFile", "%1 — файл данных съёмки (.etr): он не может быть "
                                                           "перезаписан. Выберите другой файл.")
                     .arg(native);
        return false;
    }
    if (!target.exists())
        return true;
    if (!target.isFile()) {
        *error = QCoreApplication::translate("OutputFile", "%1 не является обычным файлом: записать в него нельзя.")
                     .arg(native);
        return false;
    }
    for (const QString& input : inputs) {
        if (sameFile(target, input)) {
            *error = QCoreApplication::translate("OutputFile", "%1 — исходный файл (%2): он не может быть "
                                                               "перезаписан. Выберите другой файл.")
                         .arg(native, QDir::toNativeSeparators(input));
            return false;
        }
    }
    return true;
}

QString failureReason(const QFileDevice& file)
{
    const int code = errno;
    const QString qt = file.errorString();
    if (qt.isEmpty() || qt == QLatin1String("Unknown error"))
        return code != 0 ? QString::fromLocal8Bit(std::strerror(code)) : qt;
    return qt;
}

} // namespace OutputFile
