#ifndef STATIONRECORDS_H
#define STATIONRECORDS_H

#include <QVector>
#include <QtGlobal>

// Generator settings, in the order and widths of the SetGenerator payload.
// Pulse and pause are milliseconds, which are also sample rows (one row per millisecond).
struct GeneratorSettings
{
    quint16 voltage = 0;
    quint16 periods = 0;
    quint32 pulseLength = 0;
    quint32 pauseLength = 0;
};

struct ChannelSetting
{
    quint8 available = 0;
    quint8 enabled = 0;
    quint16 number = 0;
    quint16 electrodeM = 0;
    quint16 electrodeN = 0;
    quint16 gain = 0;
};

struct ElectrodeSettings
{
    quint16 currentElectrodeA = 0;
    quint16 currentElectrodeB = 0;
    QVector<ChannelSetting> channels;
};

struct ChannelInfo
{
    quint16 number = 0;
    quint16 versionMajor = 0;
    quint16 versionMinor = 0;
    quint16 statusLow = 0;
    quint16 statusHigh = 0;
};

struct StationInfo
{
    quint16 serialNumber = 0;
    quint16 adapterVersionMajor = 0;
    quint16 adapterVersionMinor = 0;
    quint16 generatorVersionMajor = 0;
    quint16 generatorVersionMinor = 0;
    quint16 electrodeCount = 0;
    QVector<ChannelInfo> channels;
};

// One measuring channel as the station describes it in its Properties reply (14 bytes on the wire).
struct StationChannel
{
    quint16 number = 0;
    quint16 versionMajor = 0;
    quint16 versionMinor = 0;
    quint16 electrodeM = 0;
    quint16 electrodeN = 0;
    quint16 gain = 0;
    quint8 statusLow = 0;
    quint8 statusHigh = 0;
};

// The station's self-description, decoded from the Properties reply.
struct StationProperties
{
    quint16 serialNumber = 0;
    quint16 adapterVersionMajor = 0;
    quint16 adapterVersionMinor = 0;
    quint16 currentElectrodeA = 0;
    quint16 currentElectrodeB = 0;
    quint8 channelCount = 0;
    quint8 electrodeCount = 0;
    quint16 generatorVersionMajor = 0;
    quint16 generatorVersionMinor = 0;
    GeneratorSettings generator;
    // Fixed by the first reply of the program run; later replies never change it.
    int channelCountFixed = 0;
    QVector<StationChannel> channels;
};

#endif
