#include "survey/etrformat.h"
#include "testsupport.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

struct Outcome
{
    int code = -1;
    QString out;
    QString err;
};

Outcome run(const QString& program, const QStringList& arguments,
            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Outcome o;
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit)
        return o;
    o.code = process.exitCode();
    o.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    o.err = QString::fromLocal8Bit(process.readAllStandardError());
    return o;
}

} // namespace

// What the command-line tools answer to bad options and doubtful files: a message and a status a
// script can act on. None of these runs reaches a station.
class ToolExitsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }

    void badNumbersAreUsageErrors_data();
    void badNumbersAreUsageErrors();
    void etr2txtStatus();
    void invertRefusesDataItCannotInvert();
    void everyToolAnswersHelpAndVersion_data();
    void everyToolAnswersHelpAndVersion();
    void messagesFollowTheInterfaceLanguage();
};

void ToolExitsTest::badNumbersAreUsageErrors_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    const QString survey = QStringLiteral(TERVEX_SURVEY_TOOL);
    const QString simulator = QStringLiteral(TERVEX_STATION_SIM);
    QTest::newRow("voltage that would wrap") << survey << QStringList{"--voltage", "70000", "a.txt", "a.etr"};
    QTest::newRow("pulse not a number") << survey << QStringList{"--pulse", "abc", "a.txt", "a.etr"};
    QTest::newRow("command port") << survey << QStringList{"--command-port", "99999", "a.txt", "a.etr"};
    QTest::newRow("periods beyond 16 bits") << survey << QStringList{"--periods", "65536", "a.txt", "a.etr"};
    QTest::newRow("simulator port") << simulator << QStringList{"--command-port", "99999"};
    QTest::newRow("simulator noise") << simulator << QStringList{"--noise", "loud"};
    const QString invert = QStringLiteral(TERVEX_INVERT);
    QTest::newRow("inversion lambda") << invert << QStringList{"--lambda", "abc", "-o", "m.csv", "a.etr"};
    QTest::newRow("inversion iterations") << invert << QStringList{"--max-iterations", "1000", "-o", "m.csv", "a.etr"};
    QTest::newRow("inversion error floor") << invert << QStringList{"--error-floor", "0", "-o", "m.csv", "a.etr"};
    QTest::newRow("inversion output kind") << invert << QStringList{"-o", "m.txt", "a.etr"};
}

void ToolExitsTest::badNumbersAreUsageErrors()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    const Outcome o = run(program, arguments);
    QCOMPARE(o.code, 2);
    QVERIFY2(o.err.contains(arguments.first()), qPrintable(o.err));
}

void ToolExitsTest::etr2txtStatus()
{
    const QString tool = QStringLiteral(TERVEX_ETR2TXT);
    Outcome o = run(tool, {QStringLiteral("--help")});
    QCOMPARE(o.code, 0);
    QVERIFY(o.out.contains(QStringLiteral("--polar")));

    QTemporaryDir dir;
    // A pipe named .etr would block the reading forever.
    const QString pipe = dir.filePath(QStringLiteral("pipe.etr"));
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    o = run(tool, {pipe});
    QCOMPARE(o.code, 1);

    // A potential electrode out of range makes the rest of the file doubtful.
    const int samples = int(EtrFormat::samplesPerStream(10, 10, 1));
    QByteArray bytes = EtrFormat::headerBytes(10, 10, 1, ElectrodeMap());
    bytes += EtrFormat::blockBytes(samples, 1, 2, QVector<float>(samples, 1.0f),
                                   {EtrFormat::BlockChannel{50, 4, QVector<float>(samples, 0.1f)}});
    const QString doubtful = dir.filePath(QStringLiteral("doubtful.etr"));
    QFile file(doubtful);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    o = run(tool, {doubtful});
    QCOMPARE(o.code, 1);
    QVERIFY2(o.err.contains(QStringLiteral("недостоверен")), qPrintable(o.err));
}

// Data that read well but cannot make a model: status 1 with the reason, and no model written.
void ToolExitsTest::invertRefusesDataItCannotInvert()
{
    QTemporaryDir dir;
    const int samples = int(EtrFormat::samplesPerStream(100, 100, 1));
    const QVector<float> current = TestSupport::squareWave(samples, 100, 100, 0.1f);
    const QVector<float> potential = TestSupport::squareWave(samples, 100, 100, 0.01f);
    const QVector<EtrFormat::BlockChannel> channels{{3, 4, potential}, {4, 5, potential}, {5, 6, potential}};
    const auto survey = [&](const char* name, float spacing) {
        ElectrodeMap positions;
        for (int e = 1; e <= 8; ++e)
            positions.insert(e, ElectrodePosition{spacing * float(e - 1), 0, 0});
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(EtrFormat::headerBytes(100, 100, 1, positions) + EtrFormat::blockBytes(samples, 1, 2, current, channels));
        return path;
    };
    const QString model = dir.filePath(QStringLiteral("model.csv"));
    Outcome o = run(QStringLiteral(TERVEX_INVERT), {QStringLiteral("-o"), model, survey("few.etr", 5.0f)});
    QCOMPARE(o.code, 1);
    QVERIFY2(o.err.contains(QStringLiteral("меньше 10 пригодных данных")), qPrintable(o.err));
    o = run(QStringLiteral(TERVEX_INVERT), {QStringLiteral("-o"), model, survey("point.etr", 0.0f)});
    QCOMPARE(o.code, 1);
    QVERIFY2(o.err.contains(QStringLiteral("все электроды в одной точке")), qPrintable(o.err));
    QVERIFY(!QFileInfo::exists(model));
}

void ToolExitsTest::everyToolAnswersHelpAndVersion_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("tervex-survey") << QStringLiteral(TERVEX_SURVEY_TOOL);
    QTest::newRow("tervex-station-sim") << QStringLiteral(TERVEX_STATION_SIM);
    QTest::newRow("tervex-etr2txt") << QStringLiteral(TERVEX_ETR2TXT);
    QTest::newRow("tervex-export") << QStringLiteral(TERVEX_EXPORT);
    QTest::newRow("tervex-seqgen") << QStringLiteral(TERVEX_SEQGEN);
    QTest::newRow("tervex-invert") << QStringLiteral(TERVEX_INVERT);
}

void ToolExitsTest::everyToolAnswersHelpAndVersion()
{
    QFETCH(QString, program);
    const QString name = QFileInfo(program).fileName();
    Outcome o = run(program, {QStringLiteral("--help")});
    QCOMPARE(o.code, 0);
    QVERIFY2(o.out.contains(QStringLiteral("Usage: ")) && o.out.contains(name), qPrintable(o.out));
    o = run(program, {QStringLiteral("--version")});
    QCOMPARE(o.code, 0);
    QCOMPARE(o.out.trimmed(), name + QLatin1Char(' ') + QStringLiteral(TERVEX_VERSION));
    o = run(program, {QStringLiteral("--no-such-option")});
    QCOMPARE(o.code, 2);
    QVERIFY2(o.err.contains(QStringLiteral("no-such-option")), qPrintable(o.err));
}

// The tools read the same language setting as the window.
void ToolExitsTest::messagesFollowTheInterfaceLanguage()
{
    QTemporaryDir config;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    const QStringList missingFile{config.filePath(QStringLiteral("missing.etr"))};
    for (const char* language : {"ru", "en"}) {
        QSettings(config.filePath(QStringLiteral("ru.tervex/Tervex-M1.ini")), QSettings::IniFormat)
            .setValue(QStringLiteral("language"), QString::fromLatin1(language));
        const Outcome o = run(QStringLiteral(TERVEX_ETR2TXT), missingFile, environment);
        QCOMPARE(o.code, 1);
        QVERIFY2(!o.err.isEmpty(), language);
        QVERIFY2(TestSupport::hasCyrillic(o.err) == (qstrcmp(language, "ru") == 0), qPrintable(o.err));
    }
}

QTEST_MAIN(ToolExitsTest)
#include "tst_toolexits.moc"
