#ifndef WIREFORMAT_H
#define WIREFORMAT_H

#include <QByteArray>
#include <QtEndian>
#include <cstring>

// Codes and layouts of the station's command connection, and little-endian byte helpers
// shared by the station link, the station simulator and the data-file code.
namespace Wire {

constexpr int FrameHeaderSize = 4;

namespace Command {
constexpr quint16 GetProperties = 0x0101;
constexpr quint16 SetElectrodes = 0x0102;
constexpr quint16 SetGains = 0x0103;
constexpr quint16 SetGenerator = 0x0104;
constexpr quint16 StartRecord = 0x0105;
constexpr quint16 StopRecord = 0x0108;
constexpr quint16 GetStatus = 0x0109;
constexpr quint16 GetOverflows = 0x010A;
}

// A reply carries its request's code plus ReplyOffset.
constexpr quint16 ReplyOffset = 0x1000;
namespace Reply {
constexpr quint16 Properties = Command::GetProperties + ReplyOffset;
constexpr quint16 Status = Command::GetStatus + ReplyOffset;
constexpr quint16 Overflows = Command::GetOverflows + ReplyOffset;
}

// Properties reply: fixed fields up to PropertiesChannelsOffset, then 14 bytes per channel.
constexpr int PropertiesChannelsOffset = 32;
constexpr int StationChannelSize = 14;
// Status reply: header, i32 fix, f32 altitude, longitude, latitude, battery voltage.
constexpr int StatusFrameSize = 24;
constexpr int GeneratorPayloadSize = 12;
// GPS fix status that marks a valid position (the letter 'A').
constexpr qint32 GpsFixValid = 65;
constexpr quint8 RecordModeNormal = 1;

inline void putU8(QByteArray& out, quint8 v) { out.append(char(v)); }
inline void putU16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}
inline void putU32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}
inline void putI32(QByteArray& out, qint32 v) { putU32(out, quint32(v)); }
inline void putF32(QByteArray& out, float v)
{
    quint32 bits;
    std::memcpy(&bits, &v, 4);
    putU32(out, bits);
}

inline quint16 getU16(const char* p) { return qFromLittleEndian<quint16>(p); }
inline quint32 getU32(const char* p) { return qFromLittleEndian<quint32>(p); }
inline qint32 getI32(const char* p) { return qint32(getU32(p)); }
inline float getF32(const char* p)
{
    const quint32 bits = getU32(p);
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

// A complete frame: code, payload length (truncated to 16 bits), payload.
inline QByteArray frame(quint16 code, const QByteArray& payload = QByteArray())
{
    QByteArray out;
    out.reserve(FrameHeaderSize + payload.size());
    putU16(out, code);
    putU16(out, quint16(payload.size()));
    out.append(payload);
    return out;
}

} // namespace Wire

#endif
