#include "station/batteryinfo.h"

BatteryInfo::BatteryInfo(QObject* parent)
    : QObject(parent)
{
}

void BatteryInfo::addVoltage(float value)
{
    // The station reports 0 while it has no reading.
    if (value <= 0.0f)
        return;
    // The limit is tested before appending, so a full window holds one reading more.
    if (m_samples.size() > m_windowLimit)
        m_samples.removeFirst();
    m_samples.append(value);

    double sum = 0.0;
    for (float sample : qAsConst(m_samples))
        sum += sample;
    m_voltage = float(sum / m_samples.size());
    Q_EMIT updated(m_voltage);
}
