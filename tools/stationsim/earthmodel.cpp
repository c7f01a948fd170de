#include "earthmodel.h"

#include <cmath>

namespace {

constexpr double TwoPi = 6.283185307179586;
// The image series converges slowly when the layer contrast nears its limit; this bounds the cost.
constexpr int MaxImageTerms = 10000;
constexpr double RelativeTolerance = 1e-12;

// 1/|x - source|, or 0 when the source is at infinity.
double inverseDistance(double source, double x)
{
    if (!std::isfinite(source) || !std::isfinite(x))
        return 0.0;
    return 1.0 / std::abs(x - source);
}

}

EarthModel::EarthModel(double topResistivity, double thickness, double bottomResistivity)
    : m_topResistivity(topResistivity)
    , m_thickness(thickness)
    , m_bottomResistivity(bottomResistivity)
{
}

double EarthModel::potential(double sourceX, double x) const
{
    const double r = std::abs(x - sourceX);
    if (m_thickness <= 0.0 || m_topResistivity == m_bottomResistivity)
        return m_topResistivity / (TwoPi * r);

    const double k = (m_bottomResistivity - m_topResistivity) / (m_bottomResistivity + m_topResistivity);
    double sum = 1.0 / r;
    double kn = 1.0;
    for (int n = 1; n <= MaxImageTerms; ++n) {
        kn *= k;
        const double depth = 2.0 * n * m_thickness;
        const double term = 2.0 * kn / std::sqrt(r * r + depth * depth);
        sum += term;
        if (std::abs(term) < RelativeTolerance * std::abs(sum))
            break;
    }
    return m_topResistivity / TwoPi * sum;
}

double EarthModel::transferResistance(double a, double b, double m, double n) const
{
    auto at = [this](double source, double x) {
        return std::isfinite(source) && std::isfinite(x) ? potential(source, x) : 0.0;
    };
    return at(a, m) - at(b, m) - at(a, n) + at(b, n);
}

double EarthModel::geometricSum(double a, double b, double m, double n)
{
    return inverseDistance(a, m) - inverseDistance(a, n) - inverseDistance(b, m) + inverseDistance(b, n);
}

double EarthModel::apparentResistivity(double a, double b, double m, double n) const
{
    const double s = geometricSum(a, b, m, n);
    if (s == 0.0)
        return 0.0;
    return TwoPi * transferResistance(a, b, m, n) / s;
}
