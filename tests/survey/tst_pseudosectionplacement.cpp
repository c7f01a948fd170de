#include "survey/pseudosectionplacement.h"

#include <QtTest>

namespace {

PseudosectionPlacement::Point placeAt(double a, double b, double m, double n)
{
    return PseudosectionPlacement::place(&a, &b, &m, &n);
}

}

class PseudosectionPlacementTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void medianDepthOfPublishedArrays_data();
    void medianDepthOfPublishedArrays();
    void remoteElectrodes();
    void geometryWithoutSignal();
};

// Median depths of investigation of Edwards (1977), in units of the spacing a.
void PseudosectionPlacementTest::medianDepthOfPublishedArrays_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("m");
    QTest::addColumn<double>("n");
    QTest::addColumn<double>("depth");
    QTest::newRow("wenner-alpha") << 0.0 << 3.0 << 1.0 << 2.0 << 0.519;
    QTest::newRow("dipole-dipole n=1") << 1.0 << 0.0 << 2.0 << 3.0 << 0.416;
    QTest::newRow("dipole-dipole n=2") << 1.0 << 0.0 << 3.0 << 4.0 << 0.697;
    QTest::newRow("dipole-dipole n=3") << 1.0 << 0.0 << 4.0 << 5.0 << 0.962;
    QTest::newRow("dipole-dipole n=4") << 1.0 << 0.0 << 5.0 << 6.0 << 1.220;
    QTest::newRow("wenner-schlumberger n=2") << 0.0 << 5.0 << 2.0 << 3.0 << 0.925;
    // Spacing 5 m, M and N swapped, the line not starting at 0: the depth scales and keeps its sign.
    QTest::newRow("wenner 5 m reversed") << 110.0 << 125.0 << 120.0 << 115.0 << 5 * 0.519;
}

void PseudosectionPlacementTest::medianDepthOfPublishedArrays()
{
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, m);
    QFETCH(double, n);
    QFETCH(double, depth);
    const PseudosectionPlacement::Point p = placeAt(a, b, m, n);
    QVERIFY(p.valid);
    QVERIFY2(std::fabs(p.depth - depth) <= 0.005 * depth, qPrintable(QString::number(p.depth, 'g', 6)));
    QCOMPARE(p.x, (a + b + m + n) / 4);
}

void PseudosectionPlacementTest::remoteElectrodes()
{
    // Pole-pole: only A and M on the line.
    const double a = 20.0, m = 30.0;
    PseudosectionPlacement::Point p = PseudosectionPlacement::place(&a, nullptr, &m, nullptr);
    QVERIFY(p.valid);
    QVERIFY(std::fabs(p.depth - 0.867 * 10.0) <= 0.005 * 8.67);
    QCOMPARE(p.x, 25.0);

    // Pole-dipole from a datum whose B is at infinity: its stored B position must not count.
    SurveyDatum datum;
    datum.electrodes = {1, Electrodes::None, 2, 3};
    datum.a.x = 0.0f;
    datum.b.x = 100000.0f;
    datum.m.x = 5.0f;
    datum.n.x = 10.0f;
    p = PseudosectionPlacement::place(datum);
    QVERIFY(p.valid);
    QCOMPARE(p.x, 5.0);
    // Edwards: pole-dipole n = 1 at 0.519 a, as deep as Wenner-alpha.
    QVERIFY2(std::fabs(p.depth - 0.519 * 5.0) <= 0.005 * 0.519 * 5.0, qPrintable(QString::number(p.depth)));
}

void PseudosectionPlacementTest::geometryWithoutSignal()
{
    QVERIFY(!placeAt(0.0, 3.0, 0.0, 2.0).valid);  // M on A
    const double a = 0.0, b = 10.0;
    QVERIFY(!PseudosectionPlacement::place(&a, &b, nullptr, nullptr).valid);
    // M halfway between A and B, N at infinity: no voltage at all.
    const double m = 5.0;
    QVERIFY(!PseudosectionPlacement::place(&a, &b, &m, nullptr).valid);
}

QTEST_APPLESS_MAIN(PseudosectionPlacementTest)
#include "tst_pseudosectionplacement.moc"
