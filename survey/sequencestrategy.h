#ifndef SEQUENCESTRATEGY_H
#define SEQUENCESTRATEGY_H

#include "survey/surveystrategy.h"

// A survey: every record is appended as one block to the run's data file.
class SequenceStrategy : public SurveyStrategy
{
    Q_OBJECT

public:
    // pulse, pause and repeats are the timing of the data file's header: every block must hold
    // exactly the samples that timing gives.
    SequenceStrategy(TervexDevice* device, DataManager* dataManager, SurveyJob* job, ITervexSettings* settings,
                     TervexCalculator* calculator, int pulse, int pause, int repeats, QObject* parent = nullptr);

protected:
    bool onRecordProcessed() override;

private:
    int m_pulse;
    int m_pause;
    int m_repeats;
};

#endif
