#include "station/tervexdevice.h"

#include "measurement/electrodeposition.h"
#include "station/settingsstore.h"
#include "station/wireformat.h"

#include <QNetworkInterface>
#include <QSettings>

#include <cstdio>

namespace {

constexpr int DefaultDataConnectTimeout = 5000;
// The StartRecord frame counts its channels in one byte.
constexpr int MaxRecordChannels = 255;

void printLine(FILE* stream, const QString& line)
{
    std::fputs(line.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

}

TervexDevice::TervexDevice(QSettings* settings, QObject* parent)
    : QObject(parent)
{
    using namespace SettingsStore;
    if (settings->contains(Key::commandPort())) {
        m_commandPort = quint16(settings->value(Key::commandPort()).toInt());
    } else {
        m_commandPort = DefaultCommandPort;
        settings->setValue(Key::commandPort(), m_commandPort);
    }
    if (settings->contains(Key::dataPort())) {
        m_dataPort = quint16(settings->value(Key::dataPort()).toInt());
    } else {
        m_dataPort = DefaultDataPort;
        settings->setValue(Key::dataPort(), m_dataPort);
    }
    if (settings->contains(Key::host())) {
        m_host = settings->value(Key::host()).toString();
    } else {
        m_host = defaultHost();
        settings->setValue(Key::host(), m_host);
    }

    m_statusTimer.setInterval(m_statusInterval);
    connect(&m_statusTimer, &QTimer::timeout, this, &TervexDevice::onStatusTimeout);

    m_dataConnectTimer.setSingleShot(true);
    m_dataConnectTimer.setInterval(DefaultDataConnectTimeout);
    connect(&m_dataConnectTimer, &QTimer::timeout, this, &TervexDevice::onDataConnectTimeout);

    connect(&m_commandSocket, &QTcpSocket::readyRead, this, &TervexDevice::onCmdSocketReadyRead);
    connect(&m_commandSocket, &QTcpSocket::stateChanged, this, &TervexDevice::onCmdSocketStateChanged);
    connect(&m_commandSocket, &QTcpSocket::errorOccurred, this, &TervexDevice::onCmdSocketError);

    connect(&m_dataSocket, &QTcpSocket::connected, this, &TervexDevice::onDataSocketConnected, Qt::QueuedConnection);
    connect(&m_dataSocket, &QTcpSocket::readyRead, this, &TervexDevice::onDataSocketReadyRead, Qt::QueuedConnection);
    connect(&m_dataSocket, &QTcpSocket::disconnected, this, &TervexDevice::onDataSocketDisconnected,
            Qt::QueuedConnection);

    connect(&m_dataProcessor, &DataProcessor::channelsUpdated, this, &TervexDevice::dataUpdated);
}

QHostAddress TervexDevice::selectLocalAddress(const QString& host, const QList<QHostAddress>& addresses)
{
    const QPair<QHostAddress, int> subnet = QHostAddress::parseSubnet(host + QStringLiteral("/24"));
    if (subnet.first.isNull())
        return QHostAddress();
    for (const QHostAddress& address : addresses) {
        if (address.isInSubnet(subnet))
            return address;
    }
    return QHostAddress();
}

bool TervexDevice::connectToStation()
{
    m_commandSocket.abort();
    m_dataSocket.abort();
    // Bytes of an old connection must never be glued to the new station's first frame.
    m_receiveBuffer.clear();
    m_propertiesAwaited = 0;

    m_localAddress = selectLocalAddress(m_host, QNetworkInterface::allAddresses());
    if (m_localAddress.isNull())
        return false;
    if (!m_commandSocket.bind(m_localAddress, 0))
        return false;
    if (!m_dataSocket.bind(m_localAddress, 0))
        return false;
    m_commandSocket.connectToHost(QHostAddress(m_host), m_commandPort, QIODevice::ReadWrite);
    return true;
}

void TervexDevice::closeConnections()
{
    m_statusTimer.stop();
    if (m_dataSocket.state() != QAbstractSocket::UnconnectedState)
        m_dataSocket.close();
    if (m_commandSocket.state() != QAbstractSocket::UnconnectedState)
        m_commandSocket.close();
}

void TervexDevice::sendFrame(const QByteArray& frame)
{
    // A command written while the connection is down is lost, as it would be on the wire.
    if (m_commandSocket.state() != QAbstractSocket::ConnectedState)
        return;
    m_commandSocket.write(frame);
}

namespace {
// A frame whose payload is an entry count followed by the entries; the length covers the count.
QByteArray countedFrame(quint16 code, quint16 count, const QByteArray& entries)
{
    QByteArray payload;
    Wire::putU16(payload, count);
    payload.append(entries);
    return Wire::frame(code, payload);
}
}

QByteArray TervexDevice::electrodesFrame(const ElectrodeSettings& electrodes)
{
    QByteArray entries;
    quint16 count = 1;
    Wire::putU16(entries, 0);
    Wire::putU16(entries, electrodes.currentElectrodeA);
    Wire::putU16(entries, electrodes.currentElectrodeB);
    for (const ChannelSetting& channel : electrodes.channels) {
        if (!channel.enabled)
            continue;
        Wire::putU16(entries, channel.number);
        Wire::putU16(entries, channel.electrodeM);
        Wire::putU16(entries, channel.electrodeN);
        ++count;
    }
    return countedFrame(Wire::Command::SetElectrodes, count, entries);
}

QByteArray TervexDevice::gainsFrame(const ElectrodeSettings& electrodes)
{
    QByteArray entries;
    quint16 count = 0;
    for (const ChannelSetting& channel : electrodes.channels) {
        if (!channel.enabled)
            continue;
        Wire::putU16(entries, channel.number);
        Wire::putU16(entries, channel.gain);
        ++count;
    }
    return countedFrame(Wire::Command::SetGains, count, entries);
}

QByteArray TervexDevice::generatorFrame(const GeneratorSettings& generator)
{
    QByteArray payload;
    Wire::putU16(payload, generator.voltage);
    Wire::putU16(payload, generator.periods);
    Wire::putU32(payload, generator.pulseLength);
    Wire::putU32(payload, generator.pauseLength);
    return Wire::frame(Wire::Command::SetGenerator, payload);
}

QByteArray TervexDevice::startRecordFrame(const QVector<quint16>& channels, quint8 mode)
{
    const int count = qMin(channels.size(), MaxRecordChannels);
    QByteArray payload;
    Wire::putU8(payload, mode);
    Wire::putU8(payload, quint8(count));
    for (int i = 0; i < count; ++i)
        Wire::putU16(payload, channels.at(i));
    return Wire::frame(Wire::Command::StartRecord, payload);
}

void TervexDevice::requestProperties()
{
    if (m_commandSocket.state() == QAbstractSocket::ConnectedState)
        ++m_propertiesAwaited;
    sendFrame(Wire::frame(Wire::Command::GetProperties));
}

void TervexDevice::sendGenerator(const GeneratorSettings* generator)
{
    if (generator)
        sendFrame(generatorFrame(*generator));
}

void TervexDevice::sendElectrodes(const ElectrodeSettings& electrodes)
{
    sendFrame(electrodesFrame(electrodes));
}

void TervexDevice::sendGains(const ElectrodeSettings& electrodes)
{
    sendFrame(gainsFrame(electrodes));
}

void TervexDevice::applySettings(const GeneratorSettings* generator, const ElectrodeSettings* electrodes)
{
    if (!generator || !electrodes)
        return;
    sendGenerator(generator);
    sendElectrodes(*electrodes);
    requestProperties();
}

void TervexDevice::sendStopRecord()
{
    sendFrame(Wire::frame(Wire::Command::StopRecord));
}

void TervexDevice::requestStatus()
{
    sendFrame(Wire::frame(Wire::Command::GetStatus));
}

void TervexDevice::requestOverflows()
{
    sendFrame(Wire::frame(Wire::Command::GetOverflows));
}

void TervexDevice::startRecord(const GeneratorSettings* generator, const ElectrodeSettings* electrodes,
                               const QVector<quint16>& channels, quint8 mode)
{
    m_statusTimer.stop();
    // The row width must match the channels the StartRecord frame names.
    m_recordChannels = channels.mid(0, MaxRecordChannels);
    m_pendingStartFrame = startRecordFrame(m_recordChannels, mode);
    m_startPending = true;
    if (generator && electrodes) {
        sendGenerator(generator);
        sendElectrodes(*electrodes);
        requestProperties();
    }
}

void TervexDevice::cancelPendingStart()
{
    m_startPending = false;
    m_pendingStartFrame.clear();
    m_dataConnectTimer.stop();
    if (!m_streaming && m_dataSocket.state() != QAbstractSocket::UnconnectedState)
        m_dataSocket.abort();
}

void TervexDevice::stopRecord()
{
    if (m_startPending) {
        // A Properties reply already on its way must not start the record after Stop.
        cancelPendingStart();
        resumeStatusPolling();
    } else if (m_streaming) {
        m_stopRequested = true;
        m_dataSocket.disconnectFromHost();
    }
    sendStopRecord();
    Q_EMIT recordStopped();
}

void TervexDevice::resumeStatusPolling()
{
    // Polling a closed connection would only lose the requests.
    if (m_commandSocket.state() == QAbstractSocket::ConnectedState)
        m_statusTimer.start();
}

void TervexDevice::onStatusTimeout()
{
    requestStatus();
}

void TervexDevice::onCmdSocketReadyRead()
{
    m_receiveBuffer.append(m_commandSocket.readAll());
    QByteArray frame;
    while (m_receiveBuffer.takeFrame(&frame)) {
        const quint16 code = FrameParser::code(frame);
        switch (code) {
        case Wire::Reply::Status:
            handleStatusFrame(frame);
            break;
        case Wire::Reply::Overflows:
            handleOverflowsFrame(frame);
            break;
        case Wire::Reply::Properties:
            handlePropertiesFrame(frame);
            break;
        default:
            printLine(stderr, QStringLiteral("unknown command: %1").arg(code));
            break;
        }
    }
}

QString TervexDevice::socketStateName(QAbstractSocket::SocketState state)
{
    switch (state) {
    case QAbstractSocket::UnconnectedState: return QStringLiteral("Unconnected");
    case QAbstractSocket::HostLookupState: return QStringLiteral("HostLookup");
    case QAbstractSocket::ConnectingState: return QStringLiteral("Connecting");
    case QAbstractSocket::ConnectedState: return QStringLiteral("Connected");
    case QAbstractSocket::BoundState: return QStringLiteral("Bound");
    case QAbstractSocket::ListeningState: return QStringLiteral("Listening");
    case QAbstractSocket::ClosingState: return QStringLiteral("Closing");
    }
    return QString();
}

QString TervexDevice::socketErrorName(QAbstractSocket::SocketError error)
{
    static const char* const names[] = {
        "ConnectionRefusedError", "RemoteHostClosedError", "HostNotFoundError", "SocketAccessError",
        "SocketResourceError", "SocketTimeoutError", "DatagramTooLargeError", "NetworkError",
        "AddressInUseError", "SocketAddressNotAvailableError", "UnsupportedSocketOperationError",
        "UnfinishedSocketOperationError", "ProxyAuthenticationRequiredError", "SslHandshakeFailedError",
        "ProxyConnectionRefusedError", "ProxyConnectionClosedError", "ProxyConnectionTimeoutError",
        "ProxyNotFoundError", "ProxyProtocolError", "OperationError", "SslInternalError",
        "SslInvalidUserDataError", "TemporaryError",
    };
    const int index = int(error);
    if (index < 0 || index >= int(sizeof(names) / sizeof(names[0])))
        return QStringLiteral("UnknownSocketError");
    return QString::fromLatin1(names[index]);
}

void TervexDevice::onCmdSocketError(QAbstractSocket::SocketError error)
{
    printLine(stdout, socketErrorName(error));
}

void TervexDevice::onCmdSocketStateChanged(QAbstractSocket::SocketState state)
{
    printLine(stdout, socketStateName(state));
    switch (state) {
    case QAbstractSocket::UnconnectedState:
        m_propertiesAwaited = 0;
        Q_EMIT disconnected();
        // Without the command connection the held StartRecord can never be written.
        if (m_startPending) {
            cancelPendingStart();
            Q_EMIT recordFailed();
        }
        break;
    case QAbstractSocket::HostLookupState:
        Q_EMIT connecting();
        break;
    case QAbstractSocket::ConnectedState:
        Q_EMIT connected();
        sendStopRecord();
        requestProperties();
        m_statusTimer.start();
        break;
    default:
        break;
    }
}

bool TervexDevice::decodeProperties(const QByteArray& frame, StationProperties* properties)
{
    if (frame.size() < Wire::PropertiesChannelsOffset)
        return false;
    const char* d = frame.constData();
    const quint8 channelCount = quint8(Wire::getU16(d + 14) & 0xFF);
    const int records = properties->channelCountFixed == 0 ? channelCount : properties->channels.size();
    if (frame.size() < Wire::PropertiesChannelsOffset + records * Wire::StationChannelSize)
        return false;

    properties->serialNumber = Wire::getU16(d + 4);
    properties->adapterVersionMajor = Wire::getU16(d + 6);
    properties->adapterVersionMinor = Wire::getU16(d + 8);
    properties->currentElectrodeA = Wire::getU16(d + 10);
    properties->currentElectrodeB = Wire::getU16(d + 12);
    properties->channelCount = channelCount;
    properties->electrodeCount = quint8(Electrodes::Count);
    if (properties->channelCountFixed == 0) {
        properties->channelCountFixed = channelCount;
        properties->channels.resize(channelCount);
    }
    properties->generatorVersionMajor = Wire::getU16(d + 16);
    properties->generatorVersionMinor = Wire::getU16(d + 18);
    properties->generator.voltage = Wire::getU16(d + 20);
    properties->generator.periods = Wire::getU16(d + 22);
    properties->generator.pulseLength = Wire::getU32(d + 24);
    properties->generator.pauseLength = Wire::getU32(d + 28);

    for (int i = 0; i < properties->channels.size(); ++i) {
        const char* c = d + Wire::PropertiesChannelsOffset + i * Wire::StationChannelSize;
        StationChannel& channel = properties->channels[i];
        channel.number = Wire::getU16(c);
        channel.versionMajor = Wire::getU16(c + 2);
        channel.versionMinor = Wire::getU16(c + 4);
        channel.electrodeM = Wire::getU16(c + 6);
        channel.electrodeN = Wire::getU16(c + 8);
        channel.gain = Wire::getU16(c + 10);
        channel.statusLow = quint8(c[12]);
        channel.statusHigh = quint8(c[13]);
    }
    return true;
}

bool TervexDevice::decodeStatus(const QByteArray& frame, StationStatus* status)
{
    if (frame.size() < Wire::StatusFrameSize)
        return false;
    const char* d = frame.constData();
    status->fix = Wire::getI32(d + 4);
    status->altitude = Wire::getF32(d + 8);
    status->longitude = Wire::getF32(d + 12);
    status->latitude = Wire::getF32(d + 16);
    status->batteryVoltage = Wire::getF32(d + 20);
    return true;
}

void TervexDevice::handlePropertiesFrame(const QByteArray& frame)
{
    if (m_propertiesAwaited > 0)
        --m_propertiesAwaited;
    if (!decodeProperties(frame, &m_properties)) {
        printLine(stderr, QStringLiteral("short Properties frame dropped: %1 bytes").arg(frame.size()));
        return;
    }
    Q_EMIT propertiesUpdated();
    if (m_firstProperties) {
        m_firstProperties = false;
        m_dataProcessor.reset(m_properties.channelCount);
        Q_EMIT initialized();
    }
    // Only the answer to the request sent with the record's settings confirms them: an earlier
    // request still on its way would start the record with the station's old timing.
    if (m_startPending && m_propertiesAwaited == 0)
        openDataConnection();
}

void TervexDevice::handleStatusFrame(const QByteArray& frame)
{
    StationStatus status;
    if (!decodeStatus(frame, &status)) {
        printLine(stderr, QStringLiteral("short Status frame dropped: %1 bytes").arg(frame.size()));
        return;
    }
    m_battery.addVoltage(status.batteryVoltage);
    m_gps.update(status.fix, status.longitude, status.latitude, status.altitude);
    Q_EMIT statusUpdated();
}

void TervexDevice::handleOverflowsFrame(const QByteArray& frame)
{
    m_overflows = frame.mid(Wire::FrameHeaderSize);
    Q_EMIT overflowfUpdated();
}

void TervexDevice::openDataConnection()
{
    // A connection already opening serves this reply as well.
    if (m_dataSocket.state() == QAbstractSocket::UnconnectedState && !m_localAddress.isNull())
        m_dataSocket.bind(m_localAddress, 0);
    const QAbstractSocket::SocketState state = m_dataSocket.state();
    if (state == QAbstractSocket::UnconnectedState || state == QAbstractSocket::BoundState)
        m_dataSocket.connectToHost(QHostAddress(m_host), m_dataPort, QIODevice::ReadWrite);
    m_dataConnectTimer.start();
}

void TervexDevice::onDataConnectTimeout()
{
    if (!m_startPending)
        return;
    cancelPendingStart();
    resumeStatusPolling();
    Q_EMIT recordFailed();
}

void TervexDevice::onDataSocketConnected()
{
    if (!m_startPending) {
        // Nobody waits for this connection (the start was stopped or gave up).
        m_dataSocket.abort();
        return;
    }
    m_dataConnectTimer.stop();
    const GeneratorSettings& timing = m_properties.generator;
    m_dataProcessor.setup(int(timing.pulseLength), int(timing.pauseLength), int(timing.periods), m_recordChannels);
    m_streaming = true;
    m_stopRequested = false;
    sendFrame(m_pendingStartFrame);
    m_pendingStartFrame.clear();
    m_startPending = false;
    Q_EMIT recordStarted();
}

void TervexDevice::onDataSocketReadyRead()
{
    const QByteArray bytes = m_dataSocket.readAll();
    if (m_streaming && !bytes.isEmpty())
        m_dataProcessor.appendData(bytes);
}

void TervexDevice::onDataSocketDisconnected()
{
    if (!m_streaming)
        return;
    onDataSocketReadyRead();
    m_streaming = false;
    resumeStatusPolling();
    const DataContainer* container = m_dataProcessor.container();
    if (!m_stopRequested && container->receivedSamples() < container->expectedSamples())
        Q_EMIT recordFailed();
    else
        Q_EMIT recordCompleted();
}
