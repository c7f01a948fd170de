#ifndef STATIONPAGE_H
#define STATIONPAGE_H

#include <QWidget>

class ClickableLabel;
class ITervexSettings;
class QLabel;
class QTableView;
class StationInfoTableModel;

// "СТАНЦИЯ": the station's serial number, firmware versions and GPS position, and the state of
// every channel, from the settings mirror.
class StationPage : public QWidget
{
    Q_OBJECT

public:
    explicit StationPage(ITervexSettings* settings, QWidget* parent = nullptr);

    // Around every refresh of the mirror from the station.
    void beginSettingsUpdate();
    void endSettingsUpdate();
    QString gpsText() const;
    void setGpsText(const QString& text);

Q_SIGNALS:
    void gpsClicked();

private:
    ITervexSettings* m_settings;
    QLabel* m_serial = nullptr;
    QLabel* m_adapter = nullptr;
    QLabel* m_generator = nullptr;
    ClickableLabel* m_gps = nullptr;
    QTableView* m_infoTable = nullptr;
    StationInfoTableModel* m_infoModel = nullptr;
};

#endif
