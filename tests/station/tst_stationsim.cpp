#include "stderrcapture.h"
#include "testsupport.h"

#include "station/tervexdevice.h"
#include "tools/stationsim/stationsimulator.h"

#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

// The device against the simulated station over loopback.
class TestStationSim : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }

    void firstCommandsAndInitializedOnceAcrossReconnection();
    void recordHandshakeAndWholeRecord();
    void recordStartedBeforeFirstProperties();
    void stopInMidStream();
    void commandConnectionDropped();
    void dataConnectionRefused();
    void framesByteByByte();
    void unknownCodes();
    void dataClosedMidway();

private:
    struct Link
    {
        std::unique_ptr<StationSimulator> station;
        std::unique_ptr<QSettings> settings;
        std::unique_ptr<TervexDevice> device;
        std::unique_ptr<QSignalSpy> commands;
    };
    // A started simulator and a device pointed at it (not yet connected).
    static bool makeLink(Link& link, SimulatorOptions options = {});
    static bool connectAndInitialize(Link& link);
    static QList<quint16> codes(const QSignalSpy& commands);
};

static constexpr int Wait = 10000;

bool TestStationSim::makeLink(Link& link, SimulatorOptions options)
{
    options.commandPort = 0;
    options.dataPort = 0;
    options.speed = 0;
    link.station = std::make_unique<StationSimulator>(options);
    if (!link.station->start())
        return false;
    link.commands = std::make_unique<QSignalSpy>(link.station.get(), &StationSimulator::commandReceived);
    link.settings = std::make_unique<QSettings>();
    link.settings->setValue(QStringLiteral("tervex_host"), QStringLiteral("127.0.0.1"));
    link.settings->setValue(QStringLiteral("command_port"), link.station->commandPort());
    link.settings->setValue(QStringLiteral("data_port"), link.station->dataPort());
    link.device = std::make_unique<TervexDevice>(link.settings.get());
    return true;
}

bool TestStationSim::connectAndInitialize(Link& link)
{
    QSignalSpy initialized(link.device.get(), &TervexDevice::initialized);
    return link.device->connectToStation() && initialized.wait(Wait);
}

QList<quint16> TestStationSim::codes(const QSignalSpy& commands)
{
    QList<quint16> out;
    for (const QList<QVariant>& arguments : commands)
        out.append(quint16(arguments.at(0).toUInt()));
    return out;
}

static GeneratorSettings generator(quint32 pulse, quint32 pause, quint16 periods)
{
    GeneratorSettings g;
    g.voltage = 50;
    g.periods = periods;
    g.pulseLength = pulse;
    g.pauseLength = pause;
    return g;
}

// Current electrodes 1 and 4, channel k measuring between electrodes 1 + k and 2 + k.
static ElectrodeSettings electrodes(int channels)
{
    ElectrodeSettings e;
    e.currentElectrodeA = 1;
    e.currentElectrodeB = 4;
    for (int k = 1; k <= channels; ++k) {
        ChannelSetting c;
        c.enabled = 1;
        c.number = quint16(k);
        c.electrodeM = quint16(1 + k);
        c.electrodeN = quint16(2 + k);
        c.gain = 3;
        e.channels.append(c);
    }
    return e;
}

void TestStationSim::firstCommandsAndInitializedOnceAcrossReconnection()
{
    Link link;
    QVERIFY(makeLink(link));
    QSignalSpy initialized(link.device.get(), &TervexDevice::initialized);
    QSignalSpy properties(link.device.get(), &TervexDevice::propertiesUpdated);
    QVERIFY(connectAndInitialize(link));
    QCOMPARE(codes(*link.commands).mid(0, 2), QList<quint16>({Wire::Command::StopRecord, Wire::Command::GetProperties}));
    QCOMPARE(link.device->properties().serialNumber, quint16(1017));
    QCOMPARE(link.device->properties().channelCountFixed, 10);

    link.device->closeConnections();
    link.commands->clear();
    QVERIFY(link.device->connectToStation());
    QTRY_COMPARE_WITH_TIMEOUT(properties.count(), 2, Wait);
    QCOMPARE(codes(*link.commands).mid(0, 2), QList<quint16>({Wire::Command::StopRecord, Wire::Command::GetProperties}));
    QCOMPARE(initialized.count(), 1);
}

void TestStationSim::recordHandshakeAndWholeRecord()
{
    Link link;
    QVERIFY(makeLink(link));
    QVERIFY(connectAndInitialize(link));
    TervexDevice* device = link.device.get();
    QSignalSpy started(device, &TervexDevice::recordStarted);
    QSignalSpy completed(device, &TervexDevice::recordCompleted);
    QSignalSpy failed(device, &TervexDevice::recordFailed);
    QSignalSpy finished(link.station.get(), &StationSimulator::recordFinished);
    link.commands->clear();

    const GeneratorSettings g = generator(50, 50, 2);
    const ElectrodeSettings e = electrodes(3);
    device->startRecord(&g, &e, {1, 2, 3}, Wire::RecordModeNormal);
    QVERIFY(completed.wait(Wait));
    QCOMPARE(failed.count(), 0);
    QCOMPARE(started.count(), 1);

    QList<quint16> sent = codes(*link.commands);
    sent.removeAll(Wire::Command::GetStatus);
    QCOMPARE(sent, QList<quint16>({Wire::Command::SetGenerator, Wire::Command::SetElectrodes,
                                   Wire::Command::GetProperties, Wire::Command::StartRecord}));
    QCOMPARE(link.station->generator().pulseLength, quint32(50));
    QCOMPARE(link.station->electrodes().currentElectrodeB, quint16(4));

    const DataContainer* container = device->dataProcessor()->container();
    QCOMPARE(container->expectedSamples(), 400);
    QCOMPARE(container->receivedSamples(), 400);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toInt(), 400);
    for (int s = 0; s < container->channelCount(); ++s)
        QCOMPARE(container->stream(s).size(), 400);
    // Positive pulse first, then pause, negative pulse, pause.
    QVERIFY(container->stream(0).at(25) > 0.0f);
    QVERIFY(container->stream(0).at(125) < 0.0f);
    QVERIFY(qAbs(container->stream(0).at(125)) > 10 * qAbs(container->stream(0).at(75)));

    // The next record works the same way.
    device->startRecord(&g, &e, {2}, Wire::RecordModeNormal);
    QVERIFY(completed.wait(Wait));
    QCOMPARE(container->receivedSamples(), 400);
    QCOMPARE(container->channelIds(), QVector<qint16>({2}));
}

void TestStationSim::recordStartedBeforeFirstProperties()
{
    Link link;
    QVERIFY(makeLink(link));
    TervexDevice* device = link.device.get();
    QSignalSpy completed(device, &TervexDevice::recordCompleted);
    QSignalSpy failed(device, &TervexDevice::recordFailed);
    const GeneratorSettings g = generator(50, 50, 1);
    const ElectrodeSettings e = electrodes(2);
    // Started as soon as the station is first seen, while the answer to the connect-time
    // GetProperties (with the station's old timing) is still being handled.
    connect(device, &TervexDevice::initialized, this,
            [&]() { device->startRecord(&g, &e, {1, 2}, Wire::RecordModeNormal); });
    QVERIFY(device->connectToStation());
    QVERIFY(completed.wait(Wait));
    QCOMPARE(failed.count(), 0);
    const DataContainer* container = device->dataProcessor()->container();
    QCOMPARE(container->expectedSamples(), 200);
    QCOMPARE(container->receivedSamples(), 200);
}

void TestStationSim::stopInMidStream()
{
    SimulatorOptions options;
    Link link;
    QVERIFY(makeLink(link, options));
    link.station->options().speed = 1.0; // real pace: a 6 s record
    QVERIFY(connectAndInitialize(link));
    TervexDevice* device = link.device.get();
    QSignalSpy data(device, &TervexDevice::dataUpdated);
    QSignalSpy stopped(device, &TervexDevice::recordStopped);
    QSignalSpy completed(device, &TervexDevice::recordCompleted);
    QSignalSpy failed(device, &TervexDevice::recordFailed);

    const GeneratorSettings g = generator(500, 500, 3);
    const ElectrodeSettings e = electrodes(2);
    device->startRecord(&g, &e, {1, 2}, Wire::RecordModeNormal);
    QVERIFY(data.wait(Wait));
    device->stopRecord();
    QCOMPARE(stopped.count(), 1);
    QVERIFY(completed.wait(Wait));
    QCOMPARE(failed.count(), 0);
    const DataContainer* container = device->dataProcessor()->container();
    QVERIFY(container->receivedSamples() < container->expectedSamples());
    QTRY_VERIFY_WITH_TIMEOUT(codes(*link.commands).contains(Wire::Command::StopRecord), Wait);
}

void TestStationSim::commandConnectionDropped()
{
    SimulatorOptions options;
    options.dropCommandAfterFrames = 2; // after StopRecord and GetProperties of the first connection
    Link link;
    QVERIFY(makeLink(link, options));
    TervexDevice* device = link.device.get();
    QSignalSpy disconnected(device, &TervexDevice::disconnected);
    QSignalSpy initialized(device, &TervexDevice::initialized);
    QSignalSpy properties(device, &TervexDevice::propertiesUpdated);
    QVERIFY(device->connectToStation());
    QVERIFY(disconnected.wait(Wait));
    const int before = properties.count();

    link.station->options().dropCommandAfterFrames = -1;
    QVERIFY(device->connectToStation());
    QTRY_VERIFY_WITH_TIMEOUT(properties.count() > before, Wait);
    QCOMPARE(initialized.count(), 1);

    QSignalSpy completed(device, &TervexDevice::recordCompleted);
    const GeneratorSettings g = generator(10, 10, 1);
    const ElectrodeSettings e = electrodes(1);
    device->startRecord(&g, &e, {1}, Wire::RecordModeNormal);
    QVERIFY(completed.wait(Wait));
    QCOMPARE(device->dataProcessor()->container()->receivedSamples(), 40);
}

void TestStationSim::dataConnectionRefused()
{
    SimulatorOptions options;
    options.refuseData = true;
    Link link;
    QVERIFY(makeLink(link, options));
    QVERIFY(connectAndInitialize(link));
    TervexDevice* device = link.device.get();
    device->setDataConnectTimeout(500);
    device->setStatusInterval(50);
    QSignalSpy failed(device, &TervexDevice::recordFailed);
    QSignalSpy started(device, &TervexDevice::recordStarted);

    const GeneratorSettings g = generator(10, 10, 1);
    const ElectrodeSettings e = electrodes(2);
    device->startRecord(&g, &e, {1, 2}, Wire::RecordModeNormal);
    link.commands->clear();
    QVERIFY(failed.wait(Wait));
    QCOMPARE(started.count(), 0);
    QVERIFY(!device->isStartPending());
    // No polling while the record was pending; it resumes after the failure.
    QVERIFY(!codes(*link.commands).contains(Wire::Command::GetStatus));
    QTRY_VERIFY_WITH_TIMEOUT(codes(*link.commands).contains(Wire::Command::GetStatus), Wait);
    QVERIFY(!codes(*link.commands).contains(Wire::Command::StartRecord));

    link.station->options().refuseData = false;
    QSignalSpy completed(device, &TervexDevice::recordCompleted);
    device->startRecord(&g, &e, {1, 2}, Wire::RecordModeNormal);
    QVERIFY(completed.wait(Wait));
    QCOMPARE(failed.count(), 1);
}

void TestStationSim::framesByteByByte()
{
    SimulatorOptions options;
    options.byteByByte = true;
    Link link;
    QVERIFY(makeLink(link, options));
    QVERIFY(connectAndInitialize(link));
    TervexDevice* device = link.device.get();
    QCOMPARE(device->properties().channelCountFixed, 10);
    QCOMPARE(device->properties().channels.at(9).number, quint16(10));

    QSignalSpy status(device, &TervexDevice::statusUpdated);
    QSignalSpy overflows(device, &TervexDevice::overflowfUpdated);
    device->requestStatus();
    device->requestOverflows();
    QVERIFY(overflows.wait(Wait));
    QCOMPARE(status.count(), 1);
    QVERIFY(!device->gps()->coordinatesText().isEmpty());
    QVERIFY(device->battery()->voltage() > 10.0f);
    QVERIFY(!device->overflows().isEmpty());
}

void TestStationSim::unknownCodes()
{
    SimulatorOptions options;
    options.unknownCodes = true;
    Link link;
    QVERIFY(makeLink(link, options));
    StderrCapture capture;
    QVERIFY(connectAndInitialize(link));
    TervexDevice* device = link.device.get();
    QSignalSpy completed(device, &TervexDevice::recordCompleted);
    const GeneratorSettings g = generator(10, 10, 1);
    const ElectrodeSettings e = electrodes(2);
    device->startRecord(&g, &e, {1, 2}, Wire::RecordModeNormal);
    QVERIFY(completed.wait(Wait));
    QCOMPARE(device->dataProcessor()->container()->receivedSamples(), 40);
    const QStringList lines = capture.lines();
    QVERIFY(!lines.isEmpty());
    for (const QString& line : lines)
        QVERIFY2(line.startsWith(QStringLiteral("unknown command: ")), qPrintable(line));
}

void TestStationSim::dataClosedMidway()
{
    SimulatorOptions options;
    options.closeDataAfterRows = 100;
    Link link;
    QVERIFY(makeLink(link, options));
    QVERIFY(connectAndInitialize(link));
    TervexDevice* device = link.device.get();
    QSignalSpy failed(device, &TervexDevice::recordFailed);
    QSignalSpy completed(device, &TervexDevice::recordCompleted);
    QSignalSpy status(device, &TervexDevice::statusUpdated);

    const GeneratorSettings g = generator(50, 50, 2);
    const ElectrodeSettings e = electrodes(2);
    device->startRecord(&g, &e, {1, 2}, Wire::RecordModeNormal);
    QVERIFY(failed.wait(Wait));
    QCOMPARE(completed.count(), 0);
    QCOMPARE(device->dataProcessor()->container()->receivedSamples(), 100);
    device->setStatusInterval(50);
    QVERIFY(status.wait(Wait));

    link.station->options().closeDataAfterRows = -1;
    device->startRecord(&g, &e, {1, 2}, Wire::RecordModeNormal);
    QVERIFY(completed.wait(Wait));
    QCOMPARE(device->dataProcessor()->container()->receivedSamples(), 400);
}

QTEST_GUILESS_MAIN(TestStationSim)
#include "tst_stationsim.moc"
