#include "measurement/tervexcalculator.h"
#include "tests/measurement/calculatorfixture.h"
#include "testsupport.h"
#include "tools/stationsim/earthmodel.h"
#include "tools/stationsim/recordgenerator.h"

#include <QtTest>

#include <cmath>

namespace {

ChannelResult calculated(int pulse, int periods, const QVector<float>& current, const QVector<float>& voltage,
                         const QVector<float>& channel)
{
    TervexCalculator calculator;
    calculator.setTiming(pulse, pulse, periods, 50.0f, ElectrodeMap());
    calculator.setReference(1, 4, current, voltage);
    calculator.addChannel(1, 2, 3, channel);
    calculator.calculate();
    return calculator.channelResults().value(1);
}

} // namespace

// The deviation of the period amplitudes must show the noise of a record, also when the record
// has only two periods, while the drift removal keeps a clean record's amplitude exact.
class CalculatorDeviationTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }

    void cleanRecordWithDriftGivesTheAmplitude_data();
    void cleanRecordWithDriftGivesTheAmplitude();
    void twoPeriodDeviationFollowsTheNoise();
};

void CalculatorDeviationTest::cleanRecordWithDriftGivesTheAmplitude_data()
{
    QTest::addColumn<int>("periods");
    QTest::newRow("two periods, linear drift") << 2;
    QTest::newRow("three periods") << 3;
    QTest::newRow("six periods") << 6;
}

void CalculatorDeviationTest::cleanRecordWithDriftGivesTheAmplitude()
{
    QFETCH(int, periods);
    constexpr int Pulse = 100;
    constexpr double Amplitude = 0.25;
    QVector<float> channel = CalculatorFixture::squareWave(Pulse, Pulse, periods, Amplitude);
    // A two-period record is fitted with a linear drift, longer ones with a quadratic.
    for (int t = 0; t < channel.size(); ++t)
        channel[t] += float(0.01 + 2e-5 * t + (periods > 2 ? 1e-9 * t * t : 0.0));
    const QVector<float> current = CalculatorFixture::squareWave(Pulse, Pulse, periods, 0.1);
    const QVector<float> voltage = CalculatorFixture::generatorWave(Pulse, Pulse, periods, 50.0);
    const ChannelResult r = calculated(Pulse, periods, current, voltage, channel);
    QVERIFY2(std::fabs(r.voltage - Amplitude) < 1e-5, qPrintable(QString::number(r.voltage, 'g', 9)));
    QVERIFY(std::fabs(r.scatter) < 1e-3);
}

void CalculatorDeviationTest::twoPeriodDeviationFollowsTheNoise()
{
    // Each level is the mean of LevelWindow samples, so its noise is sigma / sqrt(LevelWindow).
    // With four levels and a linear drift one residual remains, rho ~ N(0, sigma_L^2 / 4), and
    // the deviation is 100 |rho| / (sqrt(2) U): its mean is 100 sigma_L / (2 sqrt(pi) U).
    constexpr int Pulse = 100, Periods = 2, Records = 300;
    const EarthModel earth(100.0, 0.0, 100.0);
    RecordSpec s;
    s.pulse = s.pause = Pulse;
    s.periods = Periods;
    s.a = 0.0;
    s.b = 15.0;
    s.mn = {{5.0, 10.0}};
    const GeneratedRecord clean = generateRecord(earth, s);
    const double amplitude = calculated(Pulse, Periods, clean.current, clean.voltage, clean.channels.value(0)).voltage;
    QVERIFY(amplitude > 0.0);
    s.noise = 0.02 * amplitude;
    const double levelNoise = s.noise / std::sqrt(double(TervexCalculator::LevelWindow));
    const double expected = 100.0 * levelNoise / (2.0 * std::sqrt(M_PI) * amplitude);

    double sum = 0.0;
    for (int i = 0; i < Records; ++i) {
        s.seed = quint32(1000 + i);
        const GeneratedRecord record = generateRecord(earth, s);
        sum += calculated(Pulse, Periods, record.current, record.voltage, record.channels.value(0)).scatter;
    }
    const double mean = sum / Records;
    // The mean of 300 half-normal values lies within 15 % of its expectation (more than 3 standard errors).
    qInfo("mean deviation %.4f %%, expected %.4f %%", mean, expected);
    QVERIFY2(std::fabs(mean - expected) < 0.15 * expected,
             qPrintable(QStringLiteral("mean deviation %1 %, expected %2 %").arg(mean).arg(expected)));
}

QTEST_MAIN(CalculatorDeviationTest)
#include "tst_calculatordeviation.moc"
