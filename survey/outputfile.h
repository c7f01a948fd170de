#ifndef OUTPUTFILE_H
#define OUTPUTFILE_H

#include <QString>
#include <QStringList>

class QFileDevice;

// The one rule for every file the program and its tools write at a path someone chose (exports,
// text tables, reports, generated sequences, pictures): an output goes to a new file or over a
// regular file only, never over a survey data file or one of the files it was made from, so a
// mistyped target cannot destroy raw data, and a device or FIFO is never replaced or blocked on.
namespace OutputFile {

// True when `path` may be written as an output. False, with the reason for the operator in
// *error, when it is not a regular file (a directory, a device, a FIFO), is a data file (.etr,
// by its name or the name it links to), or is one of `inputs` after links are resolved (hard
// links included).
bool mayWrite(const QString& path, const QStringList& inputs, QString* error);

// The reason a file operation failed: Qt's text, or the system's (errno) where Qt's is unknown.
QString failureReason(const QFileDevice& file);

} // namespace OutputFile

#endif
