#ifndef SURVEYREPORT_H
#define SURVEYREPORT_H

#include "measurement/channelresult.h"
#include "survey/quadrupoleline.h"
#include "survey/repeatpolicy.h"

#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QVector>

#include <tuple>

// What a survey run did, collected record by record: the records written, how many of them were
// repeats, the quadrupoles whose best record is still above the scatter limit, the channels that
// never gave a value, and the time the run took. Its text goes beside the data file and to the
// operator at the end of the run.
class SurveyReport
{
public:
    struct Outlier
    {
        QuadrupoleLine line;
        int channel = 0;
        float scatter = 0.0f;  // percent, the lowest of the quadrupole's records
    };

    void setPolicy(const RepeatPolicy& policy) { m_policy = policy; }
    // The station's channels that were not ready when the run started.
    void setNotReadyChannels(const QVector<int>& numbers) { m_notReady = numbers; }
    void start();
    void stop();
    // The station's battery at the start and the end of the run, volts; 0 = not known.
    void setBattery(float start, float end)
    {
        m_batteryStart = start;
        m_batteryEnd = end;
    }
    // The run was ended because the battery fell below the stop limit.
    void setBatteryStop(float voltage, float limit)
    {
        m_batteryStopVoltage = voltage;
        m_batteryStopLimit = limit;
    }

    // One record written to the data file, with the channels it was measured on; repeat: another
    // record of the step measured before.
    void addRecord(int a, int b, const QVector<quint16>& channels, const QMap<int, ChannelResult>& results,
                   bool repeat);

    int records() const { return m_records; }
    int repeats() const { return m_repeats; }
    QList<Outlier> aboveLimit() const;
    // Not ready, or measured on without ever giving a value.
    QVector<int> neverUsable() const;
    qint64 elapsedMs() const;

    // The report file keeps the program's own Russian wording whatever the interface language;
    // the copy shown in the window is in the interface language.
    enum class Wording { File, Interface };
    // stopped: the operator or a failure ended the run before the last step.
    QString text(const QString& dataFile, bool stopped, Wording wording = Wording::File) const;

    // "<name>-report.txt" beside "<name>.etr".
    static QString pathFor(const QString& dataFile);
    // Appends, so the report of a continued survey follows that of its first part.
    static bool append(const QString& path, const QString& text, QString* error);

private:
    struct Quadrupole
    {
        QuadrupoleLine line;
        int channel = 0;
        float bestScatter = 0.0f;
        bool usable = false;
    };

    RepeatPolicy m_policy;
    QVector<int> m_notReady;
    QSet<int> m_measuredChannels;
    QSet<int> m_usedChannels;
    QList<Quadrupole> m_quadrupoles;
    QMap<std::tuple<int, int, int, int>, int> m_index;
    int m_records = 0;
    int m_repeats = 0;
    QElapsedTimer m_clock;
    qint64 m_elapsed = -1;
    float m_batteryStart = 0.0f;
    float m_batteryEnd = 0.0f;
    float m_batteryStopVoltage = 0.0f;
    float m_batteryStopLimit = 0.0f;
};

#endif
