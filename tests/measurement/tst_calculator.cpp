#include "measurement/tervexcalculator.h"
#include "tests/measurement/calculatorfixture.h"
#include "tests/station/stderrcapture.h"
#include "testsupport.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace CalculatorFixture;

namespace {

const QString InvalidInterval = QStringLiteral("TervexCalculator::average(): invalid interval");
constexpr double Pi = 3.141592653589793;

struct Run
{
    int pulse = 100;
    int pause = 100;
    int repeats = 1;
    double currentAmplitude = 0.5;
    ElectrodeMap electrodes;
    int a = 0, b = 0, m = 0, n = 0;
};

TervexCalculator calculated(const Run& run, const QVector<float>& channel)
{
    TervexCalculator calculator;
    calculator.setTiming(run.pulse, run.pause, run.repeats, 50.0f, run.electrodes);
    calculator.setReference(run.a, run.b, squareWave(run.pulse, run.pause, run.repeats, run.currentAmplitude),
                            generatorWave(run.pulse, run.pause, run.repeats, 50.0));
    calculator.addChannel(1, run.m, run.n, channel);
    calculator.calculate();
    return calculator;
}

ChannelResult channelResult(const Run& run, const QVector<float>& channel)
{
    const QMap<int, ChannelResult> results = calculated(run, channel).channelResults();
    return results.value(1);
}

QVector<float> noise(int count, quint32 seed)
{
    QRandomGenerator random(seed);
    QVector<float> out(count);
    for (float& v : out)
        v = float(random.generateDouble() * 2.0 - 1.0);
    return out;
}

} // namespace

class TestCalculator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::isolateSettings(); }

    void averageIntervals_data();
    void averageIntervals();
    void geometricFactorTextbook_data();
    void geometricFactorTextbook();
    void geometricFactorZeroRules();
    void geometricFactorInCalculate();
    void formatValue_data();
    void formatValue();
    void levelWindows_data();
    void levelWindows();
    void referenceValues();
    void fastFilterMatchesWholeRecord_data();
    void fastFilterMatchesWholeRecord();
    void detrendKeepsSquareWave_data();
    void detrendKeepsSquareWave();
    void chargeabilityConditions();
    void decayWindowsFollowTheIpFormula();
    void degenerateRecords();
    void recordLifecycle();
};

void TestCalculator::averageIntervals_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<double>("expected");
    QTest::addColumn<bool>("message");
    // Samples are 0, 1, ..., 9.
    QTest::newRow("inside") << 2 << 5 << 3.0 << false;
    QTest::newRow("empty") << 4 << 4 << 0.0 << false;
    QTest::newRow("empty at the end") << 10 << 10 << 0.0 << false;
    QTest::newRow("up to the last but one") << 0 << 9 << 4.0 << false;
    QTest::newRow("end equals the size") << 5 << 10 << 0.0 << true;
    QTest::newRow("past the end") << 8 << 14 << 0.0 << true;
    QTest::newRow("start past the end") << 12 << 14 << 0.0 << true;
    QTest::newRow("before the first sample") << -3 << 2 << 0.0 << true;
    QTest::newRow("reversed") << 6 << 3 << 0.0 << true;
}

void TestCalculator::averageIntervals()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(double, expected);
    QFETCH(bool, message);
    QVector<float> floats;
    QVector<double> doubles;
    for (int i = 0; i < 10; ++i) {
        floats.append(float(i));
        doubles.append(double(i));
    }
    StderrCapture capture;
    QCOMPARE(TervexCalculator::average(floats, from, to), expected);
    QCOMPARE(TervexCalculator::average(doubles, from, to), expected);
    QCOMPARE(TervexCalculator::filteredAverage(floats, from, to) == 0.0, expected == 0.0);
    const QStringList lines = capture.lines();
    QCOMPARE(lines.size(), message ? 3 : 0);
    QCOMPARE(lines.count(InvalidInterval), lines.size());
}

void TestCalculator::geometricFactorTextbook_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("m");
    QTest::addColumn<double>("n");
    QTest::addColumn<double>("expected");
    const double s = 5.0;
    QTest::newRow("Wenner") << 0.0 << 3 * s << s << 2 * s << 2 * Pi * s;
    QTest::newRow("Wenner, line centred on 0") << -1.5 * s << 1.5 * s << -0.5 * s << 0.5 * s << 2 * Pi * s;
    QTest::newRow("Wenner, M and N swapped") << 0.0 << 3 * s << 2 * s << s << 2 * Pi * s;
    for (int nn : {1, 2, 4}) {
        // B A  M N, dipoles of length s, n*s between A and M.
        QTest::addRow("dipole-dipole n=%d", nn) << s << 0.0 << s + nn * s << 2 * s + nn * s
                                                << Pi * nn * (nn + 1) * (nn + 2) * s;
        QTest::addRow("dipole-dipole n=%d, negative side", nn) << -s << 0.0 << -s - nn * s << -2 * s - nn * s
                                                               << Pi * nn * (nn + 1) * (nn + 2) * s;
        QTest::addRow("pole-dipole n=%d", nn) << TervexCalculator::InfinityMarker << 0.0 << nn * s << (nn + 1) * s
                                              << 2 * Pi * nn * (nn + 1) * s;
    }
    for (double p : {10.0, 25.0}) {
        const double q = 4.0;
        QTest::addRow("Schlumberger p=%g", p) << -p << p << -q / 2 << q / 2
                                              << (Pi * p * p / q) * (1 - q * q / (4 * p * p));
    }
    const double example = 2 * Pi / (1.0 / 3 - 1.0 / 6 - 1.0 / 7 + 1.0 / 4);
    QTest::newRow("0 10 3 6") << 0.0 << 10.0 << 3.0 << 6.0 << example;
}

void TestCalculator::geometricFactorTextbook()
{
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, m);
    QFETCH(double, n);
    QFETCH(double, expected);
    QVERIFY2(relativelyClose(TervexCalculator::geometricFactor(a, b, m, n), expected, 1e-12),
             qPrintable(QString::number(TervexCalculator::geometricFactor(a, b, m, n), 'g', 17)));
}

void TestCalculator::geometricFactorZeroRules()
{
    const double inf = TervexCalculator::InfinityMarker;
    QCOMPARE(TervexCalculator::geometricFactor(0, 10, 5, 5), 0.0);
    QCOMPARE(TervexCalculator::geometricFactor(0, 0, 5, 10), 0.0);
    QCOMPARE(TervexCalculator::geometricFactor(5, 10, 5, 15), 0.0);
    QCOMPARE(TervexCalculator::geometricFactor(0, 10, 15, 10), 0.0);
    QCOMPARE(TervexCalculator::geometricFactor(0, 10, inf, 5), 0.0);
    QCOMPARE(TervexCalculator::geometricFactor(0, 10, 5, inf), 0.0);
    // Electrode 0 arrives as a distant electrode, not as the marker: close to the pole-dipole value.
    const double far = TervexCalculator::geometricFactor(0, TervexCalculator::InfinityPosition, 5, 10);
    QVERIFY(relativelyClose(far, 2 * Pi * 1 * 2 * 5, 1e-3));
    QVERIFY(far != 2 * Pi * 10);
}

void TestCalculator::geometricFactorInCalculate()
{
    Run run;
    run.pulse = run.pause = 100;
    const QVector<float> channel = squareWave(run.pulse, run.pause, 1, 0.01);

    // No electrode positions: K = 0 and the "resistivity" is the resistance U_mn / I.
    ChannelResult r = channelResult(run, channel);
    QCOMPARE(r.geometricFactor, 0.0f);
    QVERIFY(relativelyClose(r.resistivity, 0.01 / 0.5, 1e-6));

    // A Wenner quadrupole on negative positions.
    for (int e = 1; e <= 4; ++e)
        run.electrodes.insert(e, ElectrodePosition{float(-20 + 5 * (e - 1)), 1.0f, 2.0f});
    run.a = 1, run.m = 2, run.n = 3, run.b = 4;
    r = channelResult(run, channel);
    QVERIFY(relativelyClose(r.geometricFactor, 2 * Pi * 5, 1e-6));
    QVERIFY(relativelyClose(r.resistivity, 2 * Pi * 5 * 0.01 / 0.5, 1e-6));
    QCOMPARE(r.m, 2);
    QCOMPARE(r.n, 3);

    // B = 0 is at infinity: nearly the pole-dipole factor 2 pi n (n + 1) a with n = 1.
    run.b = 0;
    r = channelResult(run, channel);
    QVERIFY(relativelyClose(r.geometricFactor, 2 * Pi * 2 * 5, 1e-3));

    // An electrode missing from the map sits at 0: here A at 0, M at -15, N at -10, B at -5.
    run.a = 7, run.b = 4;
    r = channelResult(run, channel);
    QVERIFY(relativelyClose(r.geometricFactor, TervexCalculator::geometricFactor(0, -5, -15, -10), 1e-6));
}

void TestCalculator::formatValue_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<float>("scale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("half") << 12.5f << 1.0f << QStringLiteral("12.5");
    QTest::newRow("whole") << 3.0f << 1.0f << QStringLiteral("3");
    QTest::newRow("tens") << 100.0f << 1.0f << QStringLiteral("100");
    QTest::newRow("zero") << 0.0f << 1000.0f << QStringLiteral("0");
    QTest::newRow("milli") << 0.0125f << 1000.0f << QStringLiteral("12.5");
    QTest::newRow("rounded") << 1.23456f << 1.0f << QStringLiteral("1.235");
    QTest::newRow("negative") << -2.25f << 1.0f << QStringLiteral("-2.25");
    QTest::newRow("small") << 0.0004f << 1.0f << QStringLiteral("0");
}

void TestCalculator::formatValue()
{
    QFETCH(float, value);
    QFETCH(float, scale);
    QFETCH(QString, expected);
    QCOMPARE(TervexCalculator::formatValue(value, scale), expected);
}

void TestCalculator::levelWindows_data()
{
    QTest::addColumn<int>("pulse");
    QTest::addColumn<int>("windowStart");
    QTest::newRow("199") << 199 << 174;
    QTest::newRow("200") << 200 << 120;
    QTest::newRow("2000") << 2000 << 1920;
}

// The channel holds 1 only around its level window and a large value elsewhere, so only the
// right window (with the filter's reach of 32 samples when filtered) gives exactly 1.
void TestCalculator::levelWindows()
{
    QFETCH(int, pulse);
    QFETCH(int, windowStart);
    QCOMPARE(TervexCalculator::levelWindowStart(pulse), windowStart);
    const int reach = pulse >= TervexCalculator::FilteredPulse ? 32 : 0;
    auto shape = [=](int t) {
        return t >= windowStart - reach && t < windowStart + 20 + reach ? 1.0 : 50.0;
    };
    Run run;
    run.pulse = run.pause = pulse;
    const ChannelResult r = channelResult(run, squareWave(pulse, pulse, 1, shape, shape));
    QVERIFY2(relativelyClose(r.voltage, 1.0, 1e-6), qPrintable(QString::number(r.voltage)));

    // One sample just outside the filter's reach (filtered: 31 before, 32 after the window) or
    // the window (raw) changes nothing, one just inside does.
    const int below = pulse >= TervexCalculator::FilteredPulse ? 31 : 0;
    const int above = pulse >= TervexCalculator::FilteredPulse ? 32 : 0;
    const QVector<float> plain = squareWave(pulse, pulse, 1, shape, shape);
    const QVector<QPair<int, bool>> probes = {{windowStart - below - 1, false}, {windowStart - below, true},
                                              {windowStart + 19 + above, true}, {windowStart + 20 + above, false}};
    for (const auto& probe : probes) {
        QVector<float> x = plain;
        x[probe.first] = 1000.0f;
        QVERIFY2(relativelyClose(channelResult(run, x).voltage, 1.0, 1e-6) != probe.second,
                 qPrintable(QString::number(probe.first)));
    }
}

void TestCalculator::referenceValues()
{
    // Current with an offset in the pauses that the pause window removes; the generator voltage
    // keeps its sign. pulse < 200 and a pause of 300 use different windows.
    const int pulse = 150, pause = 300, repeats = 2;
    QVector<float> current = squareWave(pulse, pause, repeats, [](int) { return 0.25; });
    for (float& v : current)
        v += 0.01f;
    TervexCalculator calculator;
    calculator.setTiming(pulse, pause, repeats, 24.0f, {});
    calculator.setReference(1, 2, current, generatorWave(pulse, pause, repeats, 24.0));
    calculator.calculate();
    const CalculatorResult r = calculator.result();
    QVERIFY(relativelyClose(r.current, 0.25, 1e-6));
    QVERIFY(relativelyClose(r.voltage, 24.0, 1e-6));
    QVERIFY(relativelyClose(r.resistance, 96.0, 1e-6));
}

void TestCalculator::fastFilterMatchesWholeRecord_data()
{
    QTest::addColumn<int>("pulse");
    QTest::addColumn<int>("periods");
    for (int pulse : {150, 200, 777})
        for (int periods : {1, 2, 8})
            QTest::addRow("pulse %d, %d periods", pulse, periods) << pulse << periods;
}

void TestCalculator::fastFilterMatchesWholeRecord()
{
    QFETCH(int, pulse);
    QFETCH(int, periods);
    const int pause = pulse;
    QVector<float> x = squareWave(pulse, pause, periods, 0.2);
    const QVector<float> jitter = noise(x.size(), quint32(pulse * 10 + periods));
    for (int i = 0; i < x.size(); ++i)
        x[i] += 0.05f * jitter[i];
    const bool filtered = pulse >= TervexCalculator::FilteredPulse;
    QVector<double> reference(x.size());
    if (filtered) {
        reference = wholeRecordFilter(x);
    } else {
        for (int i = 0; i < x.size(); ++i)
            reference[i] = x[i];
    }

    // Every level window, and windows at both record edges where the filter runs out of inputs.
    // Memory just past the last sample holds large values, so a read outside the record shows.
    QVector<float> padded = x;
    padded.append(QVector<float>(64, 1e6f));
    padded.resize(x.size());

    QVector<QPair<int, int>> windows;
    const int start = TervexCalculator::levelWindowStart(pulse);
    for (int half = 0; half < 2 * periods; ++half)
        windows.append({half * (pulse + pause) + start, half * (pulse + pause) + start + 20});
    windows.append({0, 20});
    windows.append({x.size() - 21, x.size() - 1});
    QVector<double> levels;
    for (const auto& w : windows) {
        const double fast = filtered ? TervexCalculator::filteredAverage(padded, w.first, w.second)
                                     : TervexCalculator::average(padded, w.first, w.second);
        const double whole = TervexCalculator::average(reference, w.first, w.second);
        QVERIFY2(relativelyClose(fast, whole, 1e-9),
                 qPrintable(QStringLiteral("window %1: %2 vs %3").arg(w.first).arg(fast).arg(whole)));
        levels.append(whole);
    }

    Run run;
    run.pulse = pulse;
    run.pause = pause;
    run.repeats = periods;
    const ChannelResult r = channelResult(run, x);
    if (periods == 1)
        QVERIFY(relativelyClose(r.voltage, 0.5 * std::fabs(levels[0] - levels[1]), 1e-6));
    else
        QVERIFY(relativelyClose(r.voltage, 0.2, 0.2));
}

void TestCalculator::detrendKeepsSquareWave_data()
{
    QTest::addColumn<int>("pulse");
    QTest::addColumn<int>("periods");
    for (int pulse : {120, 400})
        for (int periods : {2, 3, 5})
            QTest::addRow("pulse %d, %d periods", pulse, periods) << pulse << periods;
}

// Fitting the drift alone would shrink a clean square wave by 3 / (4 R^2 - 1).
void TestCalculator::detrendKeepsSquareWave()
{
    QFETCH(int, pulse);
    QFETCH(int, periods);
    const double v = 0.0375;
    Run run;
    run.pulse = run.pause = pulse;
    run.repeats = periods;
    const QVector<float> clean = squareWave(pulse, pulse, periods, v);
    ChannelResult r = channelResult(run, clean);
    QVERIFY2(relativelyClose(r.voltage, v, 1e-6), qPrintable(QString::number(r.voltage / v, 'g', 10)));
    QVERIFY(std::fabs(r.scatter) < 1e-3);
    QVERIFY(relativelyClose(r.primary, v, 1e-6));
    QVERIFY(std::fabs(r.secondary) < 1e-9);

    // A quadratic self-potential drift several times the signal.
    QVector<float> drifting = clean;
    const int n = drifting.size();
    addDrift(drifting, 0.2, -0.3 / n, 0.5 / (double(n) * n));
    r = channelResult(run, drifting);
    QVERIFY2(relativelyClose(r.voltage, v, 1e-6), qPrintable(QString::number(r.voltage / v, 'g', 10)));
    QVERIFY(relativelyClose(r.primary, v, 1e-6));
    QVERIFY(std::fabs(r.secondary) < 1e-6 * v);
}

void TestCalculator::chargeabilityConditions()
{
    auto allDecay = [](const ChannelResult& r, bool computed) {
        for (int i = 7; i < 67; ++i) {
            if ((r.value(i) == ChannelResult::NotComputed) == computed)
                return false;
        }
        return true;
    };
    Run run;
    run.repeats = 2;

    run.pulse = 200, run.pause = 199;
    ChannelResult r = channelResult(run, squareWave(run.pulse, run.pause, 2, 0.1));
    QVERIFY(r.voltage != ChannelResult::NotComputed);
    for (int i = 4; i < 67; ++i)
        QCOMPARE(r.value(i), ChannelResult::NotComputed);

    run.pulse = run.pause = 32;
    r = channelResult(run, squareWave(run.pulse, run.pause, 2, 0.1));
    QCOMPARE(r.primary, ChannelResult::NotComputed);

    run.pulse = run.pause = 51;
    r = channelResult(run, squareWave(run.pulse, run.pause, 2, 0.1));
    QVERIFY(relativelyClose(r.primary, 0.1, 1e-6));
    QCOMPARE(r.secondary, 0.0f);
    QCOMPARE(r.chargeability, 0.0f);
    QVERIFY(allDecay(r, false));

    run.pulse = 52, run.pause = 80;
    r = channelResult(run, squareWave(run.pulse, run.pause, 2, 0.1));
    QVERIFY(allDecay(r, true));
    QVERIFY(relativelyClose(r.primaryWindows[0], 0.1, 1e-6));

    // A zero primary amplitude leaves the chargeability unmarked instead of dividing by zero.
    r = channelResult(run, QVector<float>(2 * (52 + 80) * 2, 0.0f));
    QCOMPARE(r.chargeability, ChannelResult::NotComputed);
}

// The record superposes every switching step of Seigel's model; the expected window means come
// from the closed form of the last steps.
void TestCalculator::decayWindowsFollowTheIpFormula()
{
    const int pulse = 1000, pause = 1200, periods = 3;
    const double ir = 0.08, m = 0.06, tau = 60.0;
    QVector<float> channel;
    const int length = 2 * (pulse + pause) * periods;
    QVector<double> steps;     // signed current jumps (I = 1)
    QVector<int> stepTimes;
    for (int half = 0; half < 2 * periods; ++half) {
        const double sign = half % 2 == 0 ? 1.0 : -1.0;
        stepTimes << half * (pulse + pause) << half * (pulse + pause) + pulse;
        steps << sign << -sign;
    }
    for (int t = 0; t < length; ++t) {
        double u = 0.0;
        for (int k = 0; k < steps.size() && stepTimes[k] <= t; ++k)
            u += steps[k] * ir * (1.0 - m * std::exp(-(t - stepTimes[k]) / tau));
        channel.append(float(u));
    }

    const SeigelWindows model{ir, m, tau, pulse};
    auto on = [&](int t0, int count) { return model.on(t0, count); };
    auto off = [&](int t0, int count) { return model.off(t0, count); };
    const int whole = pulse - 32;
    const int g = whole / 20;

    Run run;
    run.pulse = pulse;
    run.pause = pause;
    run.repeats = periods;
    const ChannelResult r = channelResult(run, channel);
    QVERIFY2(relativelyClose(r.primary, on(16, whole), 1e-5), qPrintable(QString::number(r.primary)));
    QVERIFY2(relativelyClose(r.secondary, off(16, whole), 1e-4), qPrintable(QString::number(r.secondary)));
    QVERIFY(relativelyClose(r.chargeability, off(16, whole) / on(16, whole) * 100.0, 1e-4));
    const double last = on(16 + 19 * g, g);
    for (int j = 0; j < 20; ++j) {
        QVERIFY2(relativelyClose(r.primaryWindows[j], on(16 + j * g, g), 1e-5), qPrintable(QString::number(j)));
        QVERIFY2(relativelyClose(r.secondaryWindows[j], off(16 + j * g, g), 2e-3), qPrintable(QString::number(j)));
        QVERIFY(relativelyClose(r.decayCurve[j], off(16 + j * g, g) / last * 100.0, 2e-3));
    }
    // The decay curve falls with the window's distance from the switch-off.
    for (int j = 1; j < 20; ++j)
        QVERIFY(r.decayCurve[j] < r.decayCurve[j - 1]);
}

void TestCalculator::degenerateRecords()
{
    // No period at all: no channel result, line values 0.
    {
        TervexCalculator calculator;
        calculator.setTiming(100, 100, 0, 10.0f, {});
        calculator.setReference(1, 2, {}, {});
        calculator.addChannel(3, 1, 2, {});
        calculator.calculate();
        QVERIFY(calculator.channelResults().isEmpty());
        QCOMPARE(calculator.result().current, 0.0f);
        QCOMPARE(calculator.result().voltage, 0.0f);
    }
    // A channel shorter than one period is skipped; a complete one beside it is not.
    {
        TervexCalculator calculator;
        calculator.setTiming(100, 100, 2, 10.0f, {});
        calculator.setReference(1, 2, squareWave(100, 100, 2, 0.1), generatorWave(100, 100, 2, 10));
        calculator.addChannel(3, 1, 2, QVector<float>(399, 0.1f));
        calculator.addChannel(4, 1, 2, squareWave(100, 100, 2, 0.1));
        calculator.calculate();
        QCOMPARE(calculator.channelResults().keys(), QList<int>{4});
    }
    // A record cut short after one and a half periods: windows past the end report and count 0.
    {
        Run run;
        run.repeats = 3;
        TervexCalculator calculator;
        calculator.setTiming(100, 100, 3, 10.0f, {});
        calculator.setReference(1, 2, squareWave(100, 100, 3, 0.1).mid(0, 600), generatorWave(100, 100, 3, 10));
        calculator.addChannel(3, 1, 2, squareWave(100, 100, 3, 0.1).mid(0, 600));
        StderrCapture capture;
        calculator.calculate();
        const QStringList lines = capture.lines();
        QVERIFY(!lines.isEmpty());
        QCOMPARE(lines.count(InvalidInterval), lines.size());
        QVERIFY(calculator.channelResults().contains(3));
    }
    // Pulses shorter than the level window's lead: invalid intervals, never reads before 0.
    {
        Run run;
        run.pulse = run.pause = 20;
        StderrCapture capture;
        const ChannelResult r = channelResult(run, squareWave(20, 20, 1, 0.1));
        // The first pulse window of the current, the generator voltage and the channel.
        QCOMPARE(capture.lines(), QStringList(QVector<QString>(3, InvalidInterval).toList()));
        // The positive level counts 0; the negative window [35, 55) starts in the pause before it.
        QVERIFY(relativelyClose(r.voltage, 0.5 * 0.1 * 15 / 20, 1e-6));
    }
    // Zero current: the resistance and resistivity are stored as they come.
    {
        Run run;
        run.currentAmplitude = 0.0;
        TervexCalculator calculator = calculated(run, squareWave(100, 100, 1, 0.1));
        QVERIFY(std::isinf(calculator.result().resistance));
        QVERIFY(std::isinf(calculator.channelResults().value(1).resistivity));
        calculator = calculated(run, squareWave(100, 100, 1, 0.0));
        QVERIFY(std::isnan(calculator.channelResults().value(1).resistivity));
        QVERIFY(std::isnan(calculator.channelResults().value(1).scatter));
    }
}

void TestCalculator::recordLifecycle()
{
    TervexCalculator calculator;
    calculator.setTiming(100, 100, 1, 10.0f, {});
    calculator.setReference(1, 2, squareWave(100, 100, 1, 0.5), generatorWave(100, 100, 1, 10));
    calculator.addChannel(5, 3, 4, squareWave(100, 100, 1, 0.2));
    calculator.addChannel(5, 7, 8, squareWave(100, 100, 1, 0.9));
    calculator.addChannel(2, 9, 10, squareWave(100, 100, 1, 0.1));
    calculator.calculate();
    QMap<int, ChannelResult> results = calculator.channelResults();
    QCOMPARE(results.keys(), (QList<int>{2, 5}));
    QVERIFY(relativelyClose(results[5].voltage, 0.2, 1e-6));
    QCOMPARE(results[5].m, 3);
    QCOMPARE(results[5].n, 4);
    QCOMPARE(results[2].m, 9);

    calculator.setTiming(100, 100, 1, 10.0f, {});
    QVERIFY(calculator.channelResults().isEmpty());
    calculator.calculate();
    QVERIFY(calculator.channelResults().isEmpty());
}

QTEST_GUILESS_MAIN(TestCalculator)
#include "tst_calculator.moc"
