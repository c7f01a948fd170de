#include "survey/testdatamanager.h"

#include "measurement/electrodeposition.h"
#include "measurement/imeasurementinfo.h"
#include "measurement/tervexcalculator.h"
#include "station/itervexsettings.h"
#include "station/settingsstore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSettings>
#include <QTextCodec>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
constexpr int E = Electrodes::Count;

// The verdict as the operator reads it, or in the report's own Russian.
QString wording(const char* source, bool translated)
{
    return translated ? TestDataManager::tr(source) : QString::fromUtf8(source);
}

constexpr int FirstHalfLast = E - 1;       // result index closing the mirror-pair half
constexpr int SecondHalfLast = 2 * E - 1;  // result index closing the shifted-pair half
}

TestDataManager::TestDataManager(QObject* parent)
    : DataManager(parent)
{
    resetRelays();
}

void TestDataManager::setPlan(const QVector<TestPlanEntry>& entries, int positionCount)
{
    // Positions outside the plan count as done, so each record goes to the next planned one.
    m_plan = QVector<TestPlanEntry>(qMax(0, positionCount), TestPlanEntry{-1, 0, 0, true});
    for (const TestPlanEntry& entry : entries) {
        if (entry.resultIndex >= 0 && entry.resultIndex < m_plan.size())
            m_plan[entry.resultIndex] = entry;
    }
}

void TestDataManager::prepare()
{
    const int n = m_plan.size();
    if (m_results.isEmpty() || n != m_resultCount) {
        // A table of another test kind means nothing here: start from an empty one.
        m_resultCount = n;
        m_results = QVector<TestResult>(n);
    }
    for (TestResult& r : m_results)
        ++r.age;
    resetRelays();
    Q_EMIT prepared();
}

void TestDataManager::resetRelays()
{
    for (int r = 0; r <= RelayCount; ++r)
        m_relays[r] = RelayState{};
    auto setLevel = [this](int from, int to, int level) {
        for (int r = from; r <= to; ++r)
            m_relays[r].level = level;
    };
    setLevel(1, 12, 1);
    setLevel(22, 33, 1);
    setLevel(13, 18, 2);
    setLevel(34, 39, 2);
    setLevel(19, 21, 3);
    setLevel(40, 42, 3);
    for (int r : {43, 44, 47, 48})
        m_relays[r].level = 4;
    m_relays[45].level = 5;
    m_relays[49].level = 5;
    m_relays[46].level = 6;
    m_relays[50].level = 6;
    for (int r : {44, 46, 48, 50})
        m_relays[r].position1Confirmed = true;
    m_faultyRelay = 0;
    m_faultyRelays.clear();
    m_relayLines.clear();
    m_failedPairs.clear();
    m_pairsMeasured = 0;
    m_pairsPassed = 0;
    m_pairsOpen = 0;
}

void TestDataManager::beginRecord()
{
    Q_EMIT started();
}

void TestDataManager::updateData()
{
}

bool TestDataManager::finishRecord()
{
    int planIndex = -1;
    for (int k = 0; k < m_plan.size(); ++k) {
        if (!m_plan[k].done) {
            planIndex = k;
            break;
        }
    }
    QString message;
    if (planIndex >= 0) {
        TestPlanEntry& entry = m_plan[planIndex];
        const int i = entry.resultIndex;
        if (i >= 0 && i < m_resultCount && m_calculator) {
            if (m_resultCount > ContactPositions) {
                const QMap<int, ChannelResult> channels = m_calculator->channelResults();
                if (!channels.isEmpty())
                    m_results[i] = TestResult{channels.first().resistivity, 0};
            } else {
                m_results[i] = TestResult{m_calculator->result().resistance, 0};
            }
        }
        entry.done = true;

        if (m_resultCount <= ContactPositions) {
            if (m_info && m_info->currentStep() >= m_info->stepCount())
                writeReport();
        } else if (i == FirstHalfLast) {
            evaluateRelayHalf(false);
        } else if (i == SecondHalfLast) {
            evaluateRelayHalf(true);
            message = verdict(true);
            // The report keeps its Russian wording whatever the interface language.
            writeRelayReport(verdict(false));
        }
    }
    Q_EMIT completed();
    if (!message.isEmpty())
        Q_EMIT verdictReady(message);
    return true;
}

void TestDataManager::finishSequence()
{
    Q_EMIT allCompleted();
}

void TestDataManager::abortRun()
{
    Q_EMIT aborted();
}

void TestDataManager::writeReport()
{
    QString body;
    for (const TestPlanEntry& entry : m_plan) {
        if (entry.firstElectrode == 0 || entry.secondElectrode == 0)
            continue;
        const float r = (entry.resultIndex >= 0 && entry.resultIndex < m_results.size())
                            ? m_results[entry.resultIndex].resistance
                            : 0.0f;
        body += QStringLiteral("%1-%2:\t%3\n")
                    .arg(entry.firstElectrode)
                    .arg(entry.secondElectrode)
                    .arg(QString::number(double(r), 'f', 1));
    }
    writeReportFile(QStringLiteral("resistance_"), QStringLiteral("Измерение переходных сопротивлений "), body);
}

void TestDataManager::writeRelayReport(const QString& verdict)
{
    const QString body = QStringLiteral("Пара\tизмерено, Ом\tожидается, Ом\tрезультат\n")
                         + m_relayLines.join(QString()) + QStringLiteral("\n") + verdict + QStringLiteral("\n");
    writeReportFile(QStringLiteral("relays_"), QStringLiteral("Тест реле "), body);
}

void TestDataManager::writeReportFile(const QString& prefix, const QString& title, const QString& body)
{
    std::unique_ptr<QSettings> store(SettingsStore::open());
    QString directory = store->value(SettingsStore::Key::dataPath()).toString();
    if (directory.isEmpty() || !QFileInfo::exists(directory))
        directory = QDir::homePath();
    const QDateTime now = QDateTime::currentDateTime();
    const QString path = directory + QDir::separator() + prefix
                         + now.toString(QStringLiteral("yyMMdd_hhmmss")) + QStringLiteral(".txt");

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;

    QString text = title + now.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + QStringLiteral("\n");
    if (m_settings) {
        const StationInfo* info = m_settings->stationInfo();
        text += QStringLiteral("Тервекс #%1, адаптер %2:%3, генератор %4:%5\n\n")
                    .arg(info->serialNumber)
                    .arg(info->adapterVersionMajor)
                    .arg(info->adapterVersionMinor)
                    .arg(info->generatorVersionMajor)
                    .arg(info->generatorVersionMinor);
    }
    text += body;
    file.write(text.toLocal8Bit());
    file.close();
    m_lastReportPath = path;
}

RelayPath TestDataManager::relayPath(int a, int b)
{
    RelayPath path;
    path.first[0] = (a - 1) / 4 + 1;
    path.second[0] = (b - 1) / 4 + 22;
    int s = 0;
    static const int firstOffset[6] = {0, 1, 1, 22, 23, 24};
    static const int secondOffset[6] = {0, 22, 22, 26, 27, 28};
    for (int k = 1; k <= 5; ++k) {
        const int c = 1 << (k - 1);
        s += 12 / c;
        const int e = s + (a - 1) / (8 * c);
        const int d = s + (b - 1) / (8 * c);
        path.first[k] = e + firstOffset[k];
        path.second[k] = d + secondOffset[k];
    }
    return path;
}

bool TestDataManager::withinTolerance(float measured, int expected, int deltaPercent)
{
    if (!std::isfinite(measured))
        return false;
    const int tolerance = int(deltaPercent * expected * 0.01);
    const double value = std::trunc(double(measured));
    return expected - tolerance <= value && value <= expected + tolerance;
}

void TestDataManager::confirmPath(const RelayPath& path, int a, int b)
{
    for (int k = 0; k <= 5; ++k) {
        const bool firstOdd = (((a - 1) >> (k + 1)) & 1) != 0;
        const bool secondOdd = (((b - 1) >> (k + 1)) & 1) != 0;
        RelayState* first = (path.first[k] >= 1 && path.first[k] <= RelayCount) ? &m_relays[path.first[k]] : nullptr;
        RelayState* second =
            (path.second[k] >= 1 && path.second[k] <= RelayCount) ? &m_relays[path.second[k]] : nullptr;
        if (first)
            (firstOdd ? first->position1Confirmed : first->position0Confirmed) = true;
        if (second)
            (secondOdd ? second->position1Confirmed : second->position0Confirmed) = true;
    }
}

void TestDataManager::evaluateRelayHalf(bool secondHalf)
{
    std::unique_ptr<QSettings> store(SettingsStore::open());
    const int base = SettingsStore::readClamped(*store, SettingsStore::Key::testRBase(), SettingsStore::TestRBase);
    const int delta = SettingsStore::readClamped(*store, SettingsStore::Key::testRDelta(), SettingsStore::TestRDelta);

    for (int j = 0; j < E; ++j) {
        int a, b, index;
        if (!secondHalf) {
            a = j + 1;
            b = E - j;
            index = j;
        } else {
            a = j + 1;
            b = (a + 32) % E + 1;
            index = E - 1 + a;
        }
        const RelayPath path = relayPath(a, b);
        m_paths[secondHalf ? 1 : 0][j] = path;
        const int expected = std::abs(b - a) * base;
        const QString pair = QStringLiteral("%1-%2:\t").arg(a).arg(b);
        // Only a value measured in this run can confirm a relay.
        if (index >= m_results.size() || m_results[index].age != 0) {
            m_relayLines << pair + QStringLiteral("-\t%1\tне измерено\n").arg(expected);
            m_failedPairs.append({a, b});
            continue;
        }
        ++m_pairsMeasured;
        const float r = m_results[index].resistance;
        if (!std::isfinite(r) || r > OpenCircuitOhms || r == ChannelResult::NotComputed)
            ++m_pairsOpen;
        const bool passed = withinTolerance(r, expected, delta);
        m_relayLines << pair + QStringLiteral("%1\t%2\t%3\n")
                                   .arg(QString::number(double(r), 'f', 1))
                                   .arg(expected)
                                   .arg(passed ? QStringLiteral("в допуске") : QStringLiteral("вне допуска"));
        if (passed) {
            ++m_pairsPassed;
            confirmPath(path, a, b);
        } else {
            m_failedPairs.append({a, b});
        }
    }
}

QVector<int> TestDataManager::blamedRelays() const
{
    // A relay position is written relay * 2 + position. Each failed pair went through at least
    // one bad position among the unconfirmed ones on its path; the fewest positions that explain
    // every failed pair are blamed, the position on most failed paths first. A relay whose
    // positions were tested only together with a bad one is not blamed for it.
    const auto unconfirmed = [this](int relay, int position) {
        if (relay < 1 || relay > RelayCount || m_relays[relay].level < 1)
            return false;
        return !(position ? m_relays[relay].position1Confirmed : m_relays[relay].position0Confirmed);
    };
    QVector<QVector<int>> failed;
    for (const QPair<int, int>& pair : m_failedPairs) {
        const RelayPath path = relayPath(pair.first, pair.second);
        QVector<int> positions;
        for (int k = 0; k <= 5; ++k) {
            const int first = ((pair.first - 1) >> (k + 1)) & 1;
            const int second = ((pair.second - 1) >> (k + 1)) & 1;
            if (unconfirmed(path.first[k], first))
                positions.append(path.first[k] * 2 + first);
            if (unconfirmed(path.second[k], second))
                positions.append(path.second[k] * 2 + second);
        }
        failed.append(positions);
    }
    QVector<int> blamed;
    for (;;) {
        QMap<int, int> count;
        for (const QVector<int>& positions : qAsConst(failed)) {
            for (int p : positions)
                ++count[p];
        }
        int best = -1;
        for (auto it = count.cbegin(); it != count.cend(); ++it) {
            if (best < 0 || it.value() > count.value(best))
                best = it.key();
        }
        if (best < 0)
            break;
        if (!blamed.contains(best / 2))
            blamed.append(best / 2);
        failed.erase(std::remove_if(failed.begin(), failed.end(),
                                    [best](const QVector<int>& positions) { return positions.contains(best); }),
                     failed.end());
    }
    std::sort(blamed.begin(), blamed.end());
    return blamed;
}

QString TestDataManager::verdict(bool translated)
{
    m_faultyRelay = 0;
    m_faultyRelays.clear();
    for (int r = 1; r <= RelayCount; ++r) {
        if (m_relays[r].level >= 1 && !(m_relays[r].position0Confirmed && m_relays[r].position1Confirmed)) {
            m_faultyRelay = quint16(r);
            m_faultyRelays.append(r);
        }
    }
    if (m_faultyRelay == 0)
        return wording(QT_TRANSLATE_NOOP("TestDataManager", "Нет неисправных реле"), translated);
    // A missing or wrongly wired test load fails every path at once; no single relay is to blame.
    if (m_pairsMeasured > 0 && m_pairsOpen == m_pairsMeasured) {
        m_faultyRelay = 0;
        m_faultyRelays.clear();
        return wording(QT_TRANSLATE_NOOP("TestDataManager",
                                         "Тестовая нагрузка не подключена: все %1 пар показывают обрыв (выше 1 МОм). "
                                         "Подключите тестовую нагрузку и повторите тест."),
                       translated)
            .arg(m_pairsMeasured);
    }
    if (2 * m_pairsPassed < m_pairsMeasured) {
        m_faultyRelay = 0;
        m_faultyRelays.clear();
        return wording(QT_TRANSLATE_NOOP("TestDataManager",
                                         "Вне допуска %1 пар из %2: проверьте тестовую нагрузку и её подключение, "
                                         "затем повторите тест. Неисправное реле по таким измерениям не определить."),
                       translated)
            .arg(m_pairsMeasured - m_pairsPassed)
            .arg(m_pairsMeasured);
    }
    const QVector<int> blamed = blamedRelays();
    if (!blamed.isEmpty())
        m_faultyRelays = blamed;
    QStringList numbers;
    for (int r : m_faultyRelays)
        numbers << QString::number(r);
    return QStringLiteral("%1 %2").arg(wording(QT_TRANSLATE_NOOP("TestDataManager", "Неисправно реле"), translated), numbers.join(QStringLiteral(", ")));
}
