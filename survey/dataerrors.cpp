#include "survey/dataerrors.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace {

QString percent(double fraction)
{
    return QString::number(fraction * 100.0, 'f', 1);
}

}

DataErrors DataErrors::analyse(const QVector<SurveyDatum>& data, const DataFilter& filter)
{
    DataErrors e;
    e.m_filter = filter;
    e.m_pairs = ErrorPair::find(data);
    e.m_reciprocalError.fill(NAN, data.size());
    for (const ErrorPair& p : qAsConst(e.m_pairs)) {
        if (p.kind != ErrorPair::Kind::Reciprocal)
            continue;
        // A record of a quadrupole measured more often than its reciprocal takes the worst pair.
        for (int i : {p.first, p.second}) {
            double& error = e.m_reciprocalError[i];
            error = std::isnan(error) ? p.relative() : std::max(error, p.relative());
        }
    }
    e.m_failed.resize(data.size());
    for (int i = 0; i < data.size(); ++i) {
        const int failed = filter.failed(data.at(i), e.m_reciprocalError.at(i));
        e.m_failed[i] = failed;
        for (int rule = 0; rule < DataFilter::RuleCount; ++rule) {
            if (failed & (1 << rule))
                ++e.m_droppedBy[rule];
        }
        if (failed)
            ++e.m_droppedCount;
    }

    QVector<ErrorPair> keptPairs;
    for (const ErrorPair& p : qAsConst(e.m_pairs)) {
        if (!e.dropped(p.first) && !e.dropped(p.second))
            keptPairs.append(p);
    }
    e.m_fitted = ErrorModel::fit(keptPairs);
    const bool reciprocal = filter.errorSource == ErrorModel::Source::Reciprocal
        && e.m_fitted.kind != ErrorModel::Kind::Deviation;
    e.m_model = reciprocal ? e.m_fitted : ErrorModel{};
    e.m_relativeError.resize(data.size());
    for (int i = 0; i < data.size(); ++i)
        e.m_relativeError[i] = e.m_model.relativeError(data.at(i));
    return e;
}

int DataErrors::pairCount(ErrorPair::Kind kind) const
{
    return int(std::count_if(m_pairs.cbegin(), m_pairs.cend(), [kind](const ErrorPair& p) { return p.kind == kind; }));
}

double DataErrors::percentile(ErrorPair::Kind kind, double fraction) const
{
    QVector<double> errors;
    for (const ErrorPair& p : m_pairs) {
        if (p.kind == kind && std::isfinite(p.relative()))
            errors.append(p.relative());
    }
    if (errors.isEmpty())
        return NAN;
    std::sort(errors.begin(), errors.end());
    const double at = qBound(0.0, fraction, 1.0) * (errors.size() - 1);
    const int below = int(std::floor(at));
    const int above = std::min(below + 1, int(errors.size()) - 1);
    return errors.at(below) + (at - below) * (errors.at(above) - errors.at(below));
}

QVector<SurveyDatum> DataErrors::kept(const QVector<SurveyDatum>& data) const
{
    QVector<SurveyDatum> out;
    for (int i = 0; i < data.size() && i < size(); ++i) {
        if (!dropped(i))
            out.append(data.at(i));
    }
    return out;
}

QVector<double> DataErrors::keptErrors() const
{
    QVector<double> out;
    for (int i = 0; i < size(); ++i) {
        if (!dropped(i))
            out.append(m_relativeError.at(i));
    }
    return out;
}

QStringList DataErrors::summary(bool translated) const
{
    const auto say = [translated](const char* source) {
        return translated ? QCoreApplication::translate("DataErrors", source) : QString::fromUtf8(source);
    };
    QStringList lines;
    const int reciprocals = pairCount(ErrorPair::Kind::Reciprocal);
    lines << say(QT_TRANSLATE_NOOP("DataErrors", "Взаимных пар: %1")).arg(reciprocals);
    if (reciprocals > 0) {
        lines << say(QT_TRANSLATE_NOOP("DataErrors", "Взаимная погрешность: медиана %1 %, 90-й процентиль %2 %"))
                     .arg(percent(percentile(ErrorPair::Kind::Reciprocal, 0.5)),
                          percent(percentile(ErrorPair::Kind::Reciprocal, 0.9)));
        lines << (m_fitted.kind == ErrorModel::Kind::Deviation
                      ? say(QT_TRANSLATE_NOOP("DataErrors", "Модель погрешности: не подобрана, пар меньше %1"))
                            .arg(ErrorModel::MinPairs)
                      : say(QT_TRANSLATE_NOOP("DataErrors", "Модель погрешности: %1")).arg(m_fitted.text(translated)));
    }
    const int repeats = pairCount(ErrorPair::Kind::Repeat);
    if (repeats > 0)
        lines << say(QT_TRANSLATE_NOOP("DataErrors", "Повторных пар: %1, погрешность: медиана %2 %, 90-й процентиль %3 %"))
                     .arg(repeats)
                     .arg(percent(percentile(ErrorPair::Kind::Repeat, 0.5)),
                          percent(percentile(ErrorPair::Kind::Repeat, 0.9)));
    return lines;
}
