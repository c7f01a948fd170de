#include "app/tervexmodel.h"
#include "survey/etrformat.h"
#include "testsupport.h"
#include "ui/etrviewer.h"
#include "ui/exportdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using TestSupport::squareWave;

using TestSupport::MarkingTranslator;

class Viewer : public EtrViewer
{
public:
    using EtrViewer::EtrViewer;
    void open(const QString& path)
    {
        m_next = path;
        findChild<QPushButton*>(QStringLiteral("open_button"))->click();
    }
    QStringList shown;

protected:
    QStringList chooseFiles() override { return {m_next}; }
    void showInformation(QWidget*, const QString& title, const QString& text) override { shown << title << text; }

private:
    QString m_next;
};

// Two measured channels, a record without current (left out of every export) and a last record
// cut short (a loader message).
QByteArray surveyFile()
{
    const int pulse = 500, pause = 500, periods = 2;
    const int samples = int(EtrFormat::samplesPerStream(pulse, pause, periods));
    ElectrodeMap line;
    for (int e = 1; e <= 12; ++e)
        line.insert(e, {2.0f * (e - 1), 0.1f * e, 0.5f * e});
    QByteArray bytes = EtrFormat::headerBytes(pulse, pause, periods, line);
    bytes += EtrFormat::blockBytes(samples, 1, 4, squareWave(samples, pulse, pause, 0.05f),
                                   {{2, 3, squareWave(samples, pulse, pause, 0.01f)},
                                    {3, 5, squareWave(samples, pulse, pause, 0.004f)}});
    bytes += EtrFormat::blockBytes(samples, 5, 8, QVector<float>(samples, 0.0f),
                                   {{6, 7, squareWave(samples, pulse, pause, 0.01f)}});
    bytes += EtrFormat::blockBytes(samples, 2, 5, squareWave(samples, pulse, pause, 0.05f),
                                   {{3, 4, squareWave(samples, pulse, pause, 0.01f)}})
                 .left(300);
    return bytes;
}

struct Session
{
    // Name -> content of every file the session wrote.
    QMap<QString, QByteArray> files;
    // Box titles and texts, then the export dialog's results; the folder reads as DIR.
    QStringList shown;
};

// Opens the file, processes it with and without polarisation and exports it in every format.
Session work(const QString& folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("241208_101500.etr"));
    QFile etr(path);
    const QByteArray bytes = surveyFile();
    if (!etr.open(QIODevice::WriteOnly) || etr.write(bytes) != bytes.size())
        return {};
    etr.close();

    TervexModel model;
    Viewer viewer(&model);
    viewer.open(path);
    for (const bool polarisation : {false, true}) {
        viewer.findChild<QCheckBox*>(QStringLiteral("polarization_check"))->setChecked(polarisation);
        viewer.findChild<QPushButton*>(QStringLiteral("process_button"))->click();
    }
    viewer.findChild<QPushButton*>(QStringLiteral("export_button"))->click();
    auto* dialog = viewer.findChild<ExportDialog*>();
    Session session;
    for (int format = 0; format < 3; ++format) {
        dialog->findChild<QComboBox*>(QStringLiteral("export_format_combo"))->setCurrentIndex(format);
        dialog->findChild<QPushButton*>(QStringLiteral("export_write_button"))->click();
        viewer.shown << dialog->findChild<QLabel*>(QStringLiteral("export_result_label"))->text();
    }
    for (const QString& text : qAsConst(viewer.shown))
        session.shown << QString(text).replace(QDir::toNativeSeparators(folder), QStringLiteral("DIR"));
    for (const QFileInfo& written : QDir(folder).entryInfoList(QDir::Files)) {
        QFile file(written.filePath());
        if (written.suffix() != QLatin1String("etr") && file.open(QIODevice::ReadOnly))
            session.files.insert(written.fileName(), file.readAll());
    }
    return session;
}

} // namespace

class TestViewerTranslation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::isolateSettings(); }
    void filesKeepTheirTextWhileTheWindowTranslates();
};

void TestViewerTranslation::filesKeepTheirTextWhileTheWindowTranslates()
{
    QTemporaryDir plainFolder, translatedFolder;
    const Session plain = work(plainFolder.path());
    MarkingTranslator translator;
    QVERIFY(QCoreApplication::installTranslator(&translator));
    const Session translated = work(translatedFolder.path());
    QCoreApplication::removeTranslator(&translator);

    QCOMPARE(plain.files.keys(),
             (QStringList{QStringLiteral("241208_101500-VP.etr.txt"), QStringLiteral("241208_101500-res2dinv.dat"),
                          QStringLiteral("241208_101500-resipy.csv"), QStringLiteral("241208_101500.etr.txt"),
                          QStringLiteral("241208_101500.ohm")}));
    QCOMPARE(translated.files.keys(), plain.files.keys());
    for (const QString& name : plain.files.keys())
        QVERIFY2(translated.files.value(name) == plain.files.value(name), qPrintable(name));

    // The loader's box, the processing boxes and the export results: each shown text is the
    // Russian one through the translator, reasons for left-out data included.
    QVERIFY(plain.shown.size() >= 2 + 4 + 3);
    QCOMPARE(translated.shown.size(), plain.shown.size());
    for (int i = 0; i < plain.shown.size(); ++i) {
        QVERIFY2(!plain.shown.at(i).contains(QStringLiteral("EN:")), qPrintable(plain.shown.at(i)));
        QVERIFY2(translated.shown.at(i).startsWith(QStringLiteral("EN:")), qPrintable(translated.shown.at(i)));
        QCOMPARE(QString(translated.shown.at(i)).remove(QStringLiteral("EN:")), plain.shown.at(i));
    }
    QVERIFY(translated.shown.last().contains(QStringLiteral("EN:значения не вычислены")));
}

QTEST_MAIN(TestViewerTranslation)
#include "tst_viewertranslation.moc"
