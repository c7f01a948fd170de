#ifndef SETUPDIALOG_H
#define SETUPDIALOG_H

#include <QDialog>

class QLineEdit;
class QSpinBox;

// The "Параметры" dialog: the station's address and ports, the test parameters the operator may
// change and the interface language. It only reports what was asked; the window asks for the
// values and keeps the settings.
class SetupDialog : public QDialog
{
    Q_OBJECT

public:
    // relayMode: the relay test's parameters are offered too. language: the current setting,
    // "ru", "en", or empty for the system's.
    SetupDialog(bool relayMode, const QString& language, QWidget* parent = nullptr);

    // Shows the address the next connection uses.
    void setStationAddress(const QString& host, int commandPort, int dataPort);

Q_SIGNALS:
    void testVoltageClicked();
    void testRBaseClicked();
    void testRDeltaClicked();
    // Another language than the current one was chosen.
    void languageChosen(const QString& language);
    // "Сохранить адрес" was pressed with these values, not yet checked.
    void stationAddressApplied(const QString& host, int commandPort, int dataPort);

private:
    QString m_language;
    QLineEdit* m_host = nullptr;
    QSpinBox* m_commandPort = nullptr;
    QSpinBox* m_dataPort = nullptr;
};

#endif
