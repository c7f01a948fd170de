#ifndef BATTERYINFO_H
#define BATTERYINFO_H

#include <QList>
#include <QObject>

// The station's battery voltage, smoothed over the last readings.
class BatteryInfo : public QObject
{
    Q_OBJECT
public:
    explicit BatteryInfo(QObject* parent = nullptr);

    float voltage() const { return m_voltage; }
    QList<float> samples() const { return m_samples; }

    void addVoltage(float value);

Q_SIGNALS:
    void updated(float voltage);

private:
    int m_windowLimit = 5;
    float m_voltage = 0.0f;
    QList<float> m_samples;
};

#endif
