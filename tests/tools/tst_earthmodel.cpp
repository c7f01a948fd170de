#include "testsupport.h"

#include "tools/stationsim/earthmodel.h"
#include "tools/stationsim/recordgenerator.h"

#include <QtTest>

#include <cmath>
#include <limits>

// The simulated earth and the records it yields, without a socket.
class TestEarthModel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }

    void halfSpace_data();
    void halfSpace();
    void twoLayerLimits();
    void cleanSquareWaves();
    void currentFromTheCircuit();
    void polarisationSuperposition();
    void driftAndSeededNoise();
};

static constexpr double Inf = std::numeric_limits<double>::infinity();
static constexpr double TwoPi = 6.283185307179586;

static bool near(double value, double expected, double relative)
{
    return std::abs(value - expected) <= relative * std::abs(expected);
}

void TestEarthModel::halfSpace_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("m");
    QTest::addColumn<double>("n");
    QTest::newRow("wenner") << 0.0 << 15.0 << 5.0 << 10.0;
    QTest::newRow("schlumberger") << 0.0 << 40.0 << 18.0 << 22.0;
    QTest::newRow("dipole-dipole") << 0.0 << 5.0 << 20.0 << 25.0;
    QTest::newRow("reversed M N") << 0.0 << 15.0 << 10.0 << 5.0;
    QTest::newRow("pole-dipole") << 10.0 << Inf << 25.0 << 30.0;
    QTest::newRow("pole-pole") << 10.0 << Inf << 17.0 << Inf;
}

void TestEarthModel::halfSpace()
{
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, m);
    QFETCH(double, n);
    for (const EarthModel& earth : {EarthModel(100.0, 0.0, 100.0), EarthModel(37.5, 12.0, 37.5)}) {
        const double rho = earth.topResistivity();
        const double r = earth.transferResistance(a, b, m, n);
        QVERIFY2(near(r, rho / TwoPi * EarthModel::geometricSum(a, b, m, n), 1e-12), qPrintable(QString::number(r)));
        QVERIFY(near(earth.apparentResistivity(a, b, m, n), rho, 1e-12));
    }
    // Wenner's factor is 2*pi*a.
    const EarthModel earth(250.0);
    QVERIFY(near(TwoPi * 5.0 * earth.transferResistance(0, 15, 5, 10), 250.0, 1e-9));
    // A layer of no thickness leaves the half-space of the given resistivity.
    QVERIFY(near(EarthModel(10.0, 0.0, 400.0).apparentResistivity(a, b, m, n), 10.0, 1e-12));
}

void TestEarthModel::twoLayerLimits()
{
    auto wenner = [](const EarthModel& earth, double spacing) {
        return earth.apparentResistivity(0.0, 3 * spacing, spacing, 2 * spacing);
    };
    const EarthModel resistiveBottom(20.0, 5.0, 500.0);
    const EarthModel conductiveBottom(300.0, 5.0, 30.0);
    QVERIFY(near(wenner(resistiveBottom, 0.05), 20.0, 1e-3));
    QVERIFY(near(wenner(conductiveBottom, 0.05), 300.0, 1e-3));
    QVERIFY(near(wenner(resistiveBottom, 5000.0), 500.0, 0.01));
    QVERIFY(near(wenner(conductiveBottom, 5000.0), 30.0, 0.01));
    // In between the apparent resistivity moves steadily from one layer to the other.
    double previous = wenner(resistiveBottom, 0.05);
    for (double s : {1.0, 3.0, 10.0, 30.0, 100.0}) {
        const double rho = wenner(resistiveBottom, s);
        QVERIFY2(rho > previous && rho < 500.0, qPrintable(QString::number(rho)));
        previous = rho;
    }
    // The potential falls off as 1/r far from the source, with the bottom resistivity.
    QVERIFY(near(resistiveBottom.potential(0.0, 1e4) * TwoPi * 1e4, 500.0, 0.01));
    QVERIFY(near(resistiveBottom.potential(3.0, 2.0), resistiveBottom.potential(1.0, 2.0), 1e-12));
}

void TestEarthModel::cleanSquareWaves()
{
    const EarthModel earth(80.0, 4.0, 300.0);
    RecordSpec spec;
    spec.pulse = 30;
    spec.pause = 20;
    spec.periods = 3;
    spec.generatorVoltage = 75.0;
    spec.a = 0.0;
    spec.b = 15.0;
    spec.mn = {{5.0, 10.0}, {20.0, 25.0}};
    const GeneratedRecord record = generateRecord(earth, spec);
    const int rows = 2 * (30 + 20) * 3;
    QCOMPARE(recordRows(spec), rows);
    QCOMPARE(record.current.size(), rows);
    QCOMPARE(record.voltage.size(), rows);
    QCOMPARE(record.channels.size(), 2);
    const double current = record.currentAmplitude;
    QVERIFY(current > 0.0);
    for (int c = 0; c < 2; ++c) {
        QCOMPARE(record.channels[c].size(), rows);
        const double r = earth.transferResistance(spec.a, spec.b, spec.mn[c].first, spec.mn[c].second);
        for (int t = 0; t < rows; ++t) {
            const int inPeriod = t % 100;
            const double sign = inPeriod < 30 ? 1.0 : (inPeriod >= 50 && inPeriod < 80 ? -1.0 : 0.0);
            QCOMPARE(record.channels[c][t], float(sign * current * r));
            if (c == 0) {
                QCOMPARE(record.current[t], float(sign * current));
                QCOMPARE(record.voltage[t], sign != 0.0 ? 75.0f : 0.0f);
            }
        }
    }
    RecordSpec empty;
    empty.pulse = empty.pause = 0;
    QCOMPARE(generateRecord(earth, empty).current.size(), 0);
}

void TestEarthModel::currentFromTheCircuit()
{
    const EarthModel earth(50.0);
    const double grounding = 50.0 / (TwoPi * 0.05);
    RecordSpec spec;
    spec.generatorVoltage = 100.0;
    spec.contactA = 800.0;
    spec.contactB = 20000.0;
    QVERIFY(near(injectedCurrent(earth, spec), 100.0 / (20800.0 + 2 * grounding), 1e-12));
    spec.b = Inf;
    QVERIFY(near(injectedCurrent(earth, spec), 100.0 / (800.0 + grounding), 1e-12));
    spec.a = Inf;
    QCOMPARE(injectedCurrent(earth, spec), 0.0);
    spec.fixedCurrent = 0.25;
    QCOMPARE(injectedCurrent(earth, spec), 0.25);
}

void TestEarthModel::polarisationSuperposition()
{
    RecordSpec spec;
    spec.pulse = 40;
    spec.pause = 60;
    spec.periods = 2;
    spec.chargeability = 0.2;
    spec.decayTime = 15.0;
    const double current = 0.5, r = 3.0;
    const GeneratedRecord record = generateRecord(spec, current, {r});
    // Steps of the waveform: +I at 0, -I at 40, -I at 100, +I at 140, +I at 200, ...
    auto direct = [&](int t) {
        double u = 0.0;
        for (int s = 0; s <= t; ++s) {
            const int half = s / 100, in = s % 100;
            double step = 0.0;
            if (in == 0)
                step = half % 2 == 0 ? current : -current;
            else if (in == 40)
                step = half % 2 == 0 ? -current : current;
            if (step != 0.0)
                u += step * r * ((1 - spec.chargeability) + spec.chargeability * (1 - std::exp(-(t - s) / 15.0)));
        }
        return u;
    };
    for (int t : {0, 1, 39, 40, 41, 55, 99, 100, 120, 145, 230, 399}) {
        QVERIFY2(std::abs(record.channels[0][t] - direct(t)) < 1e-6,
                 qPrintable(QStringLiteral("row %1: %2 vs %3").arg(t).arg(record.channels[0][t]).arg(direct(t))));
    }
    // The secondary voltage right after switch-off is m times the primary, then decays.
    QVERIFY(near(record.channels[0][40], 0.2 * current * r * (1 - std::exp(-40 / 15.0)), 1e-5));
    QVERIFY(std::abs(record.channels[0][99]) < std::abs(record.channels[0][41]) * 0.05);
}

void TestEarthModel::driftAndSeededNoise()
{
    RecordSpec spec;
    spec.periods = 3;
    spec.drift0 = 0.01;
    spec.drift1 = 2e-6;
    spec.drift2 = -1e-10;
    const GeneratedRecord drifting = generateRecord(spec, 0.1, {2.0});
    for (int t : {600, 1700, 5999})
        QVERIFY(near(drifting.channels[0][t], 0.01 + 2e-6 * t - 1e-10 * double(t) * t, 1e-6));

    spec.drift0 = spec.drift1 = spec.drift2 = 0.0;
    spec.noise = 1e-3;
    spec.seed = 11;
    const GeneratedRecord a = generateRecord(spec, 0.1, {2.0, 4.0});
    const GeneratedRecord again = generateRecord(spec, 0.1, {2.0, 4.0});
    spec.seed = 12;
    const GeneratedRecord other = generateRecord(spec, 0.1, {2.0, 4.0});
    QCOMPARE(a.channels, again.channels);
    QCOMPARE(a.current, again.current);
    QVERIFY(a.channels != other.channels);
    const QVector<float> clean = generateRecord(RecordSpec(), 0.1, {4.0}).channels[0];
    double sum2 = 0.0, currentSum2 = 0.0;
    for (int t = 0; t < clean.size(); ++t) {
        sum2 += std::pow(a.channels[1][t] - clean[t], 2);
        currentSum2 += std::pow(a.current[t] - clean[t] / 4.0, 2);
    }
    QVERIFY(near(std::sqrt(sum2 / clean.size()), 1e-3, 0.05));
    QVERIFY(near(std::sqrt(currentSum2 / clean.size()), 1e-4, 0.05));
}

QTEST_GUILESS_MAIN(TestEarthModel)
#include "tst_earthmodel.moc"
