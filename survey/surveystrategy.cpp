#include "survey/surveystrategy.h"

#include "measurement/idatacontainer.h"
#include "measurement/tervexcalculator.h"
#include "station/itervexsettings.h"
#include "station/tervexdevice.h"
#include "survey/datamanager.h"
#include "survey/sequence.h"
#include "survey/surveyjob.h"

SurveyStrategy::SurveyStrategy(TervexDevice* device, DataManager* dataManager, SurveyJob* job,
                               ITervexSettings* settings, TervexCalculator* calculator, QObject* parent)
    : QObject(parent)
    , m_device(device)
    , m_settings(settings)
    , m_calculator(calculator)
    , m_dataManager(dataManager)
    , m_job(job)
{
    connectDevice();

    m_dataManager->setSources(m_settings, m_calculator, m_device->dataProcessor()->container(), &m_info);
    m_dataManager->prepare();

    const Sequence* sequence = m_job->sequence();
    m_info.setStepCount(sequence ? sequence->steps().size() : 0);
    m_info.setCurrentStep(0);
    m_info.setMaxPairsPerStep(sequence ? sequence->maxPairs() : 0);
    const GeneratorSettings* g = m_settings->generatorSettings();
    m_info.setTiming(int(g->pulseLength), int(g->pauseLength), int(g->periods));

    m_stepTimer.setSingleShot(true);
    m_stepTimer.setInterval(StepPause);
    connect(&m_stepTimer, &QTimer::timeout, this, &SurveyStrategy::executeNext);

    m_watchdog.setSingleShot(true);
    m_watchdog.setInterval(DefaultWatchdog);
    connect(&m_watchdog, &QTimer::timeout, this, &SurveyStrategy::onWatchdogTimeout);

    const ElectrodeSettings* e = m_settings->electrodeSettings();
    QVector<int> notReady;
    for (int k = 0; k < qMin(e->channels.size(), m_device->properties().channelCountFixed); ++k) {
        if (!e->channels.at(k).available)
            notReady.append(e->channels.at(k).number);
    }
    m_report.setNotReadyChannels(notReady);
    m_report.start();
}

void SurveyStrategy::setRepeatPolicy(const RepeatPolicy& policy)
{
    m_repeatPolicy = policy;
    m_report.setPolicy(policy);
}

SurveyStrategy::~SurveyStrategy()
{
    delete m_job;
}

void SurveyStrategy::connectDevice()
{
    connect(m_device, &TervexDevice::recordStarted, this, &SurveyStrategy::onRecordStarted);
    connect(m_device, &TervexDevice::recordCompleted, this, &SurveyStrategy::onRecordCompleted);
    connect(m_device, &TervexDevice::dataUpdated, this, &SurveyStrategy::onDataUpdated);
    connect(m_device, &TervexDevice::statusUpdated, this, &SurveyStrategy::onStatusUpdated);
    connect(m_device, &TervexDevice::overflowfUpdated, this, &SurveyStrategy::onOverflowsUpdated);
    connect(m_device, &TervexDevice::recordFailed, this, &SurveyStrategy::onDeviceRecordFailed);
    connect(m_device, &TervexDevice::disconnected, this, &SurveyStrategy::onDeviceDisconnected);
}

void SurveyStrategy::disconnectDevice()
{
    disconnect(m_device, nullptr, this, nullptr);
}

void SurveyStrategy::setPaused(bool paused)
{
    m_paused = paused;
}

void SurveyStrategy::executeStep(bool repeat, bool allChannels, bool stop)
{
    // One record at a time, and nothing once the run is over.
    if (!m_job || m_phase != Phase::Idle)
        return;
    m_stepTimer.stop();
    m_allChannels = allChannels;
    m_pendingRepeat = RepeatPolicy::Verdict{};
    if (repeat && m_lastStep >= 0) {
        ++m_stepRepeats;
    } else {
        if (m_stepRepeats > 0)
            Q_EMIT repeating(QString());
        m_stepRepeats = 0;
    }

    Sequence* sequence = m_job->sequence();
    const SequenceStep* step = nullptr;
    if (sequence) {
        if (repeat && m_lastStep >= 0) {
            step = &sequence->steps().at(m_lastStep);
        } else if (repeat) {
            step = sequence->current();
            if (step)
                m_lastStep = sequence->cursor();
        } else {
            m_lastStep = sequence->cursor();
            step = sequence->takeNext();
        }
    }

    if (!step || stop) {
        finish();
        return;
    }

    ElectrodeSettings* e = m_settings->electrodeSettings();
    e->currentElectrodeA = quint16(step->a);
    e->currentElectrodeB = quint16(step->b);
    m_record = RecordAssignment{};
    m_record.a = step->a;
    m_record.b = step->b;
    const int stationChannels = qMin(e->channels.size(), m_device->properties().channelCountFixed);
    int pair = 0;
    for (int k = 0; k < e->channels.size(); ++k) {
        ChannelSetting& channel = e->channels[k];
        const bool eligible = k < stationChannels && channel.available && (channel.enabled || allChannels);
        if (eligible && pair < step->pairs.size()) {
            const MnPair& mn = step->pairs.at(pair++);
            channel.electrodeM = quint16(mn.m);
            channel.electrodeN = quint16(mn.n);
            m_record.ids.append(channel.number);
            m_record.mn.insert(channel.number, qMakePair(mn.m, mn.n));
        } else {
            channel.electrodeM = 0;
            channel.electrodeN = 0;
        }
    }
    m_info.setCurrentStep(sequence->cursor());
    m_phase = Phase::Starting;
    m_watchdog.start();
    m_device->startRecord(m_settings->generatorSettings(), e, m_record.ids, 1);
}

void SurveyStrategy::onRecordStarted()
{
    if (m_phase != Phase::Starting)
        return;
    m_phase = Phase::Streaming;
    m_watchdog.start();
    IDataContainer* c = m_device->dataProcessor()->container();
    m_info.setSamples(c->expectedSamples(), c->receivedSamples());
    m_dataManager->beginRecord();
}

void SurveyStrategy::onDataUpdated()
{
    if (m_phase != Phase::Streaming)
        return;
    m_watchdog.start();
    IDataContainer* c = m_device->dataProcessor()->container();
    m_info.setSamples(c->expectedSamples(), c->receivedSamples());
    m_dataManager->updateData();
}

void SurveyStrategy::onRecordCompleted()
{
    if (m_phase != Phase::Streaming)
        return;
    m_phase = Phase::AwaitingStatus;
    m_watchdog.start();
    m_device->requestStatus();
}

void SurveyStrategy::onStatusUpdated()
{
    // Replies to the periodic status poll are not ours.
    if (m_phase != Phase::AwaitingStatus)
        return;
    m_phase = Phase::AwaitingOverflows;
    m_watchdog.start();
    m_device->requestOverflows();
}

void SurveyStrategy::onOverflowsUpdated()
{
    if (m_phase != Phase::AwaitingOverflows)
        return;
    m_watchdog.stop();

    IDataContainer* c = m_device->dataProcessor()->container();
    const GeneratorSettings* g = m_settings->generatorSettings();
    // The timing the station recorded with, which is what the samples follow.
    m_calculator->setTiming(c->pulseSamples(), c->pauseSamples(), c->repeats(), float(g->voltage),
                            m_job->electrodes());
    const QVector<float>* current = c->channelData(StreamId::Current);
    const QVector<float>* voltage = c->channelData(StreamId::Voltage);
    m_calculator->setReference(m_record.a, m_record.b, current ? *current : QVector<float>(),
                               voltage ? *voltage : QVector<float>());
    for (qint16 id : c->channelIds()) {
        auto it = m_record.mn.constFind(id);
        const QVector<float>* samples = c->channelData(id);
        if (it == m_record.mn.constEnd() || !samples)
            continue;
        m_calculator->addChannel(id, it->first, it->second, *samples);
    }
    m_calculator->calculate();

    // The record is stored before it is counted and shown: a record reported is a record kept.
    if (!onRecordProcessed()) {
        m_phase = Phase::Idle;
        fail(m_failReason);
        return;
    }
    m_continue = m_dataManager->finishRecord();
    m_phase = Phase::Idle;
    m_report.addRecord(m_record.a, m_record.b, m_record.ids, m_calculator->channelResults(), m_stepRepeats > 0);
    if (m_stepRepeats < m_repeatPolicy.maxRepeats())
        m_pendingRepeat = m_repeatPolicy.check(*m_calculator);
    Q_EMIT surveyCompleted();
    if (m_job)
        m_stepTimer.start();
}

void SurveyStrategy::executeNext()
{
    if (!m_job)
        return;
    if (!m_stopReason.isEmpty()) {
        fail(m_stopReason);
        return;
    }
    if (m_paused) {
        Q_EMIT waitingForNext();
        return;
    }
    if (m_pendingRepeat.needed() && m_continue) {
        Q_EMIT repeating(m_repeatPolicy.describe(m_pendingRepeat, m_stepRepeats + 1));
        executeStep(true, m_allChannels, false);
        return;
    }
    executeStep(false, m_allChannels, !m_continue);
}

void SurveyStrategy::finish()
{
    m_stepTimer.stop();
    m_watchdog.stop();
    disconnectDevice();
    m_report.stop();
    m_info.setCurrentStep(m_info.stepCount() + 1);
    onFinished();
    delete m_job;
    m_job = nullptr;
    m_dataManager->finishSequence();
    Q_EMIT strategyCompleted();
}

void SurveyStrategy::abort()
{
    // A run that already ended still tells the views, so that a stop always brings them back to idle.
    if (!m_job) {
        m_dataManager->abortRun();
        Q_EMIT aborted();
        return;
    }
    m_stepTimer.stop();
    m_watchdog.stop();
    disconnectDevice();
    m_report.stop();
    m_phase = Phase::Idle;
    m_device->stopRecord();
    m_dataManager->abortRun();
    delete m_job;
    m_job = nullptr;
    onAborted();
    Q_EMIT aborted();
}

void SurveyStrategy::stopAfterRecord(const QString& reason)
{
    if (!m_job || !m_stopReason.isEmpty())
        return;
    m_stopReason = reason;
    if (m_phase == Phase::Idle)
        fail(reason);
}

void SurveyStrategy::fail(const QString& reason)
{
    if (!m_job)
        return;
    abort();
    Q_EMIT failed(reason);
}

void SurveyStrategy::onDeviceRecordFailed(const QString& reason)
{
    if (m_phase == Phase::Idle)
        return;
    fail(reason);
}

void SurveyStrategy::onDeviceDisconnected()
{
    fail(tr("Потеряна связь со станцией."));
}

void SurveyStrategy::onWatchdogTimeout()
{
    fail(tr("Станция не отвечает."));
}
