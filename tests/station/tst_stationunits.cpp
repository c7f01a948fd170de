#include "stationframes.h"
#include "testsupport.h"

#include "station/batteryinfo.h"
#include "station/dataprocessor.h"
#include "station/frameparser.h"
#include "station/gpsinfo.h"
#include "station/settingsstore.h"
#include "station/tervexdevice.h"
#include "station/tervexsettings.h"

#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

class TestStationUnits : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }

    void encoders();
    void parserSplitsAndMergesFrames();
    void propertiesDecoding();
    void propertiesDecodingKeepsFirstChannelCount();
    void statusDecoding();
    void mirrorUpdate();
    void mirrorWithMoreAnnouncedThanHeld();
    void batteryMean();
    void gpsTexts();
    void gpsTexts_data();
    void gpsIgnoresInvalidFix();
    void localAddressSelection();
    void rowCutter();
    void rowCutterWithMoreChannelsThanStreams();
    void container();
    void deviceSeedsAndReadsAddressSettings();
};

static QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

static ChannelSetting channelSetting(quint8 enabled, quint16 number, quint16 m, quint16 n, quint16 gain)
{
    ChannelSetting c;
    c.available = 1; // never consulted by the encoders
    c.enabled = enabled;
    c.number = number;
    c.electrodeM = m;
    c.electrodeN = n;
    c.gain = gain;
    return c;
}

void TestStationUnits::encoders()
{
    ElectrodeSettings e;
    e.currentElectrodeA = 1;
    e.currentElectrodeB = 2;
    QCOMPARE(TervexDevice::electrodesFrame(e), hex("02 01 08 00 01 00 00 00 01 00 02 00"));
    QCOMPARE(TervexDevice::gainsFrame(e), hex("03 01 02 00 00 00"));

    // Only enabled channels are sent, in table order; length counts the count word.
    e.channels = {channelSetting(1, 3, 5, 6, 4), channelSetting(0, 4, 7, 8, 9), channelSetting(2, 300, 47, 48, 10)};
    QCOMPARE(TervexDevice::electrodesFrame(e),
             hex("02 01 14 00 03 00  00 00 01 00 02 00  03 00 05 00 06 00  2C 01 2F 00 30 00"));
    QCOMPARE(TervexDevice::gainsFrame(e), hex("03 01 0A 00 02 00  03 00 04 00  2C 01 0A 00"));

    GeneratorSettings g;
    g.voltage = 250;
    g.periods = 3;
    g.pulseLength = 70000;
    g.pauseLength = 500;
    QCOMPARE(TervexDevice::generatorFrame(g), hex("04 01 0C 00 FA 00 03 00 70 11 01 00 F4 01 00 00"));

    QCOMPARE(TervexDevice::startRecordFrame({3, 7}, Wire::RecordModeNormal), hex("05 01 06 00 01 02 03 00 07 00"));
    QCOMPARE(TervexDevice::startRecordFrame({}, Wire::RecordModeNormal), hex("05 01 02 00 01 00"));
    // The count is one byte: a longer list is cut so count and entries agree.
    const QByteArray big = TervexDevice::startRecordFrame(QVector<quint16>(300, 1), 1);
    QCOMPARE(big.size(), 4 + 2 + 255 * 2);
    QCOMPARE(quint8(big.at(5)), quint8(255));
}

void TestStationUnits::parserSplitsAndMergesFrames()
{
    const QByteArray first = Wire::frame(Wire::Reply::Overflows, "ab");
    const QByteArray unknown = Wire::frame(0x1234);
    const QByteArray third = StationFrames::status(65, 1, 2, 3, 4);

    FrameParser parser;
    QByteArray frame;
    parser.append(first + unknown + third.left(10));
    QVERIFY(parser.takeFrame(&frame));
    QCOMPARE(frame, first);
    QVERIFY(parser.takeFrame(&frame));
    QCOMPARE(frame, unknown);
    QCOMPARE(FrameParser::code(frame), quint16(0x1234));
    QVERIFY(!parser.takeFrame(&frame));
    QCOMPARE(parser.bufferedBytes(), 10);

    // Completed a byte at a time; a header alone is not a frame.
    for (int i = 10; i < third.size() - 1; ++i) {
        parser.append(third.mid(i, 1));
        QVERIFY(!parser.takeFrame(&frame));
    }
    parser.append(third.right(1));
    QVERIFY(parser.takeFrame(&frame));
    QCOMPARE(frame, third);
    QCOMPARE(parser.bufferedBytes(), 0);

    parser.append(first.left(3));
    parser.clear();
    parser.append(unknown);
    QVERIFY(parser.takeFrame(&frame));
    QCOMPARE(frame, unknown);
}

void TestStationUnits::propertiesDecoding()
{
    // Distinct values in every field, so a field read at a wrong offset shows.
    StationProperties source = StationFrames::station(2, 70000, 250, 3);
    source.channels[0].statusLow = 0x12;
    source.channels[1].statusHigh = 0x34;
    source.channels[1].gain = 10;
    const QByteArray frame = StationFrames::properties(source);
    QCOMPARE(frame.size(), 32 + 2 * 14);

    StationProperties p;
    QVERIFY(TervexDevice::decodeProperties(frame, &p));
    QCOMPARE(StationFrames::properties(p), frame);
    QCOMPARE(p.electrodeCount, quint8(48)); // not the station's byte at offset 15
    QCOMPARE(p.channelCountFixed, 2);

    // Frames shorter than their layout are refused without touching anything.
    StationProperties untouched;
    QVERIFY(!TervexDevice::decodeProperties(frame.left(31), &untouched));
    QVERIFY(!TervexDevice::decodeProperties(frame.left(frame.size() - 1), &untouched));
    QCOMPARE(untouched.serialNumber, quint16(0));
    QCOMPARE(untouched.channelCountFixed, 0);
}

void TestStationUnits::propertiesDecodingKeepsFirstChannelCount()
{
    StationProperties p;
    QVERIFY(TervexDevice::decodeProperties(StationFrames::properties(StationFrames::station(3)), &p));
    const StationChannel* records = p.channels.constData();

    // Same count again: no vector changes length (or moves).
    QVERIFY(TervexDevice::decodeProperties(StationFrames::properties(StationFrames::station(3)), &p));
    QCOMPARE(p.channels.size(), 3);
    QCOMPARE(p.channels.constData(), records);

    // More channels announced later: the announced count shows, the records stay at three.
    StationProperties more = StationFrames::station(5);
    more.serialNumber = 2000;
    QVERIFY(TervexDevice::decodeProperties(StationFrames::properties(more), &p));
    QCOMPARE(p.channelCount, quint8(5));
    QCOMPARE(p.channelCountFixed, 3);
    QCOMPARE(p.channels.size(), 3);
    QCOMPARE(p.serialNumber, quint16(2000));

    // Fewer channels announced: the records the frame holds are refreshed, the others kept.
    StationProperties fewer = StationFrames::station(1);
    fewer.channels[0].gain = 9;
    QVERIFY(TervexDevice::decodeProperties(StationFrames::properties(fewer), &p));
    QCOMPARE(p.channelCount, quint8(1));
    QCOMPARE(p.channels.size(), 3);
    QCOMPARE(p.channels.at(0).gain, quint16(9));
    QCOMPARE(p.channels.at(2).gain, quint16(3));
    // A frame lacking records it announces is still short.
    QVERIFY(!TervexDevice::decodeProperties(StationFrames::properties(fewer, 2), &p));
}

void TestStationUnits::statusDecoding()
{
    const QByteArray frame = StationFrames::status(65, 151.5f, 3736.6f, 5545.5f, 12.5f);
    QCOMPARE(frame.size(), 24);
    StationStatus s;
    QVERIFY(TervexDevice::decodeStatus(frame, &s));
    QCOMPARE(s.fix, 65);
    QCOMPARE(s.altitude, 151.5f);
    QCOMPARE(s.longitude, 3736.6f);
    QCOMPARE(s.latitude, 5545.5f);
    QCOMPARE(s.batteryVoltage, 12.5f);

    StationStatus untouched;
    QVERIFY(!TervexDevice::decodeStatus(frame.left(23), &untouched));
    QCOMPARE(untouched.fix, 0);
}

void TestStationUnits::mirrorUpdate()
{
    StationProperties p = StationFrames::station(3, 200, 100, 2);
    p.channels[0].statusLow = 0x01; // one status byte clear: the station measures it
    p.channels[1].statusLow = 0x01;
    p.channels[1].statusHigh = 0x02;
    p.channels[2].gain = 7;
    p.channelCount = 3;
    p.electrodeCount = 48;

    TervexSettings mirror;
    QSignalSpy updating(&mirror, &TervexSettings::updating);
    QSignalSpy updated(&mirror, &TervexSettings::updated);
    mirror.updateFrom(p);
    QCOMPARE(updating.count(), 1);
    QCOMPARE(updated.count(), 1);

    QCOMPARE(mirror.stationInfo()->serialNumber, quint16(1017));
    QCOMPARE(mirror.stationInfo()->electrodeCount, quint16(48));
    QCOMPARE(mirror.stationInfo()->generatorVersionMajor, quint16(3));
    QCOMPARE(mirror.stationInfo()->channels.size(), 3);
    QCOMPARE(mirror.stationInfo()->channels[1].statusLow, quint16(1));
    QCOMPARE(mirror.stationInfo()->channels[1].statusHigh, quint16(2));
    QCOMPARE(mirror.generatorSettings()->pulseLength, quint32(200));
    QCOMPARE(mirror.generatorSettings()->pauseLength, quint32(100));
    QCOMPARE(mirror.generatorSettings()->periods, quint16(2));
    QCOMPARE(mirror.electrodeSettings()->currentElectrodeA, quint16(1));
    QCOMPARE(mirror.electrodeSettings()->currentElectrodeB, quint16(2));

    QVector<ChannelSetting>& channels = mirror.electrodeSettings()->channels;
    QCOMPARE(channels.size(), 3);
    QCOMPARE(channels[0].enabled, quint8(1));
    QCOMPARE(channels[1].enabled, quint8(0));
    QCOMPARE(channels[2].enabled, quint8(1));
    QCOMPARE(channels[2].gain, quint16(7));
    QCOMPARE(channels[2].electrodeM, quint16(5));

    // An operator's edits are overwritten, except the available flag, which does not make a channel
    // with both status bytes set enabled; equal counts keep the vectors.
    channels[0].available = 1;
    channels[0].enabled = 0;
    channels[0].electrodeM = 40;
    channels[1].available = 1;
    const ChannelSetting* settingRecords = channels.constData();
    const ChannelInfo* infoRecords = mirror.stationInfo()->channels.constData();
    mirror.updateFrom(p);
    QCOMPARE(channels.constData(), settingRecords);
    QCOMPARE(mirror.stationInfo()->channels.constData(), infoRecords);
    QCOMPARE(channels[0].available, quint8(1));
    QCOMPARE(channels[0].enabled, quint8(1));
    QCOMPARE(channels[0].electrodeM, quint16(3));
    QCOMPARE(channels[1].available, quint8(1));
    QCOMPARE(channels[1].enabled, quint8(0));
}

void TestStationUnits::mirrorWithMoreAnnouncedThanHeld()
{
    StationProperties p = StationFrames::station(2);
    p.channelCount = 4; // a later reply announcing more channels than the device holds
    TervexSettings mirror;
    mirror.updateFrom(p);
    QCOMPARE(mirror.electrodeSettings()->channels.size(), 4);
    QCOMPARE(mirror.stationInfo()->channels.size(), 4);
    QCOMPARE(mirror.electrodeSettings()->channels[1].number, quint16(2));
    QCOMPARE(mirror.electrodeSettings()->channels[3].number, quint16(0));
    QCOMPARE(mirror.electrodeSettings()->channels[3].enabled, quint8(0));
    QCOMPARE(mirror.stationInfo()->channels[2].number, quint16(0));
}

void TestStationUnits::batteryMean()
{
    BatteryInfo battery;
    QSignalSpy spy(&battery, &BatteryInfo::updated);
    for (float v : {10.f, 11.f, 12.f, 13.f, 14.f, 15.f, 16.f})
        battery.addVoltage(v);
    QCOMPARE(battery.samples(), QList<float>({11.f, 12.f, 13.f, 14.f, 15.f, 16.f}));
    QCOMPARE(battery.voltage(), 13.5f);
    QCOMPARE(spy.count(), 7);
    QCOMPARE(spy.last().at(0).toFloat(), 13.5f);

    BatteryInfo single;
    QSignalSpy singleSpy(&single, &BatteryInfo::updated);
    single.addVoltage(12.0f);
    single.addVoltage(0.0f);
    single.addVoltage(-1.0f);
    QCOMPARE(single.voltage(), 12.0f);
    QCOMPARE(single.samples().size(), 1);
    QCOMPARE(singleSpy.count(), 1);
}

void TestStationUnits::gpsTexts_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("latitude") << 5545.5 << QString::fromUtf8("55°45'30.0\"");
    QTest::newRow("three-digit degrees") << 13130.0 << QString::fromUtf8("131°30'0.0\"");
    QTest::newRow("one-digit degrees") << 530.0 << QString::fromUtf8("5°30'0.0\"");
    QTest::newRow("negative shows magnitude") << -3736.6 << QString::fromUtf8("37°36'36.0\"");
    QTest::newRow("zero") << 0.0 << QString::fromUtf8("0°00'0.0\"");
}

void TestStationUnits::gpsTexts()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(GPSInfo::degreeText(value), text);
}

void TestStationUnits::gpsIgnoresInvalidFix()
{
    GPSInfo gps;
    QSignalSpy spy(&gps, &GPSInfo::updated);
    // The station sends single-precision values.
    gps.update(65, double(3736.6f), double(5545.5f), 151.5f);
    const QString expected = QString::fromUtf8("37°36'36.0\"E  55°45'30.0\"N");
    QCOMPARE(gps.coordinatesText(), expected);
    QCOMPARE(gps.altitudeText(), QStringLiteral("151.5"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), expected);

    gps.update(86, 1.0, 2.0, 3.0f);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(gps.coordinatesText(), expected);
    QCOMPARE(gps.longitude(), double(3736.6f));

    gps.update(65, 0.0, -5545.5, 0.0f);
    QCOMPARE(gps.coordinatesText(), QString::fromUtf8("0°00'0.0\"W  55°45'30.0\"S"));
}

void TestStationUnits::localAddressSelection()
{
    const QList<QHostAddress> addresses = {QHostAddress(QStringLiteral("10.0.0.5")),
                                           QHostAddress(QStringLiteral("192.168.1.7")),
                                           QHostAddress(QStringLiteral("192.168.0.42")),
                                           QHostAddress(QStringLiteral("192.168.0.43"))};
    QCOMPARE(TervexDevice::selectLocalAddress(QStringLiteral("192.168.0.100"), addresses),
             QHostAddress(QStringLiteral("192.168.0.42")));
    QVERIFY(TervexDevice::selectLocalAddress(QStringLiteral("172.16.0.1"), addresses).isNull());
    QVERIFY(TervexDevice::selectLocalAddress(QStringLiteral("not an address"), addresses).isNull());
}

void TestStationUnits::rowCutter()
{
    DataProcessor processor;
    processor.reset(4);
    processor.setup(2, 1, 1, {3, 7}); // four streams, 16-byte rows
    QSignalSpy spy(&processor, &DataProcessor::channelsUpdated);
    const QByteArray rows = StationFrames::rows(0, 4, 4);

    processor.appendData(rows.left(10));
    QCOMPARE(spy.count(), 0);
    processor.appendData(rows.mid(10, 30)); // 40 bytes in all: two rows, 8 left over
    QCOMPARE(spy.count(), 1);
    QCOMPARE(processor.pendingBytes(), 8);
    QCOMPARE(processor.container()->receivedSamples(), 2);
    processor.appendData(rows.mid(40, 8));
    QCOMPARE(processor.container()->receivedSamples(), 3);
    QCOMPARE(processor.pendingBytes(), 0);
    processor.appendData(rows.mid(48));

    DataContainer* c = processor.container();
    QCOMPARE(c->receivedSamples(), 4);
    QCOMPARE(*c->channelData(StreamId::Current), QVector<float>({0, 10, 20, 30}));
    QCOMPARE(*c->channelData(StreamId::Voltage), QVector<float>({1, 11, 21, 31}));
    QCOMPARE(*c->channelData(3), QVector<float>({2, 12, 22, 32}));
    QCOMPARE(*c->channelData(7), QVector<float>({3, 13, 23, 33}));

    // A new record starts clean, including a partial row left by the last one.
    processor.appendData(rows.left(5));
    processor.setup(2, 1, 1, {7});
    QCOMPARE(processor.pendingBytes(), 0);
    processor.appendData(StationFrames::rows(5, 1, 3));
    QCOMPARE(*c->channelData(7), QVector<float>({52}));
    QCOMPARE(c->stream(0).size(), 1);
}

void TestStationUnits::rowCutterWithMoreChannelsThanStreams()
{
    // The container holds one channel, the station streams two: rows keep the station's width.
    DataProcessor processor;
    processor.reset(1);
    processor.setup(1, 1, 1, {4, 5});
    processor.appendData(StationFrames::rows(0, 3, 4));
    const DataContainer* c = processor.container();
    QCOMPARE(c->receivedSamples(), 3);
    QCOMPARE(c->stream(0), QVector<float>({0, 10, 20}));
    QCOMPARE(c->stream(2), QVector<float>({2, 12, 22}));
}

void TestStationUnits::container()
{
    DataContainer c;
    c.resetStreams(3);
    c.prepareRecord(5, 3, 2, {});
    QCOMPARE(c.channelCount(), 2);
    QCOMPARE(c.expectedSamples(), 32);
    QCOMPARE(c.halfPeriodSamples(), 8);
    QCOMPARE(c.periodSamples(), 16);

    DataProcessor processor;
    processor.reset(3);
    processor.setup(5, 3, 2, {});
    processor.appendData(StationFrames::rows(0, 2, 2)); // rows of 8 bytes
    QCOMPARE(processor.container()->receivedSamples(), 2);

    processor.setup(5, 3, 2, {9, 1});
    DataContainer* d = processor.container();
    QCOMPARE(d->receivedSamples(), 0);
    QCOMPARE(d->channelIds(), QVector<qint16>({9, 1}));
    QVERIFY(d->stream(0).isEmpty());
    QVERIFY(d->stream(0).capacity() >= 32);
    QCOMPARE(d->channelData(9), &d->stream(2));
    QCOMPARE(d->channelData(1), &d->stream(3));
    QVERIFY(d->channelData(55) == nullptr);
}

void TestStationUnits::deviceSeedsAndReadsAddressSettings()
{
    {
        QSettings settings;
        settings.clear();
        TervexDevice device(&settings);
        QCOMPARE(device.commandPort(), quint16(6770));
        QCOMPARE(device.dataPort(), quint16(6771));
        QCOMPARE(device.host(), QStringLiteral("192.168.0.100"));
        QCOMPARE(settings.value(QStringLiteral("command_port")).toInt(), 6770);
        QCOMPARE(settings.value(QStringLiteral("data_port")).toInt(), 6771);
        QCOMPARE(settings.value(QStringLiteral("tervex_host")).toString(), QStringLiteral("192.168.0.100"));
    }
    QSettings settings;
    settings.setValue(QStringLiteral("command_port"), 7000);
    settings.setValue(QStringLiteral("data_port"), 7001);
    settings.setValue(QStringLiteral("tervex_host"), QStringLiteral("10.1.2.3"));
    TervexDevice device(&settings);
    QCOMPARE(device.commandPort(), quint16(7000));
    QCOMPARE(device.dataPort(), quint16(7001));
    QCOMPARE(device.host(), QStringLiteral("10.1.2.3"));
}

QTEST_GUILESS_MAIN(TestStationUnits)
#include "tst_stationunits.moc"
