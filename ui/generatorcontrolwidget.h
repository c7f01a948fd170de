#ifndef GENERATORCONTROLWIDGET_H
#define GENERATORCONTROLWIDGET_H

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
    TervexModel* m_model = nullptr;
    QSpinBox* m_voltage = nullptr;
    QSpinBox* m_repeats = nullptr;
    QSpinBox* m_pulse = nullptr;
    QSpinBox* m_pause = nullptr;
};

#endif
