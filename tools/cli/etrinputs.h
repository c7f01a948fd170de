#ifndef ETRINPUTS_H
#define ETRINPUTS_H

#include <QStringList>
#include <QVector>

#include <memory>
#include <vector>

class EtrFile;

// The survey data files a tool reads: every one is tried, in order, and each loader message goes
// to standard error as one line with the file's path.
class EtrInputs
{
public:
    EtrInputs();
    ~EtrInputs();

    // True when every file was opened; a file that was not is left out of files().
    bool load(const QStringList& paths);
    // Loads one file, its messages and a failure to open it on standard error.
    static bool open(const QString& path, EtrFile* file);
    QVector<const EtrFile*> files() const;
    // Every opened file was read to its end.
    bool allComplete() const;

private:
    std::vector<std::unique_ptr<EtrFile>> m_files;
};

#endif
