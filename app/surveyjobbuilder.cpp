#include "app/surveyjobbuilder.h"

#include "etr/etrfile.h"
#include "station/tervexsettings.h"
#include "survey/datafilelock.h"
#include "survey/etrformat.h"
#include "survey/outputfile.h"
#include "survey/sequence.h"
#include "survey/sequencefile.h"
#include "survey/surveyjob.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <memory>

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

SurveyJobBuilder::SurveyJobBuilder(TervexSettings* settings, int pairsLimit, const RepeatPolicy& policy)
    : m_settings(settings)
    , m_pairsLimit(pairsLimit)
    , m_policy(policy)
{
}

bool SurveyJobBuilder::refuse(const QString& reason)
{
    m_error = reason;
    return false;
}

void SurveyJobBuilder::appendNotice(QString* notices, const QString& notice)
{
    if (notice.isEmpty())
        return;
    if (!notices->isEmpty())
        *notices += QLatin1Char('\n');
    *notices += notice;
}

void SurveyJobBuilder::addNotice(const QString& notice)
{
    appendNotice(&m_notice, notice);
}

SurveyJob* SurveyJobBuilder::newSurvey(const QString& source, const QString& target)
{
    if (QFileInfo(target).suffix().toLower() != QLatin1String("etr")) {
        refuse(tr("Файл данных должен иметь расширение .etr: %1").arg(QDir::toNativeSeparators(target)));
        return nullptr;
    }
    const QFileInfo companion(EtrFormat::companionPath(target));
    if (companion.absoluteFilePath() == QFileInfo(source).absoluteFilePath()
        || (companion.exists() && companion.canonicalFilePath() == QFileInfo(source).canonicalFilePath())) {
        refuse(tr("Файл данных %1 записал бы свою копию последовательности поверх "
                  "исходного файла %2. Выберите другое имя файла данных.")
                   .arg(QDir::toNativeSeparators(target), QDir::toNativeSeparators(source)));
        return nullptr;
    }
    std::unique_ptr<SurveyJob> job(loadSequence(source));
    if (!job)
        return nullptr;
    const GeneratorSettings* g = m_settings->generatorSettings();
    QString error;
    if (!EtrFormat::checkRecordTiming(g->pulseLength, g->pauseLength, g->periods, &error)) {
        refuse(tr("Съёмка не начата: %1.").arg(error));
        return nullptr;
    }
    m_pulse = int(g->pulseLength);
    m_pause = int(g->pauseLength);
    m_repeats = int(g->periods);
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() && !targetInfo.isFile()) {
        refuse(tr("%1 не является обычным файлом.").arg(QDir::toNativeSeparators(target)));
        return nullptr;
    }
    const QFileInfo targetFolder(targetInfo.absolutePath());
    if (!targetFolder.isDir() || !targetFolder.isWritable()) {
        refuse(tr("Папка %1 недоступна для записи: файл данных %2 не может быть создан. "
                  "Выберите другую папку.")
                   .arg(QDir::toNativeSeparators(targetFolder.absoluteFilePath()),
                        QDir::toNativeSeparators(targetInfo.fileName())));
        return nullptr;
    }
    // Taken before the target is truncated: a running survey's records stay where they are.
    std::unique_ptr<DataFileLock> lock(new DataFileLock(target));
    if (!lock->acquire(&error)) {
        refuse(error);
        return nullptr;
    }
    addNotice(lock->notice());
    job->holdLock(std::move(lock));
    return job.release();
}

bool SurveyJobBuilder::createDataFile(SurveyJob* job, const QString& target, const QByteArray& headerArea)
{
    std::unique_ptr<QFile> file(new QFile(target));
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate))
        return refuse(tr("Не удалось создать файл данных %1: %2")
                          .arg(QDir::toNativeSeparators(target), file->errorString()));
    auto* created = file.get();
    job->attachDevice(file.release());
    // The header reaches the disk now, so a crash during the first record leaves a file that
    // can be continued.
    if (!EtrFormat::writeHeader(*job->dataStream(), m_pulse, m_pause, m_repeats, job->electrodes(), headerArea)
        || !created->flush())
        return refuse(tr("Не удалось записать файл данных %1: %2")
                          .arg(QDir::toNativeSeparators(target), created->errorString()));
    if (!job->writeCompanionText())
        return refuse(tr("Не удалось записать файл последовательности %1.")
                          .arg(QDir::toNativeSeparators(EtrFormat::companionPath(target))));
    return true;
}

SurveyJob* SurveyJobBuilder::loadSequence(const QString& source)
{
    SequenceFile file;
    if (!file.load(source)) {
        refuse(tr("Не удалось прочитать файл последовательности %1:\n%2")
                   .arg(QDir::toNativeSeparators(source), file.errorString()));
        return nullptr;
    }
    addNotice(file.warningString());
    auto* sequence = new Sequence(m_pairsLimit);
    sequence->build(file.lines(), true);
    return new SurveyJob(file.electrodes(), file.lines(), sequence);
}

SurveyJob* SurveyJobBuilder::resume(const QString& dataPath)
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
        m_existing = stored.surveyData(0);
    const LastStep last = lastStoredStep(m_existing);
    m_resumedRecords = 0;
    if (last.records > 0 && last.records - 1 < m_policy.maxRepeats() && m_policy.check(last.results, last.current).needed()) {
        m_resumedRecords = last.records;
        m_resumedResults = last.results;
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

    m_pulse = scan.header.pulse;
    m_pause = scan.header.pause;
    m_repeats = scan.header.repeats;
    Q_EMIT m_settings->updating();
    GeneratorSettings* g = m_settings->generatorSettings();
    g->pulseLength = quint32(scan.header.pulse);
    g->pauseLength = quint32(scan.header.pause);
    g->periods = quint16(scan.header.repeats);
    Q_EMIT m_settings->updated();

    if (!data->seek(scan.completeEnd)) {
        refuse(tr("Не удалось открыть файл данных %1 для продолжения.").arg(native));
        return nullptr;
    }
    auto* sequence = new Sequence(m_pairsLimit);
    sequence->build(remaining, true);
    // The header holds the positions exactly; the companion text has them truncated.
    auto* job = new SurveyJob(scan.header.positions, remaining, sequence);
    job->attachDevice(data.release());
    job->holdLock(std::move(lock));
    // The step measured again is counted among this run's quadrupoles.
    job->setMeasuredBefore(measuredBefore - (m_resumedRecords > 0 ? last.lines.size() : 0));
    return job;
}
