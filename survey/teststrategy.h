#ifndef TESTSTRATEGY_H
#define TESTSTRATEGY_H

#include "station/stationrecords.h"
#include "survey/surveystrategy.h"

// Contact-resistance tests and the relay test: fixed generator settings for the run, the
// operator's settings restored at its end.
class TestStrategy : public SurveyStrategy
{
    Q_OBJECT

public:
    static constexpr quint32 TestPulse = 200;
    static constexpr quint32 TestPause = 200;
    // The generator settings a test runs with, whatever the generator panel holds.
    static GeneratorSettings generatorFor(int voltage, bool relayTest);

    TestStrategy(TervexDevice* device, DataManager* dataManager, SurveyJob* job, ITervexSettings* settings,
                 TervexCalculator* calculator, bool relayTest, QObject* parent = nullptr);

protected:
    void onFinished() override;
    void onAborted() override;

private:
    void restoreGenerator();

    GeneratorSettings m_saved;
};

#endif
