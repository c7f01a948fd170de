#include "ui/tervexwidget.h"

#include "app/tervexmodel.h"
#include "measurement/imeasurementinfo.h"
#include "measurement/tervexcalculator.h"
#include "station/tervexdevice.h"
#include "station/tervexsettings.h"
#include "survey/surveydatamanager.h"
#include "survey/testdatamanager.h"
#include "survey/teststrategy.h"
#include "ui/autosettingswidget.h"
#include "ui/clickablelabel.h"
#include "ui/etrviewer.h"
#include "ui/freshdialogguard.h"
#include "ui/generatorcontrolwidget.h"
#include "ui/measurementplot.h"
#include "ui/measurementstablemodel.h"
#include "ui/panel.h"
#include "ui/pseudosectionview.h"
#include "ui/settingstableitemdelegate.h"
#include "ui/setupdialog.h"
#include "ui/stationinfotablemodel.h"
#include "ui/stationsettingstablemodel.h"
#include "ui/stationvaluebox.h"
#include "ui/testrecordpanel.h"

#include <QCoreApplication>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedLayout>
#include <QStackedWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <qcustomplot.h>

namespace {

// Translated when shown: the interface language is chosen after static initialisation.
QString boxTitle()
{
    return QCoreApplication::translate("TervexWidget", "Тервекс-М1");
}

void standardMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    QMessageBox box(parent);
    box.setIcon(icon);
    box.setWindowTitle(title);
    box.setText(text);
    new FreshDialogGuard(&box);
    if (parent) {
        box.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
        box.setStyleSheet(QStringLiteral("QMessageBox {background: #FCFCFC;}"));
        box.setModal(true);
    }
    box.exec();
}

bool standardTextInput(QWidget* parent, const QString& title, const QString& label, const QString& current,
                       QString* text)
{
    bool ok = false;
    *text = QInputDialog::getText(parent, title, label, QLineEdit::Normal, current, &ok);
    return ok;
}

bool standardQuestion(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

TervexWidget::QuestionHandler& questionHandler()
{
    static TervexWidget::QuestionHandler handler = standardQuestion;
    return handler;
}

TervexWidget::MessageHandler& messageHandler()
{
    static TervexWidget::MessageHandler handler = standardMessage;
    return handler;
}

TervexWidget::TextInputHandler& textInputHandler()
{
    static TervexWidget::TextInputHandler handler = standardTextInput;
    return handler;
}

QPushButton* fixedButton(const QString& text, int width, int height, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setFixedSize(width, height);
    return button;
}

// A plain text of several lines as a message box shows it.
QString htmlLines(const QString& text)
{
    return text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

QFrame* toolFrame(QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QStringLiteral("survey_type_tool_frame"));
    return frame;
}

} // namespace

void TervexWidget::setMessageHandler(const MessageHandler& handler)
{
    messageHandler() = handler ? handler : MessageHandler(standardMessage);
}

void TervexWidget::setQuestionHandler(const QuestionHandler& handler)
{
    questionHandler() = handler ? handler : QuestionHandler(standardQuestion);
}

void TervexWidget::setTextInputHandler(const TextInputHandler& handler)
{
    textInputHandler() = handler ? handler : TextInputHandler(standardTextInput);
}

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
    connect(m_model, &TervexModel::batteryWarning, this, [this](const QString& text) {
        onDeviceStatusUpdated();
        showMessage(text);
    });

    auto* mainFrame = new QWidget;
    auto* mainLayout = new QVBoxLayout(mainFrame);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);
    mainLayout->addWidget(createHeader());
    m_surveyProgress = new QProgressBar(mainFrame);
    m_surveyProgress->setObjectName(QStringLiteral("survey_progress"));
    m_surveyProgress->setFixedHeight(10);
    m_surveyProgress->setRange(0, 100);
    m_surveyProgress->setValue(0);
    m_surveyProgress->setTextVisible(false);
    mainLayout->addWidget(m_surveyProgress);
    m_body = new QStackedWidget(mainFrame);
    m_body->addWidget(createConnectPage());
    m_body->addWidget(createWorkArea());
    mainLayout->addWidget(m_body, 1);
    m_statusLine = new QLabel(mainFrame);
    m_statusLine->setObjectName(QStringLiteral("status_line"));
    m_statusLine->setFixedHeight(24);
    m_statusLine->setContentsMargins(10, 0, 10, 0);
    // A long path must not widen the window: the line is elided and shows the whole text as a tip.
    m_statusLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    mainLayout->addWidget(m_statusLine);

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

QFrame* TervexWidget::createSeparator(QWidget* parent)
{
    auto* separator = new QFrame(parent);
    separator->setObjectName(QStringLiteral("vertical_header_separator"));
    separator->setFixedSize(1, 30);
    return separator;
}

QWidget* TervexWidget::createToggle(QButtonGroup** group, const QStringList& labels, QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QStringLiteral("view_frame"));
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    *group = new QButtonGroup(frame);
    for (int id = 0; id < labels.size(); ++id) {
        auto* button = new QPushButton(labels[id], frame);
        button->setObjectName(QStringLiteral("survey_type_button"));
        button->setFlat(true);
        button->setCheckable(true);
        button->setFixedHeight(30);
        button->setChecked(id == 0);
        (*group)->addButton(button, id);
        layout->addWidget(button);
    }
    return frame;
}

QWidget* TervexWidget::createHeader()
{
    auto* header = new QFrame;
    header->setObjectName(QStringLiteral("header"));
    header->setFixedHeight(50);
    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(5, 0, 5, 0);
    layout->setSpacing(5);

    m_headerContainer = new QWidget(header);
    auto* container = new QHBoxLayout(m_headerContainer);
    container->setContentsMargins(0, 0, 0, 0);
    // Tight enough that the whole header fits a 1024 px screen.
    container->setSpacing(6);
    container->addWidget(createToggle(&m_controlViewGroup,
                                      {tr("СТАНЦИЯ"), tr("НАСТРОЙКА"), tr("ЗАПИСЬ")},
                                      m_headerContainer));
    container->addWidget(createSeparator(m_headerContainer));
    container->addWidget(
        createToggle(&m_resultViewGroup, {tr("ГРАФИК"), tr("ТАБЛИЦА"), tr("РАЗРЕЗ")}, m_headerContainer));
    container->addWidget(createSeparator(m_headerContainer));
    // No value until the station has reported one.
    m_battery = new QLabel(m_headerContainer);
    m_battery->setStyleSheet(QStringLiteral("QLabel {color:black;font-weight:500;}"));
    m_battery->setFixedSize(60, 32);
    m_battery->setAlignment(Qt::AlignCenter);
    container->addWidget(m_battery);
    container->addWidget(createSeparator(m_headerContainer));
    m_progressInfo = new QLabel(m_headerContainer);
    m_progressInfo->setObjectName(QStringLiteral("survey_progress_info_label"));
    // The label takes the header's free room whatever its text, and keeps it while hidden: a growing
    // text neither widens the window nor moves the header buttons; a long one is elided.
    m_progressInfo->setFixedHeight(32);
    m_progressInfo->setMinimumWidth(80);
    QSizePolicy progressPolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    progressPolicy.setRetainSizeWhenHidden(true);
    m_progressInfo->setSizePolicy(progressPolicy);
    m_progressInfo->setAlignment(Qt::AlignCenter);
    m_progressInfo->hide();
    container->addWidget(m_progressInfo);
    m_headerContainer->hide();
    m_battery->hide();
    connect(m_controlViewGroup, &QButtonGroup::idToggled, this,
            &TervexWidget::onControlViewToggled);
    connect(m_resultViewGroup, &QButtonGroup::idToggled, this,
            &TervexWidget::onResultViewToggled);

    layout->addWidget(m_headerContainer, 1);
    // Keeps the buttons together on the right while the container is hidden (connect page).
    layout->addStretch(0);
    auto* fullScreen = fixedButton(QString(), 40, 32, header);
    fullScreen->setIcon(QIcon(QStringLiteral(":/fsi.svg")));
    fullScreen->setIconSize(QSize(24, 24));
    fullScreen->setToolTip(tr("Во весь экран / в окне"));
    auto* reconnect = fixedButton(QStringLiteral("<->"), 48, 32, header);
    reconnect->setToolTip(tr("Отключиться от станции"));
    auto* setup = fixedButton(tr("Параметры"), 90, 32, header);
    setup->setToolTip(tr("Адрес станции, параметры тестов, язык интерфейса"));
    auto* viewer = fixedButton(tr("Обработка"), 90, 32, header);
    viewer->setToolTip(tr("Просмотр и обработка файлов данных (.etr)"));
    for (QPushButton* button : {fullScreen, reconnect, setup, viewer})
        layout->addWidget(button);
    connect(fullScreen, &QPushButton::clicked, this, &TervexWidget::onFSClicked);
    connect(reconnect, &QPushButton::clicked, this, &TervexWidget::reconnectClicked);
    connect(setup, &QPushButton::clicked, this, &TervexWidget::setupClicked);
    connect(viewer, &QPushButton::clicked, this, &TervexWidget::onEtrViewerClicked);
    return header;
}

QWidget* TervexWidget::createConnectPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addStretch();
    auto* frame = new QFrame(page);
    frame->setFixedHeight(76);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    m_connectStack = new QStackedWidget(frame);
    m_connectStack->setFixedSize(130, 40);
    m_connectButton = new QPushButton(tr("Подключить"), m_connectStack);
    m_connectButton->setObjectName(QStringLiteral("conn_btn"));
    m_connectStack->addWidget(m_connectButton);
    frameLayout->addWidget(m_connectStack, 0, Qt::AlignHCenter);
    m_connectionState = new QLabel(frame);
    m_connectionState->setObjectName(QStringLiteral("connection_state_label"));
    m_connectionState->setAlignment(Qt::AlignCenter);
    frameLayout->addWidget(m_connectionState);
    layout->addWidget(frame);
    layout->addStretch();
    connect(m_connectButton, &QPushButton::clicked, this, &TervexWidget::onConnectClicked);
    return page;
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
    m_controlStack->addWidget(createStationPage());
    m_controlStack->addWidget(createSettingsPage());
    m_controlStack->addWidget(createRecordPage());
    controlScroll->setWidget(m_controlStack);
    controlScroll->setFixedWidth(400 + controlScroll->verticalScrollBar()->sizeHint().width());
    layout->addWidget(controlScroll);
    layout->addWidget(createResultStack(), 1);
    return area;
}

QTableView* TervexWidget::createStationTable(QWidget* parent)
{
    auto* table = new QTableView(parent);
    table->setObjectName(QStringLiteral("sts_table"));
    table->horizontalHeader()->setObjectName(QStringLiteral("sts_header"));
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionsClickable(false);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return table;
}

QWidget* TervexWidget::createStationPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* grid = new QGridLayout;
    const QStringList captions = {tr("Серийный номер:"), tr("ПО адаптера:"),
                                  tr("ПО генератора:"), tr("Координаты GPS:")};
    auto* panel = new Panel(tr("Информация"), page);
    m_serial = new QLabel(panel);
    m_adapter = new QLabel(panel);
    m_generator = new QLabel(panel);
    m_gps = new ClickableLabel(QString(), panel);
    m_gps->setCursor(Qt::PointingHandCursor);
    m_gps->setStyleSheet(QStringLiteral("QLabel {color: #007FFF; text-decoration: underline}"));
    connect(m_gps, &ClickableLabel::clicked, this, &TervexWidget::onGpsLabelClicked);
    const QList<QLabel*> values = {m_serial, m_adapter, m_generator, m_gps};
    for (int row = 0; row < captions.size(); ++row) {
        auto* caption = new QLabel(captions[row], panel);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(caption, row, 0);
        values[row]->setFixedWidth(200);
        grid->addWidget(values[row], row, 1);
    }
    m_infoModel = new StationInfoTableModel(m_model->stationSettings()->stationInfo(), this);
    m_infoTable = createStationTable(panel);
    m_infoTable->setModel(m_infoModel);
    m_infoTable->setSelectionMode(QAbstractItemView::NoSelection);
    auto* content = new QVBoxLayout;
    content->addLayout(grid);
    content->addWidget(m_infoTable);
    panel->setContentLayout(content);
    layout->addWidget(panel);
    layout->addStretch();
    return page;
}

QWidget* TervexWidget::createSettingsPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* panel = new Panel(tr("Измерители"), page);
    auto* row = new QHBoxLayout;
    row->setSpacing(5);
    m_ca = new QSpinBox(panel);
    m_cb = new QSpinBox(panel);
    for (QSpinBox* box : {m_ca, m_cb}) {
        box->setRange(0, 48);
        box->setValue(1);
        box->setAlignment(Qt::AlignCenter);
    }
    row->addWidget(new QLabel(QStringLiteral("Ca:"), panel));
    row->addWidget(m_ca);
    row->addWidget(new QLabel(QStringLiteral("Cb:"), panel));
    row->addWidget(m_cb);
    connect(m_ca, QOverload<int>::of(&QSpinBox::valueChanged), this, &TervexWidget::onCaChanged);
    connect(m_cb, QOverload<int>::of(&QSpinBox::valueChanged), this, &TervexWidget::onCbChanged);

    m_settingsModel = new StationSettingsTableModel(m_model->stationSettings()->electrodeSettings(), this);
    m_settingsTable = createStationTable(panel);
    m_settingsTable->setModel(m_settingsModel);
    m_settingsTable->setItemDelegate(new SettingsTableItemDelegate(m_settingsTable));
    auto* content = new QVBoxLayout;
    content->addLayout(row);
    content->addWidget(m_settingsTable);
    panel->setContentLayout(content);
    layout->addWidget(panel);
    layout->addStretch();
    return page;
}

QWidget* TervexWidget::createRecordPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);

    m_surveyTypeFrame = toolFrame(page);
    auto* typeLayout = new QVBoxLayout(m_surveyTypeFrame);
    auto* typeRow = new QHBoxLayout;
    typeRow->setSpacing(0);
    typeRow->addStretch();
    m_surveyTypeGroup = new QButtonGroup(m_surveyTypeFrame);
    struct TypeButton
    {
        int id;
        QString text;
    };
    QList<TypeButton> types = {{Automatic, tr("АВТОМАТ")},
                               {ElectrodeTest, tr("ТЕСТ")},
                               {Trial, tr("ПРОБА")}};
    if (m_relayMode)
        types.append({RelayTest, tr("РЕЛЕ")});
    for (const TypeButton& type : types) {
        auto* button = new QPushButton(type.text, m_surveyTypeFrame);
        button->setObjectName(QStringLiteral("survey_type_button"));
        button->setFlat(true);
        button->setCheckable(true);
        button->setFixedHeight(30);
        button->setChecked(type.id == Automatic);
        m_surveyTypeGroup->addButton(button, type.id);
        typeRow->addWidget(button);
    }
    typeRow->addStretch();
    typeLayout->addLayout(typeRow);
    m_surveyTypeMessage = new QLabel(m_surveyTypeFrame);
    m_surveyTypeMessage->setStyleSheet(
        QStringLiteral("QLabel { color : #FF6000; font-size: 12pt; font-style: bold; }"));
    m_surveyTypeMessage->setAlignment(Qt::AlignCenter);
    // Room for the longest warning is kept, so that its coming and going does not move the panels.
    QFont warningFont = m_surveyTypeMessage->font();
    warningFont.setPointSize(12);
    m_surveyTypeMessage->setFixedHeight(3 * QFontMetrics(warningFont).lineSpacing() + 4);
    typeLayout->addWidget(m_surveyTypeMessage);
    connect(m_surveyTypeGroup, &QButtonGroup::idToggled, this,
            &TervexWidget::onSurveyTypeToggled);
    layout->addWidget(m_surveyTypeFrame);

    m_generatorPanel = new GeneratorControlWidget(m_model, page);
    m_generatorPanel->setObjectName(QStringLiteral("survey_type_tool_frame"));
    if (m_generatorPanel->layout())
        m_generatorPanel->layout()->setContentsMargins(10, 10, 10, 10);
    connect(m_generatorPanel, &GeneratorControlWidget::timingEdited, this, &TervexWidget::updateTimingWarning);
    layout->addWidget(m_generatorPanel);

    m_runControls = toolFrame(page);
    auto* controls = new QVBoxLayout(m_runControls);
    auto* buttons = new QHBoxLayout;
    m_workStopStack = new QStackedWidget(m_runControls);
    m_workStopStack->setFixedHeight(32);
    m_workButton = new QPushButton(tr("Работа"), m_workStopStack);
    m_stopButton = new QPushButton(tr("Стоп"), m_workStopStack);
    m_workStopStack->addWidget(m_workButton);
    m_workStopStack->addWidget(m_stopButton);
    m_repeatButton = new QPushButton(tr("Повтор"), m_runControls);
    m_nextButton = new QPushButton(tr("След."), m_runControls);
    m_pauseButton = new QPushButton(tr("Пауза"), m_runControls);
    m_pauseButton->setCheckable(true);
    m_pauseButton->setChecked(false);
    buttons->addWidget(m_workStopStack, 1);
    for (QPushButton* button : {m_repeatButton, m_nextButton, m_pauseButton}) {
        button->setFixedHeight(32);
        buttons->addWidget(button, 1);
    }
    controls->addLayout(buttons);
    m_repeatInfo = new QLabel(m_runControls);
    m_repeatInfo->setObjectName(QStringLiteral("repeat_info"));
    m_repeatInfo->setStyleSheet(QStringLiteral("QLabel { color : #FF6000; }"));
    m_repeatInfo->setAlignment(Qt::AlignCenter);
    m_repeatInfo->setWordWrap(true);
    m_repeatInfo->hide();
    controls->addWidget(m_repeatInfo);
    m_autoSettings = new AutoSettingsWidget(m_runControls);
    if (m_autoSettings->layout())
        m_autoSettings->layout()->setContentsMargins(0, 0, 0, 0);
    m_autoSettings->setStartDirectory(m_model->seqPath());
    m_autoSettings->hide();
    controls->addWidget(m_autoSettings);
    connect(m_workButton, &QPushButton::clicked, this, &TervexWidget::onWorkClicked);
    connect(m_stopButton, &QPushButton::clicked, this, &TervexWidget::onStopClicked);
    connect(m_repeatButton, &QPushButton::clicked, this, &TervexWidget::onRepeatClicked);
    connect(m_nextButton, &QPushButton::clicked, this, &TervexWidget::doNext);
    connect(m_pauseButton, &QPushButton::toggled, this, &TervexWidget::onPauseToggled);
    connect(m_autoSettings, &AutoSettingsWidget::cancelClicked, this, &TervexWidget::onAutoSettingsCancelClicked);
    connect(m_autoSettings, &AutoSettingsWidget::executeClicked, this, &TervexWidget::onAutoSettingsExecuteClicked);
    connect(m_autoSettings, &AutoSettingsWidget::targetChanged, this, [this](const QString& path) {
        if (!m_autoSettings->targetNote().isEmpty())
            setStatus(m_autoSettings->targetNote());
        else if (!path.isEmpty())
            setStatus(tr("Файл данных: %1").arg(path));
    });
    layout->addWidget(m_runControls);

    m_testPanel = new TestRecordPanel(page);
    m_testPanel->setObjectName(QStringLiteral("survey_type_tool_frame"));
    m_testPanel->hide();
    connect(m_testPanel, &TestRecordPanel::executed, this, &TervexWidget::onTestExecuted);
    connect(m_testPanel, &TestRecordPanel::cancelled, this, &TervexWidget::onTestCancelled);
    layout->addWidget(m_testPanel);
    // Stacks inside the frames would otherwise claim the page's spare height.
    for (QWidget* frame : {static_cast<QWidget*>(m_surveyTypeFrame), static_cast<QWidget*>(m_generatorPanel),
                           static_cast<QWidget*>(m_runControls), static_cast<QWidget*>(m_testPanel)})
        frame->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    layout->addStretch();
    return page;
}

QWidget* TervexWidget::createResultStack()
{
    m_resultStack = new QStackedWidget;
    m_plot = new MeasurementPlot(m_surveyManager, m_model->stationSettings(), m_resultStack);
    m_resultStack->addWidget(m_plot->plot());

    m_tablePage = new QStackedWidget(m_resultStack);
    auto* view = new QWidget(m_tablePage);
    auto* viewLayout = new QVBoxLayout(view);
    viewLayout->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    auto* info = new QFrame(view);
    info->setObjectName(QStringLiteral("info_frame"));
    // At most the table's width, narrower when the window is.
    info->setFixedHeight(45);
    info->setMaximumWidth(720);
    info->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* infoLayout = new QHBoxLayout(info);
    infoLayout->setContentsMargins(0, 0, 0, 0);
    // The record number takes the viewer's range of a record with several channels.
    const int widths[6] = {100, 70, 120, 120, 70, 70};
    for (int i = 0; i < 6; ++i) {
        m_recordInfo[i] = new QLabel(info);
        m_recordInfo[i]->setMaximumWidth(widths[i]);
        m_recordInfo[i]->setMinimumWidth(widths[i] / 2);
        m_recordInfo[i]->setAlignment(Qt::AlignCenter);
        infoLayout->addWidget(m_recordInfo[i]);
    }
    viewLayout->addWidget(info);
    m_tableProgress = new QProgressBar(view);
    m_tableProgress->setObjectName(QStringLiteral("table_progress"));
    m_tableProgress->setFixedHeight(20);
    m_tableProgress->setMaximumWidth(720);
    m_tableProgress->setTextVisible(true);
    m_tableProgress->setValue(0);
    viewLayout->addWidget(m_tableProgress);
    m_measurementsModel = new MeasurementsTableModel(m_surveyManager, this);
    m_measurementsTable = new QTableView(view);
    m_measurementsTable->setObjectName(QStringLiteral("measurements_table"));
    m_measurementsTable->horizontalHeader()->setObjectName(QStringLiteral("measurements_header"));
    m_measurementsTable->setMaximumSize(720, 500);
    m_measurementsTable->setMinimumSize(300, 150);
    m_measurementsTable->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_measurementsTable->setModel(m_measurementsModel);
    m_measurementsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_measurementsTable->setFocusPolicy(Qt::NoFocus);
    m_measurementsTable->setSelectionMode(QAbstractItemView::NoSelection);
    m_measurementsTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_measurementsTable->verticalHeader()->hide();
    m_measurementsTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_measurementsTable->verticalHeader()->setDefaultSectionSize(45);
    const int columns[6] = {185, 185, 90, 120, 70, 70};
    for (int c = 0; c < 6; ++c)
        m_measurementsTable->setColumnWidth(c, columns[c]);
    viewLayout->addWidget(m_measurementsTable);
    m_tablePage->addWidget(view);
    auto* unavailable = new QLabel(tr("Не доступно"), m_tablePage);
    unavailable->setAlignment(Qt::AlignCenter);
    m_tablePage->addWidget(unavailable);
    m_resultStack->addWidget(m_tablePage);
    // The survey's pseudosection, one record more after every stored record.
    m_pseudosection = new PseudosectionView(m_resultStack);
    connect(m_surveyManager, &SurveyDataManager::surveyDataReset, m_pseudosection,
            [this]() { m_pseudosection->plot()->setData(m_surveyManager->surveyData(), true); });
    connect(m_surveyManager, &SurveyDataManager::recordDataAdded, m_pseudosection,
            [this](int first) { m_pseudosection->plot()->addData(m_surveyManager->surveyData().mid(first), true); });
    m_resultStack->addWidget(m_pseudosection);
    return m_resultStack;
}

void TervexWidget::onControlViewToggled(int id, bool checked)
{
    if (checked)
        m_controlStack->setCurrentIndex(id);
}

void TervexWidget::onResultViewToggled(int id, bool checked)
{
    if (checked)
        m_resultStack->setCurrentIndex(id);
}

void TervexWidget::showMessage(const QString& text)
{
    messageHandler()(this, QMessageBox::Warning, boxTitle(), text);
}

QString TervexWidget::statusText() const
{
    return m_statusText;
}

void TervexWidget::setStatus(const QString& text)
{
    m_statusText = text;
    m_statusLine->setToolTip(text);
    m_statusLine->setText(m_statusLine->fontMetrics().elidedText(text, Qt::ElideMiddle,
                                                                 qMax(0, m_statusLine->contentsRect().width())));
}

void TervexWidget::setRunStatus(const QString& text)
{
    m_runStatus = text;
    setStatus(text);
}

void TervexWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_statusLine)
        setStatus(m_statusText);
    if (m_progressInfo && !m_progressInfo->toolTip().isEmpty())
        elideProgressText();
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
    m_connectionState->setText(reason);
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
    m_connectionState->setText(tr("Выполняется подключение к станции..."));
}

void TervexWidget::onDeviceConnected()
{
    m_linkWasUp = true;
    m_connected = true;
    // The work area is empty until the station has described itself.
    if (!m_stationAnswered) {
        m_connectionState->setText(tr("Ожидание ответа станции %1:%2…")
                                       .arg(m_model->device()->host())
                                       .arg(m_model->device()->commandPort()));
        m_connectButton->setEnabled(false);
        return;
    }
    showWorkArea();
}

void TervexWidget::showWorkArea()
{
    m_connectButton->setEnabled(true);
    m_body->setCurrentIndex(1);
    m_headerContainer->show();
    m_battery->show();
}

void TervexWidget::onDeviceDisconnected()
{
    m_connected = false;
    m_stationAnswered = false;
    m_connectButton->setEnabled(true);
    // The reason of a failed or lost link stays readable on the connect page.
    m_connectionState->setText(m_connectionProblem);
    m_connectStack->setCurrentWidget(m_connectButton);
    m_body->setCurrentIndex(0);
    m_headerContainer->hide();
    m_battery->hide();
}

void TervexWidget::onDeviceStatusUpdated()
{
    const TervexDevice* device = m_model->device();
    // The battery mean stays 0 until a valid reading has come.
    const float voltage = device->battery()->voltage();
    if (voltage > 0.0f)
        m_battery->setText(tr("%1В").arg(QString::number(double(voltage), 'f', 1)));
    // Orange below the warning limit, as the timing warning.
    m_battery->setStyleSheet(m_model->batteryLow() ? QStringLiteral("QLabel {color:#E07000;font-weight:700;}")
                                                   : QStringLiteral("QLabel {color:black;font-weight:500;}"));
    const QString coordinates = device->gps()->coordinatesText();
    if (!coordinates.isEmpty())
        m_gps->setText(QStringLiteral("%1").arg(coordinates));
}

void TervexWidget::onGpsLabelClicked()
{
    if (!m_gps->text().isEmpty())
        QApplication::clipboard()->setText(m_gps->text());
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
    m_infoModel->beginResetModel();
    m_settingsModel->beginResetModel();
}

void TervexWidget::onDeviceSettingsUpdated()
{
    if (m_connected && !m_stationAnswered) {
        m_stationAnswered = true;
        showWorkArea();
    }
    m_infoModel->endResetModel();
    updateStationLabels();
    m_settingsModel->endResetModel();
    loadCurrentElectrodes();
    fitStationTables();
    updateTimingWarning();
}

void TervexWidget::updateStationLabels()
{
    const StationInfo* info = m_model->stationSettings()->stationInfo();
    m_serial->setText(QStringLiteral("%1").arg(info->serialNumber));
    m_adapter->setText(QStringLiteral("%1.%2").arg(info->adapterVersionMajor).arg(info->adapterVersionMinor));
    m_generator->setText(QStringLiteral("%1.%2").arg(info->generatorVersionMajor).arg(info->generatorVersionMinor));
}

void TervexWidget::loadCurrentElectrodes()
{
    const ElectrodeSettings* electrodes = m_model->stationSettings()->electrodeSettings();
    StationValueBox::show(m_ca, electrodes->currentElectrodeA);
    StationValueBox::show(m_cb, electrodes->currentElectrodeB);
}

void TervexWidget::fitStationTables()
{
    const int n = m_model->stationSettings()->electrodeSettings()->channels.size();
    for (QTableView* table : {m_infoTable, m_settingsTable}) {
        table->verticalHeader()->setDefaultSectionSize(30);
        for (int row = 0; row < table->model()->rowCount(); ++row)
            table->setRowHeight(row, 30);
        table->setFixedHeight(n * 30 + 40);
    }
    m_infoTable->setColumnWidth(0, 100);
    m_infoTable->setColumnWidth(1, 100);
    // At least as wide as the headers: "Вкл" and "Усил." must not be cut in either language.
    const int widths[5] = {30, 25, 100, 100, 41};
    const QFontMetrics header = m_settingsTable->horizontalHeader()->fontMetrics();
    int spare = 0;
    int fitted[5];
    for (int c = 0; c < 5; ++c) {
        const QString text = m_settingsModel->headerData(c, Qt::Horizontal).toString();
        fitted[c] = qMax(widths[c], header.horizontalAdvance(text) + 14);
        spare += fitted[c] - widths[c];
    }
    // The electrode columns give up what the headers need, so the table keeps its width.
    fitted[2] -= spare / 2;
    fitted[3] -= spare - spare / 2;
    for (int c = 0; c < 5; ++c)
        m_settingsTable->setColumnWidth(c, fitted[c]);
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
    m_remainingTime.paused(m_runClock.elapsed());
    setStatus(tr("Пауза: запись завершена. Продолжить — «След.», пробел или отжать «Пауза»"));
}

void TervexWidget::resumeRun()
{
    if (m_nextPending)
        setStatus(m_runStatus);
    m_nextPending = false;
    m_remainingTime.resumed(m_runClock.elapsed());
}

void TervexWidget::setControls(bool work, bool repeat, bool next, bool idle)
{
    m_surveyTypeFrame->setEnabled(idle);
    m_workStopStack->setCurrentWidget(idle ? m_workButton : m_stopButton);
    m_workButton->setEnabled(work);
    m_repeatButton->setEnabled(repeat);
    m_nextButton->setEnabled(next);
    m_stopButton->setEnabled(true);
}

void TervexWidget::clearRecordInfo()
{
    for (QLabel* label : m_recordInfo)
        label->clear();
}

void TervexWidget::onSurveyTypeToggled(int type, bool checked)
{
    if (!checked)
        return;
    const bool test = type == ElectrodeTest;
    m_runControls->setVisible(!test);
    m_testPanel->setVisible(test);
    setSurveyType(type);
}

void TervexWidget::setSurveyType(int type)
{
    // Tests run with their own fixed pulse and pause, so the generator's warning does not apply.
    if (type == ElectrodeTest || type == RelayTest)
        m_surveyTypeMessage->clear();
    else
        updateTimingWarning();
    m_surveyProgress->reset();
    m_currentSurveyType = type;
    setControls(true, false, false, true);
    showGeneratorInForce();
    switch (type) {
    case Automatic:
    case Trial:
        m_pauseButton->setEnabled(type == Automatic);
        m_model->setPaused(type == Automatic && m_pauseButton->isChecked());
        m_tablePage->setCurrentIndex(0);
        if (type == Trial)
            m_autoSettings->hide();
        m_plot->clearPlot();
        m_plot->replot();
        break;
    case ElectrodeTest:
    case RelayTest:
        m_pauseButton->setEnabled(type == ElectrodeTest);
        m_model->setPaused(type == ElectrodeTest && m_pauseButton->isChecked());
        m_tablePage->setCurrentIndex(1);
        m_autoSettings->hide();
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
        m_generatorPanel->showFixed(TestStrategy::generatorFor(m_model->testVoltage(), type == RelayTest));
    else
        m_generatorPanel->release();
}

void TervexWidget::showTestChart()
{
    m_plot->buildTestChart(m_testManager->plan());
    m_plot->updateTestChart(m_testManager->results());
}

bool TervexWidget::validateGeneratorSettings()
{
    const GeneratorSettings* generator = m_model->stationSettings()->generatorSettings();
    const quint32 pulse = generator->pulseLength;
    const quint32 pause = generator->pauseLength;
    if (pause >= 1 && pause <= 39) {
        m_surveyTypeMessage->clear();
        showMessage(tr("<p><h2>Ошибка!!!</h2></p><p>Длительность паузы больше 0 мс, но меньше 40 мс.</p>"
                                   "<p>Продолжение невозможно.</p>")
                    + tr("<p>Допустимая пауза: 0 мс или от 40 до 60000 мс.</p>"));
        return false;
    }
    m_surveyTypeMessage->setText(timingWarning(pulse, pause));
    return true;
}

QString TervexWidget::timingWarning(quint32 pulse, quint32 pause)
{
    if (pause >= 1 && pause <= 39)
        return QString();
    if (pulse >= 200 && pause == 0)
        return tr("При длительности паузы 0 мс\nточность расчетов снижается");
    if (pulse < 200 && pause != 0)
        return tr("При длительности импульса менее 200 мс\nточность расчетов снижается");
    if (pulse < 200)
        return tr("При длительности импульса менее 200 мс\nи при длительности паузы 0 мс\n"
                              "точность расчетов снижается");
    return QString();
}

void TervexWidget::updateTimingWarning()
{
    // A warning already shown follows the values as they are now; none appears before a start.
    if (m_surveyTypeMessage->text().isEmpty())
        return;
    const GeneratorSettings* generator = m_model->stationSettings()->generatorSettings();
    m_surveyTypeMessage->setText(timingWarning(generator->pulseLength, generator->pauseLength));
}

void TervexWidget::showStartRefusal()
{
    const QString reason = m_model->startError();
    if (!reason.isEmpty())
        showMessage(htmlLines(reason));
}

void TervexWidget::onWorkClicked()
{
    if (!validateGeneratorSettings())
        return;
    if (m_currentSurveyType == Automatic) {
        const GeneratorSettings* generator = m_model->stationSettings()->generatorSettings();
        m_autoSettings->setSurveyTiming(int(generator->pulseLength), int(generator->pauseLength), generator->periods,
                                        m_model->usableChannelCount());
        m_autoSettings->setFallbackDirectory(m_model->dataPath());
        m_autoSettings->resetChoice();
        m_autoSettings->setRepeatPolicy(m_model->repeatPolicy());
        m_autoSettings->setLineDescription(m_model->lineName(), m_model->lineOperator(), m_model->lineNote());
        m_autoSettings->show();
        setControls(false, false, false, true);
        return;
    }
    bool started = false;
    if (m_currentSurveyType == Trial)
        started = m_model->runTrial();
    else if (m_currentSurveyType == ElectrodeTest)
        started = m_model->testAllElectrodes();
    else if (m_currentSurveyType == RelayTest)
        started = m_model->testRelays();
    else
        return;
    if (!started) {
        showStartRefusal();
        return;
    }
    m_runTarget.clear();
    setRunStatus(tr("Идёт измерение"));
    clearRecordInfo();
    setControls(true, false, false, false);
    m_progressInfo->clear();
    m_progressInfo->setToolTip(QString());
}

void TervexWidget::onAutoSettingsExecuteClicked()
{
    if (!validateGeneratorSettings())
        return;
    const QString source = m_autoSettings->sequencePath();
    const QString target = m_autoSettings->targetPath();
    // The panel stays open: the operator has only to choose the missing file.
    if (source.isEmpty()) {
        showMessage(tr("Съёмка не начата: не выбран файл последовательности. Выберите его кнопкой «...» "
                       "в строке «Последовательность»."));
        return;
    }
    if (target.isEmpty()) {
        showMessage(tr("Съёмка не начата: не задан файл данных. Выберите его кнопкой «...» в строке "
                       "«Сохранить как»."));
        return;
    }
    m_autoSettings->hide();
    setControls(true, false, false, true);
    m_model->setRepeatPolicy(m_autoSettings->repeatPolicy());
    m_model->setLineDescription(m_autoSettings->lineName(), m_autoSettings->lineOperator(), m_autoSettings->lineNote());
    const QFileInfo sourceFile(source);
    if (sourceFile.exists() && sourceFile.isFile()) {
        m_model->setSeqPath(sourceFile.absolutePath());
        m_autoSettings->setStartDirectory(m_model->seqPath());
    }
    if (!m_model->startSurvey(source, target)) {
        showStartRefusal();
        return;
    }
    m_runTarget = QDir::toNativeSeparators(QFileInfo(target).absoluteFilePath());
    setRunStatus(tr("Съёмка идёт, файл данных: %1").arg(m_runTarget));
    if (!m_model->startNotice().isEmpty())
        messageHandler()(this, QMessageBox::Warning, boxTitle(), htmlLines(m_model->startNotice()));
    clearRecordInfo();
    setControls(true, false, false, false);
    m_progressInfo->clear();
    m_progressInfo->setToolTip(QString());
}

void TervexWidget::onAutoSettingsCancelClicked()
{
    m_autoSettings->hide();
    setControls(true, false, false, true);
}

void TervexWidget::onTestExecuted()
{
    bool started = false;
    switch (m_testPanel->testMode()) {
    case 0:
        started = m_model->testAllElectrodes();
        break;
    case 1:
        started = m_model->testByResistance(m_testPanel->resistanceInterval());
        break;
    case 2:
        started = m_model->testElectrode(m_testPanel->electrodeNumber());
        break;
    default:
        return;
    }
    if (started)
        setRunStatus(tr("Идёт тест электродов"));
    if (!started) {
        // Nothing runs, so no data manager will hand the panel back its "Выполнить".
        m_testPanel->resetPanel();
        showStartRefusal();
    }
}

void TervexWidget::ensureSetupDialog()
{
    if (m_setupDialog)
        return;
    m_setupDialog = new SetupDialog(m_relayMode, m_model->interfaceLanguage(), this);
    connect(m_setupDialog, &SetupDialog::testVoltageClicked, this, &TervexWidget::onSetupTestVoltageClicked);
    connect(m_setupDialog, &SetupDialog::testRBaseClicked, this, &TervexWidget::onSetupTestRBaseClicked);
    connect(m_setupDialog, &SetupDialog::testRDeltaClicked, this, &TervexWidget::onSetupTestRDeltaClicked);
    const TervexDevice* device = m_model->device();
    m_setupDialog->setStationAddress(device->host(), device->commandPort(), device->dataPort());
    connect(m_setupDialog, &SetupDialog::stationAddressApplied, this,
            [this](const QString& host, int commandPort, int dataPort) {
                const QString error = m_model->setStationAddress(host, commandPort, dataPort);
                if (!error.isEmpty()) {
                    messageHandler()(m_setupDialog, QMessageBox::Warning, boxTitle(), error);
                    return;
                }
                const TervexDevice* device = m_model->device();
                m_setupDialog->setStationAddress(device->host(), device->commandPort(), device->dataPort());
                messageHandler()(m_setupDialog, QMessageBox::Information, boxTitle(),
                                 tr("Адрес станции %1, порты %2 и %3 сохранены; они действуют со следующего "
                                    "нажатия «Подключить».")
                                     .arg(device->host())
                                     .arg(device->commandPort())
                                     .arg(device->dataPort()));
            });
    connect(m_setupDialog, &SetupDialog::languageChosen, this, [this](const QString& language) {
        m_model->setInterfaceLanguage(language);
        messageHandler()(m_setupDialog, QMessageBox::Information, boxTitle(),
                         tr("Язык интерфейса сменится при следующем запуске программы."));
    });
}

void TervexWidget::onSetupClicked()
{
    ensureSetupDialog();
    m_setupDialog->exec();
}

void TervexWidget::askTestParameter(const QString& title, const QString& label,
                                    QString (TervexModel::*getter)() const,
                                    void (TervexModel::*setter)(const QString&))
{
    if (!m_setupDialog)
        return;
    QString text;
    if (!textInputHandler()(m_setupDialog, title, label, (m_model->*getter)(), &text) || text.isEmpty())
        return;
    (m_model->*setter)(text);
    showGeneratorInForce();
    // The store clamps what is out of range: the operator learns what was kept.
    const QString stored = (m_model->*getter)();
    bool number = false;
    const int typed = text.trimmed().toInt(&number, 10);
    if (!number)
        messageHandler()(m_setupDialog, QMessageBox::Warning, title,
                         tr("«%1» не является числом; сохранено значение по умолчанию %2.").arg(text, stored));
    else if (QString::number(typed) != stored)
        messageHandler()(m_setupDialog, QMessageBox::Warning, title,
                         tr("Значение %1 вне допустимого диапазона; сохранено ограниченное значение %2.")
                             .arg(typed)
                             .arg(stored));
}

void TervexWidget::onSetupTestVoltageClicked()
{
    askTestParameter(tr("Тест электродов"), tr("Напряжение от 10В до 20В"), &TervexModel::testVoltageText,
                     &TervexModel::setTestVoltage);
}

void TervexWidget::onSetupTestRBaseClicked()
{
    askTestParameter(tr("Тест реле"), tr("Базовое сопротивление от 50 до 150 Ом"), &TervexModel::testRBaseText,
                     &TervexModel::setTestRBase);
}

void TervexWidget::onSetupTestRDeltaClicked()
{
    askTestParameter(tr("Тест реле"), tr("Отклонение сопротивления от 1 до 25 %"), &TervexModel::testRDeltaText,
                     &TervexModel::setTestRDelta);
}

bool TervexWidget::confirmInterruption()
{
    if (!m_model->runActive())
        return true;
    if (!questionHandler()(this, boxTitle(), tr("Идёт измерение. Прервать?")))
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

QString TervexWidget::timeText(qint64 milliseconds)
{
    const qint64 h = milliseconds / 3600000;
    const qint64 m = (milliseconds / 60000) % 60;
    const qint64 s = (milliseconds / 1000) % 60;
    if (h != 0)
        return tr("%1ч %2м %3с").arg(h).arg(m).arg(s);
    if (m != 0)
        return tr("%1м %2с").arg(m).arg(s);
    return tr("%1с").arg(s);
}

QString TervexWidget::progressText(int done, int total, qint64 remainingMs)
{
    // The station's own pauses and the link add about twice the pure recording time.
    return progressLine(done, total, 3 * remainingMs);
}

QString TervexWidget::progressLine(int done, int total, qint64 leftMs)
{
    return tr("запись %1 из %2 | осталось %3").arg(done).arg(total).arg(timeText(leftMs));
}

void TervexWidget::setProgressText(const IMeasurementInfo* info, qint64 remainingMs)
{
    // Once a record of this run has completed, its measured pace is the better estimate.
    const qint64 measured = m_remainingTime.estimate(info->currentStep(), info->stepCount());
    const int done = info->recordsDone();
    const int total = info->recordCount();
    m_progressTotal = total;
    m_progressLeftMs = remainingMs == 0 || measured < 0 ? 3 * remainingMs : measured;
    showRecordsDone(done);
}

void TervexWidget::showRecordsDone(int done)
{
    m_surveyProgress->setValue(done);
    m_progressInfo->setToolTip(progressLine(done, m_progressTotal, m_progressLeftMs));
    m_progressShort = shortProgressLine(done, m_progressTotal, m_progressLeftMs);
    elideProgressText();
}

QString TervexWidget::shortProgressLine(int done, int total, qint64 leftMs)
{
    return QStringLiteral("%1/%2 | %3").arg(done).arg(total).arg(timeText(leftMs));
}

void TervexWidget::elideProgressText()
{
    // A narrow header keeps the remaining time: the short form drops the words, not the numbers.
    const QFontMetrics metrics = m_progressInfo->fontMetrics();
    const int width = m_progressInfo->contentsRect().width();
    const QString full = m_progressInfo->toolTip();
    const QString text = metrics.horizontalAdvance(full) <= width ? full : m_progressShort;
    m_progressInfo->setText(metrics.elidedText(text, Qt::ElideRight, width));
}

void TervexWidget::setProgress(const IMeasurementInfo* info, qint64 remainingMs)
{
    m_surveyProgress->setRange(0, info->recordCount());
    setProgressText(info, remainingMs);
}

void TervexWidget::onSurveyDataManagerPrepared()
{
    m_remainingTime.reset();
    m_runClock.start();
    setControls(true, false, false, false);
    m_generatorPanel->setEnabled(false);
    m_progressInfo->show();
}

void TervexWidget::onSurveyDataManagerStarted()
{
    m_plot->showRecordStarted();
    const IMeasurementInfo* info = m_surveyManager->info();
    if (!info)
        return;
    m_remainingTime.recordStarted(info->currentStep(), m_runClock.elapsed());
    const qint64 left = qint64(info->stepCount()) - info->currentStep() + 1;
    const qint64 remaining = qint64(info->repeats()) * left * 2 * (qint64(info->pulse()) + info->pause());
    setProgress(info, remaining);
    m_tableProgress->setRange(0, info->expectedSamples());
    m_tableProgress->setValue(0);
}

void TervexWidget::onSurveyDataManagerUpdated()
{
    m_plot->scheduleRefresh();
    const IMeasurementInfo* info = m_surveyManager->info();
    if (!info)
        return;
    m_tableProgress->setRange(0, info->expectedSamples());
    m_tableProgress->setValue(info->receivedSamples());
}

void TervexWidget::onSurveyDataManagerCompleted()
{
    m_plot->showRecordResults();
    const IMeasurementInfo* info = m_surveyManager->info();
    const TervexCalculator* calculator = m_surveyManager->calculator();
    const CalculatorResult line = calculator ? calculator->result() : CalculatorResult();
    const ElectrodeSettings* electrodes = m_model->stationSettings()->electrodeSettings();
    // A survey's record carries the numbers the viewer gives its channels in the data file.
    const int first = m_surveyManager->lastRecordFirst();
    const int last = m_surveyManager->lastRecordLast();
    // The header counts this record as done too, so that it and "#" tell the same number.
    if (m_currentSurveyType == Automatic && last >= first) {
        m_recordInfo[0]->setText(first == last ? QStringLiteral("#%1").arg(first)
                                               : QStringLiteral("#%1..%2").arg(first).arg(last));
        showRecordsDone(last);
    } else {
        m_recordInfo[0]->setText(QStringLiteral("#%1").arg(info ? info->currentStep() : 0));
        if (info)
            showRecordsDone(info->currentStep());
    }
    m_recordInfo[1]->setText(QStringLiteral("<b>%1</b>V").arg(QString::number(double(line.voltage), 'g')));
    m_recordInfo[2]->setText(QStringLiteral("<b>%1</b>mA").arg(QString::number(line.current * 1000.0, 'f', 3)));
    m_recordInfo[3]->setText(QStringLiteral("<b>%1</b>Ω").arg(QString::number(double(line.resistance), 'f', 3)));
    m_recordInfo[4]->setText(QStringLiteral("A=<b>%1</b>").arg(electrodes->currentElectrodeA));
    m_recordInfo[5]->setText(QStringLiteral("B=<b>%1</b>").arg(electrodes->currentElectrodeB));
    m_measurementsModel->beginResetModel();
    m_measurementsModel->endResetModel();
    const bool paused = m_model->paused();
    setControls(true, paused, paused, false);
    if (paused)
        waitForOperator();
}

void TervexWidget::endRun()
{
    m_generatorPanel->setEnabled(true);
    m_progressInfo->hide();
    m_repeatInfo->hide();
    m_nextPending = false;
    setControls(true, false, false, true);
}

void TervexWidget::onSurveyDataManagerAllCompleted()
{
    m_plot->flushRefresh();
    m_plot->replot();
    const IMeasurementInfo* info = m_surveyManager->info();
    if (info)
        setProgress(info, 0);
    m_tableProgress->reset();
    endRun();
    if (m_currentSurveyType == Automatic && !m_runTarget.isEmpty())
        setStatus(tr("Съёмка завершена, файл данных: %1").arg(m_runTarget));
    else
        setStatus(tr("Пробная запись завершена"));
}

void TervexWidget::onSurveyDataManagerAborted()
{
    m_plot->flushRefresh();
    m_plot->replot();
    m_surveyProgress->reset();
    m_tableProgress->reset();
    endRun();
    if (m_currentSurveyType == Automatic && !m_runTarget.isEmpty())
        setStatus(tr("Съёмка остановлена; записанные измерения сохранены в %1").arg(m_runTarget));
    else
        setStatus(tr("Измерение остановлено"));
}

void TervexWidget::onTestDataManagerPrepared()
{
    m_remainingTime.reset();
    m_runClock.start();
    setControls(true, false, false, false);
    showTestChart();
    m_generatorPanel->setEnabled(false);
    m_progressInfo->show();
}

void TervexWidget::onTestDataManagerStarted()
{
    const IMeasurementInfo* info = m_testManager->info();
    if (!info)
        return;
    m_remainingTime.recordStarted(info->currentStep(), m_runClock.elapsed());
    const qint64 remaining = 2400 * (qint64(info->stepCount()) - info->currentStep() + 1);
    setProgress(info, remaining);
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
        setProgress(info, 0);
    endRun();
    m_testPanel->resetPanel();
    const QString report = m_testManager->lastReportPath();
    setStatus(report.isEmpty() ? tr("Тест завершён")
                               : tr("Тест завершён, отчёт: %1").arg(QDir::toNativeSeparators(report)));
}

void TervexWidget::onTestDataManagerAborted()
{
    m_surveyProgress->reset();
    endRun();
    m_testPanel->resetPanel();
    setStatus(tr("Тест остановлен"));
}

void TervexWidget::onRunFailed(const QString& reason)
{
    m_runFailure = reason;
    QString text = tr("<h2>Внимание!</h2><p>Измерение прервано: %1</p>").arg(reason.toHtmlEscaped());
    if (m_currentSurveyType == Automatic)
        text += tr("<p>Записанные измерения сохранены. Съёмку можно продолжить: выберите её файл "
                               "данных (.etr) в режиме АВТОМАТ вместо файла последовательности.</p>");
    showMessage(text);
}

void TervexWidget::onRunWaitingForNext()
{
    const bool test = m_currentSurveyType == ElectrodeTest || m_currentSurveyType == RelayTest;
    setControls(true, !test, true, false);
    waitForOperator();
}

void TervexWidget::onRunRepeating(const QString& reason)
{
    m_repeatInfo->setText(reason);
    m_repeatInfo->setVisible(!reason.isEmpty());
}

void TervexWidget::onSurveyReported(const QString& text, const QString& path, const QString& error)
{
    QString message = QStringLiteral("<pre>%1</pre>").arg(text.toHtmlEscaped());
    message += path.isEmpty()
                   ? tr("<p>Отчёт не записан: %1</p>").arg(error.toHtmlEscaped())
                   : tr("<p>Отчёт записан в %1</p>").arg(QDir::toNativeSeparators(path).toHtmlEscaped());
    // Not from inside the run's last signal: a failure's own message comes first.
    QTimer::singleShot(0, this, [message]() { messageHandler()(nullptr, QMessageBox::Information, boxTitle(), message); });
}

void TervexWidget::onTestVerdict(const QString& message)
{
    messageHandler()(nullptr, QMessageBox::Information, boxTitle(), message);
}

bool TervexWidget::spaceTogglesPause() const
{
    if (!m_model->runActive() || !m_pauseButton->isEnabled())
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
    m_pauseButton->setChecked(!m_pauseButton->isChecked());
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
