// A survey along generated sequence files over the simulator's two-layer earth: every generated
// quadrupole is measured once, in as many records as the generator promised, and reads the
// apparent resistivity the earth predicts.

#include "etr/etrfile.h"
#include "runfixture.h"
#include "survey/sequencegenerator.h"
#include "survey/surveydatamanager.h"

#include <cmath>
#include <limits>

class GeneratedSurveyTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }
    void generatedSurvey_data();
    void generatedSurvey();
};

void GeneratedSurveyTest::generatedSurvey_data()
{
    QTest::addColumn<int>("array");
    QTest::newRow("dipole-dipole") << int(SequenceGenerator::Array::DipoleDipole);
    QTest::newRow("pole-dipole") << int(SequenceGenerator::Array::PoleDipole);
}

void GeneratedSurveyTest::generatedSurvey()
{
    QFETCH(int, array);
    constexpr double Spacing = 5.0;
    SimulatorOptions station;
    station.speed = 0;
    station.earth = EarthModel(50.0, 8.0, 400.0);
    station.spacing = Spacing;
    station.chargeability = 0.0;
    station.noise = 0.0;
    station.driftPerSecond = 0.0;
    RunFixture f(station);
    QVERIFY(f.ok && f.connect());
    GeneratorSettings* timing = f.model->stationSettings()->generatorSettings();
    timing->pulseLength = 100;
    timing->pauseLength = 100;
    timing->periods = 2;
    timing->voltage = 100;

    SequenceGenerator::Options o;
    o.array = SequenceGenerator::Array(array);
    o.spacing = Spacing;
    o.first = 5;
    o.last = 16;
    o.aMax = 1;
    o.nMax = 4;
    o.channels = f.model->usableChannelCount();
    SequenceGenerator generator;
    QVERIFY2(generator.generate(o), qPrintable(generator.errorString()));
    const QString sequence = f.path(QStringLiteral("generated.txt"));
    const QString target = f.path(QStringLiteral("line.etr"));
    QVERIFY(generator.write(sequence));

    QSignalSpy completed(f.model->surveyDataManager(), &DataManager::allCompleted);
    QVERIFY2(f.model->startSurvey(sequence, target), qPrintable(f.model->startError()));
    QVERIFY(completed.wait(60000));

    EtrFile file;
    QVERIFY(file.load(target));
    QCOMPARE(file.blocks().size(), generator.stepCount());
    QList<QuadrupoleLine> remaining = generator.lines();
    const auto x = [&](int electrode) {
        return electrode == Electrodes::None ? std::numeric_limits<double>::infinity() : (electrode - 1) * Spacing;
    };
    for (const EtrBlock& block : file.blocks()) {
        for (const EtrChannel& c : block.channels) {
            QVERIFY(remaining.removeOne(QuadrupoleLine{block.a, block.b, c.m, c.n}));
            const double expected = station.earth.apparentResistivity(x(block.a), x(block.b), x(c.m), x(c.n));
            QVERIFY2(std::abs(c.resistivity / expected - 1.0) < 0.01,
                     qPrintable(QStringLiteral("%1 %2 %3 %4: %5 vs %6")
                                    .arg(block.a).arg(block.b).arg(c.m).arg(c.n).arg(c.resistivity).arg(expected)));
        }
    }
    QVERIFY(remaining.isEmpty());
}

QTEST_GUILESS_MAIN(GeneratedSurveyTest)
#include "tst_generatedsurvey.moc"
