#include "etr/etrfile.h"
#include "runfixture.h"
#include "station/tervexdevice.h"
#include "survey/datafilelock.h"
#include "survey/etrformat.h"
#include "survey/outputfile.h"
#include "survey/sequence.h"
#include "survey/sequencefile.h"
#include "survey/sequencestrategy.h"
#include "survey/surveydatamanager.h"
#include "survey/surveyjob.h"
#include "survey/surveyreport.h"
#include "../station/stderrcapture.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>
#include <QtTest>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

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

// A data file of the survey of Lines written with pulse 500, pause 500 and 3 periods: the
// header, then the blocks of (1, 48) with two channels and (9, 40) with one.
struct StoredSurvey
{
    QByteArray header;
    QByteArray first;
    QByteArray second;
    QByteArray bytes() const { return header + first + second; }
};

StoredSurvey storedSurvey()
{
    ElectrodeMap positions;
    for (int e = 1; e <= Electrodes::Count; ++e)
        positions.insert(e, ElectrodePosition{float((e - 1) * 5), 0, 0});
    const int samples = int(EtrFormat::samplesPerStream(500, 500, 3));
    const QVector<float> current = TestSupport::squareWave(samples, 500, 500, 0.1f);
    const QVector<float> potential = TestSupport::squareWave(samples, 500, 500, 0.01f);
    StoredSurvey s;
    s.header = EtrFormat::headerBytes(500, 500, 3, positions);
    s.first = EtrFormat::blockBytes(samples, 1, 48, current,
                                    {EtrFormat::BlockChannel{10, 11, potential}, EtrFormat::BlockChannel{20, 21, potential}});
    s.second = EtrFormat::blockBytes(samples, 9, 40, current, {EtrFormat::BlockChannel{12, 13, potential}});
    return s;
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void putInt(QByteArray& bytes, int offset, qint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = char((quint32(value) >> (8 * i)) & 0xFF);
}

struct ToolRun
{
    int exitCode = -1;
    QString error;
};

ToolRun runTool(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    ToolRun run;
    if (!tool.waitForFinished(20000)) {
        tool.kill();
        tool.waitForFinished();
        run.error = QStringLiteral("did not finish");
        return run;
    }
    run.exitCode = tool.exitCode();
    run.error = QString::fromLocal8Bit(tool.readAllStandardError());
    return run;
}

bool makeFifo(const QString& path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

// Starts a survey and stops it at once; false with the reason when it does not start.
bool startAndStop(RunFixture& f, const QString& source, const QString& target)
{
    if (!f.model->startSurvey(source, target))
        return false;
    f.model->stopRun();
    return true;
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

    void continuationCutsOnlyATornTail_data();
    void continuationCutsOnlyATornTail();
    void lockFollowsTheFileAndStaleLocksGo();
    void reportGoesOnlyToReports();
    void outputsNeverReplaceInputsOrDevices();
    void continuationFinishesInterruptedRepeats();
    void reasonsNameWhatIsWrong();
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

void FileSafetyTest::continuationCutsOnlyATornTail_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("kept");  // bytes the continuation keeps; -1 for a refusal
    const StoredSurvey s = storedSurvey();
    const auto withHeader = [&s](int offset, qint32 value) {
        QByteArray bytes = s.bytes();
        putInt(bytes, offset, value);
        return bytes;
    };
    const int timing = EtrFormat::HeaderAreaSize + 4;
    // One flipped bit within the readers' bounds: the first "block" is larger than the whole body.
    QTest::newRow("pulse bit 15") << withHeader(timing, 500 | (1 << 15)) << QStringLiteral("33268") << -1;
    QTest::newRow("pause bit 15") << withHeader(timing + 4, 500 | (1 << 15)) << QStringLiteral("33268") << -1;
    QTest::newRow("repeats bit 12") << withHeader(timing + 8, 3 | (1 << 12)) << QStringLiteral("4099") << -1;
    QTest::newRow("repeats bit 6") << withHeader(timing + 8, 3 | (1 << 6)) << QStringLiteral("67") << -1;
    // The last, complete block announces more channels than it holds.
    const int lastCount = s.header.size() + s.first.size() + 8;
    QTest::newRow("last channel count") << withHeader(lastCount, 3) << QStringLiteral("числ") << -1;
    // A negative count reads as a block without channels: its channel record is then misread.
    QTest::newRow("negative channel count") << withHeader(lastCount, 1 | int(0x80000000u))
                                            << QStringLiteral("без токовых электродов") << -1;
    // What a crash leaves: part of a block after complete ones, or part of the first.
    QTest::newRow("torn last record") << s.bytes() + s.second.left(30001) << QString()
                                      << int(s.bytes().size());
    QTest::newRow("torn first record") << s.header + s.first.left(50003) << QString() << int(s.header.size());
}

void FileSafetyTest::continuationCutsOnlyATornTail()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QFETCH(int, kept);
    RunFixture f(quickStation());
    QVERIFY(connectWithTiming(f, 500, 500, 3));
    const QString target = f.path("line.etr");
    QVERIFY(writeSequence(EtrFormat::companionPath(target), Lines));
    QVERIFY(writeBytes(target, bytes));

    const QString aside = target + QStringLiteral(".tail");
    if (kept < 0) {
        QVERIFY2(!f.model->startSurvey(target, QString()), qPrintable(f.model->startNotice()));
        QVERIFY2(f.model->startError().contains(reason), qPrintable(f.model->startError()));
        QCOMPARE(contents(target), bytes);
        QVERIFY(!QFileInfo::exists(aside));
        return;
    }
    QVERIFY2(f.model->startSurvey(target, QString()), qPrintable(f.model->startError()));
    f.model->stopRun();
    QCOMPARE(contents(aside), bytes.mid(kept));
    QCOMPARE(contents(target).left(kept), bytes.left(kept));
    QVERIFY2(f.model->startNotice().contains(aside), qPrintable(f.model->startNotice()));
}

void FileSafetyTest::lockFollowsTheFileAndStaleLocksGo()
{
    RunFixture f(quickStation());
    QVERIFY(connectWithTiming(f, 100, 100, 1));
    const QString sequence = f.path("seq.txt");
    const QString target = f.path("held.etr");
    QVERIFY(writeSequence(sequence, Lines));
    QVERIFY(writeBytes(target, "records of the running survey"));
    QVERIFY(writeSequence(EtrFormat::companionPath(target), Lines));

    // Another name of a file being written finds its lock.
    const QString symbolic = f.path("other.etr");
    QVERIFY(QFile::link(target, symbolic));
    QVERIFY(writeSequence(EtrFormat::companionPath(symbolic), Lines));
    {
        DataFileLock running(target);
        QString error;
        QVERIFY(running.acquire(&error));
        QVERIFY(!f.model->startSurvey(sequence, symbolic));
        QVERIFY2(f.model->startError().contains(QStringLiteral("уже записывается")), qPrintable(f.model->startError()));
        QVERIFY(!f.model->startSurvey(symbolic, QString()));
        QVERIFY2(f.model->startError().contains(QStringLiteral("уже записывается")), qPrintable(f.model->startError()));
    }
    const QString hard = f.path("hard.etr");
    QVERIFY(::link(QFile::encodeName(target).constData(), QFile::encodeName(hard).constData()) == 0);
    QVERIFY(!f.model->startSurvey(sequence, hard));
    QVERIFY2(f.model->startError().contains(QStringLiteral("жёстких ссылок: 2")), qPrintable(f.model->startError()));
    QCOMPARE(contents(target), QByteArray("records of the running survey"));
    QVERIFY(QFile::remove(hard));

    // A continuation of a missing file leaves nothing behind.
    QVERIFY(!f.model->startSurvey(f.path("missing.etr"), QString()));
    QVERIFY2(f.model->startError().contains(QStringLiteral("не найден")), qPrintable(f.model->startError()));
    QVERIFY(!QFileInfo::exists(f.path("missing.etr")));
    QVERIFY(!QFileInfo::exists(DataFileLock::lockPath(f.path("missing.etr"))));

    // Locks that are not this program's: empty after a power loss, garbage, an empty folder.
    const QString lock = DataFileLock::lockPath(target);
    for (const QByteArray& content : {QByteArray(), QByteArray("\x01\x02garbage\n")}) {
        QVERIFY(writeBytes(lock, content));
        QVERIFY2(startAndStop(f, sequence, target), qPrintable(f.model->startError()));
        QVERIFY2(f.model->startNotice().contains(QDir::toNativeSeparators(lock)), qPrintable(f.model->startNotice()));
    }
    QVERIFY(QDir().mkdir(lock));
    QVERIFY2(startAndStop(f, sequence, target), qPrintable(f.model->startError()));
    QVERIFY(!f.model->startNotice().isEmpty());

    // A folder the lock cannot be created in says why.
    if (::geteuid() != 0) {
        const QString locked = f.path("read-only");
        QVERIFY(QDir().mkdir(locked));
        QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QVERIFY(!f.model->startSurvey(sequence, locked + QStringLiteral("/line.etr")));
        QVERIFY2(f.model->startError().contains(QString::fromLocal8Bit(std::strerror(EACCES))),
                 qPrintable(f.model->startError()));
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

void FileSafetyTest::reportGoesOnlyToReports()
{
    RunFixture f(quickStation());
    QVERIFY(connectWithTiming(f, 100, 100, 1));
    // The sequence file has the report's name; a FIFO stands where the other report would go.
    const QString sequence = f.path("x-report.txt");
    QVERIFY(writeSequence(sequence, Lines));
    const QByteArray before = contents(sequence);
    QVERIFY(makeFifo(f.path("y-report.txt")));

    for (const QString& name : {QStringLiteral("x"), QStringLiteral("y")}) {
        QSignalSpy reported(f.model.get(), &TervexModel::surveyReported);
        QVERIFY2(f.model->startSurvey(sequence, f.path(name + QStringLiteral(".etr"))), qPrintable(f.model->startError()));
        QVERIFY(waitForEnd(f.model->surveyDataManager(), 30000));
        QTRY_COMPARE_WITH_TIMEOUT(reported.count(), 1, 5000);
        const QString path = f.path(name + QStringLiteral("-report-2.txt"));
        QCOMPARE(reported.first().at(1).toString(), path);
        QVERIFY(contents(path).startsWith("Отчёт о съёмке"));
        QVERIFY2(reported.first().at(0).toString().contains(QDir::toNativeSeparators(path)),
                 qPrintable(reported.first().at(0).toString()));
    }
    QCOMPARE(contents(sequence), before);
    QVERIFY(SequenceFile().load(sequence));
    // The report of the second run goes to the report already there.
    QCOMPARE(SurveyReport::pathFor(f.path("x.etr")), f.path("x-report-2.txt"));
}

void FileSafetyTest::outputsNeverReplaceInputsOrDevices()
{
    QTemporaryDir folder;
    const auto path = [&folder](const char* name) { return folder.filePath(QString::fromLatin1(name)); };
    const StoredSurvey s = storedSurvey();
    const QString input = path("in.etr");
    QVERIFY(writeBytes(input, s.bytes()));
    const QStringList ohm{QStringLiteral("--format"), QStringLiteral("ohm"), QStringLiteral("-o")};

    // Onto its input, any data file, another name of the input, a FIFO: refused, nothing touched.
    QVERIFY(QFile::link(input, path("link.ohm")));
    QVERIFY(::link(QFile::encodeName(input).constData(), QFile::encodeName(path("hard.dat")).constData()) == 0);
    QVERIFY(makeFifo(path("pipe.ohm")));
    for (const char* target : {"in.etr", "other.etr", "link.ohm", "hard.dat", "pipe.ohm"}) {
        const ToolRun run = runTool(QStringLiteral(TERVEX_EXPORT), ohm + QStringList{path(target), input});
        QVERIFY2(run.exitCode == 1, qPrintable(QStringLiteral("%1: %2").arg(QString::fromLatin1(target), run.error)));
        QVERIFY2(run.error.contains(QDir::toNativeSeparators(path(target))), qPrintable(run.error));
        QCOMPARE(contents(input), s.bytes());
    }
    QVERIFY(!QFileInfo::exists(path("other.etr")));
    // The inversion's model follows the same rule.
    QVERIFY(QFile::link(input, path("link.csv")));
    QVERIFY(::link(QFile::encodeName(input).constData(), QFile::encodeName(path("hard.csv")).constData()) == 0);
    QVERIFY(makeFifo(path("pipe.csv")));
    for (const char* target : {"link.csv", "hard.csv", "pipe.csv"}) {
        const ToolRun run = runTool(QStringLiteral(TERVEX_INVERT), {QStringLiteral("-o"), path(target), input});
        QVERIFY2(run.exitCode == 1, qPrintable(QStringLiteral("%1: %2").arg(QString::fromLatin1(target), run.error)));
        QCOMPARE(contents(input), s.bytes());
    }
    const ToolRun good = runTool(QStringLiteral(TERVEX_EXPORT), ohm + QStringList{path("out.ohm"), input});
    QVERIFY2(good.exitCode == 0, qPrintable(good.error));

    // An export without a single datum.
    QVERIFY(writeBytes(path("empty.etr"), s.header));
    const ToolRun empty = runTool(QStringLiteral(TERVEX_EXPORT), ohm + QStringList{path("empty.ohm"), path("empty.etr")});
    QCOMPARE(empty.exitCode, 1);
    QVERIFY2(empty.error.contains(QStringLiteral("нет ни одного данного")), qPrintable(empty.error));
    QVERIFY(!QFileInfo::exists(path("empty.ohm")));

    // Coordinates that are not numbers, in every reader of positions.
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        QByteArray bytes = s.bytes();
        const float value = bad;
        qint32 raw;
        std::memcpy(&raw, &value, 4);
        putInt(bytes, EtrFormat::FixedHeaderSize + EtrFormat::PositionEntrySize + 12, raw);
        QVERIFY(writeBytes(path("nan.etr"), bytes));
        const ToolRun exported = runTool(QStringLiteral(TERVEX_EXPORT), ohm + QStringList{path("nan.ohm"), path("nan.etr")});
        QCOMPARE(exported.exitCode, 1);
        QVERIFY2(exported.error.contains(QStringLiteral("Электрод 2")), qPrintable(exported.error));
        QVERIFY(!QFileInfo::exists(path("nan.ohm")));
        const ToolRun table = runTool(QStringLiteral(TERVEX_ETR2TXT), {path("nan.etr")});
        QCOMPARE(table.exitCode, 1);
        QVERIFY(!QFileInfo::exists(path("nan.etr.txt")));
    }

    // The generator writes regular files only (a FIFO stands for every device: run as root, a
    // wrong writer would replace a real one), and refuses heights a sequence file cannot hold.
    const QStringList wenner{QStringLiteral("--array"), QStringLiteral("wenner"), QStringLiteral("-o")};
    const ToolRun fifo = runTool(QStringLiteral(TERVEX_SEQGEN), wenner + QStringList{path("pipe.ohm")});
    QCOMPARE(fifo.exitCode, 1);
    QVERIFY2(fifo.error.contains(QStringLiteral("не является обычным файлом")), qPrintable(fifo.error));
    QVERIFY(writeBytes(path("heights.txt"), "0 0\n100 1e39\n"));
    const ToolRun heights = runTool(QStringLiteral(TERVEX_SEQGEN), {QStringLiteral("--array"), QStringLiteral("wenner"),
                                                                    QStringLiteral("--elevation"), path("heights.txt"),
                                                                    QStringLiteral("-o"), path("hills.txt")});
    QCOMPARE(heights.exitCode, 2);
    QVERIFY2(heights.error.contains(QStringLiteral("строка 2")), qPrintable(heights.error));
    QVERIFY(!QFileInfo::exists(path("hills.txt")));
}

void FileSafetyTest::continuationFinishesInterruptedRepeats()
{
    SimulatorOptions options = quickStation();
    options.chargeability = 0.0;
    options.burstNoise = 0.2;
    options.noisyRecords = {2};
    RunFixture f(options);
    QVERIFY(connectWithTiming(f, 100, 100, 3));
    f.model->setRepeatPolicy(RepeatPolicy(2.0, 2));
    const QString sequence = f.path("seq.txt");
    const QString target = f.path("repeats.etr");
    QVERIFY(writeSequence(sequence, Lines));

    // The run ends between the spoilt record and its repeat, as a kill would leave it.
    QSignalSpy reported(f.model.get(), &TervexModel::surveyReported);
    const auto stop = QObject::connect(f.model.get(), &TervexModel::runRepeating, f.model.get(), [&f](const QString& reason) {
        if (!reason.isEmpty())
            f.model->stopRun();
    });
    QVERIFY(f.model->startSurvey(sequence, target));
    QVERIFY(waitForEnd(f.model->surveyDataManager(), 30000));
    QObject::disconnect(stop);
    EtrFile stopped;
    QVERIFY(stopped.load(target));
    QCOMPARE(stopped.blocks().size(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(reported.count(), 1, 5000);
    QVERIFY2(reported.first().at(0).toString().contains(QStringLiteral("Квадруполей измерено: 3 из 4")),
             qPrintable(reported.first().at(0).toString()));

    // The continuation first repeats that step, then goes on; its report counts the whole line.
    f.simulator.options().noisyRecords.clear();
    QVERIFY2(f.model->startSurvey(target, QString()), qPrintable(f.model->startError()));
    QVERIFY(waitForEnd(f.model->surveyDataManager(), 30000));
    EtrFile file;
    QVERIFY(file.load(target));
    QVector<int> as;
    for (const EtrBlock& block : file.blocks())
        as.append(block.a);
    QCOMPARE(as, (QVector<int>{1, 9, 9, 3}));
    QTRY_COMPARE_WITH_TIMEOUT(reported.count(), 2, 5000);
    const QString report = reported.last().at(0).toString();
    QVERIFY2(report.contains(QStringLiteral("Квадруполей измерено: 4 из 4")), qPrintable(report));
    QVERIFY2(report.contains(QStringLiteral("Повторов: 1")), qPrintable(report));
    QVERIFY2(QRegularExpression(QStringLiteral("повторён A=9 B=40 M=12 N=13: разброс \\d+\\.\\d → \\d+\\.\\d %"))
                 .match(report)
                 .hasMatch(),
             qPrintable(report));
}

void FileSafetyTest::reasonsNameWhatIsWrong()
{
    // A write that failed where Qt has no reason of its own gives the system's.
    const QFile unused;
    errno = ENOSPC;
    const QString reason = OutputFile::failureReason(unused);
    QCOMPARE(reason, QString::fromLocal8Bit(std::strerror(ENOSPC)));
    // Timing refused before any file exists does not blame a header.
    QString error;
    QVERIFY(!EtrFormat::checkRecordTiming(100000, 100, 1, &error));
    QVERIFY2(!error.contains(QStringLiteral("заголов")) && error.contains(QStringLiteral("100000")), qPrintable(error));

    // A station flooding the link with unknown frames gets a count once a second, not a line each.
    SimulatorOptions options = quickStation();
    options.floodUnknown = true;
    RunFixture f(options);
    QVERIFY(f.ok);
    StderrCapture capture;
    QVERIFY(f.model->connectDevice());
    QTest::qWait(2500);
    const QStringList lines = capture.lines();
    QVERIFY2(lines.size() < 60, qPrintable(QString::number(lines.size())));
    QVERIFY(std::any_of(lines.cbegin(), lines.cend(), [](const QString& line) { return line.contains(QStringLiteral("more frames")); }));
}

QTEST_MAIN(FileSafetyTest)
#include "tst_filesafety.moc"
