#ifndef CONTACTGATE_H
#define CONTACTGATE_H

#include "survey/quadrupoleline.h"
#include "survey/testdatamanager.h"

#include <QList>
#include <QVector>

// The contact check before a survey: the contact test over the electrodes the survey uses, and,
// from its resistances, the electrodes above the operator's limit and the quadrupoles a survey
// without them leaves out.
//
// The test measures each used electrode against the next used one, so a value is the sum of two
// contacts (and the ground between). An electrode's resistance is the lowest of its pairs: a bad
// contact raises both of its pairs, a good neighbour of it keeps one low. The first and last
// electrodes have one pair only, so a bad neighbour makes them read as bad too.
class ContactGate
{
public:
    // The operator's answer to electrodes above the limit.
    enum class Choice { Retest, LeaveOut, GoOn, Cancel };

    struct Electrode
    {
        int number = 0;
        float ohms = 0.0f;
    };

    static constexpr double DefaultLimitKOhm = 5.0;

    ContactGate() = default;
    // The survey's quadrupoles; limit in ohms.
    ContactGate(const QList<QuadrupoleLine>& lines, double limitOhms);

    // The electrodes the quadrupoles use (1..48), ascending; a remote electrode (0) is none.
    const QVector<int>& electrodes() const { return m_electrodes; }
    double limitOhms() const { return m_limit; }
    // The contact test: one plan position and one current dipole per pair of neighbouring used electrodes.
    const QVector<TestPlanEntry>& plan() const { return m_plan; }
    const QList<QuadrupoleLine>& testLines() const { return m_testLines; }

    // Reads the test's resistances (one per plan position); the electrodes above the limit follow.
    void evaluate(const QVector<TestResult>& results);
    // Ascending by electrode number.
    const QVector<Electrode>& aboveLimit() const { return m_above; }
    bool passed() const { return m_above.isEmpty(); }
    // The survey's quadrupoles that use none of the electrodes above the limit, and how many use one.
    QList<QuadrupoleLine> keptLines() const;
    int leftOutCount() const { return m_lines.size() - keptLines().size(); }

private:
    bool isBad(int electrode) const;

    QList<QuadrupoleLine> m_lines;
    double m_limit = 0.0;
    QVector<int> m_electrodes;
    QVector<TestPlanEntry> m_plan;
    QList<QuadrupoleLine> m_testLines;
    QVector<Electrode> m_above;
};

#endif
