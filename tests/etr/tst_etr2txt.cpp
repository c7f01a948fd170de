#include "etrtestfiles.h"
#include "survey/linemetadata.h"
#include "testsupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace EtrTestFiles;

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runTool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(ETR2TXT_PATH), arguments);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestEtr2Txt : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void usage();
    void convertsLikeTheViewer();
    void polarisationFallsBackWithAWarning();
    void partialAndMissingFilesFail();
    void infoPrintsTheLineDescription();

private:
    QTemporaryDir m_dir;
    QString m_good;
    QString m_shortPause;
    QString m_cut;
    QString path(const QString& name) const { return m_dir.filePath(name); }
};

void TestEtr2Txt::initTestCase()
{
    TestSupport::isolateSettings();
    const Timing t{100, 100, 2};
    m_good = path(QStringLiteral("good.etr"));
    QVERIFY(write(m_good, header(t, straightLine(4)) + block(t, 1, 4, 0.05f, {channel(t, 2, 3, 0.2f)})
                              + block(t, 2, 3, 0.05f, {channel(t, 1, 4, 0.1f)})));
    const Timing shortPause{100, 50, 2};
    m_shortPause = path(QStringLiteral("shortpause.etr"));
    QVERIFY(write(m_shortPause,
                  header(shortPause, straightLine(4)) + block(shortPause, 1, 4, 0.05f, {channel(shortPause, 2, 3, 0.2f)})));
    m_cut = path(QStringLiteral("cut.etr"));
    QVERIFY(write(m_cut, readFile(m_good).left(readFile(m_good).size() - 10)));
}

void TestEtr2Txt::usage()
{
    const Run run = runTool({});
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.startsWith(QStringLiteral("usage: tervex-etr2txt")));
    QCOMPARE(runTool({QStringLiteral("--polar")}).exitCode, 2);
}

void TestEtr2Txt::convertsLikeTheViewer()
{
    const Run plain = runTool({m_good});
    QCOMPARE(plain.exitCode, 0);
    QVERIFY2(plain.err.isEmpty(), qPrintable(plain.err));
    const QString table = QDir::toNativeSeparators(path(QStringLiteral("good.etr.txt")));
    QCOMPARE(plain.out.trimmed(), table);
    const QList<QByteArray> lines = readFile(table).split('\n');
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines.at(0).startsWith("#\tRho\tSpa.1"));
    QVERIFY(lines.at(2).startsWith("2\t"));

    const Run polar = runTool({QStringLiteral("--polar"), m_good});
    QCOMPARE(polar.exitCode, 0);
    QCOMPARE(polar.out.trimmed(), QDir::toNativeSeparators(path(QStringLiteral("good-VP.etr.txt"))));
    QVERIFY(readFile(path(QStringLiteral("good-VP.etr.txt"))).startsWith("#\tRho\tM1\tM2"));
}

void TestEtr2Txt::polarisationFallsBackWithAWarning()
{
    const Run run = runTool({m_shortPause, QStringLiteral("--polar")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.err.contains(QStringLiteral("Некорректное значение поляризации")));
    QVERIFY(run.err.contains(m_shortPause));
    QVERIFY(QFile::exists(path(QStringLiteral("shortpause.etr.txt"))));
    QVERIFY(!QFile::exists(path(QStringLiteral("shortpause-VP.etr.txt"))));
    QVERIFY(readFile(path(QStringLiteral("shortpause.etr.txt"))).contains("\tDev.\t"));
}

void TestEtr2Txt::partialAndMissingFilesFail()
{
    // Every file is still tried; the ones that can be read are converted.
    const QString missing = path(QStringLiteral("missing.etr"));
    const Run run = runTool({m_cut, missing, m_good});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains(m_cut + QStringLiteral(": Загрузка etr: Файл обрывается внутри блока 1")));
    QVERIFY(run.err.contains(missing + QStringLiteral(": не удалось открыть файл")));
    QCOMPARE(readFile(path(QStringLiteral("cut.etr.txt"))).split('\n').size(), 3);
    QVERIFY(run.out.contains(QStringLiteral("good.etr.txt")));

    const QString header = path(QStringLiteral("header.etr"));
    QVERIFY(write(header, QByteArray(100, ' ')));
    const Run bad = runTool({header});
    QCOMPARE(bad.exitCode, 1);
    QVERIFY(bad.err.contains(QStringLiteral("Файл короче заголовка")));
    QVERIFY(!bad.err.contains(QStringLiteral("не удалось открыть")));
}


void TestEtr2Txt::infoPrintsTheLineDescription()
{
    const Timing t{100, 100, 2};
    const QByteArray body = block(t, 1, 4, 0.05f, {channel(t, 2, 3, 0.2f)});
    LineMetadata metadata;
    metadata.set(LineMetadata::LineName, QStringLiteral("Профиль 7"));
    metadata.set(LineMetadata::Operator, QStringLiteral("Иванов"));
    const QString described = path(QStringLiteral("described.etr"));
    QVERIFY(write(described, EtrFormat::headerBytes(t.pulse, t.pause, t.repeats, straightLine(4),
                                                    metadata.toHeaderArea(EtrFormat::HeaderAreaSize)) + body));
    const QString foreign = path(QStringLiteral("foreign.etr"));
    QByteArray area = QByteArray("written by another logger") + QByteArray(EtrFormat::HeaderAreaSize, ' ');
    QVERIFY(write(foreign, EtrFormat::headerBytes(t.pulse, t.pause, t.repeats, straightLine(4),
                                                  area.left(EtrFormat::HeaderAreaSize)) + body));

    const Run run = runTool({QStringLiteral("--info"), described, foreign, m_good});
    QCOMPARE(run.exitCode, 0);
    const QStringList lines = run.out.split(QLatin1Char('\n'));
    QVERIFY2(lines.contains(QStringLiteral("line=Профиль 7")), qPrintable(run.out));
    QVERIFY(lines.contains(QStringLiteral("operator=Иванов")));
    QVERIFY(run.out.contains(QStringLiteral("свободная область заголовка не содержит описания линии")));
    QVERIFY(lines.contains(QStringLiteral("written by another logger")));
    QVERIFY(run.out.contains(m_good + QStringLiteral(": описания линии нет")));
    // Nothing converted.
    QVERIFY(!QFile::exists(path(QStringLiteral("described.etr.txt"))));
}

QTEST_GUILESS_MAIN(TestEtr2Txt)
#include "tst_etr2txt.moc"
