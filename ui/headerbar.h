#ifndef HEADERBAR_H
#define HEADERBAR_H

#include <QFrame>

class QButtonGroup;
class QLabel;

// The bar along the top of the window: the page toggles, the battery and the run's progress line
// (shown while connected), and the buttons for full screen, reconnecting, the settings dialog and
// the data-file viewer.
class HeaderBar : public QFrame
{
    Q_OBJECT

public:
    explicit HeaderBar(QWidget* parent = nullptr);

    // The toggles, the battery and the progress line are there only while a station is connected.
    void setConnected(bool connected);
    void setBatteryVoltage(double volts);
    // Orange, as the timing warning, when the battery is below its warning limit.
    void setBatteryLow(bool low);
    // The progress line keeps its whole text as its tip and shows it when it fits, else as much of
    // the brief form as fits.
    void setProgressText(const QString& text, const QString& brief = QString());
    void setProgressVisible(bool visible);

Q_SIGNALS:
    void controlViewToggled(int id, bool checked);
    void resultViewToggled(int id, bool checked);
    void fullScreenClicked();
    void reconnectClicked();
    void setupClicked();
    void viewerClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* createToggle(QButtonGroup** group, const QStringList& labels, QWidget* parent);
    void elideProgressText();

    QWidget* m_container = nullptr;
    QButtonGroup* m_controlViewGroup = nullptr;
    QButtonGroup* m_resultViewGroup = nullptr;
    QLabel* m_battery = nullptr;
    QLabel* m_progressInfo = nullptr;
    QString m_progressBrief;
};

#endif
