#include "survey/repeatpolicy.h"
#include "survey/surveyreport.h"

#include <QtTest>

#include <limits>

namespace {

ChannelResult channel(float scatter, int m, int n)
{
    ChannelResult r;
    r.scatter = scatter;
    r.m = m;
    r.n = n;
    return r;
}

} // namespace

class RepeatPolicyTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void verdict();
    void reportKeepsTheBestRecord();
};

void RepeatPolicyTest::verdict()
{
    const RepeatPolicy policy(5.0, 2);
    QMap<int, ChannelResult> results;
    results.insert(1, channel(1.0f, 2, 3));
    results.insert(3, channel(6.0f, 4, 5));
    results.insert(4, channel(7.3f, 6, 7));
    // A dead channel has no scatter to speak of; measuring again would not bring it back.
    results.insert(5, channel(std::numeric_limits<float>::quiet_NaN(), 8, 9));
    results.insert(6, channel(ChannelResult::NotComputed, 10, 11));

    RepeatPolicy::Verdict v = policy.check(results, 0.05f);
    QCOMPARE(v.reason, RepeatPolicy::Verdict::Scatter);
    QCOMPARE(v.channel, 4);
    QCOMPARE(policy.describe(v, 1), QStringLiteral("повтор 1 из 2: разброс 7.3 % на канале 4"));

    results.remove(3);
    results.remove(4);
    QVERIFY(!policy.check(results, 0.05f).needed());
    v = policy.check(results, 0.0004f);
    QCOMPARE(v.reason, RepeatPolicy::Verdict::LowCurrent);
    QCOMPARE(policy.describe(v, 2), QStringLiteral("повтор 2 из 2: ток 0.400 мА"));
    QCOMPARE(policy.check(results, std::numeric_limits<float>::quiet_NaN()).reason,
             RepeatPolicy::Verdict::LowCurrent);

    // Off: nothing is ever repeated; out-of-range settings are brought into range.
    QVERIFY(!RepeatPolicy(0.0, 2).check(results, 0.0f).needed());
    QCOMPARE(RepeatPolicy(-3.0, 9).maxRepeats(), RepeatPolicy::MostRepeats);
    QVERIFY(!RepeatPolicy(-3.0, 9).enabled());
    QCOMPARE(RepeatPolicy(std::numeric_limits<double>::infinity(), 0).maxRepeats(), RepeatPolicy::FewestRepeats);
}

void RepeatPolicyTest::reportKeepsTheBestRecord()
{
    SurveyReport report;
    report.setPolicy(RepeatPolicy(5.0, 2));
    report.setNotReadyChannels({9});
    const QVector<quint16> channels = {1, 2};
    QMap<int, ChannelResult> first;
    first.insert(1, channel(8.0f, 2, 3));
    first.insert(2, channel(std::numeric_limits<float>::quiet_NaN(), 3, 4));
    report.addRecord(1, 6, channels, first, false);
    QMap<int, ChannelResult> repeat;
    repeat.insert(1, channel(6.5f, 2, 3));
    repeat.insert(2, channel(std::numeric_limits<float>::quiet_NaN(), 3, 4));
    report.addRecord(1, 6, channels, repeat, true);
    QMap<int, ChannelResult> worse;
    worse.insert(1, channel(9.0f, 2, 3));
    report.addRecord(1, 6, channels, worse, true);

    QCOMPARE(report.records(), 3);
    QCOMPARE(report.repeats(), 2);
    const QList<SurveyReport::Outlier> outliers = report.aboveLimit();
    QCOMPARE(outliers.size(), 1);
    QCOMPARE(outliers.first().scatter, 6.5f);
    QCOMPARE(report.neverUsable(), (QVector<int>{2, 9}));
    const QString text = report.text(QStringLiteral("line.etr"), false);
    QVERIFY2(text.contains(QStringLiteral("  A=1 B=6 M=2 N=3, канал 1: разброс 6.5 %\n")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Каналы без данных: 2, 9\n")));
    QCOMPARE(SurveyReport::pathFor(QStringLiteral("/data/250305_140307.etr")),
             QStringLiteral("/data/250305_140307-report.txt"));
}

QTEST_MAIN(RepeatPolicyTest)
#include "tst_repeatpolicy.moc"
