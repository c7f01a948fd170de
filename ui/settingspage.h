#ifndef SETTINGSPAGE_H
#define SETTINGSPAGE_H

#include <QWidget>

class ITervexSettings;
class QSpinBox;
class QTableView;
class StationSettingsTableModel;

// "НАСТРОЙКА": the current electrodes Ca and Cb and the channel table, edited in the settings mirror.
class SettingsPage : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsPage(ITervexSettings* settings, QWidget* parent = nullptr);

    // Around every refresh of the mirror from the station.
    void beginSettingsUpdate();
    void endSettingsUpdate();

Q_SIGNALS:
    // The operator changed the current electrode A / B.
    void caChanged(int electrode);
    void cbChanged(int electrode);

private:
    ITervexSettings* m_settings;
    QSpinBox* m_ca = nullptr;
    QSpinBox* m_cb = nullptr;
    QTableView* m_settingsTable = nullptr;
    StationSettingsTableModel* m_settingsModel = nullptr;
};

#endif
