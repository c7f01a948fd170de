#include "app/tervexmodel.h"
#include "etr/inversionwriters.h"
#include "survey/etrformat.h"
#include "testsupport.h"
#include "ui/etrviewer.h"
#include "ui/exportdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using TestSupport::squareWave;

// The viewer whose open dialog returns the file the test names.
class Viewer : public EtrViewer
{
public:
    using EtrViewer::EtrViewer;
    void open(const QString& path)
    {
        m_next = path;
        findChild<QPushButton*>(QStringLiteral("open_button"))->click();
    }

protected:
    QStringList chooseFiles() override { return {m_next}; }

private:
    QString m_next;
};

ExportDialog* pressExport(EtrViewer* viewer)
{
    viewer->findChild<QPushButton*>(QStringLiteral("export_button"))->click();
    return viewer->findChild<ExportDialog*>();
}

} // namespace

class TestExportButton : public QObject
{
    Q_OBJECT

private slots:
    void exportsTheOpenedFileAndSaysWhatItWrote();
};

void TestExportButton::exportsTheOpenedFileAndSaysWhatItWrote()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("241208_101500.etr"));
    const int pulse = 500, pause = 500, periods = 2;
    const int samples = int(EtrFormat::samplesPerStream(pulse, pause, periods));
    ElectrodeMap line;
    for (int e = 1; e <= 12; ++e)
        line.insert(e, {2.0f * (e - 1), 0.0f, 0.0f});
    QByteArray bytes = EtrFormat::headerBytes(pulse, pause, periods, line);
    bytes += EtrFormat::blockBytes(samples, 1, 4, squareWave(samples, pulse, pause, 0.05f),
                                   {{2, 3, squareWave(samples, pulse, pause, 0.01f)}});
    // No current: this record cannot be written.
    bytes += EtrFormat::blockBytes(samples, 5, 8, QVector<float>(samples, 0.0f),
                                   {{6, 7, squareWave(samples, pulse, pause, 0.01f)}});
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();

    TervexModel model;
    Viewer viewer(&model);
    viewer.show();

    // Nothing opened yet: the dialog says so and cannot write.
    ExportDialog* dialog = pressExport(&viewer);
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(!dialog->findChild<QPushButton*>(QStringLiteral("export_write_button"))->isEnabled());
    QVERIFY(dialog->findChild<QLabel*>(QStringLiteral("export_result_label"))->text().contains(QStringLiteral("не открыт")));
    dialog->findChild<QPushButton*>(QStringLiteral("export_close_button"))->click();
    QTRY_VERIFY(!viewer.findChild<ExportDialog*>());

    viewer.open(path);
    dialog = pressExport(&viewer);
    QVERIFY(dialog);
    auto* target = dialog->findChild<QLineEdit*>(QStringLiteral("export_target_edit"));
    auto* result = dialog->findChild<QLabel*>(QStringLiteral("export_result_label"));
    auto* write = dialog->findChild<QPushButton*>(QStringLiteral("export_write_button"));
    QCOMPARE(QDir::fromNativeSeparators(target->text()), dir.filePath(QStringLiteral("241208_101500.ohm")));
    write->click();
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("241208_101500.ohm"))));
    QCOMPARE(dialog->report().written, 1);
    QVERIFY2(result->text().contains(QStringLiteral("данных: 1")), qPrintable(result->text()));
    QVERIFY(result->text().contains(QStringLiteral("Пропущено данных: 1 (%1 — 1)").arg(InversionWriters::notComputedReason())));

    // Another format: the name follows it, the dialog stays for it.
    dialog->findChild<QComboBox*>(QStringLiteral("export_format_combo"))->setCurrentIndex(int(InversionFormat::Res2DInv));
    QCOMPARE(QDir::fromNativeSeparators(target->text()), dir.filePath(QStringLiteral("241208_101500-res2dinv.dat")));
    // What was written was the other format's file.
    QVERIFY(result->text().isEmpty());
    write->click();
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("241208_101500-res2dinv.dat"))));

    target->setText(dir.filePath(QStringLiteral("missing/out.dat")));
    write->click();
    QVERIFY(!dialog->report().ok());
    QVERIFY(result->text().startsWith(QStringLiteral("Не удалось записать файл")));
}

QTEST_MAIN(TestExportButton)
#include "tst_exportbutton.moc"
