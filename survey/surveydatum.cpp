#include "survey/surveydatum.h"

#include <QHash>

#include <cmath>

namespace {

bool usable(double value)
{
    return std::isfinite(value) && value != double(ChannelResult::NotComputed);
}

}

bool betterRepeat(const SurveyDatum& candidate, const SurveyDatum& kept)
{
    const bool candidateComputed = candidate.computed();
    if (candidateComputed != kept.computed())
        return candidateComputed;
    const double c = usable(candidate.deviation) ? candidate.deviation : HUGE_VAL;
    const double k = usable(kept.deviation) ? kept.deviation : HUGE_VAL;
    return c <= k;
}

bool SurveyDatum::computed() const
{
    return usable(current) && current != 0.0 && usable(voltage) && usable(geometricFactor)
        && usable(resistivity);
}

bool samePlace(const ElectrodePosition& l, const ElectrodePosition& r)
{
    return std::fabs(l.x - r.x) < SurveyDatum::SamePlace && std::fabs(l.y - r.y) < SurveyDatum::SamePlace;
}

quint64 quadrupoleKey(const QuadrupoleLine& q)
{
    return (quint64(quint16(q.a)) << 48) | (quint64(quint16(q.b)) << 32) | (quint64(quint16(q.m)) << 16)
        | quint64(quint16(q.n));
}

QVector<SurveyDatum> bestOfRepeats(const QVector<SurveyDatum>& data)
{
    QVector<SurveyDatum> kept;
    QHash<quint64, int> index;
    for (const SurveyDatum& datum : data) {
        const quint64 key = quadrupoleKey(datum.electrodes);
        const auto found = index.constFind(key);
        if (found == index.constEnd()) {
            index.insert(key, kept.size());
            kept.append(datum);
        } else if (betterRepeat(datum, kept[*found])) {
            kept[*found] = datum;
        }
    }
    return kept;
}
