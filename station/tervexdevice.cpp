#include "station/tervexdevice.h"

#include "measurement/electrodeposition.h"
#include "measurement/recordtiming.h"
#include "station/settingsstore.h"
#include "station/wireformat.h"

#include <QNetworkInterface>
#include <QSettings>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int DefaultDataConnectTimeout = 5000;
constexpr int DefaultReplyTimeout = 10000;
// The data socket keeps at most this many unread bytes, so one read never takes more than a
// bounded slice of a flooding stream.
constexpr qint64 DataReadBufferSize = 1 << 20;
// Rows beyond the expected count a station may send before its stream counts as never ending:
// one second of samples, and a hundredth of the record.
constexpr qint64 SurplusRows = 1000;
constexpr qint64 SurplusFraction = 100;
// The StartRecord frame counts its channels in one byte.
constexpr int MaxRecordChannels = 255;
// Unknown frames printed one by one per second; the rest of the second is one summary line.
constexpr int UnknownLinesPerSecond = 10;
constexpr qint64 UnknownSummaryMs = 1000;

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

    m_unknownSummary.setSingleShot(true);
    connect(&m_unknownSummary, &QTimer::timeout, this, &TervexDevice::printUnknownSummary);

    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this,
            [this] { failLink(tr("Станция %1 не отвечает").arg(stationText())); });
    for (int kind = 0; kind < AwaitKinds; ++kind) {
        m_replyWaits[kind].timer.setSingleShot(true);
        connect(&m_replyWaits[kind].timer, &QTimer::timeout, this,
                [this, kind] { onReplyTimeout(Awaited(kind)); });
    }
    setReplyTimeout(DefaultReplyTimeout);

    connect(&m_commandSocket, &QTcpSocket::readyRead, this, &TervexDevice::onCmdSocketReadyRead);
    connect(&m_commandSocket, &QTcpSocket::stateChanged, this, &TervexDevice::onCmdSocketStateChanged);
    connect(&m_commandSocket, &QTcpSocket::errorOccurred, this, &TervexDevice::onCmdSocketError);

    m_dataSocket.setReadBufferSize(DataReadBufferSize);
    connect(&m_dataSocket, &QTcpSocket::connected, this,
            [this] { queueDataEvent(&TervexDevice::onDataSocketConnected); });
    connect(&m_dataSocket, &QTcpSocket::readyRead, this,
            [this] { queueDataEvent(&TervexDevice::onDataSocketReadyRead); });
    connect(&m_dataSocket, &QTcpSocket::disconnected, this,
            [this] { queueDataEvent(&TervexDevice::onDataSocketDisconnected); });

    connect(&m_dataProcessor, &DataProcessor::channelsUpdated, this, &TervexDevice::dataUpdated);
}

TervexDevice::~TervexDevice()
{
    disconnect(&m_commandSocket, nullptr, this, nullptr);
    disconnect(&m_dataSocket, nullptr, this, nullptr);
    m_dataSocket.abort();
    m_commandSocket.abort();
}

void TervexDevice::queueDataEvent(void (TervexDevice::*slot)())
{
    const quint32 attempt = m_dataAttempt;
    QMetaObject::invokeMethod(
        this,
        [this, attempt, slot] {
            if (attempt == m_dataAttempt)
                (this->*slot)();
        },
        Qt::QueuedConnection);
}

void TervexDevice::setReplyTimeout(int milliseconds)
{
    m_connectTimer.setInterval(milliseconds);
    for (ReplyWait& wait : m_replyWaits)
        wait.timer.setInterval(milliseconds);
}

qint64 TervexDevice::surplusRowLimit(qint64 expectedRows)
{
    return expectedRows + SurplusRows + expectedRows / SurplusFraction;
}

QString TervexDevice::stationText() const
{
    return QStringLiteral("%1:%2").arg(m_host).arg(m_commandPort);
}

QString TervexDevice::dataStationText() const
{
    return QStringLiteral("%1:%2").arg(m_host).arg(m_dataPort);
}

void TervexDevice::expectReply(Awaited kind)
{
    ReplyWait& wait = m_replyWaits[kind];
    if (wait.count++ == 0)
        wait.timer.start();
}

void TervexDevice::replyArrived(Awaited kind)
{
    ReplyWait& wait = m_replyWaits[kind];
    if (wait.count > 0)
        --wait.count;
    // The next answer owed gets a full wait of its own.
    if (wait.count > 0)
        wait.timer.start();
    else
        wait.timer.stop();
}

void TervexDevice::clearReplyWaits()
{
    for (ReplyWait& wait : m_replyWaits) {
        wait.count = 0;
        wait.timer.stop();
    }
}

void TervexDevice::onReplyTimeout(Awaited kind)
{
    if (kind == AwaitProperties && m_link == Link::Ready && m_startPending) {
        // Only this record is lost: the link goes on, counting replies afresh so that the next
        // record is not held back by the answer that never came.
        m_replyWaits[kind].count = 0;
        failRecord(tr("Станция %1 не подтвердила параметры записи").arg(stationText()));
        return;
    }
    failLink(tr("Станция %1 не отвечает").arg(stationText()));
}

void TervexDevice::failRecord(const QString& reason)
{
    cancelPendingStart();
    resumeStatusPolling();
    Q_EMIT recordFailed(reason);
}

void TervexDevice::failLink(const QString& reason)
{
    // Idle first: the aborts below then report no second reason.
    m_link = Link::Idle;
    m_connectTimer.stop();
    m_statusTimer.stop();
    clearReplyWaits();
    const bool recordLost = m_startPending || m_streaming;
    cancelPendingStart();
    m_streaming = false;
    ++m_dataAttempt;
    m_dataSocket.abort();
    m_commandSocket.abort();
    m_receiveBuffer.clear();
    if (recordLost)
        Q_EMIT recordFailed(reason);
    Q_EMIT connectionFailed(reason);
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
    m_link = Link::Idle;
    m_connectTimer.stop();
    m_commandSocket.abort();
    ++m_dataAttempt;
    m_dataSocket.abort();
    // Bytes of an old connection must never be glued to the new station's first frame.
    m_receiveBuffer.clear();
    clearReplyWaits();

    QHostAddress station;
    if (!station.setAddress(m_host) || station.protocol() != QAbstractSocket::IPv4Protocol) {
        Q_EMIT connectionFailed(tr("Адрес станции «%1» не является адресом IPv4").arg(m_host));
        return false;
    }
    m_localAddress = selectLocalAddress(m_host, QNetworkInterface::allAddresses());
    if (m_localAddress.isNull()) {
        Q_EMIT connectionFailed(tr("Станция %1 недоступна: ни один сетевой интерфейс компьютера "
                                               "не находится в её подсети %2/24")
                                    .arg(stationText(), m_host));
        return false;
    }
    for (QTcpSocket* socket : {&m_commandSocket, &m_dataSocket}) {
        if (!socket->bind(m_localAddress, 0)) {
            const QString reason = tr("Станция %1 недоступна: не удалось занять локальный адрес %2 (%3)")
                                       .arg(stationText(), m_localAddress.toString(), socket->errorString());
            m_commandSocket.abort();
            m_dataSocket.abort();
            Q_EMIT connectionFailed(reason);
            return false;
        }
    }
    m_link = Link::Connecting;
    m_connectTimer.start();
    m_commandSocket.connectToHost(QHostAddress(m_host), m_commandPort, QIODevice::ReadWrite);
    return true;
}

void TervexDevice::closeConnections()
{
    // Closed on purpose: the Unconnected state that follows is no failure.
    m_link = Link::Idle;
    m_connectTimer.stop();
    clearReplyWaits();
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
        expectReply(AwaitProperties);
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
    if (m_commandSocket.state() == QAbstractSocket::ConnectedState)
        expectReply(AwaitStatus);
    sendFrame(Wire::frame(Wire::Command::GetStatus));
}

void TervexDevice::requestOverflows()
{
    if (m_commandSocket.state() == QAbstractSocket::ConnectedState)
        expectReply(AwaitOverflows);
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
    if (!m_streaming && m_dataSocket.state() != QAbstractSocket::UnconnectedState) {
        ++m_dataAttempt;
        m_dataSocket.abort();
    }
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
            reportUnknownFrame(code);
            break;
        }
    }
}

void TervexDevice::reportUnknownFrame(quint16 code)
{
    if (!m_unknownWindow.isValid() || m_unknownWindow.elapsed() >= UnknownSummaryMs) {
        printUnknownSummary();
        m_unknownWindow.start();
        m_unknownPrinted = 0;
    }
    if (m_unknownPrinted < UnknownLinesPerSecond) {
        ++m_unknownPrinted;
        printLine(stderr, QStringLiteral("unknown command: %1").arg(code));
        return;
    }
    ++m_unknownSuppressed;
    m_lastUnknown = code;
    if (!m_unknownSummary.isActive())
        m_unknownSummary.start(int(std::max<qint64>(1, UnknownSummaryMs - m_unknownWindow.elapsed())));
}

void TervexDevice::printUnknownSummary()
{
    m_unknownSummary.stop();
    if (m_unknownSuppressed == 0)
        return;
    printLine(stderr, QStringLiteral("unknown command: %1 more frames in the last second (the last: %2)")
                          .arg(m_unknownSuppressed)
                          .arg(m_lastUnknown));
    m_unknownSuppressed = 0;
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
    if (m_link != Link::Connecting)
        return;
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        failLink(tr("Станция %1 отклонила соединение").arg(stationText()));
        break;
    case QAbstractSocket::SocketTimeoutError:
        failLink(tr("Станция %1 не отвечает").arg(stationText()));
        break;
    default:
        failLink(tr("Станция %1 недоступна: %2").arg(stationText(), m_commandSocket.errorString()));
        break;
    }
}

void TervexDevice::onCmdSocketStateChanged(QAbstractSocket::SocketState state)
{
    printLine(stdout, socketStateName(state));
    switch (state) {
    case QAbstractSocket::UnconnectedState:
        if (m_link == Link::Connecting) {
            // The error that ended the attempt reports it.
            Q_EMIT disconnected();
            break;
        }
        if (m_link != Link::Idle) {
            const QString reason = tr("Связь со станцией %1 потеряна").arg(stationText());
            failLink(reason);
            Q_EMIT disconnected();
            break;
        }
        clearReplyWaits();
        Q_EMIT disconnected();
        // Without the command connection the held StartRecord can never be written.
        if (m_startPending)
            failRecord(tr("Связь со станцией %1 закрыта до начала записи").arg(stationText()));
        break;
    case QAbstractSocket::HostLookupState:
        Q_EMIT connecting();
        break;
    case QAbstractSocket::ConnectedState:
        m_connectTimer.stop();
        m_link = Link::AwaitingProperties;
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
    const int held = (frame.size() - Wire::PropertiesChannelsOffset) / Wire::StationChannelSize;
    // The first reply fixes the channel records kept; a later one refreshes as many of them as it
    // carries, so a station that now announces fewer channels is still understood.
    const int kept = properties->channelCountFixed == 0 ? channelCount : properties->channels.size();
    // The frame must carry every channel record it announces, up to the number kept.
    if (held < qMin(int(channelCount), kept))
        return false;
    const int records = qMin(held, kept);

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

    for (int i = 0; i < records; ++i) {
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
    replyArrived(AwaitProperties);
    if (!decodeProperties(frame, &m_properties)) {
        printLine(stderr, QStringLiteral("short Properties frame dropped: %1 bytes").arg(frame.size()));
        // The frame took the place of the awaited answer, so no timer would end these waits.
        const QString reason = tr("Станция %1 прислала неполное описание (%2 байт)")
                                   .arg(stationText()).arg(frame.size());
        if (m_link == Link::AwaitingProperties)
            failLink(reason);
        else if (m_startPending && m_replyWaits[AwaitProperties].count == 0)
            failRecord(reason);
        return;
    }
    if (m_link == Link::AwaitingProperties)
        m_link = Link::Ready;
    Q_EMIT propertiesUpdated();
    if (m_firstProperties) {
        m_firstProperties = false;
        m_dataProcessor.reset(m_properties.channelCount);
        Q_EMIT initialized();
    }
    // Only the answer to the request sent with the record's settings confirms them: an earlier
    // request still on its way would start the record with the station's old timing.
    if (!m_startPending || m_replyWaits[AwaitProperties].count > 0)
        return;
    const QString problem = timingProblem(m_properties.generator);
    if (problem.isEmpty())
        openDataConnection();
    else
        failRecord(problem);
}

QString TervexDevice::timingProblem(const GeneratorSettings& timing) const
{
    const qint64 pulse = timing.pulseLength;
    const qint64 pause = timing.pauseLength;
    const qint64 periods = timing.periods;
    if (!RecordTiming::isValid(pulse, pause, periods))
        return tr("Станция %1 подтвердила запись, которую нельзя сохранить: импульс %2 мс, "
                              "пауза %3 мс, периодов %4")
            .arg(stationText()).arg(pulse).arg(pause).arg(periods);
    if (RecordTiming::samplesPerStream(pulse, pause, periods) == 0)
        return tr("Станция %1 подтвердила запись без отсчётов: импульс %2 мс, пауза %3 мс, "
                              "периодов %4")
            .arg(stationText()).arg(pulse).arg(pause).arg(periods);
    return QString();
}

void TervexDevice::handleStatusFrame(const QByteArray& frame)
{
    replyArrived(AwaitStatus);
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
    replyArrived(AwaitOverflows);
    m_overflows = frame.mid(Wire::FrameHeaderSize);
    Q_EMIT overflowfUpdated();
}

void TervexDevice::openDataConnection()
{
    // A connection already opening serves this reply as well.
    if (m_dataSocket.state() == QAbstractSocket::UnconnectedState && !m_localAddress.isNull())
        m_dataSocket.bind(m_localAddress, 0);
    const QAbstractSocket::SocketState state = m_dataSocket.state();
    if (state == QAbstractSocket::UnconnectedState || state == QAbstractSocket::BoundState) {
        ++m_dataAttempt;
        m_dataSocket.connectToHost(QHostAddress(m_host), m_dataPort, QIODevice::ReadWrite);
    }
    m_dataConnectTimer.start();
}

void TervexDevice::onDataConnectTimeout()
{
    if (!m_startPending)
        return;
    failRecord(tr("Станция %1 не открыла соединение данных").arg(dataStationText()));
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
    const QString problem = timingProblem(timing);
    if (!problem.isEmpty()) {
        failRecord(problem);
        return;
    }
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
    if (!m_streaming || bytes.isEmpty())
        return;
    m_dataProcessor.appendData(bytes);
    const DataContainer* container = m_dataProcessor.container();
    const qint64 limit = surplusRowLimit(container->expectedSamples());
    if (container->receivedSamples() <= limit)
        return;
    // The station should have closed the connection long ago: stop it before the streams eat
    // the memory.
    m_streaming = false;
    ++m_dataAttempt;
    m_dataSocket.abort();
    sendStopRecord();
    resumeStatusPolling();
    Q_EMIT recordFailed(tr("Станция %1 передаёт больше отсчётов, чем в записи (%2 вместо %3)")
                            .arg(dataStationText())
                            .arg(container->receivedSamples())
                            .arg(container->expectedSamples()));
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
        Q_EMIT recordFailed(tr("Станция %1 закрыла соединение данных до конца записи (%2 отсчётов из %3)")
                                .arg(dataStationText())
                                .arg(container->receivedSamples())
                                .arg(container->expectedSamples()));
    else
        Q_EMIT recordCompleted();
}
