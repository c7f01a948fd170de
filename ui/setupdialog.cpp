#include "ui/setupdialog.h"

#include "app/startup.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int Width = 250;

}

SetupDialog::SetupDialog(bool relayMode, const QString& language, QWidget* parent)
    : QDialog(parent), m_language(language)
{
    setWindowTitle(tr("Параметры"));
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(5);
    layout->setContentsMargins(15, 15, 15, 10);

    auto* address = new QGroupBox(tr("Станция"), this);
    address->setFixedWidth(Width);
    auto* form = new QFormLayout(address);
    m_host = new QLineEdit(address);
    m_host->setObjectName(QStringLiteral("station_host"));
    m_host->setPlaceholderText(QStringLiteral("192.168.0.100"));
    m_commandPort = new QSpinBox(address);
    m_commandPort->setObjectName(QStringLiteral("command_port"));
    m_dataPort = new QSpinBox(address);
    m_dataPort->setObjectName(QStringLiteral("data_port"));
    for (QSpinBox* port : {m_commandPort, m_dataPort})
        port->setRange(1, 65535);
    form->addRow(tr("Адрес:"), m_host);
    form->addRow(tr("Порт команд:"), m_commandPort);
    form->addRow(tr("Порт данных:"), m_dataPort);
    auto* apply = new QPushButton(tr("Сохранить адрес"), address);
    form->addRow(apply);
    connect(apply, &QPushButton::clicked, this, [this]() {
        Q_EMIT stationAddressApplied(m_host->text(), m_commandPort->value(), m_dataPort->value());
    });
    layout->addWidget(address, 0, Qt::AlignHCenter);
    layout->addSpacing(5);
    auto addButton = [this, layout](const QString& text, void (SetupDialog::*signal)()) {
        auto* button = new QPushButton(text, this);
        button->setFixedSize(Width, 40);
        layout->addWidget(button, 0, Qt::AlignHCenter);
        connect(button, &QPushButton::clicked, this, signal);
    };
    addButton(tr("Напряжение для теста"), &SetupDialog::testVoltageClicked);
    if (relayMode) {
        addButton(tr("Базовое сопротивление"), &SetupDialog::testRBaseClicked);
        addButton(tr("Отклонение сопротивления"), &SetupDialog::testRDeltaClicked);
    }

    auto* languageLabel = new QLabel(tr("Язык интерфейса"), this);
    languageLabel->setFixedWidth(Width);
    layout->addWidget(languageLabel, 0, Qt::AlignHCenter);
    // Language names stay in their own language, so either can be found whatever is shown.
    auto* choice = new QComboBox(this);
    choice->setObjectName(QStringLiteral("language_choice"));
    choice->setFixedWidth(Width);
    choice->addItem(tr("Как в системе"), QString());
    choice->addItem(QStringLiteral("Русский"), Startup::russian());
    choice->addItem(QStringLiteral("English"), Startup::english());
    choice->setCurrentIndex(qMax(0, choice->findData(language)));
    layout->addWidget(choice, 0, Qt::AlignHCenter);
    connect(choice, QOverload<int>::of(&QComboBox::activated), this, [this, choice](int index) {
        const QString chosen = choice->itemData(index).toString();
        if (chosen == m_language)
            return;
        m_language = chosen;
        Q_EMIT languageChosen(chosen);
    });

    layout->addSpacing(10);
    // A button of our own: its text follows the interface language whatever Qt's catalogues hold.
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("Закрыть"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void SetupDialog::setStationAddress(const QString& host, int commandPort, int dataPort)
{
    m_host->setText(host);
    m_commandPort->setValue(commandPort);
    m_dataPort->setValue(dataPort);
}
