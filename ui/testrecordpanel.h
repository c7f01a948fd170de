#ifndef TESTRECORDPANEL_H
#define TESTRECORDPANEL_H

#include <QFrame>

class QStackedWidget;

// Chooses which electrodes an electrode test measures: all of them, one electrode, or the
// positions whose last resistance exceeds a threshold.
class TestRecordPanel : public QFrame
{
    Q_OBJECT

public:
    enum TestMode { AllElectrodes = 0, ByResistance = 1, SingleElectrode = 2 };

    explicit TestRecordPanel(QWidget* parent = nullptr);

    int testMode() const { return m_testMode; }
    int electrodeNumber() const { return m_electrodeNumber; }
    // 0..3 for the thresholds 1, 3, 10 and 50 kOhm.
    int resistanceInterval() const { return m_resistanceInterval; }

Q_SIGNALS:
    void executed();
    void cancelled();

public Q_SLOTS:
    void onTestModeChanged(int index, bool toggled);
    void onElectrodeChanged(int electrode_number);
    void onResistanceIntervalChanged(int id, bool checked);
    void onExecuteClicked(bool checked);
    void onCancelClicked();
    // Back to "Выполнить" when the run has ended, without a signal.
    void resetPanel();

private:
    int m_testMode = AllElectrodes;
    int m_electrodeNumber = 1;
    int m_resistanceInterval = 3;
    QStackedWidget* m_modeStack = nullptr;
    QStackedWidget* m_actionStack = nullptr;
};

#endif
