#include "survey/errormodel.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace {

struct Bin
{
    double resistance;
    double difference;
};

QVector<Bin> binned(QVector<ErrorPair> pairs, int bins)
{
    std::sort(pairs.begin(), pairs.end(),
              [](const ErrorPair& l, const ErrorPair& r) { return l.resistance < r.resistance; });
    QVector<Bin> out;
    for (int k = 0; k < bins; ++k) {
        const int from = int(qint64(pairs.size()) * k / bins);
        const int to = int(qint64(pairs.size()) * (k + 1) / bins);
        double logSum = 0.0, sum = 0.0;
        for (int i = from; i < to; ++i) {
            logSum += std::log(pairs.at(i).resistance);
            sum += pairs.at(i).difference;
        }
        out.append(Bin{std::exp(logSum / (to - from)), sum / (to - from)});
    }
    return out;
}

// RMS of log(bin) - log(model) over the bins the model can be compared on.
double logMisfit(const ErrorModel& model, const QVector<Bin>& bins)
{
    double sum = 0.0;
    int count = 0;
    for (const Bin& bin : bins) {
        const double m = model.difference(bin.resistance);
        if (bin.difference > 0.0 && m > 0.0) {
            const double r = std::log(bin.difference) - std::log(m);
            sum += r * r;
            ++count;
        }
    }
    return count > 0 ? std::sqrt(sum / count) : HUGE_VAL;
}

// |dR| = a|R| + b with a, b >= 0, least squares in relative terms: sum ((a R + b) / d - 1)^2.
ErrorModel linear(const QVector<Bin>& bins)
{
    double suu = 0.0, suv = 0.0, svv = 0.0, su = 0.0, sv = 0.0;
    for (const Bin& bin : bins) {
        if (!(bin.difference > 0.0))
            continue;
        const double u = bin.resistance / bin.difference;
        const double v = 1.0 / bin.difference;
        suu += u * u;
        suv += u * v;
        svv += v * v;
        su += u;
        sv += v;
    }
    ErrorModel model;
    model.kind = ErrorModel::Kind::Linear;
    const double det = suu * svv - suv * suv;
    if (bins.size() > 1 && det > 1e-12 * suu * svv) {
        model.a = (su * svv - sv * suv) / det;
        model.b = (sv * suu - su * suv) / det;
    }
    if (model.a > 0.0 && model.b > 0.0)
        return model;
    // On the border: the better of a purely relative and a purely absolute error.
    ErrorModel relative = model, absolute = model;
    relative.a = suu > 0.0 ? su / suu : 0.0;
    relative.b = 0.0;
    absolute.a = 0.0;
    absolute.b = svv > 0.0 ? sv / svv : 0.0;
    return logMisfit(relative, bins) <= logMisfit(absolute, bins) ? relative : absolute;
}

// log |dR| = log a + b log |R|, ordinary least squares.
ErrorModel powerLaw(const QVector<Bin>& bins)
{
    double sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0;
    int n = 0;
    for (const Bin& bin : bins) {
        if (!(bin.difference > 0.0))
            continue;
        const double x = std::log(bin.resistance), y = std::log(bin.difference);
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
        ++n;
    }
    ErrorModel model;
    model.kind = ErrorModel::Kind::PowerLaw;
    const double det = n * sxx - sx * sx;
    if (n < ErrorModel::MinPowerLawBins || !(det > 1e-12 * n * sxx))
        return model;
    model.b = (n * sxy - sx * sy) / det;
    model.a = std::exp((sy - model.b * sx) / n);
    return model;
}

QString number(double value)
{
    return QString::number(value, 'g', 3);
}

}

double ErrorModel::difference(double resistance) const
{
    const double r = std::fabs(resistance);
    switch (kind) {
    case Kind::Linear:
        return a * r + b;
    case Kind::PowerLaw:
        return a * std::pow(r, b);
    case Kind::Deviation:
        break;
    }
    return NAN;
}

double ErrorModel::relativeError(const SurveyDatum& datum) const
{
    if (kind == Kind::Deviation)
        return deviationError(datum.deviation, floor);
    const double r = std::fabs(datum.resistance());
    return difference(r) / r;
}

double ErrorModel::deviationError(double deviation, double floor)
{
    return std::hypot(std::isfinite(deviation) && deviation > 0.0 ? deviation : 0.0, floor) / 100.0;
}

ErrorModel ErrorModel::fit(const QVector<ErrorPair>& pairs)
{
    QVector<ErrorPair> used;
    for (const ErrorPair& p : pairs) {
        if (p.kind == ErrorPair::Kind::Reciprocal && p.resistance > 0.0 && std::isfinite(p.resistance)
            && std::isfinite(p.difference))
            used.append(p);
    }
    ErrorModel model;
    model.pairs = used.size();
    if (used.size() < MinPairs)
        return model;
    const QVector<Bin> bins = binned(used, std::min(MaxBins, std::max(1, int(used.size()) / PairsPerBin)));
    ErrorModel best = linear(bins);
    best.misfit = logMisfit(best, bins);
    ErrorModel power = powerLaw(bins);
    if (power.a > 0.0) {
        power.misfit = logMisfit(power, bins);
        if (power.misfit < best.misfit)
            best = power;
    }
    if (!std::isfinite(best.misfit))
        return model;
    best.pairs = used.size();
    best.bins = bins.size();
    return best;
}

QString ErrorModel::text(bool translated) const
{
    const auto say = [translated](const char* source) {
        return translated ? QCoreApplication::translate("ErrorModel", source) : QString::fromUtf8(source);
    };
    QString formula;
    switch (kind) {
    case Kind::Deviation:
        return say(QT_TRANSLATE_NOOP("ErrorModel", "разброс записи, не менее %1 %")).arg(number(floor));
    case Kind::Linear:
        formula = say(QT_TRANSLATE_NOOP("ErrorModel", "|ΔR| = %1·|R| + %2 Ом")).arg(number(a), number(b));
        break;
    case Kind::PowerLaw:
        formula = QStringLiteral("|ΔR| = %1·|R|^%2").arg(number(a), number(b));
        break;
    }
    return formula + say(QT_TRANSLATE_NOOP("ErrorModel", " (пар %1, интервалов %2)")).arg(pairs).arg(bins);
}

QString ErrorModel::name(Source source)
{
    return source == Source::Reciprocal ? QStringLiteral("reciprocal") : QStringLiteral("deviation");
}

QString ErrorModel::title(Source source)
{
    return source == Source::Reciprocal ? QCoreApplication::translate("ErrorModel", "по взаимным измерениям")
                                        : QCoreApplication::translate("ErrorModel", "по разбросу записи");
}

bool ErrorModel::fromName(const QString& text, Source* source)
{
    for (Source s : {Source::Reciprocal, Source::Deviation}) {
        if (text.compare(name(s), Qt::CaseInsensitive) == 0) {
            *source = s;
            return true;
        }
    }
    return false;
}
