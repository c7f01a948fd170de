#ifndef TESTLOAD_H
#define TESTLOAD_H

#include <QPair>
#include <QVector>

// The station's test load: a chain of equal resistors, one between each pair of neighbouring
// electrode terminals, so the resistance between electrodes a and b is |a - b| * base.
//
// The electrodes reach the load through the station's switching matrix of 50 two-position
// relays. The relays a pair (first, second) passes through, and the position each must take,
// follow the matrix layout: six relays on the first electrode's side, six on the second's.
// A faulty relay stays in its rest position 0: a pair whose path needs it in position 1 is
// routed through the wrong branch and reads FaultFactor times its load resistance. Relays that
// no path ever switches to position 1 (44, 46, 48, 50) thus never show a fault.
class TestLoad
{
public:
    static constexpr double FaultFactor = 3.0;
    static constexpr int RelayCount = 50;

    explicit TestLoad(double base = 100.0, const QVector<int>& faultyRelays = {});

    // {relay number, required position} for the six relays of each side, first side first.
    static QVector<QPair<int, int>> relayPath(int first, int second);

    // Resistance the station sees between two electrodes (1..48), faults included; 0 when
    // either electrode is absent (0) or both are the same.
    double resistance(int first, int second) const;
    // U_MN / I for a current driven from a to b through the resistor chain (only the resistors
    // between a and b carry it), faults of the current path left out.
    double chainTransferResistance(int a, int b, int m, int n) const;

private:
    bool routedWrong(int first, int second) const;

    double m_base;
    QVector<int> m_faultyRelays;
};

#endif
