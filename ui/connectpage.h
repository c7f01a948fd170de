#ifndef CONNECTPAGE_H
#define CONNECTPAGE_H

#include <QWidget>

class QLabel;
class QPushButton;
class QStackedWidget;

// What the window shows without a station: "Подключить" and, under it, how the last attempt went.
class ConnectPage : public QWidget
{
    Q_OBJECT

public:
    explicit ConnectPage(QWidget* parent = nullptr);

    void setStateText(const QString& text);
    void showConnectButton();
    // Off while a link is up but the station has not yet described itself.
    void setConnectEnabled(bool enabled);

Q_SIGNALS:
    void connectClicked();

private:
    QStackedWidget* m_connectStack = nullptr;
    QPushButton* m_connectButton = nullptr;
    QLabel* m_connectionState = nullptr;
};

#endif
