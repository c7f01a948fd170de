// TervexCalculator::calculate() on a 10-channel record (pulse 2000, pause 2000, 4 periods:
// 32 000 samples per stream) against two references: the same work with every channel first
// low-pass filtered over the whole record, and one plain pass that only sums every sample
// (reading the data once, the floor).

#include "measurement/tervexcalculator.h"
#include "tests/measurement/calculatorfixture.h"

#include <QElapsedTimer>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int Channels = 10;
constexpr int Pulse = 2000, Pause = 2000, Periods = 4;
constexpr int Runs = 21;

struct Record
{
    QVector<float> current;
    QVector<float> voltage;
    QVector<QVector<float>> channels;
};

Record makeRecord()
{
    using namespace CalculatorFixture;
    Record r;
    r.current = squareWave(Pulse, Pause, Periods, 0.05);
    r.voltage = generatorWave(Pulse, Pause, Periods, 50.0);
    for (int c = 0; c < Channels; ++c) {
        const double level = 0.01 * (c + 1);
        const double tau = 100.0 + 20.0 * c;
        QVector<float> x = squareWave(Pulse, Pause, Periods, [=](int t) { return level * (1.0 - 0.03 * std::exp(-t / tau)); },
                                      [=](int t) { return level * 0.03 * std::exp(-t / tau); });
        addDrift(x, 1e-3 * c, 1e-7, -1e-12);
        r.channels.append(x);
    }
    return r;
}

ElectrodeMap line()
{
    ElectrodeMap map;
    for (int k = 1; k <= Electrodes::Count; ++k)
        map.insert(k, ElectrodePosition{float(5 * (k - 1)), 0.0f, 0.0f});
    return map;
}

double calculate(const Record& r, const ElectrodeMap& electrodes)
{
    TervexCalculator calculator;
    calculator.setTiming(Pulse, Pause, Periods, 50.0f, electrodes);
    calculator.setReference(1, 4, r.current, r.voltage);
    for (int c = 0; c < Channels; ++c)
        calculator.addChannel(c + 1, 2 + c, 3 + c, r.channels[c]);
    calculator.calculate();
    double check = calculator.result().resistance;
    for (const ChannelResult& result : calculator.channelResults())
        check += result.resistivity + result.chargeability;
    return check;
}

// What calculate() cost when every channel was filtered over the whole record first.
double calculateWholeRecord(const Record& r, const ElectrodeMap& electrodes)
{
    double check = 0.0;
    for (const QVector<float>& x : r.channels) {
        const QVector<double> filtered = CalculatorFixture::wholeRecordFilter(x);
        check += filtered[filtered.size() / 2];
    }
    return check + calculate(r, electrodes);
}

double sumAll(const Record& r, const ElectrodeMap&)
{
    double sum = 0.0;
    for (float v : r.current)
        sum += v;
    for (float v : r.voltage)
        sum += v;
    for (const QVector<float>& x : r.channels)
        for (float v : x)
            sum += v;
    return sum;
}

double medianMicroseconds(double (*work)(const Record&, const ElectrodeMap&), const Record& r,
                          const ElectrodeMap& electrodes, double& sink)
{
    QVector<double> times;
    QElapsedTimer timer;
    for (int i = 0; i < Runs; ++i) {
        timer.start();
        sink += work(r, electrodes);
        times.append(timer.nsecsElapsed() / 1000.0);
    }
    std::sort(times.begin(), times.end());
    return times[Runs / 2];
}

} // namespace

int main()
{
    const Record record = makeRecord();
    const ElectrodeMap electrodes = line();
    double sink = 0.0;
    const double fast = medianMicroseconds(calculate, record, electrodes, sink);
    const double whole = medianMicroseconds(calculateWholeRecord, record, electrodes, sink);
    const double floor = medianMicroseconds(sumAll, record, electrodes, sink);
    std::printf("calculate(), %d channels, pulse %d, pause %d, %d periods (%d samples per stream), median of %d runs\n",
                Channels, Pulse, Pause, Periods, record.current.size(), Runs);
    std::printf("  fast path            %10.1f us\n", fast);
    std::printf("  whole-record filter  %10.1f us\n", whole);
    std::printf("  plain pass (floor)   %10.1f us\n", floor);
    std::printf("  whole-record / fast  %10.1f x   (goal >= 20)\n", whole / fast);
    std::printf("  fast / floor         %10.2f x   (goal <= 3)\n", fast / floor);
    std::fprintf(stderr, "checksum %g\n", sink);
    return 0;
}
