#include "stationsimulator.h"

#include "testload.h"
#include "measurement/electrodeposition.h"

#include <QTcpSocket>

#include <cmath>
#include <limits>
#include <random>

namespace {

// Station time between two batches of rows.
constexpr int BatchMilliseconds = 20;
// As fast as possible still goes in bounded pieces, so the event loop keeps turning.
constexpr int FastRowsPerTick = 4096;
constexpr qint64 MaxQueuedBytes = 256 * 1024;
constexpr int FloodMilliseconds = 5;
constexpr int FloodFramesPerTick = 4096;
// Offsets in the Properties payload (the frame without its header).
constexpr int PropertiesChannelCountOffset = 10;
constexpr int PropertiesChannelsPayloadOffset = Wire::PropertiesChannelsOffset - Wire::FrameHeaderSize;

// Where the station stands, in its GPS receiver's ddmm.mmmm form.
constexpr float Longitude = 3736.6f;
constexpr float Latitude = 5545.5f;
constexpr float Altitude = 151.5f;

// Self-potential offsets of a record stay within this many seconds of drift.
constexpr double OffsetSeconds = 50.0;

}

StationSimulator::StationSimulator(const SimulatorOptions& options, QObject* parent)
    : QObject(parent)
    , m_options(options)
{
    m_generator.voltage = 50;
    m_generator.periods = 3;
    m_generator.pulseLength = 500;
    m_generator.pauseLength = 500;
    m_electrodes.currentElectrodeA = 1;
    m_electrodes.currentElectrodeB = 2;
    for (int k = 1; k <= qBound(0, m_options.channelCount, 255); ++k) {
        ChannelSetting c;
        const bool ready = !m_options.notReadyChannels.contains(k);
        c.available = ready;
        c.enabled = ready;
        c.number = quint16(k);
        c.electrodeM = quint16(k + 2);
        c.electrodeN = quint16(k + 3);
        c.gain = 3;
        m_electrodes.channels.append(c);
    }

    m_slowWriteTimer.setInterval(1);
    m_streamTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_commandServer, &QTcpServer::newConnection, this, &StationSimulator::onCommandConnection);
    connect(&m_dataServer, &QTcpServer::newConnection, this, &StationSimulator::onDataConnection);
    connect(&m_streamTimer, &QTimer::timeout, this, &StationSimulator::onStreamTimeout);
    connect(&m_slowWriteTimer, &QTimer::timeout, this, &StationSimulator::onSlowWriteTimeout);
    m_floodTimer.setInterval(FloodMilliseconds);
    connect(&m_floodTimer, &QTimer::timeout, this, &StationSimulator::onFloodTimeout);
}

StationSimulator::~StationSimulator()
{
    // The sockets are children; their disconnection must not reach the handlers of a half-destroyed object.
    for (QTcpSocket* socket : findChildren<QTcpSocket*>())
        socket->disconnect(this);
}

bool StationSimulator::start()
{
    if (!m_commandServer.listen(m_options.address, m_options.commandPort)) {
        m_error = QStringLiteral("command port %1: %2").arg(m_options.commandPort).arg(m_commandServer.errorString());
        return false;
    }
    if (!m_dataServer.listen(m_options.address, m_options.dataPort)) {
        m_error = QStringLiteral("data port %1: %2").arg(m_options.dataPort).arg(m_dataServer.errorString());
        m_commandServer.close();
        return false;
    }
    m_dataPort = m_dataServer.serverPort();
    syncDataServer();
    return true;
}

QString StationSimulator::errorString() const
{
    return m_error;
}

quint16 StationSimulator::commandPort() const
{
    return m_commandServer.serverPort();
}

quint16 StationSimulator::dataPort() const
{
    return m_dataPort;
}

SimulatorOptions& StationSimulator::options()
{
    return m_options;
}

GeneratorSettings StationSimulator::generator() const
{
    return m_generator;
}

ElectrodeSettings StationSimulator::electrodes() const
{
    return m_electrodes;
}

int StationSimulator::recordsStreamed() const
{
    return m_recordsStreamed;
}

void StationSimulator::onCommandConnection()
{
    while (QTcpSocket* socket = m_commandServer.nextPendingConnection()) {
        socket->setParent(this);
        if (m_command) {
            // The program came back: the old connection is gone as far as the station cares.
            QTcpSocket* old = m_command;
            m_command = nullptr;
            old->disconnect(this);
            old->abort();
            old->deleteLater();
            emit clientDisconnected();
        }
        m_command = socket;
        m_commandBuffer.clear();
        m_framesOnConnection = 0;
        m_halfFrameSent = false;
        m_propertiesRequests = 0;
        if (m_options.floodUnknown)
            m_floodTimer.start();
        m_slowOutput.clear();
        m_closeWhenSent = false;
        m_slowWriteTimer.stop();
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, this, &StationSimulator::onCommandReadyRead);
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            socket->deleteLater();
            if (socket != m_command)
                return;
            m_command = nullptr;
            m_slowWriteTimer.stop();
            m_floodTimer.stop();
            emit clientDisconnected();
        });
        emit clientConnected();
    }
}

void StationSimulator::onCommandReadyRead()
{
    QTcpSocket* socket = m_command;
    if (!socket || sender() != socket)
        return;
    m_commandBuffer.append(socket->readAll());
    while (m_commandBuffer.size() >= Wire::FrameHeaderSize && m_command == socket && !m_closeWhenSent) {
        const quint16 code = Wire::getU16(m_commandBuffer.constData());
        const int length = Wire::getU16(m_commandBuffer.constData() + 2);
        if (m_commandBuffer.size() < Wire::FrameHeaderSize + length)
            break;
        const QByteArray payload = m_commandBuffer.mid(Wire::FrameHeaderSize, length);
        m_commandBuffer.remove(0, Wire::FrameHeaderSize + length);
        ++m_framesOnConnection;
        emit commandReceived(code, payload);
        syncDataServer();
        handleFrame(code, payload);
        const int limit = m_options.dropCommandAfterFrames;
        if (limit >= 0 && m_framesOnConnection >= limit)
            closeCommandConnection();
    }
}

void StationSimulator::closeCommandConnection()
{
    m_commandBuffer.clear();
    if (!m_slowOutput.isEmpty()) {
        m_closeWhenSent = true;
        return;
    }
    if (m_command)
        m_command->disconnectFromHost();
}

void StationSimulator::handleFrame(quint16 code, const QByteArray& payload)
{
    switch (code) {
    case Wire::Command::GetProperties: {
        if (++m_propertiesRequests == m_options.unansweredProperties)
            break;
        QByteArray payload = propertiesPayload();
        const int later = m_options.laterChannelCount;
        if (later >= 0 && m_propertiesReplies > 0) {
            const int kept = qMin(later, int(m_electrodes.channels.size()));
            payload[PropertiesChannelCountOffset] = char(quint8(later));
            payload.truncate(PropertiesChannelsPayloadOffset + kept * Wire::StationChannelSize);
        }
        ++m_propertiesReplies;
        reply(Wire::Reply::Properties, payload);
        break;
    }
    case Wire::Command::SetElectrodes:
        applyElectrodes(payload);
        break;
    case Wire::Command::SetGains:
        applyGains(payload);
        break;
    case Wire::Command::SetGenerator:
        applyGenerator(payload);
        break;
    case Wire::Command::StartRecord: {
        if (payload.size() < 2)
            break;
        const int count = quint8(payload.at(1));
        m_recordChannels.clear();
        for (int i = 0; i < count && 2 + 2 * i + 2 <= payload.size(); ++i)
            m_recordChannels.append(Wire::getU16(payload.constData() + 2 + 2 * i));
        m_startPending = true;
        tryStartRecord();
        break;
    }
    case Wire::Command::StopRecord:
        m_startPending = false;
        if (m_streaming)
            endRecord(true);
        break;
    case Wire::Command::GetStatus:
        reply(Wire::Reply::Status, statusPayload());
        break;
    case Wire::Command::GetOverflows:
        reply(Wire::Reply::Overflows, QByteArray(m_electrodes.channels.size(), '\0'));
        break;
    default:
        // A real station ignores what it does not understand.
        break;
    }
}

void StationSimulator::applyElectrodes(const QByteArray& payload)
{
    if (payload.size() < 2)
        return;
    const int count = Wire::getU16(payload.constData());
    for (ChannelSetting& c : m_electrodes.channels)
        c.enabled = 0;
    for (int i = 0; i < count && 2 + 6 * i + 6 <= payload.size(); ++i) {
        const char* entry = payload.constData() + 2 + 6 * i;
        const quint16 channel = Wire::getU16(entry);
        const quint16 first = Wire::getU16(entry + 2);
        const quint16 second = Wire::getU16(entry + 4);
        if (i == 0 && channel == 0) {
            m_electrodes.currentElectrodeA = first;
            m_electrodes.currentElectrodeB = second;
            continue;
        }
        for (ChannelSetting& c : m_electrodes.channels) {
            if (c.number == channel) {
                c.electrodeM = first;
                c.electrodeN = second;
                c.enabled = 1;
            }
        }
    }
}

void StationSimulator::applyGains(const QByteArray& payload)
{
    if (payload.size() < 2)
        return;
    const int count = Wire::getU16(payload.constData());
    for (int i = 0; i < count && 2 + 4 * i + 4 <= payload.size(); ++i) {
        const char* entry = payload.constData() + 2 + 4 * i;
        const quint16 channel = Wire::getU16(entry);
        for (ChannelSetting& c : m_electrodes.channels) {
            if (c.number == channel)
                c.gain = Wire::getU16(entry + 2);
        }
    }
}

void StationSimulator::applyGenerator(const QByteArray& payload)
{
    if (payload.size() < Wire::GeneratorPayloadSize)
        return;
    const char* p = payload.constData();
    m_generator.voltage = Wire::getU16(p);
    m_generator.periods = Wire::getU16(p + 2);
    m_generator.pulseLength = Wire::getU32(p + 4);
    m_generator.pauseLength = Wire::getU32(p + 8);
}

QByteArray StationSimulator::propertiesPayload() const
{
    QByteArray out;
    Wire::putU16(out, m_options.serialNumber);
    Wire::putU16(out, AdapterVersionMajor);
    Wire::putU16(out, AdapterVersionMinor);
    Wire::putU16(out, m_electrodes.currentElectrodeA);
    Wire::putU16(out, m_electrodes.currentElectrodeB);
    Wire::putU8(out, quint8(m_electrodes.channels.size()));
    Wire::putU8(out, quint8(Electrodes::Count));
    Wire::putU16(out, GeneratorVersionMajor);
    Wire::putU16(out, GeneratorVersionMinor);
    Wire::putU16(out, m_generator.voltage);
    Wire::putU16(out, m_generator.periods);
    Wire::putU32(out, m_options.confirmedPulse ? m_options.confirmedPulse : m_generator.pulseLength);
    Wire::putU32(out, m_generator.pauseLength);
    for (const ChannelSetting& c : m_electrodes.channels) {
        const bool ready = !m_options.notReadyChannels.contains(c.number);
        Wire::putU16(out, c.number);
        Wire::putU16(out, ChannelVersionMajor);
        Wire::putU16(out, ChannelVersionMinor);
        Wire::putU16(out, c.electrodeM);
        Wire::putU16(out, c.electrodeN);
        Wire::putU16(out, c.gain);
        Wire::putU8(out, ready ? 0 : NotReadyStatusLow);
        Wire::putU8(out, ready ? 0 : NotReadyStatusHigh);
    }
    return out;
}

QByteArray StationSimulator::statusPayload()
{
    ++m_statusRequests;
    // The battery runs down slowly, with a little ripple as the load changes.
    const double battery = qMax(m_options.batteryFloor, m_options.battery - m_options.batteryDrain * m_statusRequests)
                           + 0.02 * std::sin(0.7 * m_statusRequests);
    QByteArray out;
    Wire::putI32(out, Wire::GpsFixValid);
    Wire::putF32(out, Altitude + 0.1f * float(m_statusRequests % 5));
    Wire::putF32(out, Longitude);
    Wire::putF32(out, Latitude);
    Wire::putF32(out, float(battery));
    return out;
}

void StationSimulator::reply(quint16 code, const QByteArray& payload)
{
    if (!m_command || m_options.floodUnknown || m_halfFrameSent)
        return;
    const int silentAfter = m_options.silentAfterFrames;
    if (silentAfter >= 0 && m_framesOnConnection > silentAfter)
        return;
    if (m_options.halfFrame) {
        const QByteArray frame = Wire::frame(code, payload);
        m_command->write(frame.left(frame.size() / 2));
        m_halfFrameSent = true;
        return;
    }
    QByteArray bytes;
    if (m_options.unknownCodes)
        bytes = Wire::frame(UnknownReplyCode, QByteArrayLiteral("sim"));
    bytes.append(Wire::frame(code, payload));
    if (m_options.byteByByte || !m_slowOutput.isEmpty()) {
        m_slowOutput.append(bytes);
        m_slowWriteTimer.start();
        return;
    }
    m_command->write(bytes);
}

void StationSimulator::onFloodTimeout()
{
    if (!m_command || m_command->bytesToWrite() > MaxQueuedBytes)
        return;
    static const QByteArray flood = Wire::frame(UnknownReplyCode).repeated(FloodFramesPerTick);
    m_command->write(flood);
}

void StationSimulator::onSlowWriteTimeout()
{
    if (!m_command || m_slowOutput.isEmpty()) {
        m_slowWriteTimer.stop();
        m_slowOutput.clear();
        return;
    }
    m_command->write(m_slowOutput.constData(), 1);
    m_command->flush();
    m_slowOutput.remove(0, 1);
    if (m_slowOutput.isEmpty()) {
        m_slowWriteTimer.stop();
        if (m_closeWhenSent) {
            m_closeWhenSent = false;
            m_command->disconnectFromHost();
        }
    }
}

void StationSimulator::syncDataServer()
{
    if (m_options.refuseData && m_dataServer.isListening())
        m_dataServer.close();
    else if (!m_options.refuseData && !m_dataServer.isListening() && m_dataPort != 0)
        m_dataServer.listen(m_options.address, m_dataPort);
}

void StationSimulator::onDataConnection()
{
    while (QTcpSocket* socket = m_dataServer.nextPendingConnection()) {
        socket->setParent(this);
        if (m_options.refuseData) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        if (m_data) {
            if (m_streaming)
                endRecord(true);
            else
                m_data->abort();
        }
        m_data = socket;
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            socket->deleteLater();
            if (socket != m_data)
                return;
            if (m_streaming)
                endRecord(false);
            m_data = nullptr;
        });
        // The program sends nothing on the data connection; whatever comes is dropped.
        connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
        tryStartRecord();
    }
}

double StationSimulator::position(int electrode) const
{
    if (electrode == Electrodes::None)
        return std::numeric_limits<double>::infinity();
    return (electrode - 1) * m_options.spacing;
}

double StationSimulator::contact(int electrode) const
{
    return m_options.contactOverrides.value(electrode, m_options.contactResistance);
}

GeneratedRecord StationSimulator::computeRecord(const QVector<quint16>& channels) const
{
    RecordSpec spec;
    spec.pulse = int(qMin<quint32>(m_generator.pulseLength, MaxRecordRows));
    spec.pause = int(qMin<quint32>(m_generator.pauseLength, MaxRecordRows));
    spec.periods = m_generator.periods;
    spec.generatorVoltage = m_generator.voltage;
    const int a = m_electrodes.currentElectrodeA;
    const int b = m_electrodes.currentElectrodeB;
    spec.a = position(a);
    spec.b = position(b);
    spec.contactA = contact(a);
    spec.contactB = contact(b);
    // A passing vehicle or a loose clip spoils a whole record, not a sample here and there.
    spec.noise = m_options.noisyRecords.contains(m_recordsStreamed + 1) ? m_options.burstNoise : m_options.noise;
    spec.seed = m_options.seed + quint32(m_recordsStreamed);

    // Each channel's potential pair; a channel the station does not have records nothing.
    QVector<QPair<int, int>> pairs;
    for (quint16 number : channels) {
        QPair<int, int> pair(-1, -1);
        for (const ChannelSetting& c : m_electrodes.channels) {
            if (c.number == number)
                pair = {c.electrodeM, c.electrodeN};
        }
        pairs.append(pair);
    }

    if (m_options.testLoad) {
        // Resistors neither polarise nor drift.
        const TestLoad load(m_options.testLoadBase, m_options.faultyRelays);
        QVector<double> resistances;
        double current = 0.0;
        if (a != Electrodes::None && b != Electrodes::None) {
            const double r = load.resistance(a, b);
            current = r > 0.0 ? spec.generatorVoltage / r : 0.0;
            for (const QPair<int, int>& p : pairs)
                resistances.append(p.first < 0 ? 0.0 : load.chainTransferResistance(a, b, p.first, p.second));
        } else {
            // The relay test: with no current electrodes the generator drives a reference current
            // through the whole load and each channel reads the load between its M and N.
            current = spec.generatorVoltage / ((Electrodes::Count - 1) * m_options.testLoadBase);
            for (const QPair<int, int>& p : pairs)
                resistances.append(p.first < 0 ? 0.0 : load.resistance(p.first, p.second));
        }
        return generateRecord(spec, current, resistances);
    }

    spec.chargeability = m_options.chargeability;
    spec.decayTime = m_options.decayTime;
    if (m_options.driftPerSecond != 0.0) {
        std::mt19937 engine(spec.seed ^ 0x5eedu);
        std::uniform_real_distribution<double> uniform(-1.0, 1.0);
        spec.drift0 = OffsetSeconds * m_options.driftPerSecond * uniform(engine);
        spec.drift1 = (uniform(engine) < 0 ? -1.0 : 1.0) * m_options.driftPerSecond / 1000.0;
    }
    if (m_options.ground) {
        const GroundModel& ground = *m_options.ground;
        // Electrode k is the ground's k - 1; one it does not have reads nothing.
        const auto index = [&ground](int electrode, bool* known) {
            if (electrode == Electrodes::None)
                return int(Quadrupole::Remote);
            *known = *known && electrode >= 1 && electrode <= ground.electrodeCount();
            return electrode - 1;
        };
        QVector<double> resistances, chargeabilities;
        for (const QPair<int, int>& p : pairs) {
            bool known = p.first >= 0;
            const Quadrupole q{index(a, &known), index(b, &known), index(p.first, &known), index(p.second, &known)};
            const double r = known ? ground.transferResistance(q) : 0.0;
            resistances.append(std::isfinite(r) ? r : 0.0);
            chargeabilities.append(known ? ground.apparentChargeability(q) : 0.0);
        }
        return generateRecord(spec, injectedCurrent(EarthModel(ground.backgroundResistivity()), spec), resistances,
                              chargeabilities);
    }
    for (const QPair<int, int>& p : pairs) {
        const double infinity = std::numeric_limits<double>::infinity();
        spec.mn.append(p.first < 0 ? qMakePair(infinity, infinity) : qMakePair(position(p.first), position(p.second)));
    }
    return generateRecord(m_options.earth, spec);
}

void StationSimulator::tryStartRecord()
{
    if (!m_startPending || !m_data || m_data->state() != QAbstractSocket::ConnectedState)
        return;
    m_startPending = false;
    m_record = computeRecord(m_recordChannels);
    m_rowsSent = 0;
    m_streaming = true;
    ++m_recordsStreamed;
    m_streamClock.start();
    const double speed = m_options.speed;
    m_streamTimer.start(speed > 0.0 ? qMax(1, int(std::lround(BatchMilliseconds / speed))) : 0);
    emit recordStarted();
}

void StationSimulator::onStreamTimeout()
{
    if (!m_streaming || !m_data)
        return;
    const int total = m_record.current.size();
    const int cut = m_options.closeDataAfterRows;
    // An endless record repeats its rows for as long as the program reads them.
    const int limit = m_options.endlessData && total > 0 ? std::numeric_limits<int>::max()
                      : cut >= 0                        ? qMin(total, cut)
                                                        : total;
    int due;
    if (m_options.speed > 0.0) {
        due = int(qMin<double>(limit, double(m_streamClock.elapsed()) * m_options.speed));
    } else {
        if (m_data->bytesToWrite() > MaxQueuedBytes)
            return;
        due = qMin(limit, m_rowsSent + FastRowsPerTick);
    }
    if (due > m_rowsSent) {
        const int streams = 2 + m_record.channels.size();
        QByteArray batch;
        batch.reserve((due - m_rowsSent) * streams * 4);
        for (int row = m_rowsSent; row < due; ++row) {
            const int t = row % total;
            Wire::putF32(batch, m_record.current.at(t));
            Wire::putF32(batch, m_record.voltage.at(t));
            for (const QVector<float>& channel : m_record.channels)
                Wire::putF32(batch, channel.at(t));
        }
        m_data->write(batch);
        m_rowsSent = due;
    }
    if (m_rowsSent >= limit)
        endRecord(false);
}

void StationSimulator::endRecord(bool abortConnection)
{
    m_streaming = false;
    m_streamTimer.stop();
    m_record = GeneratedRecord();
    if (QTcpSocket* socket = m_data) {
        m_data = nullptr;
        // The station closes the data connection after the last row it sends.
        if (abortConnection)
            socket->abort();
        else
            socket->disconnectFromHost();
    }
    emit recordFinished(m_rowsSent);
}
