#include "etr/etrfile.h"
#include "runfixture.h"
#include "station/tervexdevice.h"
#include "survey/datafilelock.h"
#include "survey/etrformat.h"
#include "survey/sequence.h"
#include "survey/sequencefile.h"
#include "survey/sequencestrategy.h"
#include "survey/surveydatamanager.h"
#include "survey/surveyjob.h"

#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <QtTest>

namespace {

SimulatorOptions quickStation()
{
    SimulatorOptions o;
    o.speed = 0;
    o.noise = 0.0;
    o.driftPerSecond = 0.0;
    return o;
}

const QList<QuadrupoleLine> Lines = {{1, 48, 10, 11}, {1, 48, 20, 21}, {9, 40, 12, 13}, {3, 4, 0, 0}};

bool connectWithTiming(RunFixture& f, quint32 pulse, quint32 pause, quint16 periods)
{
    if (!f.ok || !f.connect())
        return false;
    GeneratorSettings* g = f.model->stationSettings()->generatorSettings();
    g->pulseLength = pulse;
    g->pauseLength = pause;
    g->periods = periods;
    g->voltage = 100;
    return true;
}

bool waitForEnd(DataManager* manager, int timeout)
{
    QSignalSpy completed(manager, &DataManager::allCompleted);
    QSignalSpy aborted(manager, &DataManager::aborted);
    QElapsedTimer timer;
    timer.start();
    while (completed.isEmpty() && aborted.isEmpty() && timer.elapsed() < timeout)
        QTest::qWait(20);
    return !completed.isEmpty() || !aborted.isEmpty();
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// What a survey does to its data file when something goes wrong around it: a damaged header, a
// second writer, a crash or a full disk, and timing that would make an unreadable file.
class FileSafetyTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }

    void damagedHeaderIsRefusedAndLeftUntouched();
    void completedSurveyIsNotMeasuredAgain();
    void secondWriterIsRefused();
    void headerIsOnDiskBeforeTheFirstRecord();
    void failedWriteIsNotCountedAsARecord();
    void unreadableTimingIsRefused_data();
    void unreadableTimingIsRefused();
    void nonFiniteCoordinatesAreRejected();
};

void FileSafetyTest::damagedHeaderIsRefusedAndLeftUntouched()
{
    RunFixture f(quickStation());
    QVERIFY(connectWithTiming(f, 500, 500, 1));
    const QString target = f.path("flipped.etr");
    QVERIFY(writeSequence(EtrFormat::companionPath(target), Lines));

    // Blocks written with pulse 500 under a header whose pulse lost a bit: 500 -> 1049076.
    ElectrodeMap positions;
    for (int e = 1; e <= Electrodes::Count; ++e)
        positions.insert(e, ElectrodePosition{float((e - 1) * 5), 0, 0});
    QByteArray bytes = EtrFormat::headerBytes(500 | (1 << 20), 500, 1, positions);
    const int samples = int(EtrFormat::samplesPerStream(500, 500, 1));
    for (int i = 0; i < 360; ++i)
        bytes += EtrFormat::blockBytes(samples, 1, 48, QVector<float>(samples, 1.0f),
                                       {EtrFormat::BlockChannel{10, 11, QVector<float>(samples, 0.5f)}});
    QFile file(target);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    QVERIFY(!f.model->startSurvey(target, QString()));
    QVERIFY2(f.model->startError().contains(QStringLiteral("1049076")), qPrintable(f.model->startError()));
    QCOMPARE(contents(target), bytes);
}

void FileSafetyTest::completedSurveyIsNotMeasuredAgain()
{
    RunFixture f(quickStation());
    QVERIFY(connectWithTiming(f, 100, 100, 1));
    const QString sequence = f.path("seq.txt");
    const QString target = f.path("done.etr");
    QVERIFY(writeSequence(sequence, Lines));
    QVERIFY2(f.model->startSurvey(sequence, target), qPrintable(f.model->startError()));
    QVERIFY(waitForEnd(f.model->surveyDataManager(), 30000));

    // Stop on a run that already ended still brings the window back to idle.
    QSignalSpy aborted(f.model->surveyDataManager(), &DataManager::aborted);
    f.model->stopRun();
    QCOMPARE(aborted.count(), 1);

    // The line without potential electrodes is a block without channels, and it counts.
    const QByteArray before = contents(target);
    QVERIFY(!f.model->startSurvey(target, QString()));
    QCOMPARE(f.model->startError(), QStringLiteral("Все линии последовательности уже измерены"));
    QCOMPARE(contents(target), before);
}

void FileSafetyTest::secondWriterIsRefused()
{
    RunFixture f(quickStation());
    QVERIFY(connectWithTiming(f, 100, 100, 1));
    const QString sequence = f.path("seq.txt");
    const QString target = f.path("shared.etr");
    QVERIFY(writeSequence(sequence, Lines));
    QFile earlier(target);
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.write("records of the running survey");
    earlier.close();

    {
        DataFileLock running(target);
        QString error;
        QVERIFY(running.acquire(&error));
        QVERIFY(!f.model->startSurvey(sequence, target));
        QVERIFY2(f.model->startError().contains(QStringLiteral("уже записывается")), qPrintable(f.model->startError()));
        QVERIFY(!f.model->startSurvey(target, QString()));
        QVERIFY(f.model->startError().contains(QStringLiteral("уже записывается")));
        QCOMPARE(contents(target), QByteArray("records of the running survey"));

        // The command-line survey says so and exits with 1. The station takes one link at a time.
        f.model->disconnectDevice();
        QProcess tool;
        tool.start(QStringLiteral(TERVEX_SURVEY_TOOL),
                   {QStringLiteral("--host"), QStringLiteral("127.0.0.1"), QStringLiteral("--command-port"),
                    QString::number(f.simulator.commandPort()), QStringLiteral("--data-port"),
                    QString::number(f.simulator.dataPort()), sequence, target});
        QVERIFY(tool.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(tool.state(), QProcess::NotRunning, 30000);
        QCOMPARE(tool.exitCode(), 1);
        QVERIFY(QString::fromLocal8Bit(tool.readAllStandardError()).contains(QStringLiteral("уже записывается")));
    }

    // The lock of a process that died is taken over.
    QProcess dead;
    dead.start(QStringLiteral("true"), QStringList());
    QVERIFY(dead.waitForStarted());
    const qint64 deadPid = dead.processId();
    QVERIFY(dead.waitForFinished());
    QFile lock(DataFileLock::lockPath(target));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(deadPid) + "\ntervex-survey\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    QVERIFY(f.connect());
    QVERIFY2(f.model->startSurvey(sequence, target), qPrintable(f.model->startError()));
    QVERIFY(waitForEnd(f.model->surveyDataManager(), 30000));
}

void FileSafetyTest::headerIsOnDiskBeforeTheFirstRecord()
{
    RunFixture f(quickStation());
    QVERIFY(connectWithTiming(f, 100, 100, 1));
    const QString sequence = f.path("seq.txt");
    const QString target = f.path("fresh.etr");
    QVERIFY(writeSequence(sequence, Lines));
    QVERIFY2(f.model->startSurvey(sequence, target), qPrintable(f.model->startError()));
    // No event has been processed yet, so no record has come in.
    QCOMPARE(QFileInfo(target).size(), qint64(EtrFormat::FixedHeaderSize + 48 * EtrFormat::PositionEntrySize));
}

void FileSafetyTest::failedWriteIsNotCountedAsARecord()
{
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        QSKIP("needs /dev/full");
    RunFixture f(quickStation());
    QVERIFY(connectWithTiming(f, 100, 100, 1));
    auto* sequence = new Sequence(f.model->usableChannelCount());
    sequence->build(Lines, true);
    auto* full = new QFile(QStringLiteral("/dev/full"));
    QVERIFY(full->open(QIODevice::WriteOnly));
    auto* job = new SurveyJob(ElectrodeMap(), Lines, sequence, full);
    SequenceStrategy strategy(f.model->device(), f.model->surveyDataManager(), job, f.model->stationSettings(),
                              f.model->calculator(), 100, 100, 1);
    QSignalSpy counted(f.model->surveyDataManager(), &DataManager::completed);
    QSignalSpy failed(&strategy, &SurveyStrategy::failed);
    strategy.executeStep(false, false, false);
    QVERIFY(failed.wait(20000));
    QCOMPARE(counted.count(), 0);
    const QString reason = failed.first().first().toString();
    // The failed run has deleted its job and with it the file: only the reason is left to read.
    QVERIFY2(reason.contains(QStringLiteral("No space left on device")), qPrintable(reason));
}

void FileSafetyTest::unreadableTimingIsRefused_data()
{
    QTest::addColumn<quint32>("pulse");
    QTest::addColumn<quint32>("pause");
    QTest::addColumn<quint16>("periods");
    QTest::newRow("pulse beyond the header's bounds") << 1073741824u << 100u << quint16(1);
    QTest::newRow("no periods") << 100u << 100u << quint16(0);
    QTest::newRow("no pulse and no pause") << 0u << 0u << quint16(3);
}

void FileSafetyTest::unreadableTimingIsRefused()
{
    QFETCH(quint32, pulse);
    QFETCH(quint32, pause);
    QFETCH(quint16, periods);
    RunFixture f(quickStation());
    QVERIFY(connectWithTiming(f, pulse, pause, periods));
    const QString sequence = f.path("seq.txt");
    const QString target = f.path("timing.etr");
    QVERIFY(writeSequence(sequence, Lines));
    QVERIFY(!f.model->startSurvey(sequence, target));
    QVERIFY2(f.model->startError().contains(QString::number(pulse)), qPrintable(f.model->startError()));
    QVERIFY(!QFileInfo::exists(target));
}

void FileSafetyTest::nonFiniteCoordinatesAreRejected()
{
    for (const char* value : {"nan", "inf", "-inf"}) {
        SequenceFile file;
        QVERIFY(!file.parse(QByteArray("# X Y Z\n1 0 0 0\n2 ") + value + " 0 0\n# A B M N\n0 1 2 0 0\n"));
        QVERIFY2(file.errorString().contains(QLatin1Char('3')), qPrintable(file.errorString()));
    }
}

QTEST_MAIN(FileSafetyTest)
#include "tst_filesafety.moc"
