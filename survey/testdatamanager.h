#ifndef TESTDATAMANAGER_H
#define TESTDATAMANAGER_H

#include "survey/datamanager.h"

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

struct TestPlanEntry
{
    int resultIndex = -1;
    int firstElectrode = 0;
    int secondElectrode = 0;
    bool done = false;
};

// One measured resistance per plan position; age 0 = measured in the current run,
// above 0 = kept from that many runs ago.
struct TestResult
{
    float resistance = 0.0f;
    int age = 0;
};

struct RelayState
{
    int level = 0;
    bool position0Confirmed = false;
    bool position1Confirmed = false;
};

// The relays a pair of electrodes switches through: six on each electrode's side.
struct RelayPath
{
    int first[6] = {};
    int second[6] = {};
};

// The data manager of the contact-resistance tests and the relay test: keeps the result table across
// runs, writes the contact-test report and decides on the relays.
class TestDataManager : public DataManager
{
    Q_OBJECT

public:
    static constexpr int RelayCount = 50;
    // Plans of more entries than a contact test has (47) are relay tests.
    static constexpr int ContactPositions = 47;
    static constexpr int RelayPlanSize = 96;
    // Above this a pair reads as an open circuit: no test load between its electrodes.
    static constexpr float OpenCircuitOhms = 1.0e6f;

    explicit TestDataManager(QObject* parent = nullptr);

    void setPlan(const QVector<TestPlanEntry>& entries, int positionCount);

    void prepare() override;
    void beginRecord() override;
    void updateData() override;
    bool finishRecord() override;
    void finishSequence() override;
    void abortRun() override;

    const QVector<TestResult>& results() const { return m_results; }
    const QVector<TestPlanEntry>& plan() const { return m_plan; }
    // The highest relay of the last relay test with a position never seen switching correctly;
    // faultyRelays() lists the relays the verdict names.
    quint16 faultyRelay() const { return m_faultyRelay; }
    QVector<int> faultyRelays() const { return m_faultyRelays; }
    // Path of the last written contact-test or relay-test report; empty when none was written.
    QString lastReportPath() const { return m_lastReportPath; }

    // The relays on the path of electrodes (a, b).
    static RelayPath relayPath(int a, int b);
    // A pair passes when truncate(measured) lies within expected +- truncate(delta% of expected).
    static bool withinTolerance(float measured, int expected, int deltaPercent);

Q_SIGNALS:
    // The relay test's verdict, to be shown to the operator.
    void verdictReady(const QString& message);

private:
    void resetRelays();
    void writeReport();
    void writeRelayReport(const QString& verdict);
    // Writes "<prefix>yyMMdd_hhmmss.txt" in the data folder: the title line with the time, the
    // station line, then `body`.
    void writeReportFile(const QString& prefix, const QString& title, const QString& body);
    void evaluateRelayHalf(bool secondHalf);
    void confirmPath(const RelayPath& path, int a, int b);
    QString verdict(bool translated);
    QVector<int> blamedRelays() const;

    QVector<TestResult> m_results;
    int m_resultCount = 0;
    QVector<TestPlanEntry> m_plan;
    RelayState m_relays[RelayCount + 1];
    RelayPath m_paths[2][48];
    quint16 m_faultyRelay = 0;
    QVector<int> m_faultyRelays;
    // One report line per pair of this relay test, in the order measured.
    QStringList m_relayLines;
    // Electrodes (a, b) of the pairs of this relay test that did not pass.
    QVector<QPair<int, int>> m_failedPairs;
    // Pairs of this relay test measured, within tolerance and reading as an open circuit.
    int m_pairsMeasured = 0;
    int m_pairsPassed = 0;
    int m_pairsOpen = 0;
    QString m_lastReportPath;
};

#endif
