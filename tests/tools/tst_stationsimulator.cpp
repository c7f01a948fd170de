#include "testsupport.h"

#include "measurement/electrodeposition.h"
#include "tools/stationsim/stationsimulator.h"
#include "tools/stationsim/testload.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>

// The simulated station over loopback, driven by a bare socket that speaks its frames.
class TestStationSimulator : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }

    void propertiesLayout();
    void settingsReachTheNextProperties();
    void statusAndOverflows();
    void recordStreamsThePhysicalModel();
    void recordStreamsTheGround();
    void contactAndTestLoad();
    void relayFaults();
    void stopInMidStream();
    void reconnectionReplacesTheClient();
    void faultDropCommand();
    void faultRefuseData();
    void faultByteByByteAndUnknownCodes();
    void faultCloseDataMidway();
    void executable();
};

static constexpr int Wait = 10000;
static constexpr double Inf = std::numeric_limits<double>::infinity();

namespace {

struct Frame
{
    quint16 code = 0;
    QByteArray payload;
};

// Waits while the event loop runs, so the in-process station keeps serving.
template <typename Predicate>
bool waitFor(Predicate predicate)
{
    return QTest::qWaitFor(predicate, Wait);
}

bool connectSocket(QTcpSocket& socket, quint16 port)
{
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return waitFor([&] { return socket.state() != QAbstractSocket::ConnectingState
                                && socket.state() != QAbstractSocket::HostLookupState; })
           && socket.state() == QAbstractSocket::ConnectedState;
}

// One program-side command connection.
class Client
{
public:
    bool connectTo(quint16 port) { return connectSocket(socket, port); }
    void send(quint16 code, const QByteArray& payload = QByteArray()) { socket.write(Wire::frame(code, payload)); }
    // The next complete frame, waiting for it if needed.
    bool next(Frame& frame)
    {
        for (;;) {
            if (buffer.size() >= Wire::FrameHeaderSize) {
                const int length = Wire::getU16(buffer.constData() + 2);
                if (buffer.size() >= Wire::FrameHeaderSize + length) {
                    frame.code = Wire::getU16(buffer.constData());
                    frame.payload = buffer.mid(Wire::FrameHeaderSize, length);
                    buffer.remove(0, Wire::FrameHeaderSize + length);
                    return true;
                }
            }
            if (!socket.bytesAvailable()) {
                QSignalSpy arrived(&socket, &QTcpSocket::readyRead);
                if (!arrived.wait(Wait))
                    return false;
            }
            ++reads;
            buffer.append(socket.readAll());
        }
    }
    bool request(quint16 code, quint16 replyCode, Frame& frame)
    {
        send(code);
        return next(frame) && frame.code == replyCode;
    }

    QTcpSocket socket;
    QByteArray buffer;
    int reads = 0;
};

SimulatorOptions quiet()
{
    SimulatorOptions o;
    o.commandPort = 0;
    o.dataPort = 0;
    o.speed = 0;
    o.chargeability = 0.0;
    o.noise = 0.0;
    o.driftPerSecond = 0.0;
    return o;
}

QByteArray generatorPayload(quint16 voltage, quint16 periods, quint32 pulse, quint32 pause)
{
    QByteArray p;
    Wire::putU16(p, voltage);
    Wire::putU16(p, periods);
    Wire::putU32(p, pulse);
    Wire::putU32(p, pause);
    return p;
}

// {0, A, B} then {channel, M, N} for each pair.
QByteArray electrodesPayload(quint16 a, quint16 b, const QVector<QVector<quint16>>& channels)
{
    QByteArray p;
    Wire::putU16(p, quint16(1 + channels.size()));
    for (quint16 v : {quint16(0), a, b})
        Wire::putU16(p, v);
    for (const QVector<quint16>& c : channels) {
        for (quint16 v : c)
            Wire::putU16(p, v);
    }
    return p;
}

QByteArray startPayload(const QVector<quint16>& channels)
{
    QByteArray p;
    Wire::putU8(p, Wire::RecordModeNormal);
    Wire::putU8(p, quint8(channels.size()));
    for (quint16 c : channels)
        Wire::putU16(p, c);
    return p;
}

// Opens the data connection, starts the record and reads until the station closes it.
bool record(Client& client, quint16 dataPort, const QVector<quint16>& channels, QVector<QVector<float>>& rows)
{
    QTcpSocket data;
    QByteArray bytes;
    QObject::connect(&data, &QTcpSocket::readyRead, [&] { bytes.append(data.readAll()); });
    if (!connectSocket(data, dataPort))
        return false;
    client.send(Wire::Command::StartRecord, startPayload(channels));
    if (!waitFor([&] { return data.state() == QAbstractSocket::UnconnectedState; }))
        return false;
    bytes.append(data.readAll());
    const int streams = 2 + channels.size();
    if (bytes.size() % (4 * streams) != 0)
        return false;
    rows.clear();
    for (int offset = 0; offset < bytes.size(); offset += 4 * streams) {
        QVector<float> row;
        for (int s = 0; s < streams; ++s)
            row.append(Wire::getF32(bytes.constData() + offset + 4 * s));
        rows.append(row);
    }
    return true;
}

bool near(double value, double expected, double relative)
{
    return std::abs(value - expected) <= relative * std::abs(expected);
}

}

void TestStationSimulator::propertiesLayout()
{
    SimulatorOptions o = quiet();
    o.channelCount = 4;
    o.notReadyChannels = {3};
    o.serialNumber = 2211;
    StationSimulator station(o);
    QVERIFY(station.start());
    QVERIFY(station.commandPort() != 0 && station.dataPort() != 0 && station.commandPort() != station.dataPort());
    Client client;
    QVERIFY(client.connectTo(station.commandPort()));
    Frame f;
    QVERIFY(client.request(Wire::Command::GetProperties, Wire::Reply::Properties, f));
    QCOMPARE(f.payload.size(), Wire::PropertiesChannelsOffset - Wire::FrameHeaderSize + 4 * Wire::StationChannelSize);
    // Offsets as the program reads them, from the start of the frame.
    const QByteArray frame = Wire::frame(f.code, f.payload);
    const char* p = frame.constData();
    QCOMPARE(Wire::getU16(p + 4), quint16(2211));
    QCOMPARE(Wire::getU16(p + 6), StationSimulator::AdapterVersionMajor);
    QCOMPARE(Wire::getU16(p + 8), StationSimulator::AdapterVersionMinor);
    QCOMPARE(quint8(p[14]), quint8(4));
    QCOMPARE(quint8(p[15]), quint8(48));
    QCOMPARE(Wire::getU16(p + 16), StationSimulator::GeneratorVersionMajor);
    QCOMPARE(Wire::getU16(p + 20), quint16(50));
    QCOMPARE(Wire::getU16(p + 22), quint16(3));
    QCOMPARE(Wire::getU32(p + 24), 500u);
    QCOMPARE(Wire::getU32(p + 28), 500u);
    for (int k = 0; k < 4; ++k) {
        const char* c = p + Wire::PropertiesChannelsOffset + k * Wire::StationChannelSize;
        QCOMPARE(Wire::getU16(c), quint16(k + 1));
        QCOMPARE(Wire::getU16(c + 2), StationSimulator::ChannelVersionMajor);
        QVERIFY(Wire::getU16(c + 6) != Wire::getU16(c + 8));
        const bool ready = k + 1 != 3;
        // The program treats a channel as usable when either status byte is zero.
        QCOMPARE(c[12] == 0 || c[13] == 0, ready);
    }
}

void TestStationSimulator::settingsReachTheNextProperties()
{
    StationSimulator station(quiet());
    QVERIFY(station.start());
    QSignalSpy commands(&station, &StationSimulator::commandReceived);
    Client client;
    QVERIFY(client.connectTo(station.commandPort()));
    client.send(Wire::Command::SetGenerator, generatorPayload(75, 2, 40, 60));
    client.send(Wire::Command::SetElectrodes, electrodesPayload(3, 9, {{2, 4, 5}, {7, 11, 12}}));
    QByteArray gains;
    Wire::putU16(gains, 1);
    Wire::putU16(gains, 7);
    Wire::putU16(gains, 9);
    client.send(Wire::Command::SetGains, gains);
    // A truncated generator frame is ignored rather than read past its end.
    client.send(Wire::Command::SetGenerator, QByteArray(5, '\x7f'));
    Frame f;
    QVERIFY(client.request(Wire::Command::GetProperties, Wire::Reply::Properties, f));
    const char* p = f.payload.constData() - Wire::FrameHeaderSize;
    QCOMPARE(Wire::getU16(p + 10), quint16(3));
    QCOMPARE(Wire::getU16(p + 12), quint16(9));
    QCOMPARE(Wire::getU16(p + 20), quint16(75));
    QCOMPARE(Wire::getU16(p + 22), quint16(2));
    QCOMPARE(Wire::getU32(p + 24), 40u);
    QCOMPARE(Wire::getU32(p + 28), 60u);
    const char* seventh = p + Wire::PropertiesChannelsOffset + 6 * Wire::StationChannelSize;
    QCOMPARE(Wire::getU16(seventh), quint16(7));
    QCOMPARE(Wire::getU16(seventh + 6), quint16(11));
    QCOMPARE(Wire::getU16(seventh + 8), quint16(12));
    QCOMPARE(Wire::getU16(seventh + 10), quint16(9));

    QCOMPARE(station.generator().pulseLength, 40u);
    const ElectrodeSettings e = station.electrodes();
    QCOMPARE(e.currentElectrodeA, quint16(3));
    QCOMPARE(e.channels.at(1).electrodeM, quint16(4));
    QCOMPARE(e.channels.at(1).enabled, quint8(1));
    QCOMPARE(e.channels.at(0).enabled, quint8(0));
    QCOMPARE(commands.count(), 5);
    QCOMPARE(commands.at(0).at(0).toUInt(), uint(Wire::Command::SetGenerator));
    QCOMPARE(commands.at(1).at(1).toByteArray(), electrodesPayload(3, 9, {{2, 4, 5}, {7, 11, 12}}));
    QCOMPARE(commands.at(4).at(0).toUInt(), uint(Wire::Command::GetProperties));
}

void TestStationSimulator::statusAndOverflows()
{
    StationSimulator station(quiet());
    QVERIFY(station.start());
    Client client;
    QVERIFY(client.connectTo(station.commandPort()));
    Frame f;
    float first = 0.0f, last = 0.0f;
    for (int i = 0; i < 200; ++i) {
        QVERIFY(client.request(Wire::Command::GetStatus, Wire::Reply::Status, f));
        QCOMPARE(f.payload.size() + Wire::FrameHeaderSize, Wire::StatusFrameSize);
        const char* p = f.payload.constData();
        QCOMPARE(Wire::getI32(p), Wire::GpsFixValid);
        QVERIFY(qAbs(Wire::getF32(p + 4) - 150.0f) < 10.0f);
        QCOMPARE(Wire::getF32(p + 8), 3736.6f);
        QCOMPARE(Wire::getF32(p + 12), 5545.5f);
        last = Wire::getF32(p + 16);
        QVERIFY(last > 11.5f && last < 13.0f);
        if (i == 0)
            first = last;
    }
    QVERIFY(last < first);
    QVERIFY(client.request(Wire::Command::GetOverflows, Wire::Reply::Overflows, f));
    QCOMPARE(f.payload, QByteArray(10, '\0'));
}

void TestStationSimulator::recordStreamsThePhysicalModel()
{
    SimulatorOptions o = quiet();
    o.earth = EarthModel(60.0, 6.0, 300.0);
    o.spacing = 2.0;
    o.contactOverrides.insert(3, 1500.0);
    StationSimulator station(o);
    QVERIFY(station.start());
    QSignalSpy started(&station, &StationSimulator::recordStarted);
    QSignalSpy finished(&station, &StationSimulator::recordFinished);
    Client client;
    QVERIFY(client.connectTo(station.commandPort()));
    client.send(Wire::Command::SetGenerator, generatorPayload(90, 2, 30, 20));
    client.send(Wire::Command::SetElectrodes, electrodesPayload(3, 12, {{1, 6, 7}, {4, 14, 20}}));
    // The record's channels in the StartRecord order, one the station does not have among them.
    QVector<QVector<float>> rows;
    QVERIFY(record(client, station.dataPort(), {4, 1, 40}, rows));
    QCOMPARE(rows.size(), 2 * (30 + 20) * 2);
    QCOMPARE(started.count(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, Wait);
    QCOMPARE(finished.at(0).at(0).toInt(), 200);
    QCOMPARE(station.recordsStreamed(), 1);

    const double grounding = 60.0 / (2 * M_PI * 0.05);
    const double current = 90.0 / (1500.0 + 800.0 + 2 * grounding);
    const double r4 = o.earth.transferResistance(4.0, 22.0, 26.0, 38.0);
    const double r1 = o.earth.transferResistance(4.0, 22.0, 10.0, 12.0);
    const int polarity[] = {1, 0, -1, 0};
    for (int t = 0; t < rows.size(); ++t) {
        const int sign = polarity[(t % 100) / 50 * 2 + ((t % 50) >= 30 ? 1 : 0)];
        QVERIFY(near(rows[t][0], sign * current, 1e-6));
        QCOMPARE(rows[t][1], sign != 0 ? 90.0f : 0.0f);
        QVERIFY(near(rows[t][2], sign * current * r4, 1e-6));
        QVERIFY(near(rows[t][3], sign * current * r1, 1e-6));
        QCOMPARE(rows[t][4], 0.0f);
    }
}

// Each channel of a ground of blocks reads its own resistance and chargeability.
void TestStationSimulator::recordStreamsTheGround()
{
    auto ground = std::make_shared<GroundModel>();
    QString error;
    QVERIFY(ground->parse(QStringLiteral("background 50 0.01\nrect 20 40 1 6 5 0.2"), &error));
    std::vector<double> x, z;
    for (int k = 0; k < Electrodes::Count; ++k) {
        x.push_back(2.0 * k);
        z.push_back(0.0);
    }
    QVERIFY(ground->solve(x, z));
    SimulatorOptions o = quiet();
    o.spacing = 2.0;
    o.ground = ground;
    StationSimulator station(o);
    QVERIFY(station.start());
    Client client;
    QVERIFY(client.connectTo(station.commandPort()));
    client.send(Wire::Command::SetGenerator, generatorPayload(90, 1, 30, 20));
    client.send(Wire::Command::SetElectrodes, electrodesPayload(14, 17, {{1, 15, 16}, {2, 35, 36}, {3, 14, 15}}));
    QVector<QVector<float>> rows;
    QVERIFY(record(client, station.dataPort(), {1, 2, 3}, rows));
    const double current = 90.0 / (2 * 800.0 + 2 * 50.0 / (2 * M_PI * 0.05));
    QVERIFY(near(rows[0][0], current, 1e-6));
    for (int c = 0; c < 2; ++c) {
        const Quadrupole q{13, 16, c == 0 ? 14 : 34, c == 0 ? 15 : 35};
        // At the switch-on only the unpolarised part.
        const double expected = current * ground->transferResistance(q) * (1.0 - ground->apparentChargeability(q));
        QVERIFY2(near(rows[0][2 + c], expected, 1e-5), qPrintable(QStringLiteral("%1 %2").arg(rows[0][2 + c]).arg(expected)));
    }
    QVERIFY(ground->apparentChargeability({13, 16, 14, 15}) > 0.1);
    // On a current electrode there is no reading.
    QCOMPARE(rows[0][4], 0.0f);
}

void TestStationSimulator::contactAndTestLoad()
{
    SimulatorOptions o = quiet();
    o.contactOverrides.insert(10, 20000.0);
    StationSimulator station(o);
    QVERIFY(station.start());
    Client client;
    QVERIFY(client.connectTo(station.commandPort()));
    client.send(Wire::Command::SetGenerator, generatorPayload(100, 1, 20, 20));
    // A contact test line {A, B, 0, 0}: U / I is the whole circuit, contacts included.
    client.send(Wire::Command::SetElectrodes, electrodesPayload(10, 11, {}));
    QVector<QVector<float>> rows;
    QVERIFY(record(client, station.dataPort(), {}, rows));
    const double grounding = 100.0 / (2 * M_PI * 0.05);
    QVERIFY(near(rows[5][1] / rows[5][0], 20800.0 + 2 * grounding, 1e-6));

    // The test load: the chain between A and B carries the current, the channel sees its share.
    station.options().testLoad = true;
    station.options().testLoadBase = 120.0;
    client.send(Wire::Command::SetElectrodes, electrodesPayload(2, 8, {{1, 4, 6}, {2, 7, 12}}));
    QVERIFY(record(client, station.dataPort(), {1, 2}, rows));
    QVERIFY(near(rows[5][1] / rows[5][0], 6 * 120.0, 1e-6));
    QVERIFY(near(rows[5][2] / rows[5][0], 2 * 120.0, 1e-6));
    QVERIFY(near(rows[5][3] / rows[5][0], 1 * 120.0, 1e-6));
    QVERIFY(near(rows[45][2] / rows[45][0], 2 * 120.0, 1e-6));
    // The relay test's lines {0, 0, M, N}: each channel reads the load between its electrodes.
    client.send(Wire::Command::SetElectrodes, electrodesPayload(0, 0, {{1, 1, 48}, {2, 30, 17}}));
    QVERIFY(record(client, station.dataPort(), {1, 2}, rows));
    QVERIFY(rows[5][0] > 0.0f);
    QVERIFY(near(rows[5][2] / rows[5][0], 47 * 120.0, 1e-6));
    QVERIFY(near(std::abs(rows[5][3] / rows[5][0]), 13 * 120.0, 1e-6));
}

void TestStationSimulator::relayFaults()
{
    QVector<int> relays;
    for (const QPair<int, int>& step : TestLoad::relayPath(1, 48))
        relays.append(step.first);
    QCOMPARE(relays, QVector<int>({1, 13, 19, 43, 45, 46, 33, 39, 42, 48, 49, 50}));
    // Electrode 5 needs relay 13 in position 1, electrode 1 in position 0.
    QCOMPARE(TestLoad::relayPath(5, 44).at(1), qMakePair(13, 1));
    QCOMPARE(TestLoad::relayPath(1, 48).at(1), qMakePair(13, 0));

    const TestLoad good(100.0);
    const TestLoad stuck(100.0, {13});
    QCOMPARE(good.resistance(5, 44), 3900.0);
    QCOMPARE(stuck.resistance(5, 44), TestLoad::FaultFactor * 3900.0);
    QCOMPARE(stuck.resistance(44, 5), 3900.0);
    QCOMPARE(stuck.resistance(1, 48), 4700.0);
    QCOMPARE(stuck.resistance(0, 48), 0.0);
    // Relay 46 is never needed in position 1, so it cannot show a fault.
    const TestLoad never(100.0, {46});
    for (int a = 1; a <= 48; ++a) {
        for (int b = 1; b <= 48; ++b) {
            if (a != b)
                QCOMPARE(never.resistance(a, b), std::abs(a - b) * 100.0);
        }
    }
}

void TestStationSimulator::stopInMidStream()
{
    SimulatorOptions o = quiet();
    o.speed = 1.0;
    StationSimulator station(o);
    QVERIFY(station.start());
    QSignalSpy finished(&station, &StationSimulator::recordFinished);
    Client client;
    QVERIFY(client.connectTo(station.commandPort()));
    client.send(Wire::Command::SetGenerator, generatorPayload(50, 3, 1000, 1000));
    QTcpSocket data;
    QVERIFY(connectSocket(data, station.dataPort()));
    client.send(Wire::Command::StartRecord, startPayload({1}));
    QVERIFY(waitFor([&] { return data.bytesAvailable() > 0; }));
    client.send(Wire::Command::StopRecord);
    QTRY_COMPARE_WITH_TIMEOUT(data.state(), QAbstractSocket::UnconnectedState, Wait);
    QCOMPARE(finished.count(), 1);
    QVERIFY(finished.at(0).at(0).toInt() < 12000);
}

void TestStationSimulator::reconnectionReplacesTheClient()
{
    StationSimulator station(quiet());
    QVERIFY(station.start());
    QSignalSpy connected(&station, &StationSimulator::clientConnected);
    QSignalSpy disconnected(&station, &StationSimulator::clientDisconnected);
    Client first;
    QVERIFY(first.connectTo(station.commandPort()));
    Frame f;
    QVERIFY(first.request(Wire::Command::GetProperties, Wire::Reply::Properties, f));
    Client second;
    QVERIFY(second.connectTo(station.commandPort()));
    QVERIFY(second.request(Wire::Command::GetProperties, Wire::Reply::Properties, f));
    QTRY_COMPARE_WITH_TIMEOUT(first.socket.state(), QAbstractSocket::UnconnectedState, Wait);
    QCOMPARE(connected.count(), 2);
    QCOMPARE(disconnected.count(), 1);
    second.socket.disconnectFromHost();
    QTRY_COMPARE_WITH_TIMEOUT(disconnected.count(), 2, Wait);
    Client third;
    QVERIFY(third.connectTo(station.commandPort()));
    QVERIFY(third.request(Wire::Command::GetStatus, Wire::Reply::Status, f));
}

void TestStationSimulator::faultDropCommand()
{
    SimulatorOptions o = quiet();
    o.dropCommandAfterFrames = 2;
    StationSimulator station(o);
    QVERIFY(station.start());
    Client client;
    QVERIFY(client.connectTo(station.commandPort()));
    client.send(Wire::Command::GetStatus);
    client.send(Wire::Command::GetProperties);
    client.send(Wire::Command::GetOverflows);
    Frame f;
    // Both frames are answered, the third is not.
    QVERIFY(client.next(f) && f.code == Wire::Reply::Status);
    QVERIFY(client.next(f) && f.code == Wire::Reply::Properties);
    QTRY_COMPARE_WITH_TIMEOUT(client.socket.state(), QAbstractSocket::UnconnectedState, Wait);
    QVERIFY(client.buffer.isEmpty() && client.socket.bytesAvailable() == 0);
    // Counting starts again on a new connection.
    Client again;
    QVERIFY(again.connectTo(station.commandPort()));
    QVERIFY(again.request(Wire::Command::GetStatus, Wire::Reply::Status, f));
    station.options().dropCommandAfterFrames = -1;
    QVERIFY(again.request(Wire::Command::GetStatus, Wire::Reply::Status, f));
    QVERIFY(again.request(Wire::Command::GetStatus, Wire::Reply::Status, f));
}

void TestStationSimulator::faultRefuseData()
{
    SimulatorOptions o = quiet();
    o.refuseData = true;
    StationSimulator station(o);
    QVERIFY(station.start());
    const quint16 dataPort = station.dataPort();
    QVERIFY(dataPort != 0);
    Client client;
    QVERIFY(client.connectTo(station.commandPort()));
    QTcpSocket data;
    QVERIFY(!connectSocket(data, dataPort));
    QCOMPARE(data.error(), QAbstractSocket::ConnectionRefusedError);

    // Switched off, the data port listens again from the next command on.
    station.options().refuseData = false;
    Frame f;
    QVERIFY(client.request(Wire::Command::GetProperties, Wire::Reply::Properties, f));
    QVector<QVector<float>> rows;
    client.send(Wire::Command::SetGenerator, generatorPayload(50, 1, 10, 10));
    QVERIFY(record(client, dataPort, {1}, rows));
    QCOMPARE(rows.size(), 40);
}

void TestStationSimulator::faultByteByByteAndUnknownCodes()
{
    SimulatorOptions o = quiet();
    o.byteByByte = true;
    o.unknownCodes = true;
    StationSimulator station(o);
    QVERIFY(station.start());
    Client client;
    QVERIFY(client.connectTo(station.commandPort()));
    Frame f;
    client.send(Wire::Command::GetStatus);
    client.send(Wire::Command::GetOverflows);
    QVERIFY(client.next(f));
    QCOMPARE(f.code, StationSimulator::UnknownReplyCode);
    QVERIFY(client.next(f));
    QCOMPARE(f.code, Wire::Reply::Status);
    QCOMPARE(Wire::getF32(f.payload.constData() + 8), 3736.6f);
    QVERIFY(client.next(f));
    QCOMPARE(f.code, StationSimulator::UnknownReplyCode);
    QVERIFY(client.next(f));
    QCOMPARE(f.code, Wire::Reply::Overflows);
    // 7 + 24 + 7 + 14 bytes, sent one at a time, cannot all arrive in a couple of reads.
    QVERIFY2(client.reads > 4, qPrintable(QString::number(client.reads)));
}

void TestStationSimulator::faultCloseDataMidway()
{
    SimulatorOptions o = quiet();
    o.closeDataAfterRows = 70;
    StationSimulator station(o);
    QVERIFY(station.start());
    QSignalSpy finished(&station, &StationSimulator::recordFinished);
    Client client;
    QVERIFY(client.connectTo(station.commandPort()));
    client.send(Wire::Command::SetGenerator, generatorPayload(50, 2, 25, 25));
    QVector<QVector<float>> rows;
    QVERIFY(record(client, station.dataPort(), {1, 2}, rows));
    QCOMPARE(rows.size(), 70);
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, Wait);
    QCOMPARE(finished.at(0).at(0).toInt(), 70);
    station.options().closeDataAfterRows = -1;
    QVERIFY(record(client, station.dataPort(), {1, 2}, rows));
    QCOMPARE(rows.size(), 200);
}

void TestStationSimulator::executable()
{
    const QString program = QStringLiteral(TERVEX_STATION_SIM);
    QProcess sim;
    sim.start(program, {QStringLiteral("--command-port"), QStringLiteral("0"), QStringLiteral("--data-port"),
                        QStringLiteral("0"), QStringLiteral("--channels"), QStringLiteral("3"),
                        QStringLiteral("--not-ready"), QStringLiteral("2"), QStringLiteral("--quiet")});
    QVERIFY(sim.waitForStarted(Wait));
    QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), Wait);
    const QString line = QString::fromUtf8(sim.readLine()).trimmed();
    const QRegularExpression pattern(
        QStringLiteral("^Tervex-M1 simulator listening on 127\\.0\\.0\\.1:(\\d+) \\(commands\\), (\\d+) \\(data\\)$"));
    const QRegularExpressionMatch match = pattern.match(line);
    QVERIFY2(match.hasMatch(), qPrintable(line));
    Client client;
    QVERIFY(client.connectTo(quint16(match.captured(1).toUInt())));
    Frame f;
    QVERIFY(client.request(Wire::Command::GetProperties, Wire::Reply::Properties, f));
    const char* p = f.payload.constData() - Wire::FrameHeaderSize;
    QCOMPARE(quint8(p[14]), quint8(3));
    const char* second = p + Wire::PropertiesChannelsOffset + Wire::StationChannelSize;
    QVERIFY(second[12] != 0 && second[13] != 0);
    sim.terminate();
    QVERIFY(sim.waitForFinished(Wait));

    // Traffic stays on loopback unless asked otherwise; bad values are refused.
    for (const QStringList& arguments : {QStringList{QStringLiteral("--address"), QStringLiteral("0.0.0.0")},
                                         QStringList{QStringLiteral("--speed"), QStringLiteral("fast")},
                                         QStringList{QStringLiteral("--high-contact"), QStringLiteral("10:5")}}) {
        QProcess refused;
        refused.start(program, arguments + QStringList{QStringLiteral("--command-port"), QStringLiteral("0"),
                                                       QStringLiteral("--data-port"), QStringLiteral("0")});
        QVERIFY(refused.waitForFinished(Wait));
        QVERIFY2(refused.exitCode() != 0, qPrintable(arguments.join(' ')));
    }
    // A ground file with a bad line, named with its number.
    QTemporaryDir dir;
    QFile ground(dir.filePath(QStringLiteral("ground.txt")));
    QVERIFY(ground.open(QIODevice::WriteOnly));
    ground.write("background 100\n# a block\nrect 10 20 4 1 30\n");
    ground.close();
    QProcess badGround;
    badGround.start(program, {QStringLiteral("--model"), ground.fileName(), QStringLiteral("--command-port"), QStringLiteral("0")});
    QVERIFY(badGround.waitForFinished(Wait));
    QCOMPARE(badGround.exitCode(), 2);
    QVERIFY(QString::fromUtf8(badGround.readAllStandardError()).contains(QStringLiteral("line 3: the depths")));
    // A port that is taken.
    StationSimulator holder(quiet());
    QVERIFY(holder.start());
    QProcess taken;
    taken.start(program, {QStringLiteral("--command-port"), QString::number(holder.commandPort())});
    QVERIFY(taken.waitForFinished(Wait));
    QVERIFY(taken.exitCode() != 0);
}

QTEST_GUILESS_MAIN(TestStationSimulator)
#include "tst_stationsimulator.moc"
