#ifndef REPEATPOLICY_H
#define REPEATPOLICY_H

#include "measurement/channelresult.h"

#include <QMap>
#include <QString>

class ITervexCalculator;
class QSettings;

// When a survey record is measured again: a usable channel scatters above the limit, or the
// current is too weak to trust. Kept in the settings store; a limit of 0 turns repeats off.
class RepeatPolicy
{
public:
    static constexpr double DefaultMaxScatter = 0.0;  // percent; 0 = off
    static constexpr double HighestMaxScatter = 100.0;
    static constexpr int DefaultMaxRepeats = 2;
    static constexpr int FewestRepeats = 1;
    static constexpr int MostRepeats = 5;
    static constexpr float LowestCurrent = 0.001f;  // amperes

    // Why a record needs measuring again.
    struct Verdict
    {
        enum Reason { None, Scatter, LowCurrent };
        Reason reason = None;
        int channel = 0;
        float scatter = 0.0f;  // percent, for Scatter
        float current = 0.0f;  // amperes, for LowCurrent
        bool needed() const { return reason != None; }
    };

    RepeatPolicy() = default;
    RepeatPolicy(double maxScatter, int maxRepeats);

    static RepeatPolicy fromSettings(QSettings& settings);
    void save(QSettings& settings) const;

    bool enabled() const { return m_maxScatter > 0.0; }
    double maxScatter() const { return m_maxScatter; }
    int maxRepeats() const { return m_maxRepeats; }

    // A channel whose scatter was computed to a number; a dead channel is not, and measuring it
    // again would not help.
    static bool usable(const ChannelResult& result);
    // The channel with the highest scatter above the limit (or the low current) of the record
    // just computed; no verdict while the policy is off.
    Verdict check(const ITervexCalculator& calculator) const;
    Verdict check(const QMap<int, ChannelResult>& results, float current) const;
    // The record page's line for the given repeat: "повтор 1 из 2: разброс 7.3 % на канале 4".
    QString describe(const Verdict& verdict, int repeat) const;

private:
    double m_maxScatter = DefaultMaxScatter;
    int m_maxRepeats = DefaultMaxRepeats;
};

#endif
