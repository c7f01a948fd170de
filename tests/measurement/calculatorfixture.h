#ifndef CALCULATORFIXTURE_H
#define CALCULATORFIXTURE_H

#include "measurement/tervexcalculator.h"

#include <QVector>

#include <cmath>
#include <functional>

// Record shapes and a plain whole-record filter for the calculator's tests and benchmark.
namespace CalculatorFixture {

// A bipolar record: +value(t) in the positive pulses, -value(t) in the negative ones, pause(t) in
// the pauses; t counts from the start of the pulse or pause.
inline QVector<float> squareWave(int pulse, int pause, int repeats, const std::function<double(int)>& value,
                                 const std::function<double(int)>& pauseValue = [](int) { return 0.0; })
{
    QVector<float> out;
    out.reserve(2 * (pulse + pause) * repeats);
    for (int half = 0; half < 2 * repeats; ++half) {
        const double sign = half % 2 == 0 ? 1.0 : -1.0;
        for (int t = 0; t < pulse; ++t)
            out.append(float(sign * value(t)));
        for (int t = 0; t < pause; ++t)
            out.append(float(sign * pauseValue(t)));
    }
    return out;
}

inline QVector<float> squareWave(int pulse, int pause, int repeats, double amplitude)
{
    return squareWave(pulse, pause, repeats, [amplitude](int) { return amplitude; });
}

// The generator voltage stream is unipolar: the set voltage in both pulses, 0 in the pauses.
inline QVector<float> generatorWave(int pulse, int pause, int repeats, double volts)
{
    QVector<float> out = squareWave(pulse, pause, repeats, volts);
    for (float& v : out)
        v = std::fabs(v);
    return out;
}

inline void addDrift(QVector<float>& samples, double c0, double c1, double c2)
{
    for (int t = 0; t < samples.size(); ++t)
        samples[t] = float(samples[t] + c0 + c1 * t + c2 * double(t) * t);
}

// The obviously correct filter: every output from every in-range input.
inline QVector<double> wholeRecordFilter(const QVector<float>& x)
{
    const double* h = TervexCalculator::filterCoefficients();
    QVector<double> y(x.size(), 0.0);
    for (int i = 0; i < x.size(); ++i) {
        double sum = 0.0;
        for (int k = 0; k < TervexCalculator::FilterTaps; ++k) {
            const int j = i + 32 - k;
            if (j >= 0 && j < x.size())
                sum += h[k] * x[j];
        }
        y[i] = sum;
    }
    return y;
}

inline bool relativelyClose(double actual, double expected, double tolerance)
{
    return std::fabs(actual - expected) <= tolerance * std::fabs(expected);
}

// Seigel's model: a current step of height I gives u(t) = I R [1 - m exp(-t / tau)] at a channel.
// Window means in closed form from the last switching steps only, valid once the earlier steps
// have died out (decay time short against pulse and pause).
struct SeigelWindows
{
    double ir = 0.0;  // I R, volts
    double m = 0.0;   // chargeability, fraction
    double tau = 0.0; // decay time, samples
    int pulse = 0;

    // Mean of exp(-t / tau) over the integers t in [t0, t0 + count).
    double meanExp(int t0, int count) const
    {
        return std::exp(-t0 / tau) * (1.0 - std::exp(-count / tau)) / (1.0 - std::exp(-1.0 / tau)) / count;
    }
    // In a pulse, t0 counted from its start.
    double on(int t0, int count) const { return ir * (1.0 - m * meanExp(t0, count)); }
    // In the pause after it, t0 counted from the pulse start: the steps at 0 and at pulse.
    double off(int t0, int count) const { return ir * m * (meanExp(t0, count) - meanExp(t0 + pulse, count)); }
};

} // namespace CalculatorFixture

#endif
