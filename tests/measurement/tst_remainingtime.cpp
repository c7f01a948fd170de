#include "measurement/remainingtime.h"

#include <QtTest>

class RemainingTimeTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void measuredPaceReplacesTheFormula();
};

void RemainingTimeTest::measuredPaceReplacesTheFormula()
{
    RemainingTime t;
    QCOMPARE(t.estimate(1, 10), qint64(-1));
    // A continued survey starts at step 11 of 20.
    t.recordStarted(11, 5000);
    QCOMPARE(t.estimate(11, 20), qint64(-1));
    // Step 11 took 4 s, and was repeated once: step 12 starts at 13 s.
    t.recordStarted(11, 9000);
    QCOMPARE(t.estimate(11, 20), qint64(-1));
    t.recordStarted(12, 13000);
    QCOMPARE(t.estimate(12, 20), qint64(8000) * 9);
    t.recordStarted(13, 15000);
    QCOMPARE(t.estimate(13, 20), qint64(5000) * 8);
    QCOMPARE(t.estimate(21, 20), qint64(0));

    // A new run forgets the old pace.
    t.reset();
    t.recordStarted(1, 100000);
    QCOMPARE(t.estimate(1, 5), qint64(-1));

    // Two minutes paused after step 1 are not a record's duration.
    t.paused(104000);
    t.resumed(224000);
    t.recordStarted(2, 225000);
    QCOMPARE(t.estimate(2, 5), qint64(5000) * 4);
    t.paused(229000);
    t.recordStarted(3, 300000);
    QCOMPARE(t.estimate(3, 5), qint64(4500) * 3);
}

QTEST_APPLESS_MAIN(RemainingTimeTest)
#include "tst_remainingtime.moc"
