#ifndef RECORDTIMING_H
#define RECORDTIMING_H

#include <QtGlobal>

#include <climits>

// Bounds of a record's timing, shared by the station link (the timing the station confirms) and
// the data file (the timing its header announces): a record of 2 x (pulse + pause) x repeats
// samples per stream.
namespace RecordTiming {

// The station counts periods in 16 bits.
constexpr qint64 MaxRepeats = 65535;
// The generator holds a pulse or a pause for at most a minute (one sample per millisecond). A
// timing beyond it is damaged, not a survey: one flipped bit turns 500 into 1049076.
constexpr qint64 MaxPhaseLength = 60000;
// 100 periods of minute-long pulses and pauses. Twelve streams of this length take about 1.2 GB;
// the generator settings of the window never come near it, and more would only exhaust memory.
constexpr qint64 MaxSamplesPerStream = 2 * (2 * MaxPhaseLength) * 100;
// Bytes of one channel record of the data file (136-byte channel header and the stream's
// samples) must stay an int.
static_assert(4 * MaxSamplesPerStream + 136 <= INT_MAX, "a channel record must fit an int");

// Samples per stream, in 64 bits so that absurd values cannot overflow.
qint64 samplesPerStream(qint64 pulse, qint64 pause, qint64 repeats);

// Each factor is bounded before the product is formed, so no product can overflow.
bool isValid(qint64 pulse, qint64 pause, qint64 repeats);

}

#endif
