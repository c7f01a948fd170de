#ifndef SURVEYREPORT_H
#define SURVEYREPORT_H

#include "measurement/channelresult.h"
#include "survey/contactgate.h"
#include "survey/datafilter.h"
#include "survey/quadrupoleline.h"
#include "survey/repeatpolicy.h"
#include "survey/surveydatum.h"

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

    // The contact check before the run: the electrodes above its limit after the last test, how
    // many tests ran, what the operator chose and how many quadrupoles that left out.
    void setContactCheck(const ContactGate& gate, ContactGate::Choice choice, int tests, int leftOut)
    {
        m_contactGate = gate;
        m_contactChoice = choice;
        m_contactTests = tests;
        m_contactLeftOut = leftOut;
    }

    // One record written to the data file, with the channels it was measured on; repeat: another
    // record of the step measured before.
    void addRecord(int a, int b, const QVector<quint16>& channels, const QMap<int, ChannelResult>& results,
                   bool repeat);
    // The last record a continued survey found of a step whose repeats it finishes: its
    // deviations head the step's list, it is not counted again.
    void addStoredRecord(int a, int b, const QMap<int, ChannelResult>& results);
    // The whole line: quadrupoles measured before this run (a continued survey) and in all.
    void setLine(int measuredBefore, int total);
    // Quadrupoles of the line measured, this run's included.
    int measured() const { return m_measuredBefore + m_lines.size(); }

    // The data of a record written, with where their electrodes stand: the reciprocal section pairs
    // them, and fits the error model to the pairs the filter keeps.
    void addData(const QVector<SurveyDatum>& data) { m_data += data; }
    void setDataFilter(const DataFilter& filter) { m_filter = filter; }

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

    // "<name>-report.txt" beside "<name>.etr"; where a file of that name is not a report of this
    // program (a sequence file, a device), the first free "<name>-report-2.txt", "-3"..., and *note
    // says so.
    static QString pathFor(const QString& dataFile, QString* note = nullptr);
    // A missing or empty regular file, or one that begins as this program's reports do.
    static bool mayAppend(const QString& path, QString* error);
    // Appends, so the report of a continued survey follows that of its first part; never to a
    // file mayAppend() refuses.
    static bool append(const QString& path, const QString& text, QString* error);

private:
    struct Quadrupole
    {
        QuadrupoleLine line;
        int channel = 0;
        float bestScatter = 0.0f;
        bool usable = false;
        // Every record's scatter, NotComputed where the channel gave none.
        QVector<float> scatters;
    };

    Quadrupole& quadrupole(const QuadrupoleLine& line, int channel);

    RepeatPolicy m_policy;
    DataFilter m_filter;
    QVector<SurveyDatum> m_data;
    QVector<int> m_notReady;
    QSet<int> m_measuredChannels;
    QSet<int> m_usedChannels;
    QList<Quadrupole> m_quadrupoles;
    QMap<std::tuple<int, int, int, int>, int> m_index;
    QSet<quint64> m_lines;
    int m_measuredBefore = 0;
    int m_total = -1;
    int m_records = 0;
    int m_repeats = 0;
    QElapsedTimer m_clock;
    qint64 m_elapsed = -1;
    ContactGate m_contactGate;
    ContactGate::Choice m_contactChoice = ContactGate::Choice::GoOn;
    // 0: no contact check before the run.
    int m_contactTests = 0;
    int m_contactLeftOut = 0;
    float m_batteryStart = 0.0f;
    float m_batteryEnd = 0.0f;
    float m_batteryStopVoltage = 0.0f;
    float m_batteryStopLimit = 0.0f;
};

#endif
