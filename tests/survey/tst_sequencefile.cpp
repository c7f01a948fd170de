#include "survey/sequence.h"
#include "survey/sequencefile.h"
#include "survey/surveyjob.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(QuadrupoleLine)

namespace {

const QByteArray Coordinates = "# X Y Z\n1 0 0 0\n2 5 0 0\n3 10 0 0\n4 15 0 0\n5 20 0 0\n";

QList<QuadrupoleLine> repeatedLines(int a, int b, int count)
{
    QList<QuadrupoleLine> lines;
    for (int i = 0; i < count; ++i)
        lines.append({a, b, 10 + i, 11 + i});
    return lines;
}

} // namespace

class TestSequenceFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::isolateSettings(); }

    void acceptedFiles_data();
    void acceptedFiles();
    void rejectedFiles_data();
    void rejectedFiles();
    void uncoordinatedElectrodesLoadWithAWarning();
    void shippedExamplesLoad();
    void missingFileTellsWhy();

    void buildGroupsByCurrentPair();
    void buildKeepsRemoteLinesApart();
    void cursorWalksTheSteps();

    void companionTextTruncatesAndLoadsAgain();
    void companionTextNeedsAFile();
};

void TestSequenceFile::acceptedFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("electrode");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<QuadrupoleLine>("last");

    QTest::newRow("lower-case headers") << QByteArray("# x y z\n1 0 0 0\n2 5 0 0\n# a b m n\n0 1 2 0 0\n") << 2
                                        << 5.0f << 0.0f << QuadrupoleLine{1, 2, 0, 0};
    QTest::newRow("decimal comma, tabs, padding")
        << QByteArray("comment line\n  #   X\tY Z \n3\t1,5   2,0 0\r\n5 0 0 0\n2 0 0 0\n#  A B  M N\n7 0 5 2 3\n")
        << 3 << 1.5f << 2.0f << QuadrupoleLine{0, 5, 2, 3};
    QTest::newRow("B may equal M, M may equal N")
        << QByteArray(Coordinates + "# A B M N\n0 1 2 2 4\n1 1 3 4 4\n") << 5 << 20.0f << 0.0f
        << QuadrupoleLine{1, 3, 4, 4};
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF# X Y Z\n1 0 0 0\n2 1 0 0\n# A B M N\nx 1 2 0 0")
                                     << 1 << 0.0f << 0.0f << QuadrupoleLine{1, 2, 0, 0};
    QTest::newRow("electrode zero defined, remote B")
        << QByteArray("# X Y Z\n0 -1 0 0\n4 3 0 0\n5 4 0 0\n# A B M N\n1 4 0 5 0\n") << 0 << -1.0f << 0.0f
        << QuadrupoleLine{4, 0, 5, 0};
}

void TestSequenceFile::acceptedFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(int, electrode);
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(QuadrupoleLine, last);

    SequenceFile file;
    QVERIFY2(file.parse(content), qPrintable(file.errorString()));
    QVERIFY(file.electrodes().contains(electrode));
    QCOMPARE(file.electrodes().value(electrode).x, x);
    QCOMPARE(file.electrodes().value(electrode).y, y);
    QVERIFY(!file.lines().isEmpty());
    QVERIFY(file.lines().last() == last);
}

void TestSequenceFile::rejectedFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("error");

    const QByteArray q = Coordinates + "# A B M N\n";
    // Quadrupole lines start on line 8 of these files.
    QTest::newRow("A = B") << QByteArray(q + "0 1 1 2 3\n") << QStringLiteral("Строка 8: электроды A и B совпадают");
    QTest::newRow("no current electrode")
        << QByteArray(q + "0 0 0 2 3\n") << QStringLiteral("Строка 8: не задан ни один питающий электрод");
    QTest::newRow("A = M") << QByteArray(q + "0 1 2 3 4\n0 1 2 1 4\n")
                           << QStringLiteral("Строка 9: электрод A совпадает с M или N");
    QTest::newRow("A = N") << QByteArray(q + "0 3 2 1 3\n") << QStringLiteral("Строка 8: электрод A совпадает с M или N");
    QTest::newRow("electrode 49") << QByteArray(q + "0 1 2 3 49\n")
                                  << QStringLiteral("Строка 8: номер электрода 49 вне диапазона 0…48");
    QTest::newRow("negative electrode") << QByteArray(q + "0 -1 2 3 4\n")
                                        << QStringLiteral("Строка 8: номер электрода -1 вне диапазона 0…48");
    QTest::newRow("four tokens") << QByteArray(q + "1 2 3 4\n")
                                 << QStringLiteral("Строка 8: ожидаются номер строки и электроды A B M N");
    QTest::newRow("non-integer electrode") << QByteArray(q + "0 1 2 3.0 4\n")
                                           << QStringLiteral("Строка 8: ожидаются номер строки и электроды A B M N");
    QTest::newRow("blank quadrupole line") << QByteArray(q + "0 1 2 3 4\n\n")
                                           << QStringLiteral("Строка 9: ожидаются номер строки и электроды A B M N");
    QTest::newRow("blank coordinate line")
        << QByteArray("# X Y Z\n1 0 0 0\n \n# A B M N\n0 1 2 0 0\n")
        << QStringLiteral("Строка 3: ожидаются номер электрода и координаты x y z");
    QTest::newRow("bad coordinate") << QByteArray("# X Y Z\n1 0 zero 0\n# A B M N\n0 1 2 0 0\n")
                                    << QStringLiteral("Строка 2: ожидаются номер электрода и координаты x y z");
    QTest::newRow("duplicate electrode") << QByteArray("# X Y Z\n1 0 0 0\n2 1 0 0\n1 2 0 0\n# A B M N\n0 1 2 0 0\n")
                                         << QStringLiteral("Строка 4: электрод 1 задан повторно");
    QTest::newRow("no coordinate header")
        << QByteArray("1 0 0 0\n# A B M N\n0 1 2 0 0\n") << QStringLiteral("Не найден раздел координат \"# X Y Z\"");
    QTest::newRow("empty coordinate section") << QByteArray("# X Y Z\n# A B M N\n0 1 2 0 0\n")
                                              << QStringLiteral("Раздел координат не содержит ни одного электрода");
    QTest::newRow("no quadrupole header") << QByteArray(Coordinates)
                                          << QStringLiteral("Не найден раздел четырёхполюсников \"# A B M N\"");
    QTest::newRow("empty quadrupole section")
        << QByteArray(q) << QStringLiteral("Раздел четырёхполюсников не содержит ни одной строки");
    QTest::newRow("empty file") << QByteArray() << QStringLiteral("Не найден раздел координат \"# X Y Z\"");
}

void TestSequenceFile::rejectedFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, error);

    SequenceFile file;
    QVERIFY(!file.parse(content));
    QCOMPARE(file.errorString(), error);

    // A later good parse clears the reason.
    QVERIFY(file.parse(Coordinates + "# A B M N\n0 1 2 3 4\n"));
    QVERIFY(file.errorString().isEmpty());
}

void TestSequenceFile::uncoordinatedElectrodesLoadWithAWarning()
{
    // Lines 9 and 11 name electrodes without a coordinate line; they load, named once in one warning.
    SequenceFile file;
    QVERIFY2(file.parse(Coordinates + "# A B M N\n0 1 2 3 4\n1 1 2 3 6\n2 1 2 3 4\n3 2 7 1 6\n"),
             qPrintable(file.errorString()));
    QCOMPARE(file.lines().size(), 4);
    QVERIFY(file.lines().at(1) == (QuadrupoleLine{1, 2, 3, 6}));
    QCOMPARE(file.warningString(),
             QStringLiteral("Электроды без координат (положение принято равным 0, в таблице 99999.999):\n"
                            "строка 9: 6\nстрока 11: 7, 6"));
    QVERIFY(file.parse(Coordinates + "# A B M N\n0 1 2 3 4\n"));
    QVERIFY(file.warningString().isEmpty());
}

void TestSequenceFile::shippedExamplesLoad()
{
    const QDir examples(TestSupport::sourcePath(QStringLiteral("examples")));
    QStringList names = examples.entryList({QStringLiteral("*.txt")}, QDir::Files);
    // The simulated demo ground and its surface are not sequences.
    names.removeAll(QStringLiteral("demo-ground.txt"));
    names.removeAll(QStringLiteral("demo-elevation.txt"));
    QVERIFY(!names.isEmpty());
    for (const QString& name : names) {
        SequenceFile file;
        QVERIFY2(file.load(examples.filePath(name)), qPrintable(name + QStringLiteral(": ") + file.errorString()));
    }
}

void TestSequenceFile::missingFileTellsWhy()
{
    SequenceFile file;
    QVERIFY(!file.load(QStringLiteral("/nonexistent/survey.txt")));
    QVERIFY(file.errorString().contains(QStringLiteral("/nonexistent/survey.txt")));
}

void TestSequenceFile::buildGroupsByCurrentPair()
{
    // Six lines on A1 B2 with another pair in between: 4 + 2 pairs, in file order.
    QList<QuadrupoleLine> lines = repeatedLines(1, 2, 3);
    lines.append({3, 4, 5, 6});
    lines.append(repeatedLines(1, 2, 3));
    Sequence sequence(4);
    QVERIFY(sequence.build(lines, true));
    QCOMPARE(sequence.steps().size(), 3);
    QCOMPARE(sequence.steps().at(0).pairs.size(), 4);
    QCOMPARE(sequence.steps().at(0).maxPairs, 4);
    QCOMPARE(sequence.steps().at(0).pairs.at(3).m, 10);
    QCOMPARE(sequence.steps().at(1).a, 3);
    QCOMPARE(sequence.steps().at(1).pairs.size(), 1);
    QCOMPARE(sequence.steps().at(2).a, 1);
    QCOMPARE(sequence.steps().at(2).pairs.size(), 2);
    QCOMPARE(sequence.steps().at(2).pairs.at(1).n, 13);
    QCOMPARE(sequence.maxPairs(), 4);

    // A current dipole without potential pairs is a step without pairs; a limit of 0 takes none.
    QVERIFY(sequence.build({{1, 2, 0, 0}}, true));
    QCOMPARE(sequence.steps().size(), 1);
    QVERIFY(sequence.steps().at(0).pairs.isEmpty());
    QCOMPARE(sequence.maxPairs(), 0);
    Sequence none(0);
    QVERIFY(none.build(repeatedLines(1, 2, 2), true));
    QCOMPARE(none.steps().size(), 2);
    QVERIFY(none.steps().at(0).pairs.isEmpty());

    QVERIFY(!sequence.build({}, true));
    QVERIFY(sequence.steps().isEmpty());
}

void TestSequenceFile::buildKeepsRemoteLinesApart()
{
    const QList<QuadrupoleLine> lines{{0, 5, 1, 2}, {0, 5, 2, 3}, {5, 0, 1, 2}, {5, 0, 2, 3}, {1, 2, 3, 4}, {1, 2, 4, 5}};
    Sequence apart(4);
    QVERIFY(apart.build(lines, false));
    QCOMPARE(apart.steps().size(), 5);
    QCOMPARE(apart.steps().last().pairs.size(), 2);

    Sequence merged(4);
    QVERIFY(merged.build(lines, true));
    QCOMPARE(merged.steps().size(), 3);
    QCOMPARE(merged.steps().at(0).pairs.size(), 2);
}

void TestSequenceFile::cursorWalksTheSteps()
{
    Sequence sequence(1);
    QVERIFY(sequence.build(repeatedLines(1, 2, 2), true));
    QCOMPARE(sequence.current(), &sequence.steps()[0]);
    QCOMPARE(sequence.takeNext()->pairs.at(0).m, 10);
    QCOMPARE(sequence.cursor(), 1);
    QCOMPARE(sequence.current()->pairs.at(0).m, 11);
    QVERIFY(sequence.takeNext());
    QVERIFY(!sequence.current());
    QVERIFY(!sequence.takeNext());
    QCOMPARE(sequence.cursor(), 2);

    // Building again starts from the first step.
    QVERIFY(sequence.build(repeatedLines(1, 2, 1), true));
    QCOMPARE(sequence.cursor(), 0);
    QVERIFY(sequence.current());
}

void TestSequenceFile::companionTextTruncatesAndLoadsAgain()
{
    QTemporaryDir dir;
    ElectrodeMap electrodes;
    electrodes.insert(1, {1.75f, -2.5f, -0.5f});
    electrodes.insert(2, {10.0f, 0.0f, 3.99f});
    electrodes.insert(12, {-7.9f, 100.2f, 0.0f});
    const QList<QuadrupoleLine> lines{{1, 2, 12, 0}, {0, 12, 1, 2}};

    auto data = new QFile(dir.filePath(QStringLiteral("240131_101500.etr")));
    QVERIFY(data->open(QIODevice::WriteOnly));
    {
        SurveyJob job(electrodes, lines, new Sequence(10));
        QVERIFY(!job.dataStream());
        QVERIFY(job.attachDevice(data));
        QVERIFY(job.dataStream());
        QFile other;
        QVERIFY(!job.attachDevice(&other));
        QVERIFY(job.writeCompanionText());
    }
    // The job closed the data file; the companion lies beside it.
    QFile text(dir.filePath(QStringLiteral("240131_101500.txt")));
    QVERIFY(text.open(QIODevice::ReadOnly | QIODevice::Text));
    QCOMPARE(text.readAll(), QByteArray("# x y z\n"
                                        "1 1 -2 0\n"
                                        "2 10 0 3\n"
                                        "12 -7 100 0\n"
                                        "# a b m n\n"
                                        "0 1 2 12 0\n"
                                        "1 0 12 1 2\n"));

    SequenceFile again;
    QVERIFY2(again.load(text.fileName()), qPrintable(again.errorString()));
    QCOMPARE(again.electrodes().keys(), electrodes.keys());
    QCOMPARE(again.electrodes().value(1).x, 1.0f);
    QCOMPARE(again.electrodes().value(12).y, 100.0f);
    QVERIFY(again.lines() == lines);
}

void TestSequenceFile::companionTextNeedsAFile()
{
    SurveyJob job(ElectrodeMap(), {{1, 2, 0, 0}}, new Sequence(1));
    QVERIFY(!job.writeCompanionText());

    // A device that is not open gets no stream.
    QTemporaryDir dir;
    SurveyJob closed(ElectrodeMap(), {}, new Sequence(1), new QFile(dir.filePath(QStringLiteral("x.etr"))));
    QVERIFY(!closed.dataStream());
}

QTEST_GUILESS_MAIN(TestSequenceFile)
#include "tst_sequencefile.moc"
