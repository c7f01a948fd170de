#include "measurement/datacontainer.h"
#include "survey/surveydatamanager.h"

#include <QSignalSpy>
#include <QtTest>

// The live plot window of a survey record: whole record for few periods, five periods that scroll
// in steps of at least 60 samples otherwise.
class SurveyDataManagerTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shortRecordIsShownWhole();
    void longRecordScrollsInSteps();
    void lastPartialStepIsFlushed();
    void burstLargerThanWindowShowsLatestSamples();

private:
    // Record with two channels (ids 3, 7); sample i of stream k is k * 100000 + i.
    static void prepare(DataContainer& c, int pulse, int pause, int repeats)
    {
        c.resetStreams(4);
        c.prepareRecord(pulse, pause, repeats, {3, 7});
    }
    static void receive(DataContainer& c, int upTo)
    {
        for (int k = 0; k < c.channelCount(); ++k) {
            QVector<float>& s = c.stream(k);
            for (int i = s.size(); i < upTo; ++i)
                s.append(float(k * 100000 + i));
        }
        c.addReceivedSamples(upTo - c.receivedSamples());
    }
};

void SurveyDataManagerTest::shortRecordIsShownWhole()
{
    DataContainer c;
    prepare(c, 10, 10, 3);
    SurveyDataManager m;
    m.setSources(nullptr, nullptr, &c, nullptr);
    QSignalSpy updated(&m, &DataManager::updated);
    m.beginRecord();
    QCOMPARE(m.windowLength(), 120);
    QCOMPARE(m.series().size(), 4);
    QCOMPARE(m.rowIds().value(0), 100);
    QCOMPARE(m.rowIds().value(1), 200);
    QCOMPARE(m.rowIds().value(2), 3);
    QCOMPARE(m.rowIds().value(3), 7);

    m.updateData();
    QCOMPARE(updated.count(), 0);  // nothing new, nothing emitted
    receive(c, 50);
    m.updateData();
    QCOMPARE(updated.count(), 1);
    QCOMPARE(m.series()[3].size(), 50);
    QCOMPARE(m.series()[3][49], 300049.0);
    receive(c, 120);
    m.updateData();
    QCOMPARE(m.series()[0].size(), 120);
    QCOMPARE(m.xAxis().last(), 119.0);
}

void SurveyDataManagerTest::longRecordScrollsInSteps()
{
    DataContainer c;
    prepare(c, 10, 10, 8);  // 320 samples, window 5 periods = 200
    SurveyDataManager m;
    m.setSources(nullptr, nullptr, &c, nullptr);
    m.beginRecord();
    QCOMPARE(m.windowLength(), 200);
    receive(c, 200);
    m.updateData();
    QSignalSpy updated(&m, &DataManager::updated);
    receive(c, 259);  // 59 new samples: too few to scroll
    m.updateData();
    QCOMPARE(updated.count(), 0);
    QCOMPARE(m.xAxis().first(), 0.0);
    receive(c, 260);
    m.updateData();
    QCOMPARE(updated.count(), 1);
    QCOMPARE(m.xAxis().size(), 200);
    QCOMPARE(m.xAxis().first(), 60.0);
    QCOMPARE(m.xAxis().last(), 259.0);
    QCOMPARE(m.series()[1].first(), 100060.0);
    QCOMPARE(m.series()[1].last(), 100259.0);
}

void SurveyDataManagerTest::lastPartialStepIsFlushed()
{
    DataContainer c;
    prepare(c, 10, 10, 8);
    SurveyDataManager m;
    m.setSources(nullptr, nullptr, &c, nullptr);
    m.beginRecord();
    receive(c, 300);
    m.updateData();
    QCOMPARE(m.xAxis().last(), 299.0);
    receive(c, 320);  // 20 new samples, but they complete the record
    m.updateData();
    QCOMPARE(m.xAxis().last(), 319.0);
    QCOMPARE(m.series()[2].last(), 200319.0);
}

void SurveyDataManagerTest::burstLargerThanWindowShowsLatestSamples()
{
    DataContainer c;
    prepare(c, 10, 10, 20);  // 800 samples, window 200
    SurveyDataManager m;
    m.setSources(nullptr, nullptr, &c, nullptr);
    m.beginRecord();
    receive(c, 200);
    m.updateData();
    receive(c, 700);  // 500 new samples at once
    m.updateData();
    QCOMPARE(m.xAxis().size(), 200);
    QCOMPARE(m.series()[0].size(), 200);
    QCOMPARE(m.xAxis().first(), 500.0);
    QCOMPARE(m.xAxis().last(), 699.0);
    QCOMPARE(m.series()[3].last(), 300699.0);
    receive(c, 800);
    m.updateData();
    QCOMPARE(m.xAxis().last(), 799.0);
    QCOMPARE(m.series()[3].size(), 200);
}

QTEST_GUILESS_MAIN(SurveyDataManagerTest)
#include "tst_surveydatamanager.moc"
