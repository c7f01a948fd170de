#include "etr/inversiondataset.h"

#include "etr/etrfile.h"
#include "measurement/tervexcalculator.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

QString metres(float value)
{
    return QString::number(double(value), 'f', 2);
}

// Collects the electrodes of all files in the order they are met; matched by place on the ground.
class ElectrodeList
{
public:
    // Index of the electrode at `position`, added when new. A file that puts an electrode already
    // known at another height gets a note; the first height stays, so every datum sees one.
    int indexOf(const ElectrodePosition& position, const QString& fileName, QStringList* notes)
    {
        // Places closer than SamePlace lie in the same or a neighbouring cell of the grid, so only
        // those electrodes are compared: a long table is not quadratic.
        const qint64 cx = cell(position.x);
        const qint64 cy = cell(position.y);
        int i = -1;
        for (qint64 dx = -1; dx <= 1; ++dx) {
            for (qint64 dy = -1; dy <= 1; ++dy) {
                const auto found = m_grid.constFind(qMakePair(cx + dx, cy + dy));
                if (found == m_grid.constEnd())
                    continue;
                for (int candidate : *found) {
                    const ElectrodePosition& known = m_electrodes.at(candidate);
                    if (samePlace(known, position) && (i < 0 || candidate < i))
                        i = candidate;
                }
            }
        }
        if (i >= 0) {
            const ElectrodePosition& known = m_electrodes.at(i);
            if (std::fabs(known.z - position.z) >= InversionDataset::SamePlace) {
                notes->append(QCoreApplication::translate("InversionDataset", "Электрод x=%1 м, y=%2 м: высота %3 м в файле %4, %5 м в файле %6; "
                                             "взята первая")
                                  .arg(metres(known.x), metres(known.y), metres(known.z), m_firstFile.at(i),
                                       metres(position.z), fileName));
            }
            return i;
        }
        m_grid[qMakePair(cx, cy)].append(m_electrodes.size());
        m_electrodes.append(position);
        m_firstFile.append(fileName);
        return m_electrodes.size() - 1;
    }

    const QVector<ElectrodePosition>& electrodes() const { return m_electrodes; }

private:
    static qint64 cell(float coordinate)
    {
        const double c = std::floor(double(coordinate) / double(InversionDataset::SamePlace));
        return qint64(std::max(-4e18, std::min(4e18, c)));
    }

    QVector<ElectrodePosition> m_electrodes;
    QStringList m_firstFile;
    QHash<QPair<qint64, qint64>, QVector<int>> m_grid;
};

}

bool InversionDataset::hasY() const
{
    return std::any_of(electrodes.cbegin(), electrodes.cend(), [](const ElectrodePosition& e) { return e.y != 0.0f; });
}

bool InversionDataset::hasElevation() const
{
    return std::any_of(electrodes.cbegin(), electrodes.cend(), [](const ElectrodePosition& e) { return e.z != 0.0f; });
}

double InversionDataset::unitSpacing() const
{
    double spacing = 0.0;
    for (int i = 1; i < electrodes.size(); ++i) {
        const double step = double(electrodes.at(i).x) - double(electrodes.at(i - 1).x);
        if (step >= SamePlace && (spacing == 0.0 || step < spacing))
            spacing = step;
    }
    return spacing > 0.0 ? spacing : 1.0;
}

const ElectrodePosition* InversionDataset::electrode(int number) const
{
    if (number == Electrodes::None || number < 1 || number > electrodes.size())
        return nullptr;
    return &electrodes.at(number - 1);
}

QString InversionDataset::noCoordinatesReason()
{
    return QCoreApplication::translate("InversionDataset", "нет координат электрода в файле");
}

InversionSource InversionSource::fromFile(const EtrFile& file, int source)
{
    InversionSource s;
    s.name = file.fileName();
    s.positions = file.electrodePositions();
    s.data = file.surveyData(source);
    s.metadata = file.metadata();
    s.pulse = file.pulse();
    return s;
}

InversionDataset InversionDataset::fromFiles(const QVector<const EtrFile*>& files, bool allRepeats)
{
    QVector<InversionSource> sources;
    for (int source = 0; source < files.size(); ++source) {
        if (files.at(source))
            sources.append(InversionSource::fromFile(*files.at(source), source));
    }
    return fromSources(sources, allRepeats);
}

InversionDataset InversionDataset::fromSources(const QVector<InversionSource>& sources, bool allRepeats)
{
    InversionDataset dataset;
    ElectrodeList list;
    QVector<SurveyDatum> data;
    int firstPulse = -1;
    for (const InversionSource& file : sources) {
        const ElectrodeMap& positions = file.positions;
        // Electrode number of this file -> index in the list (0-based). Every electrode of the
        // file's table is on the line, measured or not.
        QHash<int, int> index;
        for (auto it = positions.cbegin(); it != positions.cend(); ++it) {
            if (it.key() != Electrodes::None)
                index.insert(it.key(), list.indexOf(it.value(), file.name, &dataset.notes));
        }
        // 1-based number on the merged line; -1 for an electrode without coordinates.
        const auto place = [&index](int number) {
            if (number == Electrodes::None)
                return int(Electrodes::None);
            const auto found = index.constFind(number);
            return found == index.constEnd() ? -1 : *found + 1;
        };

        const LineMetadata& metadata = file.metadata;
        if (dataset.lineName.isEmpty())
            dataset.lineName = metadata.value(LineMetadata::LineName);
        if (dataset.gpsPosition.isEmpty() && !metadata.value(LineMetadata::Longitude).isEmpty())
            dataset.gpsPosition = QStringList{metadata.value(LineMetadata::Longitude),
                                              metadata.value(LineMetadata::Latitude),
                                              metadata.value(LineMetadata::Altitude)}
                                      .join(QLatin1Char(' '));

        const QVector<SurveyDatum>& fileData = file.data;
        if (!fileData.isEmpty()) {
            if (firstPulse < 0) {
                firstPulse = file.pulse;
                dataset.chargeabilityDelay = TervexCalculator::ChargeabilityMargin;
                dataset.chargeabilityWidth = file.pulse - 2 * TervexCalculator::ChargeabilityMargin;
            } else if (file.pulse != firstPulse) {
                dataset.notes.append(QCoreApplication::translate("InversionDataset", "Файл %1: импульс %2 мс, в первом файле %3 мс; окно заряжаемости "
                                                    "в заголовке взято по первому файлу")
                                         .arg(file.name)
                                         .arg(file.pulse)
                                         .arg(firstPulse));
            }
        }
        for (SurveyDatum datum : fileData) {
            QuadrupoleLine& q = datum.electrodes;
            q = {place(q.a), place(q.b), place(q.m), place(q.n)};
            if (q.a < 0 || q.b < 0 || q.m < 0 || q.n < 0) {
                ++dataset.leftOut[noCoordinatesReason()];
                continue;
            }
            data.append(datum);
        }
    }

    // Along the line: list order -> rank.
    const QVector<ElectrodePosition>& met = list.electrodes();
    QVector<int> order(met.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&met](int l, int r) {
        return met.at(l).x != met.at(r).x ? met.at(l).x < met.at(r).x : met.at(l).y < met.at(r).y;
    });
    QVector<int> rank(met.size());
    for (int i = 0; i < order.size(); ++i) {
        rank[order.at(i)] = i + 1;
        dataset.electrodes.append(met.at(order.at(i)));
    }
    const ElectrodePosition nowhere;
    for (SurveyDatum& datum : data) {
        QuadrupoleLine& q = datum.electrodes;
        for (int* number : {&q.a, &q.b, &q.m, &q.n}) {
            if (*number != Electrodes::None)
                *number = rank.at(*number - 1);
        }
        const auto position = [&](int number) {
            const ElectrodePosition* e = dataset.electrode(number);
            return e ? *e : nowhere;
        };
        datum.a = position(q.a);
        datum.b = position(q.b);
        datum.m = position(q.m);
        datum.n = position(q.n);
    }
    dataset.data = allRepeats ? data : bestOfRepeats(data);
    return dataset;
}
