// tervex-seqgen: the file and summary of a valid set, exit status 2 for a bad option or a set in
// which no quadrupole fits, 1 when the file cannot be written.

#include "survey/sequencefile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class SeqgenToolTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exitCodesAndSummary();
};

void SeqgenToolTest::exitCodesAndSummary()
{
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("dd.txt"));
    const auto run = [](const QStringList& arguments, QString* output = nullptr) {
        QProcess process;
        process.start(QStringLiteral(SEQGEN_PATH), arguments);
        if (!process.waitForFinished(30000))
            return -1;
        if (output)
            *output = QString::fromLocal8Bit(process.readAllStandardOutput() + process.readAllStandardError());
        return process.exitCode();
    };
    QString output;
    QCOMPARE(run({"--array", "dipole-dipole", "--amax", "1", "--nmax", "6", "-o", target}, &output), 0);
    QVERIFY2(output.contains(QStringLiteral("Квадруполей: 255, шагов: 45")), qPrintable(output));
    SequenceFile file;
    QVERIFY(file.load(target));
    QCOMPARE(file.lines().size(), 255);

    QCOMPARE(run({"--help"}), 0);
    QCOMPARE(run({"--array", "wenner", "--spacing", "abc", "-o", target}), 2);
    QCOMPARE(run({"--array", "wenner", "--channels", "70000", "-o", target}), 2);
    QCOMPARE(run({"--array", "triangle", "-o", target}), 2);
    QCOMPARE(run({"--array", "wenner", "--first", "40", "--last", "41", "-o", target}, &output), 2);
    QVERIFY(output.contains(QStringLiteral("Ни один квадруполь")));
    QCOMPARE(run({"--array", "wenner", "-o", folder.filePath(QStringLiteral("missing/dir/x.txt"))}), 1);
}

QTEST_GUILESS_MAIN(SeqgenToolTest)
#include "tst_seqgen.moc"
