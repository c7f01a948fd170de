#include "measurement/measurementinfo.h"
#include "measurement/tervexcalculator.h"
#include "station/settingsstore.h"
#include "station/tervexsettings.h"
#include "survey/contactgate.h"
#include "survey/testdatamanager.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// Hands the manager the values a record would have produced.
class FakeCalculator : public TervexCalculator
{
public:
    CalculatorResult result() const override { return line; }
    QMap<int, ChannelResult> channelResults() const override { return channels; }

    void setResistance(float r) { line.resistance = r; }
    void setChannelResistance(float r)
    {
        channels.clear();
        ChannelResult c;
        c.resistivity = r;
        channels.insert(1, c);
    }

    CalculatorResult line;
    QMap<int, ChannelResult> channels;
};

constexpr int E = 48;

QVector<TestPlanEntry> relayPlan()
{
    QVector<TestPlanEntry> entries;
    for (int k = 0; k < E; ++k)
        entries.append(TestPlanEntry{k, k + 1, E - k, false});
    for (int i = 1; i <= E; ++i)
        entries.append(TestPlanEntry{E + i - 1, i, (i + 32) % E + 1, false});
    return entries;
}

QVector<TestPlanEntry> allElectrodesPlan()
{
    QVector<TestPlanEntry> entries;
    for (int c = 1; c < E; ++c)
        entries.append(TestPlanEntry{c - 1, c, c + 1, false});
    return entries;
}

} // namespace

// Result table, report, relay paths and verdict of the electrode and relay tests.
class TestDataManagerTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }
    void init()
    {
        std::unique_ptr<QSettings> s(SettingsStore::open());
        s->clear();
        s->setValue(SettingsStore::Key::dataPath(), m_dir.path());
    }

    void relayPathAndTolerance();
    void relayVerdict_data();
    void relayVerdict();
    void relayVerdictWithoutALoad();
    void planOfAnotherSizeStartsAnEmptyTable();
    void contactReportAndAges();
    void contactGateNamesBadElectrodes();

private:
    // Runs a relay test whose measured values come from resistanceOf(entry index).
    QString runRelayTest(TestDataManager& m, const std::function<float(int, int, int)>& resistanceOf,
                         bool measured = true)
    {
        FakeCalculator calc;
        MeasurementInfo info;
        m.setSources(&m_settings, &calc, nullptr, &info);
        m.setPlan(relayPlan(), 2 * E);
        m.prepare();
        QSignalSpy verdict(&m, &TestDataManager::verdictReady);
        const QVector<TestPlanEntry> plan = relayPlan();
        for (int k = 0; k < plan.size(); ++k) {
            if (!measured)
                calc.channels.clear();
            else
                calc.setChannelResistance(resistanceOf(k, plan[k].firstElectrode, plan[k].secondElectrode));
            m.finishRecord();
        }
        return verdict.isEmpty() ? QString() : verdict.first().first().toString();
    }

    QTemporaryDir m_dir;
    TervexSettings m_settings;
};

void TestDataManagerTest::relayPathAndTolerance()
{
    const RelayPath p = TestDataManager::relayPath(1, 48);
    const int first[6] = {1, 13, 19, 43, 45, 46};
    const int second[6] = {33, 39, 42, 48, 49, 50};
    for (int k = 0; k < 6; ++k) {
        QCOMPARE(p.first[k], first[k]);
        QCOMPARE(p.second[k], second[k]);
    }
    // 4700 Ohm with 10 %: measured values truncated to whole ohms from 4230 to 5170 pass.
    QVERIFY(TestDataManager::withinTolerance(4230.0f, 4700, 10));
    QVERIFY(TestDataManager::withinTolerance(5170.9f, 4700, 10));
    QVERIFY(!TestDataManager::withinTolerance(4229.9f, 4700, 10));
    QVERIFY(!TestDataManager::withinTolerance(5171.0f, 4700, 10));
    QVERIFY(!TestDataManager::withinTolerance(std::numeric_limits<float>::infinity(), 4700, 10));
}

void TestDataManagerTest::relayVerdict_data()
{
    QTest::addColumn<int>("storedBase");
    QTest::addColumn<int>("loadBase");
    QTest::addColumn<bool>("pass");
    QTest::newRow("base 100") << 100 << 100 << true;
    QTest::newRow("base 40 is read as 50") << 40 << 50 << true;
    QTest::newRow("base 200 is read as 150") << 200 << 150 << true;
    QTest::newRow("load differs from base") << 100 << 130 << false;
}

void TestDataManagerTest::relayVerdict()
{
    QFETCH(int, storedBase);
    QFETCH(int, loadBase);
    QFETCH(bool, pass);
    {
        std::unique_ptr<QSettings> s(SettingsStore::open());
        s->setValue(SettingsStore::Key::testRBase(), storedBase);
    }
    TestDataManager m;
    const QString verdict =
        runRelayTest(m, [loadBase](int, int a, int b) { return float(std::abs(a - b) * loadBase); });
    if (pass) {
        QCOMPARE(verdict, QStringLiteral("Нет неисправных реле"));
        QCOMPARE(int(m.faultyRelay()), 0);
    } else {
        // Every pair off the expected value is the load's fault, not one relay's.
        QVERIFY2(verdict.startsWith(QStringLiteral("Вне допуска 96 пар из 96")), qPrintable(verdict));
        QCOMPARE(int(m.faultyRelay()), 0);
    }
}

void TestDataManagerTest::relayVerdictWithoutALoad()
{
    TestDataManager m;
    // Nothing connected: every pair reads as an open circuit, infinite or just above 1 MOhm.
    QString verdict = runRelayTest(m, [](int k, int, int) {
        return k % 2 ? std::numeric_limits<float>::infinity() : 1.5e6f;
    });
    QVERIFY2(verdict.startsWith(QStringLiteral("Тестовая нагрузка не подключена")), qPrintable(verdict));
    QCOMPARE(int(m.faultyRelay()), 0);

    // Relays that never close fail only the paths through them: every one is named, the highest
    // is the stored number, and the report lists every pair with its result.
    verdict = runRelayTest(m, [](int, int a, int b) {
        // Stuck open in position 1, as the simulated load's faulty relays are.
        const RelayPath path = TestDataManager::relayPath(a, b);
        for (int k = 0; k < 6; ++k) {
            for (int faulty : {13, 27}) {
                if ((path.first[k] == faulty && (((a - 1) >> (k + 1)) & 1))
                    || (path.second[k] == faulty && (((b - 1) >> (k + 1)) & 1)))
                    return std::numeric_limits<float>::infinity();
            }
        }
        return float(std::abs(a - b) * 100);
    });
    QCOMPARE(verdict, QStringLiteral("Неисправно реле 13, 27"));
    QCOMPARE(m.faultyRelays(), QVector<int>({13, 27}));
    QVERIFY(m.faultyRelay() >= 27);
    QFile report(m.lastReportPath());
    QVERIFY2(report.open(QIODevice::ReadOnly), qPrintable(m.lastReportPath()));
    QVERIFY(QFileInfo(report).fileName().contains(QRegularExpression("^relays_\\d{6}_\\d{6}\\.txt$")));
    const QStringList lines = QString::fromLocal8Bit(report.readAll()).split('\n');
    QVERIFY(lines[0].startsWith(QStringLiteral("Тест реле ")));
    QCOMPARE(lines.filter(QRegularExpression("^\\d+-\\d+:\t")).size(), 96);
    QVERIFY(lines.contains(QStringLiteral("5-44:\tinf\t3900\tвне допуска")));
    QVERIFY(lines.contains(QStringLiteral("9-40:\t3100.0\t3100\tв допуске")));
    QCOMPARE(lines.value(lines.size() - 2), verdict);
}

void TestDataManagerTest::planOfAnotherSizeStartsAnEmptyTable()
{
    TestDataManager m;
    // A relay test leaves 96 values...
    runRelayTest(m, [](int, int a, int b) { return float(std::abs(a - b) * 100); });
    QCOMPARE(m.results().size(), 96);

    // ...which a contact test must not show as kept contact resistances.
    FakeCalculator calc;
    MeasurementInfo info;
    m.setSources(&m_settings, &calc, nullptr, &info);
    m.setPlan(allElectrodesPlan(), E - 1);
    m.prepare();
    QCOMPARE(m.results().size(), 47);
    for (const TestResult& r : m.results())
        QCOMPARE(r.resistance, 0.0f);

    // Entries not measured in this run fail, whatever an earlier run held.
    TestDataManager relay;
    runRelayTest(relay, [](int, int a, int b) { return float(std::abs(a - b) * 100); });
    const QString verdict =
        runRelayTest(relay, [](int, int a, int b) { return float(std::abs(a - b) * 100); }, false);
    QVERIFY2(verdict.startsWith(QStringLiteral("Неисправно реле")), qPrintable(verdict));
}

void TestDataManagerTest::contactReportAndAges()
{
    StationInfo* station = m_settings.stationInfo();
    station->serialNumber = 1017;
    station->adapterVersionMajor = 2;
    station->adapterVersionMinor = 5;
    station->generatorVersionMajor = 1;
    station->generatorVersionMinor = 3;

    TestDataManager m;
    FakeCalculator calc;
    MeasurementInfo info;
    m.setSources(&m_settings, &calc, nullptr, &info);
    m.setPlan(allElectrodesPlan(), E - 1);
    m.prepare();
    info.setStepCount(E - 1);
    for (int d = 0; d < E - 1; ++d) {
        info.setCurrentStep(d + 1);
        calc.setResistance(1000.3f + d);
        QVERIFY(m.finishRecord());
    }
    QFile report(m.lastReportPath());
    QVERIFY(report.open(QIODevice::ReadOnly));
    QVERIFY(report.fileName().startsWith(m_dir.path()));
    QVERIFY(QFileInfo(report).fileName().contains(QRegularExpression("^resistance_\\d{6}_\\d{6}\\.txt$")));
    const QStringList lines = QString::fromLocal8Bit(report.readAll()).split('\n');
    QVERIFY(lines[0].startsWith(QStringLiteral("Измерение переходных сопротивлений ")));
    QCOMPARE(lines[1], QStringLiteral("Тервекс #1017, адаптер 2:5, генератор 1:3"));
    QCOMPARE(lines[2], QString());
    QCOMPARE(lines[3], QStringLiteral("1-2:\t1000.3"));
    QCOMPARE(lines[5], QStringLiteral("3-4:\t1002.3"));
    QCOMPARE(lines[49], QStringLiteral("47-48:\t1046.3"));

    // One electrode: its pairs are measured again, the others keep their values and age.
    QVector<TestPlanEntry> one{{8, 9, 10, false}, {9, 10, 11, false}};
    m.setPlan(one, E - 1);
    m.prepare();
    info.setStepCount(2);
    info.setCurrentStep(1);
    calc.setResistance(20000.0f);
    m.finishRecord();
    info.setCurrentStep(2);
    calc.setResistance(21000.0f);
    m.finishRecord();
    QCOMPARE(m.results()[8].resistance, 20000.0f);
    QCOMPARE(m.results()[8].age, 0);
    QCOMPARE(m.results()[9].resistance, 21000.0f);
    QCOMPARE(m.results()[0].resistance, 1000.3f);
    QCOMPARE(m.results()[0].age, 1);
    QFile second(m.lastReportPath());
    QVERIFY(second.open(QIODevice::ReadOnly));
    const QString text = QString::fromLocal8Bit(second.readAll());
    QVERIFY(text.contains(QStringLiteral("9-10:\t20000.0\n10-11:\t21000.0\n")));
    QVERIFY(!text.contains(QStringLiteral("1-2:")));
}

QTEST_GUILESS_MAIN(TestDataManagerTest)
void TestDataManagerTest::contactGateNamesBadElectrodes()
{
    // Remote electrodes (0) are not tested; the used ones pair with the next used one.
    const QList<QuadrupoleLine> lines = {{1, 0, 2, 3}, {3, 7, 4, 5}, {7, 0, 5, 4}, {2, 9, 3, 4}};
    ContactGate gate(lines, 5000.0);
    QCOMPARE(gate.electrodes(), QVector<int>({1, 2, 3, 4, 5, 7, 9}));
    QCOMPARE(gate.plan().size(), 6);
    QCOMPARE(gate.plan()[4].firstElectrode, 5);
    QCOMPARE(gate.plan()[4].secondElectrode, 7);
    QVERIFY(gate.testLines()[4] == (QuadrupoleLine{5, 7, 0, 0}));

    // Pairs 1-2 2-3 3-4 4-5 5-7 7-9: electrode 3 is bad (both its pairs high, the lower one is its
    // value), 9 is the last one and its only pair is high; 2, 4 and 7 keep one low pair.
    const QVector<float> ohms = {2000, 9000, 8000, 2200, 2500, 12000};
    QVector<TestResult> results;
    for (float v : ohms)
        results.append(TestResult{v, 0});
    gate.evaluate(results);
    QCOMPARE(gate.aboveLimit().size(), 2);
    QCOMPARE(gate.aboveLimit()[0].number, 3);
    QCOMPARE(gate.aboveLimit()[0].ohms, 8000.0f);
    QCOMPARE(gate.aboveLimit()[1].number, 9);
    QCOMPARE(gate.leftOutCount(), 3);
    QCOMPARE(gate.keptLines().size(), 1);
    QVERIFY(gate.keptLines().first() == (QuadrupoleLine{7, 0, 5, 4}));
}

#include "tst_testdatamanager.moc"
