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

// Values equal within a millionth of the largest are one level.
double tolerance(double largest)
{
    return 1e-6 * std::max(1.0, std::fabs(largest));
}

// Sorted distinct values: each level is the lowest value of those it stands for.
QVector<double> levels(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    const double tol = tolerance(values.isEmpty() ? 1.0 : values.last());
    QVector<double> distinct;
    for (double v : values) {
        if (distinct.isEmpty() || v - distinct.last() > tol)
            distinct.append(v);
    }
    return distinct;
}

// The level of levels() a value belongs to: the last one not above it. The same rule that made
// the levels, so no rounding can send a value past the last one.
int levelOf(const QVector<double>& distinct, double value)
{
    return std::max(0, int(std::upper_bound(distinct.begin(), distinct.end(), value) - distinct.begin()) - 1);
}

double closestStep(const QVector<double>& distinct)
{
    double step = HUGE_VAL;
    for (int i = 1; i < distinct.size(); ++i)
        step = std::min(step, distinct[i] - distinct[i - 1]);
    return step;
}

// Where the cell of a value on level i begins and ends: halfway to the neighbouring levels. A
// single level is as high as its depth, the spacing the next level would have.
QPair<double, double> span(const QVector<double>& distinct, int i, double value)
{
    const int last = distinct.size() - 1;
    if (last <= 0)
        return {value / 2, value * 1.5};
    const double below = i > 0 ? (distinct[i] - distinct[i - 1]) / 2 : (distinct[1] - distinct[0]) / 2;
    const double above = i < last ? (distinct[i + 1] - distinct[i]) / 2 : (distinct[last] - distinct[last - 1]) / 2;
    return {value - below, value + above};
}

// Inserts value into sorted distinct levels unless one stands for it already; false when it
// would become the new lowest value of an existing level (the levels would move).
bool insertLevel(QVector<double>& distinct, double value, double tol)
{
    const int i = int(std::upper_bound(distinct.begin(), distinct.end(), value) - distinct.begin());
    if (i > 0 && value - distinct[i - 1] <= tol)
        return true;
    if (i < distinct.size() && distinct[i] - value <= tol)
        return false;
    distinct.insert(i, value);
    return true;
}

// With only the first level measured the section is shown at least this deep, as a share of the
// line's length, so that level reads as the top of a section and not as columns.
constexpr double SingleLevelDepthShare = 0.2;

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
        // On the screen and in a PNG the cells are written straight into one image: tens of
        // thousands of them cost a few milliseconds, not a painter call each. A PDF keeps them as
        // rectangles.
        if (painter->modes().testFlag(QCPPainter::pmVectorized)) {
            for (const auto& cell : m_owner->m_cells) {
                const QRectF r = pixels(cell.area);
                if (!r.isEmpty())
                    painter->fillRect(r, QColor::fromRgb(gradient.color(cell.value, data, logarithmic)));
            }
        } else {
            drawRaster(painter, gradient, data, logarithmic);
        }
        painter->setPen(QPen(QColor(40, 40, 40), 1.2));
        for (const auto& cell : m_owner->m_cells) {
            if (!(cell.datum.deviation > limit))
                continue;
            const QRectF r = pixels(cell.area);
            if (r.isEmpty())
                continue;
            painter->drawLine(r.topLeft(), r.bottomRight());
            painter->drawLine(r.topRight(), r.bottomLeft());
        }
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(Qt::black, 2.5));
        for (int newest : m_owner->m_newestCells)
            painter->drawRect(pixels(m_owner->m_cells.at(newest).area).adjusted(1, 1, -1, -1));
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
            if (!(std::fabs(px) < PixelLimit))
                continue;
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

    void drawRaster(QCPPainter* painter, QCPColorGradient& gradient, const QCPRange& data, bool logarithmic)
    {
        const QRect area = clipRect();
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QImage image((QSizeF(area.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        if (image.isNull())
            return;
        image.fill(Qt::transparent);
        const int width = image.width();
        const int height = image.height();
        const auto column = [&](double x) { return qBound(0, int(std::lround((x - area.left()) * ratio)), width); };
        const auto row = [&](double y) { return qBound(0, int(std::lround((y - area.top()) * ratio)), height); };
        for (const auto& cell : m_owner->m_cells) {
            const QRectF r = pixels(cell.area);
            if (r.isEmpty())
                continue;
            const int x0 = column(r.left());
            const int y0 = row(r.top());
            // A cell narrower than a pixel still shows.
            const int x1 = std::max(column(r.right()), std::min(x0 + 1, width));
            const int y1 = std::max(row(r.bottom()), std::min(y0 + 1, height));
            const QRgb colour = gradient.color(cell.value, data, logarithmic);
            for (int y = y0; y < y1; ++y) {
                QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                std::fill(line + x0, line + x1, colour);
            }
        }
        image.setDevicePixelRatio(ratio);
        painter->drawImage(area.topLeft(), image);
    }

    // The area on the widget, cut to the plot: however far the coordinates lie or the view is
    // zoomed, the painter only gets sane pixels (empty for an area out of sight).
    QRectF pixels(const QRectF& area) const
    {
        const QPointF a = coordsToPixels(area.left(), area.top());
        const QPointF b = coordsToPixels(area.right(), area.bottom());
        const double corners[4] = {a.x(), a.y(), b.x(), b.y()};
        if (std::any_of(corners, corners + 4, [](double c) { return std::isnan(c); }))
            return QRectF();
        const auto bound = [](double c) { return qBound(-PixelLimit, c, PixelLimit); };
        return QRectF(QPointF(bound(a.x()), bound(a.y())), QPointF(bound(b.x()), bound(b.y())))
            .normalized()
            .intersected(QRectF(clipRect()).adjusted(-8, -8, 8, 8));
    }

    static constexpr double PixelLimit = 1e7;

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

void PseudosectionPlot::addData(const QVector<SurveyDatum>& added, bool markNewest)
{
    m_markNewest = markNewest;
    int newest = m_newestRecord;
    for (const SurveyDatum& datum : added)
        newest = std::max(newest, datum.record);
    if (newest != m_newestRecord) {
        for (int cell : qAsConst(m_newestCells))
            m_cells[cell].newest = false;
        m_newestCells.clear();
        m_newestRecord = newest;
    }
    // Whatever the layout cannot take as it stands (a new level, a closer step, a cell that
    // appears or goes for a quadrupole seen before) is placed again from the whole list.
    bool again = false;
    for (const SurveyDatum& datum : added) {
        const int index = m_data.size();
        m_data.append(datum);
        const quint64 key = quadrupoleKey(datum.electrodes);
        auto best = m_bestData.find(key);
        Cell cell;
        const bool drawable = makeCell(datum, &cell);
        if (best == m_bestData.end()) {
            m_bestData.insert(key, index);
            addElectrodes(datum);
            if (drawable && !again) {
                if (fitsLayout(cell.area.left(), cell.area.top())) {
                    cell.area = cellArea(cell.area.left(), cell.area.top());
                    m_cellOf.insert(key, m_cells.size());
                    m_cells.append(cell);
                    insertValue(cell.value);
                    markIfNewest(m_cells.size() - 1);
                } else {
                    again = true;
                }
            }
            continue;
        }
        if (!betterRepeat(datum, m_data.at(*best)))
            continue;
        *best = index;
        if (again)
            continue;
        const auto shown = m_cellOf.constFind(key);
        if (shown == m_cellOf.constEnd() || !drawable) {
            again = again || drawable || shown != m_cellOf.constEnd();
            continue;
        }
        Cell& old = m_cells[*shown];
        if (cellArea(cell.area.left(), cell.area.top()) != old.area) {
            again = true;
            continue;
        }
        removeValue(old.value);
        insertValue(cell.value);
        old.datum = cell.datum;
        old.value = cell.value;
        markIfNewest(*shown);
    }
    if (again) {
        rebuild();
        return;
    }
    finishLayout();
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
    if (chosen)
        m_selected = m_cellOf.value(quadrupoleKey(chosen->electrodes), -1);
    replot(rpQueuedReplot);
}

bool PseudosectionPlot::makeCell(const SurveyDatum& datum, Cell* cell)
{
    const double value = m_quantity == Quantity::Resistivity ? datum.resistivity : datum.chargeability;
    if (!datum.computed() || !usable(value) || (m_quantity == Quantity::Resistivity && value <= 0))
        return false;
    const Placed& p = placement(datum);
    if (!p.valid || !std::isfinite(p.x) || !std::isfinite(p.depth))
        return false;
    cell->datum = datum;
    cell->value = value;
    // Until the layout is known the area holds the cell's place: x and depth.
    cell->area = QRectF(p.x, p.depth, 0, 0);
    cell->newest = false;
    return true;
}

QRectF PseudosectionPlot::cellArea(double x, double depth) const
{
    const int row = levelOf(m_rows, depth);
    const double step = m_rowSteps.at(row);
    const QPair<double, double> vertical = span(m_rows, row, depth);
    return QRectF(QPointF(x - step / 2, std::max(0.0, vertical.first)), QPointF(x + step / 2, vertical.second));
}

bool PseudosectionPlot::fitsLayout(double x, double depth)
{
    if (m_rows.isEmpty())
        return false;
    const int row = int(std::upper_bound(m_rows.begin(), m_rows.end(), depth) - m_rows.begin()) - 1;
    if (row < 0 || depth - m_rows[row] > tolerance(m_rows.last()))
        return false;
    QVector<double> columns = m_rowColumns.at(row);
    QVector<double> all = m_columns;
    if (!insertLevel(columns, x, tolerance(columns.last())) || !insertLevel(all, x, tolerance(all.last())))
        return false;
    // A new column may not bring its neighbours closer than the row's step, nor any two columns
    // closer than the section's (the step of rows with one column).
    if (columns.size() != m_rowColumns.at(row).size()) {
        if (m_rowColumns.at(row).size() < 2 || closestStep(columns) < m_rowSteps.at(row))
            return false;
    }
    if (all.size() != m_columns.size() && closestStep(all) != closestStep(m_columns))
        return false;
    m_rowColumns[row] = columns;
    m_columns = all;
    return true;
}

void PseudosectionPlot::addElectrodes(const SurveyDatum& datum)
{
    const QuadrupoleLine& e = datum.electrodes;
    const int numbers[4] = {e.a, e.b, e.m, e.n};
    const ElectrodePosition* positions[4] = {&datum.a, &datum.b, &datum.m, &datum.n};
    for (int i = 0; i < 4; ++i) {
        const double x = positions[i]->x;
        if (numbers[i] == Electrodes::None || !std::isfinite(x))
            continue;
        if (m_electrodes.isEmpty())
            m_electrodes.append(x);
        else if (!insertLevel(m_electrodes, x, tolerance(m_electrodes.last())))
            m_electrodes = levels(m_electrodes << x);
    }
}

void PseudosectionPlot::insertValue(double value)
{
    m_sortedValues.insert(std::upper_bound(m_sortedValues.begin(), m_sortedValues.end(), value) - m_sortedValues.begin(), value);
}

void PseudosectionPlot::removeValue(double value)
{
    const auto it = std::lower_bound(m_sortedValues.begin(), m_sortedValues.end(), value);
    if (it != m_sortedValues.end() && *it == value)
        m_sortedValues.erase(it);
}

void PseudosectionPlot::markIfNewest(int cell)
{
    if (!m_markNewest || m_cells.at(cell).datum.record != m_newestRecord || m_cells.at(cell).newest)
        return;
    m_cells[cell].newest = true;
    m_newestCells.append(cell);
}

void PseudosectionPlot::rebuild()
{
    m_cells.clear();
    m_cellOf.clear();
    m_bestData.clear();
    m_newestCells.clear();
    m_sortedValues.clear();
    m_electrodes.clear();
    m_newestRecord = -1;
    QVector<quint64> order;
    for (int i = 0; i < m_data.size(); ++i) {
        const SurveyDatum& datum = m_data.at(i);
        m_newestRecord = std::max(m_newestRecord, datum.record);
        const quint64 key = quadrupoleKey(datum.electrodes);
        auto best = m_bestData.find(key);
        if (best == m_bestData.end()) {
            m_bestData.insert(key, i);
            order.append(key);
        } else if (betterRepeat(datum, m_data.at(*best))) {
            *best = i;
        }
    }

    QVector<double> xs, depths;
    for (quint64 key : qAsConst(order)) {
        const SurveyDatum& datum = m_data.at(m_bestData.value(key));
        addElectrodes(datum);
        Cell cell;
        if (!makeCell(datum, &cell))
            continue;
        m_cellOf.insert(key, m_cells.size());
        m_cells.append(cell);
        xs.append(cell.area.left());
        depths.append(cell.area.top());
    }

    // Cells as wide as the closest step between data of their depth level (the whole section's
    // closest step for a datum alone on its level) and as high as halfway to the neighbouring
    // levels, so a regular survey tiles the section without gaps.
    m_rows = levels(depths);
    QVector<QVector<double>> rowXs(m_rows.size());
    for (const Cell& cell : qAsConst(m_cells))
        rowXs[levelOf(m_rows, cell.area.top())].append(cell.area.left());
    m_columns = levels(xs);
    double overall = closestStep(m_columns);
    if (!std::isfinite(overall))
        overall = m_rows.isEmpty() ? 1.0 : std::max(m_rows.first(), 1e-3);
    m_rowColumns.resize(m_rows.size());
    m_rowSteps.resize(m_rows.size());
    for (int r = 0; r < m_rows.size(); ++r) {
        m_rowColumns[r] = levels(rowXs[r]);
        const double step = closestStep(m_rowColumns[r]);
        m_rowSteps[r] = std::isfinite(step) ? step : overall;
    }
    for (int i = 0; i < m_cells.size(); ++i) {
        Cell& cell = m_cells[i];
        cell.area = cellArea(cell.area.left(), cell.area.top());
        m_sortedValues.append(cell.value);
        markIfNewest(i);
    }
    std::sort(m_sortedValues.begin(), m_sortedValues.end());
    finishLayout();
}

void PseudosectionPlot::finishLayout()
{
    if (!m_sortedValues.isEmpty())
        SectionColorScale::setSortedRange(m_colorScale, m_sortedValues);
    selectRecord(m_selectedRecord, m_selectedChannel);
    rescaleAxes();
    yAxis->setRangeLower(0);
    if (m_rows.size() == 1 && m_electrodes.size() > 1)
        yAxis->setRangeUpper(std::max(yAxis->range().upper, SingleLevelDepthShare * (m_electrodes.last() - m_electrodes.first())));
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
