#ifndef SEQUENCEFILE_H
#define SEQUENCEFILE_H

#include "measurement/electrodeposition.h"
#include "survey/quadrupoleline.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// A survey description: the "# X Y Z" section with the electrode coordinates, then the
// "# A B M N" section with the quadrupoles to measure, in file order.
class SequenceFile
{
public:
    // Reads and validates the whole file. On false the collections may be partly filled and must
    // not be used; errorString() then tells the line and the reason.
    bool load(const QString& path);
    // The same validation on text already in memory.
    bool parse(const QByteArray& content);

    const ElectrodeMap& electrodes() const { return m_electrodes; }
    const QList<QuadrupoleLine>& lines() const { return m_lines; }
    QString errorString() const { return m_errorString; }
    // Quadrupole lines naming an electrode that has no coordinate line still load (the calculator
    // places such an electrode at 0); this names those lines and electrodes, empty when none.
    QString warningString() const;

private:
    bool fail(const QString& reason);
    bool fail(int lineNumber, const QString& reason);

    ElectrodeMap m_electrodes;
    QList<QuadrupoleLine> m_lines;
    QString m_errorString;
    // File line number and the electrodes of that line without coordinates.
    QList<QPair<int, QList<int>>> m_uncoordinated;
};

#endif
