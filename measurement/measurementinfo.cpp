#include "measurement/measurementinfo.h"

#include <numeric>

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

void MeasurementInfo::setRecordPlan(int before, const QVector<int>& stepRecords)
{
    m_recordsBefore = before;
    m_stepRecords = stepRecords;
}

int MeasurementInfo::recordCount() const
{
    if (m_stepRecords.isEmpty())
        return m_recordsBefore + m_stepCount;
    return m_recordsBefore + std::accumulate(m_stepRecords.cbegin(), m_stepRecords.cend(), 0);
}

int MeasurementInfo::recordsDone() const
{
    // currentStep() is 1-based while a step runs and one past the last step once the run is over.
    const int finished = qBound(0, m_currentStep - 1, m_stepRecords.isEmpty() ? m_stepCount : m_stepRecords.size());
    if (m_stepRecords.isEmpty())
        return m_recordsBefore + finished;
    return m_recordsBefore + std::accumulate(m_stepRecords.cbegin(), m_stepRecords.cbegin() + finished, 0);
}
