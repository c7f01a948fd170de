// "Создать…" in the auto-settings panel: the dialog's summary follows the choices, an impossible
// set cannot be written, and a written file becomes the panel's sequence.

#include "survey/sequencefile.h"
#include "ui/autosettingswidget.h"
#include "ui/sequencegeneratordialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

class SequenceGeneratorDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void createdFileBecomesTheSequence();
};

void SequenceGeneratorDialogTest::createdFileBecomesTheSequence()
{
    QTemporaryDir folder;
    AutoSettingsWidget panel;
    panel.setStartDirectory(folder.path());
    panel.setSurveyTiming(500, 500, 2, 8);

    QString summary;
    bool impossibleRefused = false;
    panel.setGeneratorRunner([&](SequenceGeneratorDialog* dialog) {
        dialog->arrayBox()->setCurrentIndex(dialog->arrayBox()->findData(int(SequenceGenerator::Array::DipoleDipole)));
        dialog->aMaxBox()->setValue(1);
        dialog->nMaxBox()->setValue(6);
        // The station's eight channels: 255 quadrupoles, one step per current dipole (45).
        summary = dialog->summaryText();
        dialog->lastBox()->setValue(3);
        impossibleRefused = !dialog->createButton()->isEnabled() && dialog->summaryText().contains(QStringLiteral("Ни один"));
        dialog->lastBox()->setValue(48);
        dialog->createButton()->click();
        return dialog->result() == QDialog::Accepted;
    });
    panel.findChild<QPushButton*>(QStringLiteral("generate_button"))->click();

    QVERIFY2(summary.contains(QStringLiteral("Квадруполей: 255, шагов: 45")), qPrintable(summary));
    QVERIFY(impossibleRefused);
    QCOMPARE(panel.sequencePath(), folder.filePath(QStringLiteral("dipole-dipole-48x5m.txt")));
    QVERIFY(panel.targetPath().startsWith(folder.path()));
    SequenceFile file;
    QVERIFY(file.load(panel.sequencePath()));
    QCOMPARE(file.lines().size(), 255);

    // Opened again, it offers the last choices; Wenner-alpha takes no n.
    bool remembered = false;
    bool wennerTakesNoN = false;
    panel.setGeneratorRunner([&](SequenceGeneratorDialog* dialog) {
        remembered = dialog->arrayBox()->currentData().toInt() == int(SequenceGenerator::Array::DipoleDipole)
                     && dialog->aMaxBox()->value() == 1 && dialog->nMaxBox()->isEnabled();
        dialog->arrayBox()->setCurrentIndex(dialog->arrayBox()->findData(int(SequenceGenerator::Array::WennerAlpha)));
        wennerTakesNoN = !dialog->nMaxBox()->isEnabled();
        return false;
    });
    panel.findChild<QPushButton*>(QStringLiteral("generate_button"))->click();
    QVERIFY(remembered);
    QVERIFY(wennerTakesNoN);
}

QTEST_MAIN(SequenceGeneratorDialogTest)
#include "tst_sequencegeneratordialog.moc"
