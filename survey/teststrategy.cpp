#include "survey/teststrategy.h"

#include "station/itervexsettings.h"
#include "station/settingsstore.h"

#include <memory>

TestStrategy::TestStrategy(TervexDevice* device, DataManager* dataManager, SurveyJob* job,
                           ITervexSettings* settings, TervexCalculator* calculator, bool relayTest,
                           QObject* parent)
    : SurveyStrategy(device, dataManager, job, settings, calculator, parent)
    , m_saved(*settings->generatorSettings())
{
    std::unique_ptr<QSettings> store(SettingsStore::open());
    const int voltage =
        SettingsStore::readClamped(*store, SettingsStore::Key::testVoltage(), SettingsStore::TestVoltage);

    Q_EMIT m_settings->updating();
    *m_settings->generatorSettings() = generatorFor(voltage, relayTest);
    Q_EMIT m_settings->updated();
}

GeneratorSettings TestStrategy::generatorFor(int voltage, bool relayTest)
{
    GeneratorSettings g;
    g.voltage = quint16(voltage);
    g.pulseLength = TestPulse;
    g.pauseLength = TestPause;
    g.periods = relayTest ? 1 : 3;
    return g;
}

void TestStrategy::restoreGenerator()
{
    // Announced, so the generator panel shows what is in force again.
    Q_EMIT m_settings->updating();
    *m_settings->generatorSettings() = m_saved;
    Q_EMIT m_settings->updated();
}

void TestStrategy::onFinished()
{
    restoreGenerator();
}

void TestStrategy::onAborted()
{
    restoreGenerator();
}
