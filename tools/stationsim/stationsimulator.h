#ifndef STATIONSIMULATOR_H
#define STATIONSIMULATOR_H

#include "earthmodel.h"
#include "groundmodel.h"
#include "recordgenerator.h"
#include "station/stationrecords.h"
#include "station/wireformat.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>
#include <QVector>

#include <memory>

class QTcpSocket;

struct SimulatorOptions
{
    QHostAddress address = QHostAddress(QStringLiteral("127.0.0.1"));
    quint16 commandPort = 6770, dataPort = 6771; // 0 = any free port (read back with commandPort()/dataPort())
    double speed = 1.0;          // 1 = real pace (1 row per ms, batches every ~20 ms), 10 = 10x, 0 = as fast as possible
    int channelCount = 10;       // channels numbered 1..channelCount
    QVector<int> notReadyChannels; // channel numbers reported with non-zero status bytes
    quint16 serialNumber = 1017;
    EarthModel earth;            // default 100 ohm-m half-space
    // A ground of blocks in place of the two-layer earth, solved for the electrodes 1..Count
    // (index k - 1 for electrode k); its chargeabilities replace `chargeability`.
    std::shared_ptr<const GroundModel> ground;
    double spacing = 5.0;        // electrode k sits at x = (k - 1) * spacing; electrode 0 = infinity
    double contactResistance = 800.0; // ohms, every electrode ...
    QMap<int, double> contactOverrides; // ... except these (electrode -> ohms)
    double chargeability = 0.03, decayTime = 120.0, noise = 2e-5, driftPerSecond = 1e-4;
    // Battery voltage at the first status request, volts lost per request, and where it stops falling.
    double battery = 12.75, batteryDrain = 2e-4, batteryFloor = 11.8;
    quint32 seed = 7;
    // Relay-test load instead of the earth: R(a, b) = |a - b| * testLoadBase (see TestLoad).
    bool testLoad = false;
    double testLoadBase = 100.0;
    QVector<int> faultyRelays;
    // Fault switches (-1 / false = off); they may be changed while the station runs.
    int dropCommandAfterFrames = -1; // close the command connection after answering N frames of it
    bool refuseData = false;         // never accept the data connection (the port stops listening)
    bool byteByByte = false;         // write every reply frame one byte at a time
    bool unknownCodes = false;       // send an extra frame with an unknown code before each reply
    int closeDataAfterRows = -1;     // close the data connection after N rows of a record
    QVector<int> noisyRecords;       // records (1 = the first streamed) spoilt by a noise burst ...
    double burstNoise = 0.05;        // ... of this many volts rms on every channel
    int silentAfterFrames = -1;      // answer nothing after N frames of a connection (0 = a silent station)
    bool halfFrame = false;          // write half of the first reply frame of a connection, then nothing
    bool floodUnknown = false;       // flood the command connection with unknown frames and answer nothing
    bool endlessData = false;        // never end a record: its rows repeat until the program closes the connection
    int unansweredProperties = -1;   // leave the N-th GetProperties of a connection (counted from 1) unanswered
    int laterChannelCount = -1;      // announce (and describe) this many channels in every Properties reply after the first
    quint32 confirmedPulse = 0;      // confirm this pulse length in Properties replies instead of the one set (0 = as set)
};

// A Tervex-M1 station over TCP: the command connection with its frames, and the data connection
// over which a record's rows stream, computed from the physical model. Serves one program at a
// time; a new command connection replaces the previous one, so a program may reconnect at will.
class StationSimulator : public QObject
{
    Q_OBJECT
public:
    static constexpr quint16 AdapterVersionMajor = 2, AdapterVersionMinor = 1;
    static constexpr quint16 GeneratorVersionMajor = 1, GeneratorVersionMinor = 3;
    static constexpr quint16 ChannelVersionMajor = 1, ChannelVersionMinor = 5;
    // Status bytes of a channel that is not ready (the program treats a channel as usable when
    // either byte is zero, so both are set).
    static constexpr quint8 NotReadyStatusLow = 0x01, NotReadyStatusHigh = 0x02;
    // The code of the extra frames of the unknown-codes switch: a reply code the program does not know.
    static constexpr quint16 UnknownReplyCode = 0x11F0;

    explicit StationSimulator(const SimulatorOptions& options = {}, QObject* parent = nullptr);
    ~StationSimulator() override;

    bool start(); // listen; false (and errorString()) if a port is taken
    QString errorString() const;
    quint16 commandPort() const;
    quint16 dataPort() const;
    SimulatorOptions& options(); // tests may change switches between records

    GeneratorSettings generator() const;   // current state as set by the program
    ElectrodeSettings electrodes() const;
    int recordsStreamed() const;           // records whose streaming has begun

    // The Properties reply payload of the current state (the frame without its 4-byte header).
    QByteArray propertiesPayload() const;
    // The records' rows as the station computes them for the current electrodes.
    GeneratedRecord computeRecord(const QVector<quint16>& channels) const;

Q_SIGNALS:
    void commandReceived(quint16 code, const QByteArray& payload); // every frame the program sent, in order
    void clientConnected();
    void clientDisconnected();
    void recordStarted();
    void recordFinished(int rows); // the rows sent, however the record ended

private:
    void onCommandConnection();
    void onCommandReadyRead();
    void onDataConnection();
    void onStreamTimeout();
    void onSlowWriteTimeout();
    void onFloodTimeout();

    void handleFrame(quint16 code, const QByteArray& payload);
    void applyElectrodes(const QByteArray& payload);
    void applyGains(const QByteArray& payload);
    void applyGenerator(const QByteArray& payload);
    void reply(quint16 code, const QByteArray& payload);
    void closeCommandConnection();
    void syncDataServer();
    void tryStartRecord();
    void endRecord(bool abortConnection);
    QByteArray statusPayload();
    double position(int electrode) const;
    double contact(int electrode) const;

    SimulatorOptions m_options;
    QTcpServer m_commandServer;
    QTcpServer m_dataServer;
    quint16 m_dataPort = 0;
    QString m_error;

    QPointer<QTcpSocket> m_command;
    QByteArray m_commandBuffer;
    int m_framesOnConnection = 0;
    QByteArray m_slowOutput;
    bool m_closeWhenSent = false;
    QTimer m_slowWriteTimer;
    QTimer m_floodTimer;
    bool m_halfFrameSent = false;
    int m_propertiesRequests = 0; // on this connection
    int m_propertiesReplies = 0;  // since the station started

    GeneratorSettings m_generator;
    ElectrodeSettings m_electrodes;
    int m_statusRequests = 0;

    QPointer<QTcpSocket> m_data;
    bool m_startPending = false;
    QVector<quint16> m_recordChannels;
    bool m_streaming = false;
    GeneratedRecord m_record;
    int m_rowsSent = 0;
    int m_recordsStreamed = 0;
    QTimer m_streamTimer;
    QElapsedTimer m_streamClock;
};

#endif
