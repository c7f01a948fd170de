#ifndef GENERATORCONTROLWIDGET_H
#define GENERATORCONTROLWIDGET_H

#include "station/stationrecords.h"

#include <QFrame>

class QSpinBox;
class TervexModel;

// Voltage, repeats, pulse and pause of the generator, written straight into the model's mirror
// of the station settings; they reach the station with the next record.
class GeneratorControlWidget : public QFrame
{
    Q_OBJECT

public:
    explicit GeneratorControlWidget(TervexModel* model, QWidget* parent = nullptr);

    // A test runs with its own settings: they are shown, read-only, until the panel is released.
    void showFixed(const GeneratorSettings& settings);
    void release();
    bool isFixed() const { return m_fixed; }

Q_SIGNALS:
    // The operator changed the pulse or the pause.
    void timingEdited();

public Q_SLOTS:
    void onVoltageChanged(int val);
    void onRepeatsChanged(int val);
    void onPulseChanged(int val);
    void onRelaxChanged(int val);
    void onDeviceSettingsUpdated();

private:
    void showValues(const GeneratorSettings& settings);

    TervexModel* m_model = nullptr;
    bool m_fixed = false;
    QSpinBox* m_voltage = nullptr;
    QSpinBox* m_repeats = nullptr;
    QSpinBox* m_pulse = nullptr;
    QSpinBox* m_pause = nullptr;
};

#endif
