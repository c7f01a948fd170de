// The sequence generator: closed-form quadrupole counts, files the program's own loader takes,
// the fewest steps for the set, reciprocals and the ordering against electrode polarisation.

#include "survey/sequence.h"
#include "survey/sequencefile.h"
#include "survey/sequencegenerator.h"

#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Array = SequenceGenerator::Array;

SequenceGenerator::Options options(Array array, int aMax, int nMin, int nMax)
{
    SequenceGenerator::Options o;
    o.array = array;
    o.aMax = aMax;
    o.nMin = nMin;
    o.nMax = nMax;
    return o;
}

quint64 key(const QuadrupoleLine& q)
{
    return (quint64(quint16(q.a)) << 48) | (quint64(quint16(q.b)) << 32) | (quint64(quint16(q.m)) << 16)
        | quint64(quint16(q.n));
}

// Steps a survey of these lines needs at the least: per current pair, ceil(lines / channels).
int fewestSteps(const QList<QuadrupoleLine>& lines, int channels)
{
    QHash<QPair<int, int>, int> perPair;
    for (const QuadrupoleLine& q : lines)
        ++perPair[qMakePair(q.a, q.b)];
    int steps = 0;
    for (const int count : qAsConst(perPair))
        steps += (count + channels - 1) / channels;
    return steps;
}

} // namespace

class SequenceGeneratorTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void generatedSets_data();
    void generatedSets();
    void reciprocalsAndPolarisationOrder();
    void refusalsAndElevation();
};

void SequenceGeneratorTest::generatedSets_data()
{
    QTest::addColumn<int>("array");
    QTest::addColumn<int>("aMax");
    QTest::addColumn<int>("nMin");
    QTest::addColumn<int>("nMax");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("expected");

    // Wenner-alpha: sum over a = 1..15 of (48 - 3a).
    QTest::newRow("wenner") << int(Array::WennerAlpha) << 0 << 1 << 1 << 10 << 360;
    // Dipole-dipole a = 1: sum over n = 1..6 of (48 - 2 - n).
    QTest::newRow("dipole-dipole") << int(Array::DipoleDipole) << 1 << 1 << 6 << 10 << 255;
    // Dipole-dipole a = 1..2, n = 1..6: plus sum over n of (48 - 2 (n + 2)).
    QTest::newRow("dipole-dipole a2") << int(Array::DipoleDipole) << 2 << 1 << 6 << 4 << 255 + 222;
    // Wenner-Schlumberger a = 1, n = 1..4: sum of (48 - (2n + 1)).
    QTest::newRow("schlumberger") << int(Array::WennerSchlumberger) << 1 << 1 << 4 << 10 << 45 + 43 + 41 + 39;
    // Pole-dipole a = 1, n = 1..3 in both directions: 2 sum of (48 - (n + 1)).
    QTest::newRow("pole-dipole") << int(Array::PoleDipole) << 1 << 1 << 3 << 10 << 2 * (46 + 45 + 44);
    // Gradient a = 1, s = 2..4: sum of s (48 - (s + 2)).
    QTest::newRow("gradient") << int(Array::Gradient) << 1 << 2 << 4 << 3 << 2 * 44 + 3 * 43 + 4 * 42;
}

void SequenceGeneratorTest::generatedSets()
{
    QFETCH(int, array);
    QFETCH(int, aMax);
    QFETCH(int, nMin);
    QFETCH(int, nMax);
    QFETCH(int, channels);
    QFETCH(int, expected);

    SequenceGenerator::Options o = options(Array(array), aMax, nMin, nMax);
    o.channels = channels;
    SequenceGenerator generator;
    QVERIFY2(generator.generate(o), qPrintable(generator.errorString()));
    const QList<QuadrupoleLine>& lines = generator.lines();
    QCOMPARE(lines.size(), expected);

    QSet<quint64> seen;
    for (const QuadrupoleLine& q : lines) {
        QVERIFY2(!seen.contains(key(q)), "duplicate quadrupole");
        seen.insert(key(q));
        for (const int e : {q.a, q.m, q.n})
            QVERIFY(e >= 1 && e <= Electrodes::Count);
        if (Array(array) == Array::PoleDipole)
            QCOMPARE(q.b, int(Electrodes::None));
        else
            QVERIFY(q.b >= 1 && q.b <= Electrodes::Count);
        const QList<int> present = Array(array) == Array::PoleDipole ? QList<int>{q.a, q.m, q.n}
                                                                      : QList<int>{q.a, q.b, q.m, q.n};
        QCOMPARE(QSet<int>(present.begin(), present.end()).size(), present.size());
    }
    QCOMPARE(generator.stepCount(), fewestSteps(lines, channels));

    // The file loads with the program's own loader and gives the same lines and steps.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("generated.txt"));
    QVERIFY(generator.write(path));
    SequenceFile file;
    QVERIFY2(file.load(path), qPrintable(file.errorString()));
    QCOMPARE(file.lines(), lines);
    QCOMPARE(file.electrodes().size(), Electrodes::Count);
    QCOMPARE(file.electrodes().value(48).x, 235.0f);
    Sequence sequence(channels);
    QVERIFY(sequence.build(file.lines(), true));
    QCOMPARE(sequence.steps().size(), generator.stepCount());
}

void SequenceGeneratorTest::reciprocalsAndPolarisationOrder()
{
    SequenceGenerator::Options o = options(Array::DipoleDipole, 1, 1, 6);
    SequenceGenerator normal;
    QVERIFY(normal.generate(o));
    o.reciprocals = true;
    SequenceGenerator plain;
    QVERIFY(plain.generate(o));
    QCOMPARE(plain.lines().size(), 2 * normal.lines().size());
    QSet<quint64> all;
    for (const QuadrupoleLine& q : plain.lines())
        all.insert(key(q));
    QCOMPARE(all.size(), plain.lines().size());
    for (const QuadrupoleLine& q : normal.lines())
        QVERIFY(all.contains(key(QuadrupoleLine{q.m, q.n, q.a, q.b})));

    // In plain order a reciprocal step measures on the dipole that carried current just before.
    QVERIFY(plain.polarisedUses() > 0);
    o.ipOrder = true;
    SequenceGenerator ordered;
    QVERIFY(ordered.generate(o));
    QVERIFY2(ordered.polarisedUses() < plain.polarisedUses(),
             qPrintable(QStringLiteral("%1 -> %2").arg(plain.polarisedUses()).arg(ordered.polarisedUses())));
    QCOMPARE(ordered.polarisedUses(), SequenceGenerator::countPolarisedUses(ordered.lines(), o.channels));
    QCOMPARE(ordered.stepCount(), plain.stepCount());
    QSet<quint64> reordered;
    for (const QuadrupoleLine& q : ordered.lines())
        reordered.insert(key(q));
    QCOMPARE(reordered, all);

    // With four channels every current dipole has a full and a partial step. The survey fills the
    // first step of a current pair first, so the file must keep each pair's full steps ahead of its
    // partial one: then the survey runs the lines in file order, the order the counts were made for.
    o.channels = 4;
    QVERIFY(ordered.generate(o));
    Sequence sequence(o.channels);
    QVERIFY(sequence.build(ordered.lines(), true));
    QList<QuadrupoleLine> executed;
    for (const SequenceStep& step : sequence.steps())
        for (const auto& pair : step.pairs)
            executed.append(QuadrupoleLine{step.a, step.b, pair.m, pair.n});
    QCOMPARE(executed, ordered.lines());
}

void SequenceGeneratorTest::refusalsAndElevation()
{
    SequenceGenerator generator;
    SequenceGenerator::Options o = options(Array::WennerAlpha, 0, 1, 1);
    o.first = 10;
    o.last = 12;
    QVERIFY(!generator.generate(o));
    QVERIFY(generator.errorString().contains(QStringLiteral("Ни один квадруполь")));
    QVERIFY(generator.lines().isEmpty());
    o = options(Array::DipoleDipole, 0, 4, 2);
    QVERIFY(!generator.generate(o));
    o = options(Array::DipoleDipole, 0, 1, 2);
    o.electrodeCount = Electrodes::Count + 1;
    QVERIFY(!generator.generate(o));

    QTemporaryDir folder;
    const QString table = folder.filePath(QStringLiteral("relief.txt"));
    QFile file(table);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("# x z\n100 10\n0 0\n\n200 -10\n");
    file.close();
    o = options(Array::WennerAlpha, 1, 1, 1);
    QString error;
    QVERIFY2(SequenceGenerator::readElevation(table, &o.elevation, &error), qPrintable(error));
    QVERIFY(generator.generate(o));
    QCOMPARE(generator.electrodes().value(1).z, 0.0f);     // x = 0
    QCOMPARE(generator.electrodes().value(11).z, 5.0f);    // x = 50, halfway up
    QCOMPARE(generator.electrodes().value(31).z, 0.0f);    // x = 150, halfway down
    QCOMPARE(generator.electrodes().value(48).z, -10.0f);  // x = 235, beyond the table

    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("0 0\n10 x\n");
    file.close();
    QVERIFY(!SequenceGenerator::readElevation(table, &o.elevation, &error));
    QVERIFY(error.contains(QStringLiteral("строка 2")));

    // Coordinates are written as the operator typed them, not with the float's binary tail.
    o = options(Array::WennerAlpha, 1, 1, 1);
    o.spacing = 0.3;
    QVERIFY(generator.generate(o));
    const QString written = folder.filePath(QStringLiteral("short.txt"));
    QVERIFY(generator.write(written));
    QFile sequence(written);
    QVERIFY(sequence.open(QIODevice::ReadOnly));
    const QByteArray text = sequence.readAll();
    QVERIFY2(text.contains("\n4 0.9 0 0\n") && text.contains("\n48 14.1 0 0\n"), text.left(200).constData());
}

QTEST_GUILESS_MAIN(SequenceGeneratorTest)
#include "tst_sequencegenerator.moc"
