#include "testload.h"

#include <QtGlobal>

#include <cstdlib>

TestLoad::TestLoad(double base, const QVector<int>& faultyRelays)
    : m_base(base)
    , m_faultyRelays(faultyRelays)
{
}

QVector<QPair<int, int>> TestLoad::relayPath(int first, int second)
{
    const int a = first - 1;
    const int b = second - 1;
    int p[6], q[6];
    p[0] = a / 4 + 1;
    q[0] = b / 4 + 22;
    // Each level of the matrix halves the number of relays of the one below it.
    static constexpr int FirstOffset[] = {1, 1, 22, 23, 24};
    static constexpr int SecondOffset[] = {22, 22, 26, 27, 28};
    int s = 0;
    for (int k = 1; k <= 5; ++k) {
        const int c = 1 << (k - 1);
        s += 12 / c;
        p[k] = s + a / (8 * c) + FirstOffset[k - 1];
        q[k] = s + b / (8 * c) + SecondOffset[k - 1];
    }
    QVector<QPair<int, int>> path;
    path.reserve(12);
    for (int k = 0; k < 6; ++k)
        path.append({p[k], (a >> (k + 1)) & 1});
    for (int k = 0; k < 6; ++k)
        path.append({q[k], (b >> (k + 1)) & 1});
    return path;
}

bool TestLoad::routedWrong(int first, int second) const
{
    if (m_faultyRelays.isEmpty())
        return false;
    for (const QPair<int, int>& step : relayPath(first, second)) {
        if (step.second == 1 && m_faultyRelays.contains(step.first))
            return true;
    }
    return false;
}

double TestLoad::resistance(int first, int second) const
{
    if (first <= 0 || second <= 0 || first == second)
        return 0.0;
    const double r = std::abs(first - second) * m_base;
    return routedWrong(first, second) ? FaultFactor * r : r;
}

double TestLoad::chainTransferResistance(int a, int b, int m, int n) const
{
    if (a <= 0 || b <= 0 || a == b)
        return 0.0;
    const int low = qMin(a, b);
    const int high = qMax(a, b);
    // Potential along the chain, zero at B and falling from A towards B; outside [low, high]
    // no current flows, so the potential stays at the value of the nearer end.
    auto potential = [&](int x) { return x <= 0 ? 0.0 : std::abs(qBound(low, x, high) - b) * m_base; };
    if (m <= 0 && n <= 0)
        return 0.0;
    return potential(m) - potential(n);
}
