#ifndef TERVEXCALCULATOR_H
#define TERVEXCALCULATOR_H

#include "measurement/electrodeposition.h"
#include "measurement/itervexcalculator.h"

#include <QMap>
#include <QString>
#include <QVector>

// Turns the raw samples of one finished record into current, voltage, line resistance and,
// per potential channel, geometric factor, U_mn, scatter, apparent resistivity and chargeability.
class TervexCalculator : public ITervexCalculator
{
public:
    // Position given to an electrode at infinity (number 0) and the value that marks it in the
    // geometric factor.
    static constexpr double InfinityPosition = 100000.0;
    static constexpr double InfinityMarker = 99999.999;
    // From this pulse length on the level windows read low-pass filtered samples.
    static constexpr int FilteredPulse = 200;
    static constexpr int FilterTaps = 64;
    // Length of every level window.
    static constexpr int LevelWindow = 20;
    // The chargeability windows leave this many samples (ms) out at the start and the end of a
    // pulse and of the pause after it: the window of the whole chargeability is pulse - 2 x margin long.
    static constexpr int ChargeabilityMargin = 16;

    TervexCalculator() = default;
    virtual ~TervexCalculator() = default;

    CalculatorResult result() const override;
    QMap<int, ChannelResult> channelResults() const override;

    // Per record, in this order.
    void setTiming(int pulse, int pause, int repeats, float generatorVoltage, const ElectrodeMap& electrodes);
    void setReference(int a, int b, const QVector<float>& currentSamples, const QVector<float>& voltageSamples);
    void addChannel(int id, int m, int n, const QVector<float>& samples);
    void calculate();

    // Mean of samples[from .. to-1]; 0 for an empty interval, 0 and a message on standard error
    // for an interval outside the samples.
    static double average(const QVector<float>& samples, int from, int to);
    static double average(const QVector<double>& samples, int from, int to);
    static double geometricFactor(double a, double b, double m, double n);
    static QString formatValue(float value, float scale);

    // The low-pass filter's taps h[0..63], symmetric, summing to 1. The filtered record is
    // y[i] = sum_k h[k] * x[i + 32 - k], with only the inputs inside the record.
    static const double* filterCoefficients();
    // Mean of the filtered record over [from, to), computing only the filtered values read;
    // the same interval rules as average().
    static double filteredAverage(const QVector<float>& samples, int from, int to);
    // Start of the 20-sample level window within a pulse (or pause) of this length.
    static int levelWindowStart(int length);

private:
    struct ChannelInput
    {
        int m = 0;
        int n = 0;
        QVector<float> samples;
    };

    void calculateReference();
    void calculateChannel(int id, const ChannelInput& input);
    double electrodePosition(int number);
    void calculateChargeability(const QVector<float>& samples, ChannelResult& result) const;
    static QVector<double> removeDrift(const QVector<double>& series);

    int m_pulse = 0;
    int m_pause = 0;
    int m_repeats = 0;
    float m_generatorVoltage = 0.0f;
    ElectrodeMap m_electrodes;
    int m_a = 0;
    int m_b = 0;
    QVector<float> m_currentSamples;
    QVector<float> m_voltageSamples;
    QMap<int, ChannelInput> m_channels;
    float m_resistance = 0.0f;
    float m_current = 0.0f;
    float m_voltage = 0.0f;
    QMap<int, ChannelResult> m_results;
};

#endif
