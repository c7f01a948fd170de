// The interface language never reaches the files: with every text translated, a survey writes the
// same data file and sequence copy as without, its report file and the electrode-test report keep
// their Russian wording, while the report shown to the operator and the reasons of refusals come
// translated.

#include "runfixture.h"
#include "survey/etrformat.h"
#include "survey/linemetadata.h"
#include "survey/sequencefile.h"
#include "survey/sequencegenerator.h"
#include "survey/surveydatamanager.h"
#include "survey/surveyreport.h"
#include "survey/testdatamanager.h"

#include <QCoreApplication>

namespace {

using TestSupport::MarkingTranslator;

// Installed for the lifetime of the object, when asked for.
class Language
{
public:
    explicit Language(bool translated)
    {
        if (translated)
            QCoreApplication::installTranslator(&m_translator);
    }
    ~Language() { QCoreApplication::removeTranslator(&m_translator); }

private:
    MarkingTranslator m_translator;
};

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct SurveyOutput
{
    // The data file after its free header area, and the line description kept there less the
    // start time and battery, which differ from run to run.
    QByteArray data;
    QVector<QPair<QString, QString>> metadata;
    QByteArray sequenceCopy;
    QString reportFile;
    QString reportShown;
    QString electrodeTestReport;
};

// A three-step survey on a clean simulated station, then, in the translated interface, an
// electrode test (its report is named by the time, so only its wording is compared).
void runSurvey(bool translated, SurveyOutput* out)
{
    const Language language(translated);
    SimulatorOptions station;
    station.speed = 0;
    station.chargeability = 0.0;
    station.noise = 0.0;
    station.driftPerSecond = 0.0;
    RunFixture f(station);
    QVERIFY(f.ok && f.connect());
    GeneratorSettings* g = f.model->stationSettings()->generatorSettings();
    g->pulseLength = 100;
    g->pauseLength = 100;
    g->periods = 2;
    g->voltage = 100;

    QList<QuadrupoleLine> lines;
    for (int a : {1, 7, 13})
        lines << QuadrupoleLine{a, a + 5, a + 1, a + 2} << QuadrupoleLine{a, a + 5, a + 3, a + 4};
    const QString sequence = f.path(QStringLiteral("line.txt"));
    const QString target = f.path(QStringLiteral("survey.etr"));
    QVERIFY(writeSequence(sequence, lines));
    QSignalSpy reported(f.model.get(), &TervexModel::surveyReported);
    QVERIFY2(f.model->startSurvey(sequence, target), qPrintable(f.model->startError()));
    QVERIFY(reported.wait(60000));
    QCOMPARE(reported.at(0).at(2).toString(), QString());
    const QByteArray data = contents(target);
    out->data = data.mid(EtrFormat::HeaderAreaSize);
    const LineMetadata metadata = LineMetadata::fromHeaderArea(data.left(EtrFormat::HeaderAreaSize));
    for (const auto& field : metadata.fields()) {
        if (field.first != QLatin1String(LineMetadata::StartTime) && field.first != QLatin1String(LineMetadata::Battery))
            out->metadata.append(field);
    }
    out->sequenceCopy = contents(f.path(QStringLiteral("survey.txt")));
    out->reportFile = QString::fromUtf8(contents(reported.at(0).at(1).toString()));
    out->reportShown = reported.at(0).at(0).toString();
    if (!translated)
        return;

    QSignalSpy tested(f.model->testDataManager(), &DataManager::allCompleted);
    QVERIFY(f.model->testAllElectrodes());
    QVERIFY(tested.wait(120000));
    out->electrodeTestReport = QString::fromLocal8Bit(contents(f.model->testDataManager()->lastReportPath()));
}

} // namespace

class FilesLanguageTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }
    void surveyFilesKeepTheirWording();
    void generatedSequenceFileKeepsItsWording();
    void shownReasonsAreTranslated();
};

void FilesLanguageTest::surveyFilesKeepTheirWording()
{
    SurveyOutput plain;
    runSurvey(false, &plain);
    if (QTest::currentTestFailed())
        return;
    SurveyOutput translated;
    runSurvey(true, &translated);
    if (QTest::currentTestFailed())
        return;

    QVERIFY(!plain.data.isEmpty());
    QCOMPARE(translated.data, plain.data);
    QVERIFY(!plain.metadata.isEmpty());
    QCOMPARE(translated.metadata, plain.metadata);
    QVERIFY(!plain.sequenceCopy.isEmpty());
    QCOMPARE(translated.sequenceCopy, plain.sequenceCopy);

    // The window's copy is the same report, every sentence of it translated.
    QVERIFY(translated.reportFile.startsWith(QStringLiteral("Отчёт о съёмке ")));
    QVERIFY(translated.reportFile.contains(QStringLiteral("\nЗаписей: 3\n")));
    QVERIFY(!translated.reportFile.contains(MarkingTranslator::marker()));
    QCOMPARE(QString(translated.reportShown).remove(MarkingTranslator::marker()), translated.reportFile);
    for (const QString& line : translated.reportShown.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        QVERIFY2(line.startsWith(MarkingTranslator::marker()), qPrintable(line));
    QVERIFY(translated.reportShown.contains(QStringLiteral("EN:Каналы без данных: EN:нет")));
    QCOMPARE(plain.reportShown, plain.reportFile);

    QVERIFY(translated.electrodeTestReport.startsWith(QStringLiteral("Измерение переходных сопротивлений ")));
    QVERIFY(translated.electrodeTestReport.contains(QStringLiteral("\nТервекс #")));
    QVERIFY(!translated.electrodeTestReport.contains(MarkingTranslator::marker()));
}

void FilesLanguageTest::generatedSequenceFileKeepsItsWording()
{
    QTemporaryDir folder;
    SequenceGenerator::Options options;
    options.array = SequenceGenerator::Array::DipoleDipole;
    options.last = 20;
    SequenceGenerator plain;
    QVERIFY(plain.generate(options));
    QVERIFY(plain.write(folder.filePath(QStringLiteral("plain.txt"))));

    const Language language(true);
    SequenceGenerator translated;
    QVERIFY(translated.generate(options));
    QVERIFY(translated.write(folder.filePath(QStringLiteral("translated.txt"))));
    QCOMPARE(contents(folder.filePath(QStringLiteral("translated.txt"))),
             contents(folder.filePath(QStringLiteral("plain.txt"))));
    QVERIFY(translated.summary(500, 500, 2).startsWith(QStringLiteral("EN:Квадруполей: ")));
    QCOMPARE(SequenceGenerator::arrayName(SequenceGenerator::Array::DipoleDipole),
             QStringLiteral("EN:Диполь-диполь"));
}

void FilesLanguageTest::shownReasonsAreTranslated()
{
    const Language language(true);

    // A sequence-file reason is the line's reason inside the line-number sentence; both translate.
    SequenceFile file;
    QVERIFY(!file.parse("# X Y Z\n1 0 0 0\n2 5 0 0\n# A B M N\n0 1 1 2 2\n"));
    QCOMPARE(file.errorString(), QStringLiteral("EN:Строка 5: EN:электроды A и B совпадают"));

    SequenceGenerator generator;
    SequenceGenerator::Options options;
    options.channels = 0;
    QVERIFY(!generator.generate(options));
    QCOMPARE(generator.errorString(), QStringLiteral("EN:Число каналов должно быть от 1 до 255"));

    TervexModel model;
    QVERIFY(!model.testElectrode(0));
    QCOMPARE(model.startError(), QStringLiteral("EN:Номер электрода должен быть от 1 до 48."));
    QVERIFY(!model.startSurvey(QStringLiteral("line.txt"), QStringLiteral("line.etr")));
    QVERIFY2(model.startError().startsWith(QStringLiteral("EN:Нет готовых к работе каналов")),
             qPrintable(model.startError()));
}

QTEST_GUILESS_MAIN(FilesLanguageTest)
#include "tst_fileslanguage.moc"
