#include "ui/measurementplot.h"

#include "measurement/idatacontainer.h"
#include "measurement/imeasurementinfo.h"
#include "measurement/tervexcalculator.h"
#include "station/tervexsettings.h"
#include "survey/surveydatamanager.h"
#include "survey/testdatamanager.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>

#include <QToolTip>

#include <qcustomplot.h>

#include <cmath>

namespace {

const QVector<double>& noData()
{
    static const QVector<double> empty;
    return empty;
}

QString fixed3(double value)
{
    return QString::number(value, 'f', 3);
}

struct BarStyle
{
    QColor brush;
    QColor pen;
};

// Classes below 3 kΩ, below 10 kΩ, below 50 kΩ and above; fresh results opaque, kept ones half-transparent.
const BarStyle barStyles[MeasurementPlot::SeriesCount] = {
    {QColor(0, 255, 0, 216), QColor(255, 255, 255, 240)},  {QColor(0, 0, 255, 216), QColor(255, 255, 255, 240)},
    {QColor(255, 255, 0, 216), QColor(255, 255, 0, 240)},  {QColor(255, 0, 0, 216), QColor(255, 0, 0, 240)},
    {QColor(0, 255, 0, 108), QColor(255, 255, 255, 120)},  {QColor(0, 0, 255, 108), QColor(255, 255, 255, 120)},
    {QColor(255, 255, 0, 108), QColor(255, 255, 0, 120)},  {QColor(255, 0, 0, 108), QColor(255, 0, 0, 120)},
};

constexpr float OneMegaohm = 1000000.0f;
// Translated when shown: the interface language is chosen after static initialisation.
QString notMeasuredLabel()
{
    return QCoreApplication::translate("MeasurementPlot", "н/и");
}

} // namespace

MeasurementPlot::MeasurementPlot(SurveyDataManager* surveyManager, TervexSettings* settings, QWidget* parent)
    : QObject(parent)
    , m_surveyManager(surveyManager)
    , m_settings(settings)
    , m_plot(new QCustomPlot(parent))
{
    m_plot->setBackground(QBrush(QColor(QStringLiteral("#FFF")), Qt::SolidPattern));
    m_plot->plotLayout()->clear();
    m_refreshTimer.setSingleShot(true);
    connect(&m_refreshTimer, &QTimer::timeout, this, [this]() {
        refreshRows();
        replot();
    });
    m_sinceRefresh.start();
    m_plot->installEventFilter(this);
    // Thinned test labels: the one under the mouse tells its pair and value.
    connect(m_plot, &QCustomPlot::mouseMove, this, [this](QMouseEvent* event) {
        if (!m_testRect || !m_testRect->rect().contains(event->pos()))
            return;
        const int k = int(std::lround(m_testRect->axis(QCPAxis::atBottom)->pixelToCoord(event->pos().x())));
        const QString pair = m_pairLabels.value(k);
        if (pair.isEmpty()) {
            QToolTip::hideText();
            return;
        }
        const QString value = m_valueLabels.value(k);
        QToolTip::showText(event->globalPos(), value.isEmpty() ? pair : QStringLiteral("%1: %2").arg(pair, value),
                           m_plot);
    });
}

int MeasurementPlot::labelStep(int count, int advance, int room)
{
    if (count <= 0 || advance <= 0 || room <= 0)
        return 1;
    return qMax(1, (count * advance + room - 1) / room);
}

void MeasurementPlot::fitTestLabels()
{
    if (!m_testRect)
        return;
    QCPAxis* bottom = m_testRect->axis(QCPAxis::atBottom);
    QCPAxis* top = m_testRect->axis(QCPAxis::atTop);
    const int count = qMax(0, m_pairLabels.size() - 2);
    const QFontMetrics metrics(bottom->tickLabelFont());
    // Turned labels take one line each along the axis; level ones their own width.
    int advance = metrics.height() + 2;
    if (bottom->tickLabelRotation() == 0) {
        for (const QString& label : m_pairLabels)
            advance = qMax(advance, metrics.horizontalAdvance(label) + 8);
    }
    // The value axis' labels and margins take about this much of the plot's width.
    const int room = m_plot->width() - 100;
    const int step = labelStep(count, advance, room);
    // Pair and value labels are kept at the same keys, at least `step` apart; a bad contact's
    // keys are taken first, so that a high resistance stays readable.
    QVector<bool> keep(m_pairLabels.size(), false);
    const auto free = [&keep, step](int k) {
        for (int d = 1 - step; d < step; ++d) {
            if (k + d >= 0 && k + d < keep.size() && keep[k + d])
                return false;
        }
        return true;
    };
    for (int k = 1; k <= count; ++k) {
        if (m_testAlarms.value(k) && free(k))
            keep[k] = true;
    }
    for (int k = 1; k <= count; k += step) {
        if (free(k))
            keep[k] = true;
    }
    const auto thinned = [&keep](const QVector<QString>& labels) {
        QVector<QString> kept(labels.size());
        for (int k = 1; k < labels.size() && k < keep.size(); ++k) {
            if (keep[k])
                kept[k] = labels[k];
        }
        return kept;
    };
    // Label k sits at key k.
    const auto show = [&thinned](QCPAxis* axis, const QVector<QString>& labels) {
        QVector<double> ticks;
        for (int k = 0; k < labels.size(); ++k)
            ticks.append(k);
        QSharedPointer<QCPAxisTickerText> ticker(new QCPAxisTickerText);
        ticker->setTicks(ticks, thinned(labels));
        axis->setTicker(ticker);
    };
    show(bottom, m_pairLabels);
    show(top, m_valueLabels);
}

bool MeasurementPlot::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_plot && event->type() == QEvent::Resize && !m_rowRects.isEmpty()) {
        fitRowLabels();
        m_plot->replot(QCustomPlot::rpQueuedReplot);
    }
    if (watched == m_plot && event->type() == QEvent::Resize && m_testRect) {
        fitTestLabels();
        m_plot->replot(QCustomPlot::rpQueuedReplot);
    }
    return QObject::eventFilter(watched, event);
}

QString MeasurementPlot::fitAlongRow(const QString& full, const QString& brief, const QFontMetrics& metrics, int room)
{
    const auto fits = [&](const QString& text) {
        for (const QString& line : text.split(QLatin1Char('\n')))
            if (metrics.horizontalAdvance(line) > room)
                return false;
        return true;
    };
    if (fits(full))
        return full;
    return fits(brief) ? brief : QString();
}

void MeasurementPlot::fitRowLabels()
{
    const int rows = m_rowRects.size();
    if (rows == 0)
        return;
    // The rows share the plot's height above the bottom axis; neighbouring labels keep a gap.
    const int room = (m_plot->height() - 30) / rows - 12;
    for (int i = 0; i < rows; ++i) {
        QCPAxis* left = m_rowRects[i]->axis(QCPAxis::atLeft);
        QCPAxis* right = m_rowRects[i]->axis(QCPAxis::atRight);
        const QFontMetrics metrics(left->labelFont());
        left->setLabel(fitAlongRow(m_captions.value(i), m_briefCaptions.value(i), metrics, room));
        right->setLabel(fitAlongRow(m_values.value(i), QString(), metrics, room));
    }
}

void MeasurementPlot::clearPlot()
{
    m_refreshTimer.stop();
    // Plottables first: they refer to the axes that the layout owns.
    m_plot->clearPlottables();
    m_plot->plotLayout()->clear();
    m_plot->plotLayout()->setMargins(QMargins(0, 0, 0, 0));
    m_plot->plotLayout()->setRowSpacing(0);
    qDeleteAll(m_plot->findChildren<QCPMarginGroup*>(QString(), Qt::FindDirectChildrenOnly));
    m_rowRects.clear();
    m_rowGraphs.clear();
    m_testRect = nullptr;
    for (QCPBars*& bars : m_bars)
        bars = nullptr;
}

void MeasurementPlot::buildChannelRows(int n)
{
    if (n == m_rowGraphs.size())
        return;
    clearPlot();
    auto* group = new QCPMarginGroup(m_plot);
    m_plot->plotLayout()->setRowSpacing(-30);

    QFont rowFont = m_plot->parentWidget() ? m_plot->parentWidget()->font() : m_plot->font();
    rowFont.setFamily(QStringLiteral("Courier new"));
    rowFont.setPixelSize(12);
    const QPen framePen(QColor(QStringLiteral("#CCC")));

    for (int k = 0; k < n; ++k) {
        auto* rect = new QCPAxisRect(m_plot, true);
        rect->setBackground(QBrush(QColor(QStringLiteral("#f2f2f2"))));
        rect->setAutoMargins(QCP::msNone);
        rect->setMargins(QMargins(80, 7, 120, 25));
        rect->setMarginGroup(QCP::msLeft | QCP::msRight, group);
        m_plot->plotLayout()->addElement(k, 0, rect);

        for (QCPAxis* axis : rect->axes())
            axis->setBasePen(framePen);
        for (QCPAxis::AxisType type : {QCPAxis::atTop, QCPAxis::atLeft, QCPAxis::atRight}) {
            QCPAxis* axis = rect->axis(type);
            axis->setVisible(true);
            axis->setTicks(false);
            axis->setTickLabels(false);
            axis->setSubTicks(false);
            axis->grid()->setVisible(false);
        }
        QCPAxis* bottom = rect->axis(QCPAxis::atBottom);
        bottom->setTicks(false);
        bottom->setTickLabels(false);
        bottom->grid()->setPen(QPen(QColor(QStringLiteral("#CCC")), 1, Qt::DotLine));
        rect->axis(QCPAxis::atLeft)->setLabelFont(rowFont);
        rect->axis(QCPAxis::atRight)->setLabelFont(rowFont);

        QCPGraph* graph = m_plot->addGraph(bottom, rect->axis(QCPAxis::atLeft));
        graph->setPen(QPen(Qt::blue));
        m_rowRects.append(rect);
        m_rowGraphs.append(graph);
    }
    m_captions = m_briefCaptions = m_values = QVector<QString>(n);

    if (!m_rowRects.isEmpty()) {
        QCPAxis* time = m_rowRects.last()->axis(QCPAxis::atBottom);
        time->setTicks(true);
        time->setTickLabels(true);
        time->setBasePen(framePen);
        time->setTickPen(QPen(QColor(QStringLiteral("#000"))));
        time->setTickLabelFont(rowFont);
    }
    replot();
}

int MeasurementPlot::rowId(int row) const
{
    return m_surveyManager->rowIds().value(row, -1);
}

double MeasurementPlot::voltageTop() const
{
    return double(m_settings->generatorSettings()->voltage) * 1.1;
}

void MeasurementPlot::setRowData(int row, const QVector<double>* values)
{
    const QVector<double>& x = m_surveyManager->xAxis();
    QCPGraph* graph = m_rowGraphs[row];
    const QVector<double>& y = values ? *values : noData();
    // The window's x axis is laid out in full from the start; the series fill it as samples come.
    graph->setData(y.size() == x.size() ? x : x.mid(0, y.size()), y, true);
    if (!x.isEmpty())
        graph->keyAxis()->setRange(x.first(), x.last());
    graph->rescaleValueAxis(false, false);
    if (rowId(row) == StreamId::Voltage)
        graph->valueAxis()->setRange(0.0, voltageTop());
}

QString MeasurementPlot::currentCaption(int a, int b)
{
    return tr("Ток\n%1 - %2").arg(a).arg(b);
}

QString MeasurementPlot::channelCaption(int channel, int m, int n)
{
    return tr("Канал %1\n%2 - %3").arg(channel).arg(m).arg(n);
}

void MeasurementPlot::showRecordStarted()
{
    const IMeasurementInfo* info = m_surveyManager->info();
    buildChannelRows((info ? info->maxPairsPerStep() : 0) + 2);
    m_refreshTimer.stop();

    const ElectrodeSettings* electrodes = m_settings->electrodeSettings();
    const QVector<QVector<double>>& series = m_surveyManager->series();
    for (int i = 0; i < m_rowGraphs.size(); ++i) {
        const int id = rowId(i);
        const bool filled = i < series.size();
        setRowData(i, filled ? &series[i] : nullptr);

        QColor pen(QStringLiteral("#000"));
        QString caption;
        if (id == StreamId::Current) {
            pen = QColor(QStringLiteral("#F00"));
            caption = currentCaption(electrodes->currentElectrodeA, electrodes->currentElectrodeB);
        } else if (id == StreamId::Voltage) {
            pen = QColor(QStringLiteral("#060"));
            caption = tr("Напряжение");
        } else if (id >= 0) {
            int m = 0;
            int n = 0;
            for (const ChannelSetting& channel : electrodes->channels) {
                if (channel.number == id) {
                    m = channel.electrodeM;
                    n = channel.electrodeN;
                    break;
                }
            }
            caption = channelCaption(id, m, n);
        }
        m_rowGraphs[i]->setPen(QPen(pen));
        m_rowRects[i]->axis(QCPAxis::atLeft)->setLabelColor(filled ? QColor(Qt::black) : QColor(Qt::gray));
        m_captions[i] = caption;
        // A row this record has no stream for (it has fewer pairs than the largest step) stays unnamed.
        m_briefCaptions[i] = id == StreamId::Current ? QStringLiteral("I")
            : id == StreamId::Voltage                 ? QStringLiteral("U")
            : id >= 0                                 ? tr("К%1").arg(id)
                                                      : QString();
        m_values[i].clear();
    }
    fitRowLabels();
    replot();
}

void MeasurementPlot::scheduleRefresh()
{
    if (m_refreshTimer.isActive())
        return;
    m_refreshTimer.start(int(qMax<qint64>(0, RefreshInterval - m_sinceRefresh.elapsed())));
}

void MeasurementPlot::flushRefresh()
{
    if (!m_refreshTimer.isActive())
        return;
    m_refreshTimer.stop();
    refreshRows();
}

void MeasurementPlot::refreshRows()
{
    m_sinceRefresh.restart();
    const QVector<QVector<double>>& series = m_surveyManager->series();
    const int rows = qMin(series.size(), m_rowGraphs.size());
    for (int i = 0; i < rows; ++i)
        setRowData(i, &series[i]);
    for (QCPGraph* graph : m_rowGraphs) {
        const QCPRange range = graph->valueAxis()->range();
        const double margin = range.size() * 0.05;
        graph->valueAxis()->setRange(range.lower - margin, range.upper + margin);
    }
}

void MeasurementPlot::showRecordResults()
{
    flushRefresh();
    const IMeasurementInfo* info = m_surveyManager->info();
    const TervexCalculator* calculator = m_surveyManager->calculator();
    const int rows = qMin((info ? info->maxPairsPerStep() : 0) + 2, m_rowRects.size());
    const int seriesCount = m_surveyManager->series().size();
    const CalculatorResult line = calculator ? calculator->result() : CalculatorResult();
    const QMap<int, ChannelResult> channels = calculator ? calculator->channelResults() : QMap<int, ChannelResult>();

    for (int j = 0; j < rows; ++j) {
        QString text;
        if (j < seriesCount) {
            const int id = rowId(j);
            if (id == StreamId::Current) {
                text = QStringLiteral("%1mA\n%2Ω").arg(fixed3(line.current * 1000.0), fixed3(line.resistance));
            } else if (id == StreamId::Voltage) {
                text = QStringLiteral("%1V").arg(QString::number(double(line.voltage), 'g'));
            } else {
                ChannelResult result;
                result.voltage = 0.0f;
                result.resistivity = 0.0f;
                result.scatter = 0.0f;
                result = channels.value(id, result);
                text = QStringLiteral("%1mV\n%2Ω\nq=%3%")
                           .arg(fixed3(result.voltage * 1000.0), fixed3(result.resistivity), fixed3(result.scatter));
            }
        }
        m_rowRects[j]->axis(QCPAxis::atRight)->setLabelColor(QColor(QStringLiteral("#272727")));
        m_values[j] = text;
    }
    fitRowLabels();
    replot();
}

void MeasurementPlot::buildTestChart(const QVector<TestPlanEntry>& plan)
{
    const int p = plan.size();
    QVector<double> ticks;
    QVector<QString> labels;
    ticks.append(0);
    labels.append(QString());
    for (int k = 0; k < p; ++k) {
        ticks.append(k + 1);
        labels.append(plan[k].resultIndex < 0
                          ? QStringLiteral("---")
                          : QStringLiteral("%1 - %2").arg(plan[k].firstElectrode).arg(plan[k].secondElectrode));
    }
    ticks.append(p + 1);
    labels.append(QString());

    clearPlot();
    m_testPlan = plan;
    m_pairLabels = labels;
    m_valueLabels = QVector<QString>(ticks.size());
    m_testAlarms = QVector<bool>(ticks.size(), false);
    m_testRect = new QCPAxisRect(m_plot, true);
    m_plot->plotLayout()->addElement(0, 0, m_testRect);

    QCPAxis* bottom = m_testRect->axis(QCPAxis::atBottom);
    bottom->setTickLabelRotation(p > 24 ? 90 : 0);
    bottom->setRange(0, p + 1);
    bottom->setTickPen(QPen(QColor(Qt::darkBlue), 4));
    bottom->setTickLengthIn(5);
    bottom->setTickLengthOut(7);
    bottom->setSubTicks(false);

    QCPAxis* top = m_testRect->axis(QCPAxis::atTop);
    top->setVisible(true);
    top->setTickLabels(true);
    top->setTickLabelRotation(p > 24 ? -90 : 0);
    top->setSubTicks(false);
    top->setRange(0, p + 1);

    const QVector<double> ohms = {10, 100, 1000, 3000, 10000, 50000, 1000000};
    const QVector<QString> ohmLabels = {tr("10 Ом"),  tr("100 Ом"), tr("1 кОм"),
                                        tr("3 кОм"),  tr("10 кОм"), tr("50 кОм"),
                                        tr("1 МОм")};
    QCPAxis* left = m_testRect->axis(QCPAxis::atLeft);
    left->setScaleType(QCPAxis::stLogarithmic);
    QSharedPointer<QCPAxisTickerText> ohmTicker(new QCPAxisTickerText);
    ohmTicker->setTicks(ohms, ohmLabels);
    left->setTicker(ohmTicker);
    left->setSubTicks(false);
    left->setRange(1, 1000000);

    QCPAxis* right = m_testRect->axis(QCPAxis::atRight);
    right->setVisible(true);
    right->setScaleType(QCPAxis::stLogarithmic);
    QSharedPointer<QCPAxisTickerText> rightTicker(new QCPAxisTickerText);
    rightTicker->setTicks(ohms, QVector<QString>(ohms.size()));
    right->setTicker(rightTicker);
    right->setTicks(true);
    right->setTickLabels(false);
    right->setSubTicks(false);
    right->setRange(1, 10000000);

    for (int s = 0; s < SeriesCount; ++s) {
        auto* bars = new QCPBars(bottom, left);
        bars->setWidth(0.5);
        bars->setBaseValue(1.0);
        bars->setPen(QPen(barStyles[s].pen));
        bars->setBrush(barStyles[s].brush);
        m_bars[s] = bars;
    }
    fitTestLabels();
    replot();
}

int MeasurementPlot::seriesFor(float ohms, int age)
{
    int series = 3;
    if (ohms < 3000.0f)
        series = 0;
    else if (ohms < 10000.0f)
        series = 1;
    else if (ohms < 50000.0f)
        series = 2;
    return age != 0 ? series + 4 : series;
}

QString MeasurementPlot::resistanceLabel(float ohms)
{
    const QString kilo = tr("кОм");
    if (ohms < 1000.0f)
        return QString::number(qint64(ohms)) + tr("Ом");
    if (ohms < 100000.0f)
        return QString::number(std::round(double(ohms)) / 1000.0, 'f', 1) + kilo;
    if (ohms < OneMegaohm)
        return QString::number(qint64(ohms / 1000.0f)) + kilo;
    return tr(">1МОм");
}

void MeasurementPlot::updateTestChart(const QVector<TestResult>& results)
{
    if (!m_testRect)
        return;
    QVector<QString> labels;
    QVector<double> ticks;
    labels.append(QString());
    ticks.append(0);
    m_testAlarms = QVector<bool>(results.size() + 1, false);
    for (int k = 1; k <= results.size(); ++k) {
        const TestResult& result = results[k - 1];
        const float v = result.resistance;
        ticks.append(k);
        // A position outside this test's plan keeps no bar of an earlier test, and a position not
        // measured yet is not shown as a perfect 0 Ohm contact.
        if (k - 1 < m_testPlan.size() && m_testPlan[k - 1].resultIndex < 0) {
            labels.append(QString());
            continue;
        }
        if (!(v > 0.0f)) {
            labels.append(notMeasuredLabel());
            continue;
        }
        m_bars[seriesFor(v, result.age)]->addData(k, v >= OneMegaohm ? double(OneMegaohm) : double(v));
        m_testAlarms[k] = result.age == 0 && seriesFor(v, 0) != 0;
        labels.append(resistanceLabel(v));
    }
    m_valueLabels = labels;
    fitTestLabels();
    replot();
}

void MeasurementPlot::replot()
{
    m_plot->replot(QCustomPlot::rpRefreshHint);
}
