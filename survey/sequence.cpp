#include "survey/sequence.h"

#include "measurement/electrodeposition.h"

#include <algorithm>

Sequence::Sequence(int pairsLimit)
    : m_pairsLimit(pairsLimit)
{
}

bool Sequence::build(const QList<QuadrupoleLine>& lines, bool allowRemote)
{
    m_cursor = 0;
    m_maxPairs = 0;
    m_steps.clear();

    for (const QuadrupoleLine& line : lines) {
        const bool mergeable = allowRemote || (line.a != Electrodes::None && line.b != Electrodes::None);
        auto step = m_steps.end();
        if (mergeable) {
            step = std::find_if(m_steps.begin(), m_steps.end(), [&line](const SequenceStep& s) {
                return s.a == line.a && s.b == line.b && s.pairs.size() < s.maxPairs;
            });
        }
        if (step != m_steps.end()) {
            step->pairs.append({line.m, line.n});
            continue;
        }
        SequenceStep fresh;
        fresh.maxPairs = m_pairsLimit;
        fresh.a = line.a;
        fresh.b = line.b;
        if (m_pairsLimit != 0 && (line.m != Electrodes::None || line.n != Electrodes::None))
            fresh.pairs.append({line.m, line.n});
        m_steps.append(fresh);
    }

    for (const SequenceStep& step : qAsConst(m_steps))
        m_maxPairs = std::max(m_maxPairs, int(step.pairs.size()));
    return !lines.isEmpty();
}

SequenceStep* Sequence::current()
{
    return m_cursor < m_steps.size() ? &m_steps[m_cursor] : nullptr;
}

SequenceStep* Sequence::takeNext()
{
    SequenceStep* step = current();
    if (step)
        ++m_cursor;
    return step;
}
