#ifndef TERVEXWIDGET_H
#define TERVEXWIDGET_H

#include "measurement/remainingtime.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QString>
#include <QWidget>

#include <functional>

class AutoSettingsWidget;
class EtrViewer;
class GeneratorControlWidget;
class IMeasurementInfo;
class MeasurementPlot;
class MeasurementsTableModel;
class PseudosectionView;
class QAbstractButton;
class QButtonGroup;
class SetupDialog;
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QTableView;
class StationInfoTableModel;
class StationSettingsTableModel;
class SurveyDataManager;
class TervexModel;
class TestDataManager;
class TestRecordPanel;
class ClickableLabel;

// The program's window: connects to the station, edits its settings, starts and follows the runs,
// and holds the data-file viewer as its second page. Talks to the station only through the model.
class TervexWidget : public QWidget
{
    Q_OBJECT

public:
    enum SurveyType { Automatic = 0, Trial = 1, ElectrodeTest = 2, RelayTest = 3 };

    // Every box the window shows goes through this; tests replace it to record instead of blocking.
    // A null parent is a box of its own (the relay test's verdict).
    using MessageHandler =
        std::function<void(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)>;
    // Asks for one line of text; false when the operator cancelled.
    using TextInputHandler = std::function<bool(QWidget* parent, const QString& title, const QString& label,
                                                const QString& current, QString* text)>;
    // Asks a yes/no question; true for yes.
    using QuestionHandler = std::function<bool(QWidget* parent, const QString& title, const QString& text)>;
    static void setMessageHandler(const MessageHandler& handler);
    static void setTextInputHandler(const TextInputHandler& handler);
    static void setQuestionHandler(const QuestionHandler& handler);

    TervexWidget(TervexModel* model, bool relayMode, QWidget* parent = nullptr);

    bool relayMode() const { return m_relayMode; }
    int currentSurveyType() const { return m_currentSurveyType; }
    bool nextPending() const { return m_nextPending; }
    MeasurementPlot* measurementPlot() const { return m_plot; }
    SetupDialog* setupDialog() const { return m_setupDialog; }
    // The line under the work area that tells what the last run or connection attempt ended with.
    QString statusText() const;

    // Remaining-time text "1ч 2м 3с" / "2м 3с" / "3с" of a time already scaled to the operator's clock.
    static QString timeText(qint64 milliseconds);
    static QString progressText(int done, int total, qint64 remainingMs);
    // The same line with a time already on the operator's clock.
    static QString progressLine(int done, int total, qint64 leftMs);
    // The same without words, for a header too narrow for the whole line: "12/98 | 3м 5с".
    static QString shortProgressLine(int done, int total, qint64 leftMs);
    // The orange reduced-accuracy warning for a pulse and pause that may start; empty when none.
    static QString timingWarning(quint32 pulse, quint32 pause);

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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* createHeader();
    QWidget* createToggle(QButtonGroup** group, const QStringList& labels, QWidget* parent);
    QFrame* createSeparator(QWidget* parent);
    QWidget* createConnectPage();
    QWidget* createWorkArea();
    QWidget* createStationPage();
    QWidget* createSettingsPage();
    QWidget* createRecordPage();
    QWidget* createResultStack();
    QTableView* createStationTable(QWidget* parent);

    void setSurveyType(int type);
    void setControls(bool work, bool repeat, bool next, bool idle);
    void clearRecordInfo();
    void updateStationLabels();
    void loadCurrentElectrodes();
    void fitStationTables();
    void setProgress(const IMeasurementInfo* info, qint64 remainingMs);
    void setProgressText(const IMeasurementInfo* info, qint64 remainingMs);
    bool validateGeneratorSettings();
    void updateTimingWarning();
    void elideProgressText();
    // The header's count after a record completed; total and remaining time as last computed.
    void showRecordsDone(int done);
    void ensureSetupDialog();
    void askTestParameter(const QString& title, const QString& label, QString (TervexModel::*getter)() const,
                          void (TervexModel::*setter)(const QString&));
    // Shows why a launcher refused to start, if it said.
    void showStartRefusal();
    void showMessage(const QString& text);
    void showTestChart();
    // The generator panel shows the values the chosen run type will use.
    void showGeneratorInForce();
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
    SetupDialog* m_setupDialog = nullptr;
    EtrViewer* m_viewer = nullptr;

    QStackedWidget* m_rootStack = nullptr;
    QStackedWidget* m_body = nullptr;
    QWidget* m_headerContainer = nullptr;
    QLabel* m_battery = nullptr;
    QLabel* m_progressInfo = nullptr;
    QProgressBar* m_surveyProgress = nullptr;
    QStackedWidget* m_connectStack = nullptr;
    QPushButton* m_connectButton = nullptr;
    QLabel* m_connectionState = nullptr;
    QLabel* m_statusLine = nullptr;
    QString m_statusText;
    // The reason the last run failed with; the same lost link is not reported twice.
    QString m_runFailure;
    QString m_connectionProblem;
    QString m_runTarget;
    QString m_runStatus;
    QString m_progressShort;
    int m_progressTotal = 0;
    qint64 m_progressLeftMs = 0;
    // The command connection came up since the last "Подключить" / the station has replied on it.
    bool m_linkWasUp = false;
    bool m_connected = false;
    bool m_stationAnswered = false;
    RemainingTime m_remainingTime;
    QElapsedTimer m_runClock;

    QButtonGroup* m_controlViewGroup = nullptr;
    QButtonGroup* m_resultViewGroup = nullptr;
    QStackedWidget* m_controlStack = nullptr;
    QStackedWidget* m_resultStack = nullptr;
    PseudosectionView* m_pseudosection = nullptr;
    QStackedWidget* m_tablePage = nullptr;

    QLabel* m_serial = nullptr;
    QLabel* m_adapter = nullptr;
    QLabel* m_generator = nullptr;
    ClickableLabel* m_gps = nullptr;
    QTableView* m_infoTable = nullptr;
    QTableView* m_settingsTable = nullptr;
    StationInfoTableModel* m_infoModel = nullptr;
    StationSettingsTableModel* m_settingsModel = nullptr;
    QSpinBox* m_ca = nullptr;
    QSpinBox* m_cb = nullptr;

    QFrame* m_surveyTypeFrame = nullptr;
    QButtonGroup* m_surveyTypeGroup = nullptr;
    QLabel* m_surveyTypeMessage = nullptr;
    QLabel* m_repeatInfo = nullptr;
    GeneratorControlWidget* m_generatorPanel = nullptr;
    QFrame* m_runControls = nullptr;
    QStackedWidget* m_workStopStack = nullptr;
    QPushButton* m_workButton = nullptr;
    QPushButton* m_stopButton = nullptr;
    QPushButton* m_repeatButton = nullptr;
    QPushButton* m_nextButton = nullptr;
    QPushButton* m_pauseButton = nullptr;
    AutoSettingsWidget* m_autoSettings = nullptr;
    TestRecordPanel* m_testPanel = nullptr;

    MeasurementPlot* m_plot = nullptr;
    QLabel* m_recordInfo[6] = {};
    QProgressBar* m_tableProgress = nullptr;
    QTableView* m_measurementsTable = nullptr;
    MeasurementsTableModel* m_measurementsModel = nullptr;
};

#endif
