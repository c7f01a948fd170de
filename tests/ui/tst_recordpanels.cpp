#include "testsupport.h"
#include "app/tervexmodel.h"
#include "ui/autosettingswidget.h"
#include "ui/generatorcontrolwidget.h"
#include "ui/testrecordpanel.h"

#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString labelAt(QGridLayout* grid, int row, int column)
{
    auto* label = qobject_cast<QLabel*>(grid->itemAtPosition(row, column)->widget());
    return label ? label->text() : QString();
}

QSpinBox* spinAt(QGridLayout* grid, int row, int column)
{
    return qobject_cast<QSpinBox*>(grid->itemAtPosition(row, column)->widget());
}

QPushButton* buttonWithText(QWidget* parent, const QString& text)
{
    for (QPushButton* button : parent->findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

// The page of a stack as the operator sees it: the buttons shown on it.
QString shownButton(QWidget* panel)
{
    for (QPushButton* button : panel->findChildren<QPushButton*>())
        if (button->isVisible() && (button->text() == "Выполнить" || button->text() == "Отмена"))
            return button->text();
    return QString();
}

void showAndWait(QWidget* widget)
{
    widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(widget));
}

}

class TestRecordPanels : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }

    void generatorPanelCaptionsAndRanges();
    void generatorPanelWritesAndShowsTheMirror();
    void testPanelModesAndTheirPages();
    void testPanelExecuteAndCancel();
    void autoSettingsTimeStampsASequenceTarget();
    void autoSettingsContinuesADataFile();
    void autoSettingsResetChoice();
    void autoSettingsFileDialogs();
};

void TestRecordPanels::generatorPanelCaptionsAndRanges()
{
    GeneratorControlWidget panel(nullptr);
    auto* grid = qobject_cast<QGridLayout*>(panel.layout());
    QVERIFY(grid);
    QCOMPARE(labelAt(grid, 0, 0), QStringLiteral("Напряжение"));
    QCOMPARE(labelAt(grid, 0, 1), QStringLiteral("Повторения"));
    QCOMPARE(labelAt(grid, 2, 0), QStringLiteral("Импульс"));
    QCOMPARE(labelAt(grid, 2, 1), QStringLiteral("Пауза"));

    struct Expected { int row, column, minimum, maximum, value; };
    const Expected boxes[] = {{1, 0, 0, 500, 10}, {1, 1, 1, 100, 1}, {3, 0, 50, 60000, 100}, {3, 1, 0, 60000, 100}};
    for (const Expected& e : boxes) {
        QSpinBox* box = spinAt(grid, e.row, e.column);
        QVERIFY(box);
        QCOMPARE(box->minimum(), e.minimum);
        QCOMPARE(box->maximum(), e.maximum);
        QCOMPARE(box->value(), e.value);
        QCOMPARE(box->alignment(), Qt::AlignCenter);
    }
    // Without a model the boxes still work and write nowhere.
    spinAt(grid, 3, 0)->setValue(30);
    QCOMPARE(spinAt(grid, 3, 0)->value(), 50);
    spinAt(grid, 1, 1)->setValue(0);
    QCOMPARE(spinAt(grid, 1, 1)->value(), 1);
}

void TestRecordPanels::generatorPanelWritesAndShowsTheMirror()
{
    TervexModel model;
    GeneratorSettings* generator = model.stationSettings()->generatorSettings();
    GeneratorControlWidget panel(&model);
    auto* grid = qobject_cast<QGridLayout*>(panel.layout());
    // The panel's initial values are not the station's settings.
    QCOMPARE(generator->voltage, quint16(0));
    QCOMPARE(generator->pulseLength, quint32(0));

    spinAt(grid, 1, 0)->setValue(250);
    spinAt(grid, 1, 1)->setValue(4);
    spinAt(grid, 3, 0)->setValue(2000);
    spinAt(grid, 3, 1)->setValue(0);
    QCOMPARE(generator->voltage, quint16(250));
    QCOMPARE(generator->periods, quint16(4));
    QCOMPARE(generator->pulseLength, quint32(2000));
    QCOMPARE(generator->pauseLength, quint32(0));

    StationProperties properties;
    properties.generator = {120, 3, 500, 250};
    model.stationSettings()->updateFrom(properties);
    QCOMPARE(spinAt(grid, 1, 0)->value(), 120);
    QCOMPARE(spinAt(grid, 1, 1)->value(), 3);
    QCOMPARE(spinAt(grid, 3, 0)->value(), 500);
    QCOMPARE(spinAt(grid, 3, 1)->value(), 250);

    // Values beyond the boxes' ranges are shown clamped but stay in the mirror as reported.
    properties.generator = {120, 0, 30, 70000};
    model.stationSettings()->updateFrom(properties);
    QCOMPARE(spinAt(grid, 1, 1)->value(), 1);
    QCOMPARE(spinAt(grid, 3, 0)->value(), 50);
    QCOMPARE(spinAt(grid, 3, 1)->value(), 60000);
    QCOMPARE(generator->periods, quint16(0));
    QCOMPARE(generator->pulseLength, quint32(30));
    QCOMPARE(generator->pauseLength, quint32(70000));
}

void TestRecordPanels::testPanelModesAndTheirPages()
{
    TestRecordPanel panel;
    showAndWait(&panel);
    QCOMPARE(panel.objectName(), QStringLiteral("survey_type_tool_frame"));
    QCOMPARE(panel.testMode(), 0);
    QCOMPARE(panel.electrodeNumber(), 1);
    QCOMPARE(panel.resistanceInterval(), 3);

    auto* modeFrame = panel.findChild<QFrame*>(QStringLiteral("test_mode_frame"));
    QVERIFY(modeFrame);
    QList<QPushButton*> modes = modeFrame->findChildren<QPushButton*>();
    std::sort(modes.begin(), modes.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
    QStringList order;
    for (QPushButton* button : modes) {
        order << button->text();
        QCOMPARE(button->objectName(), QStringLiteral("survey_type_button"));
        QVERIFY(button->isCheckable());
    }
    QCOMPARE(order, QStringList({"ВСЕ", "ЭЛЕКТРОД", "ДИАПАЗОН"}));
    QVERIFY(modes.at(0)->isChecked());

    QLabel* allLabel = nullptr;
    for (QLabel* label : panel.findChildren<QLabel*>())
        if (label->text() == "Тестирование всех электродов")
            allLabel = label;
    QVERIFY(allLabel && allLabel->isVisible());

    QTest::mouseClick(modes.at(2), Qt::LeftButton);
    QCOMPARE(panel.testMode(), 1);
    QVERIFY(!allLabel->isVisible());
    QList<QRadioButton*> radios = panel.findChildren<QRadioButton*>();
    QCOMPARE(radios.size(), 4);
    QStringList thresholds;
    for (QRadioButton* radio : radios) {
        QVERIFY(radio->isVisible());
        thresholds << radio->text();
    }
    QCOMPARE(thresholds, QStringList({"> 1кОм", "> 3кОм", "> 10кОм", "> 50кОм"}));
    QVERIFY(radios.at(3)->isChecked());
    QTest::mouseClick(radios.at(1), Qt::LeftButton);
    QCOMPARE(panel.resistanceInterval(), 1);

    QTest::mouseClick(modes.at(1), Qt::LeftButton);
    QCOMPARE(panel.testMode(), 2);
    QVERIFY(!radios.at(0)->isVisible());
    auto* electrode = panel.findChild<QSpinBox*>();
    QVERIFY(electrode->isVisible());
    QCOMPARE(electrode->minimum(), 1);
    QCOMPARE(electrode->maximum(), 48);
    electrode->setValue(17);
    QCOMPARE(panel.electrodeNumber(), 17);
    // The interval chosen earlier is kept while another mode is shown.
    QCOMPARE(panel.resistanceInterval(), 1);
}

void TestRecordPanels::testPanelExecuteAndCancel()
{
    TestRecordPanel panel;
    showAndWait(&panel);
    QSignalSpy executed(&panel, &TestRecordPanel::executed);
    QSignalSpy cancelled(&panel, &TestRecordPanel::cancelled);
    QCOMPARE(shownButton(&panel), QStringLiteral("Выполнить"));

    QTest::mouseClick(buttonWithText(&panel, "Выполнить"), Qt::LeftButton);
    QCOMPARE(executed.count(), 1);
    QCOMPARE(shownButton(&panel), QStringLiteral("Отмена"));
    QTest::mouseClick(buttonWithText(&panel, "Отмена"), Qt::LeftButton);
    QCOMPARE(cancelled.count(), 1);
    QCOMPARE(shownButton(&panel), QStringLiteral("Выполнить"));

    QTest::mouseClick(buttonWithText(&panel, "Выполнить"), Qt::LeftButton);
    panel.resetPanel();
    QCOMPARE(shownButton(&panel), QStringLiteral("Выполнить"));
    QCOMPARE(executed.count(), 2);
    QCOMPARE(cancelled.count(), 1);
}

void TestRecordPanels::autoSettingsTimeStampsASequenceTarget()
{
    QTemporaryDir dir;
    AutoSettingsWidget panel;
    panel.setClock([] { return QDateTime(QDate(2025, 3, 5), QTime(14, 3, 7)); });
    QList<QLineEdit*> edits = panel.findChildren<QLineEdit*>();
    QCOMPARE(edits.size(), 2);
    QCOMPARE(edits.at(0)->placeholderText(), QStringLiteral("Последовательность"));
    QCOMPARE(edits.at(1)->placeholderText(), QStringLiteral("Сохранить как"));
    for (QLineEdit* edit : edits) {
        QVERIFY(edit->isReadOnly());
        QCOMPARE(edit->objectName(), QStringLiteral("files_lineedit"));
    }

    const QString sequence = dir.filePath("line.a.TXT");
    panel.setSequence(sequence);
    QCOMPARE(panel.sequencePath(), sequence);
    QCOMPARE(panel.targetPath(), QDir(dir.path()).absolutePath() + QDir::separator() + "250305_140307.etr");
    QCOMPARE(edits.at(0)->text(), QStringLiteral("line.a"));
    QCOMPARE(edits.at(1)->text(), QStringLiteral("250305_140307"));

    // An unknown suffix changes nothing.
    panel.setSequence(dir.filePath("notes.csv"));
    QCOMPARE(panel.sequencePath(), sequence);
    QCOMPARE(edits.at(0)->text(), QStringLiteral("line.a"));

    QSignalSpy execute(&panel, &AutoSettingsWidget::executeClicked);
    QSignalSpy cancel(&panel, &AutoSettingsWidget::cancelClicked);
    showAndWait(&panel);
    QTest::mouseClick(buttonWithText(&panel, "Выполнить"), Qt::LeftButton);
    QTest::mouseClick(buttonWithText(&panel, "Отмена"), Qt::LeftButton);
    QTest::mouseClick(buttonWithText(&panel, "Отмена"), Qt::LeftButton);
    QCOMPARE(execute.count(), 1);
    QCOMPARE(cancel.count(), 2);
}

void TestRecordPanels::autoSettingsContinuesADataFile()
{
    AutoSettingsWidget panel;
    QList<QLineEdit*> edits = panel.findChildren<QLineEdit*>();
    QList<QPushButton*> choosers;
    for (QPushButton* button : panel.findChildren<QPushButton*>())
        if (button->text() == "...")
            choosers << button;
    QCOMPARE(choosers.size(), 2);
    QCOMPARE(choosers.at(0)->size(), QSize(40, 24));

    panel.setSequence("/data/survey.2024.ETR");
    QCOMPARE(panel.sequencePath(), QStringLiteral("/data/survey.2024.ETR"));
    QCOMPARE(panel.targetPath(), QStringLiteral("/data/survey.2024.ETR"));
    QCOMPARE(edits.at(0)->text(), QStringLiteral("survey.2024"));
    QCOMPARE(edits.at(1)->text(), QStringLiteral("survey.2024"));
    QVERIFY(!choosers.at(1)->isEnabled());

    panel.setSequence("/data/line.txt");
    QVERIFY(choosers.at(1)->isEnabled());
}

void TestRecordPanels::autoSettingsResetChoice()
{
    QTemporaryDir dir;
    const QString sequence = dir.filePath("line.txt");
    QFile file(sequence);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    QDateTime now(QDate(2025, 3, 5), QTime(14, 3, 7));
    AutoSettingsWidget panel;
    panel.setClock([&now] { return now; });
    QList<QLineEdit*> edits = panel.findChildren<QLineEdit*>();

    panel.setSequence(sequence);
    now = now.addSecs(65);
    panel.resetChoice();
    QCOMPARE(panel.sequencePath(), sequence);
    QCOMPARE(edits.at(1)->text(), QStringLiteral("250305_140412"));
    QVERIFY(panel.targetPath().endsWith("250305_140412.etr"));

    panel.setSequence(dir.filePath("old.etr"));
    panel.resetChoice();
    QCOMPARE(panel.sequencePath(), QString());
    QCOMPARE(panel.targetPath(), QString());
    QCOMPARE(edits.at(0)->text(), QString());
    QCOMPARE(edits.at(1)->text(), QString());

    // A sequence file deleted since it was chosen is forgotten too.
    panel.setSequence(sequence);
    QVERIFY(QFile::remove(sequence));
    panel.resetChoice();
    QCOMPARE(panel.sequencePath(), QString());
    QCOMPARE(panel.targetPath(), QString());
}

void TestRecordPanels::autoSettingsFileDialogs()
{
    QTemporaryDir dir;
    AutoSettingsWidget panel;
    panel.setStartDirectory(dir.path());
    QList<QLineEdit*> edits = panel.findChildren<QLineEdit*>();
    QList<QPushButton*> choosers;
    for (QPushButton* button : panel.findChildren<QPushButton*>())
        if (button->text() == "...")
            choosers << button;
    showAndWait(&panel);

    QStringList answer;
    QFileDialog::FileMode mode = QFileDialog::Directory;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
    QStringList filters;
    QString directory;
    QStringList preselected;
    panel.setDialogRunner([&](QFileDialog* dialog) {
        mode = dialog->fileMode();
        acceptMode = dialog->acceptMode();
        filters = dialog->nameFilters();
        directory = dialog->directory().absolutePath();
        preselected = dialog->selectedFiles();
        return answer;
    });

    // A cancelled dialog leaves the choice alone.
    QTest::mouseClick(choosers.at(0), Qt::LeftButton);
    QCOMPARE(mode, QFileDialog::ExistingFile);
    QCOMPARE(acceptMode, QFileDialog::AcceptOpen);
    QCOMPARE(filters, QStringList({"Sequence (*.txt)", "Tervex data (*.etr)"}));
    QCOMPARE(directory, QDir(dir.path()).absolutePath());
    QCOMPARE(panel.sequencePath(), QString());

    answer = QStringList{dir.filePath("profile.txt")};
    QTest::mouseClick(choosers.at(0), Qt::LeftButton);
    QCOMPARE(panel.sequencePath(), dir.filePath("profile.txt"));
    const QString proposed = panel.targetPath();

    answer = QStringList{dir.filePath("north.part1.etr")};
    QTest::mouseClick(choosers.at(1), Qt::LeftButton);
    QCOMPARE(mode, QFileDialog::AnyFile);
    QCOMPARE(acceptMode, QFileDialog::AcceptSave);
    QCOMPARE(filters, QStringList({"Tervex data (*.etr)"}));
    QCOMPARE(preselected, QStringList({proposed}));
    QCOMPARE(panel.targetPath(), dir.filePath("north.part1.etr"));
    QCOMPARE(edits.at(1)->text(), QStringLiteral("north"));
    QCOMPARE(panel.sequencePath(), dir.filePath("profile.txt"));
}

QTEST_MAIN(TestRecordPanels)
#include "tst_recordpanels.moc"
