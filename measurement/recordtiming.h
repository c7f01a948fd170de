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
// Bytes of one channel record of the data file (136-byte channel header and the stream's
// samples) must stay an int.
constexpr qint64 MaxSamplesPerStream = (INT_MAX - 136) / 4;

// Samples per stream, in 64 bits so that absurd values cannot overflow.
qint64 samplesPerStream(qint64 pulse, qint64 pause, qint64 repeats);

// Each factor is bounded before the product is formed, so no product can overflow.
bool isValid(qint64 pulse, qint64 pause, qint64 repeats);

}

#endif
