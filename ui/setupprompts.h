#ifndef SETUPPROMPTS_H
#define SETUPPROMPTS_H

#include <QObject>
#include <QString>

class SetupDialog;
class TervexModel;
class QWidget;

// The callers of the "Параметры" dialog: builds it once over the window, asks for the test
// parameters it offers and stores what the operator chose (address, language) through the model,
// telling the operator what was kept.
class SetupPrompts : public QObject
{
    Q_OBJECT

public:
    SetupPrompts(TervexModel* model, bool relayMode, QWidget* window);

    // Null until first opened.
    SetupDialog* dialog() const { return m_dialog; }
    void ensureDialog();
    // Opens the dialog modally.
    void exec();
    // Each asks only while the dialog exists.
    void askTestVoltage();
    void askTestRBase();
    void askTestRDelta();

Q_SIGNALS:
    // A test parameter was stored: the generator panel shows the test's values anew.
    void testParameterChanged();

private:
    void askTestParameter(const QString& title, const QString& label, QString (TervexModel::*getter)() const,
                          void (TervexModel::*setter)(const QString&));
    void applyStationAddress(const QString& host, int commandPort, int dataPort);

    TervexModel* m_model;
    bool m_relayMode;
    QWidget* m_window;
    SetupDialog* m_dialog = nullptr;
};

#endif
