#ifndef STATIONFRAMES_H
#define STATIONFRAMES_H

#include "station/stationrecords.h"
#include "station/wireformat.h"

#include <QByteArray>
#include <QVector>

// Station replies as a real station writes them, for the tests of the link.
namespace StationFrames {

inline QByteArray properties(const StationProperties& p, int channelCountByte = -1)
{
    QByteArray payload;
    Wire::putU16(payload, p.serialNumber);
    Wire::putU16(payload, p.adapterVersionMajor);
    Wire::putU16(payload, p.adapterVersionMinor);
    Wire::putU16(payload, p.currentElectrodeA);
    Wire::putU16(payload, p.currentElectrodeB);
    Wire::putU8(payload, quint8(channelCountByte < 0 ? p.channels.size() : channelCountByte));
    Wire::putU8(payload, 0x7F); // the station's own electrode count byte, not used by the program
    Wire::putU16(payload, p.generatorVersionMajor);
    Wire::putU16(payload, p.generatorVersionMinor);
    Wire::putU16(payload, p.generator.voltage);
    Wire::putU16(payload, p.generator.periods);
    Wire::putU32(payload, p.generator.pulseLength);
    Wire::putU32(payload, p.generator.pauseLength);
    for (const StationChannel& c : p.channels) {
        Wire::putU16(payload, c.number);
        Wire::putU16(payload, c.versionMajor);
        Wire::putU16(payload, c.versionMinor);
        Wire::putU16(payload, c.electrodeM);
        Wire::putU16(payload, c.electrodeN);
        Wire::putU16(payload, c.gain);
        Wire::putU8(payload, c.statusLow);
        Wire::putU8(payload, c.statusHigh);
    }
    return Wire::frame(Wire::Reply::Properties, payload);
}

// A station with channels numbered 1..count, all ready, and the given record timing.
inline StationProperties station(int count, quint32 pulse = 10, quint32 pause = 10, quint16 periods = 1)
{
    StationProperties p;
    p.serialNumber = 1017;
    p.adapterVersionMajor = 2;
    p.adapterVersionMinor = 5;
    p.currentElectrodeA = 1;
    p.currentElectrodeB = 2;
    p.generatorVersionMajor = 3;
    p.generatorVersionMinor = 1;
    p.generator.voltage = 50;
    p.generator.periods = periods;
    p.generator.pulseLength = pulse;
    p.generator.pauseLength = pause;
    for (int i = 0; i < count; ++i) {
        StationChannel c;
        c.number = quint16(i + 1);
        c.versionMajor = 1;
        c.versionMinor = quint16(i);
        c.electrodeM = quint16(i + 3);
        c.electrodeN = quint16(i + 4);
        c.gain = 3;
        p.channels.append(c);
    }
    return p;
}

inline QByteArray status(qint32 fix, float altitude, float longitude, float latitude, float battery)
{
    QByteArray payload;
    Wire::putI32(payload, fix);
    Wire::putF32(payload, altitude);
    Wire::putF32(payload, longitude);
    Wire::putF32(payload, latitude);
    Wire::putF32(payload, battery);
    return Wire::frame(Wire::Reply::Status, payload);
}

// Rows of a record: row r holds r * 10 + stream index in every stream.
inline QByteArray rows(int first, int count, int streams)
{
    QByteArray out;
    for (int r = first; r < first + count; ++r)
        for (int s = 0; s < streams; ++s)
            Wire::putF32(out, float(r * 10 + s));
    return out;
}

}

#endif
