#include "station/wireformat.h"
#include "survey/etrformat.h"
#include "survey/linemetadata.h"
#include "survey/sequence.h"
#include "survey/surveyjob.h"
#include "testsupport.h"

#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace EtrFormat;

namespace {

ElectrodeMap line(int count)
{
    ElectrodeMap positions;
    for (int e = 1; e <= count; ++e)
        positions.insert(e, {5.0f * (e - 1), 0.5f * e, -1.0f});
    return positions;
}

QVector<float> ramp(int count, float start)
{
    QVector<float> values(count);
    for (int i = 0; i < count; ++i)
        values[i] = start + i;
    return values;
}

void putHeader(QByteArray& out, qint32 pulse, qint32 pause, qint32 repeats, qint32 entries)
{
    out = QByteArray(HeaderAreaSize, ' ');
    Wire::putI32(out, FormatWord);
    Wire::putI32(out, pulse);
    Wire::putI32(out, pause);
    Wire::putI32(out, repeats);
    Wire::putI32(out, entries);
}

} // namespace

class TestEtrFormat : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::isolateSettings(); }

    void headerLayout();
    void blockLayout();
    void blocksReadBack();
    void insaneHeaders_data();
    void insaneHeaders();
    void rejectedAndIncompleteBlocks();
    void scanListsMeasuredLinesAndCutsTheTail();
    void jobStreamWritesRawBytes();
    void companionPath();
    void lineMetadataInTheFreeArea();
};

void TestEtrFormat::headerLayout()
{
    ElectrodeMap positions = line(2);
    const QByteArray bytes = headerBytes(500, 250, 3, positions);
    QCOMPARE(bytes.size(), FixedHeaderSize + 2 * PositionEntrySize);
    QCOMPARE(bytes.left(HeaderAreaSize), QByteArray(HeaderAreaSize, ' '));
    const char* p = bytes.constData() + HeaderAreaSize;
    QCOMPARE(Wire::getI32(p), 1000);
    QCOMPARE(Wire::getI32(p + 4), 500);
    QCOMPARE(Wire::getI32(p + 8), 250);
    QCOMPARE(Wire::getI32(p + 12), 3);
    QCOMPARE(Wire::getI32(p + 16), 2);
    QCOMPARE(Wire::getI32(p + 20), 1);
    QCOMPARE(Wire::getF32(p + 36 + 4), 5.0f);
    QCOMPARE(Wire::getF32(p + 36 + 8), 1.0f);
    QCOMPARE(Wire::getF32(p + 36 + 12), -1.0f);

    Header header;
    QString error;
    QVERIFY(readHeader(bytes.constData(), bytes.size(), &header, &error));
    QCOMPARE(header.samplesPerStream, 2 * 750 * 3);
    QCOMPARE(header.size, qint64(bytes.size()));
    QCOMPARE(header.positions.size(), 2);
    QCOMPARE(header.positions.value(2).x, 5.0f);

    // An electrode listed twice keeps its later entry.
    QByteArray twice;
    putHeader(twice, 1, 1, 1, 2);
    for (const float x : {1.0f, 2.0f}) {
        Wire::putI32(twice, 7);
        Wire::putF32(twice, x);
        Wire::putF32(twice, 0.0f);
        Wire::putF32(twice, 0.0f);
    }
    QVERIFY(readHeader(twice.constData(), twice.size(), &header, &error));
    QCOMPARE(header.positionEntries, 2);
    QCOMPARE(header.positions.size(), 1);
    QCOMPARE(header.positions.value(7).x, 2.0f);
}

void TestEtrFormat::blockLayout()
{
    const int s = 6;
    // A short stream is padded with zeros, a long one cut, so the next block starts where the
    // reader expects it.
    const QVector<BlockChannel> channels{{3, 4, ramp(4, 1.0f)}, {4, 5, ramp(9, 10.0f)}};
    const QByteArray bytes = blockBytes(s, 1, 2, ramp(s, 100.0f), channels);
    QCOMPARE(bytes.size(), BlockHeaderSize + 4 * s + 2 * (ChannelHeaderSize + 4 * s));
    QCOMPARE(Wire::getI32(bytes.constData() + 8), 2);
    const char* first = bytes.constData() + BlockHeaderSize + 4 * s;
    QCOMPARE(QByteArray(first, ChannelAreaSize), QByteArray(ChannelAreaSize, '\0'));
    QCOMPARE(Wire::getI32(first + 128), 3);
    QCOMPARE(Wire::getI32(first + 132), 4);
    QCOMPARE(Wire::getF32(first + 136 + 4 * 3), 4.0f);
    QCOMPARE(Wire::getF32(first + 136 + 4 * 4), 0.0f);
    const char* second = first + ChannelHeaderSize + 4 * s;
    QCOMPARE(Wire::getF32(second + 136 + 4 * 5), 15.0f);

    // No samples at all: 12 bytes plus 136 per channel.
    QCOMPARE(blockBytes(0, 1, 2, {}, channels).size(), BlockHeaderSize + 2 * ChannelHeaderSize);
}

void TestEtrFormat::blocksReadBack()
{
    const QByteArray header = headerBytes(1, 1, 1, line(4));
    QByteArray file = header;
    file += blockBytes(4, 1, 2, ramp(4, 0.5f), {{3, 4, ramp(4, 7.0f)}});
    file += blockBytes(4, 0, 3, ramp(4, 1.5f), {});

    Header h;
    QString error;
    QVERIFY(readHeader(file.constData(), file.size(), &h, &error));
    BlockReader reader(file.constData(), file.size(), h);
    BlockView block;
    QCOMPARE(reader.next(&block), BlockStatus::Read);
    QCOMPARE(block.a, 1);
    QCOMPARE(block.b, 2);
    QCOMPARE(block.channels.size(), 1);
    QCOMPARE(block.channels.at(0).n, 4);
    QCOMPARE(Wire::getF32(block.channels.at(0).samples + 12), 10.0f);
    QCOMPARE(Wire::getF32(block.current), 0.5f);
    QCOMPARE(reader.next(&block), BlockStatus::Read);
    QCOMPARE(block.a, 0);
    QCOMPARE(block.channels.size(), 0);
    QCOMPARE(reader.next(&block), BlockStatus::End);
    QCOMPARE(reader.blocksRead(), 2);
    QCOMPARE(reader.position(), qint64(file.size()));
}

void TestEtrFormat::insaneHeaders_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");

    QByteArray h;
    putHeader(h, 500, 500, 3, 0);
    QTest::newRow("shorter than its layout")
        << h.left(FixedHeaderSize - 1) << QStringLiteral("Файл короче заголовка (4115 байт из 4116)");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("Файл короче заголовка (0 байт из 4116)");
    putHeader(h, 500, 500, 3, -1);
    QTest::newRow("negative P") << h << QStringLiteral("Некорректное число электродов (-1) в заголовке");
    putHeader(h, 500, 500, 3, 2);
    h.append(QByteArray(PositionEntrySize * 2 - 1, '\0'));
    QTest::newRow("P beyond the file") << h << QStringLiteral("Некорректное число электродов (2) в заголовке");
    putHeader(h, 500, 500, 3, 0x7fffffff);
    QTest::newRow("huge P") << h << QStringLiteral("Некорректное число электродов (2147483647) в заголовке");
    const QString timing = QStringLiteral("Некорректные параметры записи в заголовке: импульс (%1), пауза (%2), периоды (%3)");
    putHeader(h, -500, 500, 3, 0);
    QTest::newRow("negative pulse") << h << timing.arg(-500).arg(500).arg(3);
    putHeader(h, 500, -1000, 3, 0);
    QTest::newRow("negative pause") << h << timing.arg(500).arg(-1000).arg(3);
    putHeader(h, 500, 500, -3, 0);
    QTest::newRow("negative repeats") << h << timing.arg(500).arg(500).arg(-3);
    putHeader(h, 0, 0, 100000, 0);
    QTest::newRow("more periods than the station counts") << h << timing.arg(0).arg(0).arg(100000);
    putHeader(h, 0x7fffffff, 0x7fffffff, 65535, 0);
    QTest::newRow("S overflows") << h << timing.arg(0x7fffffff).arg(0x7fffffff).arg(65535);
    // 2 x (pulse + pause) x repeats would overflow even in 64 bits.
    putHeader(h, -1717986919, -1717986919, -1717911911, 0);
    QTest::newRow("product beyond 64 bits") << h << timing.arg(-1717986919).arg(-1717986919).arg(-1717911911);
    putHeader(h, 100000000, 0, 3, 0);
    QTest::newRow("stream larger than any file") << h << timing.arg(100000000).arg(0).arg(3);
}

void TestEtrFormat::insaneHeaders()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    Header header;
    QString reason;
    QVERIFY(!readHeader(bytes.constData(), bytes.size(), &header, &reason));
    QCOMPARE(reason, error);
}

void TestEtrFormat::rejectedAndIncompleteBlocks()
{
    const QByteArray header = headerBytes(1, 1, 1, ElectrodeMap());
    Header h;
    QString error;
    QVERIFY(readHeader(header.constData(), header.size(), &h, &error));
    BlockView block;

    for (const auto& bad : {std::make_tuple(49, 2, 1), std::make_tuple(1, -1, 1), std::make_tuple(1, 2, 11)}) {
        QByteArray file = header;
        file += blockBytes(4, 0, 48, {}, {});
        QByteArray rejected;
        Wire::putI32(rejected, std::get<0>(bad));
        Wire::putI32(rejected, std::get<1>(bad));
        Wire::putI32(rejected, std::get<2>(bad));
        file += rejected;
        BlockReader reader(file.constData(), file.size(), h);
        QCOMPARE(reader.next(&block), BlockStatus::Read);
        QCOMPARE(reader.next(&block), BlockStatus::Rejected);
        QCOMPARE(block.a, std::get<0>(bad));
        QCOMPARE(block.channelCount, std::get<2>(bad));
        QCOMPARE(reader.blocksRead(), 1);
    }

    // Negative NCH: no channel records, accepted.
    QByteArray negative = header;
    Wire::putI32(negative, 1);
    Wire::putI32(negative, 2);
    Wire::putI32(negative, -5);
    negative += QByteArray(16, '\0');
    BlockReader reader(negative.constData(), negative.size(), h);
    QCOMPARE(reader.next(&block), BlockStatus::Read);
    QCOMPARE(block.channels.size(), 0);
    QCOMPARE(reader.next(&block), BlockStatus::End);

    // Cut at every length inside a block: never read past the end.
    const QByteArray whole = blockBytes(4, 1, 2, ramp(4, 0.0f), {{3, 4, ramp(4, 0.0f)}, {4, 5, {}}});
    for (int cut = 1; cut < whole.size(); ++cut) {
        // A copy of exactly the bytes present lets the sanitizer catch any read beyond them.
        const QByteArray file = header + whole.left(cut);
        BlockReader r(file.constData(), file.size(), h);
        QCOMPARE(r.next(&block), BlockStatus::Incomplete);
        QCOMPARE(block.available, qint64(cut));
        QCOMPARE(block.size, cut < BlockHeaderSize ? qint64(BlockHeaderSize) : qint64(whole.size()));
        QCOMPARE(r.position(), qint64(header.size()));
    }
}

void TestEtrFormat::scanListsMeasuredLinesAndCutsTheTail()
{
    QByteArray file = headerBytes(2, 2, 1, line(6));
    file += blockBytes(8, 1, 2, {}, {{3, 4, {}}, {4, 5, {}}});
    file += blockBytes(8, 2, 3, {}, {{4, 5, {}}});
    const qint64 complete = file.size();
    file += blockBytes(8, 3, 4, {}, {{5, 6, {}}}).left(40);

    Scan result;
    QString error;
    QVERIFY(scan(file.constData(), file.size(), &result, &error));
    QCOMPARE(result.header.pulse, 2);
    QCOMPARE(result.blockCount, 2);
    QCOMPARE(result.completeEnd, complete);
    QCOMPARE(result.stop, BlockStatus::Incomplete);
    const QList<QuadrupoleLine> expected{{1, 2, 3, 4}, {1, 2, 4, 5}, {2, 3, 4, 5}};
    QVERIFY(result.measured == expected);

    QTemporaryDir dir;
    QFile onDisk(dir.filePath(QStringLiteral("survey.etr")));
    QVERIFY(onDisk.open(QIODevice::ReadWrite));
    QCOMPARE(onDisk.write(file.left(complete)), complete);
    QVERIFY(onDisk.flush());
    Scan fromFile;
    QVERIFY(scanFile(&onDisk, &fromFile, &error));
    QCOMPARE(fromFile.stop, BlockStatus::End);
    QVERIFY(fromFile.measured == expected);
    QCOMPARE(fromFile.completeEnd, complete);

    QVERIFY(!scan(file.constData(), 100, &result, &error));
    QVERIFY(!error.isEmpty());
}

void TestEtrFormat::jobStreamWritesRawBytes()
{
    QTemporaryDir dir;
    auto file = new QFile(dir.filePath(QStringLiteral("raw.etr")));
    QVERIFY(file->open(QIODevice::WriteOnly));
    const QVector<float> current = ramp(4, -1.25f);
    const QVector<BlockChannel> channels{{7, 8, ramp(4, 3.5f)}};
    {
        SurveyJob job(line(8), {}, new Sequence(10), file);
        QVERIFY(job.dataStream());
        QVERIFY(writeHeader(*job.dataStream(), 1, 1, 1, job.electrodes()));
        QVERIFY(writeBlock(*job.dataStream(), 4, 5, 6, current, channels));
    }
    QFile back(dir.filePath(QStringLiteral("raw.etr")));
    QVERIFY(back.open(QIODevice::ReadOnly));
    QCOMPARE(back.readAll(), headerBytes(1, 1, 1, line(8)) + blockBytes(4, 5, 6, current, channels));
}

void TestEtrFormat::companionPath()
{
    QCOMPARE(EtrFormat::companionPath(QStringLiteral("/data/240131_101500.etr")),
             QStringLiteral("/data/240131_101500.txt"));
    QCOMPARE(EtrFormat::companionPath(QStringLiteral("/data/SURVEY.ETR")), QStringLiteral("/data/SURVEY.txt"));
}


void TestEtrFormat::lineMetadataInTheFreeArea()
{
    LineMetadata written;
    written.set(LineMetadata::LineName, QStringLiteral("Профиль 7"));
    written.set(LineMetadata::Operator, QStringLiteral("Иванов"));
    written.set(LineMetadata::Note, QStringLiteral("после дождя\nвторая строка = мокро"));
    written.set(LineMetadata::Pulse, QStringLiteral("500"));
    const QByteArray area = written.toHeaderArea(HeaderAreaSize);
    QCOMPARE(area.size(), HeaderAreaSize);
    QVERIFY(area.endsWith(' '));

    // The area travels in the header; everything after it is the header without metadata.
    const QByteArray bytes = headerBytes(500, 250, 3, line(4), area);
    QCOMPARE(bytes.left(HeaderAreaSize), area);
    QCOMPARE(bytes.mid(HeaderAreaSize), headerBytes(500, 250, 3, line(4)).mid(HeaderAreaSize));
    Header header;
    QString error;
    QVERIFY(readHeader(bytes.constData(), bytes.size(), &header, &error));
    const LineMetadata read = LineMetadata::fromHeaderArea(header.area);
    QCOMPARE(read.state(), LineMetadata::State::Valid);
    QCOMPARE(read.fields(), written.fields());
    QCOMPARE(read.value(LineMetadata::Note), QStringLiteral("после дождя вторая строка = мокро"));

    // Files of before (spaces) or of the viewer's blank model (zero bytes) have none.
    QCOMPARE(LineMetadata::fromHeaderArea(QByteArray(HeaderAreaSize, ' ')).state(), LineMetadata::State::None);
    QCOMPARE(LineMetadata::fromHeaderArea(QByteArray(HeaderAreaSize, '\0')).state(), LineMetadata::State::None);

    // Anything else is shown, never trusted: another program's text, our marker with a line
    // that is not key=value, bytes that are not UTF-8.
    const QByteArray foreign[] = {
        QByteArray("Survey by X\nline=3\n") + QByteArray(HeaderAreaSize - 20, ' '),
        QByteArray("tervex-line=1\nline=3\nno equals sign\n") + QByteArray(HeaderAreaSize - 36, ' '),
        QByteArray("tervex-line=1\nline=\xff\xfe\n") + QByteArray(HeaderAreaSize - 21, ' '),
    };
    for (const QByteArray& garbage : foreign) {
        const LineMetadata m = LineMetadata::fromHeaderArea(garbage);
        QCOMPARE(m.state(), LineMetadata::State::Foreign);
        QVERIFY(m.fields().isEmpty());
        QVERIFY(!m.text().isEmpty());
    }

    // A note too long for the area is cut; the other fields stay whole and the area its size.
    LineMetadata large = written;
    large.set(LineMetadata::Note, QString(3000, QChar(0x0416)));
    large.set(LineMetadata::Battery, QStringLiteral("12.40"));
    const QByteArray full = large.toHeaderArea(HeaderAreaSize);
    QCOMPARE(full.size(), HeaderAreaSize);
    const LineMetadata back = LineMetadata::fromHeaderArea(full);
    QCOMPARE(back.state(), LineMetadata::State::Valid);
    QCOMPARE(back.value(LineMetadata::Battery), QStringLiteral("12.40"));
    QVERIFY(back.value(LineMetadata::Note).size() < 2100);
    QVERIFY(back.value(LineMetadata::Note).size() > 1900);
}

QTEST_GUILESS_MAIN(TestEtrFormat)
#include "tst_etrformat.moc"
