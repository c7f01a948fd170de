#include "survey/repeatpolicy.h"

#include "measurement/itervexcalculator.h"
#include "station/settingsstore.h"

#include <QCoreApplication>
#include <cmath>

RepeatPolicy::RepeatPolicy(double maxScatter, int maxRepeats)
    : m_maxScatter(std::isfinite(maxScatter) ? qBound(0.0, maxScatter, HighestMaxScatter) : DefaultMaxScatter)
    , m_maxRepeats(qBound(FewestRepeats, maxRepeats, MostRepeats))
{
}

RepeatPolicy RepeatPolicy::fromSettings(QSettings& settings)
{
    bool scatterOk = false, repeatsOk = false;
    const double scatter = settings.value(SettingsStore::Key::maxScatter(), DefaultMaxScatter).toDouble(&scatterOk);
    const int repeats = settings.value(SettingsStore::Key::maxRepeats(), DefaultMaxRepeats).toInt(&repeatsOk);
    return RepeatPolicy(scatterOk ? scatter : DefaultMaxScatter, repeatsOk ? repeats : DefaultMaxRepeats);
}

void RepeatPolicy::save(QSettings& settings) const
{
    settings.setValue(SettingsStore::Key::maxScatter(), m_maxScatter);
    settings.setValue(SettingsStore::Key::maxRepeats(), m_maxRepeats);
}

bool RepeatPolicy::usable(const ChannelResult& result)
{
    return std::isfinite(result.scatter) && result.scatter != ChannelResult::NotComputed;
}

RepeatPolicy::Verdict RepeatPolicy::check(const ITervexCalculator& calculator) const
{
    if (!enabled())
        return Verdict{};
    return check(calculator.channelResults(), calculator.result().current);
}

RepeatPolicy::Verdict RepeatPolicy::check(const QMap<int, ChannelResult>& results, float current) const
{
    Verdict verdict;
    if (!enabled())
        return verdict;
    for (auto it = results.constBegin(); it != results.constEnd(); ++it) {
        if (usable(*it) && it->scatter > m_maxScatter && (!verdict.needed() || it->scatter > verdict.scatter)) {
            verdict.reason = Verdict::Scatter;
            verdict.channel = it.key();
            verdict.scatter = it->scatter;
        }
    }
    // A current below the limit spoils every channel at once; it is named first.
    if (!(std::fabs(current) >= LowestCurrent)) {
        verdict.reason = Verdict::LowCurrent;
        verdict.current = current;
    }
    return verdict;
}

QString RepeatPolicy::describe(const Verdict& verdict, int repeat) const
{
    const QString head = QCoreApplication::translate("RepeatPolicy", "повтор %1 из %2: ").arg(repeat).arg(m_maxRepeats);
    switch (verdict.reason) {
    case Verdict::Scatter:
        return head + QCoreApplication::translate("RepeatPolicy", "разброс %1 % на канале %2")
                          .arg(QString::number(double(verdict.scatter), 'f', 1))
                          .arg(verdict.channel);
    case Verdict::LowCurrent:
        return head + QCoreApplication::translate("RepeatPolicy", "ток %1 мА").arg(QString::number(double(verdict.current) * 1000.0, 'f', 3));
    case Verdict::None:
        break;
    }
    return QString();
}
