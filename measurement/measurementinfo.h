#ifndef MEASUREMENTINFO_H
#define MEASUREMENTINFO_H

#include "measurement/imeasurementinfo.h"

#include <QVector>

class MeasurementInfo : public IMeasurementInfo
{
public:
    int stepCount() const override { return m_stepCount; }
    int maxPairsPerStep() const override { return m_maxPairsPerStep; }
    int currentStep() const override { return m_currentStep; }
    int expectedSamples() const override { return m_expectedSamples; }
    int receivedSamples() const override { return m_receivedSamples; }
    int pulse() const override { return m_pulse; }
    int pause() const override { return m_pause; }
    int repeats() const override { return m_repeats; }
    // Without a record plan every step is one record.
    int recordCount() const override;
    int recordsDone() const override;

    void setStepCount(int count) { m_stepCount = count; }
    void setMaxPairsPerStep(int pairs) { m_maxPairsPerStep = pairs; }
    void setCurrentStep(int step) { m_currentStep = step; }
    void setSamples(int expected, int received);
    void setTiming(int pulse, int pause, int repeats);
    // `before` records were measured before this run; step k of this run measures stepRecords[k].
    void setRecordPlan(int before, const QVector<int>& stepRecords);

private:
    int m_stepCount = 0;
    int m_currentStep = 0;
    int m_maxPairsPerStep = 0;
    int m_expectedSamples = 0;
    int m_receivedSamples = 0;
    int m_pulse = 0;
    int m_pause = 0;
    int m_repeats = 0;
    int m_recordsBefore = 0;
    QVector<int> m_stepRecords;
};

#endif
