#ifndef SETUPDIALOG_H
#define SETUPDIALOG_H

#include <QDialog>

// The "Параметры" dialog: the test parameters the operator may change and the interface language.
// It only reports what was asked; the window asks for the values and keeps the settings.
class SetupDialog : public QDialog
{
    Q_OBJECT

public:
    // relayMode: the relay test's parameters are offered too. language: the current setting,
    // "ru", "en", or empty for the system's.
    SetupDialog(bool relayMode, const QString& language, QWidget* parent = nullptr);

Q_SIGNALS:
    void testVoltageClicked();
    void testRBaseClicked();
    void testRDeltaClicked();
    // Another language than the current one was chosen.
    void languageChosen(const QString& language);

private:
    QString m_language;
};

#endif
