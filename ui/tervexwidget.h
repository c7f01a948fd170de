#ifndef TERVEXWIDGET_H
#define TERVEXWIDGET_H

#include <QWidget>

class QLabel;
class QPushButton;
class QStackedWidget;
class TervexModel;

// The program's window. For now it connects to the station and shows what the station reports.
class TervexWidget : public QWidget
{
    Q_OBJECT

public:
    TervexWidget(TervexModel* model, bool relayMode, QWidget* parent = nullptr);

    bool relayMode() const { return m_relayMode; }

protected:
    void closeEvent(QCloseEvent* event) override;

private Q_SLOTS:
    void onConnectClicked();
    void onDeviceConnecting();
    void onDeviceConnected();
    void onDeviceDisconnected();
    void onDeviceStatusUpdated();
    void onDeviceSettingsUpdated();

private:
    TervexModel* m_model;
    bool m_relayMode;
    QStackedWidget* m_body = nullptr;
    QPushButton* m_connectButton = nullptr;
    QLabel* m_connectionState = nullptr;
    QWidget* m_headerContainer = nullptr;
    QLabel* m_battery = nullptr;
    QLabel* m_serial = nullptr;
    QLabel* m_adapter = nullptr;
    QLabel* m_generator = nullptr;
    QLabel* m_gps = nullptr;
    QLabel* m_channels = nullptr;
};

#endif
