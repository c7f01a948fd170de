#include "ui/pseudosectionplot.h"

#include "ui/sectioncolorscale.h"

#include "survey/pseudosectionplacement.h"

#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

bool usable(double value)
{
    return std::isfinite(value) && value != double(ChannelResult::NotComputed);
}

QString electrodeText(int electrode)
{
    return electrode == Electrodes::None ? QStringLiteral("∞") : QString::number(electrode);
}

// Sorted distinct values, equal within a millionth of the largest.
QVector<double> levels(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    const double tolerance = 1e-6 * std::max(1.0, values.isEmpty() ? 1.0 : std::fabs(values.last()));
    QVector<double> distinct;
    for (double v : values) {
        if (distinct.isEmpty() || v - distinct.last() > tolerance)
            distinct.append(v);
    }
    return distinct;
}

// Where the cell of a value on one of the levels begins and ends: halfway to the neighbours.
QPair<double, double> span(const QVector<double>& distinct, double value, double single)
{
    const auto it = std::lower_bound(distinct.begin(), distinct.end(), value - 1e-9 * std::max(1.0, std::fabs(value)));
    const int i = int(it - distinct.begin());
    const int last = distinct.size() - 1;
    if (last <= 0)
        return {value - single / 2, value + single / 2};
    const double below = i > 0 ? (distinct[i] - distinct[i - 1]) / 2 : (distinct[1] - distinct[0]) / 2;
    const double above = i < last ? (distinct[i + 1] - distinct[i]) / 2 : (distinct[last] - distinct[last - 1]) / 2;
    return {value - below, value + above};
}

}

// All cells in one plottable: thousands of data draw in one pass instead of one item each.
class PseudosectionCells : public QCPAbstractPlottable
{
public:
    PseudosectionCells(PseudosectionPlot* plot, QCPAxis* keyAxis, QCPAxis* valueAxis)
        : QCPAbstractPlottable(keyAxis, valueAxis)
        , m_owner(plot)
    {
    }

    double selectTest(const QPointF&, bool, QVariant*) const override { return -1; }

    QCPRange getKeyRange(bool& foundRange, QCP::SignDomain) const override
    {
        QCPRange range;
        foundRange = false;
        for (const auto& cell : m_owner->m_cells)
            extend(range, foundRange, cell.area.left(), cell.area.right());
        for (double x : m_owner->m_electrodes)
            extend(range, foundRange, x, x);
        return range;
    }

    QCPRange getValueRange(bool& foundRange, QCP::SignDomain, const QCPRange&) const override
    {
        QCPRange range(0, 0);
        foundRange = !m_owner->m_cells.isEmpty();
        for (const auto& cell : m_owner->m_cells)
            range.expand(QCPRange(cell.area.top(), cell.area.bottom()));
        range.lower = 0;
        return range;
    }

protected:
    void draw(QCPPainter* painter) override
    {
        QCPColorGradient gradient = m_owner->m_colorScale->gradient();
        const QCPRange data = m_owner->m_colorScale->dataRange();
        const bool logarithmic = m_owner->m_colorScale->dataScaleType() == QCPAxis::stLogarithmic;
        const double limit = m_owner->m_deviationLimit;
        painter->setRenderHint(QPainter::Antialiasing, false);
        const QPen crossPen(QColor(40, 40, 40), 1.2);
        for (const auto& cell : m_owner->m_cells) {
            const QRectF r = pixels(cell.area);
            painter->fillRect(r, QColor::fromRgb(gradient.color(cell.value, data, logarithmic)));
            if (cell.datum.deviation > limit) {
                painter->setPen(crossPen);
                painter->drawLine(r.topLeft(), r.bottomRight());
                painter->drawLine(r.topRight(), r.bottomLeft());
            }
        }
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(Qt::black, 2.5));
        for (const auto& cell : m_owner->m_cells) {
            if (cell.newest)
                painter->drawRect(pixels(cell.area).adjusted(1, 1, -1, -1));
        }
        if (m_owner->m_selected >= 0) {
            painter->setPen(QPen(QColor(230, 0, 200), 3));
            painter->drawRect(pixels(m_owner->m_cells.at(m_owner->m_selected).area).adjusted(-1, -1, 1, 1));
        }
        // The electrodes along the top of the section.
        const double top = mValueAxis.data()->axisRect()->top();
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(60, 60, 60));
        for (double x : m_owner->m_electrodes) {
            const double px = mKeyAxis.data()->coordToPixel(x);
            const QPointF triangle[3] = {{px - 4, top}, {px + 4, top}, {px, top + 7}};
            painter->drawPolygon(triangle, 3);
        }
    }

    void drawLegendIcon(QCPPainter*, const QRectF&) const override {}

private:
    static void extend(QCPRange& range, bool& found, double low, double high)
    {
        if (!found) {
            range = QCPRange(low, high);
            found = true;
        } else {
            range.expand(QCPRange(low, high));
        }
    }

    QRectF pixels(const QRectF& area) const
    {
        const QPointF a = coordsToPixels(area.left(), area.top());
        const QPointF b = coordsToPixels(area.right(), area.bottom());
        return QRectF(a, b).normalized();
    }

    PseudosectionPlot* m_owner;
};

PseudosectionPlot::PseudosectionPlot(QWidget* parent)
    : QCustomPlot(parent)
{
    setObjectName(QStringLiteral("pseudosection_plot"));
    xAxis->setTickLabels(false);
    xAxis2->setVisible(true);
    xAxis2->setLabel(tr("X, м"));
    yAxis->setLabel(tr("Глубина, м"));
    yAxis->setRangeReversed(true);
    m_drawing = new PseudosectionCells(this, xAxis2, yAxis);
    connect(xAxis2, QOverload<const QCPRange&>::of(&QCPAxis::rangeChanged), xAxis,
            QOverload<const QCPRange&>::of(&QCPAxis::setRange));

    m_colorScale = SectionColorScale::create(this);
    axisRect()->setRangeDragAxes(xAxis2, yAxis);
    axisRect()->setRangeZoomAxes(xAxis2, yAxis);
    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    setMouseTracking(true);
    setQuantity(Quantity::Resistivity);
}

void PseudosectionPlot::setData(const QVector<SurveyDatum>& data, bool markNewest)
{
    m_data = data;
    m_markNewest = markNewest;
    rebuild();
}

void PseudosectionPlot::setQuantity(Quantity quantity)
{
    m_quantity = quantity;
    if (quantity == Quantity::Resistivity)
        SectionColorScale::setResistivity(m_colorScale, tr("ρа, Ом·м"));
    else
        SectionColorScale::setChargeability(m_colorScale);
    rebuild();
}

void PseudosectionPlot::setDeviationLimit(double percent)
{
    m_deviationLimit = percent;
    replot(rpQueuedReplot);
}

void PseudosectionPlot::selectRecord(int record, int channel)
{
    m_selectedRecord = record;
    m_selectedChannel = channel;
    m_selected = -1;
    const SurveyDatum* chosen = nullptr;
    for (const SurveyDatum& datum : m_data) {
        if (datum.record == record && datum.channel == channel) {
            chosen = &datum;
            break;
        }
    }
    if (chosen) {
        for (int i = 0; i < m_cells.size() && m_selected < 0; ++i) {
            if (m_cells[i].datum.electrodes == chosen->electrodes)
                m_selected = i;
        }
    }
    replot(rpQueuedReplot);
}

void PseudosectionPlot::rebuild()
{
    m_cells.clear();
    const QVector<SurveyDatum> best = bestOfRepeats(m_data);
    int newestRecord = -1;
    for (const SurveyDatum& datum : m_data)
        newestRecord = std::max(newestRecord, datum.record);

    QVector<double> xs, depths;
    QVector<Cell> placed;
    placed.reserve(best.size());
    for (const SurveyDatum& datum : best) {
        const double value = m_quantity == Quantity::Resistivity ? datum.resistivity : datum.chargeability;
        if (!datum.computed() || !usable(value) || (m_quantity == Quantity::Resistivity && value <= 0))
            continue;
        const Placed& p = placement(datum);
        if (!p.valid)
            continue;
        Cell cell;
        cell.datum = datum;
        cell.value = value;
        cell.area = QRectF(p.x, p.depth, 0, 0);
        cell.newest = m_markNewest && datum.record == newestRecord;
        placed.append(cell);
        xs.append(p.x);
        depths.append(p.depth);
    }

    // Cells as wide as the closest step between data of their depth level (the whole section's
    // closest step for a datum alone on its level) and as high as halfway to the neighbouring
    // levels, so a regular survey tiles the section without gaps.
    const QVector<double> rows = levels(depths);
    QVector<QVector<double>> rowXs(rows.size());
    const auto rowOf = [&rows](double depth) {
        return int(std::lower_bound(rows.begin(), rows.end(), depth - 1e-9 * std::max(1.0, depth)) - rows.begin());
    };
    for (const Cell& cell : placed)
        rowXs[rowOf(cell.area.top())].append(cell.area.left());
    const auto closestStep = [](const QVector<double>& xs) {
        const QVector<double> columns = levels(xs);
        double step = HUGE_VAL;
        for (int i = 1; i < columns.size(); ++i)
            step = std::min(step, columns[i] - columns[i - 1]);
        return step;
    };
    double overall = closestStep(xs);
    if (!std::isfinite(overall))
        overall = rows.isEmpty() ? 1.0 : std::max(rows.first(), 1e-3);
    QVector<double> rowSteps(rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        const double step = closestStep(rowXs[r]);
        rowSteps[r] = std::isfinite(step) ? step : overall;
    }
    QVector<double> values;
    values.reserve(placed.size());
    for (Cell& cell : placed) {
        const double x = cell.area.left();
        const double depth = cell.area.top();
        const double step = rowSteps[rowOf(depth)];
        const QPair<double, double> vertical = span(rows, depth, step);
        cell.area = QRectF(QPointF(x - step / 2, std::max(0.0, vertical.first)), QPointF(x + step / 2, vertical.second));
        values.append(cell.value);
    }
    m_cells = placed;

    QVector<double> electrodes;
    for (const SurveyDatum& datum : best) {
        const QuadrupoleLine& e = datum.electrodes;
        const int numbers[4] = {e.a, e.b, e.m, e.n};
        const ElectrodePosition* positions[4] = {&datum.a, &datum.b, &datum.m, &datum.n};
        for (int i = 0; i < 4; ++i) {
            if (numbers[i] != Electrodes::None)
                electrodes.append(positions[i]->x);
        }
    }
    m_electrodes = levels(electrodes);

    SectionColorScale::setRange(m_colorScale, values);
    selectRecord(m_selectedRecord, m_selectedChannel);
    rescaleAxes();
    yAxis->setRangeLower(0);
    replot(rpQueuedReplot);
}

const PseudosectionPlot::Placed& PseudosectionPlot::placement(const SurveyDatum& datum)
{
    const quint64 key = quadrupoleKey(datum.electrodes);
    auto it = m_placements.find(key);
    if (it != m_placements.end() && it->a == datum.a.x && it->b == datum.b.x && it->m == datum.m.x
        && it->n == datum.n.x)
        return *it;
    const PseudosectionPlacement::Point p = PseudosectionPlacement::place(datum);
    return *m_placements.insert(key, Placed{datum.a.x, datum.b.x, datum.m.x, datum.n.x, p.x, p.depth, p.valid});
}

int PseudosectionPlot::cellAt(const QPointF& position) const
{
    if (!axisRect()->rect().contains(position.toPoint()))
        return -1;
    const double x = xAxis2->pixelToCoord(position.x());
    const double depth = yAxis->pixelToCoord(position.y());
    for (int i = m_cells.size() - 1; i >= 0; --i) {
        const QRectF& a = m_cells[i].area;
        if (x >= a.left() && x <= a.right() && depth >= a.top() && depth <= a.bottom())
            return i;
    }
    return -1;
}

QPointF PseudosectionPlot::cellCentre(int cell) const
{
    const QPointF c = m_cells.at(cell).area.center();
    return QPointF(xAxis2->coordToPixel(c.x()), yAxis->coordToPixel(c.y()));
}

QString PseudosectionPlot::cellText(int cell) const
{
    const SurveyDatum& d = m_cells.at(cell).datum;
    const QuadrupoleLine& e = d.electrodes;
    const QString chargeability = usable(d.chargeability) ? QString::number(d.chargeability, 'f', 2) + QStringLiteral(" %")
                                                          : QStringLiteral("—");
    return tr("A %1  B %2  M %3  N %4\nρа = %5 Ом·м\nотклонение = %6 %\nη = %7")
        .arg(electrodeText(e.a), electrodeText(e.b), electrodeText(e.m), electrodeText(e.n))
        .arg(QString::number(d.resistivity, 'g', 4))
        .arg(QString::number(d.deviation, 'f', 2))
        .arg(chargeability);
}

void PseudosectionPlot::mousePressEvent(QMouseEvent* event)
{
    m_pressPosition = event->pos();
    QCustomPlot::mousePressEvent(event);
}

void PseudosectionPlot::mouseMoveEvent(QMouseEvent* event)
{
    QCustomPlot::mouseMoveEvent(event);
    const int cell = cellAt(event->localPos());
    if (cell >= 0)
        QToolTip::showText(event->globalPos(), cellText(cell), this);
    else
        QToolTip::hideText();
}

void PseudosectionPlot::mouseReleaseEvent(QMouseEvent* event)
{
    QCustomPlot::mouseReleaseEvent(event);
    // A click, not the end of a drag.
    if (event->button() != Qt::LeftButton || (event->pos() - m_pressPosition).manhattanLength() > 3)
        return;
    const int cell = cellAt(event->localPos());
    if (cell < 0)
        return;
    const SurveyDatum& d = m_cells.at(cell).datum;
    selectRecord(d.record, d.channel);
    Q_EMIT datumClicked(d.record, d.channel);
}
