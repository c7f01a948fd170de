#ifndef ETRTESTFILES_H
#define ETRTESTFILES_H

#include "survey/etrformat.h"

#include <QFile>
#include <QVector>

// Records as the station would stream them for a clean earth: a square wave of the given
// amplitude during the pulses and zero in the pauses, written with the survey's own writer.
namespace EtrTestFiles {

struct Timing
{
    int pulse = 500;
    int pause = 500;
    int repeats = 3;
    int samples() const { return int(EtrFormat::samplesPerStream(pulse, pause, repeats)); }
};

inline QVector<float> squareWave(const Timing& t, float amplitude)
{
    QVector<float> values;
    values.reserve(t.samples());
    for (int p = 0; p < t.repeats; ++p) {
        for (const float level : {amplitude, -amplitude}) {
            values.insert(values.size(), t.pulse, level);
            values.insert(values.size(), t.pause, 0.0f);
        }
    }
    return values;
}

// Electrodes 1..count on a straight line, 5 m apart, y = electrode number / 10.
inline ElectrodeMap straightLine(int count)
{
    ElectrodeMap positions;
    for (int e = 1; e <= count; ++e)
        positions.insert(e, {5.0f * (e - 1), 0.1f * e, 0.0f});
    return positions;
}

inline QByteArray header(const Timing& t, const ElectrodeMap& positions)
{
    return EtrFormat::headerBytes(t.pulse, t.pause, t.repeats, positions);
}

// A block whose current has the amplitude current and whose channels carry the given voltages.
inline QByteArray block(const Timing& t, int a, int b, float current,
                        const QVector<EtrFormat::BlockChannel>& channels)
{
    return EtrFormat::blockBytes(t.samples(), a, b, squareWave(t, current), channels);
}

inline EtrFormat::BlockChannel channel(const Timing& t, int m, int n, float voltage)
{
    return {m, n, squareWave(t, voltage)};
}

inline bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace EtrTestFiles

#endif
