#ifndef TERVEXMODEL_H
#define TERVEXMODEL_H

#include "measurement/tervexcalculator.h"
#include "station/tervexsettings.h"
#include "survey/batterywatch.h"
#include "survey/contactgate.h"
#include "survey/datafilter.h"
#include "survey/linemetadata.h"
#include "survey/quadrupoleline.h"
#include "survey/repeatpolicy.h"
#include "survey/surveydatum.h"
#include "survey/testdatamanager.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVector>

#include <memory>

class QSettings;
class StationLock;
class SurveyDataManager;
class SurveyJob;
class SurveyStrategy;
class TervexDevice;

// The one object behind the main window: owns the settings store, the station link and the
// mirror of the station's settings, and republishes the link's events.
class LiveModel;

class TervexModel : public QObject
{
    Q_OBJECT

public:
    explicit TervexModel(QObject* parent = nullptr);
    ~TervexModel() override;

    bool connectDevice();
    // Checks and stores the station's address and ports (the keys the link reads) for the next
    // connection; the reason for the operator when refused, empty when stored.
    QString setStationAddress(const QString& host, int commandPort, int dataPort);

    TervexDevice* device() const { return m_device; }
    TervexSettings* stationSettings() { return &m_stationSettings; }
    TervexCalculator* calculator() { return &m_calculator; }
    SurveyDataManager* surveyDataManager() const { return m_surveyDataManager; }
    // The inverted section that follows the survey.
    LiveModel* liveModel() const { return m_liveModel; }
    TestDataManager* testDataManager() const { return m_testDataManager; }
    SurveyStrategy* strategy() const { return m_strategy; }
    QSettings* settingsStore() const { return m_settingsStore; }

    // Run launchers. Each replaces the previous run; false when the run could not start, with the
    // reason in startError().
    bool startSurvey(const QString& source, const QString& target);
    bool runTrial();
    bool testAllElectrodes();
    bool testElectrode(int electrode);
    bool testByResistance(int thresholdIndex);
    bool testRelays();
    QString startError() const { return m_startError; }
    // What the operator should know about a survey that did start (electrodes without coordinates,
    // a stale lock taken over, a torn last record cut and kept aside); empty when nothing.
    QString startNotice() const { return m_startNotice; }

    // The contact check before a survey, kept in the settings store: on or off, and the limit in kOhm
    // above which an electrode is named.
    bool contactCheck() const;
    double contactLimitKOhm() const;
    void setContactCheck(bool on, double limitKOhm);
    // A survey started with the check on waits for it: its test runs, or electrodes above the limit
    // wait for the operator's choice. Its data file is not written yet.
    bool contactCheckPending() const { return m_pending != nullptr; }
    // The waiting survey's check after its last test; null when none waits.
    const ContactGate* contactGate() const;
    // The operator's answer to contactCheckFinished() with electrodes above the limit: Retest runs
    // the test again, LeaveOut starts the survey without the quadrupoles that use them, GoOn with
    // all, Cancel drops the survey. False, with the reason in startError(), when the survey could
    // not start.
    bool resolveContactCheck(ContactGate::Choice choice);

    void stopRun();
    void repeatRecord();
    void nextRecord();
    void setPaused(bool paused);
    bool paused() const { return m_paused; }
    int usableChannelCount();
    // A run has started and has not yet finished or been stopped.
    bool runActive() const;
    // Where the station's address is kept, for the operator who has to change it.
    QString settingsFilePath() const;

    // Threshold in ohms of a retest choice 0..3; 0 for any other choice.
    static int resistanceThreshold(int thresholdIndex);

    int testVoltage() const;
    QString testVoltageText() const;
    void setTestVoltage(const QString& text);
    int testRBase() const;
    QString testRBaseText() const;
    void setTestRBase(const QString& text);
    int testRDelta() const;
    QString testRDeltaText() const;
    void setTestRDelta(const QString& text);

    QString dataPath() const { return m_dataPath; }
    void setDataPath(const QString& path);
    QString seqPath() const { return m_seqPath; }
    void setSeqPath(const QString& path);
    bool usePolar() const { return m_usePolar; }
    void setUsePolar(bool flag);
    // The interface language chosen in the settings store, "ru" or "en"; empty: the system's.
    // Read at start-up, so a change shows at the next start.
    QString interfaceLanguage() const;
    void setInterfaceLanguage(const QString& language);
    // Automatic repeats of noisy survey records, kept in the settings store.
    RepeatPolicy repeatPolicy() const;
    void setRepeatPolicy(const RepeatPolicy& policy);
    // Line name, operator and note the next survey writes into its data file, kept in the
    // settings store for the survey after it.
    QString lineName() const;
    QString lineOperator() const;
    QString lineNote() const;
    void setLineDescription(const QString& name, const QString& lineOperator, const QString& note);
    // What a new data file records of its line: the description above, the start time, the
    // station, the program, the generator as set and the station's GPS and battery now.
    LineMetadata lineMetadata();
    // The battery limits of the settings store (batteryWarning, batteryStop).
    BatteryWatch batteryLimits() const;
    // The station's mean battery voltage is below the warning limit.
    bool batteryLow() const;
    // The rules that keep bad data out of the exports, the pseudosection and the inversion.
    DataFilter dataFilter() const;
    void setDataFilter(const DataFilter& filter);

    void loadSettings();

Q_SIGNALS:
    void deviceConnected();
    void deviceConnecting();
    void deviceDisconnected();
    void deviceStatusUpdated();
    void settingsUpdating();
    void settingsUpdated();
    // The run ended by itself because the link or a record failed; reason is for the operator.
    void runFailed(const QString& reason);
    // The run is paused between records and waits for next or repeat.
    void runWaitingForNext();
    // An automatic repeat of a survey record starts (reason for the record page); empty when the
    // survey goes on to the next step.
    void runRepeating(const QString& reason);
    // A survey ended, finished or stopped: its report, and where it was written (empty with the
    // reason in error when it could not be).
    void surveyReported(const QString& text, const QString& path, const QString& error);
    // The station could not be reached or the link was lost; reason names the address and port.
    void connectionFailed(const QString& reason);
    // The contact test before a survey has ended: the survey started (or was refused, the reason in
    // startError()) when no electrode was above the limit; otherwise contactCheckPending() and the
    // survey waits for resolveContactCheck(). Not emitted when the test was stopped or failed.
    void contactCheckFinished();
    // During a survey the battery fell below the warning limit (once per survey); text is for the operator.
    void batteryWarning(const QString& text);

public Q_SLOTS:
    void onDevicePropertiesUpdated();
    void onDeviceInitialized();
    void disconnectDevice();

private:
    struct PendingSurvey;

    bool startTest(const QVector<TestPlanEntry>& entries, int positionCount, const QList<QuadrupoleLine>& lines,
                   bool relay);
    void replaceStrategy(SurveyStrategy* strategy);
    void startContactTest();
    void onContactTestEnded(bool completed);
    bool launchSurvey(std::unique_ptr<PendingSurvey> survey, ContactGate::Choice choice);
    void onBatteryUpdated(float voltage);
    bool refuse(const QString& reason);
    void addNotice(const QString& notice);
    int surveyPairsLimit();
    void reportSurvey(const QString& dataFile, bool stopped);

    int testValue(const QString& key, int defaultValue) const;
    void setTestValue(const QString& key, const QString& text, int defaultValue, int minimum, int maximum);

    QSettings* m_settingsStore = nullptr;
    TervexDevice* m_device = nullptr;
    // The survey in progress is watched; tests and trial records are not.
    BatteryWatch m_batteryWatch;
    bool m_surveyActive = false;
    TervexSettings m_stationSettings;
    TervexCalculator m_calculator;
    SurveyDataManager* m_surveyDataManager = nullptr;
    LiveModel* m_liveModel = nullptr;
    TestDataManager* m_testDataManager = nullptr;
    SurveyStrategy* m_strategy = nullptr;
    bool m_paused = false;
    std::unique_ptr<StationLock> m_stationLock;
    std::unique_ptr<PendingSurvey> m_pending;
    QString m_startError;
    QString m_startNotice;
    QString m_dataPath;
    QString m_seqPath;
    bool m_usePolar = false;
};

#endif
