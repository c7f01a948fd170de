#include "etr/etrcontroller.h"
#include "etr/etrfile.h"
#include "etrtestfiles.h"
#include "station/wireformat.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace EtrTestFiles;

namespace {

struct Message
{
    QString title;
    QString text;
};

// Loads a file and keeps the loader's messages.
struct Loaded
{
    EtrFile file;
    QList<Message> messages;
    bool ok = false;

    explicit Loaded(const QString& path)
    {
        QObject::connect(&file, &EtrFile::loadMessage,
                         [this](const QString& title, const QString& text) { messages.append({title, text}); });
        ok = file.load(path);
    }
};

const QString Title = QStringLiteral("Загрузка etr");

QString channelCountMessage(int nch, int a, int b, int block)
{
    return QStringLiteral("Некорректное число каналов (%1), EA (%2), EB (%3) в блоке %4\n"
                          "Чтение файла прервано, файл будет показан частично")
        .arg(nch).arg(a).arg(b).arg(block);
}

QString electrodeMessage(int m, int n, int block)
{
    return QStringLiteral("Некорректное значение электрода EM (%1), EN (%2) в блоке %3\n"
                          "Дальнейший результат чтения файла недостоверен")
        .arg(m).arg(n).arg(block);
}

// 2 pi / |1/AM - 1/AN - 1/BM + 1/BN| for electrodes on the line.
double wennerLikeK(double a, double b, double m, double n)
{
    const double s = 1 / std::abs(a - m) - 1 / std::abs(a - n) - 1 / std::abs(b - m) + 1 / std::abs(b - n);
    return 2 * M_PI / std::abs(s);
}

bool near(double actual, double expected, double relative = 1e-4)
{
    return std::abs(actual - expected) <= relative * std::abs(expected);
}

QByteArray int32Bytes(qint32 value)
{
    QByteArray out;
    Wire::putI32(out, value);
    return out;
}

QByteArray rawBlockHeader(qint32 a, qint32 b, qint32 nch)
{
    QByteArray out;
    Wire::putI32(out, a);
    Wire::putI32(out, b);
    Wire::putI32(out, nch);
    return out;
}

QStringList readLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines = QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestEtrFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::isolateSettings(); }

    void headerOnly();
    void valuesFromKnownRecords();
    void noPositionsGivesZeroK();
    void rejectedBlocksKeepEarlierOnes_data();
    void rejectedBlocksKeepEarlierOnes();
    void electrodeMessageOncePerBlock();
    void repeatsZero();
    void truncatedLastBlock();
    void unusableHeaders_data();
    void unusableHeaders();
    void polarisationFallback();
    void unopenableFileChangesNothing();

    void plainTable();
    void polarisationTable();
    void tableNames();
    void tableWriteFailures();

    void controllerSignals();
    void controllerAfterFailedOpen();

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }
};

void TestEtrFile::headerOnly()
{
    const Timing t;
    QVERIFY(write(path(QStringLiteral("header.etr")), header(t, straightLine(48))));
    Loaded loaded(path(QStringLiteral("header.etr")));
    QVERIFY(loaded.ok);
    QVERIFY(loaded.messages.isEmpty());
    QVERIFY(loaded.file.isComplete());
    QVERIFY(loaded.file.blocks().isEmpty());
    QCOMPARE(loaded.file.pulse(), 500);
    QCOMPARE(loaded.file.repeats(), 3);
    QCOMPARE(loaded.file.samplesPerStream(), 6000);
    QCOMPARE(loaded.file.streamBytes(), 24000);
    QCOMPARE(loaded.file.formatWord(), 1000);
    QCOMPARE(loaded.file.headerArea(), QByteArray(4096, ' '));
    QCOMPARE(loaded.file.positionCount(), 48);
    QCOMPARE(loaded.file.electrodePositions().value(48).x, 235.0f);
    QCOMPARE(loaded.file.fileName(), QStringLiteral("header.etr"));
    QCOMPARE(QDir(loaded.file.directory()), QDir(m_dir.path()));
}

void TestEtrFile::valuesFromKnownRecords()
{
    const Timing t;
    QByteArray bytes = header(t, straightLine(8));
    bytes += block(t, 1, 4, 0.05f, {channel(t, 2, 3, 0.2f), channel(t, 5, 6, -0.01f)});
    bytes += block(t, 0, 8, 0.0123f, {channel(t, 6, 7, 0.5f)});
    QVERIFY(write(path(QStringLiteral("known.etr")), bytes));
    Loaded loaded(path(QStringLiteral("known.etr")));
    QVERIFY(loaded.ok);
    QVERIFY(loaded.messages.isEmpty());
    QVERIFY(loaded.file.isComplete());
    QCOMPARE(loaded.file.blocks().size(), 2);

    const EtrBlock& first = loaded.file.blocks().at(0);
    QCOMPARE(first.channelCount, 2);
    QCOMPARE(first.currentSamples.size(), 6000);
    QCOMPARE(first.currentSamples.at(1200), -0.05f);
    QVERIFY2(near(first.current, 0.05), qPrintable(QString::number(first.current)));

    const EtrChannel& wenner = first.channels.at(0);
    QCOMPARE(wenner.m, 2);
    QCOMPARE(wenner.header, QByteArray(128, '\0'));
    QVERIFY(near(wenner.voltage, 0.2));
    QVERIFY(near(wenner.geometricFactor, wennerLikeK(0, 15, 5, 10)));
    QVERIFY(near(wenner.geometricFactor, 2 * M_PI * 5));
    QVERIFY(near(wenner.resistivity, 2 * M_PI * 5 * 0.2 / 0.05));
    QVERIFY(std::abs(wenner.deviation) < 1e-3);
    // No polarisation in a clean square wave.
    QVERIFY(std::abs(wenner.chargeability) < 1e-3);
    QVERIFY(std::abs(wenner.decayCurve.at(19)) < 1e-3);

    // The sign of the potential does not enter U_mn; the keys are the channel positions.
    const EtrChannel& second = first.channels.at(1);
    QVERIFY(near(second.voltage, 0.01));
    QVERIFY(near(second.geometricFactor, wennerLikeK(0, 15, 20, 25)));

    // A remote electrode (0) stands far away.
    const EtrBlock& remote = loaded.file.blocks().at(1);
    QVERIFY(near(remote.current, 0.0123));
    QVERIFY(near(remote.channels.at(0).geometricFactor, wennerLikeK(100000, 35, 25, 30), 1e-3));
    QVERIFY(!loaded.file.polarisationInvalid());
}

void TestEtrFile::noPositionsGivesZeroK()
{
    const Timing t{200, 200, 2};
    QVERIFY(write(path(QStringLiteral("nopos.etr")),
                  header(t, {}) + block(t, 1, 2, 0.1f, {channel(t, 3, 4, 0.3f)})));
    Loaded loaded(path(QStringLiteral("nopos.etr")));
    QVERIFY(loaded.ok);
    QCOMPARE(loaded.file.positionCount(), 0);
    const EtrChannel& c = loaded.file.blocks().at(0).channels.at(0);
    QCOMPARE(c.geometricFactor, 0.0f);
    QVERIFY(near(c.resistivity, 3.0));
}

void TestEtrFile::rejectedBlocksKeepEarlierOnes_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("nch");
    QTest::newRow("NCH = 11") << 1 << 2 << 11;
    QTest::newRow("A = 49") << 49 << 2 << 1;
    QTest::newRow("B = -1") << 1 << -1 << 0;
}

void TestEtrFile::rejectedBlocksKeepEarlierOnes()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, nch);
    const Timing t{100, 100, 1};
    QByteArray bytes = header(t, straightLine(4));
    bytes += block(t, 1, 2, 0.1f, {channel(t, 3, 4, 0.2f)});
    bytes += block(t, 0, 3, 0.1f, {channel(t, 1, 2, 0.2f)});
    bytes += rawBlockHeader(a, b, nch) + QByteArray(4 * t.samples(), '\0');
    bytes += block(t, 1, 2, 0.1f, {});
    QVERIFY(write(path(QStringLiteral("rejected.etr")), bytes));

    Loaded loaded(path(QStringLiteral("rejected.etr")));
    QVERIFY(loaded.ok);
    QVERIFY(!loaded.file.isComplete());
    QCOMPARE(loaded.file.blocks().size(), 2);
    QCOMPARE(loaded.messages.size(), 1);
    QCOMPARE(loaded.messages.at(0).title, Title);
    QCOMPARE(loaded.messages.at(0).text, channelCountMessage(nch, a, b, 2));
    // The blocks before it are computed.
    QVERIFY(near(loaded.file.blocks().at(1).channels.at(0).voltage, 0.2));
}

void TestEtrFile::electrodeMessageOncePerBlock()
{
    const Timing t{100, 100, 1};
    QByteArray bytes = header(t, straightLine(4));
    bytes += block(t, 1, 2, 0.1f, {channel(t, 50, 3, 0.1f), channel(t, 3, 4, 0.1f), channel(t, 50, -2, 0.1f)});
    bytes += block(t, 1, 2, 0.1f, {channel(t, 3, 50, 0.1f)});
    bytes += block(t, 3, 4, 0.1f, {channel(t, 1, 2, 0.1f)});
    QVERIFY(write(path(QStringLiteral("electrodes.etr")), bytes));

    Loaded loaded(path(QStringLiteral("electrodes.etr")));
    QVERIFY(loaded.ok);
    QCOMPARE(loaded.messages.size(), 2);
    QCOMPARE(loaded.messages.at(0).title, Title);
    QCOMPARE(loaded.messages.at(0).text, electrodeMessage(50, 3, 0));
    QCOMPARE(loaded.messages.at(1).text, electrodeMessage(3, 50, 1));
    // Reading goes on and the channels are taken over.
    QCOMPARE(loaded.file.blocks().size(), 3);
    QCOMPARE(loaded.file.blocks().at(0).channels.size(), 3);
    QCOMPARE(loaded.file.blocks().at(0).channels.at(2).n, -2);
    QVERIFY(loaded.file.isComplete());
}

void TestEtrFile::repeatsZero()
{
    const Timing t{500, 500, 0};
    QByteArray bytes = header(t, straightLine(4));
    bytes += block(t, 1, 2, 0.1f, {channel(t, 3, 4, 0.1f), channel(t, 4, 3, 0.1f)});
    bytes += block(t, 2, 3, 0.1f, {});
    QCOMPARE(bytes.size(), 4116 + 4 * 16 + (12 + 2 * 136) + 12);
    QVERIFY(write(path(QStringLiteral("norepeats.etr")), bytes));

    Loaded loaded(path(QStringLiteral("norepeats.etr")));
    QVERIFY(loaded.ok);
    QVERIFY(loaded.messages.isEmpty());
    QCOMPARE(loaded.file.samplesPerStream(), 0);
    QCOMPARE(loaded.file.blocks().size(), 2);
    const EtrChannel& c = loaded.file.blocks().at(0).channels.at(1);
    QVERIFY(c.samples.isEmpty());
    // Without a period the calculator has no result for the channel: all zero.
    QCOMPARE(c.voltage, 0.0f);
    QCOMPARE(c.geometricFactor, 0.0f);
    QCOMPARE(c.chargeability, 0.0f);
    QCOMPARE(c.decayCurve, QVector<float>(20, 0.0f));
    QVERIFY(!loaded.file.polarisationInvalid());
}

void TestEtrFile::truncatedLastBlock()
{
    const Timing t{100, 100, 1};
    QByteArray bytes = header(t, straightLine(4));
    bytes += block(t, 1, 2, 0.1f, {channel(t, 3, 4, 0.2f)});
    bytes += block(t, 2, 3, 0.1f, {channel(t, 1, 4, 0.3f)});
    const QByteArray last = block(t, 3, 4, 0.1f, {channel(t, 1, 2, 0.2f), channel(t, 2, 1, 0.2f)});
    // The write stopped inside the second channel record.
    bytes += last.left(last.size() - 100);
    QVERIFY(write(path(QStringLiteral("cut.etr")), bytes));

    Loaded loaded(path(QStringLiteral("cut.etr")));
    QVERIFY(loaded.ok);
    QVERIFY(!loaded.file.isComplete());
    QCOMPARE(loaded.file.blocks().size(), 2);
    QVERIFY(near(loaded.file.blocks().at(1).channels.at(0).voltage, 0.3));
    QCOMPARE(loaded.messages.size(), 1);
    QCOMPARE(loaded.messages.at(0).title, Title);
    QCOMPARE(loaded.messages.at(0).text,
             QStringLiteral("Файл обрывается внутри блока 2 (есть %1 байт из %2)\n"
                            "Неполная запись отброшена, файл будет показан частично")
                 .arg(last.size() - 100)
                 .arg(last.size()));

    // Cut inside the three numbers that start a block.
    QVERIFY(write(path(QStringLiteral("cut.etr")), bytes.left(bytes.size() - last.size() + 100 + 7)));
    Loaded early(path(QStringLiteral("cut.etr")));
    QCOMPARE(early.file.blocks().size(), 2);
    QCOMPARE(early.messages.size(), 1);
    QVERIFY(early.messages.at(0).text.startsWith(QStringLiteral("Файл обрывается внутри блока 2 (есть 7 байт из 12)")));
}

void TestEtrFile::unusableHeaders_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QByteArray good = header(Timing(), straightLine(2));
    QTest::newRow("short") << good.left(4000)
                           << QStringLiteral("Файл короче заголовка (4000 байт из 4116)\nФайл не загружен");
    QByteArray p = good;
    p.replace(4112, 4, int32Bytes(1000000));
    QTest::newRow("P beyond the file")
        << p << QStringLiteral("Файл обрывается в таблице электродов заголовка: для 1000000 электродов нужно "
                               "16004116 байт, в файле 4148\nФайл не загружен");
    QByteArray pulse = good;
    pulse.replace(4100, 4, int32Bytes(-1));
    QTest::newRow("negative pulse")
        << pulse
        << QStringLiteral("Некорректные параметры записи в заголовке: импульс (-1), пауза (500), периоды (3)\n"
                          "Файл не загружен");
}

void TestEtrFile::unusableHeaders()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QVERIFY(write(path(QStringLiteral("badheader.etr")), bytes));
    Loaded loaded(path(QStringLiteral("badheader.etr")));
    QVERIFY(!loaded.ok);
    QCOMPARE(loaded.messages.size(), 1);
    QCOMPARE(loaded.messages.at(0).title, Title);
    QCOMPARE(loaded.messages.at(0).text, text);
    QVERIFY(loaded.file.blocks().isEmpty());
    QVERIFY(loaded.file.fileName().isEmpty());
    QVERIFY(!loaded.file.exportText(false));
}

void TestEtrFile::polarisationFallback()
{
    // A pause shorter than the pulse leaves the chargeability uncomputed.
    const Timing shortPause{500, 250, 2};
    QVERIFY(write(path(QStringLiteral("shortpause.etr")),
                  header(shortPause, straightLine(4)) + block(shortPause, 1, 4, 0.1f, {channel(shortPause, 2, 3, 0.1f)})));
    Loaded invalid(path(QStringLiteral("shortpause.etr")));
    QVERIFY(invalid.ok);
    QVERIFY(invalid.file.polarisationInvalid());
    QCOMPARE(invalid.file.blocks().at(0).channels.at(0).chargeability, ChannelResult::NotComputed);
    QVERIFY(near(invalid.file.blocks().at(0).channels.at(0).voltage, 0.1));

    // pulse 51 computes the chargeability but no decay windows: still unusable for the table.
    const Timing noWindows{51, 51, 2};
    QVERIFY(write(path(QStringLiteral("nowindows.etr")),
                  header(noWindows, straightLine(4)) + block(noWindows, 1, 4, 0.1f, {channel(noWindows, 2, 3, 0.1f)})));
    Loaded partly(path(QStringLiteral("nowindows.etr")));
    QVERIFY(partly.file.polarisationInvalid());
    QVERIFY(partly.file.blocks().at(0).channels.at(0).chargeability != ChannelResult::NotComputed);

    const Timing fine{52, 52, 2};
    QVERIFY(write(path(QStringLiteral("fine.etr")),
                  header(fine, straightLine(4)) + block(fine, 1, 4, 0.1f, {channel(fine, 2, 3, 0.1f)})));
    Loaded valid(path(QStringLiteral("fine.etr")));
    QVERIFY(!valid.file.polarisationInvalid());
}

void TestEtrFile::unopenableFileChangesNothing()
{
    const Timing t;
    QVERIFY(write(path(QStringLiteral("first.etr")), header(t, straightLine(3)) + block(t, 1, 2, 0.1f, {})));
    Loaded loaded(path(QStringLiteral("first.etr")));
    QVERIFY(!loaded.file.load(path(QStringLiteral("missing.etr"))));
    QCOMPARE(loaded.file.fileName(), QStringLiteral("first.etr"));
    QCOMPARE(loaded.file.blocks().size(), 1);
    QVERIFY(loaded.messages.isEmpty());
}

void TestEtrFile::plainTable()
{
    const Timing t;
    ElectrodeMap positions = straightLine(6);
    positions[3].y = -2.25f;
    QByteArray bytes = header(t, positions);
    bytes += block(t, 1, 4, 0.0123f, {channel(t, 2, 3, 0.2f), channel(t, 5, 6, 0.01f), channel(t, 3, 9, 0.1f)});
    bytes += block(t, 6, 5, 0.02f, {});
    bytes += block(t, 0, 6, 0.02f, {channel(t, 1, 2, 0.05f), channel(t, 2, 3, 0.04f)});
    QVERIFY(write(path(QStringLiteral("plain.etr")), bytes));
    Loaded loaded(path(QStringLiteral("plain.etr")));
    QVERIFY(loaded.ok);
    QVERIFY(loaded.file.exportText(false));

    const QStringList lines = readLines(path(QStringLiteral("plain.etr.txt")));
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines.at(0), QStringLiteral("#\tRho\tSpa.1\tSpa.2\tSpa.3\tSpa.4\tPassTime\tDutyCycle\tVp\tIn\tDev.\tK\tPhase"
                                         "\tAy\tBy\tMy\tNy"));
    const auto f = [](double v) { return QString::number(v, 'f', 3); };
    const EtrChannel& c = loaded.file.blocks().at(0).channels.at(0);
    QCOMPARE(lines.at(1).split(QLatin1Char('\t')),
             QStringList({QStringLiteral("1"), f(c.resistivity), QStringLiteral("0.000"), QStringLiteral("15.000"),
                          QStringLiteral("5.000"), QStringLiteral("10.000"), QStringLiteral("500.000"),
                          QStringLiteral("50.000"), f(c.voltage * 1000.0f), QStringLiteral("12.300"),
                          f(c.deviation), f(c.geometricFactor), QStringLiteral("180.000"), f(0.1f), f(0.4f),
                          f(0.2f), QStringLiteral("-2.250")}));
    QCOMPARE(lines.at(1).split(QLatin1Char('\t')).at(8), QStringLiteral("200.000"));
    // Electrode 9 has no coordinates.
    const QStringList third = lines.at(3).split(QLatin1Char('\t'));
    QCOMPARE(third.size(), 17);
    QCOMPARE(third.at(5), QStringLiteral("99999.999"));
    QCOMPARE(third.at(16), QStringLiteral("99999.999"));
    QCOMPARE(third.at(15), QStringLiteral("-2.250"));
    // The block without channels adds no line; numbering runs on across blocks.
    const QStringList fourth = lines.at(4).split(QLatin1Char('\t'));
    QCOMPARE(fourth.at(0), QStringLiteral("4"));
    QCOMPARE(fourth.at(2), QStringLiteral("99999.999"));
    QCOMPARE(fourth.at(9), QStringLiteral("20.000"));
    QCOMPARE(lines.at(5).split(QLatin1Char('\t')).at(0), QStringLiteral("5"));

    // A second export overwrites the first.
    QVERIFY(write(path(QStringLiteral("plain.etr")), header(t, positions)));
    Loaded empty(path(QStringLiteral("plain.etr")));
    QVERIFY(empty.file.exportText(false));
    QCOMPARE(readLines(path(QStringLiteral("plain.etr.txt"))), QStringList{lines.at(0)});
}

void TestEtrFile::polarisationTable()
{
    const Timing t{500, 1000, 2};
    QByteArray bytes = header(t, straightLine(4));
    bytes += block(t, 1, 4, 0.05f, {channel(t, 2, 3, 0.2f)});
    QVERIFY(write(path(QStringLiteral("240131_101500.etr")), bytes));
    Loaded loaded(path(QStringLiteral("240131_101500.etr")));
    QVERIFY(!loaded.file.polarisationInvalid());
    QVERIFY(loaded.file.exportText(true));

    const QStringList lines = readLines(path(QStringLiteral("240131_101500-VP.etr.txt")));
    QCOMPARE(lines.size(), 2);
    QStringList header{QStringLiteral("#"), QStringLiteral("Rho")};
    for (int j = 1; j <= 20; ++j)
        header << QStringLiteral("M%1").arg(j);
    header << QStringLiteral("M") << QStringLiteral("Spa.1") << QStringLiteral("Spa.2") << QStringLiteral("Spa.3")
           << QStringLiteral("Spa.4") << QStringLiteral("PassTime") << QStringLiteral("DutyCycle")
           << QStringLiteral("Vp") << QStringLiteral("In") << QStringLiteral("K") << QStringLiteral("Phase")
           << QStringLiteral("Ay") << QStringLiteral("By") << QStringLiteral("My") << QStringLiteral("Ny");
    QCOMPARE(lines.at(0), header.join(QLatin1Char('\t')));

    const QStringList data = lines.at(1).split(QLatin1Char('\t'));
    QCOMPARE(data.size(), 37);
    const EtrChannel& c = loaded.file.blocks().at(0).channels.at(0);
    const auto f = [](double v) { return QString::number(v, 'f', 3); };
    QCOMPARE(data.at(1), f(c.resistivity));
    QCOMPARE(data.at(2), f(c.decayCurve.at(0)));
    QCOMPARE(data.at(21), f(c.decayCurve.at(19)));
    QCOMPARE(data.at(22), f(c.chargeability));
    QCOMPARE(data.at(24), QStringLiteral("15.000"));
    QCOMPARE(data.at(27), QStringLiteral("500.000"));
    QCOMPARE(data.at(28), QStringLiteral("33.333"));
    QCOMPARE(data.at(30), QStringLiteral("50.000"));
    QCOMPARE(data.at(31), f(c.geometricFactor));
    QCOMPARE(data.at(32), QStringLiteral("180.000"));
    QCOMPARE(data.at(36), f(0.3f));
}

void TestEtrFile::tableNames()
{
    const Timing t{100, 100, 1};
    QDir(m_dir.path()).mkdir(QStringLiteral("day.2"));
    const QString noDot = path(QStringLiteral("day.2/survey"));
    QVERIFY(write(noDot, header(t, straightLine(2))));
    Loaded loaded(noDot);
    QVERIFY(loaded.ok);
    const QString folder = QDir::toNativeSeparators(path(QStringLiteral("day.2"))) + QDir::separator();
    QCOMPARE(loaded.file.textPath(false), folder + QStringLiteral("survey.txt"));
    // The mark goes into the file's name, never into the folder's.
    QCOMPARE(loaded.file.textPath(true), folder + QStringLiteral("survey-VP.txt"));
    QVERIFY(loaded.file.exportText(true));
    QVERIFY(QFile::exists(path(QStringLiteral("day.2/survey-VP.txt"))));

    const QString twoDots = path(QStringLiteral("day.2/a.b.etr"));
    QVERIFY(write(twoDots, header(t, straightLine(2))));
    Loaded dotted(twoDots);
    QCOMPARE(dotted.file.textPath(true), folder + QStringLiteral("a.b-VP.etr.txt"));
}

void TestEtrFile::tableWriteFailures()
{
    const Timing t{100, 100, 1};
    QVERIFY(write(path(QStringLiteral("blocked.etr")), header(t, straightLine(2))));
    // Something that is not a file already stands where the table would go.
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("blocked.etr.txt")));
    Loaded loaded(path(QStringLiteral("blocked.etr")));
    QVERIFY(loaded.ok);
    QVERIFY(!loaded.file.exportText(false));
    QVERIFY(loaded.file.exportText(true));

    EtrFile never;
    QVERIFY(!never.exportText(false));
}

void TestEtrFile::controllerSignals()
{
    const Timing t{200, 200, 2};
    QVERIFY(write(path(QStringLiteral("controller.etr")),
                  header(t, straightLine(4)) + block(t, 1, 4, 0.05f, {channel(t, 2, 3, 0.2f)})
                      + rawBlockHeader(1, 2, 50)));
    EtrController controller;
    QStringList events;
    connect(&controller, &EtrController::loadMessage, [&](const QString& title, const QString& text) {
        events << title + QLatin1Char('|') + text;
    });
    connect(&controller, &EtrController::plotUpdated, [&] { events << QStringLiteral("plot"); });
    QList<QList<float>> values;
    connect(&controller, &EtrController::channelValuesUpdated,
            [&](float current, float voltage, float k, float rho, float deviation) {
                events << QStringLiteral("values");
                values.append({current, voltage, k, rho, deviation});
            });

    QVERIFY(!controller.file());
    QVERIFY(controller.open(path(QStringLiteral("controller.etr"))));
    QCOMPARE(events, QStringList{Title + QLatin1Char('|') + channelCountMessage(50, 1, 2, 1)});
    events.clear();

    controller.selectChannel(0, 0);
    QCOMPARE(events, (QStringList{QStringLiteral("plot"), QStringLiteral("values")}));
    const EtrBlock& selected = controller.file()->blocks().at(0);
    const EtrChannel& c = selected.channels.at(0);
    QCOMPARE(values.at(0), (QList<float>{selected.current, c.voltage, c.geometricFactor, c.resistivity, c.deviation}));
    QVERIFY(near(values.at(0).at(1), 0.2));

    const ChannelPlotManager* plot = controller.plotManager();
    QCOMPARE(plot->count(), 1600);
    QCOMPARE(plot->keys().size(), 1600);
    QCOMPARE(plot->keys().at(1599), 1599.0);
    QCOMPARE(plot->currentValues().at(450), -0.05f * 1.0);
    QCOMPARE(plot->potentialValues().at(0), double(0.2f));

    // Indices that do not exist change nothing.
    events.clear();
    controller.selectChannel(0, 1);
    controller.selectChannel(1, 0);
    controller.selectChannel(-1, 0);
    QVERIFY(events.isEmpty());

    // repeats = 0: empty series, both signals still come.
    const Timing none{200, 200, 0};
    QVERIFY(write(path(QStringLiteral("controller.etr")),
                  header(none, straightLine(4)) + block(none, 1, 4, 0.05f, {channel(none, 2, 3, 0.2f)})));
    QVERIFY(controller.open(path(QStringLiteral("controller.etr"))));
    controller.selectChannel(0, 0);
    QCOMPARE(events, (QStringList{QStringLiteral("plot"), QStringLiteral("values")}));
    QCOMPARE(plot->count(), 0);
    QVERIFY(plot->keys().isEmpty());
    QCOMPARE(values.last(), (QList<float>{0.0f, 0.0f, 0.0f, 0.0f, 0.0f}));
}

void TestEtrFile::controllerAfterFailedOpen()
{
    EtrController controller;
    QVERIFY(!controller.open(path(QStringLiteral("nothing-here.etr"))));
    QVERIFY(controller.file());
    QVERIFY(controller.file()->blocks().isEmpty());
    QVERIFY(!controller.file()->exportText(false));
}

QTEST_GUILESS_MAIN(TestEtrFile)
#include "tst_etrfile.moc"
