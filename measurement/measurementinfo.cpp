#include "measurement/measurementinfo.h"

void MeasurementInfo::setSamples(int expected, int received)
{
    m_expectedSamples = expected;
    m_receivedSamples = received;
}

void MeasurementInfo::setTiming(int pulse, int pause, int repeats)
{
    m_pulse = pulse;
    m_pause = pause;
    m_repeats = repeats;
}
