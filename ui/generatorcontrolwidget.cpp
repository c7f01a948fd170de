#include "ui/generatorcontrolwidget.h"

#include "app/tervexmodel.h"
#include "ui/stationvaluebox.h"

#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

static QSpinBox* makeSpinBox(int minimum, int maximum, int value, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setValue(value);
    box->setAlignment(Qt::AlignCenter);
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return box;
}

GeneratorControlWidget::GeneratorControlWidget(TervexModel* model, QWidget* parent)
    : QFrame(parent), m_model(model)
{
    m_voltage = makeSpinBox(0, 500, 10, this);
    m_repeats = makeSpinBox(1, 100, 1, this);
    m_pulse = makeSpinBox(50, 60000, 100, this);
    m_pause = makeSpinBox(0, 60000, 100, this);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(5);
    grid->addWidget(new QLabel(tr("Напряжение"), this), 0, 0);
    grid->addWidget(new QLabel(tr("Повторения"), this), 0, 1);
    grid->addWidget(m_voltage, 1, 0);
    grid->addWidget(m_repeats, 1, 1);
    grid->addWidget(new QLabel(tr("Импульс"), this), 2, 0);
    grid->addWidget(new QLabel(tr("Пауза"), this), 2, 1);
    grid->addWidget(m_pulse, 3, 0);
    grid->addWidget(m_pause, 3, 1);

    // Connected after the initial values are set: they are not the station's settings.
    connect(m_voltage, qOverload<int>(&QSpinBox::valueChanged), this, &GeneratorControlWidget::onVoltageChanged);
    connect(m_repeats, qOverload<int>(&QSpinBox::valueChanged), this, &GeneratorControlWidget::onRepeatsChanged);
    connect(m_pulse, qOverload<int>(&QSpinBox::valueChanged), this, &GeneratorControlWidget::onPulseChanged);
    connect(m_pause, qOverload<int>(&QSpinBox::valueChanged), this, &GeneratorControlWidget::onRelaxChanged);

    if (m_model)
        connect(m_model, &TervexModel::settingsUpdated, this, &GeneratorControlWidget::onDeviceSettingsUpdated);
}

void GeneratorControlWidget::onVoltageChanged(int val)
{
    if (m_model)
        m_model->stationSettings()->generatorSettings()->voltage = quint16(val);
}

void GeneratorControlWidget::onRepeatsChanged(int val)
{
    if (m_model)
        m_model->stationSettings()->generatorSettings()->periods = quint16(val);
}

void GeneratorControlWidget::onPulseChanged(int val)
{
    if (!m_model)
        return;
    m_model->stationSettings()->generatorSettings()->pulseLength = quint32(val);
    Q_EMIT timingEdited();
}

void GeneratorControlWidget::onRelaxChanged(int val)
{
    if (!m_model)
        return;
    m_model->stationSettings()->generatorSettings()->pauseLength = quint32(val);
    Q_EMIT timingEdited();
}

void GeneratorControlWidget::onDeviceSettingsUpdated()
{
    if (!m_model)
        return;
    // Showing the station's values must not write them back: a value outside a box's range (a
    // resumed survey's recorded timing, say) stays in the mirror exactly as it came.
    if (!m_fixed)
        showValues(*m_model->stationSettings()->generatorSettings());
}

void GeneratorControlWidget::showValues(const GeneratorSettings& settings)
{
    StationValueBox::show(m_voltage, settings.voltage);
    StationValueBox::show(m_repeats, settings.periods);
    StationValueBox::show(m_pulse, settings.pulseLength);
    StationValueBox::show(m_pause, settings.pauseLength);
}

void GeneratorControlWidget::showFixed(const GeneratorSettings& settings)
{
    m_fixed = true;
    showValues(settings);
    for (QSpinBox* box : {m_voltage, m_repeats, m_pulse, m_pause}) {
        box->setReadOnly(true);
        box->setButtonSymbols(QAbstractSpinBox::NoButtons);
        box->setToolTip(tr("Тест выполняется со своими значениями; напряжение теста задаётся в «Параметры»"));
    }
}

void GeneratorControlWidget::release()
{
    if (!m_fixed)
        return;
    m_fixed = false;
    for (QSpinBox* box : {m_voltage, m_repeats, m_pulse, m_pause}) {
        box->setReadOnly(false);
        box->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        box->setToolTip(QString());
    }
    onDeviceSettingsUpdated();
}
