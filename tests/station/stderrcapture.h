#ifndef STDERRCAPTURE_H
#define STDERRCAPTURE_H

#include <QFile>
#include <QString>
#include <QTemporaryFile>

#include <cstdio>
#ifdef _WIN32
#include <io.h>
namespace Fd {
inline int duplicate(int fd) { return _dup(fd); }
inline int replace(int from, int to) { return _dup2(from, to); }
inline int release(int fd) { return _close(fd); }
inline int of(FILE* f) { return _fileno(f); }
}
#else
#include <unistd.h>
namespace Fd {
inline int duplicate(int fd) { return ::dup(fd); }
inline int replace(int from, int to) { return ::dup2(from, to); }
inline int release(int fd) { return ::close(fd); }
inline int of(FILE* f) { return ::fileno(f); }
}
#endif

// Collects what the process writes to standard error while it lives.
class StderrCapture
{
public:
    StderrCapture()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = Fd::duplicate(Fd::of(stderr));
        Fd::replace(m_file.handle(), Fd::of(stderr));
    }
    ~StderrCapture() { restore(); }

    // Lines written so far; standard error is given back at the first call.
    QStringList lines()
    {
        restore();
        QFile in(m_file.fileName());
        in.open(QIODevice::ReadOnly);
        return QString::fromLocal8Bit(in.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        Fd::replace(m_saved, Fd::of(stderr));
        Fd::release(m_saved);
        m_saved = -1;
    }

    QTemporaryFile m_file;
    int m_saved = -1;
};

#endif
