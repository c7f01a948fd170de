#ifndef RECORDGENERATOR_H
#define RECORDGENERATOR_H

#include "earthmodel.h"

#include <QPair>
#include <QVector>
#include <QtGlobal>

// One record as the station streams it: one row per millisecond; a period is +pulse, pause,
// -pulse, pause, so a record has 2 * (pulse + pause) * periods rows.
struct RecordSpec
{
    int pulse = 500, pause = 500, periods = 3;
    double generatorVoltage = 50.0; // volts during pulses
    // Current electrode positions; infinity = absent (remote) electrode.
    double a = 0.0, b = 5.0;
    // If fixedCurrent > 0 that amplitude (A) is injected; otherwise generatorVoltage over the
    // contact resistances plus a grounding term rho1 / (2*pi*0.05) per present electrode
    // (the spreading resistance of a 5 cm hemispherical electrode).
    double fixedCurrent = 0.0;
    double contactA = 500.0, contactB = 500.0; // ohms
    QVector<QPair<double, double>> mn;           // potential pairs (positions of M and N), one stream each
    // Induced polarisation (Seigel): a current step of height I gives at a channel
    // u(t) = I * R * [(1 - m) + m * (1 - exp(-t / tau))], t in ms since the step; the channel
    // is the superposition over every step of the current waveform (no current before the record).
    double chargeability = 0.0; // m, fraction (0.05 = 5 %)
    double decayTime = 100.0;   // tau, ms
    // Self-potential drift added to every channel: drift0 + drift1 * t + drift2 * t^2, t = row index.
    double drift0 = 0.0, drift1 = 0.0, drift2 = 0.0;
    double noise = 0.0; // gaussian, volts rms, on every channel (and 1e-3 relative on the current)
    quint32 seed = 1;
};

struct GeneratedRecord
{
    QVector<float> current;           // amperes, stream id 100
    QVector<float> voltage;           // volts, stream id 200
    QVector<QVector<float>> channels; // volts, one per RecordSpec::mn entry, in order
    double currentAmplitude = 0.0;    // the I used (A)
};

// Rows of a record of the given spec, at most MaxRecordRows: the generator keeps a whole record
// in memory, and no survey record comes near this (about 70 minutes of samples).
constexpr int MaxRecordRows = 1 << 22;
int recordRows(const RecordSpec& spec);

// The current amplitude injected by this record over the given earth.
double injectedCurrent(const EarthModel& earth, const RecordSpec& spec);

GeneratedRecord generateRecord(const EarthModel& earth, const RecordSpec& spec);

// The same waveforms for a circuit that is not the two-layer earth (the station's test load, a
// ground of blocks): the current amplitude and one transfer resistance per channel are given, and
// optionally each channel's chargeability in place of spec.chargeability; spec.a, spec.b,
// spec.mn, spec.fixedCurrent and the contacts are not used.
GeneratedRecord generateRecord(const RecordSpec& spec, double currentAmplitude,
                               const QVector<double>& transferResistances,
                               const QVector<double>& chargeabilities = {});

#endif
