#include "survey/contactgate.h"

#include <QMap>

#include <algorithm>

ContactGate::ContactGate(const QList<QuadrupoleLine>& lines, double limitOhms)
    : m_lines(lines)
    , m_limit(limitOhms)
{
    for (const QuadrupoleLine& line : lines) {
        for (int e : {line.a, line.b, line.m, line.n}) {
            if (e > 0 && !m_electrodes.contains(e))
                m_electrodes.append(e);
        }
    }
    std::sort(m_electrodes.begin(), m_electrodes.end());
    for (int i = 0; i + 1 < m_electrodes.size(); ++i) {
        m_plan.append(TestPlanEntry{i, m_electrodes[i], m_electrodes[i + 1], false});
        m_testLines.append(QuadrupoleLine{m_electrodes[i], m_electrodes[i + 1], 0, 0});
    }
}

void ContactGate::evaluate(const QVector<TestResult>& results)
{
    // Electrode -> the lowest measured value of its pairs.
    QMap<int, float> lowest;
    for (const TestPlanEntry& entry : m_plan) {
        if (entry.resultIndex < 0 || entry.resultIndex >= results.size())
            continue;
        const float ohms = results[entry.resultIndex].resistance;
        // A pair the test did not measure says nothing of its contacts.
        if (!(ohms > 0.0f))
            continue;
        for (int e : {entry.firstElectrode, entry.secondElectrode}) {
            if (!lowest.contains(e) || ohms < lowest.value(e))
                lowest.insert(e, ohms);
        }
    }
    m_above.clear();
    for (auto it = lowest.cbegin(); it != lowest.cend(); ++it) {
        if (double(it.value()) > m_limit)
            m_above.append(Electrode{it.key(), it.value()});
    }
}

bool ContactGate::isBad(int electrode) const
{
    return std::any_of(m_above.cbegin(), m_above.cend(),
                       [electrode](const Electrode& e) { return e.number == electrode; });
}

QList<QuadrupoleLine> ContactGate::keptLines() const
{
    QList<QuadrupoleLine> kept;
    for (const QuadrupoleLine& line : m_lines) {
        if (!isBad(line.a) && !isBad(line.b) && !isBad(line.m) && !isBad(line.n))
            kept.append(line);
    }
    return kept;
}
