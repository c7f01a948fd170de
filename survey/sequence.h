#ifndef SEQUENCE_H
#define SEQUENCE_H

#include "survey/quadrupoleline.h"
#include "survey/sequencestep.h"

#include <QList>
#include <QVector>

// The steps of a run: quadrupole lines grouped by their current electrodes, each step holding at
// most as many M N pairs as the station measures at once.
class Sequence
{
public:
    explicit Sequence(int pairsLimit = 0);

    // False when the line list is empty. Lines with the same A and B are merged even when they
    // are not adjacent; without allowRemote a line with an absent current electrode gets a step
    // of its own.
    bool build(const QList<QuadrupoleLine>& lines, bool allowRemote);

    // The step at the cursor, or null past the end.
    SequenceStep* current();
    // current(), then the cursor moves past it.
    SequenceStep* takeNext();

    const QVector<SequenceStep>& steps() const { return m_steps; }
    int pairsLimit() const { return m_pairsLimit; }
    int maxPairs() const { return m_maxPairs; }
    int cursor() const { return m_cursor; }

private:
    int m_pairsLimit = 0;
    int m_maxPairs = 0;
    int m_cursor = 0;
    QVector<SequenceStep> m_steps;
};

#endif
