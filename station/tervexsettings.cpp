#include "station/tervexsettings.h"

TervexSettings::TervexSettings(QObject* parent)
    : ITervexSettings(parent)
{
}

void TervexSettings::updateFrom(const StationProperties& properties)
{
    Q_EMIT updating();

    const int count = properties.channelCount;
    m_stationInfo.channels.resize(count);
    m_electrodeSettings.channels.resize(count);

    m_stationInfo.serialNumber = properties.serialNumber;
    m_stationInfo.adapterVersionMajor = properties.adapterVersionMajor;
    m_stationInfo.adapterVersionMinor = properties.adapterVersionMinor;
    m_stationInfo.electrodeCount = properties.electrodeCount;
    m_stationInfo.generatorVersionMajor = properties.generatorVersionMajor;
    m_stationInfo.generatorVersionMinor = properties.generatorVersionMinor;

    m_generatorSettings = properties.generator;
    m_electrodeSettings.currentElectrodeA = properties.currentElectrodeA;
    m_electrodeSettings.currentElectrodeB = properties.currentElectrodeB;

    // The device holds only as many channel records as its first reply announced; records
    // beyond them keep their previous (or zero) contents.
    const int known = qMin(count, properties.channels.size());
    for (int i = 0; i < known; ++i) {
        const StationChannel& source = properties.channels.at(i);

        ChannelInfo& info = m_stationInfo.channels[i];
        info.number = source.number;
        info.versionMajor = source.versionMajor;
        info.versionMinor = source.versionMinor;
        info.statusLow = source.statusLow;
        info.statusHigh = source.statusHigh;

        ChannelSetting& setting = m_electrodeSettings.channels[i];
        // The station measures a channel when either of its status bytes is clear; the operator's
        // own switch is `available`, which the station's reply leaves alone.
        setting.enabled = (source.statusHigh == 0 || source.statusLow == 0) ? 1 : 0;
        setting.number = source.number;
        setting.electrodeM = source.electrodeM;
        setting.electrodeN = source.electrodeN;
        setting.gain = source.gain;
    }

    Q_EMIT updated();
}
