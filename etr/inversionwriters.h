#ifndef INVERSIONWRITERS_H
#define INVERSIONWRITERS_H

#include "survey/datafilter.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

struct InversionDataset;

// The files inversion programs load as they stand:
// - Ohm: the unified data format of pyGIMLi/BERT (also ResIPy's "BERT" type);
// - ResIPy: the comma-separated table of ResIPy's "Syscal" type, with deviation and decay windows;
// - Res2DInv: the general array data file (type 11), also read by ResIPy and pyGIMLi.
// Every number with a fractional part is printed in fixed notation with a decimal point (the
// readers take "-50" or "1e-3" wrongly) and no value is ever nan or inf: a datum that has no
// finite values is left out and counted with its reason instead.
enum class InversionFormat
{
    Ohm,
    ResIPy,
    Res2DInv,
};

struct InversionOptions
{
    InversionOptions(InversionFormat format = InversionFormat::Ohm, bool chargeability = false,
                     const DataFilter& filter = DataFilter())
        : format(format)
        , chargeability(chargeability)
        , filter(filter)
    {
    }

    InversionFormat format = InversionFormat::Ohm;
    // Write the chargeability (and for ResIPy the decay windows) too.
    bool chargeability = false;
    // Data the rules drop are left out with the rule as the reason; the errors the rules ask for
    // go into the unified format's `err`.
    DataFilter filter;
};

// What an export did, for the operator.
struct InversionReport
{
    QString path;
    int written = 0;
    // Reason -> number of data left out for it.
    QMap<QString, int> leftOut;
    QStringList notes;
    // The model the data's errors come from (ErrorModel::text()).
    QString errors;
    // Why the file could not be written; empty when it was.
    QString error;

    bool ok() const { return error.isEmpty(); }
    int leftOutCount() const;
    // Several lines: the file and data count, or why it failed; the data left out with their
    // reasons; the errors; the notes.
    QString text() const;
};

namespace InversionWriters {

// The file's content; `report` gets the counts and notes.
QByteArray content(const InversionDataset& dataset, const InversionOptions& options, InversionReport* report);
// Writes the content to `path` as a whole or not at all (an earlier file there stays on failure).
// Refused, with the reason, when no datum would be written or `path` may not take an output
// (OutputFile::mayWrite: a data file, one of `inputs`, not a regular file).
InversionReport writeFile(const InversionDataset& dataset, const InversionOptions& options, const QString& path,
                          const QStringList& inputs = {});

// "ohm", "resipy", "res2dinv": the names on the command line.
QString name(InversionFormat format);
bool fromName(const QString& name, InversionFormat* format);
// The operator's name of the format, with the program that reads it.
QString title(InversionFormat format);
// The export of a data file beside it: 240131_101500.ohm, 240131_101500-resipy.csv, 240131_101500-res2dinv.dat.
QString defaultPath(const QString& etrPath, InversionFormat format);
// A file dialog filter for the format.
QString fileFilter(InversionFormat format);

// Reasons for leaving a datum out.
QString notComputedReason();
QString zeroFactorReason();
QString noChargeabilityReason();
// The first of the filter's rules a datum fails (DataFilter::failed()); empty when none.
QString droppedReason(const DataFilter& filter, int failedRules);

} // namespace InversionWriters

#endif
