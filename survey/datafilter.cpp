#include "survey/datafilter.h"

#include "station/settingsstore.h"

#include <QCoreApplication>

#include <cmath>

namespace {

double readLimit(QSettings& settings, const QString& key, double fallback, double highest)
{
    bool ok = false;
    const double value = settings.value(key, fallback).toDouble(&ok);
    return ok && std::isfinite(value) ? qBound(0.0, value, highest) : fallback;
}

QString number(double value)
{
    return QString::number(value, 'g', 4);
}

}

bool DataFilter::enabled(Rule rule) const
{
    switch (rule) {
    case ReciprocalError:
        return maxReciprocalError > 0.0;
    case Deviation:
        return maxDeviation > 0.0;
    case NonPositiveResistivity:
        return dropNonPositive;
    case LowCurrent:
        return minCurrent > 0.0;
    }
    return false;
}

int DataFilter::failed(const SurveyDatum& datum, double reciprocalError) const
{
    if (!datum.computed())
        return 0;
    int rules = 0;
    if (enabled(ReciprocalError) && reciprocalError * 100.0 > maxReciprocalError)
        rules |= 1 << ReciprocalError;
    if (enabled(Deviation) && datum.deviation > maxDeviation)
        rules |= 1 << Deviation;
    if (enabled(NonPositiveResistivity) && !(datum.resistivity > 0.0))
        rules |= 1 << NonPositiveResistivity;
    if (enabled(LowCurrent) && std::fabs(datum.current) * 1000.0 < minCurrent)
        rules |= 1 << LowCurrent;
    return rules;
}

QString DataFilter::describe(Rule rule, bool translated) const
{
    const auto say = [translated](const char* source) {
        return translated ? QCoreApplication::translate("DataFilter", source) : QString::fromUtf8(source);
    };
    switch (rule) {
    case ReciprocalError:
        return say(QT_TRANSLATE_NOOP("DataFilter", "взаимная погрешность выше %1 %")).arg(number(maxReciprocalError));
    case Deviation:
        return say(QT_TRANSLATE_NOOP("DataFilter", "разброс выше %1 %")).arg(number(maxDeviation));
    case NonPositiveResistivity:
        return say(QT_TRANSLATE_NOOP("DataFilter", "кажущееся сопротивление не больше нуля"));
    case LowCurrent:
        return say(QT_TRANSLATE_NOOP("DataFilter", "ток ниже %1 мА")).arg(number(minCurrent));
    }
    return QString();
}

DataFilter DataFilter::fromSettings(QSettings& settings)
{
    namespace Key = SettingsStore::Key;
    DataFilter filter;
    filter.maxReciprocalError = readLimit(settings, Key::maxReciprocalError(), DefaultMaxReciprocalError, HighestPercent);
    filter.maxDeviation = readLimit(settings, Key::maxDeviation(), DefaultMaxDeviation, HighestPercent);
    filter.dropNonPositive = settings.value(Key::dropNonPositive(), true).toBool();
    filter.minCurrent = readLimit(settings, Key::minCurrent(), DefaultMinCurrent, HighestCurrent);
    ErrorModel::fromName(settings.value(Key::errorModel()).toString(), &filter.errorSource);
    return filter;
}

void DataFilter::save(QSettings& settings) const
{
    namespace Key = SettingsStore::Key;
    settings.setValue(Key::maxReciprocalError(), maxReciprocalError);
    settings.setValue(Key::maxDeviation(), maxDeviation);
    settings.setValue(Key::dropNonPositive(), dropNonPositive);
    settings.setValue(Key::minCurrent(), minCurrent);
    settings.setValue(Key::errorModel(), ErrorModel::name(errorSource));
}
