#include "app/tervexmodel.h"

#include "app/livemodel.h"
#include "app/stationlock.h"
#include "etr/etrfile.h"
#include "station/settingsstore.h"
#include "station/tervexdevice.h"
#include "survey/datafilelock.h"
#include "survey/etrformat.h"
#include "survey/outputfile.h"
#include "survey/sequence.h"
#include "survey/sequencefile.h"
#include "survey/sequencestrategy.h"
#include "survey/surveydatamanager.h"
#include "survey/surveyjob.h"
#include "survey/testdatamanager.h"
#include "survey/teststrategy.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QSettings>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace SettingsStore;

namespace {

// A name beside the data file that no earlier continuation used: "<file>.tail", then "<file>.tail2"...
QString freeTailPath(const QString& base)
{
    QString path = base;
    for (int n = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
        path = base + QString::number(n);
    return path;
}

// Copies the bytes of data from `from` to its end into a new file at *path (made free first).
bool saveTail(QFile* data, qint64 from, QString* path, QString* error)
{
    *path = freeTailPath(*path);
    QFile aside(*path);
    if (!data->seek(from) || !aside.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        *error = OutputFile::failureReason(aside);
        return false;
    }
    const QByteArray bytes = data->readAll();
    if (aside.write(bytes) != bytes.size() || !aside.flush()) {
        *error = OutputFile::failureReason(aside);
        aside.remove();
        return false;
    }
    return true;
}

// Records at the end of a data file that measured the same step as the last one (the last record
// and the repeats before it), and the last record's results as the repeat policy reads them.
struct LastStep
{
    QList<QuadrupoleLine> lines;
    int records = 0;
    QMap<int, ChannelResult> results;
    float current = 0.0f;
};

LastStep lastStoredStep(const QVector<SurveyDatum>& data)
{
    // Record -> its quadrupoles, in file order.
    QMap<int, QList<QuadrupoleLine>> records;
    for (const SurveyDatum& d : data)
        records[d.record].append(d.electrodes);
    LastStep step;
    if (records.isEmpty())
        return step;
    const int last = records.lastKey();
    step.lines = records.last();
    for (auto it = records.cend(); it != records.cbegin();) {
        --it;
        if (it.value() != step.lines)
            break;
        ++step.records;
    }
    for (const SurveyDatum& d : data) {
        if (d.record != last)
            continue;
        ChannelResult r;
        r.scatter = float(d.deviation);
        r.m = d.electrodes.m;
        r.n = d.electrodes.n;
        step.results.insert(d.channel, r);
        step.current = float(d.current);
    }
    return step;
}

} // namespace

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
    connect(&m_stationSettings, &TervexSettings::updating, this, &TervexModel::settingsUpdating);
    connect(&m_stationSettings, &TervexSettings::updated, this, &TervexModel::settingsUpdated);
}

TervexModel::~TervexModel()
{
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
    if (notice.isEmpty())
        return;
    if (!m_startNotice.isEmpty())
        m_startNotice += QLatin1Char('\n');
    m_startNotice += notice;
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

SurveyJob* TervexModel::loadSequenceJob(const QString& source, int pairsLimit)
{
    SequenceFile file;
    if (!file.load(source)) {
        refuse(tr("Не удалось прочитать файл последовательности %1:\n%2")
                   .arg(QDir::toNativeSeparators(source), file.errorString()));
        return nullptr;
    }
    addNotice(file.warningString());
    auto* sequence = new Sequence(pairsLimit);
    sequence->build(file.lines(), true);
    return new SurveyJob(file.electrodes(), file.lines(), sequence);
}

SurveyJob* TervexModel::resumeJob(const QString& dataPath, int pairsLimit, int* pulse, int* pause, int* repeats,
                                  QVector<SurveyDatum>* existing, int* resumedRecords,
                                  QMap<int, ChannelResult>* resumedResults)
{
    const QString native = QDir::toNativeSeparators(dataPath);
    const QFileInfo info(dataPath);
    if (!info.exists()) {
        refuse(tr("Файл данных %1 не найден.").arg(native));
        return nullptr;
    }
    if (!info.isFile()) {
        refuse(tr("%1 не является обычным файлом и не может быть продолжен.").arg(native));
        return nullptr;
    }
    // Taken before the file is read, so that two continuations cannot both append to it.
    std::unique_ptr<DataFileLock> lock(new DataFileLock(dataPath));
    QString lockError;
    if (!lock->acquire(&lockError)) {
        refuse(lockError);
        return nullptr;
    }
    addNotice(lock->notice());
    std::unique_ptr<QFile> data(new QFile(dataPath));
    if (!data->open(QIODevice::ReadWrite)) {
        refuse(tr("Не удалось открыть файл данных %1: %2").arg(native, data->errorString()));
        return nullptr;
    }
    const QString companion = EtrFormat::companionPath(dataPath);
    if (!QFileInfo::exists(companion)) {
        refuse(tr("Нет файла последовательности %1 рядом с файлом данных.")
                   .arg(QDir::toNativeSeparators(companion)));
        return nullptr;
    }
    SequenceFile sequenceFile;
    if (!sequenceFile.load(companion)) {
        refuse(tr("Не удалось прочитать файл последовательности %1:\n%2")
                   .arg(QDir::toNativeSeparators(companion), sequenceFile.errorString()));
        return nullptr;
    }
    addNotice(sequenceFile.warningString());
    EtrFormat::Scan scan;
    QString error;
    if (!EtrFormat::scanFile(data.get(), &scan, &error)) {
        refuse(tr("Файл данных %1 не может быть продолжен: %2").arg(native, error));
        return nullptr;
    }
    if (scan.stop == EtrFormat::BlockStatus::Rejected) {
        refuse(tr("Файл данных %1 повреждён после записи %2 и не может быть продолжен: %3.")
                   .arg(native)
                   .arg(scan.blockCount)
                   .arg(EtrFormat::rejectionReason(scan.stopBlock, scan.blockCount + 1)));
        return nullptr;
    }
    // A survey never writes a record without current electrodes: one in the file is a channel record
    // read as a block, after a damaged channel count.
    if (std::any_of(scan.measured.cbegin(), scan.measured.cend(),
                    [](const QuadrupoleLine& line) { return line.a == 0 && line.b == 0; })) {
        refuse(tr("Файл данных %1 повреждён: в нём запись без токовых электродов (A = 0, B = 0), какой съёмка "
                  "не пишет. Продолжение невозможно.")
                   .arg(native));
        return nullptr;
    }
    if (scan.stop == EtrFormat::BlockStatus::Incomplete && !scan.tornTail) {
        refuse(tr("Файл данных %1 не может быть продолжен: %2.").arg(native, scan.tailProblem));
        return nullptr;
    }
    QList<QuadrupoleLine> remaining = sequenceFile.lines();
    for (const QuadrupoleLine& measured : scan.measured)
        remaining.removeOne(measured);
    const int measuredBefore = sequenceFile.lines().size() - remaining.size();
    // A run killed between a step's automatic repeats left that step with fewer records than the
    // policy asks for: it is measured again first, as the repeat it would have been.
    // The complete records, as the page shows them from the start.
    EtrFile stored;
    if (stored.load(dataPath))
        *existing = stored.surveyData(0);
    const RepeatPolicy policy = repeatPolicy();
    const LastStep last = lastStoredStep(*existing);
    *resumedRecords = 0;
    if (last.records > 0 && last.records - 1 < policy.maxRepeats() && policy.check(last.results, last.current).needed()) {
        *resumedRecords = last.records;
        *resumedResults = last.results;
        remaining = last.lines + remaining;
    }
    if (remaining.isEmpty()) {
        refuse(tr("Все линии последовательности уже измерены"));
        return nullptr;
    }
    // A block cut short by a crash is removed, so that new blocks line up; its quadrupoles are
    // measured again because they are not among the measured ones. The bytes cut are kept aside
    // first, so that nothing of the file is lost even if the tail was not what it seemed.
    if (scan.stop == EtrFormat::BlockStatus::Incomplete) {
        QString aside = dataPath + QStringLiteral(".tail");
        QString error;
        if (!saveTail(data.get(), scan.completeEnd, &aside, &error) || !data->resize(scan.completeEnd)) {
            refuse(tr("Не удалось отрезать неполную последнюю запись файла %1: %2")
                       .arg(native, error.isEmpty() ? OutputFile::failureReason(*data) : error));
            return nullptr;
        }
        addNotice(tr("Неполная последняя запись файла %1 (%2 байт) отрезана и сохранена в %3.")
                      .arg(native)
                      .arg(QFileInfo(aside).size())
                      .arg(QDir::toNativeSeparators(aside)));
    }

    *pulse = scan.header.pulse;
    *pause = scan.header.pause;
    *repeats = scan.header.repeats;
    Q_EMIT m_stationSettings.updating();
    GeneratorSettings* g = m_stationSettings.generatorSettings();
    g->pulseLength = quint32(scan.header.pulse);
    g->pauseLength = quint32(scan.header.pause);
    g->periods = quint16(scan.header.repeats);
    Q_EMIT m_stationSettings.updated();

    if (!data->seek(scan.completeEnd)) {
        refuse(tr("Не удалось открыть файл данных %1 для продолжения.").arg(native));
        return nullptr;
    }
    auto* sequence = new Sequence(pairsLimit);
    sequence->build(remaining, true);
    // The header holds the positions exactly; the companion text has them truncated.
    auto* job = new SurveyJob(scan.header.positions, remaining, sequence);
    job->attachDevice(data.release());
    job->holdLock(std::move(lock));
    // The step measured again is counted among this run's quadrupoles.
    job->setMeasuredBefore(measuredBefore - (*resumedRecords > 0 ? last.lines.size() : 0));
    return job;
}

bool TervexModel::startSurvey(const QString& source, const QString& target)
{
    m_startError.clear();
    m_startNotice.clear();
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
    int pulse = 0, pause = 0, repeats = 0;
    std::unique_ptr<SurveyJob> job;
    // A continued survey shows the records already in its file from the start.
    QVector<SurveyDatum> existing;
    int resumedRecords = 0;
    QMap<int, ChannelResult> resumedResults;
    if (suffix == QLatin1String("etr")) {
        job.reset(resumeJob(source, pairsLimit, &pulse, &pause, &repeats, &existing, &resumedRecords, &resumedResults));
        if (!job)
            return false;
    } else if (suffix == QLatin1String("txt")) {
        if (QFileInfo(target).suffix().toLower() != QLatin1String("etr"))
            return refuse(tr("Файл данных должен иметь расширение .etr: %1")
                              .arg(QDir::toNativeSeparators(target)));
        const QFileInfo companion(EtrFormat::companionPath(target));
        if (companion.absoluteFilePath() == QFileInfo(source).absoluteFilePath()
            || (companion.exists() && companion.canonicalFilePath() == QFileInfo(source).canonicalFilePath()))
            return refuse(tr("Файл данных %1 записал бы свою копию последовательности поверх "
                                         "исходного файла %2. Выберите другое имя файла данных.")
                              .arg(QDir::toNativeSeparators(target), QDir::toNativeSeparators(source)));
        job.reset(loadSequenceJob(source, pairsLimit));
        if (!job)
            return false;

        const GeneratorSettings* g = m_stationSettings.generatorSettings();
        QString error;
        if (!EtrFormat::checkRecordTiming(g->pulseLength, g->pauseLength, g->periods, &error))
            return refuse(tr("Съёмка не начата: %1.").arg(error));
        pulse = int(g->pulseLength);
        pause = int(g->pauseLength);
        repeats = int(g->periods);
        const QFileInfo targetInfo(target);
        if (targetInfo.exists() && !targetInfo.isFile())
            return refuse(tr("%1 не является обычным файлом.").arg(QDir::toNativeSeparators(target)));
        const QFileInfo targetFolder(targetInfo.absolutePath());
        if (!targetFolder.isDir() || !targetFolder.isWritable())
            return refuse(tr("Папка %1 недоступна для записи: файл данных %2 не может быть создан. "
                             "Выберите другую папку.")
                              .arg(QDir::toNativeSeparators(targetFolder.absoluteFilePath()),
                                   QDir::toNativeSeparators(targetInfo.fileName())));
        // Taken before the target is truncated: a running survey's records stay where they are.
        std::unique_ptr<DataFileLock> lock(new DataFileLock(target));
        if (!lock->acquire(&error))
            return refuse(error);
        addNotice(lock->notice());
        std::unique_ptr<QFile> file(new QFile(target));
        if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate))
            return refuse(tr("Не удалось создать файл данных %1: %2")
                              .arg(QDir::toNativeSeparators(target), file->errorString()));
        auto* created = file.get();
        job->attachDevice(file.release());
        job->holdLock(std::move(lock));
        // The header reaches the disk now, so a crash during the first record leaves a file that
        // can be continued.
        const QByteArray area = lineMetadata().toHeaderArea(EtrFormat::HeaderAreaSize);
        if (!EtrFormat::writeHeader(*job->dataStream(), pulse, pause, repeats, job->electrodes(), area)
            || !created->flush())
            return refuse(tr("Не удалось записать файл данных %1: %2")
                              .arg(QDir::toNativeSeparators(target), created->errorString()));
        if (!job->writeCompanionText())
            return refuse(tr("Не удалось записать файл последовательности %1.")
                              .arg(QDir::toNativeSeparators(companion.filePath())));
    } else {
        return refuse(tr("Съёмку можно начать по файлу последовательности (.txt) или продолжить "
                                     "по файлу данных (.etr): %1")
                          .arg(QDir::toNativeSeparators(source)));
    }

    m_surveyDataManager->resetSurveyData(existing);
    const QString dataFile = suffix == QLatin1String("etr") ? source : target;
    InversionSource line;
    line.name = dataFile;
    line.positions = job->electrodes();
    line.pulse = pulse;
    m_liveModel->begin(dataFile, line, dataFilter());
    m_liveModel->update(existing);
    auto* strategy = new SequenceStrategy(m_device, m_surveyDataManager, job.release(), &m_stationSettings,
                                          &m_calculator, pulse, pause, repeats);
    connect(strategy, &SurveyStrategy::recordDataAdded, m_surveyDataManager, &SurveyDataManager::addRecordData);
    connect(strategy, &SurveyStrategy::recordDataAdded, m_liveModel,
            [this]() { m_liveModel->update(m_surveyDataManager->surveyData()); });
    replaceStrategy(strategy);
    strategy->setRepeatPolicy(repeatPolicy());
    strategy->resumeRepeats(resumedRecords, resumedResults);
    strategy->setDataFilter(dataFilter());
    connect(strategy, &SurveyStrategy::repeating, this, &TervexModel::runRepeating);
    connect(strategy, &SurveyStrategy::strategyCompleted, this, [this, dataFile]() { reportSurvey(dataFile, false); });
    connect(strategy, &SurveyStrategy::aborted, this, [this, dataFile]() { reportSurvey(dataFile, true); });
    m_batteryWatch = limits;
    m_surveyActive = true;
    strategy->executeStep(resumedRecords > 0, false, false);
    // A battery already low is said at once.
    onBatteryUpdated(battery);
    return true;
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
