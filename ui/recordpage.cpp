#include "ui/recordpage.h"

#include "app/tervexmodel.h"
#include "ui/autosettingswidget.h"
#include "ui/generatorcontrolwidget.h"
#include "ui/testrecordpanel.h"
#include "ui/windowparts.h"

#include <QButtonGroup>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

QFrame* toolFrame(QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QStringLiteral("survey_type_tool_frame"));
    return frame;
}

} // namespace

RecordPage::RecordPage(TervexModel* model, const QList<RunType>& runTypes, QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(createSurveyTypeFrame(runTypes));

    m_generatorPanel = new GeneratorControlWidget(model, this);
    m_generatorPanel->setObjectName(QStringLiteral("survey_type_tool_frame"));
    if (m_generatorPanel->layout())
        m_generatorPanel->layout()->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(m_generatorPanel);

    layout->addWidget(createRunControls(model));

    m_testPanel = new TestRecordPanel(this);
    m_testPanel->setObjectName(QStringLiteral("survey_type_tool_frame"));
    m_testPanel->hide();
    layout->addWidget(m_testPanel);
    // Stacks inside the frames would otherwise claim the page's spare height.
    for (QWidget* frame : {static_cast<QWidget*>(m_surveyTypeFrame), static_cast<QWidget*>(m_generatorPanel),
                           static_cast<QWidget*>(m_runControls), static_cast<QWidget*>(m_testPanel)})
        frame->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    layout->addStretch();
}

QFrame* RecordPage::createSurveyTypeFrame(const QList<RunType>& runTypes)
{
    m_surveyTypeFrame = toolFrame(this);
    auto* typeLayout = new QVBoxLayout(m_surveyTypeFrame);
    auto* typeRow = new QHBoxLayout;
    typeRow->setSpacing(0);
    typeRow->addStretch();
    m_surveyTypeGroup = new QButtonGroup(m_surveyTypeFrame);
    for (const RunType& type : runTypes) {
        QPushButton* button = WindowParts::tabButton(type.text, m_surveyTypeFrame);
        button->setChecked(m_surveyTypeGroup->buttons().isEmpty());
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
    connect(m_surveyTypeGroup, &QButtonGroup::idToggled, this, &RecordPage::surveyTypeToggled);
    return m_surveyTypeFrame;
}

QFrame* RecordPage::createRunControls(TervexModel* model)
{
    m_runControls = toolFrame(this);
    auto* controls = new QVBoxLayout(m_runControls);
    auto* buttons = new QHBoxLayout;
    m_workStopStack = new QStackedWidget(m_runControls);
    m_workStopStack->setFixedHeight(32);
    m_workButton = new QPushButton(WindowParts::tr("Работа"), m_workStopStack);
    m_stopButton = new QPushButton(WindowParts::tr("Стоп"), m_workStopStack);
    m_workStopStack->addWidget(m_workButton);
    m_workStopStack->addWidget(m_stopButton);
    m_repeatButton = new QPushButton(WindowParts::tr("Повтор"), m_runControls);
    m_nextButton = new QPushButton(WindowParts::tr("След."), m_runControls);
    m_pauseButton = new QPushButton(WindowParts::tr("Пауза"), m_runControls);
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
    m_autoSettings->setStartDirectory(model->seqPath());
    m_autoSettings->hide();
    controls->addWidget(m_autoSettings);
    connect(m_workButton, &QPushButton::clicked, this, &RecordPage::workClicked);
    connect(m_stopButton, &QPushButton::clicked, this, &RecordPage::stopClicked);
    connect(m_repeatButton, &QPushButton::clicked, this, &RecordPage::repeatClicked);
    connect(m_nextButton, &QPushButton::clicked, this, &RecordPage::nextClicked);
    connect(m_pauseButton, &QPushButton::toggled, this, &RecordPage::pauseToggled);
    return m_runControls;
}

void RecordPage::setControls(bool work, bool repeat, bool next, bool idle)
{
    m_surveyTypeFrame->setEnabled(idle);
    m_workStopStack->setCurrentWidget(idle ? m_workButton : m_stopButton);
    m_workButton->setEnabled(work);
    m_repeatButton->setEnabled(repeat);
    m_nextButton->setEnabled(next);
    m_stopButton->setEnabled(true);
}

void RecordPage::showTestPanel(bool test)
{
    m_runControls->setVisible(!test);
    m_testPanel->setVisible(test);
}

bool RecordPage::pauseAvailable() const
{
    return m_pauseButton->isEnabled();
}

void RecordPage::setPauseAvailable(bool available)
{
    m_pauseButton->setEnabled(available);
}

bool RecordPage::pauseChecked() const
{
    return m_pauseButton->isChecked();
}

void RecordPage::setPauseChecked(bool checked)
{
    m_pauseButton->setChecked(checked);
}

QString RecordPage::timingWarning() const
{
    return m_surveyTypeMessage->text();
}

void RecordPage::setTimingWarning(const QString& text)
{
    m_surveyTypeMessage->setText(text);
}

void RecordPage::setRepeatInfo(const QString& reason)
{
    m_repeatInfo->setText(reason);
    m_repeatInfo->setVisible(!reason.isEmpty());
}
