#ifndef BATTERYWATCH_H
#define BATTERYWATCH_H

class QSettings;

// Watches the station's battery during a survey: below the warning limit the operator is told
// once per survey, below the stop limit the survey ends after the record in progress. A limit
// of 0 is off.
class BatteryWatch
{
public:
    static constexpr float DefaultWarning = 11.5f;
    static constexpr float DefaultStop = 10.5f;

    enum class Event { None, Warning, Stop };

    BatteryWatch() = default;
    BatteryWatch(float warning, float stop);
    static BatteryWatch fromSettings(QSettings& settings);

    float warningLimit() const { return m_warning; }
    float stopLimit() const { return m_stop; }
    // The header's battery value is shown as low.
    bool isLow(float voltage) const;

    // A new survey: its warning and stop may come again.
    void reset();
    // The mean voltage after a status reply; 0 (no reading yet) is never low. Each event comes
    // once per survey; a stop also counts as the warning.
    Event check(float voltage);

    // Voltage at the first and the latest reading since reset(); 0 when none.
    float startVoltage() const { return m_start; }
    float lastVoltage() const { return m_last; }

private:
    float m_warning = DefaultWarning;
    float m_stop = DefaultStop;
    bool m_warned = false;
    bool m_stopped = false;
    float m_start = 0.0f;
    float m_last = 0.0f;
};

#endif
