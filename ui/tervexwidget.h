#ifndef TERVEXWIDGET_H
#define TERVEXWIDGET_H

#include "ui/runprogress.h"
#include "ui/runstarter.h"
#include "ui/windowprompts.h"

#include <QString>
#include <QWidget>

#include <memory>

class ConnectPage;
class EtrViewer;
class HeaderBar;
class MeasurementPlot;
class QProgressBar;
class QStackedWidget;
class RecordPage;
class ResultStack;
class SettingsPage;
class SetupDialog;
class SetupPrompts;
class StatusLine;
class StationPage;
class SurveyDataManager;
class TervexModel;
class TestDataManager;

// The program's window: connects to the station, edits its settings, starts and follows the runs,
// and holds the data-file viewer as its second page. Talks to the station only through the model.
class TervexWidget : public QWidget
{
    Q_OBJECT

public:
    enum SurveyType { Automatic = 0, Trial = 1, ElectrodeTest = 2, RelayTest = 3 };

    // Every box the window shows goes through these; tests replace them to record instead of blocking.
    using MessageHandler = WindowPrompts::MessageHandler;
    using TextInputHandler = WindowPrompts::TextInputHandler;
    using QuestionHandler = WindowPrompts::QuestionHandler;
    static void setMessageHandler(const MessageHandler& handler) { WindowPrompts::setMessageHandler(handler); }
    static void setTextInputHandler(const TextInputHandler& handler) { WindowPrompts::setTextInputHandler(handler); }
    static void setQuestionHandler(const QuestionHandler& handler) { WindowPrompts::setQuestionHandler(handler); }

    TervexWidget(TervexModel* model, bool relayMode, QWidget* parent = nullptr);

    bool relayMode() const { return m_relayMode; }
    int currentSurveyType() const { return m_currentSurveyType; }
    bool nextPending() const { return m_nextPending; }
    MeasurementPlot* measurementPlot() const;
    SetupDialog* setupDialog() const;
    // The line under the work area that tells what the last run or connection attempt ended with.
    QString statusText() const;

    // The texts of the header's progress line.
    static QString timeText(qint64 milliseconds) { return RunProgress::timeText(milliseconds); }
    static QString progressText(int done, int total, qint64 remainingMs)
    {
        return RunProgress::progressText(done, total, remainingMs);
    }
    static QString shortProgressLine(int done, int total, qint64 leftMs)
    {
        return RunProgress::shortProgressLine(done, total, leftMs);
    }

Q_SIGNALS:
    void setupClicked();
    void reconnectClicked();

public Q_SLOTS:
    void onControlViewToggled(int id, bool checked);
    void onResultViewToggled(int id, bool checked);
    void onConnectClicked();
    void onDeviceConnecting();
    void onDeviceConnected();
    void onDeviceDisconnected();
    void onDeviceStatusUpdated();
    void onGpsLabelClicked();
    void onEtrViewerClicked();
    void onEtrViewerBackClicked();
    void onFSClicked();
    void onBeforeDeviceSettingsUpdate();
    void onDeviceSettingsUpdated();
    void onCaChanged(int val);
    void onCbChanged(int val);
    void onPauseToggled(bool checked);
    void onStopClicked();
    void onTestCancelled();
    void onRepeatClicked();
    void doNext();
    void onSurveyTypeToggled(int type, bool checked);
    void onWorkClicked();
    void onAutoSettingsExecuteClicked();
    void onAutoSettingsCancelClicked();
    void onTestExecuted();
    void onSetupClicked();
    void onSetupTestVoltageClicked();
    void onSetupTestRBaseClicked();
    void onSetupTestRDeltaClicked();
    void onReconnectClicked();

    void onSurveyDataManagerPrepared();
    void onSurveyDataManagerStarted();
    void onSurveyDataManagerUpdated();
    void onSurveyDataManagerAborted();
    void onSurveyDataManagerCompleted();
    void onSurveyDataManagerAllCompleted();
    void onTestDataManagerStarted();
    void onTestDataManagerPrepared();
    void onTestDataManagerAborted();
    void onTestDataManagerCompleted();
    void onTestDataManagerAllCompleted();

    void onRunFailed(const QString& reason);
    void onRunWaitingForNext();
    void onRunRepeating(const QString& reason);
    void onSurveyReported(const QString& text, const QString& path, const QString& error);
    void onTestVerdict(const QString& message);
    void onConnectionFailed(const QString& reason);
    void onContactCheckFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* createWorkArea();

    void setSurveyType(int type);
    void setControls(bool work, bool repeat, bool next, bool idle);
    void showMessage(const QString& text);
    void showTestChart();
    // The generator panel shows the values the chosen run type will use.
    void showGeneratorInForce();
    // A run has been started by the model: the controls of a running record, nothing shown of the last run.
    void runStarted();
    void runPrepared();
    void endRun();
    void setStatus(const QString& text);
    // The status of a run in progress, shown again when it continues after a pause.
    void setRunStatus(const QString& text);
    // A record has finished in pause mode: the run waits for "След.", Space or "Пауза" released.
    void waitForOperator();
    void resumeRun();
    void showWorkArea();
    // During a run, asks whether to stop it; true when there is no run or the operator agreed.
    bool confirmInterruption();
    // Space toggles pause only while a run is active and no text input or dialog has the focus.
    bool spaceTogglesPause() const;

    TervexModel* m_model;
    bool m_relayMode;
    SurveyDataManager* m_surveyManager;
    TestDataManager* m_testManager;
    bool m_nextPending = false;
    int m_currentSurveyType = 0;
    SetupPrompts* m_setupPrompts = nullptr;
    EtrViewer* m_viewer = nullptr;

    QStackedWidget* m_rootStack = nullptr;
    HeaderBar* m_header = nullptr;
    QProgressBar* m_surveyProgress = nullptr;
    QStackedWidget* m_body = nullptr;
    ConnectPage* m_connectPage = nullptr;
    QStackedWidget* m_controlStack = nullptr;
    StationPage* m_stationPage = nullptr;
    SettingsPage* m_settingsPage = nullptr;
    RecordPage* m_recordPage = nullptr;
    ResultStack* m_results = nullptr;
    StatusLine* m_statusLine = nullptr;
    // The reason the last run failed with; the same lost link is not reported twice.
    QString m_runFailure;
    QString m_connectionProblem;
    QString m_runTarget;
    QString m_runStatus;
    // The command connection came up since the last "Подключить" / the station has replied on it.
    bool m_linkWasUp = false;
    bool m_connected = false;
    bool m_stationAnswered = false;
    std::unique_ptr<RunProgress> m_progress;
    std::unique_ptr<RunStarter> m_starter;
};

#endif
