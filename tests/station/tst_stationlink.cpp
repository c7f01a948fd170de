#include "fakestation.h"
#include "linkfixture.h"
#include "stationframes.h"
#include "stderrcapture.h"
#include "testsupport.h"

#include "station/tervexdevice.h"

#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

// The device against a scripted station on loopback, for what the simulated station never does:
// exact bytes, short and unknown frames, and stops timed between the handshake's steps.
class TestStationLink : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }

    void firstBytesAndLeftoverBytesAcrossReconnection();
    void shortAndUnknownFramesDropped();
    void startRecordWaitsForDataConnection();
    void stopCancelsPendingStart();
    void stopCancelsOpeningDataConnection();
    void commandLossWhileStartPendingFails();
    void noInterfaceOnSubnet();

private:
    std::unique_ptr<TervexDevice> connectedDevice(FakeStation& station, int channels = 2,
                                                  quint32 pulse = 10, quint32 pause = 10, quint16 periods = 1);
    std::unique_ptr<QSettings> m_settings;
};

using LinkFixture::electrodes;
using LinkFixture::makeDevice;
using LinkFixture::Wait;

static QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

std::unique_ptr<TervexDevice> TestStationLink::connectedDevice(FakeStation& station, int channels, quint32 pulse,
                                                               quint32 pause, quint16 periods)
{
    return LinkFixture::connectedDevice(m_settings, station, channels, pulse, pause, periods);
}

void TestStationLink::firstBytesAndLeftoverBytesAcrossReconnection()
{
    FakeStation station;
    auto device = makeDevice(m_settings, station.commandPort(), station.dataPort());
    QSignalSpy connecting(device.get(), &TervexDevice::connecting);
    QSignalSpy disconnected(device.get(), &TervexDevice::disconnected);
    QSignalSpy properties(device.get(), &TervexDevice::propertiesUpdated);
    QSignalSpy initialized(device.get(), &TervexDevice::initialized);
    QSignalSpy status(device.get(), &TervexDevice::statusUpdated);

    QVERIFY(device->connectToStation());
    QTRY_COMPARE_WITH_TIMEOUT(station.rawBytes().size(), 8, Wait);
    QCOMPARE(station.rawBytes(), hex("08 01 00 00 01 01 00 00"));
    QCOMPARE(connecting.count(), 1);
    station.send(StationFrames::properties(StationFrames::station(3)));
    QVERIFY(initialized.wait(Wait));
    QCOMPARE(device->dataProcessor()->container()->streamCount(), 5);

    // Half a frame of the old connection must not be glued to the new station's first frame.
    const QByteArray frame = StationFrames::status(65, 150.0f, 3736.6f, 5545.5f, 12.5f);
    station.send(frame.left(10));
    QTest::qWait(100);
    device->closeConnections();
    QCOMPARE(disconnected.count(), 1);
    station.clearLog();
    QVERIFY(device->connectToStation());
    QTRY_COMPARE_WITH_TIMEOUT(station.events().count(QStringLiteral("command connected")), 1, Wait);
    QTRY_COMPARE_WITH_TIMEOUT(station.rawBytes(), hex("08 01 00 00 01 01 00 00"), Wait);
    station.send(frame + StationFrames::properties(StationFrames::station(3)));
    QVERIFY(properties.wait(Wait));
    QCOMPARE(status.count(), 1);
    QCOMPARE(device->battery()->voltage(), 12.5f);
    QCOMPARE(properties.count(), 2);
    QCOMPARE(initialized.count(), 1);
}

void TestStationLink::shortAndUnknownFramesDropped()
{
    FakeStation station;
    auto device = connectedDevice(station, 2);
    QVERIFY(device);
    QSignalSpy status(device.get(), &TervexDevice::statusUpdated);
    QSignalSpy properties(device.get(), &TervexDevice::propertiesUpdated);

    StderrCapture capture;
    StationProperties changed = StationFrames::station(2);
    changed.serialNumber = 999;
    const QByteArray fullProperties = StationFrames::properties(changed);
    QByteArray shortProperties = fullProperties.left(fullProperties.size() - 14);
    shortProperties[2] = char(shortProperties.size() - 4); // a consistent frame, one channel record short
    station.send(Wire::frame(Wire::Reply::Status, QByteArray(10, '\1')) + shortProperties + Wire::frame(0x1234)
                 + Wire::frame(0x2001, "xyz") + StationFrames::status(65, 1.0f, 3736.6f, 5545.5f, 12.0f));
    QVERIFY(status.wait(Wait));
    const QStringList lines = capture.lines();

    QCOMPARE(status.count(), 1);
    QCOMPARE(properties.count(), 0);
    QCOMPARE(device->properties().serialNumber, quint16(1017));
    QCOMPARE(device->battery()->voltage(), 12.0f);
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[0].contains(QStringLiteral("Status")));
    QVERIFY(lines[1].contains(QStringLiteral("Properties")));
    QCOMPARE(lines[2], QStringLiteral("unknown command: 4660"));
    QCOMPARE(lines[3], QStringLiteral("unknown command: 8193"));
}

void TestStationLink::startRecordWaitsForDataConnection()
{
    FakeStation station;
    auto device = connectedDevice(station, 3, 10, 5, 2); // 60 rows
    QVERIFY(device);
    QSignalSpy started(device.get(), &TervexDevice::recordStarted);
    QSignalSpy completed(device.get(), &TervexDevice::recordCompleted);

    GeneratorSettings g = StationFrames::station(3, 10, 5, 2).generator;
    const ElectrodeSettings e = electrodes(3);
    device->startRecord(&g, &e, {3, 1}, Wire::RecordModeNormal);
    QTRY_COMPARE_WITH_TIMEOUT(station.frames().size(), 3, Wait);
    QCOMPARE(station.frames().at(0), TervexDevice::generatorFrame(g));
    QCOMPARE(station.frames().at(1), TervexDevice::electrodesFrame(e));
    QCOMPARE(station.codes().at(2), Wire::Command::GetProperties);
    QTest::qWait(50);
    QCOMPARE(station.dataConnections(), 0);

    station.send(StationFrames::properties(StationFrames::station(3, 10, 5, 2)));
    QVERIFY(started.wait(Wait));
    QTRY_COMPARE_WITH_TIMEOUT(station.count(Wire::Command::StartRecord), 1, Wait);
    const QStringList events = station.events();
    QVERIFY(events.indexOf(QStringLiteral("data connected")) < events.indexOf(QStringLiteral("frame 0105")));
    QCOMPARE(station.frames().last(), hex("05 01 06 00 01 02 03 00 01 00"));

    QTRY_VERIFY_WITH_TIMEOUT(station.dataClient() != nullptr, Wait);
    station.sendData(StationFrames::rows(0, 60, 4));
    station.closeData();
    QVERIFY(completed.wait(Wait));
    const DataContainer* container = device->dataProcessor()->container();
    QCOMPARE(container->receivedSamples(), 60);
    QCOMPARE(container->stream(3).at(59), 593.0f);
}

void TestStationLink::stopCancelsPendingStart()
{
    FakeStation station;
    auto device = connectedDevice(station);
    QVERIFY(device);
    QSignalSpy stopped(device.get(), &TervexDevice::recordStopped);
    QSignalSpy started(device.get(), &TervexDevice::recordStarted);
    QSignalSpy completed(device.get(), &TervexDevice::recordCompleted);

    const ElectrodeSettings e = electrodes(2);
    const GeneratorSettings g = StationFrames::station(2).generator;
    device->startRecord(&g, &e, {1, 2}, 1);
    device->stopRecord();
    QCOMPARE(stopped.count(), 1);
    QVERIFY(!device->isStartPending());

    // The Properties reply that was already on its way opens nothing.
    station.send(StationFrames::properties(StationFrames::station(2)));
    QTRY_COMPARE_WITH_TIMEOUT(station.count(Wire::Command::StopRecord), 1, Wait);
    QTest::qWait(300);
    QCOMPARE(station.dataConnections(), 0);
    QCOMPARE(station.count(Wire::Command::StartRecord), 0);
    QCOMPARE(started.count(), 0);
    QCOMPARE(completed.count(), 0);
}

void TestStationLink::stopCancelsOpeningDataConnection()
{
    FakeStation station;
    auto device = connectedDevice(station);
    QVERIFY(device);
    QSignalSpy started(device.get(), &TervexDevice::recordStarted);
    QSignalSpy completed(device.get(), &TervexDevice::recordCompleted);
    QSignalSpy failed(device.get(), &TervexDevice::recordFailed);

    // Stop right after the reply asked for the data connection, before it is reported open.
    connect(device.get(), &TervexDevice::propertiesUpdated, device.get(),
            [&] { QTimer::singleShot(0, device.get(), [&] { device->stopRecord(); }); });
    const ElectrodeSettings e = electrodes(2);
    const GeneratorSettings g = StationFrames::station(2).generator;
    device->startRecord(&g, &e, {1, 2}, 1);
    QTRY_COMPARE_WITH_TIMEOUT(station.count(Wire::Command::GetProperties), 1, Wait);
    station.send(StationFrames::properties(StationFrames::station(2)));
    QTRY_COMPARE_WITH_TIMEOUT(station.count(Wire::Command::StopRecord), 1, Wait);
    QTest::qWait(300);
    QCOMPARE(station.count(Wire::Command::StartRecord), 0);
    QCOMPARE(started.count(), 0);
    QCOMPARE(completed.count(), 0);
    QCOMPARE(failed.count(), 0);
    // If the connection got through before the stop, it has been closed again.
    QCOMPARE(station.dataClosed(), station.dataConnections());
}

void TestStationLink::commandLossWhileStartPendingFails()
{
    FakeStation station;
    auto device = connectedDevice(station);
    QVERIFY(device);
    QSignalSpy disconnected(device.get(), &TervexDevice::disconnected);
    QSignalSpy failed(device.get(), &TervexDevice::recordFailed);

    const ElectrodeSettings e = electrodes(2);
    const GeneratorSettings g = StationFrames::station(2).generator;
    device->startRecord(&g, &e, {1, 2}, 1);
    QTRY_COMPARE_WITH_TIMEOUT(station.count(Wire::Command::GetProperties), 1, Wait);
    station.client()->disconnectFromHost();
    QVERIFY(disconnected.wait(Wait));
    QCOMPARE(failed.count(), 1);
    QVERIFY(!device->isStartPending());
}

void TestStationLink::noInterfaceOnSubnet()
{
    // TEST-NET-2: never configured on a test machine.
    auto device = makeDevice(m_settings, 6770, 6771, QStringLiteral("198.51.100.7"));
    QSignalSpy connecting(device.get(), &TervexDevice::connecting);
    QVERIFY(!device->connectToStation());
    QTest::qWait(50);
    QCOMPARE(connecting.count(), 0);
}

QTEST_GUILESS_MAIN(TestStationLink)
#include "tst_stationlink.moc"
