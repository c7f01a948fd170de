#include "measurement/tervexcalculator.h"
#include "tests/measurement/calculatorfixture.h"
#include "testsupport.h"
#include "tools/stationsim/earthmodel.h"
#include "tools/stationsim/recordgenerator.h"

#include <QtTest>

#include <cmath>
#include <limits>

// Records from the earth model, without noise, through the calculator as a survey feeds it.
namespace {

constexpr double Spacing = 5.0;
// Electrode k of the cable sits at x = (k - 1) * Spacing - LineCentre: half the line is negative.
constexpr double LineCentre = 60.0;
const double Infinity = std::numeric_limits<double>::infinity();

struct Quadrupole
{
    int a, b, m, n;
};

double position(int electrode, double spacing = Spacing)
{
    return electrode == Electrodes::None ? Infinity : (electrode - 1) * spacing - LineCentre;
}

ElectrodeMap line(double spacing = Spacing)
{
    ElectrodeMap map;
    for (int k = 1; k <= Electrodes::Count; ++k)
        map.insert(k, ElectrodePosition{float(position(k, spacing)), 0.0f, 0.0f});
    return map;
}

RecordSpec spec(const Quadrupole& q, int pulse, int periods, double spacing = Spacing)
{
    RecordSpec s;
    s.pulse = s.pause = pulse;
    s.periods = periods;
    s.a = position(q.a, spacing);
    s.b = position(q.b, spacing);
    s.mn = {{position(q.m, spacing), position(q.n, spacing)}};
    return s;
}

ChannelResult calculated(const GeneratedRecord& record, const RecordSpec& s, const Quadrupole& q,
                         double spacing = Spacing)
{
    TervexCalculator calculator;
    calculator.setTiming(s.pulse, s.pause, s.periods, float(s.generatorVoltage), line(spacing));
    calculator.setReference(q.a, q.b, record.current, record.voltage);
    calculator.addChannel(1, q.m, q.n, record.channels.value(0));
    calculator.calculate();
    return calculator.channelResults().value(1);
}

} // namespace

using CalculatorFixture::relativelyClose;

Q_DECLARE_METATYPE(Quadrupole)

class TestCalculatorPhysics : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::isolateSettings(); }

    void halfSpace_data();
    void halfSpace();
    void twoLayerEarth();
    void selfPotentialDrift_data();
    void selfPotentialDrift();
    void chargeabilityOfThePolarisedEarth();
};

void TestCalculatorPhysics::halfSpace_data()
{
    QTest::addColumn<Quadrupole>("q");
    QTest::addColumn<int>("pulse");
    QTest::addColumn<int>("periods");
    const QVector<QPair<const char*, Quadrupole>> quadrupoles = {
        {"Wenner", {5, 8, 6, 7}},
        {"Wenner, negative side", {1, 4, 2, 3}},
        {"Schlumberger", {3, 21, 11, 13}},
        {"dipole-dipole", {10, 9, 12, 13}},
        {"B at infinity", {20, 0, 22, 23}},
    };
    for (const auto& entry : quadrupoles) {
        for (int periods : {1, 2, 3, 8})
            QTest::addRow("%s, %d periods", entry.first, periods) << entry.second << 500 << periods;
        QTest::addRow("%s, pulse 150", entry.first) << entry.second << 150 << 3;
    }
}

void TestCalculatorPhysics::halfSpace()
{
    QFETCH(Quadrupole, q);
    QFETCH(int, pulse);
    QFETCH(int, periods);
    const EarthModel earth(100.0, 0.0, 100.0);
    const RecordSpec s = spec(q, pulse, periods);
    const GeneratedRecord record = generateRecord(earth, s);
    const ChannelResult r = calculated(record, s, q);
    QVERIFY2(relativelyClose(r.resistivity, 100.0, 1e-3), qPrintable(QString::number(r.resistivity, 'g', 8)));
    QVERIFY(std::fabs(r.scatter) < 1e-2);
}

// A conductive half-space under a resistive top layer: Wenner soundings of growing spacing.
void TestCalculatorPhysics::twoLayerEarth()
{
    const double top = 100.0, thickness = 4.0, bottom = 20.0, spacing = 1.0;
    const EarthModel earth(top, thickness, bottom);
    QVector<double> readings;
    for (int a : {1, 3, 8, 15}) {
        const Quadrupole q{1, 1 + 3 * a, 1 + a, 1 + 2 * a};
        const RecordSpec s = spec(q, 400, 3, spacing);
        const ChannelResult r = calculated(generateRecord(earth, s), s, q, spacing);
        const double expected =
            earth.apparentResistivity(s.a, s.b, s.mn.at(0).first, s.mn.at(0).second);
        QVERIFY2(relativelyClose(r.resistivity, expected, 5e-3),
                 qPrintable(QStringLiteral("a = %1: %2 vs %3").arg(a).arg(r.resistivity).arg(expected)));
        readings.append(r.resistivity);
    }
    QVERIFY(std::fabs(readings.first() - top) < 0.1 * top);
    QVERIFY(std::fabs(readings.last() - bottom) < std::fabs(readings.last() - top));
    for (int i = 1; i < readings.size(); ++i)
        QVERIFY(readings[i] < readings[i - 1]);
}

void TestCalculatorPhysics::selfPotentialDrift_data()
{
    QTest::addColumn<int>("pulse");
    QTest::addColumn<int>("periods");
    for (int periods : {3, 4, 8}) {
        QTest::addRow("pulse 500, %d periods", periods) << 500 << periods;
        QTest::addRow("pulse 100, %d periods", periods) << 100 << periods;
    }
}

void TestCalculatorPhysics::selfPotentialDrift()
{
    QFETCH(int, pulse);
    QFETCH(int, periods);
    const EarthModel earth;
    const Quadrupole q{5, 8, 6, 7};
    RecordSpec s = spec(q, pulse, periods);
    const ChannelResult still = calculated(generateRecord(earth, s), s, q);
    const double rows = recordRows(s);
    s.drift0 = 0.03;
    s.drift1 = 0.02 / rows;
    s.drift2 = -0.05 / (rows * rows);
    const ChannelResult drifting = calculated(generateRecord(earth, s), s, q);
    QVERIFY2(relativelyClose(drifting.voltage, still.voltage, 1e-6),
             qPrintable(QString::number(drifting.voltage / still.voltage - 1.0, 'g', 6)));
}

// Seigel's model over the half-space: the whole-window and decay-window values the window
// definitions imply.
void TestCalculatorPhysics::chargeabilityOfThePolarisedEarth()
{
    const EarthModel earth;
    const Quadrupole q{5, 8, 6, 7};
    RecordSpec s = spec(q, 2000, 3);
    s.chargeability = 0.04;
    s.decayTime = 150.0;
    const GeneratedRecord record = generateRecord(earth, s);
    const ChannelResult r = calculated(record, s, q);

    const double ir = record.currentAmplitude * earth.transferResistance(s.a, s.b, s.mn[0].first, s.mn[0].second);
    const CalculatorFixture::SeigelWindows model{ir, s.chargeability, s.decayTime, s.pulse};
    auto on = [&](int t0, int count) { return model.on(t0, count); };
    auto off = [&](int t0, int count) { return model.off(t0, count); };
    const int whole = s.pulse - 32;
    const int g = whole / 20;
    QVERIFY(relativelyClose(std::fabs(r.primary), std::fabs(on(16, whole)), 1e-5));
    QVERIFY(relativelyClose(r.chargeability, off(16, whole) / on(16, whole) * 100.0, 1e-3));
    const double last = on(16 + 19 * g, g);
    for (int j = 0; j < 20; ++j) {
        const double expected = off(16 + j * g, g) / last * 100.0;
        QVERIFY2(relativelyClose(r.decayCurve[j], expected, 2e-3),
                 qPrintable(QStringLiteral("window %1: %2 vs %3").arg(j).arg(r.decayCurve[j]).arg(expected)));
    }
    // The apparent resistivity reads the polarised earth's steady level.
    QVERIFY(relativelyClose(r.resistivity, 100.0, 1e-3));
}

QTEST_GUILESS_MAIN(TestCalculatorPhysics)
#include "tst_calculatorphysics.moc"
