#include "recordgenerator.h"

#include <cmath>
#include <random>

namespace {

constexpr double TwoPi = 6.283185307179586;
constexpr double ElectrodeRadius = 0.05;
constexpr double CurrentNoiseRelative = 1e-3;

// Current waveform sign at a row: +1 in the positive pulse, -1 in the negative one, 0 in pauses.
int polarity(const RecordSpec& spec, int row)
{
    const int half = spec.pulse + spec.pause;
    const int inHalf = row % half;
    if (inHalf >= spec.pulse)
        return 0;
    return (row / half) % 2 == 0 ? 1 : -1;
}

}

int recordRows(const RecordSpec& spec)
{
    const qint64 rows = 2 * (qint64(spec.pulse) + spec.pause) * spec.periods;
    return int(qBound<qint64>(0, rows, MaxRecordRows));
}

double injectedCurrent(const EarthModel& earth, const RecordSpec& spec)
{
    if (spec.fixedCurrent > 0.0)
        return spec.fixedCurrent;
    const double grounding = earth.topResistivity() / (TwoPi * ElectrodeRadius);
    double circuit = 0.0;
    int present = 0;
    if (std::isfinite(spec.a)) {
        circuit += spec.contactA + grounding;
        ++present;
    }
    if (std::isfinite(spec.b)) {
        circuit += spec.contactB + grounding;
        ++present;
    }
    // One electrode alone closes no circuit.
    if (present == 0 || circuit <= 0.0)
        return 0.0;
    return spec.generatorVoltage / circuit;
}

GeneratedRecord generateRecord(const EarthModel& earth, const RecordSpec& spec)
{
    QVector<double> resistances;
    resistances.reserve(spec.mn.size());
    for (const QPair<double, double>& pair : spec.mn) {
        const double r = earth.transferResistance(spec.a, spec.b, pair.first, pair.second);
        // An electrode on top of a current electrode has no finite reading; the station shows 0.
        resistances.append(std::isfinite(r) ? r : 0.0);
    }
    return generateRecord(spec, injectedCurrent(earth, spec), resistances);
}

GeneratedRecord generateRecord(const RecordSpec& spec, double currentAmplitude,
                               const QVector<double>& transferResistances, const QVector<double>& chargeabilities)
{
    GeneratedRecord out;
    out.currentAmplitude = currentAmplitude;
    const int rows = recordRows(spec);
    out.current.resize(rows);
    out.voltage.resize(rows);
    out.channels.resize(transferResistances.size());
    for (QVector<float>& c : out.channels)
        c.resize(rows);

    std::mt19937 engine(spec.seed);
    std::normal_distribution<double> gauss(0.0, 1.0);
    const bool noisy = spec.noise > 0.0;
    QVector<double> m = chargeabilities;
    if (m.size() != transferResistances.size())
        m.fill(spec.chargeability, transferResistances.size());
    const double decay = spec.decayTime > 0.0 ? std::exp(-1.0 / spec.decayTime) : 0.0;

    // The polarisation part of the superposed step responses, sum of dI * exp(-(t - t0) / tau),
    // advanced row by row: exact, since every step falls on a row.
    double pending = 0.0;
    double level = 0.0;
    for (int t = 0; t < rows; ++t) {
        const double now = currentAmplitude * polarity(spec, t);
        pending = pending * decay + (now - level);
        level = now;

        out.current[t] = float(noisy ? now + CurrentNoiseRelative * currentAmplitude * gauss(engine) : now);
        out.voltage[t] = float(now != 0.0 ? spec.generatorVoltage : 0.0);
        const double drift = spec.drift0 + spec.drift1 * t + spec.drift2 * double(t) * t;
        for (int c = 0; c < out.channels.size(); ++c) {
            double u = transferResistances.at(c) * (now - m.at(c) * pending) + drift;
            if (noisy)
                u += spec.noise * gauss(engine);
            out.channels[c][t] = float(u);
        }
    }
    return out;
}
