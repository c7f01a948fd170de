#include "ui/tervexwidget.h"

#include "app/tervexmodel.h"
#include "station/tervexdevice.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
QString versionText(quint16 major, quint16 minor)
{
    return QStringLiteral("%1:%2").arg(major).arg(minor);
}
}

TervexWidget::TervexWidget(TervexModel* model, bool relayMode, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_relayMode(relayMode)
{
    setObjectName(QStringLiteral("mainWindow"));
    resize(1100, 720);

    connect(m_model, &TervexModel::deviceConnecting, this, &TervexWidget::onDeviceConnecting);
    connect(m_model, &TervexModel::deviceConnected, this, &TervexWidget::onDeviceConnected);
    connect(m_model, &TervexModel::deviceDisconnected, this, &TervexWidget::onDeviceDisconnected);
    connect(m_model, &TervexModel::deviceStatusUpdated, this, &TervexWidget::onDeviceStatusUpdated);
    connect(m_model, &TervexModel::settingsUpdated, this, &TervexWidget::onDeviceSettingsUpdated);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    auto* header = new QFrame(this);
    header->setObjectName(QStringLiteral("header"));
    header->setFixedHeight(50);
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(5, 0, 5, 0);
    m_headerContainer = new QWidget(header);
    auto* containerLayout = new QHBoxLayout(m_headerContainer);
    containerLayout->setContentsMargins(0, 0, 0, 0);
    m_battery = new QLabel(QStringLiteral("0.0В"), m_headerContainer);
    m_battery->setStyleSheet(QStringLiteral("QLabel {color:black;font-weight:500;}"));
    m_battery->setFixedSize(60, 32);
    m_battery->setAlignment(Qt::AlignCenter);
    containerLayout->addWidget(m_battery);
    m_headerContainer->hide();
    headerLayout->addWidget(m_headerContainer);
    headerLayout->addStretch();
    root->addWidget(header);

    m_body = new QStackedWidget(this);
    root->addWidget(m_body, 1);

    auto* connectPage = new QWidget(m_body);
    auto* connectLayout = new QVBoxLayout(connectPage);
    connectLayout->addStretch();
    m_connectButton = new QPushButton(QStringLiteral("Подключить"), connectPage);
    m_connectButton->setObjectName(QStringLiteral("conn_btn"));
    m_connectButton->setFixedSize(130, 40);
    connectLayout->addWidget(m_connectButton, 0, Qt::AlignHCenter);
    m_connectionState = new QLabel(connectPage);
    m_connectionState->setObjectName(QStringLiteral("connection_state_label"));
    m_connectionState->setAlignment(Qt::AlignCenter);
    connectLayout->addWidget(m_connectionState);
    connectLayout->addStretch();
    m_body->addWidget(connectPage);
    connect(m_connectButton, &QPushButton::clicked, this, &TervexWidget::onConnectClicked);

    auto* workPage = new QWidget(m_body);
    auto* workLayout = new QVBoxLayout(workPage);
    workLayout->setContentsMargins(10, 10, 10, 10);
    auto* info = new QFrame(workPage);
    info->setObjectName(QStringLiteral("info_frame"));
    auto* form = new QFormLayout(info);
    m_serial = new QLabel(info);
    m_serial->setObjectName(QStringLiteral("serial_value"));
    m_adapter = new QLabel(info);
    m_generator = new QLabel(info);
    m_gps = new QLabel(info);
    m_channels = new QLabel(info);
    form->addRow(QStringLiteral("Серийный номер:"), m_serial);
    form->addRow(QStringLiteral("ПО адаптера:"), m_adapter);
    form->addRow(QStringLiteral("ПО генератора:"), m_generator);
    form->addRow(QStringLiteral("Координаты GPS:"), m_gps);
    form->addRow(QStringLiteral("Каналы:"), m_channels);
    workLayout->addWidget(info);
    workLayout->addStretch();
    m_body->addWidget(workPage);
}

void TervexWidget::onConnectClicked()
{
    if (!m_model->connectDevice()) {
        QMessageBox::information(this, QStringLiteral("Тервекс-М1"),
                                 QStringLiteral("<h2>Внимание!</h2><p>Нет подключения к станции.</p>"));
    }
}

void TervexWidget::onDeviceConnecting()
{
    m_connectionState->setText(QStringLiteral("Выполняется подключение к станции..."));
}

void TervexWidget::onDeviceConnected()
{
    m_body->setCurrentIndex(1);
    m_headerContainer->show();
}

void TervexWidget::onDeviceDisconnected()
{
    m_connectionState->clear();
    m_body->setCurrentIndex(0);
    m_headerContainer->hide();
}

void TervexWidget::onDeviceStatusUpdated()
{
    const TervexDevice* device = m_model->device();
    m_battery->setText(QString::number(double(device->battery()->voltage()), 'f', 1) + QStringLiteral("В"));
    if (!device->gps()->coordinatesText().isEmpty())
        m_gps->setText(device->gps()->coordinatesText());
}

void TervexWidget::onDeviceSettingsUpdated()
{
    const StationInfo* info = m_model->stationSettings()->stationInfo();
    m_serial->setText(QString::number(info->serialNumber));
    m_adapter->setText(versionText(info->adapterVersionMajor, info->adapterVersionMinor));
    m_generator->setText(versionText(info->generatorVersionMajor, info->generatorVersionMinor));
    int ready = 0;
    for (const ChannelSetting& channel : m_model->stationSettings()->electrodeSettings()->channels)
        ready += channel.enabled ? 1 : 0;
    m_channels->setText(QStringLiteral("%1 из %2 готовы").arg(ready).arg(info->channels.size()));
}

void TervexWidget::closeEvent(QCloseEvent* event)
{
    m_model->disconnectDevice();
    event->accept();
}
