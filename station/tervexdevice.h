#ifndef TERVEXDEVICE_H
#define TERVEXDEVICE_H

#include "station/batteryinfo.h"
#include "station/dataprocessor.h"
#include "station/frameparser.h"
#include "station/gpsinfo.h"
#include "station/stationrecords.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>
#include <QVector>

class QSettings;

// One Status reply of the station.
struct StationStatus
{
    qint32 fix = 0;
    float altitude = 0.0f;
    float longitude = 0.0f;
    float latitude = 0.0f;
    float batteryVoltage = 0.0f;
};

// The link to the station: the command connection with its frames, the status poll, and the
// per-record data connection whose samples land in the data processor's container.
class TervexDevice : public QObject
{
    Q_OBJECT
public:
    explicit TervexDevice(QSettings* settings, QObject* parent = nullptr);
    // Detaches from both sockets before they are destroyed, so that closing them reports nothing
    // into a half-destroyed device.
    ~TervexDevice() override;

    bool connectToStation();
    void closeConnections();

    void requestProperties();
    void sendGenerator(const GeneratorSettings* generator);
    void sendElectrodes(const ElectrodeSettings& electrodes);
    void sendGains(const ElectrodeSettings& electrodes);
    void applySettings(const GeneratorSettings* generator, const ElectrodeSettings* electrodes);
    void startRecord(const GeneratorSettings* generator, const ElectrodeSettings* electrodes,
                     const QVector<quint16>& channels, quint8 mode);
    void stopRecord();
    void sendStopRecord();
    void requestStatus();
    void requestOverflows();

    const StationProperties& properties() const { return m_properties; }
    const BatteryInfo* battery() const { return &m_battery; }
    const GPSInfo* gps() const { return &m_gps; }
    DataProcessor* dataProcessor() { return &m_dataProcessor; }
    QByteArray overflows() const { return m_overflows; }
    QString host() const { return m_host; }
    quint16 commandPort() const { return m_commandPort; }
    quint16 dataPort() const { return m_dataPort; }
    // The address the next connectToStation() uses; a connection already up keeps its own.
    void setAddress(const QString& host, quint16 commandPort, quint16 dataPort)
    {
        m_host = host;
        m_commandPort = commandPort;
        m_dataPort = dataPort;
    }
    bool isStartPending() const { return m_startPending; }

    int statusInterval() const { return m_statusInterval; }
    void setStatusInterval(int milliseconds)
    {
        m_statusInterval = milliseconds;
        m_statusTimer.setInterval(milliseconds);
    }

    // How long the data connection may take to open after the station confirmed a record's
    // settings before the record is given up.
    int dataConnectTimeout() const { return m_dataConnectTimer.interval(); }
    void setDataConnectTimeout(int milliseconds) { m_dataConnectTimer.setInterval(milliseconds); }

    // How long connecting, and every request that the station answers, may wait for its answer.
    void setReplyTimeout(int milliseconds);

    // Rows the data connection may carry beyond the record's expected count before the record is
    // given up as a stream that never ends.
    static qint64 surplusRowLimit(qint64 expectedRows);

    // Frames as written to the station, header included.
    static QByteArray electrodesFrame(const ElectrodeSettings& electrodes);
    static QByteArray gainsFrame(const ElectrodeSettings& electrodes);
    static QByteArray generatorFrame(const GeneratorSettings& generator);
    static QByteArray startRecordFrame(const QVector<quint16>& channels, quint8 mode);

    // Reply decoders; false (and nothing changed) when the frame is shorter than its layout.
    // A first decode fixes the number of channel records kept from then on; a later reply
    // announcing fewer channels updates as many of them as it holds.
    static bool decodeProperties(const QByteArray& frame, StationProperties* properties);
    static bool decodeStatus(const QByteArray& frame, StationStatus* status);

    // The first address that lies in the station's /24 subnet, or a null address.
    static QHostAddress selectLocalAddress(const QString& host, const QList<QHostAddress>& addresses);

    static QString socketStateName(QAbstractSocket::SocketState state);
    static QString socketErrorName(QAbstractSocket::SocketError error);

Q_SIGNALS:
    void connecting();
    void connected();
    void disconnected();
    void propertiesUpdated();
    void statusUpdated();
    void initialized();
    void overflowfUpdated();
    void dataUpdated();
    void recordStarted();
    void recordCompleted();
    void recordStopped();
    // The record was given up: its settings were not confirmed in time or with a timing that
    // cannot be recorded, the data connection did not open in time, closed before the whole
    // record arrived, or went on far beyond it.
    void recordFailed(const QString& reason);
    // The link could not be made (no interface in the station's subnet, refused, timed out, a
    // station that does not answer) or was lost; the reason names the station's address and port.
    void connectionFailed(const QString& reason);

private Q_SLOTS:
    void onCmdSocketReadyRead();
    void onCmdSocketError(QAbstractSocket::SocketError error);
    void onCmdSocketStateChanged(QAbstractSocket::SocketState state);
    void onDataSocketConnected();
    void onDataSocketReadyRead();
    void onDataSocketDisconnected();
    void onStatusTimeout();
    void onDataConnectTimeout();

private:
    enum class Link { Idle, Connecting, AwaitingProperties, Ready };
    // Requests the station answers; each kind has its own deadline, so answers of one kind
    // never hide a station that stopped answering another.
    enum Awaited { AwaitProperties, AwaitStatus, AwaitOverflows, AwaitKinds };
    struct ReplyWait
    {
        int count = 0;
        QTimer timer;
    };

    void expectReply(Awaited kind);
    void onReplyTimeout(Awaited kind);
    void replyArrived(Awaited kind);
    void clearReplyWaits();
    QString stationText() const;
    QString dataStationText() const;
    // Ends the command link (sockets aborted, state reset, a record in progress failed) and
    // reports why.
    void failLink(const QString& reason);
    void failRecord(const QString& reason);
    // Why the timing the station confirmed cannot be recorded; empty when it can.
    QString timingProblem(const GeneratorSettings& timing) const;
    // Data socket signals reach their slots queued; one raised by an earlier data connection is
    // dropped when it is delivered after a new connection was opened.
    void queueDataEvent(void (TervexDevice::*slot)());
    void sendFrame(const QByteArray& frame);
    void handlePropertiesFrame(const QByteArray& frame);
    void handleStatusFrame(const QByteArray& frame);
    void handleOverflowsFrame(const QByteArray& frame);
    void openDataConnection();
    void cancelPendingStart();
    void resumeStatusPolling();

    int m_statusInterval = 5000;
    QString m_host;
    quint16 m_commandPort;
    quint16 m_dataPort;
    QTimer m_statusTimer;
    BatteryInfo m_battery;
    GPSInfo m_gps;
    QByteArray m_pendingStartFrame;
    QVector<quint16> m_recordChannels;
    FrameParser m_receiveBuffer;
    QHostAddress m_localAddress;
    QTcpSocket m_commandSocket;
    QTcpSocket m_dataSocket;
    DataProcessor m_dataProcessor;
    QByteArray m_overflows;
    StationProperties m_properties;
    bool m_firstProperties = true;
    bool m_startPending = false;
    // A record is streaming over the data connection (StartRecord written).
    bool m_streaming = false;
    // The operator stopped the streaming record, so a short record is not a failure.
    bool m_stopRequested = false;
    QTimer m_dataConnectTimer;
    ReplyWait m_replyWaits[AwaitKinds];
    QTimer m_connectTimer;
    Link m_link = Link::Idle;
    // Counts the data connections opened; stale queued signals carry an older number.
    quint32 m_dataAttempt = 0;
};

#endif
