#include "testsupport.h"
#include "app/tervexmodel.h"
#include "ui/autosettingswidget.h"
#include "ui/generatorcontrolwidget.h"
#include "ui/testrecordpanel.h"

#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Execute = QStringLiteral("Выполнить");
const QString Cancel = QStringLiteral("Отмена");

template <typename T>
T* cellAt(QGridLayout* grid, int row, int column)
{
    return qobject_cast<T*>(grid->itemAtPosition(row, column)->widget());
}

// Voltage, repeats, pulse, pause as the boxes show them.
QVector<int> boxValues(QGridLayout* grid)
{
    return {cellAt<QSpinBox>(grid, 1, 0)->value(), cellAt<QSpinBox>(grid, 1, 1)->value(),
            cellAt<QSpinBox>(grid, 3, 0)->value(), cellAt<QSpinBox>(grid, 3, 1)->value()};
}

QVector<int> fields(const GeneratorSettings& s)
{
    return {int(s.voltage), int(s.periods), int(s.pulseLength), int(s.pauseLength)};
}

QList<QPushButton*> buttons(QWidget* parent, const QString& text)
{
    QList<QPushButton*> found;
    for (QPushButton* button : parent->findChildren<QPushButton*>())
        if (button->text() == text)
            found << button;
    return found;
}

QString shownAction(QWidget* panel)
{
    for (const QString& text : {Execute, Cancel})
        if (buttons(panel, text).first()->isVisible())
            return text;
    return QString();
}

// Sequence path, target path, and the two fields as the operator reads them.
QStringList choice(const AutoSettingsWidget& panel)
{
    const QList<QLineEdit*> edits = panel.findChildren<QLineEdit*>();
    return {panel.sequencePath(), panel.targetPath(), edits.at(0)->text(), edits.at(1)->text()};
}

}

class TestRecordPanels : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }

    void generatorPanelWritesAndShowsTheMirror();
    void testPanelModesAndActions();
    void autoSettingsSequenceAndDataFile();
    void autoSettingsResetChoice();
    void autoSettingsFileDialogs();
    void autoSettingsPlaceholdersAndContactCheck();
};

void TestRecordPanels::generatorPanelWritesAndShowsTheMirror()
{
    TervexModel model;
    GeneratorSettings* generator = model.stationSettings()->generatorSettings();
    GeneratorControlWidget panel(&model);
    auto* grid = qobject_cast<QGridLayout*>(panel.layout());
    QCOMPARE(QStringList({cellAt<QLabel>(grid, 0, 0)->text(), cellAt<QLabel>(grid, 0, 1)->text(),
                          cellAt<QLabel>(grid, 2, 0)->text(), cellAt<QLabel>(grid, 2, 1)->text()}),
             QStringList({"Напряжение", "Повторения", "Импульс", "Пауза"}));
    QCOMPARE(boxValues(grid), QVector<int>({10, 1, 100, 100}));
    // The panel's initial values are not the station's settings.
    QCOMPARE(fields(*generator), QVector<int>({0, 0, 0, 0}));

    // Below the ranges: no pulse under 50 ms, no zero repeats; a zero pause is allowed.
    cellAt<QSpinBox>(grid, 1, 0)->setValue(600);
    cellAt<QSpinBox>(grid, 1, 1)->setValue(4);
    cellAt<QSpinBox>(grid, 3, 0)->setValue(49);
    cellAt<QSpinBox>(grid, 3, 1)->setValue(0);
    QCOMPARE(fields(*generator), QVector<int>({500, 4, 50, 0}));
    cellAt<QSpinBox>(grid, 1, 1)->setValue(0);
    cellAt<QSpinBox>(grid, 3, 0)->setValue(60001);
    QCOMPARE(fields(*generator), QVector<int>({500, 1, 60000, 0}));

    StationProperties properties;
    properties.generator = {120, 3, 500, 250};
    model.stationSettings()->updateFrom(properties);
    QCOMPARE(boxValues(grid), QVector<int>({120, 3, 500, 250}));

    // Values beyond the boxes' ranges are shown clamped but stay in the mirror as reported.
    properties.generator = {120, 0, 30, 70000};
    model.stationSettings()->updateFrom(properties);
    QCOMPARE(boxValues(grid), QVector<int>({120, 1, 50, 60000}));
    QCOMPARE(fields(*generator), QVector<int>({120, 0, 30, 70000}));
}

void TestRecordPanels::testPanelModesAndActions()
{
    TestRecordPanel panel;
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QCOMPARE(QVector<int>({panel.testMode(), panel.electrodeNumber(), panel.resistanceInterval()}),
             QVector<int>({0, 1, 3}));

    QList<QPushButton*> modes = panel.findChild<QFrame*>(QStringLiteral("test_mode_frame"))->findChildren<QPushButton*>();
    std::sort(modes.begin(), modes.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
    QStringList order;
    for (QPushButton* button : modes)
        order << button->text();
    QCOMPARE(order, QStringList({"ВСЕ", "ЭЛЕКТРОД", "ДИАПАЗОН"}));
    QVERIFY(modes.at(0)->isChecked());
    QLabel* allLabel = panel.findChild<QLabel*>();
    QCOMPARE(allLabel->text(), QStringLiteral("Тестирование всех электродов"));
    QVERIFY(allLabel->isVisible());

    QTest::mouseClick(modes.at(2), Qt::LeftButton);
    QCOMPARE(panel.testMode(), 1);
    QVERIFY(!allLabel->isVisible());
    const QList<QRadioButton*> radios = panel.findChildren<QRadioButton*>();
    QStringList thresholds;
    for (QRadioButton* radio : radios)
        thresholds << radio->text();
    QCOMPARE(thresholds, QStringList({"> 1кОм", "> 3кОм", "> 10кОм", "> 50кОм"}));
    QVERIFY(radios.at(3)->isVisible() && radios.at(3)->isChecked());
    QTest::mouseClick(radios.at(1), Qt::LeftButton);
    QCOMPARE(panel.resistanceInterval(), 1);

    QTest::mouseClick(modes.at(1), Qt::LeftButton);
    QCOMPARE(panel.testMode(), 2);
    QVERIFY(!radios.at(0)->isVisible());
    auto* electrode = panel.findChild<QSpinBox*>();
    QVERIFY(electrode->isVisible());
    QCOMPARE(QVector<int>({electrode->minimum(), electrode->maximum()}), QVector<int>({1, 48}));
    electrode->setValue(17);
    QCOMPARE(panel.electrodeNumber(), 17);
    QCOMPARE(panel.resistanceInterval(), 1);

    QSignalSpy executed(&panel, &TestRecordPanel::executed);
    QSignalSpy cancelled(&panel, &TestRecordPanel::cancelled);
    QCOMPARE(shownAction(&panel), Execute);
    QTest::mouseClick(buttons(&panel, Execute).first(), Qt::LeftButton);
    QCOMPARE(shownAction(&panel), Cancel);
    QTest::mouseClick(buttons(&panel, Cancel).first(), Qt::LeftButton);
    QCOMPARE(shownAction(&panel), Execute);
    QCOMPARE(executed.count(), 1);
    QCOMPARE(cancelled.count(), 1);
    // The window resets the panel when a run ends, which signals nothing.
    QTest::mouseClick(buttons(&panel, Execute).first(), Qt::LeftButton);
    panel.resetPanel();
    QCOMPARE(shownAction(&panel), Execute);
    QCOMPARE(executed.count(), 2);
    QCOMPARE(cancelled.count(), 1);
}

void TestRecordPanels::autoSettingsSequenceAndDataFile()
{
    QTemporaryDir dir;
    AutoSettingsWidget panel;
    panel.setClock([] { return QDateTime(QDate(2025, 3, 5), QTime(14, 3, 7)); });
    const QList<QLineEdit*> edits = panel.findChildren<QLineEdit*>();
    QCOMPARE(edits.at(0)->placeholderText(), QStringLiteral("Последовательность"));
    QCOMPARE(edits.at(1)->placeholderText(), QStringLiteral("Сохранить как"));
    QPushButton* targetChooser = buttons(&panel, "...").at(1);

    const QString sequence = dir.filePath("line.a.TXT");
    const QString stamped = QDir(dir.path()).absolutePath() + QDir::separator() + "250305_140307.etr";
    panel.setSequence(sequence);
    QCOMPARE(choice(panel), QStringList({sequence, stamped, "line.a", "250305_140307"}));
    QVERIFY(targetChooser->isEnabled());
    panel.setSequence(dir.filePath("notes.csv"));
    QCOMPARE(choice(panel), QStringList({sequence, stamped, "line.a", "250305_140307"}));

    // A data file is continued: it is sequence and target, and the target cannot be changed.
    panel.setSequence("/data/survey.2024.ETR");
    QCOMPARE(choice(panel), QStringList({"/data/survey.2024.ETR", "/data/survey.2024.ETR", "survey.2024", "survey.2024"}));
    QVERIFY(!targetChooser->isEnabled());

    QSignalSpy execute(&panel, &AutoSettingsWidget::executeClicked);
    QSignalSpy cancel(&panel, &AutoSettingsWidget::cancelClicked);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QTest::mouseClick(buttons(&panel, Execute).first(), Qt::LeftButton);
    QCOMPARE(QVector<int>({execute.count(), cancel.count()}), QVector<int>({1, 0}));
    QTest::mouseClick(buttons(&panel, Cancel).first(), Qt::LeftButton);
    QCOMPARE(QVector<int>({execute.count(), cancel.count()}), QVector<int>({1, 1}));
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

    // Every survey from the same sequence gets a fresh target.
    panel.setSequence(sequence);
    now = now.addSecs(65);
    panel.resetChoice();
    QCOMPARE(choice(panel).mid(2), QStringList({"line", "250305_140412"}));
    QVERIFY(panel.targetPath().endsWith("250305_140412.etr"));

    panel.setSequence(dir.filePath("old.etr"));
    panel.resetChoice();
    QCOMPARE(choice(panel), QStringList({"", "", "", ""}));
    QVERIFY(!buttons(&panel, "...").at(1)->isEnabled());

    // A sequence file deleted since it was chosen is forgotten too.
    panel.setSequence(sequence);
    QVERIFY(QFile::remove(sequence));
    panel.resetChoice();
    QCOMPARE(choice(panel), QStringList({"", "", "", ""}));
}

void TestRecordPanels::autoSettingsFileDialogs()
{
    QTemporaryDir dir;
    AutoSettingsWidget panel;
    panel.setStartDirectory(dir.path());
    const QList<QPushButton*> choosers = buttons(&panel, "...");
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));

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
    QCOMPARE(filters, QStringList({"Последовательность (*.txt)", "Данные Тервекс (*.etr)"}));
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
    QCOMPARE(filters, QStringList({"Данные Тервекс (*.etr)"}));
    QCOMPARE(preselected, QStringList({proposed}));
    QCOMPARE(choice(panel), QStringList({dir.filePath("profile.txt"), dir.filePath("north.part1.etr"), "profile", "north"}));
}

QTEST_MAIN(TestRecordPanels)
void TestRecordPanels::autoSettingsPlaceholdersAndContactCheck()
{
    // The program's style sheet gives every widget its text colour.
    QWidget window;
    window.setStyleSheet(QStringLiteral("* { color: #333333; }"));
    auto* panel = new AutoSettingsWidget(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (const char* name : {"line_name_edit", "line_operator_edit", "line_note_edit"}) {
        auto* edit = panel->findChild<QLineEdit*>(QString::fromLatin1(name));
        QVERIFY(edit);
        QCOMPARE(edit->palette().color(QPalette::PlaceholderText), QColor(0x9a, 0x9a, 0x9a));
    }

    auto* limit = panel->findChild<QDoubleSpinBox*>(QStringLiteral("contact_limit_box"));
    QVERIFY(limit);
    QVERIFY(!panel->contactCheck());
    QVERIFY(!limit->isEnabled());
    panel->setContactCheck(true, 7.5);
    QVERIFY(limit->isEnabled());
    QCOMPARE(panel->contactLimitKOhm(), 7.5);
}

#include "tst_recordpanels.moc"
