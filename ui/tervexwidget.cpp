#include "ui/tervexwidget.h"

#include "app/tervexmodel.h"
#include "measurement/imeasurementinfo.h"
#include "station/tervexdevice.h"
#include "station/tervexsettings.h"
#include "survey/surveydatamanager.h"
#include "survey/testdatamanager.h"
#include "survey/teststrategy.h"
#include "ui/autosettingswidget.h"
#include "ui/connectpage.h"
#include "ui/etrviewer.h"
#include "ui/generatorcontrolwidget.h"
#include "ui/headerbar.h"
#include "ui/measurementplot.h"
#include "ui/recordpage.h"
#include "ui/resultstack.h"
#include "ui/settingspage.h"
#include "ui/setupprompts.h"
#include "ui/stationpage.h"
#include "ui/statusline.h"
#include "ui/testrecordpanel.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedLayout>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

TervexWidget::TervexWidget(TervexModel* model, bool relayMode, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_relayMode(relayMode)
    , m_surveyManager(model->surveyDataManager())
    , m_testManager(model->testDataManager())
{
    setObjectName(QStringLiteral("mainWindow"));

    connect(m_surveyManager, &DataManager::prepared, this, &TervexWidget::onSurveyDataManagerPrepared);
    connect(m_surveyManager, &DataManager::started, this, &TervexWidget::onSurveyDataManagerStarted);
    connect(m_surveyManager, &DataManager::updated, this, &TervexWidget::onSurveyDataManagerUpdated);
    connect(m_surveyManager, &DataManager::aborted, this, &TervexWidget::onSurveyDataManagerAborted);
    connect(m_surveyManager, &DataManager::completed, this, &TervexWidget::onSurveyDataManagerCompleted);
    connect(m_surveyManager, &DataManager::allCompleted, this, &TervexWidget::onSurveyDataManagerAllCompleted);
    connect(m_testManager, &DataManager::started, this, &TervexWidget::onTestDataManagerStarted);
    connect(m_testManager, &DataManager::prepared, this, &TervexWidget::onTestDataManagerPrepared);
    connect(m_testManager, &DataManager::aborted, this, &TervexWidget::onTestDataManagerAborted);
    connect(m_testManager, &DataManager::completed, this, &TervexWidget::onTestDataManagerCompleted);
    connect(m_testManager, &DataManager::allCompleted, this, &TervexWidget::onTestDataManagerAllCompleted);
    connect(m_testManager, &TestDataManager::verdictReady, this, &TervexWidget::onTestVerdict);
    connect(m_model, &TervexModel::deviceConnecting, this, &TervexWidget::onDeviceConnecting);
    connect(m_model, &TervexModel::deviceConnected, this, &TervexWidget::onDeviceConnected);
    connect(m_model, &TervexModel::deviceDisconnected, this, &TervexWidget::onDeviceDisconnected);
    connect(m_model, &TervexModel::deviceStatusUpdated, this, &TervexWidget::onDeviceStatusUpdated);
    connect(m_model, &TervexModel::settingsUpdating, this, &TervexWidget::onBeforeDeviceSettingsUpdate);
    connect(m_model, &TervexModel::settingsUpdated, this, &TervexWidget::onDeviceSettingsUpdated);
    connect(m_model, &TervexModel::runFailed, this, &TervexWidget::onRunFailed);
    connect(m_model, &TervexModel::runWaitingForNext, this, &TervexWidget::onRunWaitingForNext);
    connect(m_model, &TervexModel::runRepeating, this, &TervexWidget::onRunRepeating);
    connect(m_model, &TervexModel::surveyReported, this, &TervexWidget::onSurveyReported);
    connect(m_model, &TervexModel::connectionFailed, this, &TervexWidget::onConnectionFailed);
    connect(m_model, &TervexModel::contactCheckFinished, this, &TervexWidget::onContactCheckFinished);
    connect(m_model, &TervexModel::batteryWarning, this, [this](const QString& text) {
        onDeviceStatusUpdated();
        showMessage(text);
    });

    auto* mainFrame = new QWidget;
    auto* mainLayout = new QVBoxLayout(mainFrame);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);
    m_header = new HeaderBar;
    connect(m_header, &HeaderBar::controlViewToggled, this, &TervexWidget::onControlViewToggled);
    connect(m_header, &HeaderBar::resultViewToggled, this, &TervexWidget::onResultViewToggled);
    connect(m_header, &HeaderBar::fullScreenClicked, this, &TervexWidget::onFSClicked);
    connect(m_header, &HeaderBar::reconnectClicked, this, &TervexWidget::reconnectClicked);
    connect(m_header, &HeaderBar::setupClicked, this, &TervexWidget::setupClicked);
    connect(m_header, &HeaderBar::viewerClicked, this, &TervexWidget::onEtrViewerClicked);
    mainLayout->addWidget(m_header);
    m_surveyProgress = new QProgressBar(mainFrame);
    m_surveyProgress->setObjectName(QStringLiteral("survey_progress"));
    m_surveyProgress->setFixedHeight(10);
    m_surveyProgress->setRange(0, 100);
    m_surveyProgress->setValue(0);
    m_surveyProgress->setTextVisible(false);
    mainLayout->addWidget(m_surveyProgress);
    m_body = new QStackedWidget(mainFrame);
    m_connectPage = new ConnectPage;
    connect(m_connectPage, &ConnectPage::connectClicked, this, &TervexWidget::onConnectClicked);
    m_body->addWidget(m_connectPage);
    m_body->addWidget(createWorkArea());
    mainLayout->addWidget(m_body, 1);
    m_statusLine = new StatusLine(mainFrame);
    mainLayout->addWidget(m_statusLine);

    m_progress.reset(new RunProgress(m_surveyProgress, m_header));
    m_starter.reset(new RunStarter(m_model, m_recordPage, this));
    m_setupPrompts = new SetupPrompts(m_model, m_relayMode, this);
    connect(m_setupPrompts, &SetupPrompts::testParameterChanged, this, &TervexWidget::showGeneratorInForce);

    m_viewer = new EtrViewer(m_model, nullptr);
    connect(m_viewer, &EtrViewer::backClicked, this, &TervexWidget::onEtrViewerBackClicked);
    connect(this, &TervexWidget::setupClicked, this, &TervexWidget::onSetupClicked);
    connect(this, &TervexWidget::reconnectClicked, this, &TervexWidget::onReconnectClicked);

    auto* rootLayout = new QStackedLayout(this);
    m_rootStack = new QStackedWidget(this);
    m_rootStack->addWidget(mainFrame);
    m_rootStack->addWidget(m_viewer);
    m_rootStack->setCurrentIndex(0);
    rootLayout->addWidget(m_rootStack);

    setSurveyType(Automatic);
    qApp->installEventFilter(this);
}

QWidget* TervexWidget::createWorkArea()
{
    auto* area = new QWidget;
    auto* layout = new QHBoxLayout(area);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    // On a low screen the panels scroll instead of pushing the window beyond it.
    auto* controlScroll = new QScrollArea(area);
    controlScroll->setObjectName(QStringLiteral("control_scroll"));
    controlScroll->setFrameShape(QFrame::NoFrame);
    controlScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    controlScroll->setWidgetResizable(true);
    m_controlStack = new QStackedWidget(controlScroll);
    m_controlStack->setFixedWidth(400);

    m_stationPage = new StationPage(m_model->stationSettings());
    connect(m_stationPage, &StationPage::gpsClicked, this, &TervexWidget::onGpsLabelClicked);
    m_controlStack->addWidget(m_stationPage);

    m_settingsPage = new SettingsPage(m_model->stationSettings());
    connect(m_settingsPage, &SettingsPage::caChanged, this, &TervexWidget::onCaChanged);
    connect(m_settingsPage, &SettingsPage::cbChanged, this, &TervexWidget::onCbChanged);
    m_controlStack->addWidget(m_settingsPage);

    QList<RecordPage::RunType> runTypes = {{Automatic, tr("АВТОМАТ")}, {ElectrodeTest, tr("ТЕСТ")}, {Trial, tr("ПРОБА")}};
    if (m_relayMode)
        runTypes.append({RelayTest, tr("РЕЛЕ")});
    m_recordPage = new RecordPage(m_model, runTypes);
    connect(m_recordPage, &RecordPage::surveyTypeToggled, this, &TervexWidget::onSurveyTypeToggled);
    connect(m_recordPage, &RecordPage::workClicked, this, &TervexWidget::onWorkClicked);
    connect(m_recordPage, &RecordPage::stopClicked, this, &TervexWidget::onStopClicked);
    connect(m_recordPage, &RecordPage::repeatClicked, this, &TervexWidget::onRepeatClicked);
    connect(m_recordPage, &RecordPage::nextClicked, this, &TervexWidget::doNext);
    connect(m_recordPage, &RecordPage::pauseToggled, this, &TervexWidget::onPauseToggled);
    connect(m_recordPage->generatorPanel(), &GeneratorControlWidget::timingEdited, this,
            [this]() { m_starter->updateTimingWarning(); });
    AutoSettingsWidget* autoSettings = m_recordPage->autoSettings();
    connect(autoSettings, &AutoSettingsWidget::cancelClicked, this, &TervexWidget::onAutoSettingsCancelClicked);
    connect(autoSettings, &AutoSettingsWidget::executeClicked, this, &TervexWidget::onAutoSettingsExecuteClicked);
    connect(autoSettings, &AutoSettingsWidget::targetChanged, this, [this, autoSettings](const QString& path) {
        if (!autoSettings->targetNote().isEmpty())
            setStatus(autoSettings->targetNote());
        else if (!path.isEmpty())
            setStatus(tr("Файл данных: %1").arg(path));
    });
    connect(m_recordPage->testPanel(), &TestRecordPanel::executed, this, &TervexWidget::onTestExecuted);
    connect(m_recordPage->testPanel(), &TestRecordPanel::cancelled, this, &TervexWidget::onTestCancelled);
    m_controlStack->addWidget(m_recordPage);

    controlScroll->setWidget(m_controlStack);
    controlScroll->setFixedWidth(400 + controlScroll->verticalScrollBar()->sizeHint().width());
    layout->addWidget(controlScroll);
    m_results = new ResultStack(m_surveyManager, m_model->stationSettings(), m_model->liveModel());
    layout->addWidget(m_results, 1);
    return area;
}

MeasurementPlot* TervexWidget::measurementPlot() const
{
    return m_results->plot();
}

void TervexWidget::onControlViewToggled(int id, bool checked)
{
    if (checked)
        m_controlStack->setCurrentIndex(id);
}

void TervexWidget::onResultViewToggled(int id, bool checked)
{
    if (checked)
        m_results->setCurrentIndex(id);
}

void TervexWidget::showMessage(const QString& text)
{
    WindowPrompts::warning(this, text);
}

QString TervexWidget::statusText() const
{
    return m_statusLine->status();
}

void TervexWidget::setStatus(const QString& text)
{
    m_statusLine->setStatus(text);
}

void TervexWidget::setRunStatus(const QString& text)
{
    m_runStatus = text;
    setStatus(text);
}

void TervexWidget::onConnectClicked()
{
    m_connectionProblem.clear();
    m_linkWasUp = false;
    if (!m_model->connectDevice() && m_connectionProblem.isEmpty())
        showMessage(tr("<h2>Внимание!</h2><p>Нет подключения к станции.</p>"));
}

void TervexWidget::onConnectionFailed(const QString& reason)
{
    m_connectionProblem = reason;
    // A link that was up had the right address: advising another one would mislead.
    const QString advice =
        m_linkWasUp ? tr("Связь со станцией потеряна. Проверьте кабель и питание станции и нажмите «Подключить».")
                    : tr("Адрес и порты станции задаются в окне «Параметры»; новый адрес действует "
                         "со следующего нажатия «Подключить».");
    const bool lost = m_linkWasUp;
    m_linkWasUp = false;
    m_connectPage->setStateText(reason);
    setStatus(reason);
    // A lost link during a run is reported with the run's own message.
    if (m_model->runActive() || reason == m_runFailure) {
        m_runFailure.clear();
        return;
    }
    const QString title = lost ? tr("<h2>Внимание!</h2><p>%1</p><p>%2</p>")
                               : tr("<h2>Внимание!</h2><p>Нет подключения к станции: %1</p><p>%2</p>");
    showMessage(title.arg(reason.toHtmlEscaped(), advice.toHtmlEscaped()));
}

void TervexWidget::onDeviceConnecting()
{
    m_connectionProblem.clear();
    m_connectPage->setStateText(tr("Выполняется подключение к станции..."));
}

void TervexWidget::onDeviceConnected()
{
    m_linkWasUp = true;
    m_connected = true;
    // The work area is empty until the station has described itself.
    if (!m_stationAnswered) {
        m_connectPage->setStateText(tr("Ожидание ответа станции %1:%2…")
                                        .arg(m_model->device()->host())
                                        .arg(m_model->device()->commandPort()));
        m_connectPage->setConnectEnabled(false);
        return;
    }
    showWorkArea();
}

void TervexWidget::showWorkArea()
{
    m_connectPage->setConnectEnabled(true);
    m_body->setCurrentIndex(1);
    m_header->setConnected(true);
}

void TervexWidget::onDeviceDisconnected()
{
    m_connected = false;
    m_stationAnswered = false;
    m_connectPage->setConnectEnabled(true);
    // The reason of a failed or lost link stays readable on the connect page.
    m_connectPage->setStateText(m_connectionProblem);
    m_connectPage->showConnectButton();
    m_body->setCurrentIndex(0);
    m_header->setConnected(false);
}

void TervexWidget::onDeviceStatusUpdated()
{
    const TervexDevice* device = m_model->device();
    // The battery mean stays 0 until a valid reading has come.
    const float voltage = device->battery()->voltage();
    if (voltage > 0.0f)
        m_header->setBatteryVoltage(double(voltage));
    m_header->setBatteryLow(m_model->batteryLow());
    const QString coordinates = device->gps()->coordinatesText();
    if (!coordinates.isEmpty())
        m_stationPage->setGpsText(QStringLiteral("%1").arg(coordinates));
}

void TervexWidget::onGpsLabelClicked()
{
    const QString coordinates = m_stationPage->gpsText();
    if (!coordinates.isEmpty())
        QApplication::clipboard()->setText(coordinates);
}

void TervexWidget::onEtrViewerClicked()
{
    m_rootStack->setCurrentIndex(1);
}

void TervexWidget::onEtrViewerBackClicked()
{
    m_rootStack->setCurrentIndex(0);
}

void TervexWidget::onFSClicked()
{
    setWindowState(windowState() ^ Qt::WindowFullScreen);
}

void TervexWidget::onBeforeDeviceSettingsUpdate()
{
    m_stationPage->beginSettingsUpdate();
    m_settingsPage->beginSettingsUpdate();
}

void TervexWidget::onDeviceSettingsUpdated()
{
    if (m_connected && !m_stationAnswered) {
        m_stationAnswered = true;
        showWorkArea();
    }
    m_stationPage->endSettingsUpdate();
    m_settingsPage->endSettingsUpdate();
    m_starter->updateTimingWarning();
}

void TervexWidget::onCaChanged(int val)
{
    m_model->stationSettings()->electrodeSettings()->currentElectrodeA = quint16(val);
}

void TervexWidget::onCbChanged(int val)
{
    m_model->stationSettings()->electrodeSettings()->currentElectrodeB = quint16(val);
}

void TervexWidget::onPauseToggled(bool checked)
{
    m_model->setPaused(checked);
    // Releasing pause mode continues a run that waits for the operator, as Space does.
    if (!checked && m_nextPending)
        doNext();
}

void TervexWidget::onStopClicked()
{
    m_model->stopRun();
}

void TervexWidget::onTestCancelled()
{
    m_model->stopRun();
}

void TervexWidget::onSurveyTypeToggled(int type, bool checked)
{
    if (!checked)
        return;
    m_recordPage->showTestPanel(type == ElectrodeTest);
    setSurveyType(type);
}

void TervexWidget::setSurveyType(int type)
{
    // Tests run with their own fixed pulse and pause, so the generator's warning does not apply.
    if (type == ElectrodeTest || type == RelayTest)
        m_recordPage->setTimingWarning(QString());
    else
        m_starter->updateTimingWarning();
    m_progress->reset();
    m_currentSurveyType = type;
    setControls(true, false, false, true);
    showGeneratorInForce();
    switch (type) {
    case Automatic:
    case Trial:
        m_recordPage->setPauseAvailable(type == Automatic);
        m_model->setPaused(type == Automatic && m_recordPage->pauseChecked());
        m_results->setTableAvailable(true);
        if (type == Trial)
            m_recordPage->autoSettings()->hide();
        m_results->plot()->clearPlot();
        m_results->plot()->replot();
        break;
    case ElectrodeTest:
    case RelayTest:
        m_recordPage->setPauseAvailable(type == ElectrodeTest);
        m_model->setPaused(type == ElectrodeTest && m_recordPage->pauseChecked());
        m_results->setTableAvailable(false);
        m_recordPage->autoSettings()->hide();
        showTestChart();
        break;
    default:
        break;
    }
}

void TervexWidget::showGeneratorInForce()
{
    const int type = m_currentSurveyType;
    if (type == ElectrodeTest || type == RelayTest)
        m_recordPage->generatorPanel()->showFixed(TestStrategy::generatorFor(m_model->testVoltage(), type == RelayTest));
    else
        m_recordPage->generatorPanel()->release();
}

void TervexWidget::showTestChart()
{
    m_results->plot()->buildTestChart(m_testManager->plan());
    m_results->plot()->updateTestChart(m_testManager->results());
}

void TervexWidget::onWorkClicked()
{
    if (!m_starter->validateGeneratorSettings())
        return;
    if (m_currentSurveyType == Automatic) {
        m_starter->openAutoSettings();
        setControls(false, false, false, true);
        return;
    }
    if (!m_starter->startRun(m_currentSurveyType))
        return;
    m_runTarget.clear();
    setRunStatus(tr("Идёт измерение"));
    runStarted();
}

void TervexWidget::onAutoSettingsExecuteClicked()
{
    // The panel stays open when a file is missing: the operator has only to choose it.
    if (!m_starter->validateGeneratorSettings() || !m_starter->surveyChoiceComplete())
        return;
    m_recordPage->autoSettings()->hide();
    setControls(true, false, false, true);
    if (!m_starter->startSurvey())
        return;
    m_runTarget = m_starter->surveyTarget();
    if (m_model->contactCheckPending())
        setRunStatus(tr("Проверка контактов перед съёмкой, файл данных: %1").arg(m_runTarget));
    else
        setRunStatus(tr("Съёмка идёт, файл данных: %1").arg(m_runTarget));
    m_starter->showStartNotice();
    runStarted();
}

void TervexWidget::onContactCheckFinished()
{
    ContactGate::Choice choice = ContactGate::Choice::GoOn;
    // Every contact below the limit: the model has started the survey, or says why not.
    if (!m_model->contactCheckPending()) {
        if (!m_model->runActive())
            m_starter->showStartRefusal();
    } else if (!m_starter->resolveContactCheck(&choice)) {
        setStatus(tr("Съёмка не начата, файл данных не записан"));
        return;
    }
    if (!m_model->runActive()) {
        setStatus(tr("Съёмка не начата, файл данных не записан"));
        return;
    }
    if (choice == ContactGate::Choice::Retest)
        setRunStatus(tr("Повторная проверка контактов, файл данных: %1").arg(m_runTarget));
    else
        setRunStatus(tr("Съёмка идёт, файл данных: %1").arg(m_runTarget));
    runStarted();
}

void TervexWidget::onAutoSettingsCancelClicked()
{
    m_recordPage->autoSettings()->hide();
    setControls(true, false, false, true);
}

void TervexWidget::onTestExecuted()
{
    if (m_starter->startTest())
        setRunStatus(tr("Идёт тест электродов"));
}

SetupDialog* TervexWidget::setupDialog() const
{
    return m_setupPrompts->dialog();
}

void TervexWidget::onSetupClicked()
{
    m_setupPrompts->exec();
}

void TervexWidget::onSetupTestVoltageClicked()
{
    m_setupPrompts->askTestVoltage();
}

void TervexWidget::onSetupTestRBaseClicked()
{
    m_setupPrompts->askTestRBase();
}

void TervexWidget::onSetupTestRDeltaClicked()
{
    m_setupPrompts->askTestRDelta();
}

bool TervexWidget::confirmInterruption()
{
    if (!m_model->runActive())
        return true;
    if (!WindowPrompts::question(this, WindowPrompts::windowTitle(), tr("Идёт измерение. Прервать?")))
        return false;
    // Stopping keeps every record already written to the data file.
    m_model->stopRun();
    return true;
}

void TervexWidget::onReconnectClicked()
{
    if (!confirmInterruption())
        return;
    m_model->disconnectDevice();
}

// The run states: every event of a run sets which run controls are open, and what else the window
// shows of it. W R N I: "Работа" (or "Стоп" while not idle), "Повтор", "След.", idle (run types free).
//   run type chosen, auto-settings cancelled    1 0 0 1
//   "Работа" in АВТОМАТ opens the panel          0 0 0 1
//   run started, prepared(), "Повтор", "След."   1 0 0 0
//   survey completed() / test completed()       1 p p 0 / 1 0 p 0   (p: pause mode on)
//   a record waits for the operator             1 1 1 0 (survey) / 1 0 1 0 (test)
//   allCompleted(), aborted()                   1 0 0 1

void TervexWidget::setControls(bool work, bool repeat, bool next, bool idle)
{
    m_recordPage->setControls(work, repeat, next, idle);
}

void TervexWidget::runStarted()
{
    m_results->clearRecordInfo();
    setControls(true, false, false, false);
    m_header->setProgressText(QString());
}

void TervexWidget::runPrepared()
{
    m_progress->runPrepared();
    setControls(true, false, false, false);
}

void TervexWidget::endRun()
{
    m_recordPage->generatorPanel()->setEnabled(true);
    m_header->setProgressVisible(false);
    m_recordPage->setRepeatInfo(QString());
    m_nextPending = false;
    setControls(true, false, false, true);
}

void TervexWidget::onRepeatClicked()
{
    resumeRun();
    setControls(true, false, false, false);
    m_model->repeatRecord();
}

void TervexWidget::doNext()
{
    resumeRun();
    setControls(true, false, false, false);
    m_model->nextRecord();
}

void TervexWidget::waitForOperator()
{
    m_nextPending = true;
    m_progress->paused();
    setStatus(tr("Пауза: запись завершена. Продолжить — «След.», пробел или отжать «Пауза»"));
}

void TervexWidget::resumeRun()
{
    if (m_nextPending)
        setStatus(m_runStatus);
    m_nextPending = false;
    m_progress->resumed();
}

void TervexWidget::onRunWaitingForNext()
{
    const bool test = m_currentSurveyType == ElectrodeTest || m_currentSurveyType == RelayTest;
    setControls(true, !test, true, false);
    waitForOperator();
}

void TervexWidget::onRunRepeating(const QString& reason)
{
    m_recordPage->setRepeatInfo(reason);
}

void TervexWidget::onSurveyDataManagerPrepared()
{
    runPrepared();
    m_recordPage->generatorPanel()->setEnabled(false);
    m_header->setProgressVisible(true);
}

void TervexWidget::onSurveyDataManagerStarted()
{
    m_results->plot()->showRecordStarted();
    const IMeasurementInfo* info = m_surveyManager->info();
    if (!info)
        return;
    m_progress->surveyRecordStarted(info);
    m_results->setSampleProgress(info->expectedSamples(), 0);
}

void TervexWidget::onSurveyDataManagerUpdated()
{
    m_results->plot()->scheduleRefresh();
    const IMeasurementInfo* info = m_surveyManager->info();
    if (!info)
        return;
    m_results->setSampleProgress(info->expectedSamples(), info->receivedSamples());
}

void TervexWidget::onSurveyDataManagerCompleted()
{
    // The header counts this record as done too, so that it and "#" tell the same number.
    const int done = m_results->showRecordResults(m_currentSurveyType == Automatic);
    if (done >= 0)
        m_progress->showRecordsDone(done);
    const bool paused = m_model->paused();
    setControls(true, paused, paused, false);
    if (paused)
        waitForOperator();
}

void TervexWidget::onSurveyDataManagerAllCompleted()
{
    m_results->plot()->flushRefresh();
    m_results->plot()->replot();
    const IMeasurementInfo* info = m_surveyManager->info();
    if (info)
        m_progress->runFinished(info);
    m_results->resetSampleProgress();
    endRun();
    if (m_currentSurveyType == Automatic && !m_runTarget.isEmpty())
        setStatus(tr("Съёмка завершена, файл данных: %1").arg(m_runTarget));
    else
        setStatus(tr("Пробная запись завершена"));
}

void TervexWidget::onSurveyDataManagerAborted()
{
    m_results->plot()->flushRefresh();
    m_results->plot()->replot();
    m_progress->reset();
    m_results->resetSampleProgress();
    endRun();
    if (m_currentSurveyType == Automatic && !m_runTarget.isEmpty())
        setStatus(tr("Съёмка остановлена; записанные измерения сохранены в %1").arg(m_runTarget));
    else
        setStatus(tr("Измерение остановлено"));
}

void TervexWidget::onTestDataManagerPrepared()
{
    runPrepared();
    showTestChart();
    m_recordPage->generatorPanel()->setEnabled(false);
    m_header->setProgressVisible(true);
}

void TervexWidget::onTestDataManagerStarted()
{
    const IMeasurementInfo* info = m_testManager->info();
    if (!info)
        return;
    m_progress->testRecordStarted(info);
}

void TervexWidget::onTestDataManagerCompleted()
{
    showTestChart();
    const bool paused = m_model->paused();
    setControls(true, false, paused, false);
    if (paused)
        waitForOperator();
}

void TervexWidget::onTestDataManagerAllCompleted()
{
    showTestChart();
    const IMeasurementInfo* info = m_testManager->info();
    if (info)
        m_progress->runFinished(info);
    endRun();
    m_recordPage->testPanel()->resetPanel();
    const QString report = m_testManager->lastReportPath();
    setStatus(report.isEmpty() ? tr("Тест завершён")
                               : tr("Тест завершён, отчёт: %1").arg(QDir::toNativeSeparators(report)));
}

void TervexWidget::onTestDataManagerAborted()
{
    m_progress->reset();
    endRun();
    m_recordPage->testPanel()->resetPanel();
    setStatus(m_model->contactCheckPending() ? tr("Проверка контактов остановлена, съёмка не начата")
                                             : tr("Тест остановлен"));
}

void TervexWidget::onRunFailed(const QString& reason)
{
    m_runFailure = reason;
    QString text = tr("<h2>Внимание!</h2><p>Измерение прервано: %1</p>").arg(reason.toHtmlEscaped());
    // A survey that failed during its contact check has written nothing yet.
    if (m_currentSurveyType == Automatic && !m_model->contactCheckPending())
        text += tr("<p>Записанные измерения сохранены. Съёмку можно продолжить: выберите её файл "
                               "данных (.etr) в режиме АВТОМАТ вместо файла последовательности.</p>");
    showMessage(text);
}

void TervexWidget::onSurveyReported(const QString& text, const QString& path, const QString& error)
{
    QString message = QStringLiteral("<pre>%1</pre>").arg(text.toHtmlEscaped());
    message += path.isEmpty()
                   ? tr("<p>Отчёт не записан: %1</p>").arg(error.toHtmlEscaped())
                   : tr("<p>Отчёт записан в %1</p>").arg(QDir::toNativeSeparators(path).toHtmlEscaped());
    // Not from inside the run's last signal: a failure's own message comes first.
    QTimer::singleShot(0, this, [message]() {
        WindowPrompts::message(nullptr, QMessageBox::Information, WindowPrompts::windowTitle(), message);
    });
}

void TervexWidget::onTestVerdict(const QString& message)
{
    WindowPrompts::message(nullptr, QMessageBox::Information, WindowPrompts::windowTitle(), message);
}

bool TervexWidget::spaceTogglesPause() const
{
    if (!m_model->runActive() || !m_recordPage->pauseAvailable())
        return false;
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return false;
    const QWidget* focus = QApplication::focusWidget();
    if (focus && (focus->window() != window() || focus->inherits("QLineEdit") || focus->inherits("QAbstractSpinBox")
                  || focus->inherits("QTextEdit") || focus->inherits("QPlainTextEdit")
                  || focus->inherits("QComboBox")))
        return false;
    return true;
}

bool TervexWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Space)
        return QWidget::eventFilter(watched, event);
    // Everywhere else Space is the ordinary key: typed into names, pressing the focused button.
    if (!spaceTogglesPause())
        return QWidget::eventFilter(watched, event);
    // Holding the key down must not flip pause mode on and off.
    if (static_cast<QKeyEvent*>(event)->isAutoRepeat())
        return true;
    m_recordPage->setPauseChecked(!m_recordPage->pauseChecked());
    return true;
}

void TervexWidget::closeEvent(QCloseEvent* event)
{
    if (!confirmInterruption()) {
        event->ignore();
        return;
    }
    m_model->disconnectDevice();
    event->accept();
}
