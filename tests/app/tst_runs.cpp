#include "app/livemodel.h"
#include "etr/etrfile.h"
#include "etr/inversiondataset.h"
#include "inversion/inversiondata.h"
#include "runfixture.h"
#include "station/tervexdevice.h"
#include "survey/etrformat.h"
#include "tools/stationsim/groundmodel.h"
#include "survey/linemetadata.h"
#include "survey/quadrupoleline.h"
#include "survey/surveydatamanager.h"
#include "survey/surveyreport.h"
#include "survey/surveystrategy.h"
#include "survey/testdatamanager.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTextStream>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

constexpr double Spacing = 5.0;

// Gradient soundings on the 48-electrode line: a few current dipoles, each with the neighbouring
// potential pairs between its electrodes, so steps hold up to ten pairs.
QList<QuadrupoleLine> gradientLines()
{
    QList<QuadrupoleLine> lines;
    const int dipoles[][2] = {{1, 48}, {9, 40}, {17, 32}};
    for (const auto& d : dipoles) {
        for (int m = d[0] + 1; m + 1 < d[1]; m += 2)
            lines.append(QuadrupoleLine{d[0], d[1], m, m + 1});
    }
    return lines;
}

double position(int electrode)
{
    return electrode == 0 ? std::numeric_limits<double>::infinity() : (electrode - 1) * Spacing;
}

// Quiet station: no polarisation, so the level windows see the plain primary voltage.
SimulatorOptions quietStation()
{
    SimulatorOptions o;
    o.speed = 0;
    o.earth = EarthModel(50.0, 8.0, 400.0);
    o.spacing = Spacing;
    o.chargeability = 0.0;
    o.noise = 0.0;
    o.driftPerSecond = 0.0;
    return o;
}

void setTiming(TervexModel* model, quint32 pulse, quint32 pause, quint16 periods)
{
    GeneratorSettings* g = model->stationSettings()->generatorSettings();
    g->pulseLength = pulse;
    g->pauseLength = pause;
    g->periods = periods;
    g->voltage = 100;
}

// The station is up, the model connected, and the mirror holds this timing.
bool connectWithTiming(RunFixture& f, quint32 pulse, quint32 pause, quint16 periods)
{
    if (!f.ok || !f.connect())
        return false;
    setTiming(f.model.get(), pulse, pause, periods);
    return true;
}

QList<QuadrupoleLine> measuredLines(const EtrFile& file)
{
    QList<QuadrupoleLine> lines;
    for (const EtrBlock& block : file.blocks()) {
        for (const EtrChannel& channel : block.channels)
            lines.append(QuadrupoleLine{block.a, block.b, channel.m, channel.n});
    }
    return lines;
}

bool sameMultiset(QList<QuadrupoleLine> a, QList<QuadrupoleLine> b)
{
    if (a.size() != b.size())
        return false;
    for (const QuadrupoleLine& l : a) {
        if (!b.removeOne(l))
            return false;
    }
    return true;
}

int completeBlocks(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    EtrFormat::Scan scan;
    QString error;
    return EtrFormat::scanFile(&file, &scan, &error) ? scan.blockCount : 0;
}

bool waitForEnd(TervexModel* model, int timeout)
{
    QSignalSpy completed(model->surveyDataManager(), &DataManager::allCompleted);
    QSignalSpy aborted(model->surveyDataManager(), &DataManager::aborted);
    QSignalSpy testCompleted(model->testDataManager(), &DataManager::allCompleted);
    QSignalSpy testAborted(model->testDataManager(), &DataManager::aborted);
    QElapsedTimer timer;
    timer.start();
    while (completed.isEmpty() && aborted.isEmpty() && testCompleted.isEmpty() && testAborted.isEmpty()) {
        if (timer.elapsed() > timeout)
            return false;
        QTest::qWait(20);
    }
    return true;
}

} // namespace

// Every kind of run, driven through the model against the simulated station.
class RunsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }

    void surveyWritesEveryQuadrupoleOnce();
    void liveModelFollowsTheSurvey();
    void stoppedSurveyIsContinued();
    void continuationCutsAnIncompleteTail();
    void pauseRepeatAndNext();
    void statusPollDuringPauseProcessesNothing();
    void startRefusals();
    void trialRecord();
    void contactTests();
    void contactCheckGatesTheSurvey();
    void relayTest_data();
    void relayTest();
    void batteryLimitsWarnAndStop();
    void linkFaultsEndTheRun_data();
    void linkFaultsEndTheRun();
};

void RunsTest::surveyWritesEveryQuadrupoleOnce()
{
    RunFixture f(quietStation());
    QVERIFY(connectWithTiming(f, 100, 100, 2));
    const QList<QuadrupoleLine> lines = gradientLines();
    const QString sequence = f.path("gradient.txt");
    const QString target = f.path("line1.etr");
    QVERIFY(writeSequence(sequence, lines));

    QSignalSpy records(f.model->surveyDataManager(), &DataManager::completed);
    QVERIFY2(f.model->startSurvey(sequence, target), qPrintable(f.model->startError()));
    QVERIFY(waitForEnd(f.model.get(), 60000));
    QCOMPARE(f.model->strategy()->isRunning(), false);

    EtrFile file;
    QVERIFY(file.load(target));
    QVERIFY(file.isComplete());
    QCOMPARE(file.blocks().size(), records.count());
    QCOMPARE(file.pulse(), 100);
    QCOMPARE(file.repeats(), 2);
    QVERIFY(sameMultiset(measuredLines(file), lines));
    for (const EtrBlock& block : file.blocks()) {
        QVERIFY(block.channels.size() <= 10);
        for (const EtrChannel& c : block.channels) {
            const double expected = f.simulator.options().earth.apparentResistivity(
                position(block.a), position(block.b), position(c.m), position(c.n));
            QVERIFY2(std::abs(c.resistivity / expected - 1.0) < 0.01,
                     qPrintable(QStringLiteral("%1 %2 %3 %4: %5 vs %6")
                                    .arg(block.a).arg(block.b).arg(c.m).arg(c.n).arg(c.resistivity).arg(expected)));
        }
    }

    // The companion text restates coordinates and quadrupoles.
    QFile companion(f.path("line1.txt"));
    QVERIFY(companion.open(QIODevice::ReadOnly));
    const QStringList text = QString::fromUtf8(companion.readAll()).split('\n');
    QCOMPARE(text.value(0), QStringLiteral("# x y z"));
    QCOMPARE(text.value(2), QStringLiteral("2 5 0 0"));
    QCOMPARE(text.value(49), QStringLiteral("# a b m n"));
    QCOMPARE(text.value(50), QStringLiteral("0 1 48 2 3"));
}

void RunsTest::liveModelFollowsTheSurvey()
{
    // A conductive block under the first electrodes of a flat line.
    auto ground = std::make_shared<GroundModel>();
    QString error;
    QVERIFY2(ground->parse(QStringLiteral("background 100\nrect 25 45 2 7 15\n"), &error), qPrintable(error));
    std::vector<double> x;
    for (int e = 1; e <= Electrodes::Count; ++e)
        x.push_back(position(e));
    QVERIFY(ground->solve(x, std::vector<double>(x.size(), 0.0)));
    SimulatorOptions options = quietStation();
    options.ground = ground;
    RunFixture f(options);
    QVERIFY(connectWithTiming(f, 100, 100, 1));
    // Dipole-dipole over the first 16 electrodes.
    QList<QuadrupoleLine> lines;
    for (int n = 1; n <= 4; ++n) {
        for (int a = 1; a + n + 2 <= 16; ++a)
            lines.append(QuadrupoleLine{a, a + 1, a + n + 1, a + n + 2});
    }
    const QString sequence = f.path("dd-seq.txt");
    const QString target = f.path("dd.etr");
    QVERIFY(writeSequence(sequence, lines));
    LiveModel* live = f.model->liveModel();
    QSignalSpy changed(live, &LiveModel::modelChanged);
    QSignalSpy saved(live, &LiveModel::finalModelSaved);
    QSignalSpy reported(f.model.get(), &TervexModel::surveyReported);
    QVERIFY2(f.model->startSurvey(sequence, target), qPrintable(f.model->startError()));
    QCOMPARE(live->state(), LiveModel::State::Waiting);
    QVERIFY(waitForEnd(f.model.get(), 60000));
    QTRY_VERIFY_WITH_TIMEOUT(!saved.isEmpty(), 60000);
    QCOMPARE(live->state(), LiveModel::State::Final);
    // Models came during the survey, and the last one is that of the finished file.
    QVERIFY(changed.size() >= 2);
    EtrFile file;
    QVERIFY(file.load(target));
    const InversionResult expected = ResistivityInversion::run(
        InversionData::fromFiles({&file}, DataFilter()).input, InversionSettings());
    QVERIFY(expected.ok());
    QCOMPARE(live->model().used, expected.used);
    QCOMPARE(live->model().iterations.size(), expected.iterations.size());
    QCOMPARE(live->model().chi2(), expected.chi2());
    QCOMPARE(live->model().rms(), expected.rms());
    QCOMPARE(live->modelQuadrupoles(), lines.size());
    QCOMPARE(live->surveyQuadrupoles(), lines.size());
    // The model finds the block.
    const ModelCell lowest = *std::min_element(live->model().cells.cbegin(), live->model().cells.cend(),
        [](const ModelCell& l, const ModelCell& r) { return l.resistivity < r.resistivity; });
    QVERIFY(lowest.x > 20.0 && lowest.x < 50.0 && lowest.resistivity < 50.0);
    QVERIFY(QFileInfo(LiveModel::vtkPath(target)).size() > 0);
    QFile report(reported.first().at(1).toString());
    QVERIFY(report.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(report.readAll());
    QVERIFY2(text.contains(QStringLiteral("Модель разреза: χ² = %1").arg(expected.chi2(), 0, 'f', 2)), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Модель сохранена: dd-model.vtk")));

    // Data that come while a run goes on end it after its iteration with a model of the data it
    // had; the next model is of all of them.
    const QVector<SurveyDatum> all = f.model->surveyDataManager()->surveyData();
    InversionSource line;
    line.positions = file.electrodePositions();
    live->begin(target, line, DataFilter());
    QVector<int> modelled;
    const QMetaObject::Connection counting =
        connect(live, &LiveModel::modelChanged, [&]() { modelled << live->modelQuadrupoles(); });
    live->update(all.mid(0, all.size() / 2));
    QCOMPARE(live->state(), LiveModel::State::Running);
    live->update(all);
    QTRY_COMPARE_WITH_TIMEOUT(live->state(), LiveModel::State::Idle, 60000);
    disconnect(counting);
    QCOMPARE(modelled, (QVector<int>{all.size() / 2, lines.size()}));
    // Too few data wait for more.
    live->begin(target, line, DataFilter());
    live->update(all.mid(0, 5));
    QCOMPARE(live->state(), LiveModel::State::Waiting);
    QCOMPARE(live->waitingReason(), ResistivityInversion::tooFewReason());
}

void RunsTest::stoppedSurveyIsContinued()
{
    RunFixture f(quietStation());
    QVERIFY(connectWithTiming(f, 100, 100, 1));
    // The first three pairs measured again swapped at the end, after the stop.
    QList<QuadrupoleLine> lines = gradientLines();
    for (int k = 0; k < 3; ++k)
        lines.append(QuadrupoleLine{lines.at(k).m, lines.at(k).n, lines.at(k).a, lines.at(k).b});
    const QString sequence = f.path("seq.txt");
    const QString target = f.path("survey.etr");
    QVERIFY(writeSequence(sequence, lines));
    f.model->setLineDescription(QStringLiteral("Профиль 7"), QStringLiteral("Иванов"), QStringLiteral("сухо"));
    QTRY_VERIFY_WITH_TIMEOUT(f.model->device()->battery()->voltage() > 0.0f, 10000);

    QSignalSpy records(f.model->surveyDataManager(), &DataManager::completed);
    QVERIFY(f.model->startSurvey(sequence, target));
    QTRY_VERIFY_WITH_TIMEOUT(records.count() >= 3, 20000);
    f.model->stopRun();
    QCOMPARE(f.model->strategy()->isRunning(), false);

    // The line's description and conditions went into the free header area.
    const auto headerArea = [&target]() {
        QFile raw(target);
        return raw.open(QIODevice::ReadOnly) ? raw.read(EtrFormat::HeaderAreaSize) : QByteArray();
    };
    const QByteArray area = headerArea();
    const LineMetadata metadata = LineMetadata::fromHeaderArea(area);
    QCOMPARE(metadata.state(), LineMetadata::State::Valid);
    QCOMPARE(metadata.value(LineMetadata::LineName), QStringLiteral("Профиль 7"));
    QCOMPARE(metadata.value(LineMetadata::Operator), QStringLiteral("Иванов"));
    QCOMPARE(metadata.value(LineMetadata::Pulse), QStringLiteral("100"));
    QCOMPARE(metadata.value(LineMetadata::Periods), QStringLiteral("1"));
    QCOMPARE(metadata.value(LineMetadata::StationSerial),
             QString::number(f.model->stationSettings()->stationInfo()->serialNumber));
    const QDateTime start = QDateTime::fromString(metadata.value(LineMetadata::StartTime), Qt::ISODate);
    QVERIFY(start.isValid());
    QVERIFY(qAbs(start.secsTo(QDateTime::currentDateTime())) < 120);
    QVERIFY(metadata.value(LineMetadata::Battery).toDouble() > 11.0);
    QCOMPARE(metadata.value(LineMetadata::Latitude).toDouble(), double(f.model->device()->gps()->latitude()));

    // Another timing in the mirror: the continued survey must use the file's.
    setTiming(f.model.get(), 300, 300, 3);
    f.model->setLineDescription(QStringLiteral("другая"), QString(), QString());
    QSignalSpy reported(f.model.get(), &TervexModel::surveyReported);
    QVERIFY2(f.model->startSurvey(target, QString()), qPrintable(f.model->startError()));
    QCOMPARE(f.model->stationSettings()->generatorSettings()->pulseLength, 100u);
    QVERIFY(waitForEnd(f.model.get(), 60000));

    EtrFile file;
    QVERIFY(file.load(target));
    QVERIFY(file.isComplete());
    QVERIFY(sameMultiset(measuredLines(file), lines));
    // The continuation never rewrites the header.
    QCOMPARE(headerArea(), area);
    QCOMPARE(file.metadata().value(LineMetadata::LineName), QStringLiteral("Профиль 7"));
    // The continuation's report pairs its reciprocals with the records of the first run.
    QTRY_VERIFY(!reported.isEmpty());
    QFile report(reported.last().at(1).toString());
    QVERIFY(report.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(report.readAll());
    QVERIFY2(text.contains(QStringLiteral("Взаимных пар: 3\n")), qPrintable(text));
}

void RunsTest::continuationCutsAnIncompleteTail()
{
    RunFixture f(quietStation());
    QVERIFY(connectWithTiming(f, 100, 100, 1));
    const QList<QuadrupoleLine> lines = gradientLines();
    const QString sequence = f.path("seq.txt");
    const QString target = f.path("crash.etr");
    QVERIFY(writeSequence(sequence, lines));

    // A survey in a separate process, killed during a record.
    QProcess runner;
    runner.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    runner.start(QStringLiteral(TERVEX_SURVEY_TOOL),
                 {QStringLiteral("--host"), QStringLiteral("127.0.0.1"), QStringLiteral("--command-port"),
                  QString::number(f.simulator.commandPort()), QStringLiteral("--data-port"),
                  QString::number(f.simulator.dataPort()), QStringLiteral("--pulse"), QStringLiteral("100"),
                  QStringLiteral("--pause"), QStringLiteral("100"), QStringLiteral("--periods"),
                  QStringLiteral("1"), sequence, target});
    QVERIFY(runner.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(completeBlocks(target) >= 2, 30000);
    QSignalSpy started(&f.simulator, &StationSimulator::recordStarted);
    QVERIFY(started.wait(5000));
    runner.kill();
    runner.waitForFinished(5000);

    // A write cut short by the crash: the last block loses its end.
    {
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(file.size() - 1000));
    }
    EtrFile before;
    QVERIFY(before.load(target));
    QVERIFY(!before.isComplete());
    const int completeBlocks = before.blocks().size();

    // The program died without closing the link; the station takes the new connection.
    QVERIFY(f.connect());
    QVERIFY2(f.model->startSurvey(target, QString()), qPrintable(f.model->startError()));
    QVERIFY(waitForEnd(f.model.get(), 60000));

    EtrFile file;
    QVERIFY(file.load(target));
    QVERIFY(file.isComplete());
    QVERIFY(file.blocks().size() > completeBlocks);
    QVERIFY(sameMultiset(measuredLines(file), lines));
}

void RunsTest::pauseRepeatAndNext()
{
    RunFixture f(quietStation());
    QVERIFY(connectWithTiming(f, 50, 50, 1));
    const QList<QuadrupoleLine> lines = gradientLines();
    const QString sequence = f.path("seq.txt");
    const QString target = f.path("paused.etr");
    QVERIFY(writeSequence(sequence, lines));

    f.model->setPaused(true);
    QSignalSpy records(f.model->surveyDataManager(), &DataManager::completed);
    QSignalSpy waiting(f.model.get(), &TervexModel::runWaitingForNext);
    QVERIFY(f.model->startSurvey(sequence, target));
    QVERIFY(records.wait(10000));
    QVERIFY(waiting.wait(2000));
    QTest::qWait(600);
    QCOMPARE(records.count(), 1);

    // Next during the gap and the timer cannot start two records: one step at a time.
    f.model->nextRecord();
    f.model->nextRecord();
    QTRY_COMPARE_WITH_TIMEOUT(records.count(), 2, 10000);
    QTest::qWait(600);
    QCOMPARE(records.count(), 2);

    f.model->repeatRecord();
    QTRY_COMPARE_WITH_TIMEOUT(records.count(), 3, 10000);
    f.model->setPaused(false);
    f.model->nextRecord();
    QVERIFY(waitForEnd(f.model.get(), 60000));

    EtrFile file;
    QVERIFY(file.load(target));
    const QVector<EtrBlock>& blocks = file.blocks();
    QVERIFY(blocks.size() >= 4);
    // The repeat measured the second step again.
    QCOMPARE(blocks[2].a, blocks[1].a);
    QCOMPARE(blocks[2].b, blocks[1].b);
    QCOMPARE(blocks[2].channels.first().m, blocks[1].channels.first().m);
    QList<QuadrupoleLine> expected = lines;
    for (const EtrChannel& c : blocks[1].channels)
        expected.append(QuadrupoleLine{blocks[1].a, blocks[1].b, c.m, c.n});
    QVERIFY(sameMultiset(measuredLines(file), expected));
}

void RunsTest::statusPollDuringPauseProcessesNothing()
{
    RunFixture f(quietStation());
    QVERIFY(connectWithTiming(f, 50, 50, 1));
    const QString sequence = f.path("seq.txt");
    const QString target = f.path("poll.etr");
    QVERIFY(writeSequence(sequence, gradientLines()));
    f.model->setPaused(true);
    QSignalSpy records(f.model->surveyDataManager(), &DataManager::completed);
    QSignalSpy status(f.model.get(), &TervexModel::deviceStatusUpdated);
    QVERIFY(f.model->startSurvey(sequence, target));
    QVERIFY(records.wait(10000));
    const int statusBefore = status.count();
    // The station is polled every 5 s; its answer must not process the record again.
    QTRY_VERIFY_WITH_TIMEOUT(status.count() > statusBefore, 8000);
    QTest::qWait(300);
    QCOMPARE(records.count(), 1);
    f.model->stopRun();
    EtrFile file;
    QVERIFY(file.load(target));
    QCOMPARE(file.blocks().size(), 1);
}

void RunsTest::startRefusals()
{
    RunFixture f(quietStation());
    QVERIFY(f.ok);
    QVERIFY(f.connect());
    const QString sequence = f.path("line1.txt");
    QVERIFY(writeSequence(sequence, gradientLines()));

    // The companion text of line1.etr would overwrite the sequence itself.
    QVERIFY(!f.model->startSurvey(sequence, f.path("line1.etr")));
    QVERIFY(f.model->startError().contains(QStringLiteral("line1.etr")));
    QVERIFY(QFileInfo(sequence).size() > 0);
    QVERIFY(!f.model->startSurvey(sequence, f.path("out.dat")));
    QVERIFY(!f.model->startError().isEmpty());
    QVERIFY(!f.model->startSurvey(f.path("seq.csv"), f.path("out.etr")));

    QFile bad(f.path("bad.txt"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("# X Y Z\n1 0 0 0\n2 5 0 0\n# A B M N\n0 1 2 2 2\n0 1 1 2 2\n");
    bad.close();
    QVERIFY(!f.model->startSurvey(f.path("bad.txt"), f.path("bad-run.etr")));
    QVERIFY2(f.model->startError().contains(QStringLiteral("6")), qPrintable(f.model->startError()));

    QVERIFY(!f.model->startSurvey(f.path("missing.etr"), QString()));
    QVERIFY(!f.model->testElectrode(49));
    QVERIFY(!f.model->testElectrode(0));

    for (ChannelSetting& c : f.model->stationSettings()->electrodeSettings()->channels)
        c.enabled = 0;
    QCOMPARE(f.model->usableChannelCount(), 0);
    QVERIFY(!f.model->startSurvey(sequence, f.path("none.etr")));
    QVERIFY(!f.model->startError().isEmpty());
}

void RunsTest::trialRecord()
{
    RunFixture f(quietStation());
    QVERIFY(connectWithTiming(f, 100, 100, 2));
    ElectrodeSettings* e = f.model->stationSettings()->electrodeSettings();
    e->currentElectrodeA = 1;
    e->currentElectrodeB = 4;
    for (ChannelSetting& c : e->channels) {
        c.electrodeM = 0;
        c.electrodeN = 0;
    }
    e->channels[0].electrodeM = 2;
    e->channels[0].electrodeN = 3;
    QSignalSpy all(f.model->surveyDataManager(), &DataManager::allCompleted);
    QVERIFY(f.model->runTrial());
    QVERIFY(all.wait(10000));
    const QMap<int, ChannelResult> results = f.model->calculator()->channelResults();
    QCOMPARE(results.size(), 1);
    QCOMPARE(results.first().m, 2);
    QCOMPARE(results.first().n, 3);
    QVERIFY(f.model->calculator()->result().current > 0.0f);
    // A trial knows no coordinates: the value is the transfer resistance U/I.
    const double expected =
        f.simulator.options().earth.transferResistance(position(1), position(4), position(2), position(3));
    QVERIFY(std::abs(results.first().resistivity / expected - 1.0) < 0.01);
}

void RunsTest::contactTests()
{
    SimulatorOptions o = quietStation();
    o.contactResistance = 800.0;
    o.contactOverrides.insert(10, 20000.0);
    RunFixture f(o);
    QVERIFY(f.ok);
    QVERIFY(f.connect());
    TestDataManager* tests = f.model->testDataManager();

    const GeneratorSettings before = *f.model->stationSettings()->generatorSettings();
    QSignalSpy all(tests, &DataManager::allCompleted);
    QVERIFY(f.model->testAllElectrodes());
    QCOMPARE(f.model->stationSettings()->generatorSettings()->pulseLength, 200u);
    QVERIFY(waitForEnd(f.model.get(), 120000));
    QCOMPARE(all.count(), 1);
    QCOMPARE(tests->results().size(), 47);
    for (int d = 0; d < 47; ++d) {
        QCOMPARE(tests->results()[d].age, 0);
        const bool high = d == 8 || d == 9;  // pairs 9-10 and 10-11
        QVERIFY2(high ? tests->results()[d].resistance > 15000 : tests->results()[d].resistance < 5000,
                 qPrintable(QString::number(tests->results()[d].resistance)));
    }
    // The operator's generator settings are back.
    QCOMPARE(f.model->stationSettings()->generatorSettings()->pulseLength, before.pulseLength);
    QCOMPARE(f.model->stationSettings()->generatorSettings()->periods, before.periods);

    QFile report(tests->lastReportPath());
    QVERIFY(report.open(QIODevice::ReadOnly));
    QVERIFY(QFileInfo(report).fileName().startsWith(QStringLiteral("resistance_")));
    const QString text = QString::fromLocal8Bit(report.readAll());
    QVERIFY(text.startsWith(QStringLiteral("Измерение переходных сопротивлений ")));
    QVERIFY(text.contains(QStringLiteral("Тервекс #%1, адаптер ").arg(f.simulator.options().serialNumber)));
    QVERIFY(text.contains(QStringLiteral("\n1-2:\t")));
    QVERIFY(text.contains(QStringLiteral("\n47-48:\t")));

    // One electrode: its two pairs are measured again, the others age.
    QVERIFY(f.model->testElectrode(10));
    QVERIFY(waitForEnd(f.model.get(), 60000));
    QCOMPARE(tests->results()[8].age, 0);
    QCOMPARE(tests->results()[9].age, 0);
    QCOMPARE(tests->results()[0].age, 1);
    QVERIFY(tests->results()[0].resistance > 0.0f);

    // Above 10 kOhm: only the two high pairs.
    QVERIFY(f.model->testByResistance(2));
    QCOMPARE(f.model->strategy()->info()->stepCount(), 2);
    QVERIFY(waitForEnd(f.model.get(), 60000));
    QCOMPARE(tests->results()[9].age, 0);
    QCOMPARE(tests->results()[0].age, 2);
}

void RunsTest::contactCheckGatesTheSurvey()
{
    SimulatorOptions o = quietStation();
    o.contactResistance = 800.0;
    o.contactOverrides.insert(12, 20000.0);
    RunFixture f(o);
    QVERIFY(connectWithTiming(f, 100, 100, 1));
    QList<QuadrupoleLine> lines;
    for (int a = 1; a <= 16; ++a)
        lines.append(QuadrupoleLine{a, a + 3, a + 1, a + 2});
    const QString sequence = f.path("seq.txt");
    QVERIFY(writeSequence(sequence, lines));
    f.model->setContactCheck(true, 5.0);
    // The settings store outlives this test: the later surveys run without a check.
    const auto checkOff = qScopeGuard([&f]() { f.model->setContactCheck(false, 5.0); });
    QSignalSpy finished(f.model.get(), &TervexModel::contactCheckFinished);
    const auto checkSurvey = [&](const QString& target) {
        finished.clear();
        return f.model->startSurvey(sequence, target) && f.model->contactCheckPending() && !QFile::exists(target)
               && finished.wait(60000);
    };
    const auto reportOf = [](const QString& target) {
        QFile report(SurveyReport::pathFor(target));
        return report.open(QIODevice::ReadOnly) ? QString::fromUtf8(report.readAll()) : QString();
    };

    // Electrode 12 is found from its two pairs; its neighbours keep one low pair each.
    const QString leftOut = f.path("leftout.etr");
    QVERIFY(checkSurvey(leftOut));
    QVERIFY(f.model->contactCheckPending());
    QCOMPARE(f.model->contactGate()->electrodes().size(), 19);
    QCOMPARE(f.model->contactGate()->aboveLimit().size(), 1);
    QCOMPARE(f.model->contactGate()->aboveLimit().first().number, 12);
    QVERIFY(f.model->contactGate()->aboveLimit().first().ohms > 15000.0f);
    QVERIFY(QFile::exists(f.model->testDataManager()->lastReportPath()));
    QVERIFY(!QFile::exists(leftOut));
    // Tested again, then the quadrupoles with electrode 12 are left out.
    finished.clear();
    QVERIFY(f.model->resolveContactCheck(ContactGate::Choice::Retest));
    QVERIFY(finished.wait(60000));
    QVERIFY(f.model->resolveContactCheck(ContactGate::Choice::LeaveOut));
    QVERIFY(waitForEnd(f.model.get(), 60000));
    EtrFile file;
    QVERIFY(file.load(leftOut));
    QList<QuadrupoleLine> kept;
    for (const QuadrupoleLine& l : lines) {
        if (l.a != 12 && l.b != 12 && l.m != 12 && l.n != 12)
            kept.append(l);
    }
    QCOMPARE(kept.size(), 12);
    QVERIFY(sameMultiset(measuredLines(file), kept));
    QTRY_VERIFY_WITH_TIMEOUT(!reportOf(leftOut).isEmpty(), 5000);
    QString text = reportOf(leftOut);
    QVERIFY2(text.contains(QStringLiteral("Проверка контактов: предел 5 кОм, проверок: 2")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Электроды выше предела: 12 (2")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Выбор: без квадруполей с этими электродами (пропущено: 4)")),
             qPrintable(text));

    // Going on keeps every quadrupole.
    const QString all = f.path("all.etr");
    QVERIFY(checkSurvey(all));
    QVERIFY(f.model->resolveContactCheck(ContactGate::Choice::GoOn));
    QVERIFY(waitForEnd(f.model.get(), 60000));
    QVERIFY(file.load(all));
    QVERIFY(sameMultiset(measuredLines(file), lines));
    QTRY_VERIFY_WITH_TIMEOUT(reportOf(all).contains(QStringLiteral("Выбор: продолжить со всеми квадруполями")), 5000);

    // Cancelled: no survey, no data file.
    const QString cancelled = f.path("cancelled.etr");
    QVERIFY(checkSurvey(cancelled));
    QVERIFY(f.model->resolveContactCheck(ContactGate::Choice::Cancel));
    QVERIFY(!f.model->contactCheckPending());
    QVERIFY(!f.model->runActive());
    QVERIFY(!QFile::exists(cancelled));
}

void RunsTest::relayTest_data()
{
    QTest::addColumn<QVector<int>>("faulty");
    QTest::newRow("all relays good") << QVector<int>();
    QTest::newRow("relay 13 faulty") << QVector<int>{13};
    QTest::newRow("relays 13 and 27 faulty") << QVector<int>{13, 27};
}

void RunsTest::relayTest()
{
    QFETCH(QVector<int>, faulty);
    SimulatorOptions o = quietStation();
    o.testLoad = true;
    o.faultyRelays = faulty;
    RunFixture f(o);
    QVERIFY(f.ok);
    QVERIFY(f.connect());
    QSignalSpy verdict(f.model->testDataManager(), &TestDataManager::verdictReady);
    QVERIFY(f.model->testRelays());
    QVERIFY(waitForEnd(f.model.get(), 120000));
    QCOMPARE(verdict.count(), 1);
    QStringList numbers;
    for (int r : faulty)
        numbers << QString::number(r);
    // Every faulty relay is named; the stored number is the highest one.
    const QString expected = faulty.isEmpty() ? QStringLiteral("Нет неисправных реле")
                                              : QStringLiteral("Неисправно реле %1").arg(numbers.join(QStringLiteral(", ")));
    QCOMPARE(verdict.first().first().toString(), expected);
    QCOMPARE(int(f.model->testDataManager()->faultyRelay()), faulty.isEmpty() ? 0 : faulty.last());
    if (!faulty.isEmpty())
        QVERIFY(QFileInfo(f.model->testDataManager()->lastReportPath()).fileName().startsWith(QStringLiteral("relays_")));
}

// A battery that runs down during the survey: one warning, then the survey ends after the record
// in progress with its records kept, and no survey starts below the stop limit.
void RunsTest::batteryLimitsWarnAndStop()
{
    SimulatorOptions o = quietStation();
    o.battery = 11.45;
    o.batteryDrain = 0.15;
    o.batteryFloor = 5.0;
    RunFixture f(o);
    QVERIFY(connectWithTiming(f, 100, 100, 1));
    QTRY_VERIFY_WITH_TIMEOUT(f.model->device()->battery()->voltage() > 0.0f, 10000);
    QVERIFY(f.model->batteryLow());
    QList<QuadrupoleLine> lines;
    for (int a = 1; a <= 20; ++a)
        lines.append(QuadrupoleLine{a, a + 3, a + 1, a + 2});
    const QString sequence = f.path("seq.txt");
    const QString target = f.path("battery.etr");
    QVERIFY(writeSequence(sequence, lines));

    QSignalSpy warnings(f.model.get(), &TervexModel::batteryWarning);
    QSignalSpy failures(f.model.get(), &TervexModel::runFailed);
    QSignalSpy reports(f.model.get(), &TervexModel::surveyReported);
    QVERIFY2(f.model->startSurvey(sequence, target), qPrintable(f.model->startError()));
    QVERIFY(waitForEnd(f.model.get(), 60000));
    QCOMPARE(warnings.count(), 1);
    QCOMPARE(failures.count(), 1);
    QVERIFY(failures.first().first().toString().contains(QStringLiteral("10.5")));

    EtrFile file;
    QVERIFY(file.load(target));
    QVERIFY(file.isComplete());
    QVERIFY(file.blocks().size() > 2);
    QVERIFY(file.blocks().size() < lines.size());
    QCOMPARE(reports.count(), 1);
    QFile report(SurveyReport::pathFor(target));
    QVERIFY(report.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(report.readAll());
    QVERIFY2(text.contains(QStringLiteral("Съёмка остановлена: батарея станции")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Батарея: 11.")), qPrintable(text));

    const QString second = f.path("second.etr");
    QVERIFY(!f.model->startSurvey(sequence, second));
    QVERIFY(f.model->startError().contains(QStringLiteral("10.5")));
    QVERIFY(!QFile::exists(second));
}

void RunsTest::linkFaultsEndTheRun_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("command connection dropped") << "drop";
    QTest::newRow("data connection never opens") << "refuse";
    QTest::newRow("data connection closes midway") << "close";
    QTest::newRow("data connection never ends") << "endless";
}

void RunsTest::linkFaultsEndTheRun()
{
    QFETCH(QString, fault);
    RunFixture f(quietStation());
    QVERIFY(f.ok);
    QVERIFY(f.connect());
    f.model->device()->setDataConnectTimeout(1500);
    setTiming(f.model.get(), 100, 100, 1);
    const QString sequence = f.path("seq.txt");
    const QString target = f.path("fault.etr");
    QVERIFY(writeSequence(sequence, gradientLines()));

    QSignalSpy records(f.model->surveyDataManager(), &DataManager::completed);
    QSignalSpy aborted(f.model->surveyDataManager(), &DataManager::aborted);
    QSignalSpy failed(f.model.get(), &TervexModel::runFailed);
    QVERIFY(f.model->startSurvey(sequence, target));
    QVERIFY(records.wait(10000));
    if (fault == "drop")
        f.simulator.options().dropCommandAfterFrames = 1;
    else if (fault == "refuse")
        f.simulator.options().refuseData = true;
    else if (fault == "endless")
        f.simulator.options().endlessData = true;
    else
        f.simulator.options().closeDataAfterRows = 150;

    QVERIFY(failed.wait(10000));
    QCOMPARE(aborted.count(), 1);
    QVERIFY(!failed.first().first().toString().isEmpty());
    // The run shows the station link's own reason.
    if (fault == "endless")
        QVERIFY(failed.first().first().toString().contains(QStringLiteral("больше отсчётов")));
    QCOMPARE(f.model->strategy()->isRunning(), false);

    EtrFile file;
    QVERIFY(file.load(target));
    QVERIFY(file.isComplete());
    QCOMPARE(file.blocks().size(), records.count());
}

QTEST_MAIN(RunsTest)
#include "tst_runs.moc"
