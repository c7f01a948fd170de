#include "measurement/recordtiming.h"

namespace RecordTiming {

qint64 samplesPerStream(qint64 pulse, qint64 pause, qint64 repeats)
{
    return 2 * (pulse + pause) * repeats;
}

bool isValid(qint64 pulse, qint64 pause, qint64 repeats)
{
    const bool factorsSane = pulse >= 0 && pause >= 0 && repeats >= 0 && repeats <= MaxRepeats
        && pulse <= MaxPhaseLength && pause <= MaxPhaseLength;
    return factorsSane && samplesPerStream(pulse, pause, repeats) <= MaxSamplesPerStream;
}

}
