#include "ui/resultstack.h"

#include "measurement/imeasurementinfo.h"
#include "measurement/tervexcalculator.h"
#include "station/tervexsettings.h"
#include "survey/surveydatamanager.h"
#include "ui/measurementplot.h"
#include "ui/livemodelpage.h"
#include "ui/measurementstablemodel.h"
#include "ui/modelview.h"
#include "ui/pseudosectionview.h"
#include "ui/windowparts.h"

#include <QButtonGroup>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <qcustomplot.h>

ResultStack::ResultStack(SurveyDataManager* surveyManager, TervexSettings* settings, LiveModel* liveModel,
                         QWidget* parent)
    : QStackedWidget(parent)
    , m_surveyManager(surveyManager)
    , m_settings(settings)
{
    m_plot = new MeasurementPlot(m_surveyManager, m_settings, this);
    addWidget(m_plot->plot());
    addWidget(createTablePage());
    addWidget(createSectionPage(liveModel));
}

QWidget* ResultStack::createSectionPage(LiveModel* liveModel)
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* toggles = new QHBoxLayout;
    toggles->setContentsMargins(5, 2, 5, 0);
    auto* group = new QButtonGroup(page);
    const QStringList labels{WindowParts::tr("ПСЕВДОРАЗРЕЗ"), WindowParts::tr("МОДЕЛЬ")};
    for (int id = 0; id < labels.size(); ++id) {
        QPushButton* button = WindowParts::tabButton(labels.at(id), page);
        button->setObjectName(QStringLiteral("data_view_type_button"));
        button->setChecked(id == PseudosectionSection);
        group->addButton(button, id);
        toggles->addWidget(button);
    }
    toggles->addStretch(1);
    layout->addLayout(toggles);
    auto* views = new QStackedWidget(page);
    // The survey's pseudosection of the data the filter keeps, one record more after every stored
    // record; drawn again as a whole when a record drops data shown before.
    m_pseudosection = new PseudosectionView(views);
    connect(m_surveyManager, &SurveyDataManager::surveyDataReset, m_pseudosection, [this]() {
        m_kept.setFilter(m_surveyManager->dataFilter());
        m_kept.reset(m_surveyManager->surveyData());
        m_pseudosection->plot()->setData(m_kept.kept(), true);
    });
    connect(m_surveyManager, &SurveyDataManager::recordDataAdded, m_pseudosection, [this](int first) {
        QVector<SurveyDatum> added;
        if (m_kept.update(m_surveyManager->surveyData(), first, &added))
            m_pseudosection->plot()->setData(m_kept.kept(), true);
        else
            m_pseudosection->plot()->addData(added, true);
    });
    views->addWidget(m_pseudosection);
    m_modelPage = new LiveModelPage(liveModel, views);
    views->addWidget(m_modelPage);
    // The model's colours by default those of the pseudosection's resistivity, to compare the two.
    m_modelPage->view()->followPseudosection(m_pseudosection->plot());
    layout->addWidget(views, 1);
    connect(group, &QButtonGroup::idToggled, views, [views](int id, bool checked) {
        if (checked)
            views->setCurrentIndex(id);
    });
    return page;
}

QWidget* ResultStack::createTablePage()
{
    m_tablePage = new QStackedWidget(this);
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
    auto* unavailable = new QLabel(WindowParts::tr("Не доступно"), m_tablePage);
    unavailable->setAlignment(Qt::AlignCenter);
    m_tablePage->addWidget(unavailable);
    return m_tablePage;
}

void ResultStack::setTableAvailable(bool available)
{
    m_tablePage->setCurrentIndex(available ? 0 : 1);
}

void ResultStack::clearRecordInfo()
{
    for (QLabel* label : m_recordInfo)
        label->clear();
}

int ResultStack::showRecordResults(bool surveyNumbers)
{
    m_plot->showRecordResults();
    const IMeasurementInfo* info = m_surveyManager->info();
    const TervexCalculator* calculator = m_surveyManager->calculator();
    const CalculatorResult line = calculator ? calculator->result() : CalculatorResult();
    const ElectrodeSettings* electrodes = m_settings->electrodeSettings();
    const int first = m_surveyManager->lastRecordFirst();
    const int last = m_surveyManager->lastRecordLast();
    int done = -1;
    if (surveyNumbers && last >= first) {
        m_recordInfo[0]->setText(first == last ? QStringLiteral("#%1").arg(first)
                                               : QStringLiteral("#%1..%2").arg(first).arg(last));
        done = last;
    } else {
        m_recordInfo[0]->setText(QStringLiteral("#%1").arg(info ? info->currentStep() : 0));
        if (info)
            done = info->currentStep();
    }
    m_recordInfo[1]->setText(QStringLiteral("<b>%1</b>V").arg(QString::number(double(line.voltage), 'g')));
    m_recordInfo[2]->setText(QStringLiteral("<b>%1</b>mA").arg(QString::number(line.current * 1000.0, 'f', 3)));
    m_recordInfo[3]->setText(QStringLiteral("<b>%1</b>Ω").arg(QString::number(double(line.resistance), 'f', 3)));
    m_recordInfo[4]->setText(QStringLiteral("A=<b>%1</b>").arg(electrodes->currentElectrodeA));
    m_recordInfo[5]->setText(QStringLiteral("B=<b>%1</b>").arg(electrodes->currentElectrodeB));
    m_measurementsModel->beginResetModel();
    m_measurementsModel->endResetModel();
    return done;
}

void ResultStack::setSampleProgress(int expected, int received)
{
    m_tableProgress->setRange(0, expected);
    m_tableProgress->setValue(received);
}

void ResultStack::resetSampleProgress()
{
    m_tableProgress->reset();
}
