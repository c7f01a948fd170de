#include "measurement/tervexcalculator.h"

#include <QtMath>

#include <cmath>
#include <cstdio>
#include <utility>

namespace {

// The first half of the symmetric low-pass filter; the second half mirrors it.
constexpr double HalfTaps[TervexCalculator::FilterTaps / 2] = {
    -0.0006294768534363732, -0.0005847162768025481, -0.0005503922095880794, -0.0005101792364603066,
    -0.00044366147279892456, -0.0003270156443611184, -0.00013389851858018782, 0.00016349240798553972,
    0.0005932246523891734, 0.0011823496724252213, 0.001955586938305327, 0.002934028190392501,
    0.00413391770755438, 0.005565562819456726, 0.007232424956959488, 0.009130435376512397,
    0.011247571543907731, 0.013563720335984023, 0.01605084310833644, 0.018673445735322078,
    0.02138934444920939, 0.02415070620172967, 0.026905330854940086, 0.02959813226631519,
    0.032172766706924226, 0.03457335041807161, 0.03674620376590922, 0.03864155759547759,
    0.04021515811162642, 0.0414297099118897, 0.042256102544630796, 0.04267437393977269,
};

struct Taps
{
    double h[TervexCalculator::FilterTaps];
    constexpr Taps() : h()
    {
        for (int k = 0; k < TervexCalculator::FilterTaps / 2; ++k) {
            h[k] = HalfTaps[k];
            h[TervexCalculator::FilterTaps - 1 - k] = HalfTaps[k];
        }
    }
};

constexpr Taps Filter;
// y[i] reads x[i + FilterLead - k].
constexpr int FilterLead = 32;
constexpr double TwoPi = 6.283185307179586;
constexpr int ChargeabilityMargin = TervexCalculator::ChargeabilityMargin;
constexpr int MinChargeabilityPulse = 2 * ChargeabilityMargin + 1;

// An interval is readable when it lies inside the samples; the last sample is never part of one.
bool intervalValid(int size, int from, int to)
{
    if (from >= 0 && from < to && to < size)
        return true;
    std::fputs("TervexCalculator::average(): invalid interval\n", stderr);
    return false;
}

// Kept out of line: inlined into the chargeability loop the compiler spills the running sum.
template<typename T>
Q_NEVER_INLINE double sumRange(const T* samples, int count)
{
    double sum = 0.0;
    for (int i = 0; i < count; ++i)
        sum += samples[i];
    return sum;
}

template<typename T>
double mean(const QVector<T>& samples, int from, int to)
{
    if (from == to)
        return 0.0;
    if (!intervalValid(samples.size(), from, to))
        return 0.0;
    return sumRange(samples.constData() + from, to - from) / (to - from);
}

double filteredSample(const float* x, int size, int i)
{
    const int firstTap = qMax(0, i + FilterLead - (size - 1));
    const int lastTap = qMin(TervexCalculator::FilterTaps - 1, i + FilterLead);
    double y = 0.0;
    for (int k = firstTap; k <= lastTap; ++k)
        y += Filter.h[k] * x[i + FilterLead - k];
    return y;
}

// Solves the n x n system a * c = r (n <= 4) by elimination with partial pivoting; false if singular.
bool solve(double a[4][4], double r[4], double c[4], int n)
{
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int row = col + 1; row < n; ++row) {
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col]))
                pivot = row;
        }
        if (a[pivot][col] == 0.0)
            return false;
        if (pivot != col) {
            for (int k = 0; k < n; ++k)
                std::swap(a[col][k], a[pivot][k]);
            std::swap(r[col], r[pivot]);
        }
        for (int row = col + 1; row < n; ++row) {
            const double f = a[row][col] / a[col][col];
            for (int k = col; k < n; ++k)
                a[row][k] -= f * a[col][k];
            r[row] -= f * r[col];
        }
    }
    for (int row = n - 1; row >= 0; --row) {
        double v = r[row];
        for (int k = row + 1; k < n; ++k)
            v -= a[row][k] * c[k];
        c[row] = v / a[row][row];
    }
    return true;
}

// Half the signed difference of the positive and negative entries, averaged over the periods.
double signedAmplitude(const QVector<double>& series)
{
    const int periods = series.size() / 2;
    double sum = 0.0;
    for (int p = 0; p < periods; ++p)
        sum += series[2 * p] - series[2 * p + 1];
    return 0.5 * sum / periods;
}

} // namespace

CalculatorResult TervexCalculator::result() const
{
    CalculatorResult r;
    r.resistance = m_resistance;
    r.current = m_current;
    r.voltage = m_voltage;
    return r;
}

QMap<int, ChannelResult> TervexCalculator::channelResults() const
{
    return m_results;
}

void TervexCalculator::setTiming(int pulse, int pause, int repeats, float generatorVoltage,
                                 const ElectrodeMap& electrodes)
{
    m_pulse = pulse;
    m_pause = pause;
    m_repeats = repeats;
    m_generatorVoltage = generatorVoltage;
    m_electrodes = electrodes;
    m_channels.clear();
    m_results.clear();
}

void TervexCalculator::setReference(int a, int b, const QVector<float>& currentSamples,
                                    const QVector<float>& voltageSamples)
{
    m_a = a;
    m_b = b;
    m_currentSamples = currentSamples;
    m_voltageSamples = voltageSamples;
}

void TervexCalculator::addChannel(int id, int m, int n, const QVector<float>& samples)
{
    if (m_channels.contains(id))
        return;
    ChannelInput input;
    input.m = m;
    input.n = n;
    input.samples = samples;
    m_channels.insert(id, input);
}

void TervexCalculator::calculate()
{
    calculateReference();
    for (auto it = m_channels.cbegin(); it != m_channels.cend(); ++it)
        calculateChannel(it.key(), it.value());
}

double TervexCalculator::average(const QVector<float>& samples, int from, int to)
{
    return mean(samples, from, to);
}

double TervexCalculator::average(const QVector<double>& samples, int from, int to)
{
    return mean(samples, from, to);
}

double TervexCalculator::geometricFactor(double a, double b, double m, double n)
{
    if (m == InfinityMarker || n == InfinityMarker)
        return 0.0;
    if (a == b || a == m || a == n || b == m || b == n || m == n)
        return 0.0;
    if (m > n)
        std::swap(m, n);
    bool bAtInfinity = false;
    if (a == InfinityMarker) {
        a = b;
        bAtInfinity = true;
    }
    double s = 1.0 / std::fabs(a - m) - 1.0 / std::fabs(a - n);
    if (!bAtInfinity)
        s += -1.0 / std::fabs(b - m) + 1.0 / std::fabs(b - n);
    if (s == 0.0)
        return 0.0;
    return TwoPi / std::fabs(s);
}

QString TervexCalculator::formatValue(float value, float scale)
{
    const float product = value * scale;
    QString text = QString::number(double(product), 'f', 3);
    int end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char('0'))
        --end;
    if (end > 0 && text.at(end - 1) == QLatin1Char('.'))
        --end;
    text.truncate(end);
    return text;
}

const double* TervexCalculator::filterCoefficients()
{
    return Filter.h;
}

double TervexCalculator::filteredAverage(const QVector<float>& samples, int from, int to)
{
    if (from == to)
        return 0.0;
    if (!intervalValid(samples.size(), from, to))
        return 0.0;
    double sum = 0.0;
    for (int i = from; i < to; ++i)
        sum += filteredSample(samples.constData(), samples.size(), i);
    return sum / (to - from);
}

int TervexCalculator::levelWindowStart(int length)
{
    return length < FilteredPulse ? length - 25 : length - 80;
}

void TervexCalculator::calculateReference()
{
    m_voltage = 0.0f;
    m_current = 0.0f;
    if (m_repeats >= 1) {
        const int halfPeriods = 2 * m_repeats;
        const int halfPeriod = m_pulse + m_pause;
        const int pulseStart = levelWindowStart(m_pulse);
        const int pauseStart = m_pulse + levelWindowStart(m_pause);
        double voltage = 0.0;
        double current = 0.0;
        for (int i = 0; i < halfPeriods; ++i) {
            const int s = i * halfPeriod;
            voltage += average(m_voltageSamples, s + pulseStart, s + pulseStart + LevelWindow);
            double v = average(m_currentSamples, s + pulseStart, s + pulseStart + LevelWindow);
            if (m_pause > 0)
                v -= average(m_currentSamples, s + pauseStart, s + pauseStart + LevelWindow);
            current += std::fabs(v);
        }
        m_voltage = float(voltage / halfPeriods);
        m_current = float(current / halfPeriods);
    }
    m_resistance = m_voltage / m_current;
}

double TervexCalculator::electrodePosition(int number)
{
    if (number == Electrodes::None)
        return InfinityPosition;
    auto it = m_electrodes.find(number);
    if (it == m_electrodes.end())
        it = m_electrodes.insert(number, ElectrodePosition());
    return double(it->x);
}

void TervexCalculator::calculateChannel(int id, const ChannelInput& input)
{
    const int period = 2 * (m_pulse + m_pause);
    if (m_repeats < 1 || input.samples.size() < period)
        return;

    ChannelResult result;
    const bool filtered = m_pulse >= FilteredPulse;
    const int start = levelWindowStart(m_pulse);
    QVector<double> levels(2 * m_repeats);
    for (int p = 0; p < m_repeats; ++p) {
        for (int half = 0; half < 2; ++half) {
            const int from = p * period + half * (m_pulse + m_pause) + start;
            levels[2 * p + half] = filtered ? filteredAverage(input.samples, from, from + LevelWindow)
                                            : average(input.samples, from, from + LevelWindow);
        }
    }
    const QVector<double> detrended = removeDrift(levels);
    QVector<double> amplitudes(m_repeats);
    double sum = 0.0;
    for (int p = 0; p < m_repeats; ++p) {
        amplitudes[p] = 0.5 * std::fabs(detrended[2 * p] - detrended[2 * p + 1]);
        sum += amplitudes[p];
    }
    const double voltage = sum / m_repeats;
    double squares = 0.0;
    for (double a : amplitudes)
        squares += (a - voltage) * (a - voltage);
    const double scatter = std::sqrt(squares) / m_repeats / voltage * 100.0;

    double k = 0.0;
    if (!m_electrodes.isEmpty()) {
        k = geometricFactor(electrodePosition(m_a), electrodePosition(m_b), electrodePosition(input.m),
                            electrodePosition(input.n));
    }
    double resistivity = voltage / double(m_current);
    if (k != 0.0)
        resistivity *= k;

    result.geometricFactor = float(k);
    result.resistivity = float(resistivity);
    result.voltage = float(voltage);
    result.scatter = float(scatter);
    if (m_pulse >= MinChargeabilityPulse && m_pause >= m_pulse)
        calculateChargeability(input.samples, result);
    result.m = input.m;
    result.n = input.n;
    m_results.insert(id, result);
}

// The whole windows and the 20 decay windows tile the same samples, so one pass over each
// half period gives all of them: the decay windows first, then the remainder of the whole window.
void TervexCalculator::calculateChargeability(const QVector<float>& samples, ChannelResult& result) const
{
    const int halfPeriods = 2 * m_repeats;
    const int length = m_pulse - 2 * ChargeabilityMargin;
    const int g = length / ChannelResult::WindowCount;
    const int windows = g >= 1 ? ChannelResult::WindowCount : 0;

    QVector<double> on(halfPeriods), off(halfPeriods);
    QVector<QVector<double>> onWindows(windows, QVector<double>(halfPeriods));
    QVector<QVector<double>> offWindows(windows, QVector<double>(halfPeriods));
    const float* x = samples.constData();
    for (int i = 0; i < halfPeriods; ++i) {
        const int s = i * (m_pulse + m_pause);
        for (int side = 0; side < 2; ++side) {
            const int base = s + side * m_pulse + ChargeabilityMargin;
            if (!intervalValid(samples.size(), base, base + length))
                continue;
            QVector<double>& whole = side == 0 ? on : off;
            QVector<QVector<double>>& parts = side == 0 ? onWindows : offWindows;
            double total = 0.0;
            for (int j = 0; j < windows; ++j) {
                const double part = sumRange(x + base + j * g, g);
                parts[j][i] = part / g;
                total += part;
            }
            total += sumRange(x + base + windows * g, length - windows * g);
            whole[i] = total / length;
        }
    }

    const double primary = signedAmplitude(removeDrift(on));
    const double secondary = signedAmplitude(removeDrift(off));
    result.primary = float(primary);
    result.secondary = float(secondary);
    result.chargeability = primary != 0.0 ? float(secondary / primary * 100.0) : ChannelResult::NotComputed;
    if (windows == 0)
        return;
    for (int j = 0; j < windows; ++j) {
        result.primaryWindows[j] = float(signedAmplitude(removeDrift(onWindows[j])));
        result.secondaryWindows[j] = float(signedAmplitude(removeDrift(offWindows[j])));
    }
    const float reference = result.primaryWindows[ChannelResult::WindowCount - 1];
    for (int j = 0; j < windows; ++j)
        result.decayCurve[j] = result.secondaryWindows[j] / reference * 100.0f;
}

// Fits c0 + c1 t + c2 t^2 + A (-1)^t to the alternating series and removes only the drift
// c0 + c1 t + c2 t^2. A quadratic alone would also take up part of the alternation and shrink
// every amplitude. Two periods (four values) get a linear drift: four unknowns would fit four
// values exactly and leave no trace of the noise in the amplitudes. One period (two values) has
// no drift to remove.
QVector<double> TervexCalculator::removeDrift(const QVector<double>& series)
{
    const int count = series.size();
    if (count < 4)
        return series;
    const int degree = count >= 6 ? 2 : 1;
    const int unknowns = degree + 2;
    // t scaled to [-1, 1] keeps the normal equations well conditioned for long records.
    auto tau = [count](int t) { return (2.0 * t - (count - 1)) / (count - 1); };
    double a[4][4] = {};
    double r[4] = {};
    for (int t = 0; t < count; ++t) {
        const double u = tau(t);
        // The powers of t up to the degree, then the alternation.
        double basis[4] = {1.0, u, u * u, 0.0};
        basis[unknowns - 1] = (t % 2 == 0) ? 1.0 : -1.0;
        for (int j = 0; j < unknowns; ++j) {
            r[j] += basis[j] * series[t];
            for (int k = 0; k < unknowns; ++k)
                a[j][k] += basis[j] * basis[k];
        }
    }
    double c[4] = {};
    if (!solve(a, r, c, unknowns))
        return series;
    QVector<double> out(count);
    for (int t = 0; t < count; ++t) {
        const double u = tau(t);
        const double drift = c[0] + c[1] * u + (degree == 2 ? c[2] * u * u : 0.0);
        out[t] = series[t] - drift;
    }
    return out;
}
