#include "ui/modelsectionplot.h"

#include "ui/sectioncolorscale.h"

#include <QFileInfo>

#include <algorithm>

class ModelSectionCells : public QCPAbstractPlottable
{
public:
    ModelSectionCells(ModelSectionPlot* owner, QCPAxis* keyAxis, QCPAxis* valueAxis)
        : QCPAbstractPlottable(keyAxis, valueAxis)
        , m_owner(owner)
    {
    }

    double selectTest(const QPointF&, bool, QVariant*) const override { return -1; }
    QCPRange getKeyRange(bool& foundRange, QCP::SignDomain) const override
    {
        QCPRange range;
        foundRange = !m_owner->m_cells.isEmpty();
        bool first = true;
        for (const ModelCell& cell : m_owner->m_cells) {
            for (double x : cell.cornerX) {
                range = first ? QCPRange(x, x) : (range.expand(x), range);
                first = false;
            }
        }
        return range;
    }
    QCPRange getValueRange(bool& foundRange, QCP::SignDomain, const QCPRange&) const override
    {
        QCPRange range;
        foundRange = !m_owner->m_cells.isEmpty();
        bool first = true;
        for (const ModelCell& cell : m_owner->m_cells) {
            for (double z : cell.cornerZ) {
                range = first ? QCPRange(z, z) : (range.expand(z), range);
                first = false;
            }
        }
        return range;
    }

protected:
    void draw(QCPPainter* painter) override
    {
        QCPColorGradient gradient = m_owner->m_colorScale->gradient();
        const QCPRange data = m_owner->m_colorScale->dataRange();
        const bool logarithmic = m_owner->m_colorScale->dataScaleType() == QCPAxis::stLogarithmic;
        const bool resistivity = m_owner->m_quantity == ModelSectionPlot::Quantity::Resistivity;
        painter->setRenderHint(QPainter::Antialiasing, false);
        for (const ModelCell& cell : m_owner->m_cells) {
            QPointF corners[4];
            for (int a = 0; a < 4; ++a)
                corners[a] = coordsToPixels(cell.cornerX[a], cell.cornerZ[a]);
            QColor colour = QColor::fromRgb(gradient.color(resistivity ? cell.resistivity : cell.chargeability, data, logarithmic));
            if (cell.coverage < m_owner->m_coverageLimit)
                colour = colour.lighter(150);
            painter->setPen(QPen(colour, 1.0));
            painter->setBrush(colour);
            painter->drawPolygon(corners, 4);
        }
    }
    void drawLegendIcon(QCPPainter*, const QRectF&) const override {}

private:
    ModelSectionPlot* m_owner;
};

ModelSectionPlot::ModelSectionPlot(QWidget* parent)
    : QCustomPlot(parent)
{
    xAxis->setLabel(tr("X, м"));
    yAxis->setLabel(tr("Высота, м"));
    m_drawing = new ModelSectionCells(this, xAxis, yAxis);
    m_colorScale = SectionColorScale::create(this);
    axisRect()->setRangeDragAxes(xAxis, yAxis);
    axisRect()->setRangeZoomAxes(xAxis, yAxis);
    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    setQuantity(Quantity::Resistivity);
}

void ModelSectionPlot::setModel(const InversionResult& result)
{
    m_cells = result.cells;
    // Cells with under a hundredth of the largest coverage lie beyond the data's reach.
    double largest = 0.0;
    for (const ModelCell& cell : m_cells)
        largest = std::max(largest, cell.coverage);
    m_coverageLimit = 0.01 * largest;
    rebuild();
}

void ModelSectionPlot::setQuantity(Quantity quantity)
{
    m_quantity = quantity;
    if (quantity == Quantity::Resistivity)
        SectionColorScale::setResistivity(m_colorScale, tr("ρ, Ом·м"));
    else
        SectionColorScale::setChargeability(m_colorScale);
    rebuild();
}

void ModelSectionPlot::setResistivityRange(const QCPRange& range)
{
    m_resistivityRange = range.lower > 0.0 && range.upper > range.lower ? range : QCPRange(0.0, 0.0);
    rebuild();
}

void ModelSectionPlot::rebuild()
{
    if (m_quantity == Quantity::Resistivity && m_resistivityRange.upper > 0.0) {
        SectionColorScale::setFixedRange(m_colorScale, m_resistivityRange);
    } else {
        QVector<double> values;
        for (const ModelCell& cell : m_cells)
            values.append(m_quantity == Quantity::Resistivity ? cell.resistivity : cell.chargeability);
        SectionColorScale::setRange(m_colorScale, values);
    }
    rescaleAxes();
    replot(rpQueuedReplot);
}

bool ModelSectionPlot::saveSection(const QString& path, int width, int height)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        return savePdf(path, width, height);
    return savePng(path, width, height);
}

bool ModelSectionPlot::writePicture(const InversionResult& result, const QString& path)
{
    ModelSectionPlot plot;
    plot.setModel(result);
    return plot.saveSection(path, 1200, 500);
}
