#include "tools/shots/surveyfile.h"

#include "measurement/electrodeposition.h"
#include "survey/etrformat.h"
#include "tools/stationsim/earthmodel.h"
#include "tools/stationsim/recordgenerator.h"

#include <QFile>
#include <QVector>

namespace {

constexpr double Spacing = 5.0;

double position(int electrode)
{
    return (electrode - 1) * Spacing;
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

}

bool writeSurveyFile(const QString& path, const SurveyFileSpec& spec)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;

    ElectrodeMap positions;
    for (int e = 1; e <= Electrodes::Count; ++e)
        positions.insert(e, ElectrodePosition{float(position(e)), 0.0f, 0.0f});
    if (file.write(EtrFormat::headerBytes(spec.pulse, spec.pause, spec.periods, positions)) < 0)
        return false;

    const EarthModel earth(80.0, 12.0, 350.0);
    const QVector<Layout> layouts = gradientLayouts(spec.channels);
    const int samples = 2 * (spec.pulse + spec.pause) * spec.periods;
    for (int i = 0; i < spec.blocks; ++i) {
        const Layout& layout = layouts.at(i % layouts.size());
        RecordSpec record;
        record.pulse = spec.pulse;
        record.pause = spec.pause;
        record.periods = spec.periods;
        record.generatorVoltage = 100.0;
        record.a = position(layout.a);
        record.b = position(layout.b);
        record.contactA = 700.0 + 15.0 * (layout.a % 7);
        record.contactB = 650.0 + 20.0 * (layout.b % 5);
        for (const auto& pair : layout.mn)
            record.mn.append({position(pair.first), position(pair.second)});
        record.chargeability = 0.03 + 0.01 * (i % 4);
        record.decayTime = 150.0;
        record.drift0 = 2e-3;
        record.drift1 = 4e-8;
        record.noise = 2e-5;
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
