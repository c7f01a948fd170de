#ifndef INVERSIONDATA_H
#define INVERSIONDATA_H

#include "inversion/resistivityinversion.h"
#include "survey/datafilter.h"

#include <QMap>
#include <QStringList>
#include <QVector>

class EtrFile;
struct InversionDataset;

// The data of one line's files as every inversion of the program takes them: the files merged by
// electrode coordinates (a repeated quadrupole once, from its best record), the filter's rules
// applied, and each datum's error from the reciprocal error model where one was fitted, otherwise
// from its deviation and the error floor. The tool, the viewer and the survey window all invert
// what this gives.
struct InversionData
{
    InversionInput input;
    // Reason -> data left out before the inversion: without electrode coordinates, by a rule.
    QMap<QString, int> leftOut;
    // Things the files disagree on, one line each.
    QStringList notes;
    // The error model the data's errors come from (ErrorModel::text()).
    QString errors;
    // Quadrupoles of the files, used or not.
    int total = 0;

    static InversionData fromFiles(const QVector<const EtrFile*>& files, const DataFilter& filter);
    static InversionData fromDataset(const InversionDataset& dataset, const DataFilter& filter);
    // These reasons and the inversion's own, together.
    QMap<QString, int> leftOutWith(const InversionResult& result) const;
};

#endif
