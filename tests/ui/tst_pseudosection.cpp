#include "app/tervexmodel.h"
#include "etr/etrfile.h"
#include "measurement/electrodeposition.h"
#include "survey/sequencegenerator.h"
#include "survey/surveydatamanager.h"
#include "tools/shots/fileviewer.h"
#include "tools/shots/surveyfile.h"
#include "inversion/inversiondata.h"
#include "inversion/modelwriters.h"
#include "ui/autosettingswidget.h"
#include "ui/inversionoptionspanel.h"
#include "ui/modelview.h"
#include "ui/viewermodelpage.h"
#include "ui/etrviewer.h"
#include "ui/pseudosectionview.h"
#include "ui/tervexwidget.h"

#include "../app/runfixture.h"

#include <QCheckBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextStream>
#include <QTreeWidget>
#include <QScopeGuard>
#include <QtTest>

#include <memory>
#include <numeric>

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

// The data of a generated line at `spacing` metres, shifted along x by `offset` and over hilly
// ground, one record per current dipole; resistivity varies by `spread` around 100 Ohm.m.
QVector<QVector<SurveyDatum>> generatedRecords(SequenceGenerator::Array array, double spacing, double offset,
                                              double spread = 0.3)
{
    SequenceGenerator generator;
    SequenceGenerator::Options options;
    options.array = array;
    options.spacing = spacing;
    options.nMax = 8;
    if (!generator.generate(options))
        return {};
    const ElectrodeMap& positions = generator.electrodes();
    const auto place = [&](int number) {
        ElectrodePosition p = positions.value(number);
        p.x = float(p.x + offset);
        p.z = float(3.0 * std::sin(0.2 * number));
        return p;
    };
    QVector<QVector<SurveyDatum>> records;
    int last = -1;
    for (const QuadrupoleLine& q : generator.lines()) {
        if (records.isEmpty() || records.last().first().electrodes.a != q.a || records.last().first().electrodes.b != q.b)
            records.append(QVector<SurveyDatum>());
        SurveyDatum d;
        d.electrodes = q;
        d.a = place(q.a);
        d.b = place(q.b);
        d.m = place(q.m);
        d.n = place(q.n);
        d.record = records.size() - 1;
        d.channel = records.last().size();
        d.current = 0.1;
        d.voltage = 0.01;
        d.geometricFactor = 10.0;
        d.resistivity = 100.0 * (1.0 + spread * std::sin(0.7 * ++last));
        d.chargeability = 2.0;
        records.last().append(d);
    }
    return records;
}

// A survey of `blocks` records of one short period each, quick to write and to read.
SurveyFileSpec shortRecords(int blocks)
{
    SurveyFileSpec spec;
    spec.blocks = blocks;
    spec.pulse = 200;
    spec.pause = 200;
    spec.periods = 1;
    return spec;
}

bool finite(const QRectF& r)
{
    return std::isfinite(r.left()) && std::isfinite(r.right()) && std::isfinite(r.top()) && std::isfinite(r.bottom());
}

}

class PseudosectionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }
    void viewerDatumAndTreeSelectEachOther();
    void surveyAndItsContinuationFillThePage();
    void everySpacingDrawsEveryDatum();
    void colourScaleKeepsUniformGroundUniform();
    void viewerModelIsTheToolsAndLeadsToItsData();
    void modelViewTextsAndColourRange();
};

void PseudosectionTest::viewerDatumAndTreeSelectEachOther()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("line.etr"));
    SurveyFileSpec spec = shortRecords(4);
    spec.channels = 3;
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

    // A reciprocal far off the first datum takes both off the page, as the data filter does.
    SurveyDatum reciprocal = stored.first();
    const QuadrupoleLine q = reciprocal.electrodes;
    reciprocal.electrodes = QuadrupoleLine{q.m, q.n, q.a, q.b};
    std::swap(reciprocal.a, reciprocal.m);
    std::swap(reciprocal.b, reciprocal.n);
    reciprocal.voltage *= 1.5;
    reciprocal.resistivity *= 1.5;
    model->surveyDataManager()->addRecordData({reciprocal});
    QCOMPARE(plot->cells().size(), 8);
    // The next survey starts from an empty page.
    model->surveyDataManager()->resetSurveyData();
    QCOMPARE(plot->cells().size(), 0);
}

// Ordinary spacings used to send the deepest level past the last row. Every spacing draws every
// datum, whether the page gets the whole list or one record after another, and no finite
// geometry, however far along the line, breaks the plot.
void PseudosectionTest::everySpacingDrawsEveryDatum()
{
    for (int tenths = 1; tenths <= 100; ++tenths) {
        for (SequenceGenerator::Array array : {SequenceGenerator::Array::DipoleDipole, SequenceGenerator::Array::WennerAlpha}) {
            const double spacing = tenths / 10.0;
            const QVector<QVector<SurveyDatum>> records = generatedRecords(array, spacing, 17.3 * tenths);
            QVERIFY(!records.isEmpty());
            QVector<SurveyDatum> all;
            PseudosectionPlot live;
            for (const QVector<SurveyDatum>& record : records) {
                all += record;
                live.addData(record, true);
            }
            PseudosectionPlot whole;
            whole.setData(all, true);
            const QString where = QStringLiteral("spacing %1 m").arg(spacing);
            QVERIFY2(whole.cells().size() == all.size(), qPrintable(where));
            QVERIFY2(live.cells().size() == all.size(), qPrintable(where));
            for (int i = 0; i < all.size(); ++i) {
                const PseudosectionPlot::Cell& cell = live.cells().at(i);
                QVERIFY2(finite(cell.area) && cell.area.height() > 0 && cell.area.width() > 0, qPrintable(where));
                QVERIFY2(cell.area == whole.cells().at(i).area && cell.newest == whole.cells().at(i).newest,
                         qPrintable(where));
            }
        }
    }
    for (double offset : {1e7, 1e30, 3e38}) {
        QVector<SurveyDatum> all;
        for (const QVector<SurveyDatum>& record : generatedRecords(SequenceGenerator::Array::DipoleDipole, 1.1, offset))
            all += record;
        PseudosectionView view;
        view.resize(600, 400);
        view.show();
        view.plot()->setData(all, true);
        view.plot()->replot(QCustomPlot::rpImmediateRefresh);
        for (const PseudosectionPlot::Cell& cell : view.plot()->cells())
            QVERIFY(finite(cell.area));
    }

    // The viewer, on a survey measured at 1.1 m.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("spacing.etr"));
    SurveyFileSpec spec;
    spec.blocks = 12;
    spec.channels = 8;
    spec.spacing = 1.1;
    QVERIFY(writeSurveyFile(path, spec));
    TervexModel model;
    FileViewer viewer(&model);
    viewer.resize(1024, 768);
    viewer.show();
    viewer.open(path);
    viewer.findChild<QWidget*>(QStringLiteral("view_toggle"))->findChildren<QPushButton*>().value(1)->click();
    viewer.pseudosection()->plot()->replot(QCustomPlot::rpImmediateRefresh);
    QCOMPARE(viewer.pseudosection()->plot()->cells().size(), 12 * 8);
}

// Uniform ground with a little noise reads as one colour with distinct ticks; a lone first level
// is a row of cells at the top of a section, not columns down the plot; the picture saved shows
// the same plot.
void PseudosectionTest::colourScaleKeepsUniformGroundUniform()
{
    QVector<SurveyDatum> uniform;
    for (const QVector<SurveyDatum>& record : generatedRecords(SequenceGenerator::Array::DipoleDipole, 5.0, 0.0, 0.003))
        uniform += record;
    PseudosectionView view;
    view.resize(1000, 700);
    view.show();
    PseudosectionPlot* plot = view.plot();
    plot->setData(uniform);
    plot->replot(QCustomPlot::rpImmediateRefresh);
    const QCPRange range = plot->colorScale()->dataRange();
    QVERIFY2(range.upper / range.lower >= 1.2, qPrintable(QStringLiteral("%1 .. %2").arg(range.lower).arg(range.upper)));
    QVERIFY(range.lower < 100.0 && range.upper > 100.0);
    const QVector<QString> ticks = plot->colorScale()->axis()->tickVectorLabels();
    QVERIFY(ticks.size() >= 3);
    QCOMPARE(QSet<QString>(ticks.begin(), ticks.end()).size(), ticks.size());

    plot->setQuantity(PseudosectionPlot::Quantity::Chargeability);
    plot->replot(QCustomPlot::rpImmediateRefresh);
    QVERIFY(plot->colorScale()->dataRange().size() >= 0.99);
    const QVector<QString> etaTicks = plot->colorScale()->axis()->tickVectorLabels();
    QCOMPARE(QSet<QString>(etaTicks.begin(), etaTicks.end()).size(), etaTicks.size());
    plot->setQuantity(PseudosectionPlot::Quantity::Resistivity);

    // Only the first level: Wenner a = 1.
    QVector<SurveyDatum> first;
    for (const SurveyDatum& d : uniform) {
        if (d.electrodes.b - d.electrodes.a == 1 && d.electrodes.m - d.electrodes.b == 1)
            first.append(d);
    }
    QVERIFY(first.size() > 10);
    plot->setData(first);
    plot->replot(QCustomPlot::rpImmediateRefresh);
    for (const PseudosectionPlot::Cell& cell : plot->cells())
        QVERIFY(cell.area.height() <= cell.area.bottom() / 1.5 + 1e-9);
    const double depth = plot->cells().first().area.bottom();
    QVERIFY2(plot->yAxis->range().upper > 5 * depth, qPrintable(QString::number(plot->yAxis->range().upper)));

    QTemporaryDir folder;
    const QString png = folder.filePath(QStringLiteral("first-level.png"));
    QVERIFY(view.savePicture(png));
    QImage picture(png);
    QVERIFY(!picture.isNull());
    // The cells take the top of the picture; below them the section shows no colour but the grid.
    const QRect cells = plot->axisRect()->rect();
    int coloured = 0;
    for (int y = cells.top() + cells.height() / 2; y < cells.bottom(); y += 4) {
        for (int x = cells.left(); x < cells.right(); x += 4)
            coloured += picture.pixelColor(x, y).hsvSaturation() > 80 ? 1 : 0;
    }
    QCOMPARE(coloured, 0);
}

// The viewer's model is the one tervex-invert computes from the same file, filter and options;
// it is exported by suffix but never over data, and a cell leads to the records that see it.
void PseudosectionTest::viewerModelIsTheToolsAndLeadsToItsData()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("line.etr"));
    SurveyFileSpec spec = shortRecords(24);
    QVERIFY(writeSurveyFile(path, spec));

    TervexModel model;
    FileViewer viewer(&model);
    viewer.resize(1200, 800);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    viewer.open(path);
    ViewerModelPage* page = viewer.modelPage();
    QSignalSpy computed(page, &ViewerModelPage::computed);
    // Showing the view computes the model, in the worker: the viewer goes on at once.
    viewer.findChild<QWidget*>(QStringLiteral("view_toggle"))->findChildren<QPushButton*>().value(3)->click();
    QVERIFY(page->isComputing());
    QVERIFY(computed.wait(120000));
    ModelView* view = page->view();
    QVERIFY(view->hasModel());

    EtrFile file;
    QVERIFY(file.load(path));
    const InversionData data = InversionData::fromFiles({&file}, model.dataFilter());
    const InversionResult expected = ResistivityInversion::run(data.input, page->options()->settings());
    QVERIFY(expected.ok());
    QCOMPARE(view->model().used, expected.used);
    QCOMPARE(view->model().chi2(), expected.chi2());
    QCOMPARE(view->model().rms(), expected.rms());
    const QMap<QString, int> leftOut = data.leftOutWith(expected);
    QCOMPARE(view->summary(), ModelView::summaryText(expected, std::accumulate(leftOut.cbegin(), leftOut.cend(), 0)));
    QCOMPARE(view->counts(), ModelView::countText(expected.used, data.total));
    QVERIFY(view->state().isEmpty());
    // Coloured as the pseudosection's resistivity unless asked otherwise.
    QCOMPARE(view->plot()->colorScale()->dataRange(), viewer.pseudosection()->plot()->colorScale()->dataRange());

    for (const QString& name : {QStringLiteral("model.csv"), QStringLiteral("model.vtk"), QStringLiteral("model.png")}) {
        QVERIFY2(page->exportModel(folder.filePath(name)), qPrintable(page->message()));
        QVERIFY(QFileInfo(folder.filePath(name)).size() > 100);
    }
    QFile csv(folder.filePath(QStringLiteral("model.csv")));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(csv.readAll(), ModelWriters::csv(expected));
    const QByteArray before = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    for (const QString& target : {path, folder.filePath(QStringLiteral("other.etr"))}) {
        QVERIFY(!page->exportModel(target));
        QVERIFY(!page->message().isEmpty());
    }
    QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("other.etr"))));
    QCOMPARE([&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }(), before);

    // A well covered cell in the middle: its most sensitive data are marked in the tree, the first current.
    view->plot()->replot(QCustomPlot::rpImmediateRefresh);
    int cell = -1;
    for (int i = 0; i < expected.cells.size(); ++i) {
        const ModelCell& c = expected.cells.at(i);
        if (cell < 0 || std::fabs(c.x - 115.0) + std::fabs(c.z + 4.0) < std::fabs(expected.cells[cell].x - 115.0) + std::fabs(expected.cells[cell].z + 4.0))
            cell = i;
    }
    const QPoint centre = view->cellCentre(cell).toPoint();
    QCOMPARE(view->cellAt(centre), cell);
    QMouseEvent move(QEvent::MouseMove, centre, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view->plot(), &move);
    QCOMPARE(view->findChild<QLabel*>(QStringLiteral("model_readout"))->text(), view->cellText(cell));
    QTest::mouseClick(view->plot(), Qt::LeftButton, Qt::NoModifier, centre);
    QVector<QPair<int, int>> wanted;
    for (int index : expected.mostSensitive(cell))
        wanted.append({data.input.data.at(index).record, data.input.data.at(index).channel});
    QCOMPARE(wanted.size(), int(InversionResult::SensitiveData));
    QCOMPARE(viewer.markedRecords(), wanted);
    QTreeWidget* tree = viewer.tree();
    QCOMPARE(tree->currentItem(), tree->topLevelItem(wanted.first().first)->child(wanted.first().second));
    // The most sensitive datum of a shallow cell is measured right above it.
    const SurveyDatum& top = data.input.data.at(expected.mostSensitive(cell).first());
    QVERIFY(std::fabs(0.25 * double(top.a.x + top.b.x + top.m.x + top.n.x) - expected.cells[cell].x) < 30.0);

    // The options reach the run: with IP the chargeability section comes too, and η may be shown.
    page->options()->findChild<QCheckBox*>(QStringLiteral("inversion_chargeability"))->click();
    page->compute();
    QVERIFY(computed.wait(120000));
    QVERIFY(view->model().hasChargeability);
    InversionSettings withIp;
    withIp.chargeability = true;
    QCOMPARE(view->model().chargeabilityChi2, ResistivityInversion::run(data.input, withIp).chargeabilityChi2);
    auto* eta = view->findChild<QPushButton*>(QStringLiteral("model_chargeability_button"));
    QVERIFY(eta->isEnabled());
    eta->click();
    QCOMPARE(view->plot()->quantity(), ModelSectionPlot::Quantity::Chargeability);
    QVERIFY(view->cellText(cell).contains(QStringLiteral("η")));

    // Another file of the line joins the model, merged as the tool merges them.
    const QString second = folder.filePath(QStringLiteral("line-2.etr"));
    spec.blocks = 30;
    QVERIFY(writeSurveyFile(second, spec));
    QVERIFY(page->addLineFiles({second}));
    QVERIFY(!page->addLineFiles({folder.filePath(QStringLiteral("missing.etr"))}));
    page->compute();
    QVERIFY(computed.wait(120000));
    EtrFile other;
    QVERIFY(other.load(second));
    const InversionData both = InversionData::fromFiles({&file, &other}, model.dataFilter());
    QVERIFY(both.input.data.size() > data.input.data.size());
    QCOMPARE(page->data().input.data.size(), both.input.data.size());
    QCOMPARE(view->model().chi2(), ResistivityInversion::run(both.input, page->options()->settings()).chi2());

    // Leaving the viewer stops a run.
    page->compute();
    QVERIFY(page->isComputing());
    viewer.hide();
    QTRY_VERIFY_WITH_TIMEOUT(!page->isComputing(), 30000);
    QVERIFY(!view->state().isEmpty());

    // A file that cannot be opened leaves no model of the one before.
    viewer.open(folder.filePath(QStringLiteral("missing.etr")));
    QVERIFY(!view->hasModel());
    QVERIFY(!page->exportModel(folder.filePath(QStringLiteral("after.csv"))));
    QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("after.csv"))));
}

// The line under the section and the colour range it shares with the pseudosection.
void PseudosectionTest::modelViewTextsAndColourRange()
{
    InversionResult result;
    result.used = 120;
    result.iterations = {{0, 9.0, 20.0, 0.0}, {1, 2.5, 6.0, 10.0}, {2, 1.04, 3.14, 5.0}};
    result.cells.append(ModelCell{{0, 5, 5, 0}, {0, 0, -2, -2}, 2.5, -1.0, 80.0, 1.0, 3.0});
    result.cells.append(ModelCell{{5, 10, 10, 5}, {0, 0, -2, -2}, 7.5, -1.0, 320.0, 1.0, 5.0});
    const QString summary = ModelView::summaryText(result, 7);
    for (const QString& part : {QStringLiteral("120"), QStringLiteral("7"), QStringLiteral("2"),
                                QStringLiteral("1.04"), QStringLiteral("3.1 %")})
        QVERIFY2(summary.contains(part), qPrintable(summary));
    QCOMPARE(ModelView::countText(120, 255), QStringLiteral("по 120 из 255 квадруполей"));
    QCOMPARE(ModelView::progressText({3, 1.234, 2.0, 1.0}), QStringLiteral("Расчёт: итерация 3, χ² = 1.23"));
    QVERIFY(!ModelView::cellText(result.cells[0], 1.0, false).contains(QStringLiteral("η")));
    QVERIFY(ModelView::cellText(result.cells[0], 1.0, true).contains(QStringLiteral("η = <b>3.00</b>")));

    ModelView view;
    view.setSharedRange(QCPRange(10.0, 1000.0));
    view.setModel(result, {{0, 0, 0}, {10, 0, -2}}, 7);
    QCOMPARE(view.summary(), summary);
    QCOMPARE(view.depthAt(5.0, -3.0), 2.0);
    QCOMPARE(view.plot()->colorScale()->dataRange(), QCPRange(10.0, 1000.0));
    view.setOwnRange(true);
    QVERIFY(view.plot()->colorScale()->dataRange().upper < 1000.0);
    // Chargeability only with a chargeability model.
    auto* eta = view.findChild<QPushButton*>(QStringLiteral("model_chargeability_button"));
    QVERIFY(!eta->isEnabled());
    view.setQuantity(ModelSectionPlot::Quantity::Chargeability);
    QCOMPARE(view.plot()->quantity(), ModelSectionPlot::Quantity::Resistivity);
    result.hasChargeability = true;
    view.setModel(result, {}, 0);
    QVERIFY(eta->isEnabled());
    view.setQuantity(ModelSectionPlot::Quantity::Chargeability);
    QCOMPARE(view.plot()->quantity(), ModelSectionPlot::Quantity::Chargeability);
}

QTEST_MAIN(PseudosectionTest)
#include "tst_pseudosection.moc"
