#ifndef INVERSIONDATASET_H
#define INVERSIONDATASET_H

#include "measurement/electrodeposition.h"
#include "survey/linemetadata.h"
#include "survey/surveydatum.h"

#include <QMap>
#include <QStringList>
#include <QVector>

class EtrFile;

// The data of one file of a line, or of the survey being measured into one: its electrode table
// (number -> position), its data by those numbers, its line description and pulse, ms.
struct InversionSource
{
    QString name;
    ElectrodeMap positions;
    QVector<SurveyDatum> data;
    LineMetadata metadata;
    int pulse = 0;

    static InversionSource fromFile(const EtrFile& file, int source);
};

// The data of one survey line as inversion software sees it: one list of electrodes with their
// coordinates and the data that refer to them by position in that list. Several data files of a
// line (a survey split over files, a roll-along line) merge into one dataset: their electrodes are
// matched by where they stand, not by their numbers on the cable.
struct InversionDataset
{
    static constexpr float SamePlace = SurveyDatum::SamePlace;

    // Ascending x, then y.
    QVector<ElectrodePosition> electrodes;
    // The datum's electrode numbers are 1-based positions in `electrodes`, Electrodes::None for an
    // electrode at infinity; `source` is the index of its file in the list given to fromFiles().
    QVector<SurveyDatum> data;
    // Where the chargeability of the data was read after the current was switched off: delay and
    // length of the window, ms (of the first file with data).
    int chargeabilityDelay = 0;
    int chargeabilityWidth = 0;
    // Reason -> number of channel records that could not be put on the line at all.
    QMap<QString, int> leftOut;
    // Things the files disagree on and how they were settled, one line each.
    QStringList notes;
    // From the line description of the first file that has one: its name and the station's GPS
    // position at the start ("longitude latitude altitude" as the station sent them); empty when
    // no file has them.
    QString lineName;
    QString gpsPosition;

    bool hasY() const;
    bool hasElevation() const;
    // Smallest distance along x between neighbouring electrodes; 1 when there are fewer than two.
    double unitSpacing() const;
    // The electrode of a datum's number (1-based); null for an electrode at infinity.
    const ElectrodePosition* electrode(int number) const;

    // A quadrupole measured more than once keeps its best record (bestOfRepeats()) unless
    // `allRepeats` is set. Null entries are skipped.
    static InversionDataset fromFiles(const QVector<const EtrFile*>& files, bool allRepeats = false);
    static InversionDataset fromSources(const QVector<InversionSource>& sources, bool allRepeats = false);

    static QString noCoordinatesReason();
};

#endif
