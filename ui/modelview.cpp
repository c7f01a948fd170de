#include "ui/modelview.h"

#include "ui/pseudosectionplot.h"
#include "ui/windowparts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {


QLabel* lineLabel(const QString& objectName, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::RichText);
    // A long text is cut rather than widening the page beyond a small screen.
    label->setMinimumWidth(1);
    return label;
}

// Three significant digits, as the colour scale reads.
QString value(double v)
{
    return QString::number(v, 'g', v >= 1000.0 ? 4 : 3);
}

}

ModelView::ModelView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("model_view"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 0);
    bar->setSpacing(8);
    m_quantityGroup = new QButtonGroup(this);
    QPushButton* rho = WindowParts::barButton(QStringLiteral("ρ"), QStringLiteral("model_resistivity_button"), this);
    QPushButton* eta = WindowParts::barButton(QStringLiteral("η"), QStringLiteral("model_chargeability_button"), this);
    rho->setCheckable(true);
    eta->setCheckable(true);
    rho->setChecked(true);
    eta->setEnabled(false);
    m_quantityGroup->addButton(rho, int(ModelSectionPlot::Quantity::Resistivity));
    m_quantityGroup->addButton(eta, int(ModelSectionPlot::Quantity::Chargeability));
    bar->addWidget(rho);
    bar->addWidget(eta);
    bar->addSpacing(12);
    m_ownRangeCheck = new QCheckBox(tr("Своя шкала"), this);
    m_ownRangeCheck->setObjectName(QStringLiteral("model_own_range_check"));
    m_ownRangeCheck->setToolTip(tr("Цвета по диапазону модели, а не псевдоразреза"));
    bar->addWidget(m_ownRangeCheck);
    bar->addSpacing(12);
    m_state = lineLabel(QStringLiteral("model_state"), this);
    m_state->setStyleSheet(QStringLiteral("QLabel {color: #369;}"));
    bar->addWidget(m_state);
    m_readOut = lineLabel(QStringLiteral("model_readout"), this);
    m_readOut->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bar->addWidget(m_readOut, 1);
    layout->addLayout(bar);

    m_plot = new ModelSectionPlot(this);
    m_plot->setObjectName(QStringLiteral("model_plot"));
    m_electrodeGraph = m_plot->addGraph();
    m_electrodeGraph->setLineStyle(QCPGraph::lsNone);
    m_electrodeGraph->setScatterStyle(
        QCPScatterStyle(QCPScatterStyle::ssTriangleInverted, QPen(Qt::black), QBrush(Qt::white), 8));
    // On a short window the section gives way before the controls do.
    m_plot->setMinimumHeight(1);
    layout->addWidget(m_plot, 1);

    auto* line = new QHBoxLayout;
    line->setContentsMargins(6, 0, 6, 4);
    line->setSpacing(16);
    m_summary = lineLabel(QStringLiteral("model_summary"), this);
    m_counts = lineLabel(QStringLiteral("model_counts"), this);
    // How old the model is comes first; the fit wraps rather than being cut on a small screen.
    m_summary->setWordWrap(true);
    line->addWidget(m_counts);
    line->addWidget(m_summary, 1);
    layout->addLayout(line);

    connect(m_quantityGroup, &QButtonGroup::idClicked, this,
            [this](int id) { setQuantity(ModelSectionPlot::Quantity(id)); });
    connect(m_ownRangeCheck, &QCheckBox::toggled, this, &ModelView::showRange);
    connect(m_plot, &QCustomPlot::mouseMove, this, &ModelView::onMouseMove);
    connect(m_plot, &QCustomPlot::mousePress, this, [this](QMouseEvent* event) { m_pressPosition = event->pos(); });
    // A click, not the end of a drag, picks the cell.
    connect(m_plot, &QCustomPlot::mouseRelease, this, [this](QMouseEvent* event) {
        if ((event->pos() - m_pressPosition).manhattanLength() > 3)
            return;
        const int cell = cellAt(event->localPos());
        if (cell >= 0)
            Q_EMIT cellClicked(cell);
    });
}

void ModelView::setModel(const InversionResult& result, const QVector<ElectrodePosition>& electrodes, int leftOut)
{
    m_result = result;
    m_surface.clear();
    for (const ElectrodePosition& e : electrodes)
        m_surface.append(QPointF(double(e.x), double(e.z)));
    std::sort(m_surface.begin(), m_surface.end(), [](const QPointF& l, const QPointF& r) { return l.x() < r.x(); });
    QVector<double> x, z;
    for (const QPointF& p : m_surface) {
        x.append(p.x());
        z.append(p.y());
    }
    m_electrodeGraph->setData(x, z, true);
    if (!result.hasChargeability && m_plot->quantity() == ModelSectionPlot::Quantity::Chargeability)
        m_quantityGroup->button(int(ModelSectionPlot::Quantity::Resistivity))->setChecked(true);
    m_quantityGroup->button(int(ModelSectionPlot::Quantity::Chargeability))->setEnabled(result.hasChargeability);
    m_plot->setQuantity(ModelSectionPlot::Quantity(m_quantityGroup->checkedId()));
    m_plot->setModel(result);
    showRange();
    m_summary->setText(summaryText(result, leftOut));
    m_readOut->clear();
}

void ModelView::clearModel()
{
    setModel(InversionResult(), {}, 0);
    m_summary->clear();
    m_counts->clear();
}

void ModelView::setDataCounts(int inModel, int total)
{
    m_counts->setText(countText(inModel, total));
}

void ModelView::setState(const QString& text)
{
    m_state->setText(text);
}

void ModelView::setSharedRange(const QCPRange& range)
{
    m_sharedRange = range;
    showRange();
}

void ModelView::setOwnRange(bool own)
{
    m_ownRangeCheck->setChecked(own);
}

bool ModelView::ownRange() const
{
    return m_ownRangeCheck->isChecked();
}

void ModelView::setQuantity(ModelSectionPlot::Quantity quantity)
{
    if (quantity == ModelSectionPlot::Quantity::Chargeability && !m_result.hasChargeability)
        quantity = ModelSectionPlot::Quantity::Resistivity;
    m_quantityGroup->button(int(quantity))->setChecked(true);
    m_plot->setQuantity(quantity);
}

void ModelView::showRange()
{
    m_plot->setResistivityRange(ownRange() ? QCPRange(0.0, 0.0) : m_sharedRange);
}

int ModelView::cellAt(const QPointF& position) const
{
    const QVector<ModelCell>& cells = m_plot->cells();
    for (int i = 0; i < cells.size(); ++i) {
        QPolygonF corners;
        for (int a = 0; a < 4; ++a)
            corners << QPointF(m_plot->xAxis->coordToPixel(cells[i].cornerX[a]),
                               m_plot->yAxis->coordToPixel(cells[i].cornerZ[a]));
        if (corners.containsPoint(position, Qt::OddEvenFill))
            return i;
    }
    return -1;
}

QPointF ModelView::cellCentre(int cell) const
{
    const ModelCell& c = m_plot->cells().at(cell);
    return QPointF(m_plot->xAxis->coordToPixel(c.x), m_plot->yAxis->coordToPixel(c.z));
}

double ModelView::depthAt(double x, double z) const
{
    if (m_surface.isEmpty())
        return -z;
    if (x <= m_surface.first().x())
        return m_surface.first().y() - z;
    if (x >= m_surface.last().x())
        return m_surface.last().y() - z;
    const auto right = std::lower_bound(m_surface.cbegin(), m_surface.cend(), x,
                                        [](const QPointF& p, double v) { return p.x() < v; });
    const QPointF& r = *right;
    const QPointF& l = *(right - 1);
    const double t = r.x() > l.x() ? (x - l.x()) / (r.x() - l.x()) : 0.0;
    return l.y() + t * (r.y() - l.y()) - z;
}

QString ModelView::cellText(int cell) const
{
    if (cell < 0 || cell >= m_plot->cells().size())
        return QString();
    const ModelCell& c = m_plot->cells().at(cell);
    return cellText(c, depthAt(c.x, c.z), m_result.hasChargeability);
}

QString ModelView::summary() const
{
    return m_summary->text();
}

QString ModelView::counts() const
{
    return m_counts->text();
}

QString ModelView::state() const
{
    return m_state->text();
}

void ModelView::onMouseMove(QMouseEvent* event)
{
    m_readOut->setText(cellText(cellAt(event->localPos())));
}

QString ModelView::summaryText(const InversionResult& result, int leftOut)
{
    if (result.cells.isEmpty())
        return QString();
    return tr("Данных: <b>%1</b>, исключено %2 · итераций: %3 · χ² = <b>%4</b> · RMS = <b>%5 %</b>")
        .arg(result.used)
        .arg(leftOut)
        .arg(std::max(0, result.iterations.size() - 1))
        .arg(result.chi2(), 0, 'f', 2)
        .arg(result.rms(), 0, 'f', 1);
}

QString ModelView::countText(int inModel, int total)
{
    return tr("по %1 из %2 квадруполей").arg(inModel).arg(total);
}

QString ModelView::progressText(const InversionIteration& iteration)
{
    return tr("Расчёт: итерация %1, χ² = %2").arg(iteration.number).arg(iteration.chi2, 0, 'f', 2);
}

QString ModelView::cellText(const ModelCell& cell, double depth, bool withChargeability)
{
    QString text = tr("x = <b>%1</b> м, глубина <b>%2</b> м, ρ = <b>%3</b> Ом·м")
                       .arg(cell.x, 0, 'f', 1)
                       .arg(depth, 0, 'f', 1)
                       .arg(value(cell.resistivity));
    if (withChargeability)
        text += QStringLiteral(", η = <b>%1</b> %").arg(cell.chargeability, 0, 'f', 2);
    return text;
}

void ModelView::followPseudosection(PseudosectionPlot* pseudosection)
{
    connect(pseudosection->colorScale(), &QCPColorScale::dataRangeChanged, this, [this, pseudosection](const QCPRange& range) {
        if (pseudosection->quantity() == PseudosectionPlot::Quantity::Resistivity)
            setSharedRange(range);
    });
}
