#ifndef CHANNELRESULT_H
#define CHANNELRESULT_H

#include <QtGlobal>

// The computed values of one potential channel: 69 four-byte values whose order is fixed,
// since tables and exports address them by position.
struct ChannelResult
{
    // Marks a value that was not computed.
    static constexpr float NotComputed = -100000.0f;
    static constexpr int WindowCount = 20;
    static constexpr int ValueCount = 69;

    float geometricFactor = NotComputed;   // 0
    float resistivity = NotComputed;       // 1
    float voltage = NotComputed;           // 2: U_mn, volts
    float scatter = NotComputed;           // 3: percent
    float primary = NotComputed;           // 4
    float secondary = NotComputed;         // 5
    float chargeability = NotComputed;     // 6: percent
    float primaryWindows[WindowCount];     // 7..26
    float secondaryWindows[WindowCount];   // 27..46
    float decayCurve[WindowCount];         // 47..66: percent
    qint32 m = 0;                          // 67
    qint32 n = 0;                          // 68

    ChannelResult()
    {
        for (int j = 0; j < WindowCount; ++j) {
            primaryWindows[j] = NotComputed;
            secondaryWindows[j] = NotComputed;
            decayCurve[j] = NotComputed;
        }
    }

    // Value 0..66 by its position; 67 and 68 (M, N) are returned as floats.
    float value(int index) const;
};

static_assert(sizeof(ChannelResult) == ChannelResult::ValueCount * 4, "ChannelResult must stay 69 packed values");

inline float ChannelResult::value(int index) const
{
    if (index < 0 || index >= ValueCount)
        return NotComputed;
    if (index == 67)
        return float(m);
    if (index == 68)
        return float(n);
    return reinterpret_cast<const float*>(this)[index];
}

#endif
