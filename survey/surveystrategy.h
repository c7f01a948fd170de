#ifndef SURVEYSTRATEGY_H
#define SURVEYSTRATEGY_H

#include "measurement/measurementinfo.h"
#include "station/stationrecords.h"
#include "survey/repeatpolicy.h"
#include "survey/surveyreport.h"
#include "survey/surveydatum.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

class DataManager;
class ITervexSettings;
class SurveyJob;
class TervexCalculator;
class TervexDevice;

// Drives one run record by record: assigns the next step to the station's channels, starts the
// record, follows the station until the record is complete, has it computed and stored, and
// schedules the next step. Used directly it runs trial records that write no file.
class SurveyStrategy : public QObject
{
    Q_OBJECT

public:
    static constexpr int StepPause = 250;
    // How long the station may stay silent in any phase of a record before the run is given up.
    static constexpr int DefaultWatchdog = 15000;

    SurveyStrategy(TervexDevice* device, DataManager* dataManager, SurveyJob* job, ITervexSettings* settings,
                   TervexCalculator* calculator, QObject* parent = nullptr);
    ~SurveyStrategy() override;

    // Starts the step at the sequence cursor (repeat: the step measured last, without advancing),
    // or ends the run when there is none or stop is set. Ignored while a record is in progress
    // or after the run ended.
    void executeStep(bool repeat, bool allChannels, bool stop);
    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }
    bool allChannels() const { return m_allChannels; }
    void abort();
    // Ends the run once the record in progress is stored (at once between records), as a failure
    // with this reason; the records stay in the file.
    void stopAfterRecord(const QString& reason);

    const MeasurementInfo* info() const { return &m_info; }
    bool isRunning() const { return m_job != nullptr; }
    bool isRecording() const { return m_phase != Phase::Idle; }
    bool isStepTimerActive() const { return m_stepTimer.isActive(); }
    void setWatchdogInterval(int milliseconds) { m_watchdog.setInterval(milliseconds); }
    // Records whose scatter or current fails the policy are measured again before the run goes on.
    void setRepeatPolicy(const RepeatPolicy& policy);
    const SurveyReport& report() const { return m_report; }
    SurveyReport& report() { return m_report; }

Q_SIGNALS:
    void surveyCompleted();
    void strategyCompleted();
    void aborted();
    // The run stopped itself because the record could not be completed; reason is for the operator.
    void failed(const QString& reason);
    // The step pause ended while the run is paused: it waits for the operator's next or repeat.
    void waitingForNext();
    // An automatic repeat starts, with the reason for the operator; empty when the run goes on
    // to the next step.
    void repeating(const QString& reason);
    // A record was stored: its channels as data, record left for the list they join to number.
    void recordDataAdded(const QVector<SurveyDatum>& data);

public Q_SLOTS:
    void onDataUpdated();
    void onRecordStarted();
    void onRecordCompleted();
    void onStatusUpdated();
    void onOverflowsUpdated();
    void executeNext();

protected:
    virtual void onFinished() {}
    virtual void onAborted() {}
    // False stops the run with failReason set.
    virtual bool onRecordProcessed() { return true; }

    // The electrodes the record in progress was started with.
    struct RecordAssignment
    {
        int a = 0;
        int b = 0;
        QVector<quint16> ids;
        QMap<int, QPair<int, int>> mn;  // channel id -> M, N
    };

    // Ends the run as if stopped and tells why.
    void fail(const QString& reason);

    TervexDevice* m_device;
    ITervexSettings* m_settings;
    TervexCalculator* m_calculator;
    DataManager* m_dataManager;
    MeasurementInfo m_info;
    SurveyJob* m_job;
    RecordAssignment m_record;
    QString m_failReason;

private:
    enum class Phase { Idle, Starting, Streaming, AwaitingStatus, AwaitingOverflows };

    void connectDevice();
    void disconnectDevice();
    void finish();
    void endRecord();
    void onDeviceRecordFailed(const QString& reason);
    void onDeviceDisconnected();
    void onWatchdogTimeout();

    QTimer m_stepTimer;
    QTimer m_watchdog;
    bool m_paused = false;
    bool m_allChannels = false;
    bool m_continue = true;
    Phase m_phase = Phase::Idle;
    int m_lastStep = -1;
    RepeatPolicy m_repeatPolicy;
    RepeatPolicy::Verdict m_pendingRepeat;
    int m_stepRepeats = 0;  // records of the current step beyond its first
    SurveyReport m_report;
    QString m_stopReason;
};

#endif
