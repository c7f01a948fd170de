#include "ui/setupprompts.h"

#include "app/tervexmodel.h"
#include "station/tervexdevice.h"
#include "ui/setupdialog.h"
#include "ui/windowprompts.h"

SetupPrompts::SetupPrompts(TervexModel* model, bool relayMode, QWidget* window)
    : QObject(window)
    , m_model(model)
    , m_relayMode(relayMode)
    , m_window(window)
{
}

void SetupPrompts::ensureDialog()
{
    if (m_dialog)
        return;
    m_dialog = new SetupDialog(m_relayMode, m_model->interfaceLanguage(), m_window);
    connect(m_dialog, &SetupDialog::testVoltageClicked, this, &SetupPrompts::askTestVoltage);
    connect(m_dialog, &SetupDialog::testRBaseClicked, this, &SetupPrompts::askTestRBase);
    connect(m_dialog, &SetupDialog::testRDeltaClicked, this, &SetupPrompts::askTestRDelta);
    const TervexDevice* device = m_model->device();
    m_dialog->setStationAddress(device->host(), device->commandPort(), device->dataPort());
    connect(m_dialog, &SetupDialog::stationAddressApplied, this, &SetupPrompts::applyStationAddress);
    connect(m_dialog, &SetupDialog::languageChosen, this, [this](const QString& language) {
        m_model->setInterfaceLanguage(language);
        WindowPrompts::message(m_dialog, QMessageBox::Information, WindowPrompts::windowTitle(),
                               tr("Язык интерфейса сменится при следующем запуске программы."));
    });
}

void SetupPrompts::exec()
{
    ensureDialog();
    m_dialog->exec();
}

void SetupPrompts::applyStationAddress(const QString& host, int commandPort, int dataPort)
{
    const QString error = m_model->setStationAddress(host, commandPort, dataPort);
    if (!error.isEmpty()) {
        WindowPrompts::warning(m_dialog, error);
        return;
    }
    const TervexDevice* device = m_model->device();
    m_dialog->setStationAddress(device->host(), device->commandPort(), device->dataPort());
    WindowPrompts::message(m_dialog, QMessageBox::Information, WindowPrompts::windowTitle(),
                           tr("Адрес станции %1, порты %2 и %3 сохранены; они действуют со следующего "
                              "нажатия «Подключить».")
                               .arg(device->host())
                               .arg(device->commandPort())
                               .arg(device->dataPort()));
}

void SetupPrompts::askTestParameter(const QString& title, const QString& label,
                                    QString (TervexModel::*getter)() const,
                                    void (TervexModel::*setter)(const QString&))
{
    if (!m_dialog)
        return;
    QString text;
    if (!WindowPrompts::textInput(m_dialog, title, label, (m_model->*getter)(), &text) || text.isEmpty())
        return;
    (m_model->*setter)(text);
    Q_EMIT testParameterChanged();
    // The store clamps what is out of range: the operator learns what was kept.
    const QString stored = (m_model->*getter)();
    bool number = false;
    const int typed = text.trimmed().toInt(&number, 10);
    if (!number)
        WindowPrompts::message(m_dialog, QMessageBox::Warning, title,
                               tr("«%1» не является числом; сохранено значение по умолчанию %2.").arg(text, stored));
    else if (QString::number(typed) != stored)
        WindowPrompts::message(m_dialog, QMessageBox::Warning, title,
                               tr("Значение %1 вне допустимого диапазона; сохранено ограниченное значение %2.")
                                   .arg(typed)
                                   .arg(stored));
}

void SetupPrompts::askTestVoltage()
{
    askTestParameter(tr("Тест электродов"), tr("Напряжение от 10В до 20В"), &TervexModel::testVoltageText,
                     &TervexModel::setTestVoltage);
}

void SetupPrompts::askTestRBase()
{
    askTestParameter(tr("Тест реле"), tr("Базовое сопротивление от 50 до 150 Ом"), &TervexModel::testRBaseText,
                     &TervexModel::setTestRBase);
}

void SetupPrompts::askTestRDelta()
{
    askTestParameter(tr("Тест реле"), tr("Отклонение сопротивления от 1 до 25 %"), &TervexModel::testRDeltaText,
                     &TervexModel::setTestRDelta);
}
