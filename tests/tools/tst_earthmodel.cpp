#include "testsupport.h"

#include "inversion/resistivityinversion.h"
#include "survey/sequencegenerator.h"
#include "tools/stationsim/earthmodel.h"
#include "tools/stationsim/groundmodel.h"
#include "tools/stationsim/recordgenerator.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <random>

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
    void groundFile_data();
    void groundFile();
    void groundResponses();
    void demoGroundInverts();
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

void TestEarthModel::groundFile_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    QTest::newRow("good") << "# a block\n\nbackground 120\n  rect 10 20 1.5 4 12 0.1  # clay\nrect -5 5 0 2 900\n"
                          << QString();
    QTest::newRow("no background") << "rect 10 20 1 4 12\n" << "no background line";
    QTest::newRow("second background") << "background 100\n\nbackground 50\n" << "line 3: a second background";
    QTest::newRow("unknown keyword") << "background 100\nblock 1 2 3 4 5\n" << "line 2: 'block' is neither";
    QTest::newRow("too few numbers") << "background 100\nrect 1 2 3 4\n" << "line 2: rect takes 5 or 6 numbers";
    QTest::newRow("not a number") << "background 1OO\n" << "line 1: '1OO' is not a number";
    QTest::newRow("x reversed") << "background 100\n# x\nrect 20 10 1 4 12\n" << "line 3: X0 must be less than X1";
    QTest::newRow("depths reversed") << "background 100\nrect 10 20 4 1 12\n" << "line 2: the depths";
    QTest::newRow("above the surface") << "background 100\nrect 10 20 -1 4 12\n" << "line 2: the depths";
    QTest::newRow("resistivity") << "background 0\n" << "line 1: the resistivity";
    QTest::newRow("chargeability") << "background 100 5\n" << "line 1: the chargeability";
}

void TestEarthModel::groundFile()
{
    QFETCH(QString, text);
    QFETCH(QString, error);
    GroundModel ground;
    QString reason;
    QCOMPARE(ground.parse(text, &reason), error.isEmpty());
    QVERIFY2(reason.startsWith(error), qPrintable(reason));
    if (error.isEmpty()) {
        QCOMPARE(ground.backgroundResistivity(), 120.0);
        QCOMPARE(ground.rects().size(), 2);
        QCOMPARE(ground.at(15.0, 2.0).resistivity, 12.0);
        QCOMPARE(ground.at(15.0, 2.0).chargeability, 0.1);
        QCOMPARE(ground.at(0.0, 1.0).chargeability, 0.0);
        QCOMPARE(ground.at(15.0, 5.0).resistivity, 120.0);
    }
}

namespace {

// The 48 electrodes of a line at 5 m, electrode k at index k - 1.
void line(std::vector<double>* x, std::vector<double>* z, const QVector<QPair<double, double>>& elevation = {})
{
    for (int k = 0; k < 48; ++k) {
        x->push_back(5.0 * k);
        z->push_back(SequenceGenerator::heightAt(elevation, x->back()));
    }
}

double apparent(const GroundModel& ground, const Quadrupole& q)
{
    const auto x = [](int e) { return e == Quadrupole::Remote ? Inf : 5.0 * e; };
    return TwoPi * ground.transferResistance(q) / EarthModel::geometricSum(x(q.a), x(q.b), x(q.m), x(q.n));
}

}

void TestEarthModel::groundResponses()
{
    std::vector<double> x, z;
    line(&x, &z);
    // No rectangle: the background, for every kind of array, and no chargeability.
    GroundModel uniform;
    QString error;
    QVERIFY(uniform.parse(QStringLiteral("background 80"), &error));
    QVERIFY(uniform.solve(x, z));
    for (const Quadrupole& q : {Quadrupole{10, 13, 11, 12}, Quadrupole{2, 17, 9, 10}, Quadrupole{20, 21, 24, 25},
                                Quadrupole{30, Quadrupole::Remote, 33, 34}, Quadrupole{0, 47, 23, 24}}) {
        QVERIFY2(near(apparent(uniform, q), 80.0, 0.01), qPrintable(QString::number(apparent(uniform, q))));
        QCOMPARE(uniform.apparentChargeability(q), 0.0);
    }
    QCOMPARE(uniform.transferResistance({10, 13, 10, 12}), HUGE_VAL);

    // A conductive, chargeable block under electrodes 20..26: the Wenner quadrupoles above it read
    // lower and more chargeable than those far from it, the chargeability below the block's own.
    GroundModel block;
    QVERIFY(block.parse(QStringLiteral("background 100 0.01\nrect 95 130 2 10 10 0.2"), &error));
    QVERIFY(block.solve(x, z));
    const Quadrupole above{19, 25, 21, 23}, far{36, 42, 38, 40};
    QVERIFY2(apparent(block, above) < 0.7 * apparent(block, far), qPrintable(QString::number(apparent(block, above))));
    QVERIFY(near(apparent(block, far), 100.0, 0.03));
    QVERIFY(block.apparentChargeability(above) > 2.0 * block.apparentChargeability(far));
    QVERIFY(near(block.apparentChargeability(far), 0.01, 0.05));
    QVERIFY(block.apparentChargeability(above) < 0.2);
}

// A survey of the demo ground, dipole-dipole on the sloping line, inverted: the blocks come back
// where they are.
void TestEarthModel::demoGroundInverts()
{
    GroundModel ground;
    QString error;
    QVERIFY2(ground.load(TestSupport::sourcePath(QStringLiteral("examples/demo-ground.txt")), &error), qPrintable(error));
    QVector<QPair<double, double>> elevation;
    QVERIFY(SequenceGenerator::readElevation(TestSupport::sourcePath(QStringLiteral("examples/demo-elevation.txt")),
                                             &elevation, &error));
    std::vector<double> x, z;
    line(&x, &z, elevation);
    QVERIFY(ground.solve(x, z));

    InversionInput input;
    for (size_t k = 0; k < x.size(); ++k)
        input.electrodes.append(ElectrodePosition{float(x[k]), 0.0f, float(z[k])});
    std::mt19937 random(5);
    std::normal_distribution<double> noise(0.0, 0.01);
    for (int a = 1; a <= 2; ++a) {
        for (int n = 1; n <= 6; ++n) {
            for (int i = 0; i + (n + 2) * a < 48; ++i) {
                const Quadrupole q{i, i + a, i + (n + 1) * a, i + (n + 2) * a};
                SurveyDatum d;
                d.electrodes = {q.a + 1, q.b + 1, q.m + 1, q.n + 1};
                d.a = input.electrodes.at(q.a);
                d.b = input.electrodes.at(q.b);
                d.m = input.electrodes.at(q.m);
                d.n = input.electrodes.at(q.n);
                d.current = 1.0;
                // As the station records it: the voltage's amplitude, a positive factor.
                d.voltage = std::fabs(ground.transferResistance(q)) * (1.0 + noise(random));
                const auto r = [&](int e, int f) { return std::fabs(x[size_t(e)] - x[size_t(f)]); };
                d.geometricFactor = 2.0 * M_PI / std::fabs(1.0 / r(q.a, q.m) - 1.0 / r(q.a, q.n) - 1.0 / r(q.b, q.m) + 1.0 / r(q.b, q.n));
                d.resistivity = d.voltage * d.geometricFactor;
                d.deviation = 1.0;
                input.data.append(d);
            }
        }
    }
    const InversionResult result = ResistivityInversion::run(input, InversionSettings());
    QVERIFY2(result.ok(), qPrintable(result.error));
    // The centres of the cells well below and well above the background, below the surface.
    const auto centre = [&](bool conductive) {
        double sx = 0.0, sd = 0.0, sw = 0.0;
        for (const ModelCell& cell : result.cells) {
            const double w = conductive ? std::log(50.0 / cell.resistivity) : std::log(cell.resistivity / 200.0);
            if (w > 0.0) {
                sx += w * cell.x;
                sd += w * (SequenceGenerator::heightAt(elevation, cell.x) - cell.z);
                sw += w;
            }
        }
        return sw > 0.0 ? QPointF(sx / sw, sd / sw) : QPointF(-1e9, -1e9);
    };
    const QPointF conductive = centre(true), resistive = centre(false);
    QVERIFY2(std::hypot(conductive.x() - 75.0, conductive.y() - 9.0) < 5.0,
             qPrintable(QStringLiteral("%1 %2").arg(conductive.x()).arg(conductive.y())));
    QVERIFY2(std::hypot(resistive.x() - 162.5, resistive.y() - 7.5) < 7.5,
             qPrintable(QStringLiteral("%1 %2").arg(resistive.x()).arg(resistive.y())));
}

QTEST_GUILESS_MAIN(TestEarthModel)
#include "tst_earthmodel.moc"
