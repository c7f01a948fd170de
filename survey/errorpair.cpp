#include "survey/errorpair.h"

#include <QHash>
#include <QPair>

#include <algorithm>
#include <cmath>

namespace {

// Numbers the places met on the ground: 1, 2, ... in the order they are first met; 0 is the
// electrode at infinity.
class Places
{
public:
    int of(int electrode, const ElectrodePosition& position)
    {
        if (electrode == Electrodes::None)
            return 0;
        for (int i = 0; i < m_places.size(); ++i) {
            if (samePlace(m_places.at(i), position))
                return i + 1;
        }
        m_places.append(position);
        return m_places.size();
    }

private:
    QVector<ElectrodePosition> m_places;
};

// A dipole as the lower place first; the sign turns when that swaps its electrodes.
struct Dipole
{
    int low = 0;
    int high = 0;
    int sign = 1;
};

Dipole dipole(int from, int to)
{
    return from <= to ? Dipole{from, to, 1} : Dipole{to, from, -1};
}

quint64 key(const Dipole& one, const Dipole& other)
{
    return (quint64(quint16(one.low)) << 48) | (quint64(quint16(one.high)) << 32)
        | (quint64(quint16(other.low)) << 16) | quint64(quint16(other.high));
}

struct Measured
{
    int index;
    double resistance;  // in the dipoles' own sign convention
};

ErrorPair pair(ErrorPair::Kind kind, const Measured& one, const Measured& other)
{
    ErrorPair p;
    p.kind = kind;
    p.first = std::min(one.index, other.index);
    p.second = std::max(one.index, other.index);
    p.resistance = std::fabs(one.resistance + other.resistance) / 2.0;
    p.difference = std::fabs(one.resistance - other.resistance);
    return p;
}

}

QVector<ErrorPair> ErrorPair::find(const QVector<SurveyDatum>& data)
{
    Places places;
    // Both dipoles in a fixed order -> the records with current on the first dipole, those with
    // current on the second.
    QHash<quint64, QPair<QVector<Measured>, QVector<Measured>>> groups;
    QVector<quint64> order;
    for (int i = 0; i < data.size(); ++i) {
        const SurveyDatum& d = data.at(i);
        const double r = d.resistance();
        if (!d.computed() || !std::isfinite(r))
            continue;
        const Dipole current = dipole(places.of(d.electrodes.a, d.a), places.of(d.electrodes.b, d.b));
        const Dipole potential = dipole(places.of(d.electrodes.m, d.m), places.of(d.electrodes.n, d.n));
        const Measured measured{i, r * current.sign * potential.sign};
        const quint64 forward = key(current, potential);
        const quint64 backward = key(potential, current);
        const bool normal = forward <= backward;
        const quint64 k = normal ? forward : backward;
        auto found = groups.find(k);
        if (found == groups.end()) {
            found = groups.insert(k, {});
            order.append(k);
        }
        (normal ? found->first : found->second).append(measured);
    }

    QVector<ErrorPair> pairs;
    for (quint64 k : order) {
        const auto& group = groups.value(k);
        for (const QVector<Measured>* records : {&group.first, &group.second}) {
            for (int j = 1; j < records->size(); ++j)
                pairs.append(pair(Kind::Repeat, records->at(j - 1), records->at(j)));
        }
        for (int j = 0; j < std::min(group.first.size(), group.second.size()); ++j)
            pairs.append(pair(Kind::Reciprocal, group.first.at(j), group.second.at(j)));
    }
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const ErrorPair& l, const ErrorPair& r) { return l.second < r.second; });
    return pairs;
}
