#include "etr/etrfile.h"
#include "runfixture.h"
#include "survey/surveydatamanager.h"
#include "survey/surveydatum.h"
#include "survey/surveyreport.h"
#include "survey/surveystrategy.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>
#include <QtTest>

namespace {

constexpr int Steps = 6;

// Six steps, each a current dipole with two potential pairs between its electrodes.
QList<QuadrupoleLine> dipoleLines()
{
    QList<QuadrupoleLine> lines;
    for (int s = 0; s < Steps; ++s) {
        const int a = 1 + 6 * s;
        lines.append(QuadrupoleLine{a, a + 5, a + 1, a + 2});
        lines.append(QuadrupoleLine{a, a + 5, a + 3, a + 4});
    }
    return lines;
}

// A clean earth: without a burst every record repeats itself to far below any limit.
SimulatorOptions cleanStation()
{
    SimulatorOptions o;
    o.speed = 0;
    o.chargeability = 0.0;
    o.noise = 0.0;
    o.driftPerSecond = 0.0;
    o.burstNoise = 0.2;
    return o;
}

bool connectForSurvey(RunFixture& f)
{
    if (!f.ok || !f.connect())
        return false;
    GeneratorSettings* g = f.model->stationSettings()->generatorSettings();
    g->pulseLength = 100;
    g->pauseLength = 100;
    g->periods = 3;
    g->voltage = 100;
    return true;
}

bool waitForEnd(TervexModel* model, int timeout)
{
    QSignalSpy completed(model->surveyDataManager(), &DataManager::allCompleted);
    QSignalSpy aborted(model->surveyDataManager(), &DataManager::aborted);
    QElapsedTimer timer;
    timer.start();
    while (completed.isEmpty() && aborted.isEmpty()) {
        if (timer.elapsed() > timeout)
            return false;
        QTest::qWait(20);
    }
    return true;
}

// The step of every block, 1 for the dipole at electrode 1.
QVector<int> blockSteps(const EtrFile& file)
{
    QVector<int> steps;
    for (const EtrBlock& block : file.blocks())
        steps.append(1 + (block.a - 1) / 6);
    return steps;
}

// "Записей: 9" -> 9, from the last report section of the text.
int reportCount(const QString& text, const QString& caption)
{
    const QRegularExpression re(caption + QStringLiteral(": (\\d+)"));
    int value = -1;
    auto it = re.globalMatch(text);
    while (it.hasNext())
        value = it.next().captured(1).toInt();
    return value;
}

QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

} // namespace

// Automatic repeats of spoilt records and the survey report, against the simulated station.
class AutoRepeatTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }

    void noisyStepsAreRepeated_data();
    void noisyStepsAreRepeated();
    void pauseHoldsTheRepeat();
    void stopDuringRepeatContinues();
    void commandLine();
};

void AutoRepeatTest::noisyStepsAreRepeated_data()
{
    QTest::addColumn<QVector<int>>("noisy");
    QTest::addColumn<double>("maxScatter");
    QTest::addColumn<int>("maxRepeats");
    QTest::addColumn<QVector<int>>("steps");
    QTest::addColumn<int>("aboveLimit");

    // Record 2 is step 2; records 4 and 5 are step 3 and its first repeat.
    QTest::newRow("bursts repeated") << QVector<int>{2, 4, 5} << 2.0 << 2 << QVector<int>{1, 2, 2, 3, 3, 3, 4, 5, 6}
                                     << 0;
    QTest::newRow("repeats used up") << QVector<int>{2, 3, 4} << 2.0 << 2 << QVector<int>{1, 2, 2, 2, 3, 4, 5, 6}
                                     << 2;
    QTest::newRow("one repeat") << QVector<int>{2, 3} << 2.0 << 1 << QVector<int>{1, 2, 2, 3, 4, 5, 6} << 2;
    QTest::newRow("limit off") << QVector<int>{2, 4, 5} << 0.0 << 2 << QVector<int>{1, 2, 3, 4, 5, 6} << 0;
}

void AutoRepeatTest::noisyStepsAreRepeated()
{
    QFETCH(QVector<int>, noisy);
    QFETCH(double, maxScatter);
    QFETCH(int, maxRepeats);
    QFETCH(QVector<int>, steps);
    QFETCH(int, aboveLimit);

    SimulatorOptions options = cleanStation();
    options.noisyRecords = noisy;
    RunFixture f(options);
    QVERIFY(connectForSurvey(f));
    const QString sequence = f.path("dipoles.txt");
    const QString target = f.path("line.etr");
    QVERIFY(writeSequence(sequence, dipoleLines()));

    f.model->setRepeatPolicy(RepeatPolicy(maxScatter, maxRepeats));
    QSignalSpy repeating(f.model.get(), &TervexModel::runRepeating);
    QSignalSpy reported(f.model.get(), &TervexModel::surveyReported);
    QVERIFY2(f.model->startSurvey(sequence, target), qPrintable(f.model->startError()));
    QVERIFY(waitForEnd(f.model.get(), 60000));

    EtrFile file;
    QVERIFY(file.load(target));
    QVERIFY(file.isComplete());
    QCOMPARE(blockSteps(file), steps);

    // Every quadrupole is in the file, and the one the exports take of each is a clean record.
    const QVector<SurveyDatum> best = bestOfRepeats(file.surveyData());
    QCOMPARE(best.size(), dipoleLines().size());
    if (aboveLimit == 0) {
        for (const SurveyDatum& d : best)
            QVERIFY2(d.deviation < maxScatter || maxScatter == 0.0, qPrintable(QString::number(d.deviation)));
    }

    // The record page's line names the repeat and its cause.
    QStringList reasons;
    for (const QList<QVariant>& args : repeating) {
        if (!args.first().toString().isEmpty())
            reasons << args.first().toString();
    }
    QCOMPARE(reasons.size(), steps.size() - Steps);
    const QRegularExpression line(QStringLiteral("^повтор [1-%1] из %1: разброс \\d+\\.\\d % на канале \\d+$")
                                      .arg(maxRepeats));
    for (const QString& reason : reasons)
        QVERIFY2(line.match(reason).hasMatch(), qPrintable(reason));

    // The report beside the data file counts what the file holds.
    QCOMPARE(reported.count(), 1);
    const QString reportPath = f.path("line-report.txt");
    QCOMPARE(reported.first().at(1).toString(), reportPath);
    const QString report = readText(reportPath);
    QCOMPARE(report, reported.first().at(0).toString());
    QVERIFY(report.contains(QStringLiteral("Съёмка завершена.")));
    QCOMPARE(reportCount(report, QStringLiteral("Записей")), file.blocks().size());
    QCOMPARE(reportCount(report, QStringLiteral("Повторов")), file.blocks().size() - Steps);
    QCOMPARE(reportCount(report, QStringLiteral("Выше предела")), aboveLimit);
    if (aboveLimit > 0)
        QVERIFY2(report.contains(QStringLiteral("  A=7 B=12 M=8 N=9, канал ")), qPrintable(report));
    QVERIFY(report.contains(QStringLiteral("Каналы без данных: нет")));
}

void AutoRepeatTest::pauseHoldsTheRepeat()
{
    SimulatorOptions options = cleanStation();
    options.noisyRecords = {1};
    RunFixture f(options);
    QVERIFY(connectForSurvey(f));
    const QString sequence = f.path("dipoles.txt");
    const QString target = f.path("paused.etr");
    QVERIFY(writeSequence(sequence, dipoleLines()));

    f.model->setRepeatPolicy(RepeatPolicy(2.0, 2));
    f.model->setPaused(true);
    QSignalSpy records(f.model->surveyDataManager(), &DataManager::completed);
    QSignalSpy waiting(f.model.get(), &TervexModel::runWaitingForNext);
    QSignalSpy reported(f.model.get(), &TervexModel::surveyReported);
    QVERIFY(f.model->startSurvey(sequence, target));
    QVERIFY(records.wait(10000));
    QVERIFY(waiting.wait(2000));
    QTest::qWait(600);
    QCOMPARE(records.count(), 1);

    // The operator's repeat measures the spoilt step; it comes out clean, so the run goes on.
    f.model->repeatRecord();
    QTRY_COMPARE_WITH_TIMEOUT(records.count(), 2, 10000);
    f.model->setPaused(false);
    f.model->nextRecord();
    QVERIFY(waitForEnd(f.model.get(), 60000));

    EtrFile file;
    QVERIFY(file.load(target));
    QCOMPARE(blockSteps(file), (QVector<int>{1, 1, 2, 3, 4, 5, 6}));
    QCOMPARE(reported.count(), 1);
    QCOMPARE(reportCount(reported.first().at(0).toString(), QStringLiteral("Повторов")), 1);
}

void AutoRepeatTest::stopDuringRepeatContinues()
{
    SimulatorOptions options = cleanStation();
    options.noisyRecords = {2, 3, 4};
    RunFixture f(options);
    QVERIFY(connectForSurvey(f));
    const QString sequence = f.path("dipoles.txt");
    const QString target = f.path("stopped.etr");
    QVERIFY(writeSequence(sequence, dipoleLines()));

    f.model->setRepeatPolicy(RepeatPolicy(2.0, 3));
    QSignalSpy reported(f.model.get(), &TervexModel::surveyReported);
    // The repeat streams at the station's own pace, so the stop lands inside it.
    QObject::connect(f.model.get(), &TervexModel::runRepeating, &f.simulator, [&f](const QString& reason) {
        if (!reason.isEmpty())
            f.simulator.options().speed = 1.0;
    });
    QSignalSpy started(&f.simulator, &StationSimulator::recordStarted);
    QVERIFY(f.model->startSurvey(sequence, target));
    QTRY_VERIFY_WITH_TIMEOUT(f.simulator.options().speed > 0.0 && started.count() == 3, 20000);
    f.model->stopRun();
    QVERIFY(!f.model->strategy()->isRunning());

    EtrFile stopped;
    QVERIFY(stopped.load(target));
    QCOMPARE(blockSteps(stopped), (QVector<int>{1, 2}));
    QCOMPARE(reported.count(), 1);
    QVERIFY(reported.first().at(0).toString().contains(QStringLiteral("Съёмка остановлена")));
    QCOMPARE(reportCount(reported.first().at(0).toString(), QStringLiteral("Записей")), 2);

    // Continued on a quiet station: the step stopped inside its repeats finishes them first.
    f.simulator.options().speed = 0.0;
    f.simulator.options().noisyRecords.clear();
    QVERIFY2(f.model->startSurvey(target, QString()), qPrintable(f.model->startError()));
    QVERIFY(waitForEnd(f.model.get(), 60000));

    EtrFile file;
    QVERIFY(file.load(target));
    QVERIFY(file.isComplete());
    QCOMPARE(blockSteps(file), (QVector<int>{1, 2, 2, 3, 4, 5, 6}));
    QCOMPARE(bestOfRepeats(file.surveyData()).size(), dipoleLines().size());
    // The continuation's report follows the first part's in the same file.
    const QString report = readText(f.path("stopped-report.txt"));
    QCOMPARE(report.count(QStringLiteral("Отчёт о съёмке")), 2);
    QCOMPARE(reportCount(report, QStringLiteral("Записей")), 5);
}

void AutoRepeatTest::commandLine()
{
    SimulatorOptions options = cleanStation();
    options.noisyRecords = {2};
    RunFixture f(options);
    QVERIFY(f.ok);
    const QString sequence = f.path("dipoles.txt");
    QVERIFY(writeSequence(sequence, dipoleLines()));
    const QStringList station = {QStringLiteral("--host"), QStringLiteral("127.0.0.1"),
                                 QStringLiteral("--command-port"), QString::number(f.simulator.commandPort()),
                                 QStringLiteral("--data-port"), QString::number(f.simulator.dataPort()),
                                 QStringLiteral("--pulse"), QStringLiteral("100"), QStringLiteral("--pause"),
                                 QStringLiteral("100"), QStringLiteral("--periods"), QStringLiteral("3"),
                                 QStringLiteral("--quiet")};

    for (const QStringList& bad : {QStringList{QStringLiteral("--max-repeats"), QStringLiteral("6")},
                                   QStringList{QStringLiteral("--max-scatter"), QStringLiteral("-1")},
                                   QStringList{QStringLiteral("--max-scatter"), QStringLiteral("abc")}}) {
        QProcess runner;
        runner.start(QStringLiteral(TERVEX_SURVEY_TOOL), station + bad + QStringList{sequence, f.path("bad.etr")});
        QVERIFY(runner.waitForFinished(10000));
        QCOMPARE(runner.exitCode(), 2);
        QVERIFY(!QFile::exists(f.path("bad.etr")));
    }

    QProcess runner;
    runner.start(QStringLiteral(TERVEX_SURVEY_TOOL),
                 station + QStringList{QStringLiteral("--max-scatter"), QStringLiteral("2.5"),
                                       QStringLiteral("--max-repeats"), QStringLiteral("1"), sequence,
                                       f.path("cli.etr")});
    // The station answers from this process's event loop.
    QTRY_VERIFY_WITH_TIMEOUT(runner.state() == QProcess::NotRunning, 60000);
    QCOMPARE(runner.exitCode(), 0);
    const QString out = QString::fromLocal8Bit(runner.readAllStandardOutput());
    QCOMPARE(reportCount(out, QStringLiteral("Записей")), Steps + 1);
    QCOMPARE(reportCount(out, QStringLiteral("Повторов")), 1);
    QVERIFY2(out.contains(QStringLiteral("Макс. разброс: 2.5 %, повторов не более 1")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("report: ") + f.path("cli-report.txt")), qPrintable(out));
}

QTEST_MAIN(AutoRepeatTest)
#include "tst_autorepeat.moc"
