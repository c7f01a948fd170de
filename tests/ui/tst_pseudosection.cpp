#include "app/tervexmodel.h"
#include "etr/etrfile.h"
#include "measurement/electrodeposition.h"
#include "survey/surveydatamanager.h"
#include "tools/shots/fileviewer.h"
#include "tools/shots/surveyfile.h"
#include "ui/autosettingswidget.h"
#include "ui/etrviewer.h"
#include "ui/pseudosectionview.h"
#include "ui/tervexwidget.h"

#include "../app/runfixture.h"

#include <QPushButton>
#include <QStackedWidget>
#include <QTextStream>
#include <QTreeWidget>
#include <QScopeGuard>
#include <QtTest>

#include <memory>

namespace {

QPushButton* buttonIn(QWidget* root, const QString& text)
{
    for (QPushButton* button : root->findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

// The record page's pseudosection, not the viewer's.
PseudosectionView* recordPage(TervexWidget* window)
{
    for (PseudosectionView* view : window->findChildren<PseudosectionView*>()) {
        QWidget* w = view;
        while (w && !qobject_cast<EtrViewer*>(w))
            w = w->parentWidget();
        if (!w)
            return view;
    }
    return nullptr;
}

// Three current dipoles with three potential pairs each: three records of three channels.
bool writeSequence(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << "# X Y Z\n";
    for (int e = 1; e <= Electrodes::Count; ++e)
        out << e << ' ' << (e - 1) * 5 << " 0 0\n";
    out << "# A B M N\n";
    int line = 0;
    for (int s = 0; s < 3; ++s) {
        for (int k = 0; k < 3; ++k)
            out << line++ << ' ' << 1 + s << ' ' << 30 + s << ' ' << 10 + 2 * k << ' ' << 11 + 2 * k << '\n';
    }
    return true;
}

}

class PseudosectionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }
    void viewerDatumAndTreeSelectEachOther();
    void surveyAndItsContinuationFillThePage();
};

void PseudosectionTest::viewerDatumAndTreeSelectEachOther()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("line.etr"));
    SurveyFileSpec spec;
    spec.blocks = 4;
    spec.channels = 3;
    spec.pulse = 200;
    spec.pause = 200;
    spec.periods = 1;
    QVERIFY(writeSurveyFile(path, spec));

    TervexModel model;
    FileViewer viewer(&model);
    viewer.resize(1200, 800);
    viewer.show();
    viewer.open(path);
    viewer.findChild<QWidget*>(QStringLiteral("view_toggle"))->findChildren<QPushButton*>().value(1)->click();
    PseudosectionPlot* plot = viewer.pseudosection()->plot();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    plot->replot();
    QCOMPARE(plot->cells().size(), 12);
    // Opening selects the first channel of the first block.
    QVERIFY(plot->selectedCell() >= 0);
    QCOMPARE(plot->cells().at(plot->selectedCell()).datum.record, 0);

    // Walking the tree marks the datum of the channel.
    QTreeWidget* tree = viewer.tree();
    tree->setCurrentItem(tree->topLevelItem(2)->child(1));
    const SurveyDatum& marked = plot->cells().at(plot->selectedCell()).datum;
    QCOMPARE(marked.record, 2);
    QCOMPARE(marked.channel, 1);

    // A click on a datum selects its record and channel in the tree.
    int target = -1;
    for (int i = 0; i < plot->cells().size(); ++i) {
        if (plot->cells()[i].datum.record == 3 && plot->cells()[i].datum.channel == 2)
            target = i;
    }
    QVERIFY(target >= 0);
    const QPoint centre = plot->cellCentre(target).toPoint();
    QCOMPARE(plot->cellAt(centre), target);
    QTest::mouseClick(plot, Qt::LeftButton, Qt::NoModifier, centre);
    QCOMPARE(tree->currentItem(), tree->topLevelItem(3)->child(2));
    QVERIFY(tree->topLevelItem(3)->isExpanded());
    QVERIFY(!tree->topLevelItem(2)->isExpanded());
    QCOMPARE(plot->selectedCell(), target);
    QVERIFY(plot->cellText(target).startsWith(QStringLiteral("A ")));

    // The picture is written in both formats.
    for (const QString& name : {QStringLiteral("section.png"), QStringLiteral("section.pdf")}) {
        QVERIFY(viewer.pseudosection()->savePicture(folder.filePath(name)));
        QVERIFY(QFileInfo(folder.filePath(name)).size() > 1000);
    }
}

void PseudosectionTest::surveyAndItsContinuationFillThePage()
{
    SimulatorOptions options;
    options.speed = 0;
    options.spacing = 5.0;
    options.noise = 0.0;
    options.driftPerSecond = 0.0;
    options.earth = EarthModel(50.0, 10.0, 400.0);
    RunFixture fixture(options);
    QVERIFY(fixture.ok);
    TervexModel* model = fixture.model.get();
    GeneratorSettings* g = model->stationSettings()->generatorSettings();
    g->pulseLength = 200;
    g->pauseLength = 200;
    g->periods = 1;
    g->voltage = 50;
    // The survey report ends every run in a box; record it instead of blocking.
    TervexWidget::setMessageHandler([](QWidget*, QMessageBox::Icon, const QString&, const QString&) {});
    const auto restoreBoxes = qScopeGuard([] { TervexWidget::setMessageHandler(nullptr); });
    TervexWidget window(model, false);
    window.resize(1300, 850);
    window.show();
    QSignalSpy updated(model, &TervexModel::settingsUpdated);
    QTest::mouseClick(buttonIn(&window, QStringLiteral("Подключить")), Qt::LeftButton);
    QVERIFY(updated.wait(5000));
    g->pulseLength = 200;
    g->pauseLength = 200;
    g->periods = 1;

    const QString sequence = fixture.path(QStringLiteral("line.txt"));
    QVERIFY(writeSequence(sequence));
    buttonIn(&window, QStringLiteral("ЗАПИСЬ"))->click();
    buttonIn(&window, QStringLiteral("РАЗРЕЗ"))->click();
    PseudosectionView* page = recordPage(&window);
    QVERIFY(page->isVisible());
    PseudosectionPlot* plot = page->plot();

    // The first record, then stop: paused after it, the run waits for the operator.
    buttonIn(&window, QStringLiteral("Пауза"))->click();
    buttonIn(&window, QStringLiteral("Работа"))->click();
    auto* panel = window.findChild<AutoSettingsWidget*>();
    panel->setSequence(sequence);
    const QString target = panel->targetPath();
    QSignalSpy added(model->surveyDataManager(), &SurveyDataManager::recordDataAdded);
    buttonIn(panel, QStringLiteral("Выполнить"))->click();
    QVERIFY(added.wait(10000));
    QCOMPARE(plot->cells().size(), 3);
    for (const PseudosectionPlot::Cell& cell : plot->cells()) {
        QVERIFY(cell.newest);
        QCOMPARE(cell.datum.record, 0);
    }
    QSignalSpy aborted(model->surveyDataManager(), &DataManager::aborted);
    buttonIn(&window, QStringLiteral("Стоп"))->click();
    QTRY_COMPARE(aborted.count(), 1);
    buttonIn(&window, QStringLiteral("Пауза"))->click();

    // Continued from its data file: the stored record shows at once, then the two others join.
    buttonIn(&window, QStringLiteral("Работа"))->click();
    panel->setSequence(target);
    QSignalSpy all(model->surveyDataManager(), &DataManager::allCompleted);
    buttonIn(panel, QStringLiteral("Выполнить"))->click();
    QCOMPARE(plot->cells().size(), 3);
    QTRY_COMPARE_WITH_TIMEOUT(all.count(), 1, 20000);
    QCOMPARE(plot->cells().size(), 9);
    QCOMPARE(model->surveyDataManager()->surveyData().size(), 9);
    int newest = 0;
    for (const PseudosectionPlot::Cell& cell : plot->cells()) {
        newest += cell.newest ? 1 : 0;
        if (cell.newest)
            QCOMPARE(cell.datum.record, 2);
    }
    QCOMPARE(newest, 3);

    // The page shows what the file holds: the viewer places the same data.
    EtrFile file;
    QVERIFY(file.load(target));
    const QVector<SurveyDatum> stored = file.surveyData(0);
    QCOMPARE(stored.size(), 9);
    for (int i = 0; i < stored.size(); ++i) {
        const SurveyDatum& live = model->surveyDataManager()->surveyData().at(i);
        QCOMPARE(live.electrodes, stored[i].electrodes);
        QCOMPARE(live.record, stored[i].record);
        QCOMPARE(live.channel, stored[i].channel);
        QVERIFY(qAbs(live.resistivity - stored[i].resistivity) <= 1e-4 * qAbs(stored[i].resistivity));
    }
}

QTEST_MAIN(PseudosectionTest)
#include "tst_pseudosection.moc"
