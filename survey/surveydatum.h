#ifndef SURVEYDATUM_H
#define SURVEYDATUM_H

#include "measurement/channelresult.h"
#include "measurement/electrodeposition.h"
#include "survey/quadrupoleline.h"

#include <QVector>

// One measured datum: a potential channel of one record, with where its four electrodes stand
// and what was computed for it. The inversion exports and the pseudosection both work on lists
// of these, whether they come from data files or from the survey being measured.
struct SurveyDatum
{
    static constexpr int WindowCount = ChannelResult::WindowCount;
    // Two electrodes closer than this, along the ground (x, y), are the same electrode, m.
    static constexpr float SamePlace = 0.01f;

    // Electrode numbers of the list the datum belongs to; Electrodes::None = at infinity.
    QuadrupoleLine electrodes;
    // Positions on the line; meaningless for an electrode at infinity.
    ElectrodePosition a;
    ElectrodePosition b;
    ElectrodePosition m;
    ElectrodePosition n;
    // Where it came from: input file (when several are merged), record (block) and channel index.
    int source = 0;
    int record = -1;
    int channel = -1;

    double current = 0.0;          // A
    double voltage = 0.0;          // U_mn, V
    double geometricFactor = 0.0;  // m
    double resistivity = 0.0;      // apparent, Ohm.m
    double deviation = 0.0;        // percent
    double chargeability = 0.0;    // percent
    double decay[WindowCount] = {};  // percent
    double windowWidth = 0.0;      // width of one decay window, ms

    // Ohm; meaningful only for a computed datum.
    double resistance() const { return voltage / current; }
    // Current, voltage, factor and resistivity are finite, not the not-computed marker, and the
    // current is not zero.
    bool computed() const;
};

// Within SurveyDatum::SamePlace of each other along the ground.
bool samePlace(const ElectrodePosition& l, const ElectrodePosition& r);

// The four electrode numbers in one value: equal for equal quadrupoles.
quint64 quadrupoleKey(const QuadrupoleLine& q);

// One datum per quadrupole (equal electrode numbers): of repeated records the one with the lowest
// deviation, the later one on a tie; computed data are preferred to data that are not. The order
// of first appearance is kept.
QVector<SurveyDatum> bestOfRepeats(const QVector<SurveyDatum>& data);
// True when `candidate`, a later record of the same quadrupole, replaces `kept` as its best.
bool betterRepeat(const SurveyDatum& candidate, const SurveyDatum& kept);

#endif
