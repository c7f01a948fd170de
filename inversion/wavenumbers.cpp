#include "inversion/wavenumbers.h"

#include "inversion/besselk.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>

Wavenumbers Wavenumbers::forDistances(double rMin, double rMax)
{
    rMax = std::max(rMax, 2.0 * rMin);
    const int count = 6 + 2 * int(std::ceil(std::log10(rMax / rMin)));
    const double kLow = 0.3 / rMax;
    const double kHigh = 6.0 / rMin;
    Wavenumbers result;
    for (int i = 0; i < count; ++i)
        result.k.push_back(kLow * std::pow(kHigh / kLow, double(i) / (count - 1)));

    // Relative error of 1/r at distances spaced evenly in log r.
    const int samples = 30 * count;
    Eigen::MatrixXd design(samples, count);
    for (int j = 0; j < samples; ++j) {
        const double r = rMin * std::pow(rMax / rMin, double(j) / (samples - 1));
        for (int i = 0; i < count; ++i)
            design(j, i) = 2.0 / M_PI * r * BesselK::k0(result.k[i] * r);
    }
    const Eigen::VectorXd weights = design.colPivHouseholderQr().solve(Eigen::VectorXd::Ones(samples));
    result.weight.assign(weights.data(), weights.data() + count);
    return result;
}

double Wavenumbers::inverseDistance(double r) const
{
    double sum = 0.0;
    for (size_t i = 0; i < k.size(); ++i)
        sum += weight[i] * BesselK::k0(k[i] * r);
    return sum * 2.0 / M_PI;
}
