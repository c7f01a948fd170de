#include "survey/sequencegenerator.h"

#include "survey/outputfile.h"

#include "survey/sequence.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QSet>
#include <QTextStream>

#include <algorithm>
#include <limits>
#include <cmath>

namespace {

using Step = QList<QuadrupoleLine>;

// Lines that share A and B, in groups of at most `channels`, in the order their current pair
// first appears.
QVector<Step> groupIntoSteps(const QList<QuadrupoleLine>& lines, int channels)
{
    QVector<Step> steps;
    QHash<QPair<int, int>, int> open;
    for (const QuadrupoleLine& line : lines) {
        const QPair<int, int> key(line.a, line.b);
        const auto found = open.constFind(key);
        if (found != open.constEnd() && steps.at(*found).size() < channels) {
            steps[*found].append(line);
            continue;
        }
        open.insert(key, steps.size());
        steps.append(Step{line});
    }
    return steps;
}

int usesOfPolarised(const Step& step, const QList<int>& recent)
{
    int uses = 0;
    for (const QuadrupoleLine& line : step) {
        if (line.m != Electrodes::None && recent.contains(line.m))
            ++uses;
        if (line.n != Electrodes::None && recent.contains(line.n))
            ++uses;
    }
    return uses;
}

void remember(const Step& step, QList<int>* recent)
{
    const QuadrupoleLine& first = step.first();
    recent->append(first.a);
    recent->append(first.b);
    while (recent->size() > 2 * SequenceGenerator::PolarisationSteps)
        recent->removeFirst();
}

// Greedy: each time the earliest remaining step with the fewest polarised potential electrodes.
// A current pair's steps keep their order (full ones first, the partial one last): the survey fills
// the first step of a pair before it opens the next, so only then does it run the file in the
// order chosen here.
QVector<Step> orderForPolarisation(QVector<Step> remaining)
{
    QVector<Step> ordered;
    ordered.reserve(remaining.size());
    QList<int> recent;
    const auto currentPair = [](const Step& step) { return qMakePair(step.first().a, step.first().b); };
    while (!remaining.isEmpty()) {
        QSet<QPair<int, int>> passed;
        int best = 0;
        int bestUses = usesOfPolarised(remaining.first(), recent);
        passed.insert(currentPair(remaining.first()));
        for (int k = 1; k < remaining.size() && bestUses > 0; ++k) {
            const Step& step = remaining.at(k);
            if (passed.contains(currentPair(step)))
                continue;
            passed.insert(currentPair(step));
            const int uses = usesOfPolarised(step, recent);
            if (uses < bestUses) {
                best = k;
                bestUses = uses;
            }
        }
        remember(remaining.at(best), &recent);
        ordered.append(remaining.takeAt(best));
    }
    return ordered;
}

// Coordinates are kept as float: seven significant digits give back what was typed (0.9, not
// 0.8999999762).
QString number(float value)
{
    return QString::number(double(value), 'g', 7);
}

QString duration(double seconds)
{
    const qint64 total = qint64(std::llround(seconds));
    return QStringLiteral("%1:%2:%3")
        .arg(total / 3600)
        .arg((total / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(total % 60, 2, 10, QLatin1Char('0'));
}

struct ArrayKey
{
    SequenceGenerator::Array array;
    const char* key;
    const char* name;
};

const ArrayKey Arrays[] = {
    {SequenceGenerator::Array::WennerAlpha, "wenner", QT_TRANSLATE_NOOP("SequenceGenerator", "Веннер-альфа")},
    {SequenceGenerator::Array::WennerSchlumberger, "schlumberger", QT_TRANSLATE_NOOP("SequenceGenerator", "Веннер-Шлюмберже")},
    {SequenceGenerator::Array::DipoleDipole, "dipole-dipole", QT_TRANSLATE_NOOP("SequenceGenerator", "Диполь-диполь")},
    {SequenceGenerator::Array::PoleDipole, "pole-dipole", QT_TRANSLATE_NOOP("SequenceGenerator", "Трёхэлектродная (полюс-диполь)")},
    {SequenceGenerator::Array::Gradient, "gradient", QT_TRANSLATE_NOOP("SequenceGenerator", "Многоэлектродный градиент")},
};

} // namespace

bool SequenceGenerator::fail(const QString& reason)
{
    m_error = reason;
    m_electrodes.clear();
    m_lines.clear();
    m_stepCount = 0;
    m_polarisedUses = 0;
    return false;
}

bool SequenceGenerator::generate(const Options& options)
{
    m_error.clear();
    if (options.electrodeCount < 3 || options.electrodeCount > Electrodes::Count)
        return fail(QCoreApplication::translate("SequenceGenerator", "Число электродов должно быть от 3 до %1").arg(Electrodes::Count));
    if (!std::isfinite(options.spacing) || options.spacing <= 0.0 || options.spacing > 1000.0)
        return fail(QCoreApplication::translate("SequenceGenerator", "Шаг электродов должен быть больше 0 и не больше 1000 м"));
    const int last = options.last == 0 ? options.electrodeCount : options.last;
    if (options.first < 1 || last > options.electrodeCount || options.first >= last)
        return fail(QCoreApplication::translate("SequenceGenerator", "Первый и последний электроды должны лежать в 1…%1, первый перед последним")
                        .arg(options.electrodeCount));
    if (options.aMin < 1 || options.aMax < 0 || (options.aMax != 0 && options.aMax < options.aMin))
        return fail(QCoreApplication::translate("SequenceGenerator", "Неверный диапазон a: от %1 до %2").arg(options.aMin).arg(options.aMax));
    if (options.nMin < 1 || options.nMax < options.nMin)
        return fail(QCoreApplication::translate("SequenceGenerator", "Неверный диапазон n: от %1 до %2").arg(options.nMin).arg(options.nMax));
    if (options.channels < 1 || options.channels > 255)
        return fail(QCoreApplication::translate("SequenceGenerator", "Число каналов должно быть от 1 до 255"));

    QList<QuadrupoleLine> set = quadrupoles(options, options.first, last);
    if (set.isEmpty())
        return fail(QCoreApplication::translate("SequenceGenerator", "Ни один квадруполь не помещается на электродах %1…%2 при этих a и n")
                        .arg(options.first)
                        .arg(last));
    if (options.reciprocals) {
        const int normal = set.size();
        for (int k = 0; k < normal; ++k) {
            const QuadrupoleLine& q = set.at(k);
            set.append(QuadrupoleLine{q.m, q.n, q.a, q.b});
        }
    }

    QVector<Step> steps = groupIntoSteps(set, options.channels);
    if (options.ipOrder)
        steps = orderForPolarisation(steps);

    m_electrodes.clear();
    for (int e = 1; e <= options.electrodeCount; ++e) {
        const double x = (e - 1) * options.spacing;
        m_electrodes.insert(e, ElectrodePosition{float(x), 0.0f, float(heightAt(options.elevation, x))});
    }
    m_lines.clear();
    for (const Step& step : qAsConst(steps))
        m_lines.append(step);
    // The survey groups the lines itself; count its steps the way it will.
    Sequence sequence(options.channels);
    sequence.build(m_lines, true);
    m_stepCount = sequence.steps().size();
    m_polarisedUses = countPolarisedUses(m_lines, options.channels);
    return true;
}

QList<QuadrupoleLine> SequenceGenerator::quadrupoles(const Options& o, int first, int last) const
{
    QList<QuadrupoleLine> set;
    const int width = last - first;
    // The widest a for which the array's shortest form still fits.
    int spanUnits = 3;
    switch (o.array) {
    case Array::WennerAlpha: spanUnits = 3; break;
    case Array::WennerSchlumberger: spanUnits = 2 * o.nMin + 1; break;
    case Array::DipoleDipole: spanUnits = o.nMin + 2; break;
    case Array::PoleDipole: spanUnits = o.nMin + 1; break;
    case Array::Gradient: spanUnits = o.nMin + 2; break;
    }
    const int aMax = o.aMax == 0 ? width / spanUnits : o.aMax;
    const auto fits = [&](int e) { return e >= first && e <= last; };

    for (int a = o.aMin; a <= aMax; ++a) {
        for (int i = first; i <= last; ++i) {
            switch (o.array) {
            case Array::WennerAlpha:
                if (fits(i + 3 * a))
                    set.append({i, i + 3 * a, i + a, i + 2 * a});
                break;
            case Array::WennerSchlumberger:
                for (int n = o.nMin; n <= o.nMax; ++n)
                    if (fits(i + (2 * n + 1) * a))
                        set.append({i, i + (2 * n + 1) * a, i + n * a, i + (n + 1) * a});
                break;
            case Array::DipoleDipole:
                for (int n = o.nMin; n <= o.nMax; ++n)
                    if (fits(i + (n + 2) * a))
                        set.append({i, i + a, i + (n + 1) * a, i + (n + 2) * a});
                break;
            case Array::PoleDipole:
                // B stays at the far electrode; the dipole moves away from A on either side.
                for (int n = o.nMin; n <= o.nMax; ++n)
                    if (fits(i + (n + 1) * a))
                        set.append({i, Electrodes::None, i + n * a, i + (n + 1) * a});
                for (int n = o.nMin; n <= o.nMax; ++n)
                    if (fits(i - (n + 1) * a))
                        set.append({i, Electrodes::None, i - n * a, i - (n + 1) * a});
                break;
            case Array::Gradient:
                // n potential dipoles of length a between A and B = A + (n + 2) a.
                for (int n = o.nMin; n <= o.nMax; ++n) {
                    if (!fits(i + (n + 2) * a))
                        continue;
                    for (int k = 1; k <= n; ++k)
                        set.append({i, i + (n + 2) * a, i + k * a, i + (k + 1) * a});
                }
                break;
            }
        }
    }
    return set;
}

int SequenceGenerator::countPolarisedUses(const QList<QuadrupoleLine>& lines, int channels)
{
    Sequence sequence(channels);
    if (!sequence.build(lines, true))
        return 0;
    int uses = 0;
    QList<int> recent;
    for (const SequenceStep& step : sequence.steps()) {
        Step asLines;
        for (const auto& pair : step.pairs)
            asLines.append(QuadrupoleLine{step.a, step.b, pair.m, pair.n});
        if (asLines.isEmpty())
            asLines.append(QuadrupoleLine{step.a, step.b, 0, 0});
        uses += usesOfPolarised(asLines, recent);
        remember(asLines, &recent);
    }
    return uses;
}

double SequenceGenerator::estimatedSeconds(int pulseMs, int pauseMs, int periods) const
{
    const double recordMs = 2.0 * (double(pulseMs) + double(pauseMs)) * double(periods);
    return m_stepCount * (recordMs + StepPauseMs + RecordOverheadMs) / 1000.0;
}

QString SequenceGenerator::summary(int pulseMs, int pauseMs, int periods) const
{
    return QCoreApplication::translate("SequenceGenerator", "Квадруполей: %1, шагов: %2, время съёмки ≈ %3 (импульс %4 мс, пауза %5 мс, периодов %6); "
                          "потенциальных электродов сразу после тока: %7")
        .arg(m_lines.size())
        .arg(m_stepCount)
        .arg(duration(estimatedSeconds(pulseMs, pauseMs, periods)))
        .arg(pulseMs)
        .arg(pauseMs)
        .arg(periods)
        .arg(m_polarisedUses);
}

bool SequenceGenerator::write(const QString& path)
{
    if (!OutputFile::mayWrite(path, {}, &m_error))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        m_error = QCoreApplication::translate("SequenceGenerator", "Не удалось создать файл %1: %2").arg(path, OutputFile::failureReason(file));
        return false;
    }
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << "# X Y Z\n";
    for (auto it = m_electrodes.cbegin(); it != m_electrodes.cend(); ++it)
        out << it.key() << ' ' << number(it->x) << ' ' << number(it->y) << ' ' << number(it->z) << '\n';
    out << "# A B M N\n";
    int index = 0;
    for (const QuadrupoleLine& q : qAsConst(m_lines))
        out << index++ << ' ' << q.a << ' ' << q.b << ' ' << q.m << ' ' << q.n << '\n';
    out.flush();
    if (out.status() != QTextStream::Ok || !file.commit()) {
        m_error = QCoreApplication::translate("SequenceGenerator", "Не удалось записать файл %1: %2").arg(path, OutputFile::failureReason(file));
        return false;
    }
    return true;
}

QString SequenceGenerator::arrayName(Array array)
{
    for (const ArrayKey& entry : Arrays)
        if (entry.array == array)
            return QCoreApplication::translate("SequenceGenerator", entry.name);
    return QString();
}

QString SequenceGenerator::arrayKey(Array array)
{
    for (const ArrayKey& entry : Arrays)
        if (entry.array == array)
            return QString::fromLatin1(entry.key);
    return QString();
}

bool SequenceGenerator::arrayFromKey(const QString& key, Array* array)
{
    for (const ArrayKey& entry : Arrays) {
        if (key == QLatin1String(entry.key)) {
            *array = entry.array;
            return true;
        }
    }
    return false;
}

bool SequenceGenerator::readElevation(const QString& path, QVector<QPair<double, double>>* points, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QCoreApplication::translate("SequenceGenerator", "Не удалось открыть файл %1: %2").arg(path, file.errorString());
        return false;
    }
    points->clear();
    int lineNumber = 0;
    while (!file.atEnd()) {
        ++lineNumber;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList tokens = line.split(QRegExp(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        bool xOk = false;
        bool zOk = false;
        const double x = tokens.size() == 2 ? tokens.at(0).toDouble(&xOk) : 0.0;
        const double z = tokens.size() == 2 ? tokens.at(1).toDouble(&zOk) : 0.0;
        if (!xOk || !zOk || !std::isfinite(x) || !std::isfinite(z)) {
            *error = QCoreApplication::translate("SequenceGenerator", "%1, строка %2: ожидались два числа x z").arg(path).arg(lineNumber);
            return false;
        }
        // The sequence file and the data file hold coordinates in single precision.
        if (std::fabs(x) > std::numeric_limits<float>::max() || std::fabs(z) > std::numeric_limits<float>::max()) {
            *error = QCoreApplication::translate("SequenceGenerator", "%1, строка %2: координата вне допустимого диапазона (не более %3 по модулю)")
                         .arg(path)
                         .arg(lineNumber)
                         .arg(double(std::numeric_limits<float>::max()), 0, 'g', 3);
            return false;
        }
        points->append({x, z});
    }
    if (points->isEmpty()) {
        *error = QCoreApplication::translate("SequenceGenerator", "%1: нет ни одной точки x z").arg(path);
        return false;
    }
    std::sort(points->begin(), points->end());
    return true;
}

double SequenceGenerator::heightAt(const QVector<QPair<double, double>>& points, double x)
{
    if (points.isEmpty())
        return 0.0;
    if (x <= points.first().first)
        return points.first().second;
    for (int k = 1; k < points.size(); ++k) {
        const auto& left = points.at(k - 1);
        const auto& right = points.at(k);
        if (x <= right.first) {
            const double width = right.first - left.first;
            return width > 0.0 ? left.second + (right.second - left.second) * (x - left.first) / width : right.second;
        }
    }
    return points.last().second;
}

