#include "survey/batterywatch.h"

#include "station/settingsstore.h"

#include <QSettings>

BatteryWatch::BatteryWatch(float warning, float stop)
    : m_warning(warning > 0.0f ? warning : 0.0f)
    , m_stop(stop > 0.0f ? stop : 0.0f)
{
}

BatteryWatch BatteryWatch::fromSettings(QSettings& settings)
{
    bool warningOk = false, stopOk = false;
    const float warning = settings.value(SettingsStore::Key::batteryWarning(), DefaultWarning).toFloat(&warningOk);
    const float stop = settings.value(SettingsStore::Key::batteryStop(), DefaultStop).toFloat(&stopOk);
    return BatteryWatch(warningOk ? warning : DefaultWarning, stopOk ? stop : DefaultStop);
}

bool BatteryWatch::isLow(float voltage) const
{
    return voltage > 0.0f && m_warning > 0.0f && voltage < m_warning;
}

void BatteryWatch::reset()
{
    m_warned = false;
    m_stopped = false;
    m_start = 0.0f;
    m_last = 0.0f;
}

BatteryWatch::Event BatteryWatch::check(float voltage)
{
    if (voltage <= 0.0f)
        return Event::None;
    if (m_start == 0.0f)
        m_start = voltage;
    m_last = voltage;
    if (!m_stopped && m_stop > 0.0f && voltage < m_stop) {
        m_stopped = true;
        m_warned = true;
        return Event::Stop;
    }
    if (!m_warned && isLow(voltage)) {
        m_warned = true;
        return Event::Warning;
    }
    return Event::None;
}
