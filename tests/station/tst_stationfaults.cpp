#include "fakestation.h"
#include "linkfixture.h"
#include "stationframes.h"
#include "testsupport.h"

#include "measurement/datacontainer.h"
#include "measurement/recordtiming.h"
#include "station/gpsinfo.h"
#include "station/tervexdevice.h"
#include "tools/stationsim/stationsimulator.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using LinkFixture::electrodes;
using LinkFixture::makeDevice;
using LinkFixture::Wait;

// A hostile station on loopback: one that freezes, garbles or floods, confirms timings that cannot
// be recorded, streams without end or is torn down mid-handshake. The link must always come to an
// end with a reason and be ready for the next attempt.
class TestStationFaults : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }

    void stationThatNeverAnswersTimesOut_data();
    void stationThatNeverAnswersTimesOut();
    void refusedLostAndUnreachableLinksReported();
    void unansweredStartFailsAndResynchronises();
    void confirmedTimingBounded_data();
    void confirmedTimingBounded();
    void endlessDataConnectionStopped();
    void staleDataConnectionIgnored();
    void destroyedWithStartPending();
    void simulatorFaultSwitches_data();
    void simulatorFaultSwitches();
    void gpsTextsPadAndCarry_data();
    void gpsTextsPadAndCarry();

private:
    std::unique_ptr<TervexDevice> connectedDevice(FakeStation& station, int channels = 2, quint32 pulse = 10,
                                                  quint32 pause = 10, quint16 periods = 1)
    {
        return LinkFixture::connectedDevice(m_settings, station, channels, pulse, pause, periods);
    }
    std::unique_ptr<QSettings> m_settings;
};

static constexpr int ShortTimeout = 300;

// Starts a record on channels 1 and 2 and waits until the station has the settings' GetProperties.
static bool startRecord(TervexDevice& device, FakeStation& station)
{
    const int asked = station.count(Wire::Command::GetProperties);
    const ElectrodeSettings e = electrodes(2);
    const GeneratorSettings g = StationFrames::station(2).generator;
    device.startRecord(&g, &e, {1, 2}, Wire::RecordModeNormal);
    return QTest::qWaitFor([&] { return station.count(Wire::Command::GetProperties) == asked + 1; }, Wait);
}

void TestStationFaults::stationThatNeverAnswersTimesOut_data()
{
    QTest::addColumn<QString>("behaviour");
    QTest::newRow("silent") << QStringLiteral("silent");
    QTest::newRow("half a Properties frame") << QStringLiteral("half");
    QTest::newRow("unknown-frame flood") << QStringLiteral("flood");
    QTest::newRow("whole but too short Properties frame") << QStringLiteral("short");
}

void TestStationFaults::stationThatNeverAnswersTimesOut()
{
    QFETCH(QString, behaviour);
    FakeStation station;
    auto device = makeDevice(m_settings, station.commandPort(), station.dataPort());
    device->setReplyTimeout(ShortTimeout);
    QSignalSpy failed(device.get(), &TervexDevice::connectionFailed);
    QSignalSpy initialized(device.get(), &TervexDevice::initialized);

    QTimer flood;
    connect(&flood, &QTimer::timeout, &station, [&] { station.send(Wire::frame(0x7777, QByteArray(16, 'x'))); });
    QVERIFY(device->connectToStation());
    QTRY_COMPARE_WITH_TIMEOUT(station.count(Wire::Command::GetProperties), 1, Wait);
    if (behaviour == QLatin1String("half"))
        station.send(StationFrames::properties(StationFrames::station(2)).left(20));
    else if (behaviour == QLatin1String("flood"))
        flood.start(5);
    else if (behaviour == QLatin1String("short"))
        station.send(Wire::frame(Wire::Reply::Properties, QByteArray(8, '\0')));

    QVERIFY(failed.wait(Wait));
    flood.stop();
    QCOMPARE(failed.count(), 1);
    const QString reason = failed.at(0).at(0).toString();
    if (behaviour == QLatin1String("short"))
        QCOMPARE(reason, QStringLiteral("Станция 127.0.0.1:%1 прислала неполное описание (12 байт)").arg(station.commandPort()));
    else
        QCOMPARE(reason, QStringLiteral("Станция 127.0.0.1:%1 не отвечает").arg(station.commandPort()));
    QTRY_VERIFY_WITH_TIMEOUT(station.client()->state() == QAbstractSocket::UnconnectedState, Wait);

    // The attempt is over: a new one starts afresh and succeeds.
    station.clearLog();
    QVERIFY(device->connectToStation());
    QTRY_COMPARE_WITH_TIMEOUT(station.count(Wire::Command::GetProperties), 1, Wait);
    station.send(StationFrames::properties(StationFrames::station(2)));
    QVERIFY(initialized.wait(Wait));
    QTest::qWait(2 * ShortTimeout);
    QCOMPARE(failed.count(), 1);
}

void TestStationFaults::refusedLostAndUnreachableLinksReported()
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    auto refused = makeDevice(m_settings, closedPort, closedPort);
    QSignalSpy refusedFailed(refused.get(), &TervexDevice::connectionFailed);
    QVERIFY(refused->connectToStation());
    QVERIFY(refusedFailed.wait(Wait));
    QCOMPARE(refusedFailed.at(0).at(0).toString(),
             QStringLiteral("Станция 127.0.0.1:%1 отклонила соединение").arg(closedPort));

    FakeStation station;
    auto device = connectedDevice(station);
    QVERIFY(device);
    QSignalSpy lost(device.get(), &TervexDevice::connectionFailed);
    QSignalSpy disconnected(device.get(), &TervexDevice::disconnected);
    station.client()->disconnectFromHost();
    QVERIFY(disconnected.wait(Wait));
    QCOMPARE(lost.count(), 1);
    QCOMPARE(lost.at(0).at(0).toString(),
             QStringLiteral("Связь со станцией 127.0.0.1:%1 потеряна").arg(station.commandPort()));

    // Closing on purpose is no failure.
    QVERIFY(device->connectToStation());
    QTRY_COMPARE_WITH_TIMEOUT(station.count(Wire::Command::GetProperties), 1, Wait);
    device->closeConnections();
    QCOMPARE(lost.count(), 1);

    // TEST-NET-2: never configured on a test machine, so nothing is sent anywhere.
    auto unreachable = makeDevice(m_settings, 6770, 6771, QStringLiteral("198.51.100.7"));
    QSignalSpy noInterface(unreachable.get(), &TervexDevice::connectionFailed);
    QVERIFY(!unreachable->connectToStation());
    QCOMPARE(noInterface.count(), 1);
    QVERIFY(noInterface.at(0).at(0).toString().startsWith(QStringLiteral("Станция 198.51.100.7:6770 недоступна")));
}

void TestStationFaults::unansweredStartFailsAndResynchronises()
{
    FakeStation station;
    auto device = connectedDevice(station);
    QVERIFY(device);
    device->setReplyTimeout(ShortTimeout);
    QSignalSpy recordFailed(device.get(), &TervexDevice::recordFailed);
    QSignalSpy linkFailed(device.get(), &TervexDevice::connectionFailed);
    QSignalSpy started(device.get(), &TervexDevice::recordStarted);

    QVERIFY(startRecord(*device, station));
    QVERIFY(recordFailed.wait(Wait));
    QCOMPARE(recordFailed.at(0).at(0).toString(),
             QStringLiteral("Станция 127.0.0.1:%1 не подтвердила параметры записи").arg(station.commandPort()));
    QVERIFY(!device->isStartPending());
    QCOMPARE(linkFailed.count(), 0);

    // The next record's single reply is enough to start it.
    QVERIFY(startRecord(*device, station));
    station.send(StationFrames::properties(StationFrames::station(2)));
    QVERIFY(started.wait(Wait));
    QTRY_COMPARE_WITH_TIMEOUT(station.count(Wire::Command::StartRecord), 1, Wait);
    QCOMPARE(recordFailed.count(), 1);
}

void TestStationFaults::confirmedTimingBounded_data()
{
    QTest::addColumn<quint32>("pulse");
    QTest::addColumn<quint32>("pause");
    QTest::addColumn<quint16>("periods");
    QTest::addColumn<bool>("recordable");
    // 2 x (pulse + pause) x periods overflows an int.
    QTest::newRow("2^31 samples") << quint32(1u << 30) << 0u << quint16(1) << false;
    QTest::newRow("pulse beyond int") << 3000000000u << 0u << quint16(1) << false;
    QTest::newRow("no samples") << 0u << 0u << quint16(3) << false;
    QTest::newRow("no periods") << 10u << 10u << quint16(0) << false;
    // A generator holds a pulse for a minute at most; this is a damaged confirmation.
    QTest::newRow("10^8 ms pulse") << 100000000u << 0u << quint16(1) << false;
    // The longest recordable: it must start without claiming memory for all of it at once.
    QTest::newRow("100 periods of minutes") << 60000u << 60000u << quint16(100) << true;
}

void TestStationFaults::confirmedTimingBounded()
{
    QFETCH(quint32, pulse);
    QFETCH(quint32, pause);
    QFETCH(quint16, periods);
    QFETCH(bool, recordable);
    FakeStation station;
    auto device = connectedDevice(station);
    QVERIFY(device);
    QSignalSpy failed(device.get(), &TervexDevice::recordFailed);
    QSignalSpy started(device.get(), &TervexDevice::recordStarted);

    QVERIFY(startRecord(*device, station));
    station.send(StationFrames::properties(StationFrames::station(2, pulse, pause, periods)));
    if (!recordable) {
        QVERIFY(failed.wait(Wait));
        QVERIFY(failed.at(0).at(0).toString().startsWith(
            QStringLiteral("Станция 127.0.0.1:%1 подтвердила запись").arg(station.commandPort())));
        QVERIFY(!device->isStartPending());
        QTest::qWait(100);
        QCOMPARE(station.dataConnections(), 0);
        QCOMPARE(started.count(), 0);
        return;
    }
    QVERIFY(started.wait(Wait));
    const DataContainer* container = device->dataProcessor()->container();
    QCOMPARE(container->expectedSamples(), int(RecordTiming::samplesPerStream(pulse, pause, periods)));
    QVERIFY(container->stream(0).capacity() <= DataContainer::MaxReservedSamples);
    device->stopRecord();
}

void TestStationFaults::endlessDataConnectionStopped()
{
    FakeStation station;
    auto device = connectedDevice(station); // 40 rows of 4 streams
    QVERIFY(device);
    QSignalSpy failed(device.get(), &TervexDevice::recordFailed);
    QSignalSpy completed(device.get(), &TervexDevice::recordCompleted);

    QVERIFY(startRecord(*device, station));
    station.send(StationFrames::properties(StationFrames::station(2)));
    QTRY_VERIFY_WITH_TIMEOUT(station.dataClient() != nullptr, Wait);
    QTRY_COMPARE_WITH_TIMEOUT(station.count(Wire::Command::StartRecord), 1, Wait);

    const QByteArray chunk = StationFrames::rows(0, 500, 4);
    QTimer stream;
    connect(&stream, &QTimer::timeout, &station, [&] {
        if (station.dataClient())
            station.sendData(chunk);
    });
    stream.start(1);
    QVERIFY(failed.wait(Wait));
    stream.stop();
    QVERIFY(failed.at(0).at(0).toString().contains(QStringLiteral("больше отсчётов")));
    const DataContainer* container = device->dataProcessor()->container();
    // Reading stopped within one bounded read past the limit.
    QVERIFY(container->receivedSamples() > TervexDevice::surplusRowLimit(40));
    QVERIFY(container->receivedSamples() <= TervexDevice::surplusRowLimit(40) + (1 << 20) / 16 + 500);
    QTRY_COMPARE_WITH_TIMEOUT(station.dataClosed(), 1, Wait);
    QTRY_COMPARE_WITH_TIMEOUT(station.count(Wire::Command::StopRecord), 1, Wait);
    QTest::qWait(100);
    QCOMPARE(completed.count(), 0);
    QCOMPARE(failed.count(), 1);
}

namespace {
// Stops and restarts a record when the first queued call reaches the device: the queued report of
// the data connection just opened is then delivered after the new start was made.
class RestartBeforeQueuedCall : public QObject
{
public:
    explicit RestartBeforeQueuedCall(std::function<void()> restart)
        : m_restart(std::move(restart))
    {
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MetaCall && m_restart) {
            const std::function<void()> restart = std::move(m_restart);
            m_restart = nullptr;
            restart();
        }
        return false;
    }

private:
    std::function<void()> m_restart;
};
}

void TestStationFaults::staleDataConnectionIgnored()
{
    FakeStation station;
    auto device = connectedDevice(station);
    QVERIFY(device);
    QSignalSpy started(device.get(), &TervexDevice::recordStarted);

    const ElectrodeSettings e = electrodes(2);
    const GeneratorSettings g = StationFrames::station(2).generator;
    RestartBeforeQueuedCall restart([&] {
        device->stopRecord();
        device->startRecord(&g, &e, {1, 2}, Wire::RecordModeNormal);
    });
    QVERIFY(startRecord(*device, station));
    device->installEventFilter(&restart);
    station.send(StationFrames::properties(StationFrames::station(2)));
    QTRY_COMPARE_WITH_TIMEOUT(station.count(Wire::Command::GetProperties), 2, Wait);
    device->removeEventFilter(&restart);

    // The restarted record waits for its own confirmation and its own data connection.
    QTest::qWait(200);
    QCOMPARE(station.count(Wire::Command::StartRecord), 0);
    QCOMPARE(started.count(), 0);
    QVERIFY(device->isStartPending());

    station.send(StationFrames::properties(StationFrames::station(2)));
    QVERIFY(started.wait(Wait));
    QTRY_COMPARE_WITH_TIMEOUT(station.count(Wire::Command::StartRecord), 1, Wait);
    QCOMPARE(station.dataConnections(), 2);
}

void TestStationFaults::destroyedWithStartPending()
{
    FakeStation station;
    auto device = connectedDevice(station);
    QVERIFY(device);
    int reports = 0;
    for (auto signal : {&TervexDevice::disconnected, &TervexDevice::recordStopped})
        connect(device.get(), signal, this, [&reports] { ++reports; });
    connect(device.get(), &TervexDevice::recordFailed, this, [&reports] { ++reports; });

    QVERIFY(startRecord(*device, station));
    device.reset();
    // Nothing is reported from inside the destruction, and the station sees both sockets closed.
    QCOMPARE(reports, 0);
    QTRY_VERIFY_WITH_TIMEOUT(station.client()->state() == QAbstractSocket::UnconnectedState, Wait);
}

void TestStationFaults::simulatorFaultSwitches_data()
{
    QTest::addColumn<QString>("fault");
    // What the link reports: a connection failure or a record failure starting with this text,
    // or nothing ("") when the record completes.
    QTest::addColumn<QString>("linkFailure");
    QTest::addColumn<QString>("recordFailure");
    QTest::newRow("silent") << QStringLiteral("silent") << QStringLiteral("не отвечает") << QString();
    QTest::newRow("half frame") << QStringLiteral("half") << QStringLiteral("не отвечает") << QString();
    QTest::newRow("unknown-frame flood") << QStringLiteral("flood") << QStringLiteral("не отвечает") << QString();
    // The record is given up first; the next status poll then finds the station gone.
    QTest::newRow("frozen after connecting") << QStringLiteral("frozen") << QStringLiteral("не отвечает")
                                             << QStringLiteral("не подтвердила параметры записи");
    QTest::newRow("record's Properties unanswered") << QStringLiteral("unanswered") << QString()
                                                    << QStringLiteral("не подтвердила параметры записи");
    QTest::newRow("huge confirmed pulse") << QStringLiteral("pulse") << QString()
                                          << QStringLiteral("подтвердила запись, которую нельзя сохранить");
    QTest::newRow("endless data") << QStringLiteral("endless") << QString()
                                  << QStringLiteral("передаёт больше отсчётов");
    // Decoded as far as the reply goes, so the record still starts and completes.
    QTest::newRow("fewer channels later") << QStringLiteral("fewer") << QString() << QString();
}

void TestStationFaults::simulatorFaultSwitches()
{
    QFETCH(QString, fault);
    QFETCH(QString, linkFailure);
    QFETCH(QString, recordFailure);
    SimulatorOptions options;
    options.commandPort = 0;
    options.dataPort = 0;
    options.speed = 0;
    options.channelCount = 3;
    options.silentAfterFrames = fault == QLatin1String("silent") ? 0 : fault == QLatin1String("frozen") ? 2 : -1;
    options.halfFrame = fault == QLatin1String("half");
    options.floodUnknown = fault == QLatin1String("flood");
    options.unansweredProperties = fault == QLatin1String("unanswered") ? 2 : -1;
    options.confirmedPulse = fault == QLatin1String("pulse") ? 1u << 30 : 0;
    options.endlessData = fault == QLatin1String("endless");
    options.laterChannelCount = fault == QLatin1String("fewer") ? 2 : -1;
    StationSimulator station(options);
    QVERIFY(station.start());
    auto device = makeDevice(m_settings, station.commandPort(), station.dataPort());
    device->setReplyTimeout(ShortTimeout);
    device->setStatusInterval(ShortTimeout);
    QSignalSpy linkFailed(device.get(), &TervexDevice::connectionFailed);
    QSignalSpy recordFailed(device.get(), &TervexDevice::recordFailed);
    QSignalSpy initialized(device.get(), &TervexDevice::initialized);
    QSignalSpy completed(device.get(), &TervexDevice::recordCompleted);

    QVERIFY(device->connectToStation());
    const bool failsBeforeReady = !linkFailure.isEmpty() && recordFailure.isEmpty();
    if (failsBeforeReady) {
        QVERIFY(linkFailed.wait(Wait));
        QVERIFY(linkFailed.at(0).at(0).toString().endsWith(linkFailure));
        QCOMPARE(initialized.count(), 0);
        return;
    }
    QVERIFY(initialized.wait(Wait));
    GeneratorSettings g = StationFrames::station(2).generator;
    const ElectrodeSettings e = electrodes(2);
    device->startRecord(&g, &e, {1, 2}, Wire::RecordModeNormal);
    if (recordFailure.isEmpty()) {
        QVERIFY(completed.wait(Wait));
        QCOMPARE(device->properties().channelCount, quint8(2));
        QCOMPARE(device->dataProcessor()->container()->receivedSamples(), 40);
    } else {
        QVERIFY(recordFailed.wait(Wait));
        QVERIFY2(recordFailed.at(0).at(0).toString().contains(recordFailure),
                 qPrintable(recordFailed.at(0).at(0).toString()));
    }
    if (!linkFailure.isEmpty()) {
        QTRY_COMPARE_WITH_TIMEOUT(linkFailed.count(), 1, Wait);
        QVERIFY(linkFailed.at(0).at(0).toString().endsWith(linkFailure));
    } else {
        QCOMPARE(linkFailed.count(), 0);
    }
}

void TestStationFaults::gpsTextsPadAndCarry_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("minutes below ten") << 5505.5 << QString::fromUtf8("55°05'30.0\"");
    QTest::newRow("seconds round into the minute") << 5545.9995 << QString::fromUtf8("55°46'0.0\"");
    QTest::newRow("carry into the degree") << 5559.9999 << QString::fromUtf8("56°00'0.0\"");
    QTest::newRow("just below the carry") << 5545.999 << QString::fromUtf8("55°45'59.9\"");
}

void TestStationFaults::gpsTextsPadAndCarry()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(GPSInfo::degreeText(value), text);
}

QTEST_GUILESS_MAIN(TestStationFaults)
#include "tst_stationfaults.moc"
