#include "app/tervexmodel.h"

#include "station/settingsstore.h"
#include "station/tervexdevice.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

using namespace SettingsStore;

TervexModel::TervexModel(QObject* parent)
    : QObject(parent)
{
    m_settingsStore = SettingsStore::open(this);
    loadSettings();

    m_device = new TervexDevice(m_settingsStore);

    connect(m_device, &TervexDevice::connected, this, &TervexModel::deviceConnected);
    connect(m_device, &TervexDevice::connecting, this, &TervexModel::deviceConnecting);
    connect(m_device, &TervexDevice::disconnected, this, &TervexModel::deviceDisconnected);
    connect(m_device, &TervexDevice::statusUpdated, this, &TervexModel::deviceStatusUpdated);
    connect(m_device, &TervexDevice::propertiesUpdated, this, &TervexModel::onDevicePropertiesUpdated);
    connect(m_device, &TervexDevice::initialized, this, &TervexModel::onDeviceInitialized);
    connect(&m_stationSettings, &TervexSettings::updating, this, &TervexModel::settingsUpdating);
    connect(&m_stationSettings, &TervexSettings::updated, this, &TervexModel::settingsUpdated);
}

TervexModel::~TervexModel()
{
    m_device->closeConnections();
    delete m_device;
}

bool TervexModel::connectDevice()
{
    return m_device->connectToStation();
}

void TervexModel::disconnectDevice()
{
    m_device->closeConnections();
}

void TervexModel::onDevicePropertiesUpdated()
{
    m_stationSettings.updateFrom(m_device->properties());
}

void TervexModel::onDeviceInitialized()
{
    // Records once which channels were ready when the station was first seen.
    for (ChannelSetting& channel : m_stationSettings.electrodeSettings()->channels)
        channel.available = channel.enabled;
}

int TervexModel::testValue(const QString& key, int defaultValue) const
{
    if (m_settingsStore->contains(key))
        return m_settingsStore->value(key).toInt();
    m_settingsStore->setValue(key, defaultValue);
    return defaultValue;
}

void TervexModel::setTestValue(const QString& key, const QString& text, int defaultValue, int minimum, int maximum)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    m_settingsStore->setValue(key, ok ? qBound(minimum, value, maximum) : defaultValue);
}

int TervexModel::testVoltage() const
{
    return testValue(Key::testVoltage(), TestVoltage.defaultValue);
}

QString TervexModel::testVoltageText() const
{
    return QString::number(testVoltage());
}

void TervexModel::setTestVoltage(const QString& text)
{
    setTestValue(Key::testVoltage(), text, TestVoltage.defaultValue, TestVoltage.minimum, TestVoltage.maximum);
}

int TervexModel::testRBase() const
{
    return testValue(Key::testRBase(), TestRBase.defaultValue);
}

QString TervexModel::testRBaseText() const
{
    return QString::number(testRBase());
}

void TervexModel::setTestRBase(const QString& text)
{
    setTestValue(Key::testRBase(), text, TestRBase.defaultValue, TestRBase.minimum, TestRBase.maximum);
}

int TervexModel::testRDelta() const
{
    return testValue(Key::testRDelta(), TestRDelta.defaultValue);
}

QString TervexModel::testRDeltaText() const
{
    return QString::number(testRDelta());
}

void TervexModel::setTestRDelta(const QString& text)
{
    setTestValue(Key::testRDelta(), text, TestRDelta.defaultValue, TestRDelta.minimum, TestRDelta.maximum);
}

void TervexModel::setDataPath(const QString& path)
{
    m_dataPath = path;
    m_settingsStore->setValue(Key::dataPath(), path);
}

void TervexModel::setSeqPath(const QString& path)
{
    m_seqPath = QFileInfo(path).exists() ? path : QDir::homePath();
    m_settingsStore->setValue(Key::seqPath(), m_seqPath);
}

void TervexModel::setUsePolar(bool flag)
{
    m_usePolar = flag;
    m_settingsStore->setValue(Key::usePolar(), flag);
}

void TervexModel::loadSettings()
{
    if (m_settingsStore->contains(Key::dataPath()))
        m_dataPath = m_settingsStore->value(Key::dataPath()).toString();
    else
        setDataPath(QDir::homePath());

    setSeqPath(m_settingsStore->contains(Key::seqPath()) ? m_settingsStore->value(Key::seqPath()).toString()
                                                       : QDir::homePath());
    setUsePolar(m_settingsStore->value(Key::usePolar(), false).toBool());
}
