#include "app/tervexmodel.h"
#include "etr/etrcontroller.h"
#include "etr/etrfile.h"
#include "station/wireformat.h"
#include "survey/etrformat.h"
#include "testsupport.h"
#include "ui/etrviewer.h"
#include "ui/toggle.h"

#include <qcustomplot.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {

struct Box
{
    QWidget* parent;
    QString title;
    QString text;
};

// The viewer with its dialogs replaced: the open dialog returns the file the test names, and the
// boxes are recorded instead of waiting for a click.
class TestedViewer : public EtrViewer
{
public:
    using EtrViewer::EtrViewer;

    void open(const QString& path)
    {
        nextFiles = QStringList{path};
        findChild<QPushButton*>(QStringLiteral("open_button"))->click();
    }
    QString label(const char* name) const { return findChild<QLabel*>(QLatin1String(name))->text(); }

    QStringList nextFiles;
    QList<Box> boxes;

protected:
    void showInformation(QWidget* parent, const QString& title, const QString& text) override
    {
        boxes.append({parent, title, text});
    }
    QStringList chooseFiles() override { return nextFiles; }
};

struct BlockSpec
{
    int a;
    int b;
    QVector<QPair<int, int>> mn;
};

// One square-wave record: +amplitude in the pulse, 0 in the pause, -amplitude, 0, per period.
QVector<float> squareWave(int pulse, int pause, int repeats, float amplitude)
{
    QVector<float> samples;
    for (int p = 0; p < repeats; ++p) {
        for (const float level : {amplitude, -amplitude}) {
            samples.insert(samples.size(), pulse, level);
            samples.insert(samples.size(), pause, 0.0f);
        }
    }
    return samples;
}

// Block b has the current 2.5 mA x (b + 1); its channel c the voltage 1 mV x (10 b + c + 1).
float currentOf(int block) { return 0.0025f * float(block + 1); }
float voltageOf(int block, int channel) { return 0.001f * float(10 * block + channel + 1); }

// A file of the survey's writer, electrodes every 5 m.
QString writeFile(const QString& path, int pulse, int pause, int repeats, const QVector<BlockSpec>& blocks,
                  const QByteArray& tail = QByteArray())
{
    ElectrodeMap positions;
    for (int e = 1; e <= Electrodes::Count; ++e)
        positions.insert(e, ElectrodePosition{float(e - 1) * 5.0f, 0.0f, 0.0f});
    const int samples = 2 * (pulse + pause) * repeats;
    QByteArray bytes = EtrFormat::headerBytes(pulse, pause, repeats, positions);
    for (int b = 0; b < blocks.size(); ++b) {
        QVector<EtrFormat::BlockChannel> channels;
        for (int c = 0; c < blocks[b].mn.size(); ++c)
            channels.append({blocks[b].mn[c].first, blocks[b].mn[c].second,
                             squareWave(pulse, pause, repeats, voltageOf(b, c))});
        bytes += EtrFormat::blockBytes(samples, blocks[b].a, blocks[b].b,
                                       squareWave(pulse, pause, repeats, currentOf(b)), channels);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes + tail) != bytes.size() + tail.size())
        return QString();
    return path;
}

QByteArray int32s(std::initializer_list<qint32> values)
{
    QByteArray bytes;
    for (const qint32 v : values)
        Wire::putI32(bytes, v);
    return bytes;
}

QVector<double> widened(const QVector<float>& samples)
{
    QVector<double> values;
    for (const float s : samples)
        values.append(double(s));
    return values;
}

QVector<double> values(const QCPGraph* graph)
{
    QVector<double> result;
    for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it)
        result.append(it->value);
    return result;
}

void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& pos)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, button, button, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

}

class TestEtrViewer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void layoutAndDialog();
    void openingShowsTimingTreeAndFirstChannel();
    void arrowKeysWalkAcrossBlocks();
    void clickingABlockLineSelectsItsFirstChannel();
    void blockWithoutChannelsKeepsPlotsAndValues();
    void valueLabelsFormatTheNumbers();
    void damagedFilesAreShownAsFarAsRead();
    void failedOpeningClearsTheFileAndRefusesConversion();
    void currentSwitchAndMouseReadOut();
    void zoomChoicesAndDoubleClickReset();
    void conversionNamesAndBoxes();
    void polarisationPreferenceAndBackButton();
    void repeatsMarkedAxesTitledAndSectionControls();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString severalBlocks() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TervexModel> m_model;
    std::unique_ptr<TestedViewer> m_viewer;
};

void TestEtrViewer::initTestCase()
{
    TestSupport::isolateSettings();
}

void TestEtrViewer::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    m_model.reset(new TervexModel);
    m_model->setUsePolar(false);
    m_viewer.reset(new TestedViewer(m_model.get()));
    m_viewer->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_viewer.get()));
}

void TestEtrViewer::cleanup()
{
    m_viewer.reset();
    m_model.reset();
    m_dir.reset();
}

// Records 1..2, 3..5, none (6..5), 6..7.
QString TestEtrViewer::severalBlocks() const
{
    return writeFile(path(QStringLiteral("240131_101500.etr")), 100, 100, 1,
                     {{1, 4, {{2, 3}, {5, 6}}}, {2, 5, {{3, 4}, {6, 7}, {8, 9}}}, {3, 6, {}}, {4, 7, {{5, 6}, {9, 10}}}});
}

void TestEtrViewer::layoutAndDialog()
{
    QCOMPARE(m_viewer->fileDialog().nameFilters(), QStringList{QStringLiteral("Данные Тервекс (*.etr)")});
    QCOMPARE(m_viewer->fileDialog().fileMode(), QFileDialog::ExistingFile);

    // Current above potential; the key axes follow each other.
    QCPLayoutGrid* grid = m_viewer->plot()->plotLayout();
    QCOMPARE(grid->rowCount(), 2);
    QCOMPARE(grid->element(0, 0), m_viewer->currentRect());
    QCOMPARE(grid->element(1, 0), m_viewer->potentialRect());
    QCOMPARE(m_viewer->plot()->graph(0), m_viewer->potentialGraph());
    QCOMPARE(m_viewer->potentialGraph()->keyAxis()->axisRect(), m_viewer->potentialRect());
    QCOMPARE(m_viewer->currentGraph()->keyAxis()->axisRect(), m_viewer->currentRect());
    m_viewer->potentialGraph()->keyAxis()->setRange(10, 20);
    QCOMPARE(m_viewer->currentGraph()->keyAxis()->range(), QCPRange(10, 20));
    m_viewer->currentGraph()->keyAxis()->setRange(3, 7);
    QCOMPARE(m_viewer->potentialGraph()->keyAxis()->range(), QCPRange(3, 7));
}

void TestEtrViewer::openingShowsTimingTreeAndFirstChannel()
{
    m_viewer->open(severalBlocks());
    QVERIFY(m_viewer->boxes.isEmpty());
    QCOMPARE(m_model->dataPath(), m_dir->path());
    QCOMPARE(m_viewer->label("file_name_label"), QStringLiteral("240131_101500.etr"));
    QCOMPARE(m_viewer->label("pulse_label"), QStringLiteral("Импульс: <b>100</b>"));
    QCOMPARE(m_viewer->label("pause_label"), QStringLiteral("Пауза: <b>100</b>"));
    QCOMPARE(m_viewer->label("periods_label"), QStringLiteral("Периоды: <b>1</b>"));

    QTreeWidget* tree = m_viewer->tree();
    QCOMPARE(tree->topLevelItemCount(), 4);
    const QStringList blockTexts = {QStringLiteral("Ca:1 Cb:4"), QStringLiteral("Ca:2 Cb:5"),
                                    QStringLiteral("Ca:3 Cb:6"), QStringLiteral("Ca:4 Cb:7")};
    const QStringList ranges = {QStringLiteral("1..2"), QStringLiteral("3..5"), QStringLiteral("6..5"),
                                QStringLiteral("6..7")};
    int record = 1;
    for (int b = 0; b < 4; ++b) {
        QTreeWidgetItem* block = tree->topLevelItem(b);
        QCOMPARE(block->text(0), blockTexts[b]);
        QCOMPARE(block->text(1), ranges[b]);
        QCOMPARE(block->flags(), Qt::ItemIsEnabled);
        QCOMPARE(block->foreground(0).color(), QColor(QStringLiteral("navy")));
        QCOMPARE(block->isExpanded(), b == 0);
        for (int c = 0; c < block->childCount(); ++c) {
            QCOMPARE(block->child(c)->text(1), QString::number(record++));
            QVERIFY(block->child(c)->flags() & Qt::ItemIsSelectable);
        }
    }
    QCOMPARE(tree->topLevelItem(1)->child(2)->text(0), QStringLiteral("Pm:8 Pn:9"));
    QCOMPARE(tree->topLevelItem(2)->childCount(), 0);

    // The first channel is current, selected and drawn with its block's current.
    QCOMPARE(tree->currentItem(), tree->topLevelItem(0)->child(0));
    QCOMPARE(tree->selectedItems(), QList<QTreeWidgetItem*>{tree->currentItem()});
    QCOMPARE(values(m_viewer->potentialGraph()), widened(squareWave(100, 100, 1, voltageOf(0, 0))));
    QCOMPARE(values(m_viewer->currentGraph()), widened(squareWave(100, 100, 1, currentOf(0))));
    QCOMPARE(m_viewer->potentialGraph()->keyAxis()->range(), QCPRange(0, 399));
    // Wenner-like spacing 5 m: A at 0, M at 5, N at 10, B at 15 gives K = 2 pi 5.
    QCOMPARE(m_viewer->label("i_label"), QStringLiteral("I=<b>2.500</b>мА"));
    QCOMPARE(m_viewer->label("v_label"), QStringLiteral("V=<b>1.000</b>мВ"));
    QCOMPARE(m_viewer->label("k_label"), QStringLiteral("K=<b>31.4159</b>"));
    QCOMPARE(m_viewer->label("rho_label"), QStringLiteral("Rho=<b>12.566</b>Ом"));
}

void TestEtrViewer::arrowKeysWalkAcrossBlocks()
{
    m_viewer->open(severalBlocks());
    QTreeWidget* tree = m_viewer->tree();
    auto channel = [tree](int b, int c) { return tree->topLevelItem(b)->child(c); };
    auto expanded = [tree]() {
        QList<int> open;
        for (int b = 0; b < tree->topLevelItemCount(); ++b)
            if (tree->topLevelItem(b)->isExpanded())
                open.append(b);
        return open;
    };

    QTest::keyClick(tree, Qt::Key_Up);
    QCOMPARE(tree->currentItem(), channel(0, 0)); // nothing above the first channel

    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(tree->currentItem(), channel(0, 1));
    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(tree->currentItem(), channel(1, 0));
    QCOMPARE(expanded(), QList<int>{1});
    QCOMPARE(tree->selectedItems(), QList<QTreeWidgetItem*>{channel(1, 0)});
    QCOMPARE(values(m_viewer->potentialGraph()), widened(squareWave(100, 100, 1, voltageOf(1, 0))));
    QCOMPARE(values(m_viewer->currentGraph()), widened(squareWave(100, 100, 1, currentOf(1))));
    QCOMPARE(m_viewer->label("i_label"), QStringLiteral("I=<b>5.000</b>мА"));

    QTest::keyClick(tree, Qt::Key_Up);
    QCOMPARE(tree->currentItem(), channel(0, 1));
    QCOMPARE(expanded(), QList<int>{0});
    QCOMPARE(tree->selectedItems(), QList<QTreeWidgetItem*>{channel(0, 1)});
    QCOMPARE(values(m_viewer->potentialGraph()), widened(squareWave(100, 100, 1, voltageOf(0, 1))));

    // Through the block without channels to the last block, and back up again.
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(tree->currentItem(), tree->topLevelItem(2));
    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(tree->currentItem(), channel(3, 0));
    QCOMPARE(expanded(), QList<int>{3});
    QCOMPARE(m_viewer->label("v_label"), QStringLiteral("V=<b>31.000</b>мВ"));
    QTest::keyClick(tree, Qt::Key_End);
    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(tree->currentItem(), channel(3, 1)); // nothing below the last channel

    QTest::keyClick(tree, Qt::Key_Up);
    QTest::keyClick(tree, Qt::Key_Up);
    QCOMPARE(tree->currentItem(), tree->topLevelItem(2));
    QTest::keyClick(tree, Qt::Key_Up);
    QCOMPARE(tree->currentItem(), channel(1, 2));
    QCOMPARE(expanded(), QList<int>{1});
}

void TestEtrViewer::clickingABlockLineSelectsItsFirstChannel()
{
    m_viewer->open(severalBlocks());
    QTreeWidget* tree = m_viewer->tree();
    const QRect line = tree->visualItemRect(tree->topLevelItem(1));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, line.center());
    QCOMPARE(tree->currentItem(), tree->topLevelItem(1)->child(0));
    QCOMPARE(tree->selectedItems(), QList<QTreeWidgetItem*>{tree->currentItem()});
    QVERIFY(!tree->topLevelItem(0)->isExpanded());
    QCOMPARE(values(m_viewer->potentialGraph()), widened(squareWave(100, 100, 1, voltageOf(1, 0))));
}

void TestEtrViewer::blockWithoutChannelsKeepsPlotsAndValues()
{
    m_viewer->onChannelValuesUpdated(0.001f, 0.002f, 3.0f, 4.0f, 5.0f);
    m_viewer->potentialGraph()->setData({0, 1}, {7, 8});
    const QString before = m_viewer->label("i_label");

    // A file that starts with an empty block selects nothing on opening.
    m_viewer->open(writeFile(path(QStringLiteral("empty-first.etr")), 100, 100, 1, {{1, 2, {}}, {3, 4, {{5, 6}}}}));
    QTreeWidget* tree = m_viewer->tree();
    QCOMPARE(tree->topLevelItem(0)->text(1), QStringLiteral("1..0"));
    QCOMPARE(tree->topLevelItem(1)->text(1), QStringLiteral("1"));
    QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
    QVERIFY(tree->selectedItems().isEmpty());
    QCOMPARE(m_viewer->label("i_label"), before);
    QCOMPARE(values(m_viewer->potentialGraph()), (QVector<double>{7, 8}));

    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(tree->currentItem(), tree->topLevelItem(1)->child(0));
    QCOMPARE(m_viewer->label("i_label"), QStringLiteral("I=<b>5.000</b>мА"));

    // A header without blocks: name and timing, an empty tree, the values untouched.
    m_viewer->open(writeFile(path(QStringLiteral("header-only.etr")), 20, 30, 2, {}));
    QCOMPARE(m_viewer->label("file_name_label"), QStringLiteral("header-only.etr"));
    QCOMPARE(m_viewer->label("periods_label"), QStringLiteral("Периоды: <b>2</b>"));
    QCOMPARE(tree->topLevelItemCount(), 0);
    QCOMPARE(m_viewer->label("i_label"), QStringLiteral("I=<b>5.000</b>мА"));
    QVERIFY(m_viewer->boxes.isEmpty());
}

void TestEtrViewer::valueLabelsFormatTheNumbers()
{
    m_viewer->onChannelValuesUpdated(0.0025f, 0.0123f, 31.415926f, 100.5f, 1.23456f);
    QCOMPARE(m_viewer->label("i_label"), QStringLiteral("I=<b>2.500</b>мА"));
    QCOMPARE(m_viewer->label("v_label"), QStringLiteral("V=<b>12.300</b>мВ"));
    QCOMPARE(m_viewer->label("k_label"), QStringLiteral("K=<b>31.4159</b>"));
    QCOMPARE(m_viewer->label("rho_label"), QStringLiteral("Rho=<b>100.500</b>Ом"));
    QCOMPARE(m_viewer->label("q_label"), QStringLiteral("q=<b>1.235</b>%"));
    m_viewer->onChannelValuesUpdated(-0.5f, 0.0f, 1234567.0f, -100000.0f, 0.0f);
    QCOMPARE(m_viewer->label("i_label"), QStringLiteral("I=<b>-500.000</b>мА"));
    QCOMPARE(m_viewer->label("k_label"), QStringLiteral("K=<b>1.23457e+06</b>"));
    QCOMPARE(m_viewer->label("rho_label"), QStringLiteral("Rho=<b>-100000.000</b>Ом"));
}

void TestEtrViewer::damagedFilesAreShownAsFarAsRead()
{
    // Block 1 has an electrode out of the line, block 2 eleven channels: the first two are shown.
    m_viewer->open(writeFile(path(QStringLiteral("damaged.etr")), 100, 100, 1,
                             {{1, 4, {{2, 3}}}, {2, 5, {{50, 3}, {4, 50}}}}, int32s({1, 2, 11})));
    QCOMPARE(m_viewer->boxes.size(), 2);
    for (const Box& box : m_viewer->boxes) {
        QCOMPARE(box.parent, nullptr);
        QCOMPARE(box.title, QStringLiteral("Загрузка etr"));
    }
    QVERIFY2(m_viewer->boxes[0].text.startsWith(QStringLiteral("Некорректное значение электрода EM (50), EN (3) в блоке 1")),
             qPrintable(m_viewer->boxes[0].text));
    QVERIFY2(m_viewer->boxes[1].text.startsWith(
                 QStringLiteral("Некорректное число каналов (11), EA (1), EB (2) в блоке 2\n")),
             qPrintable(m_viewer->boxes[1].text));
    QCOMPARE(m_viewer->tree()->topLevelItemCount(), 2);
    QCOMPARE(m_viewer->tree()->currentItem(), m_viewer->tree()->topLevelItem(0)->child(0));

    // A write that stopped inside the last block keeps the complete ones.
    m_viewer->boxes.clear();
    const QString cut = writeFile(path(QStringLiteral("cut.etr")), 100, 100, 1, {{1, 4, {{2, 3}}}, {2, 5, {{3, 4}}}});
    QFile file(cut);
    QVERIFY(file.resize(file.size() - 100));
    m_viewer->open(cut);
    QCOMPARE(m_viewer->tree()->topLevelItemCount(), 1);
    QCOMPARE(m_viewer->label("file_name_label"), QStringLiteral("cut.etr"));
    QCOMPARE(m_viewer->boxes.size(), 1);
    QCOMPARE(m_viewer->boxes[0].parent, nullptr);
}

void TestEtrViewer::failedOpeningClearsTheFileAndRefusesConversion()
{
    // Before any file, the button does nothing.
    QPushButton* process = m_viewer->findChild<QPushButton*>(QStringLiteral("process_button"));
    process->click();
    QVERIFY(m_viewer->boxes.isEmpty());

    m_viewer->open(severalBlocks());
    const QString values = m_viewer->label("v_label");
    const QVector<double> plotted = ::values(m_viewer->potentialGraph());
    m_viewer->open(path(QStringLiteral("missing.etr")));
    for (const char* name : {"file_name_label", "pulse_label", "pause_label", "periods_label"})
        QVERIFY(m_viewer->label(name).isEmpty());
    QCOMPARE(m_viewer->tree()->topLevelItemCount(), 0);
    // Nothing of the previous file stays under the failed one's name.
    QVERIFY(!values.isEmpty());
    QVERIFY(!plotted.isEmpty());
    QVERIFY(m_viewer->label("v_label").isEmpty());
    QVERIFY(::values(m_viewer->potentialGraph()).isEmpty());

    const QStringList before = QDir(m_dir->path()).entryList(QDir::Files);
    process->click();
    QCOMPARE(m_viewer->boxes.size(), 1);
    QCOMPARE(m_viewer->boxes[0].parent, m_viewer.get());
    QCOMPARE(m_viewer->boxes[0].title, QStringLiteral("Преобразование etr в txt"));
    QVERIFY2(m_viewer->boxes[0].text.startsWith(QStringLiteral("Файл не открыт")), qPrintable(m_viewer->boxes[0].text));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), before);
}

void TestEtrViewer::currentSwitchAndMouseReadOut()
{
    m_viewer->open(severalBlocks());
    QCustomPlot* plot = m_viewer->plot();
    QCPAxisRect* current = m_viewer->currentRect();
    QCPAxisRect* potential = m_viewer->potentialRect();
    const QPoint upper = current->rect().center();
    const QPoint lower = potential->rect().center();
    QLabel* x = m_viewer->findChild<QLabel*>(QStringLiteral("x_label"));
    QLabel* y = m_viewer->findChild<QLabel*>(QStringLiteral("y_label"));
    auto yText = [](QCPAxisRect* rect, int pixel) {
        return QStringLiteral("Y: <b>%1</b>").arg(QString::number(rect->axis(QCPAxis::atLeft)->pixelToCoord(pixel), 'g', 6));
    };

    sendMouse(plot, QEvent::MouseMove, upper);
    QCOMPARE(y->text(), yText(current, upper.y()));
    QCOMPARE(x->text(), QStringLiteral("X: <b>%1</b>").arg(int(current->axis(QCPAxis::atBottom)->pixelToCoord(upper.x()))));
    sendMouse(plot, QEvent::MouseMove, lower);
    QCOMPARE(y->text(), yText(potential, lower.y()));
    sendMouse(plot, QEvent::MouseMove, QPoint(10, lower.y())); // in the axis margin
    QVERIFY(x->text().isEmpty() && y->text().isEmpty());

    QPushButton* showCurrent = m_viewer->findChild<QPushButton*>(QStringLiteral("show_current_button"));
    showCurrent->click();
    QVERIFY(!showCurrent->isChecked());
    QCOMPARE(plot->plotLayout()->rowCount(), 1);
    QCOMPARE(plot->plotLayout()->element(0, 0), potential);
    QVERIFY(!current->layout() && !current->visible() && !m_viewer->currentGraph()->visible());
    // The potential plot now fills the place of both; the hidden current does not answer.
    QVERIFY(potential->rect().contains(upper));
    sendMouse(plot, QEvent::MouseMove, upper);
    QCOMPARE(y->text(), yText(potential, upper.y()));
    // After a shrink, a point below the potential plot but inside the hidden current's old place reads nothing.
    const QRect hiddenPlace = current->rect();
    m_viewer->resize(m_viewer->width(), m_viewer->height() / 2);
    QApplication::processEvents();
    plot->replot();
    const QPoint below(hiddenPlace.center().x(), hiddenPlace.bottom() - 2);
    QVERIFY(hiddenPlace.contains(below) && !potential->rect().contains(below));
    sendMouse(plot, QEvent::MouseMove, below);
    QVERIFY(x->text().isEmpty() && y->text().isEmpty());

    // Still follows the selection while hidden, and comes back above the potential.
    QTest::keyClick(m_viewer->tree(), Qt::Key_Down);
    QTest::keyClick(m_viewer->tree(), Qt::Key_Down);
    QCOMPARE(values(m_viewer->currentGraph()), widened(squareWave(100, 100, 1, currentOf(1))));
    showCurrent->click();
    QCOMPARE(plot->plotLayout()->rowCount(), 2);
    QCOMPARE(plot->plotLayout()->element(0, 0), current);
    QCOMPARE(plot->plotLayout()->element(1, 0), potential);
    QVERIFY(current->visible() && m_viewer->currentGraph()->visible());

    // Destroyed with the current hidden: the plot frees both rectangles (checked under the sanitizer).
    showCurrent->click();
}

void TestEtrViewer::zoomChoicesAndDoubleClickReset()
{
    m_viewer->open(severalBlocks());
    Toggle* toggle = m_viewer->findChild<Toggle*>(QStringLiteral("drag_zoom_toggle"));
    QCPAxisRect* rects[] = {m_viewer->potentialRect(), m_viewer->currentRect()};
    for (QCPAxisRect* rect : rects)
        QCOMPARE(rect->rangeDrag(), Qt::Horizontal | Qt::Vertical);
    toggle->button(1)->click(); // "Гор."
    for (QCPAxisRect* rect : rects) {
        QCOMPARE(rect->rangeDrag(), Qt::Horizontal);
        QCOMPARE(rect->rangeZoom(), Qt::Horizontal);
    }
    toggle->button(2)->click(); // "Верт."
    for (QCPAxisRect* rect : rects)
        QCOMPARE(rect->rangeZoom(), Qt::Vertical);
    toggle->button(3)->click(); // "Все"
    for (QCPAxisRect* rect : rects)
        QCOMPARE(rect->rangeDrag(), Qt::Horizontal | Qt::Vertical);

    QCPAxis* key = m_viewer->potentialGraph()->keyAxis();
    QCPAxis* value = m_viewer->potentialGraph()->valueAxis();
    const QCPRange fullKey = key->range();
    const QCPRange fullValue = value->range();
    key->scaleRange(0.25, 50);
    value->scaleRange(0.5);
    QVERIFY(key->range() != fullKey);
    sendMouse(m_viewer->plot(), QEvent::MouseButtonDblClick, m_viewer->potentialRect()->rect().center());
    QCOMPARE(key->range(), fullKey);
    QCOMPARE(value->range(), fullValue);
    QCOMPARE(m_viewer->currentGraph()->keyAxis()->range(), fullKey);
}

void TestEtrViewer::conversionNamesAndBoxes()
{
    QPushButton* process = m_viewer->findChild<QPushButton*>(QStringLiteral("process_button"));
    QCheckBox* polar = m_viewer->findChild<QCheckBox*>(QStringLiteral("polarization_check"));
    const QString title = QStringLiteral("Преобразование etr в txt");
    m_viewer->open(severalBlocks());

    process->click();
    QVERIFY(QFile::exists(path(QStringLiteral("240131_101500.etr.txt"))));
    QCOMPARE(m_viewer->boxes.size(), 1);
    QCOMPARE(m_viewer->boxes[0].parent, m_viewer.get());
    QCOMPARE(m_viewer->boxes[0].title, title);
    // The box also says where the table went.
    const auto written = [this](const char* name) {
        return QStringLiteral("\nТаблица записана в %1").arg(QDir::toNativeSeparators(path(QLatin1String(name))));
    };
    QCOMPARE(m_viewer->boxes[0].text, QStringLiteral("Преобразование успешно завершено") + written("240131_101500.etr.txt"));

    polar->click();
    process->click();
    QVERIFY(QFile::exists(path(QStringLiteral("240131_101500-VP.etr.txt"))));
    QCOMPARE(m_viewer->boxes.size(), 2);
    QCOMPARE(m_viewer->boxes[1].text,
             QStringLiteral("Преобразование с поляризацией успешно завершено") + written("240131_101500-VP.etr.txt"));

    // A pause shorter than the pulse leaves the chargeability uncomputed: warning, then the plain table.
    m_viewer->boxes.clear();
    m_viewer->open(writeFile(path(QStringLiteral("short-pause.etr")), 100, 50, 1, {{1, 4, {{2, 3}}}}));
    process->click();
    QCOMPARE(m_viewer->boxes.size(), 2);
    QCOMPARE(m_viewer->boxes[0].parent, m_viewer.get());
    QCOMPARE(m_viewer->boxes[0].title, title);
    QCOMPARE(m_viewer->boxes[0].text,
             QStringLiteral("Некорректное значение поляризации\nБудет выполнено преобразование без поляризации"));
    QCOMPARE(m_viewer->boxes[1].text, QStringLiteral("Преобразование успешно завершено") + written("short-pause.etr.txt"));
    QVERIFY(QFile::exists(path(QStringLiteral("short-pause.etr.txt"))));
    QVERIFY(!QFile::exists(path(QStringLiteral("short-pause-VP.etr.txt"))));

    // A table that cannot be written is reported with its path and the reason, not as a success.
    m_viewer->boxes.clear();
    polar->click();
    QVERIFY(QFile::remove(path(QStringLiteral("short-pause.etr.txt"))));
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("short-pause.etr.txt")));
    process->click();
    QCOMPARE(m_viewer->boxes.size(), 1);
    QCOMPARE(m_viewer->boxes[0].title, title);
    QCOMPARE(m_viewer->boxes[0].text,
             QStringLiteral("Не удалось записать файл %1: на месте файла находится папка с тем же именем")
                 .arg(QDir::toNativeSeparators(path(QStringLiteral("short-pause.etr.txt")))));
}

void TestEtrViewer::polarisationPreferenceAndBackButton()
{
    QCheckBox* polar = m_viewer->findChild<QCheckBox*>(QStringLiteral("polarization_check"));
    QVERIFY(!polar->isChecked());
    polar->click();
    QVERIFY(m_model->usePolar());
    TestedViewer second(m_model.get());
    QVERIFY(second.findChild<QCheckBox*>(QStringLiteral("polarization_check"))->isChecked());
    polar->click();
    QVERIFY(!m_model->usePolar());

    QSignalSpy back(m_viewer.get(), &EtrViewer::backClicked);
    m_viewer->findChild<QPushButton*>(QStringLiteral("back_button"))->click();
    QCOMPARE(back.size(), 1);
}


void TestEtrViewer::repeatsMarkedAxesTitledAndSectionControls()
{
    // Quadrupole 1 4 2 3 is measured in blocks 0 and 2; of equal deviations the later record is the best.
    m_viewer->open(writeFile(path(QStringLiteral("repeats.etr")), 100, 100, 1,
                             {{1, 4, {{2, 3}, {5, 6}}}, {2, 5, {{3, 4}}}, {1, 4, {{2, 3}}}}));
    QTreeWidget* tree = m_viewer->tree();
    QCOMPARE(tree->topLevelItem(1)->text(1), QStringLiteral("3"));
    QCOMPARE(tree->topLevelItem(0)->child(1)->text(1), QStringLiteral("2"));
    QCOMPARE(tree->topLevelItem(1)->child(0)->text(1), QStringLiteral("3"));
    QCOMPARE(tree->topLevelItem(0)->child(0)->text(1), QStringLiteral("1 ↻"));
    QCOMPARE(tree->topLevelItem(2)->child(0)->text(1), QStringLiteral("4 ✓"));
    QVERIFY(!tree->topLevelItem(2)->child(0)->toolTip(1).isEmpty());

    QVERIFY(!m_viewer->potentialRect()->axis(QCPAxis::atLeft)->label().isEmpty());
    QVERIFY(!m_viewer->potentialRect()->axis(QCPAxis::atBottom)->label().isEmpty());

    // The pseudosection has no current plot and no drag directions.
    auto* current = m_viewer->findChild<QPushButton*>(QStringLiteral("show_current_button"));
    auto* viewToggle = m_viewer->findChild<Toggle*>(QStringLiteral("view_toggle"));
    QVERIFY(current->isVisible());
    viewToggle->button(1)->click();
    QVERIFY(!current->isVisible());
    QVERIFY(!m_viewer->findChild<Toggle*>(QStringLiteral("drag_zoom_toggle"))->isVisible());
    viewToggle->button(0)->click();
    QVERIFY(current->isVisible());
}

QTEST_MAIN(TestEtrViewer)
#include "tst_etrviewer.moc"
