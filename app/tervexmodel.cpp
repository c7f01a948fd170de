#include "app/tervexmodel.h"

#include "app/livemodel.h"
#include "app/stationlock.h"
#include "app/surveyjobbuilder.h"
#include "station/settingsstore.h"
#include "station/tervexdevice.h"
#include "survey/etrformat.h"
#include "survey/sequence.h"
#include "survey/sequencestrategy.h"
#include "survey/surveydatamanager.h"
#include "survey/surveyjob.h"
#include "survey/testdatamanager.h"
#include "survey/teststrategy.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QSettings>

#include <cstdio>
#include <memory>

using namespace SettingsStore;

// A survey whose job is built and which waits for its contact check; its data file is written
// only when it starts.
struct TervexModel::PendingSurvey
{
    explicit PendingSurvey(const SurveyJobBuilder& jobBuilder)
        : builder(jobBuilder)
    {
    }

    SurveyJobBuilder builder;
    std::unique_ptr<SurveyJob> job;
    QString target;
    // The file the records go to: the continued one, or the target.
    QString dataFile;
    bool resume = false;
    ContactGate gate;
    int tests = 0;
    bool testing = false;
};

TervexModel::TervexModel(QObject* parent)
    : QObject(parent)
{
    m_surveyDataManager = new SurveyDataManager;
    m_liveModel = new LiveModel(this);
    m_testDataManager = new TestDataManager;
    m_settingsStore = SettingsStore::open(this);
    loadSettings();

    m_device = new TervexDevice(m_settingsStore);

    connect(m_device, &TervexDevice::connected, this, &TervexModel::deviceConnected);
    connect(m_device, &TervexDevice::connecting, this, &TervexModel::deviceConnecting);
    connect(m_device, &TervexDevice::disconnected, this, &TervexModel::deviceDisconnected);
    connect(m_device, &TervexDevice::statusUpdated, this, &TervexModel::deviceStatusUpdated);
    connect(m_device, &TervexDevice::connectionFailed, this, &TervexModel::connectionFailed);
    // A failed or lost link leaves the station to whichever copy connects next.
    connect(m_device, &TervexDevice::connectionFailed, this, [this]() { m_stationLock.reset(); });
    connect(m_device, &TervexDevice::propertiesUpdated, this, &TervexModel::onDevicePropertiesUpdated);
    connect(m_device, &TervexDevice::initialized, this, &TervexModel::onDeviceInitialized);
    connect(m_device->battery(), &BatteryInfo::updated, this, &TervexModel::onBatteryUpdated);
    // After the window has seen the test end: the survey that follows replaces the test's strategy.
    connect(m_testDataManager, &DataManager::allCompleted, this, [this]() {
        QMetaObject::invokeMethod(this, [this]() { onContactTestEnded(true); }, Qt::QueuedConnection);
    });
    connect(m_testDataManager, &DataManager::aborted, this, [this]() {
        QMetaObject::invokeMethod(this, [this]() { onContactTestEnded(false); }, Qt::QueuedConnection);
    });
    connect(&m_stationSettings, &TervexSettings::updating, this, &TervexModel::settingsUpdating);
    connect(&m_stationSettings, &TervexSettings::updated, this, &TervexModel::settingsUpdated);
}

TervexModel::~TervexModel()
{
    m_pending.reset();
    // The strategy goes first: deleting it closes the data file of a run still in progress.
    delete m_strategy;
    m_device->closeConnections();
    delete m_device;
    delete m_surveyDataManager;
    delete m_testDataManager;
}

bool TervexModel::connectDevice()
{
    m_stationLock.reset(new StationLock(QFileInfo(m_settingsStore->fileName()).absolutePath(), m_device->host(),
                                        m_device->commandPort()));
    QString error;
    if (!m_stationLock->acquire(&error)) {
        m_stationLock.reset();
        Q_EMIT connectionFailed(error);
        return false;
    }
    if (m_device->connectToStation())
        return true;
    m_stationLock.reset();
    return false;
}

void TervexModel::disconnectDevice()
{
    m_device->closeConnections();
    m_stationLock.reset();
}

QString TervexModel::setStationAddress(const QString& host, int commandPort, int dataPort)
{
    QHostAddress address;
    const QString trimmed = host.trimmed();
    if (!address.setAddress(trimmed) || address.protocol() != QAbstractSocket::IPv4Protocol)
        return tr("«%1» не является адресом IPv4 (четыре числа от 0 до 255 через точку, например 192.168.0.100).")
            .arg(trimmed);
    for (int port : {commandPort, dataPort}) {
        if (port < 1 || port > 65535)
            return tr("Порт %1 вне диапазона 1…65535.").arg(port);
    }
    if (commandPort == dataPort)
        return tr("Порт команд и порт данных должны различаться.");
    m_settingsStore->setValue(Key::host(), address.toString());
    m_settingsStore->setValue(Key::commandPort(), commandPort);
    m_settingsStore->setValue(Key::dataPort(), dataPort);
    m_settingsStore->sync();
    m_device->setAddress(address.toString(), quint16(commandPort), quint16(dataPort));
    return QString();
}

void TervexModel::onDevicePropertiesUpdated()
{
    m_stationSettings.updateFrom(m_device->properties());
}

void TervexModel::onDeviceInitialized()
{
    // Records once which channels were ready when the station was first seen.
    for (ChannelSetting& channel : m_stationSettings.electrodeSettings()->channels)
        channel.available = channel.enabled;
}

int TervexModel::testValue(const QString& key, int defaultValue) const
{
    if (m_settingsStore->contains(key))
        return m_settingsStore->value(key).toInt();
    m_settingsStore->setValue(key, defaultValue);
    return defaultValue;
}

void TervexModel::setTestValue(const QString& key, const QString& text, int defaultValue, int minimum, int maximum)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    m_settingsStore->setValue(key, ok ? qBound(minimum, value, maximum) : defaultValue);
}

int TervexModel::testVoltage() const
{
    return testValue(Key::testVoltage(), TestVoltage.defaultValue);
}

QString TervexModel::testVoltageText() const
{
    return QString::number(testVoltage());
}

void TervexModel::setTestVoltage(const QString& text)
{
    setTestValue(Key::testVoltage(), text, TestVoltage.defaultValue, TestVoltage.minimum, TestVoltage.maximum);
}

int TervexModel::testRBase() const
{
    return testValue(Key::testRBase(), TestRBase.defaultValue);
}

QString TervexModel::testRBaseText() const
{
    return QString::number(testRBase());
}

void TervexModel::setTestRBase(const QString& text)
{
    setTestValue(Key::testRBase(), text, TestRBase.defaultValue, TestRBase.minimum, TestRBase.maximum);
}

int TervexModel::testRDelta() const
{
    return testValue(Key::testRDelta(), TestRDelta.defaultValue);
}

QString TervexModel::testRDeltaText() const
{
    return QString::number(testRDelta());
}

void TervexModel::setTestRDelta(const QString& text)
{
    setTestValue(Key::testRDelta(), text, TestRDelta.defaultValue, TestRDelta.minimum, TestRDelta.maximum);
}

void TervexModel::setDataPath(const QString& path)
{
    m_dataPath = path;
    m_settingsStore->setValue(Key::dataPath(), path);
}

void TervexModel::setSeqPath(const QString& path)
{
    m_seqPath = QFileInfo(path).exists() ? path : QDir::homePath();
    m_settingsStore->setValue(Key::seqPath(), m_seqPath);
}

void TervexModel::setUsePolar(bool flag)
{
    m_usePolar = flag;
    m_settingsStore->setValue(Key::usePolar(), flag);
}

QString TervexModel::interfaceLanguage() const
{
    return m_settingsStore->value(Key::language()).toString();
}

void TervexModel::setInterfaceLanguage(const QString& language)
{
    if (language.isEmpty())
        m_settingsStore->remove(Key::language());
    else
        m_settingsStore->setValue(Key::language(), language);
}

void TervexModel::loadSettings()
{
    if (m_settingsStore->contains(Key::dataPath()))
        m_dataPath = m_settingsStore->value(Key::dataPath()).toString();
    else
        setDataPath(QDir::homePath());

    setSeqPath(m_settingsStore->contains(Key::seqPath()) ? m_settingsStore->value(Key::seqPath()).toString()
                                                       : QDir::homePath());
    setUsePolar(m_settingsStore->value(Key::usePolar(), false).toBool());
}

namespace {
constexpr int E = Electrodes::Count;
}

int TervexModel::usableChannelCount()
{
    int count = 0;
    for (const ChannelSetting& channel : m_stationSettings.electrodeSettings()->channels)
        count += (channel.available && channel.enabled) ? 1 : 0;
    return count;
}

int TervexModel::resistanceThreshold(int thresholdIndex)
{
    static const int thresholds[] = {1000, 3000, 10000, 50000};
    return (thresholdIndex >= 0 && thresholdIndex < 4) ? thresholds[thresholdIndex] : 0;
}

bool TervexModel::runActive() const
{
    return m_strategy && m_strategy->isRunning();
}

QString TervexModel::settingsFilePath() const
{
    return QDir::toNativeSeparators(m_settingsStore->fileName());
}

bool TervexModel::refuse(const QString& reason)
{
    m_startError = reason;
    return false;
}

void TervexModel::addNotice(const QString& notice)
{
    SurveyJobBuilder::appendNotice(&m_startNotice, notice);
}

void TervexModel::replaceStrategy(SurveyStrategy* strategy)
{
    m_surveyActive = false;
    delete m_strategy;
    m_strategy = strategy;
    if (!m_strategy)
        return;
    m_strategy->setPaused(m_paused);
    connect(m_strategy, &SurveyStrategy::failed, this, &TervexModel::runFailed);
    connect(m_strategy, &SurveyStrategy::waitingForNext, this, &TervexModel::runWaitingForNext);
}

void TervexModel::stopRun()
{
    if (m_strategy)
        m_strategy->abort();
}

void TervexModel::repeatRecord()
{
    if (m_strategy)
        m_strategy->executeStep(true, m_strategy->allChannels(), false);
}

void TervexModel::nextRecord()
{
    if (m_strategy)
        m_strategy->executeStep(false, m_strategy->allChannels(), false);
}

void TervexModel::setPaused(bool paused)
{
    m_paused = paused;
    if (m_strategy)
        m_strategy->setPaused(paused);
}

bool TervexModel::startTest(const QVector<TestPlanEntry>& entries, int positionCount,
                            const QList<QuadrupoleLine>& lines, bool relay)
{
    m_startError.clear();
    // Another run replaces a survey that waits for its check.
    if (m_pending && !m_pending->testing)
        m_pending.reset();
    auto* sequence = new Sequence(relay ? 1 : usableChannelCount());
    sequence->build(lines, !relay);
    auto* job = new SurveyJob(ElectrodeMap(), lines, sequence);
    m_testDataManager->setPlan(entries, positionCount);
    replaceStrategy(nullptr);
    auto* strategy = new TestStrategy(m_device, m_testDataManager, job, &m_stationSettings, &m_calculator, relay);
    replaceStrategy(strategy);
    strategy->executeStep(false, relay, false);
    return true;
}

bool TervexModel::testAllElectrodes()
{
    QVector<TestPlanEntry> entries;
    QList<QuadrupoleLine> lines;
    for (int c = 1; c <= E - 1; ++c) {
        entries.append(TestPlanEntry{c - 1, c, c + 1, false});
        lines.append(QuadrupoleLine{c, c + 1, 0, 0});
    }
    return startTest(entries, E - 1, lines, false);
}

bool TervexModel::testElectrode(int k)
{
    if (k < 1 || k > E)
        return refuse(tr("Номер электрода должен быть от 1 до %1.").arg(E));
    QVector<TestPlanEntry> entries;
    QList<QuadrupoleLine> lines;
    if (k > 1) {
        entries.append(TestPlanEntry{k - 2, k - 1, k, false});
        lines.append(QuadrupoleLine{k - 1, k, 0, 0});
    }
    if (k < E) {
        entries.append(TestPlanEntry{k - 1, k, k + 1, false});
        lines.append(QuadrupoleLine{k, k + 1, 0, 0});
    }
    return startTest(entries, E - 1, lines, false);
}

bool TervexModel::testByResistance(int thresholdIndex)
{
    const int threshold = resistanceThreshold(thresholdIndex);
    const QVector<TestResult>& results = m_testDataManager->results();
    // Only a contact-test table holds one resistance per neighbouring pair.
    if (results.size() != E - 1)
        return refuse(tr("Нет результатов теста электродов: сначала выполните тест всех электродов."));
    QVector<TestPlanEntry> entries;
    QList<QuadrupoleLine> lines;
    for (int d = 0; d < results.size(); ++d) {
        if (results[d].resistance > threshold) {
            entries.append(TestPlanEntry{d, d + 1, d + 2, false});
            lines.append(QuadrupoleLine{d + 1, d + 2, 0, 0});
        }
    }
    if (lines.isEmpty())
        return refuse(tr("Нет электродов с сопротивлением выше %1 Ом.").arg(threshold));
    return startTest(entries, results.size(), lines, false);
}

bool TervexModel::testRelays()
{
    QVector<TestPlanEntry> entries;
    QList<QuadrupoleLine> lines;
    for (int k = 0; k < E; ++k) {
        entries.append(TestPlanEntry{k, k + 1, E - k, false});
        lines.append(QuadrupoleLine{0, 0, k + 1, E - k});
    }
    for (int i = 1; i <= E; ++i) {
        const int partner = (i + 32) % E + 1;
        entries.append(TestPlanEntry{E + i - 1, i, partner, false});
        lines.append(QuadrupoleLine{0, 0, i, partner});
    }
    return startTest(entries, 2 * E, lines, true);
}

bool TervexModel::runTrial()
{
    m_startError.clear();
    m_pending.reset();
    const ElectrodeSettings* e = m_stationSettings.electrodeSettings();
    const int a = e->currentElectrodeA;
    const int b = e->currentElectrodeB;
    if (a == b && a != 0)
        return refuse(tr("Электроды Ca и Cb совпадают (%1): ток не потечёт через землю, "
                                     "сопротивление не может быть измерено. Выберите разные Ca и Cb.")
                          .arg(a));
    QList<QuadrupoleLine> lines;
    for (const ChannelSetting& channel : e->channels) {
        const int m = qint16(channel.electrodeM);
        const int n = qint16(channel.electrodeN);
        // The channels the record measures: switched on by the operator and enabled by the station.
        if (channel.available && channel.enabled && (m != 0 || n != 0))
            lines.append(QuadrupoleLine{a, b, m, n});
    }
    if (lines.isEmpty())
        lines.append(QuadrupoleLine{a, b, 0, 0});
    auto* sequence = new Sequence(usableChannelCount());
    sequence->build(lines, true);
    auto* job = new SurveyJob(ElectrodeMap(), lines, sequence);
    replaceStrategy(nullptr);
    auto* strategy =
        new SurveyStrategy(m_device, m_surveyDataManager, job, &m_stationSettings, &m_calculator);
    replaceStrategy(strategy);
    strategy->executeStep(false, false, false);
    return true;
}

int TervexModel::surveyPairsLimit()
{
    const int usable = usableChannelCount();
    // A data-file block holds at most this many channel records; more would make the rest of the
    // file unreadable.
    if (usable > EtrFormat::MaxChannels) {
        std::fprintf(stdout, "%d usable channels; a survey measures at most %d pairs per step\n", usable,
                     EtrFormat::MaxChannels);
        std::fflush(stdout);
        return EtrFormat::MaxChannels;
    }
    return usable;
}

bool TervexModel::startSurvey(const QString& source, const QString& target)
{
    m_startError.clear();
    m_startNotice.clear();
    m_pending.reset();
    replaceStrategy(nullptr);

    const int usable = usableChannelCount();
    if (usable == 0)
        return refuse(tr("Нет готовых к работе каналов: съёмка не измерила бы ни одного потенциала."));
    const int pairsLimit = surveyPairsLimit();
    const BatteryWatch limits = batteryLimits();
    const float battery = m_device->battery()->voltage();
    if (battery > 0.0f && battery < limits.stopLimit())
        return refuse(tr("Батарея станции %1 В ниже предела %2 В: съёмка не начата.")
                          .arg(QString::number(double(battery), 'f', 2),
                               QString::number(double(limits.stopLimit()), 'f', 1)));

    const QString suffix = QFileInfo(source).suffix().toLower();
    std::unique_ptr<PendingSurvey> survey(
        new PendingSurvey(SurveyJobBuilder(&m_stationSettings, pairsLimit, repeatPolicy())));
    survey->target = target;
    survey->resume = suffix == QLatin1String("etr");
    survey->dataFile = survey->resume ? source : target;
    if (survey->resume)
        survey->job.reset(survey->builder.resume(source));
    else if (suffix == QLatin1String("txt"))
        survey->job.reset(survey->builder.newSurvey(source, target));
    else
        return refuse(tr("Съёмку можно начать по файлу последовательности (.txt) или продолжить "
                         "по файлу данных (.etr): %1")
                          .arg(QDir::toNativeSeparators(source)));
    addNotice(survey->builder.notice());
    if (!survey->job)
        return refuse(survey->builder.error());
    if (contactCheck()) {
        survey->gate = ContactGate(survey->job->lines(), contactLimitKOhm() * 1000.0);
        if (!survey->gate.plan().isEmpty()) {
            m_pending = std::move(survey);
            startContactTest();
            return true;
        }
    }
    return launchSurvey(std::move(survey), ContactGate::Choice::GoOn);
}

void TervexModel::startContactTest()
{
    m_pending->testing = true;
    ++m_pending->tests;
    const ContactGate& gate = m_pending->gate;
    startTest(gate.plan(), gate.plan().size(), gate.testLines(), false);
}

void TervexModel::onContactTestEnded(bool completed)
{
    if (!m_pending || !m_pending->testing)
        return;
    m_pending->testing = false;
    // A stopped or failed test starts no survey.
    if (!completed) {
        m_pending.reset();
        return;
    }
    m_pending->gate.evaluate(m_testDataManager->results());
    if (m_pending->gate.passed())
        launchSurvey(std::move(m_pending), ContactGate::Choice::GoOn);
    Q_EMIT contactCheckFinished();
}

const ContactGate* TervexModel::contactGate() const
{
    return m_pending ? &m_pending->gate : nullptr;
}

bool TervexModel::resolveContactCheck(ContactGate::Choice choice)
{
    if (!m_pending || m_pending->testing)
        return false;
    m_startError.clear();
    switch (choice) {
    case ContactGate::Choice::Retest:
        startContactTest();
        return true;
    case ContactGate::Choice::Cancel:
        // Nothing of the survey was written: its lock goes with its job.
        m_pending.reset();
        return true;
    case ContactGate::Choice::LeaveOut:
    case ContactGate::Choice::GoOn:
        break;
    }
    return launchSurvey(std::move(m_pending), choice);
}

bool TervexModel::launchSurvey(std::unique_ptr<PendingSurvey> survey, ContactGate::Choice choice)
{
    SurveyJob* job = survey->job.get();
    int leftOut = 0;
    if (choice == ContactGate::Choice::LeaveOut) {
        // The line keeps every quadrupole: a continuation measures the left-out ones once their
        // electrodes are fixed.
        const QList<QuadrupoleLine> kept = survey->gate.keptLines();
        leftOut = survey->gate.leftOutCount();
        if (kept.isEmpty())
            return refuse(tr("Все квадруполи съёмки используют электроды выше предела: съёмка не начата."));
        auto* sequence = new Sequence(job->sequence()->pairsLimit());
        sequence->build(kept, true);
        job->replaceSequence(sequence);
    }
    SurveyJobBuilder& builder = survey->builder;
    if (!survey->resume
        && !builder.createDataFile(job, survey->target, lineMetadata().toHeaderArea(EtrFormat::HeaderAreaSize)))
        return refuse(builder.error());

    // A continued survey shows the records already in its file from the start.
    m_surveyDataManager->resetSurveyData(builder.existing(), dataFilter());
    InversionSource line;
    line.name = survey->dataFile;
    line.positions = job->electrodes();
    line.pulse = builder.pulse();
    m_liveModel->begin(survey->dataFile, line, dataFilter());
    m_liveModel->update(builder.existing());
    auto* strategy = new SequenceStrategy(m_device, m_surveyDataManager, survey->job.release(), &m_stationSettings,
                                          &m_calculator, builder.pulse(), builder.pause(), builder.repeats());
    connect(strategy, &SurveyStrategy::recordDataAdded, m_surveyDataManager, &SurveyDataManager::addRecordData);
    connect(strategy, &SurveyStrategy::recordDataAdded, m_liveModel,
            [this]() { m_liveModel->update(m_surveyDataManager->surveyData()); });
    replaceStrategy(strategy);
    strategy->setRepeatPolicy(repeatPolicy());
    strategy->resumeRepeats(builder.resumedRecords(), builder.resumedResults());
    strategy->setDataFilter(dataFilter());
    // The report's errors are those of the whole file, records of earlier runs included.
    strategy->report().addData(builder.existing());
    if (survey->tests > 0)
        strategy->report().setContactCheck(survey->gate, choice, survey->tests, leftOut);
    const QString dataFile = survey->dataFile;
    connect(strategy, &SurveyStrategy::repeating, this, &TervexModel::runRepeating);
    connect(strategy, &SurveyStrategy::strategyCompleted, this, [this, dataFile]() { reportSurvey(dataFile, false); });
    connect(strategy, &SurveyStrategy::aborted, this, [this, dataFile]() { reportSurvey(dataFile, true); });
    m_batteryWatch = batteryLimits();
    m_surveyActive = true;
    strategy->executeStep(builder.resumedRecords() > 0, false, false);
    // A battery already low is said at once.
    onBatteryUpdated(m_device->battery()->voltage());
    return true;
}

bool TervexModel::contactCheck() const
{
    return m_settingsStore->value(Key::contactCheck(), false).toBool();
}

double TervexModel::contactLimitKOhm() const
{
    bool ok = false;
    const double limit = m_settingsStore->value(Key::contactLimit()).toDouble(&ok);
    return ok && limit > 0.0 ? limit : ContactGate::DefaultLimitKOhm;
}

void TervexModel::setContactCheck(bool on, double limitKOhm)
{
    m_settingsStore->setValue(Key::contactCheck(), on);
    m_settingsStore->setValue(Key::contactLimit(), limitKOhm);
}

RepeatPolicy TervexModel::repeatPolicy() const
{
    return RepeatPolicy::fromSettings(*m_settingsStore);
}

void TervexModel::setRepeatPolicy(const RepeatPolicy& policy)
{
    policy.save(*m_settingsStore);
}

QString TervexModel::lineName() const
{
    return m_settingsStore->value(Key::lineName()).toString();
}

QString TervexModel::lineOperator() const
{
    return m_settingsStore->value(Key::lineOperator()).toString();
}

QString TervexModel::lineNote() const
{
    return m_settingsStore->value(Key::lineNote()).toString();
}

void TervexModel::setLineDescription(const QString& name, const QString& lineOperator, const QString& note)
{
    m_settingsStore->setValue(Key::lineName(), name);
    m_settingsStore->setValue(Key::lineOperator(), lineOperator);
    m_settingsStore->setValue(Key::lineNote(), note);
}

LineMetadata TervexModel::lineMetadata()
{
    LineMetadata metadata;
    metadata.set(LineMetadata::LineName, lineName());
    metadata.set(LineMetadata::Operator, lineOperator());
    metadata.set(LineMetadata::Note, lineNote());
    // Local time with its offset from UTC: "2026-12-09T14:05:00+03:00".
    const QDateTime now = QDateTime::currentDateTime();
    metadata.set(LineMetadata::StartTime, now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate));
    const StationInfo* station = m_stationSettings.stationInfo();
    metadata.set(LineMetadata::StationSerial, QString::number(station->serialNumber));
    metadata.set(LineMetadata::Firmware,
                 QStringLiteral("adapter %1.%2, generator %3.%4")
                     .arg(station->adapterVersionMajor)
                     .arg(station->adapterVersionMinor)
                     .arg(station->generatorVersionMajor)
                     .arg(station->generatorVersionMinor));
    metadata.set(LineMetadata::ProgramVersion, QCoreApplication::applicationVersion());
    const GeneratorSettings* g = m_stationSettings.generatorSettings();
    metadata.set(LineMetadata::Voltage, QString::number(g->voltage));
    metadata.set(LineMetadata::Pulse, QString::number(g->pulseLength));
    metadata.set(LineMetadata::Pause, QString::number(g->pauseLength));
    metadata.set(LineMetadata::Periods, QString::number(g->periods));
    const GPSInfo* gps = m_device->gps();
    // Empty until the station has reported a valid fix.
    if (!gps->coordinatesText().isEmpty()) {
        metadata.set(LineMetadata::Longitude, QString::number(gps->longitude(), 'f', 4));
        metadata.set(LineMetadata::Latitude, QString::number(gps->latitude(), 'f', 4));
        metadata.set(LineMetadata::Altitude, QString::number(double(gps->altitude()), 'f', 1));
    }
    if (m_device->battery()->voltage() > 0.0f)
        metadata.set(LineMetadata::Battery, QString::number(double(m_device->battery()->voltage()), 'f', 2));
    return metadata;
}

BatteryWatch TervexModel::batteryLimits() const
{
    return BatteryWatch::fromSettings(*m_settingsStore);
}

bool TervexModel::batteryLow() const
{
    return batteryLimits().isLow(m_device->battery()->voltage());
}

void TervexModel::onBatteryUpdated(float voltage)
{
    if (!m_surveyActive || !m_strategy || !m_strategy->isRunning())
        return;
    switch (m_batteryWatch.check(voltage)) {
    case BatteryWatch::Event::None:
        break;
    case BatteryWatch::Event::Warning:
        Q_EMIT batteryWarning(tr("Батарея станции разряжается: %1 В, ниже %2 В. Съёмка продолжается; при %3 В "
                                 "она будет остановлена.")
                                  .arg(QString::number(double(voltage), 'f', 2),
                                       QString::number(double(m_batteryWatch.warningLimit()), 'f', 1),
                                       QString::number(double(m_batteryWatch.stopLimit()), 'f', 1)));
        break;
    case BatteryWatch::Event::Stop:
        m_strategy->report().setBatteryStop(voltage, m_batteryWatch.stopLimit());
        m_strategy->stopAfterRecord(tr("Батарея станции %1 В ниже предела %2 В: съёмка остановлена после "
                                       "текущей записи, записанные измерения сохранены.")
                                        .arg(QString::number(double(voltage), 'f', 2),
                                             QString::number(double(m_batteryWatch.stopLimit()), 'f', 1)));
        break;
    }
}

DataFilter TervexModel::dataFilter() const
{
    return DataFilter::fromSettings(*m_settingsStore);
}

void TervexModel::setDataFilter(const DataFilter& filter)
{
    filter.save(*m_settingsStore);
}

void TervexModel::reportSurvey(const QString& dataFile, bool stopped)
{
    if (!m_strategy)
        return;
    m_surveyActive = false;
    m_strategy->report().setBattery(m_batteryWatch.startVoltage(), m_batteryWatch.lastVoltage());
    const SurveyReport& report = m_strategy->report();
    QString note;
    QString path = SurveyReport::pathFor(dataFile, &note);
    QString error;
    if (!SurveyReport::append(path, report.text(dataFile, stopped), &error))
        path.clear();
    m_liveModel->finish(m_surveyDataManager->surveyData(), path);
    QString shown = report.text(dataFile, stopped, SurveyReport::Wording::Interface);
    if (!note.isEmpty())
        shown += note + QLatin1Char('\n');
    Q_EMIT surveyReported(shown, path, error);
}
