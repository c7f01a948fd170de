#include "tools/shots/surveyfile.h"

#include "measurement/electrodeposition.h"
#include "survey/etrformat.h"
#include "tools/stationsim/earthmodel.h"
#include "tools/stationsim/recordgenerator.h"

#include <QFile>
#include <QVector>

#include <random>

namespace {

constexpr double Spacing = 5.0;

double position(int electrode, double spacing = Spacing)
{
    return (electrode - 1) * spacing;
}

struct Layout
{
    int a;
    int b;
    QVector<QPair<int, int>> mn;
};

QVector<Layout> gradientLayouts(int channels)
{
    QVector<Layout> layouts;
    for (int level = 1; level <= 3; ++level) {
        for (int a = 1; a + (channels + 2) * level <= Electrodes::Count; ++a) {
            Layout layout{a, a + (channels + 2) * level, {}};
            for (int i = 1; i <= channels; ++i)
                layout.mn.append({a + i * level, a + (i + 1) * level});
            layouts.append(layout);
        }
    }
    return layouts;
}

// The header of the 48-electrode line, 5 m apart unless said otherwise.
bool writeHeader(QFile& file, int pulse, int pause, int periods, double spacing = Spacing)
{
    ElectrodeMap positions;
    for (int e = 1; e <= Electrodes::Count; ++e)
        positions.insert(e, ElectrodePosition{float(position(e, spacing)), 0.0f, 0.0f});
    return file.write(EtrFormat::headerBytes(pulse, pause, periods, positions)) >= 0;
}

// A record of the layout at 100 V, with contacts that differ from electrode to electrode.
RecordSpec recordFor(const Layout& layout, int pulse, int pause, int periods, double spacing = Spacing)
{
    RecordSpec record;
    record.pulse = pulse;
    record.pause = pause;
    record.periods = periods;
    record.generatorVoltage = 100.0;
    record.a = position(layout.a, spacing);
    record.b = position(layout.b, spacing);
    record.contactA = 700.0 + 15.0 * (layout.a % 7);
    record.contactB = 650.0 + 20.0 * (layout.b % 5);
    for (const auto& pair : layout.mn)
        record.mn.append({position(pair.first, spacing), position(pair.second, spacing)});
    record.noise = 2e-5;
    return record;
}

}

bool writeSurveyFile(const QString& path, const SurveyFileSpec& spec)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    if (!writeHeader(file, spec.pulse, spec.pause, spec.periods, spec.spacing))
        return false;

    const EarthModel earth(80.0, 12.0, 350.0);
    const QVector<Layout> layouts = gradientLayouts(spec.channels);
    const int samples = 2 * (spec.pulse + spec.pause) * spec.periods;
    for (int i = 0; i < spec.blocks; ++i) {
        const Layout& layout = layouts.at(i % layouts.size());
        RecordSpec record = recordFor(layout, spec.pulse, spec.pause, spec.periods, spec.spacing);
        record.chargeability = 0.03 + 0.01 * (i % 4);
        record.decayTime = 150.0;
        record.drift0 = 2e-3;
        record.drift1 = 4e-8;
        record.seed = quint32(i + 1);
        const GeneratedRecord generated = generateRecord(earth, record);

        QVector<EtrFormat::BlockChannel> channels;
        for (int c = 0; c < layout.mn.size(); ++c)
            channels.append({layout.mn[c].first, layout.mn[c].second, generated.channels.at(c)});
        if (file.write(EtrFormat::blockBytes(samples, layout.a, layout.b, generated.current, channels)) < 0)
            return false;
    }
    return file.flush();
}

bool writeReciprocalSurveyFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    constexpr int Levels = 6;
    constexpr int Pulse = 500, Pause = 500, Periods = 2;
    if (!writeHeader(file, Pulse, Pause, Periods))
        return false;

    const EarthModel earth(80.0, 12.0, 350.0);
    std::mt19937 random(2412);
    std::normal_distribution<double> scatter(0.0, 0.015);
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    const int samples = 2 * (Pulse + Pause) * Periods;
    for (int direction : {1, -1}) {
        for (int a = 1; a <= Electrodes::Count - 1; ++a) {
            // Forward the potential dipoles follow the current one, backward they lie before it:
            // the backward record with current on a forward record's potential dipole measures
            // that record's reciprocal.
            Layout layout{a, a + 1, {}};
            for (int n = 1; n <= Levels; ++n) {
                const int m = direction > 0 ? a + 1 + n : a - n - 1;
                if (m >= 1 && m + 1 <= Electrodes::Count)
                    layout.mn.append(qMakePair(m, m + 1));
            }
            if (layout.mn.isEmpty())
                continue;
            RecordSpec record = recordFor(layout, Pulse, Pause, Periods);
            record.seed = quint32(direction > 0 ? a : 100 + a);
            GeneratedRecord generated = generateRecord(earth, record);
            QVector<EtrFormat::BlockChannel> channels;
            for (int c = 0; c < layout.mn.size(); ++c) {
                // Contact and positioning errors the record's own scatter does not see.
                const double factor = 1.0 + scatter(random) * (chance(random) < 0.04 ? 12.0 : 1.0);
                for (float& v : generated.channels[c])
                    v = float(v * factor);
                channels.append({layout.mn[c].first, layout.mn[c].second, generated.channels.at(c)});
            }
            if (file.write(EtrFormat::blockBytes(samples, layout.a, layout.b, generated.current, channels)) < 0)
                return false;
        }
    }
    return file.flush();
}
