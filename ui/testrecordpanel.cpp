#include "ui/testrecordpanel.h"

#include "measurement/electrodeposition.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

constexpr int ButtonHeight = 30;

QPushButton* makeModeButton(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QStringLiteral("survey_type_button"));
    button->setFlat(true);
    button->setCheckable(true);
    button->setFixedHeight(ButtonHeight);
    return button;
}

QPushButton* makeActionButton(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setFixedHeight(ButtonHeight);
    return button;
}

}

TestRecordPanel::TestRecordPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("survey_type_tool_frame"));

    // Mode bar: the buttons' ids are the mode ids, which also index the mode pages.
    auto* modeFrame = new QFrame(this);
    modeFrame->setObjectName(QStringLiteral("test_mode_frame"));
    modeFrame->setStyleSheet(
        QStringLiteral("QFrame#test_mode_frame {background: transparent; border-bottom: 1px solid #ccc;}"));
    auto* modeLayout = new QHBoxLayout(modeFrame);
    modeLayout->setContentsMargins(0, 0, 0, 10);
    auto* modeGroup = new QButtonGroup(this);
    QPushButton* allButton = makeModeButton(tr("ВСЕ"), modeFrame);
    allButton->setChecked(true);
    modeGroup->addButton(allButton, AllElectrodes);
    modeGroup->addButton(makeModeButton(tr("ЭЛЕКТРОД"), modeFrame), SingleElectrode);
    modeGroup->addButton(makeModeButton(tr("ДИАПАЗОН"), modeFrame), ByResistance);
    modeLayout->addStretch();
    for (QAbstractButton* button : modeGroup->buttons())
        modeLayout->addWidget(button);
    modeLayout->addStretch();

    m_modeStack = new QStackedWidget(this);

    auto* allLabel = new QLabel(tr("Тестирование всех электродов"), m_modeStack);
    allLabel->setStyleSheet(QStringLiteral("QLabel { color: #666; }"));
    allLabel->setAlignment(Qt::AlignCenter);
    m_modeStack->addWidget(allLabel);

    auto* rangePage = new QWidget(m_modeStack);
    auto* rangeGrid = new QGridLayout(rangePage);
    rangeGrid->setSpacing(0);
    auto* rangeGroup = new QButtonGroup(this);
    const QStringList thresholds = {tr("> 1кОм"), tr("> 3кОм"), tr("> 10кОм"),
                                    tr("> 50кОм")};
    for (int id = 0; id < thresholds.size(); ++id) {
        auto* radio = new QRadioButton(thresholds.at(id), rangePage);
        radio->setFixedHeight(ButtonHeight);
        radio->setChecked(id == m_resistanceInterval);
        rangeGroup->addButton(radio, id);
        rangeGrid->addWidget(radio, id / 2, id % 2);
    }
    m_modeStack->addWidget(rangePage);

    auto* electrodePage = new QWidget(m_modeStack);
    auto* electrodeLayout = new QHBoxLayout(electrodePage);
    auto* electrodeBox = new QSpinBox(electrodePage);
    electrodeBox->setRange(1, Electrodes::Count);
    electrodeBox->setValue(m_electrodeNumber);
    electrodeBox->setAlignment(Qt::AlignCenter);
    electrodeLayout->addStretch();
    electrodeLayout->addWidget(new QLabel(tr("Номер электрода:"), electrodePage));
    electrodeLayout->addWidget(electrodeBox);
    electrodeLayout->addStretch();
    m_modeStack->addWidget(electrodePage);

    m_actionStack = new QStackedWidget(this);
    QPushButton* executeButton = makeActionButton(tr("Выполнить"), m_actionStack);
    QPushButton* cancelButton = makeActionButton(tr("Отмена"), m_actionStack);
    m_actionStack->addWidget(executeButton);
    m_actionStack->addWidget(cancelButton);
    m_actionStack->setFixedHeight(ButtonHeight);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(modeFrame);
    layout->addWidget(m_modeStack);
    layout->addWidget(m_actionStack);

    connect(modeGroup, &QButtonGroup::idToggled, this, &TestRecordPanel::onTestModeChanged);
    connect(rangeGroup, &QButtonGroup::idToggled, this, &TestRecordPanel::onResistanceIntervalChanged);
    connect(electrodeBox, qOverload<int>(&QSpinBox::valueChanged), this, &TestRecordPanel::onElectrodeChanged);
    connect(executeButton, &QPushButton::clicked, this, &TestRecordPanel::onExecuteClicked);
    connect(cancelButton, &QPushButton::clicked, this, &TestRecordPanel::onCancelClicked);
}

void TestRecordPanel::onTestModeChanged(int index, bool toggled)
{
    if (!toggled)
        return;
    m_modeStack->setCurrentIndex(index);
    m_testMode = index;
}

void TestRecordPanel::onElectrodeChanged(int electrode_number)
{
    m_electrodeNumber = electrode_number;
}

void TestRecordPanel::onResistanceIntervalChanged(int id, bool checked)
{
    if (checked)
        m_resistanceInterval = id;
}

void TestRecordPanel::onExecuteClicked(bool checked)
{
    Q_UNUSED(checked)
    m_actionStack->setCurrentIndex(1);
    emit executed();
}

void TestRecordPanel::onCancelClicked()
{
    m_actionStack->setCurrentIndex(0);
    emit cancelled();
}

void TestRecordPanel::resetPanel()
{
    m_actionStack->setCurrentIndex(0);
}
